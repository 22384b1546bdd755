#include "app/BatchAlignment.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/InputError.h"
#include "app/OperationCancelled.h"
#include "app/ReferenceProject.h"
#include "batch/BatchAligner.h"
#include "batch/Smooth.h"
#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/notification/NCProgress.h"
#include "varobs/NCObservations.h"
#include "varobs/ObservationInfo.h"
#include "varobs/VariableInfo.h"

namespace {

// Rows [first, last] (1-based) of one batch's run of a phase; empty when the batch has none.
struct Segment {
    int first = 0;
    int last = -1;
    int size() const { return last - first + 1; }
};

// The segment of phase `phase` in the batch of rows [begin, end]: its first run (the whole batch
// without phase numbers).
Segment FindSegment(const Smooth::BatchLayout& layout, int begin, int end, int phase) {
    if (layout.phaseNumbers.size() == 0) return Segment{begin, end};
    for (int row = begin; row <= end; ++row) {
        if (layout.phaseNumbers[row] != phase) continue;
        int last = end;
        for (const int start : layout.phaseBeginnings)
            if (start > row) {
                last = std::min(end, start - 1);
                break;
            }
        return Segment{row, last};
    }
    return Segment{};
}

std::string BatchName(const NCObservations& observations, const NCIntegralVector<unsigned long, 0>& obsIDs, int row) {
    const ObservationInfo* record = observations[obsIDs[row]];
    return record ? record->GetBatchName(observations).GetString() : std::string();
}

}  // namespace

