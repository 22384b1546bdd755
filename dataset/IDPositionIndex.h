#pragma once
// IDPositionIndex: finds unique IDs in an ID list by their 1-based positions. A list known to be
// sorted is searched by halving; any other list through a table of each ID's first position,
// built on the first search, so that looking up every ID of a list takes linear time, not
// quadratic. Either way a search finds the first position that holds the ID, the one a linear
// search from position 1 would find.
//
// The index refers to the list, which must outlive it and stay unchanged while the index is used.

#include <unordered_map>

#include "interfaces/containers/NCContainerSupport.h"
#include "interfaces/containers/NCIntegralVector.h"

class IDPositionIndex {
public:
    // `order`: how `ids` is known to be sorted; NotSorted when that is not known.
    IDPositionIndex(const NCIntegralVector<unsigned long, 0>& ids, SortType order) : mIDs(ids), mOrder(order) {}
    IDPositionIndex(const IDPositionIndex&) = delete;
    IDPositionIndex& operator=(const IDPositionIndex&) = delete;

    // The first 1-based position holding `id`; 0 when the list lacks it.
    int Find(unsigned long id) const;

private:
    const NCIntegralVector<unsigned long, 0>& mIDs;
    SortType mOrder;
    mutable std::unordered_map<unsigned long, int> mFirstPositions;
    mutable bool mTableBuilt = false;
};
