#include "dataset/IDPositionIndex.h"

int IDPositionIndex::Find(unsigned long id) const {
    if (mOrder != NotSorted) return mIDs.Find(id, mOrder);
    if (!mTableBuilt) {
        mFirstPositions.reserve(static_cast<std::size_t>(mIDs.size()));
        // emplace keeps the first position of an ID that occurs more than once.
        for (int i = 1; i <= mIDs.size(); ++i) mFirstPositions.emplace(mIDs[i], i);
        mTableBuilt = true;
    }
    const auto found = mFirstPositions.find(id);
    return found == mFirstPositions.end() ? 0 : found->second;
}