namespace BatchAlignment {

AlignedDataset Align(ReferenceProject& project, const NCDataSet& source, int maturityColumn, int number,
                     const std::string& name) {
    NCObservations& observations = project.GetObservations();
    const NCIntegralVector<unsigned long, 0> obsIDs = source.GetObsIDs();
    const Smooth::BatchLayout layout = Smooth::GetBatchLayout(observations, obsIDs);
    const auto phaseList = source.GetPhaseInfoVector();
    const int batches = layout.batchBeginnings.size();
    const int phases = layout.phaseNumbers.size() == 0 ? 1 : layout.numPhases;
    const int columns = source.SizeVariables();
    const NCDataMatrix<float> data = source.GetData(false, nullptr);
    const float* maturity = data.GetColumnPtr(maturityColumn);
    // A qualitative value between two settings means nothing: it takes the nearer one.
    std::vector<int> qualitative;
    for (int c = 1; c <= columns; ++c)
        if (const VariableInfo* info = source.GetVariableInfo(c))
            if (info->IsQualitative()) qualitative.push_back(c);

    // Per phase, each batch's aligned rows (empty: the batch has no run of the phase).
    AlignedDataset result;
    std::vector<std::vector<NCDataMatrix<float>>> aligned(static_cast<std::size_t>(phases));
    NCProgress progress("Aligning the batches", 0, phases * batches);
    for (int phase = 1; phase <= phases; ++phase) {
        std::vector<Segment> segments;
        NCDataVector<float> phaseMaturity;
        NCIntegralVector<int, -99> beginnings;
        for (int b = 1; b <= batches; ++b) {
            const int begin = layout.batchBeginnings[b];
            const int end = b < batches ? layout.batchBeginnings[b + 1] - 1 : layout.numObs;
            segments.push_back(FindSegment(layout, begin, end, phase));
            if (segments.back().size() <= 0) continue;
            beginnings.push_back(phaseMaturity.size() + 1);
            for (int row = segments.back().first; row <= segments.back().last; ++row)
                phaseMaturity.push_back(maturity[row - 1]);
        }
        BatchAligner aligner;
        aligner.Init(&phaseMaturity, &beginnings, false);
        const int points = aligner.GetTimeMaturityVector() ? aligner.GetTimeMaturityVector()->size() : 0;
        result.gridPoints.push_back(points);
        auto& phaseRows = aligned[static_cast<std::size_t>(phase - 1)];
        for (int b = 1; b <= batches; ++b) {
            const Segment segment = segments[static_cast<std::size_t>(b - 1)];
            NCDataMatrix<float> out(points, columns, nc::kMissingValue);
            if (segment.size() > 0 && points > 0) {
                NCDataMatrix<float> values(segment.size(), columns);
                for (int c = 1; c <= columns; ++c) values.SetColumn(c, data.GetColumnPtr(c) + (segment.first - 1));
                NCDataVector<float> x;
                x.CopyVector(maturity + (segment.first - 1), segment.size());
                try {
                    aligner.Align(values, x, out);
                } catch (const NCError& error) {
                    std::string where = "batch " + BatchName(observations, obsIDs, segment.first);
                    if (phaseList && static_cast<std::size_t>(phase) <= phaseList->size())
                        where +=
                            ", phase " + (*phaseList)[static_cast<std::size_t>(phase - 1)]->GetPhaseName().GetString();
                    throw InputError(where + ": " + error.what());
                }
                for (const int c : qualitative) {
                    float* value = out.GetMutableColumnPtr(c);
                    for (int k = 0; k < points; ++k)
                        if (value[k] != nc::kMissingValue) value[k] = std::floor(value[k] + 0.5f);
                }
            }
            phaseRows.push_back(std::move(out));
            if (progress.SetValue((phase - 1) * batches + b)) throw OperationCancelled();
        }
    }

    // Rows batch by batch, phase by phase; the records are made only now that nothing can fail.
    int pointsPerBatch = 0;
    for (const int points : result.gridPoints) pointsPerBatch += points;
    const int rows = pointsPerBatch * batches;
    NCDataMatrix<float> values(rows, columns, nc::kMissingValue);
    for (int c = 1; c <= columns; ++c) {
        float* to = values.GetMutableColumnPtr(c);
        for (int b = 0; b < batches; ++b)
            for (int phase = 0; phase < phases; ++phase) {
                const NCDataMatrix<float>& part = aligned[static_cast<std::size_t>(phase)][static_cast<std::size_t>(b)];
                if (part.GetNumRows() > 0) to = std::copy_n(part.GetColumnPtr(c), part.GetNumRows(), to);
            }
    }

    const int aliasCount = observations.SizeAliases();
    std::vector<int> all;
    for (int k = 1; k <= aliasCount; ++k) all.push_back(k);
    const int batchAlias = observations.GetBatchID(all);
    const int phaseAlias = observations.GetPhaseID(all);
    NCIntegralVector<unsigned long, 0> newIDs;
    newIDs.reserve(rows);
    for (int b = 1; b <= batches; ++b) {
        const std::string batchName = BatchName(observations, obsIDs, layout.batchBeginnings[b]);
        int k = 0;
        for (int phase = 1; phase <= phases; ++phase) {
            std::string phaseName;
            if (phaseList && static_cast<std::size_t>(phase) <= phaseList->size())
                phaseName = (*phaseList)[static_cast<std::size_t>(phase - 1)]->GetPhaseName().GetString();
            for (int point = 0; point < result.gridPoints[static_cast<std::size_t>(phase - 1)]; ++point) {
                std::vector<CString> ids(static_cast<std::size_t>(aliasCount));
                ids[0] = batchName + ":" + std::to_string(++k);
                if (batchAlias > 0) ids[static_cast<std::size_t>(batchAlias - 1)] = batchName;
                if (phaseAlias > 0) ids[static_cast<std::size_t>(phaseAlias - 1)] = phaseName;
                const unsigned long id = project.GetNewUniqueID(nc::UniqueIDKind::kRecord);
                auto record = std::make_unique<ObservationInfo>(ids, id);
                if (layout.phaseNumbers.size() > 0) record->SetDefaultClass(phase);
                observations.Add(std::move(record), nullptr);
                newIDs.push_back(id);
            }
        }
    }

    const NCIntegralVector<unsigned long, 0> varIDs = source.GetVarIDs();
    const std::unique_ptr<BatchInfoVector> newBatches(BatchUtilities::CreateBatchInfoVector(&observations, &newIDs));
    const std::unique_ptr<ClassInfoVector> newPhases(BatchUtilities::CreatePhaseInfoVector(&observations, &newIDs));
    const std::string log = "Aligned from dataset " + std::to_string(source.GetNumber()) + " on " +
                            source.GetVariableID(maturityColumn, 1) + ".";
    result.dataset = NCDataSet::Create(project.shared_from_this(), name.c_str(), number, &values, &newIDs, &varIDs,
                                       source.GetUsedObsAliases(), source.GetUsedVarAliases(), log.c_str(),
                                       newBatches.get(), newPhases.get(), false);
    result.dataset->SetSource(nc::DataType::kObservationLevelBatch, static_cast<unsigned long>(source.GetNumber()));
    return result;
}

}  // namespace BatchAlignment
