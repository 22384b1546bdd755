#include "batch/ConditionalDeleteBatchAndPhase.h"

#include <algorithm>
#include <set>
#include <string>

#include "batch/DatasetComponents.h"
#include "batchinfo/BatchLookups.h"
#include "interfaces/notification/NCProgress.h"

namespace {

void Append(std::string* log, const std::string& text) {
    if (log) *log += text;
}

}  // namespace

void ConditionalDeleteBatchAndPhase::UpdateDataAccordingToBatchAndPhaseInfo(std::string* log) {
    if (!mComponents) return;
    if (const BatchImportSettings* settings = mComponents->settings.get()) {
        if (!settings->IsBatch() && settings->GetPhaseID() > 0) DeleteSelectedPhases(log);
        if (settings->IsBatch()) DeleteSelectedPhasesAndBatches(log);
    }
    MergeAndRenamePhases(log);
    RemoveDeletedBatchesAndPhasesFromBatchInfoVector();
    ExcludeDuplicateMergedPhaseInfos();
}

void ConditionalDeleteBatchAndPhase::DeleteSelectedPhases(std::string* log) {
    const ClassInfoVector* phases = mComponents->phases.get();
    if (!phases) return;
    std::set<std::string> deleted;
    for (const auto& phase : *phases) {
        if (!phase || phase->IsIncluded()) continue;
        deleted.insert(phase->GetOriginalName().GetString());
        Append(log, "Class " + phase->GetOriginalName().GetString() + " was deleted.\n");
    }
    auto* observations = mComponents->observations.get();
    if (deleted.empty() || !observations) return;

    const BatchImportSettings& settings = *mComponents->settings;
    std::vector<bool> drop(observations->size(), false);
    for (std::size_t i = 0; i < observations->size(); ++i) {
        const ObservationInfo* record = (*observations)[i].get();
        drop[i] = record && deleted.count(record->GetPhaseName(settings).GetString()) > 0;
    }
    if (NCDataMatrix<float>* data = mComponents->data.get()) {
        NCIntegralVector<int, -99> kept;
        for (int row = 1; row <= data->GetNumRows(); ++row)
            if (row > static_cast<int>(drop.size()) || !drop[static_cast<std::size_t>(row - 1)]) kept.push_back(row);
        if (kept.size() != data->GetNumRows()) data->ReduceRows(kept);
    }
    DatasetComponents::ObservationList kept;
    kept.reserve(observations->size());
    for (std::size_t i = 0; i < observations->size(); ++i)
        if (!drop[i]) kept.push_back(std::move((*observations)[i]));
    observations->swap(kept);
}

bool ConditionalDeleteBatchAndPhase::DeleteSelectedPhasesAndBatches(std::string* log) {
    const BatchInfoVector* batches = mComponents->batches.get();
    if (!batches) return true;
    NCProgress progress("Deleting selected batches and phases...", 1, static_cast<double>(batches->size()));
    int row = 1;
    int done = 0;
    for (const auto& batch : *batches) {
        if (batch) {
            const CString& name = batch->GetBatchName();
            if (!batch->IsIncluded() || batch->GetNumObs(nullptr, false) == 0) {
                row = RemoveBatch(name, row, batch->GetNumObs(nullptr, true));
                Append(log, "Batch " + name.GetString() + " was deleted.\n");
            } else if (const ClassInfoVector* phases = batch->GetClassVector()) {
                for (const auto& phase : *phases) {
                    if (!phase || phase->IsIncluded()) continue;
                    row = RemovePhase(name, phase->GetPhaseName(), row, phase->GetNumObs());
                    Append(log, "Phase " + phase->GetPhaseName().GetString() + " in batch " + name.GetString() +
                                    " was deleted.\n");
                }
            }
        }
        progress.SetValue(++done);
    }
    return true;
}

