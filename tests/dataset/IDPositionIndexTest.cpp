#include <algorithm>
#include <utility>

#include <gtest/gtest.h>

#include "dataset/IDPositionIndex.h"

namespace {

TEST(IDPositionIndexTest, FindsTheFirstPositionInSortedAndUnsortedLists) {
    NCIntegralVector<unsigned long, 0> ids;
    for (const unsigned long id : {2ul, 5ul, 5ul, 9ul}) ids.push_back(id);
    EXPECT_EQ(IDPositionIndex(ids, Ascending).Find(5), 2);
    EXPECT_EQ(IDPositionIndex(ids, Ascending).Find(6), 0);
    std::reverse(ids.begin(), ids.end());
    EXPECT_EQ(IDPositionIndex(ids, Descending).Find(5), 2);
    std::swap(ids(1), ids(4));  // 2 5 5 9
    std::swap(ids(1), ids(3));  // 5 5 2 9
    const IDPositionIndex unsorted(ids, NotSorted);
    EXPECT_EQ(unsorted.Find(5), 1);
    EXPECT_EQ(unsorted.Find(9), 4);
    EXPECT_EQ(unsorted.Find(7), 0);
}

}  // namespace
