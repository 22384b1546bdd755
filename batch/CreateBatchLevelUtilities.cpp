#include "batch/CreateBatchLevelUtilities.h"

#include "batch/BatchLevelComponent.h"

namespace CreateBatchLevelUtilities {

int CountSummaryTypes(int summaryTypes) {
    if (summaryTypes < 0) return 0;
    int count = 0;
    for (int bit = BatchLevelComponent::eMin; bit <= BatchLevelComponent::eSlope; bit <<= 1)
        if (summaryTypes & bit) ++count;
    return count;
}

}  // namespace CreateBatchLevelUtilities
