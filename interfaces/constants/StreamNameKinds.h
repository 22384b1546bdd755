#pragma once
// Kinds of stored stream whose name the library asks of its project (NCProjectBase::GetStreamName).

namespace nc {
namespace StreamNameKind {

// With a dataset number: the stored list of that dataset's variable unique IDs, read while the
// dataset itself is not loaded.
constexpr int kDatasetVariableIDs = 26;

}  // namespace StreamNameKind
}  // namespace nc
