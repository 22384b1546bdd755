#pragma once
// CreateBatchLevelUtilities: helpers for the description of batch-level datasets
// (CreateBatchLevelInfo).

namespace CreateBatchLevelUtilities {

// How many of the eight summary type bits (BatchLevelComponent::ESummaryType, 1 to 128) are set in
// `summaryTypes`; higher bits are not counted, and a negative argument gives 0.
int CountSummaryTypes(int summaryTypes);

}  // namespace CreateBatchLevelUtilities