void ConditionalDeleteBatchAndPhase::MergeAndRenamePhases(std::string* log) {
    ClassInfoVector* phases = mComponents->phases.get();
    if (!phases) return;
    bool renamed = false;
    for (const auto& phase : *phases) {
        if (!phase || phase->GetPhaseName().CompareNoCase(phase->GetOriginalName()) == 0) continue;
        renamed = true;
        Append(log, "Phase " + phase->GetOriginalName().GetString() + " was renamed " +
                        phase->GetPhaseName().GetString() + ".\n");
    }
    const BatchImportSettings* settings = mComponents->settings.get();
    if (!renamed || !settings || !mComponents->observations) return;
    for (const auto& record : *mComponents->observations) {
        if (!record) continue;
        const auto phase = BatchUtilities::FindPhase(phases, record->GetPhaseName(*settings), true);
        if (phase) record->SetUserID(phase->GetPhaseName(), settings->GetPhaseID(), nullptr);
    }
}

void ConditionalDeleteBatchAndPhase::RemoveDeletedBatchesAndPhasesFromBatchInfoVector() {
    const BatchInfoVector* batches = mComponents->batches.get();
    if (!batches || !mComponents->settings || !mComponents->settings->IsBatch()) return;
    auto pruned = std::make_unique<BatchInfoVector>();
    for (const auto& batch : *batches) {
        if (!batch || !batch->IsIncluded() || batch->GetNumObs(nullptr, false) == 0) continue;
        const boost::shared_ptr<BatchInfo> clone = batch->Clone();
        if (ClassInfoVector* phases = clone->GetClassVector()) {
            phases->erase(std::remove_if(phases->begin(), phases->end(),
                                         [](const auto& phase) { return !phase || !phase->IsIncluded(); }),
                          phases->end());
        }
        pruned->push_back(clone);
    }
    pruned->SetBCVariableIDs(batches->GetBCVariableIDs());
    mComponents->batches = std::move(pruned);
}

void ConditionalDeleteBatchAndPhase::ExcludeDuplicateMergedPhaseInfos() {
    ClassInfoVector* phases = mComponents->phases.get();
    if (!phases) return;
    for (std::size_t i = 0; i < phases->size(); ++i) {
        const auto& phase = (*phases)[i];
        if (!phase || !phase->IsIncluded()) continue;
        for (std::size_t j = i + 1; j < phases->size(); ++j) {
            const auto& later = (*phases)[j];
            if (later && later->GetPhaseName().CompareNoCase(phase->GetPhaseName()) == 0) later->SetIncluded(false);
        }
    }
}

int ConditionalDeleteBatchAndPhase::RemoveBatch(const char* batch, int from, int count) {
    return RemoveRowsOf(batch, nullptr, from, count);
}

int ConditionalDeleteBatchAndPhase::RemovePhase(const char* batch, const char* phase, int from, int count) {
    return RemoveRowsOf(batch, phase ? phase : "", from, count);
}

int ConditionalDeleteBatchAndPhase::RemoveRowsOf(const char* batch, const char* phase, int from, int count) {
    const auto* observations = mComponents->observations.get();
    if (!observations) return from;
    const BatchImportSettings& settings = *mComponents->settings;
    const int rows = static_cast<int>(observations->size());
    for (int row = std::max(from, 1); row <= rows; ++row) {
        const ObservationInfo* record = (*observations)[static_cast<std::size_t>(row - 1)].get();
        if (!record || record->GetBatchName(settings) != batch) continue;
        if (phase && record->GetPhaseName(settings) != phase) continue;
        RemoveRows(row, count);
        return row;
    }
    return from;
}

void ConditionalDeleteBatchAndPhase::RemoveRows(int row, int count) {
    if (count <= 0) return;
    if (NCDataMatrix<float>* data = mComponents->data.get(); data && row <= data->GetNumRows())
        data->RemoveRows(row, std::min(count, data->GetNumRows() - row + 1));
    if (auto* observations = mComponents->observations.get();
        observations && row <= static_cast<int>(observations->size())) {
        const auto first = observations->begin() + (row - 1);
        observations->erase(first, first + std::min(count, static_cast<int>(observations->size()) - row + 1));
    }
}
