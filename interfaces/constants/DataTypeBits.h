#pragma once
// The data type word of a dataset or other container (NCDataContainerBase::GetDataType) is a bit
// set. These are the values that the library itself tests or sets; every other bit is the
// application's and is passed through unchanged.

namespace nc {
namespace DataType {

// The type of a new dataset. A dataset of exactly this type has no source: setting its source
// stores "no unique ID" whatever source ID is given.
constexpr int kDefault = 0x01;
// Batch-level data: a row stands for a whole batch. Variables that such a dataset creates are not
// marked as batch conditions in the variables' source column.
constexpr int kBatchLevel = 0x10;
// An observation-level batch dataset: its rows are observations that belong to batches, and it has
// batch names. Giving a dataset a batch list sets this bit unless it has one of the other kinds.
constexpr int kObservationLevelBatch = 0x20;
// Batch conditions: the dataset holds condition values per batch. Compound datasets look for
// pairs of such datasets that hold the same cells.
constexpr int kBatchConditions = 0x40;
// The batch-structured kinds other than observation-level: their batch lists carry no phases,
// they never receive kObservationLevelBatch, and a change of the dataset's source keeps them.
constexpr int kOtherBatchKinds = kBatchLevel | kBatchConditions;

}  // namespace DataType
}  // namespace nc
