#include "batchinfo/BatchQueries.h"

#include <memory>
#include <string>

#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchInfo.h"
#include "interfaces/constants/NCConstants.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/VariableInfo.h"

using nc::kConstantVariableUniqueID;
using nc::kNoUniqueID;

namespace BatchUtilities {
namespace {

// The names in `names`, each once (compared ignoring case), in order of first appearance.
void AppendOnce(NCStringVector& names, const char* name) {
    if (names.FindString(name, false) == 0) names.push_back(name);
}

CString BatchNameAt(const NCObservations& obs, unsigned long uniqueID) {
    const ObservationInfo* record = obs[uniqueID];
    return record ? record->GetBatchName(obs) : CString();
}

int PhaseNumberAt(const NCObservations& obs, unsigned long uniqueID) {
    const ObservationInfo* record = obs[uniqueID];
    return record ? record->GetDefaultClass() : -99;
}

// Where the runs of `obsIDs` start: batches, or with `byPhase` batches and phases within them.
// Without a batch ID column the whole list is one run.
std::vector<int> RunStarts(const NCObservations& obs, const NCIntegralVector<unsigned long, 0>& obsIDs, bool byPhase) {
    if (obsIDs.empty()) return {};
    const std::unique_ptr<NCIntegralVector<int, -99>> beginnings(byPhase ? GetPhaseBeginnings(&obs, &obsIDs)
                                                                         : GetBatchBeginnings(&obs, &obsIDs));
    if (!beginnings) return {1};
    return std::vector<int>(beginnings->begin(), beginnings->end());
}

// The last row of run k of `starts` (0-based) in a list of `rows` rows.
int RunEnd(const std::vector<int>& starts, std::size_t k, int rows) {
    return k + 1 < starts.size() ? starts[k + 1] - 1 : rows;
}

bool IsTimeVariable(const VariableInfo& var) {
    return std::string(var.GetPrimaryAlias()) == BatchInfo::GetGeneratedTimeVariableName();
}

// The phases a query about `phaseName` looks at.
bool PhaseAsked(const ClassInfo& phase, const char* phaseName) {
    return !phaseName || phase.GetPhaseName().CompareNoCase(phaseName) == 0;
}

bool InAskedPhase(const ClassInfoVector& phases, const char* phaseName, unsigned long id, bool yBlock) {
    for (const auto& phase : phases) {
        if (!phase || !PhaseAsked(*phase, phaseName)) continue;
        if (yBlock ? phase->GetYVariableID() == id : phase->IsIncluded(id)) return true;
    }
    return false;
}

}  // namespace

NCStringVector* GetBatchNames(const BatchInfoVector* batches, bool onlyIncluded) {
    auto names = std::make_unique<NCStringVector>();
    if (!batches) return names.release();
    for (const auto& batch : *batches)
        if (batch && (!onlyIncluded || batch->IsIncluded())) names->push_back(batch->GetBatchName());
    return names.release();
}

NCStringVector* GetPhaseNames(const ClassInfoVector* phases, bool onlyIncluded) {
    auto names = std::make_unique<NCStringVector>();
    if (!phases) return names.release();
    for (const auto& phase : *phases)
        if (phase && (!onlyIncluded || phase->IsIncluded())) AppendOnce(*names, phase->GetPhaseName());
    return names.release();
}

NCIntegralVector<int, -99>* GetBatchIndexes(const NCObservations* obs, const NCIntegralVector<unsigned long, 0>* obsIDs,
                                            const BatchInfoVector& batches) {
    auto indexes = std::make_unique<NCIntegralVector<int, -99>>();
    if (!obs || !obsIDs) return indexes.release();
    const std::unique_ptr<NCStringVector> included(GetBatchNames(&batches, true));
    for (const int start : RunStarts(*obs, *obsIDs, false))
        indexes->push_back(included->FindString(BatchNameAt(*obs, (*obsIDs)[start]), true));
    return indexes.release();
}

bool GetBatchConditionQualitativeSettings(const BatchInfoVector* batches, const CString& name,
                                          std::vector<CString>& settings, const NCVariables* variables) {
    if (!batches || !variables) return false;
    for (const unsigned long id : batches->GetBCVariableIDs()) {
        const VariableInfo* var = (*variables)[id];
        if (!var || CString(var->GetPrimaryAlias()) != name) continue;
        const QualitativeVariableInfo* qualitative = var->AsQualitativeVariableInfo();
        if (!qualitative) return false;
        std::vector<CString> texts;
        for (int i = 1; i <= qualitative->SizeSettings(); ++i) texts.emplace_back(qualitative->GetSettingName(i));
        settings.swap(texts);
        return true;
    }
    return false;
}

NCIntegralVector<int, -99>* GetBlockVariables(const NCVariables* variables,
                                              const NCIntegralVector<unsigned long, 0>* varIDs,
                                              const ClassInfoVector* phases, bool yBlock, const char* phaseName) {
    auto positions = std::make_unique<NCIntegralVector<int, -99>>();
    if (!variables || !varIDs) return positions.release();
    for (int i = 1; i <= varIDs->size(); ++i) {
        const unsigned long id = (*varIDs)[i];
        const VariableInfo* var = (*variables)[id];
        if (!var || (yBlock ? !var->IsY() : !var->IsX())) continue;
        if (phases && !InAskedPhase(*phases, phaseName, id, yBlock)) continue;
        positions->push_back(i);
    }
    return positions.release();
}

int IsMonotonic(const NCObservations* obs, const NCDataVector<float>* values,
                const NCIntegralVector<unsigned long, 0>* obsIDs) {
    if (!obs || !values || !obsIDs) return 0;
    const int rows = std::min(obsIDs->size(), values->size());
    const std::vector<int> starts = RunStarts(*obs, *obsIDs, false);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const int first = starts[k];
        const int last = std::min(RunEnd(starts, k, obsIDs->size()), rows);
        if (first > last) break;
        const float direction = (*values)(last) > (*values)(first) ? 1.0f : -1.0f;
        for (int row = first; row < last; ++row)
            if (direction * (*values)(row + 1) < direction * (*values)(row)) return static_cast<int>(k) + 1;
    }
    return 0;
}

