#pragma once
// ConditionalDeleteBatchAndPhase: applies the user's import choices about batches and phases to
// the parts of a dataset being built (DatasetComponents). The choices stand in the batch list
// (excluded batches, and phases excluded in single batches), the phase list (phases excluded in
// all batches, and new phase names) and the import settings (which alias columns hold the batch
// and phase IDs). Rows of deleted batches and phases leave the data matrix together with their
// observation records, renamed phases are written into the observations' phase ID column, the
// batch list is pruned, and every step is reported in a log.
//
// Choices a caller might not expect:
// - Without a batch ID column, phases are deleted through the phase list only when there is a
//   phase ID column (an alias column above 0), whatever the project type.
// - A number of rows to delete that reaches past the last row is cut at the last row; the data
//   matrix and the observation records are cut each at their own end.
// - A null observation record matches no batch or phase name: no deletion starts at its row, and
//   nothing is written into it. Null entries of the batch and phase lists are skipped, and the
//   pruned batch list drops them.
// - Without import settings only the phase list changes: renamed phases are still logged and a
//   phase merged into an earlier one is excluded, but no row is deleted or rewritten.
// - The progress display of the deletion cannot cancel it.

#include <string>

struct DatasetComponents;

class ConditionalDeleteBatchAndPhase {
public:
    // Works on `components`, which it does not own and which must outlive it (may be null: then
    // nothing happens).
    explicit ConditionalDeleteBatchAndPhase(DatasetComponents* components) : mComponents(components) {}
    ConditionalDeleteBatchAndPhase(const ConditionalDeleteBatchAndPhase&) = default;
    ConditionalDeleteBatchAndPhase& operator=(const ConditionalDeleteBatchAndPhase&) = default;

    // Deletes the excluded batches and phases from the rows, merges and renames phases, prunes
    // the batch list and lists each merged phase once. Each message is appended to `log` when it
    // is not null:
    //   "Batch <batch> was deleted.\n"
    //   "Phase <phase> in batch <batch> was deleted.\n"
    //   "Class <original name> was deleted.\n"          (a phase excluded, without batches)
    //   "Phase <original name> was renamed <phase>.\n"
    void UpdateDataAccordingToBatchAndPhaseInfo(std::string* log);

private:
    // Without batches: deletes the rows of the phases excluded in the phase list.
    void DeleteSelectedPhases(std::string* log);
    // Walks the batch list once: deletes excluded batches (and batches without rows in included
    // phases) as a whole, and the excluded phases of the others. Always true.
    bool DeleteSelectedPhasesAndBatches(std::string* log);
    // Logs the renamed phases and, when there is one, writes every row's new phase name.
    void MergeAndRenamePhases(std::string* log);
    // Replaces the batch list by clones of its included batches that have rows in included
    // phases, each with its included phases only.
    void RemoveDeletedBatchesAndPhasesFromBatchInfoVector();
    // Excludes every phase whose name (ignoring case) an earlier included phase has.
    void ExcludeDuplicateMergedPhaseInfos();

    // Deletes `count` rows from the first row at or after `from` (1-based) whose batch name is
    // exactly `batch` (and, for RemovePhase, whose phase name is exactly `phase`). Returns that
    // row, or `from` when there is none.
    int RemoveBatch(const char* batch, int from, int count);
    int RemovePhase(const char* batch, const char* phase, int from, int count);
    // Both of them; a null `phase` matches any phase.
    int RemoveRowsOf(const char* batch, const char* phase, int from, int count);
    // Deletes `count` rows from 1-based row `row`, cut at the last row.
    void RemoveRows(int row, int count);

    DatasetComponents* mComponents;
};
