#pragma once
// Kinds of stored stream whose name the library asks of its project (NCProjectBase::GetStreamName).

namespace nc {
namespace StreamNameKind {

// With a dataset number: the stored list of that dataset's variable unique IDs, read while the
// dataset itself is not loaded.
constexpr int kDatasetVariableIDs = 26;
// With the number 0: the project's stored batch lists (the RUSPData record), read for the batch
// list of a dataset that is not loaded (NCDataSet::GetMutableBatchInfoVector).
constexpr int kStoredBatchLists = 27;

}  // namespace StreamNameKind
}  // namespace nc