bool IsAscending(const NCDataVector<float>* maturity, const NCIntegralVector<int, -99>* batchLengths) {
    if (!maturity || !batchLengths) return true;
    const float* values = maturity->data();
    const int rows = maturity->size();
    const auto present = [&](int i) { return values[i] != nc::kMissingValue && values[i] == values[i]; };
    double firstSum = 0.0, lastSum = 0.0;
    int begin = 0;
    for (const int length : *batchLengths) {
        if (begin >= rows) break;
        if (length < 1) continue;
        const int end = length > rows - begin ? rows : begin + length;
        int first = begin;
        while (first < end && !present(first)) ++first;
        int last = end - 1;
        while (last > first && !present(last)) --last;
        if (first < last) {
            firstSum += values[first];
            lastSum += values[last];
        }
        begin = end;
    }
    return lastSum >= firstSum;
}

NCIntegralVector<int, -99>* FindBatchPhaseIndexes(const NCObservations* obs,
                                                  const NCIntegralVector<unsigned long, 0>& obsIDs,
                                                  const char* batchName, int phase) {
    auto rows = std::make_unique<NCIntegralVector<int, -99>>();
    const bool anyBatch = !batchName || *batchName == '\0';
    if ((anyBatch && phase == 0) || !obs) {
        if (anyBatch && phase == 0)
            for (int row = 1; row <= obsIDs.size(); ++row) rows->push_back(row);
        return rows.release();
    }
    const std::vector<int> starts = RunStarts(*obs, obsIDs, phase != 0);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const unsigned long first = obsIDs[starts[k]];
        if (!anyBatch && BatchNameAt(*obs, first) != CString(batchName)) continue;
        if (phase != 0 && PhaseNumberAt(*obs, first) != phase) continue;
        for (int row = starts[k]; row <= RunEnd(starts, k, obsIDs.size()); ++row) rows->push_back(row);
    }
    return rows.release();
}

NCStringVector GetDefaultVarClasses(const ClassInfoVector* phases, const VariableInfo* var) {
    NCStringVector names;
    if (!phases || !var) return names;
    const unsigned long id = var->GetUniqueID();
    const bool time = IsTimeVariable(*var);
    for (const auto& phase : *phases) {
        if (!phase || !phase->IsIncluded() || !phase->IsIncluded(id)) continue;
        if (var->IsY()) {
            const unsigned long y = phase->GetYVariableID();
            const bool withoutY = y == kNoUniqueID || y == kConstantVariableUniqueID;
            if (y != id && !(time && withoutY)) continue;
        }
        AppendOnce(names, phase->GetPhaseName());
    }
    return names;
}

NCIntegralVector<int, -99>* GetObsPhases(int& maxPhase, const NCObservations* obs,
                                         const NCIntegralVector<unsigned long, 0>& obsIDs) {
    if (!obs || !obs->HasPhases()) return nullptr;
    auto phases = std::make_unique<NCIntegralVector<int, -99>>();
    phases->reserve(obsIDs.size());
    maxPhase = 0;
    for (const unsigned long id : obsIDs) {
        const ObservationInfo* record = (*obs)[id];
        const int phase = record ? record->GetDefaultClass() : -99;
        phases->push_back(phase);
        if (record && phase > maxPhase) maxPhase = phase;
    }
    return phases.release();
}

}  // namespace BatchUtilities
