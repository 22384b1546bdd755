#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "interfaces/containers/NCIntegralVector.h"
#include "tests/interfaces/containers/ContainerStreamTestHelpers.h"

namespace {

using IndexVector = NCIntegralVector<int, -99>;
using IDVector = NCIntegralVector<unsigned long, 0>;

template <typename V>
std::vector<typename V::value_type> Values(const V& v) {
    return std::vector<typename V::value_type>(v.begin(), v.end());
}

IndexVector Make(std::initializer_list<int> values) {
    IndexVector v;
    for (int x : values) v.push_back(x);
    return v;
}

TEST(NCIntegralVector, PositionsAreOneBasedAndInsertAtSizePlusOneAppends) {
    IndexVector v(3);
    EXPECT_EQ(Values(v), (std::vector<int>{-99, -99, -99}));
    v(1) = 10;
    v(3) = 30;
    EXPECT_EQ(v[1], 10);
    EXPECT_EQ(v[3], 30);

    v.InsertValues(1, 1, 5);              // before the first
    v.InsertValues(v.size() + 1, 2, 40);  // appends
    EXPECT_EQ(Values(v), (std::vector<int>{5, 10, -99, 30, 40, 40}));
    v.InsertValues(2, Make({7, 8}));
    EXPECT_EQ(Values(v), (std::vector<int>{5, 7, 8, 10, -99, 30, 40, 40}));
    v.RemoveValues(2, 3);
    EXPECT_EQ(Values(v), (std::vector<int>{5, -99, 30, 40, 40}));
    v.Concat(v);
    EXPECT_EQ(v.size(), 10);
    EXPECT_EQ(v[6], 5);

    v.Reduce(Make({3, 1, 3}));
    EXPECT_EQ(Values(v), (std::vector<int>{30, 5, 30}));
    v.resize(5);
    EXPECT_EQ(Values(v), (std::vector<int>{30, 5, 30, -99, -99}));
    v.SetNumValues(2, 4);
    EXPECT_EQ(Values(v), (std::vector<int>{4, 4}));

    IndexVector empty;
    empty.InsertValues(1, 0, 3);
    empty.Reduce(IndexVector());
    EXPECT_EQ(empty.size(), 0);
    EXPECT_EQ(empty.Find(3), 0);
    EXPECT_EQ(empty.LowerBound(3), 1);
    EXPECT_EQ(empty.GallopingLowerBound(3, 1), 1);
}

TEST(NCIntegralVector, SearchesReturnOneBasedPositionsAndBelowOneWhenAbsent) {
    const IndexVector unsorted = Make({7, 3, 9, 3, 1});
    EXPECT_EQ(unsorted.Find(3), 2);
    EXPECT_EQ(unsorted.Find(3, NotSorted, 3), 4);
    EXPECT_EQ(unsorted.Find(3, NotSorted, 5), 0);
    EXPECT_EQ(unsorted.Find(9, NotSorted, 1, 2), 0);
    EXPECT_EQ(unsorted.Find(1, NotSorted, 6), 0);  // empty range after the end
    EXPECT_LT(unsorted.Find(4), 1);

    const IDVector ascending = [] {
        IDVector v;
        for (unsigned long x : {2UL, 4UL, 4UL, 8UL, 3262240000UL}) v.push_back(x);
        return v;
    }();
    EXPECT_EQ(ascending.Find(4, Ascending), 2);
    EXPECT_EQ(ascending.Find(3262240000UL, Ascending), 5);
    EXPECT_EQ(ascending.Find(5, Ascending), 0);
    EXPECT_EQ(ascending.Find(2, Ascending, 2), 0);
    EXPECT_EQ(ascending.LowerBound(1), 1);
    EXPECT_EQ(ascending.LowerBound(4), 2);
    EXPECT_EQ(ascending.LowerBound(5), 4);
    EXPECT_EQ(ascending.LowerBound(4000000000UL), 6);

    const IndexVector descending = Make({9, 7, 7, 2});
    EXPECT_EQ(descending.Find(7, Descending), 2);
    EXPECT_EQ(descending.Find(8, Descending), 0);
    EXPECT_EQ(descending.LowerBound(7, Descending), 2);
    EXPECT_EQ(descending.LowerBound(1, Descending), 5);
    EXPECT_EQ(descending.GallopingLowerBound(3, 2, Descending), 4);

    // Galloping from every start agrees with a plain lower bound restricted to the same range.
    IndexVector longer;
    for (int i = 0; i < 100; ++i) longer.push_back(i / 3 * 2);
    for (int from = 1; from <= longer.size() + 1; from += 7) {
        for (int value = -1; value <= 70; ++value) {
            int expected = from;
            while (expected <= longer.size() && longer[expected] < value) ++expected;
            ASSERT_EQ(longer.GallopingLowerBound(value, from), expected) << "from " << from << " value " << value;
        }
    }
}

TEST(NCIntegralVector, SortingKeepsTrackOfOriginalPositions) {
    IndexVector v = Make({5, 1, 5, 3, 1});
    EXPECT_FALSE(v.IsSorted());
    IndexVector positions;
    v.SortWithOriginalIndex(Ascending, positions);
    EXPECT_EQ(Values(v), (std::vector<int>{1, 1, 3, 5, 5}));
    EXPECT_EQ(Values(positions), (std::vector<int>{2, 5, 4, 1, 3}));  // stable: equal values keep their order
    EXPECT_TRUE(v.IsSorted(Ascending));
    EXPECT_FALSE(v.IsSorted(Descending));

    IndexVector w = Make({5, 1, 5, 3, 1});
    w.SortWithOriginalIndex(Descending, positions);
    EXPECT_EQ(Values(w), (std::vector<int>{5, 5, 3, 1, 1}));
    EXPECT_EQ(Values(positions), (std::vector<int>{1, 3, 4, 2, 5}));

    w.Sort(Ascending, true);
    EXPECT_EQ(Values(w), (std::vector<int>{1, 3, 5}));
    w.Sort(Descending);
    EXPECT_EQ(Values(w), (std::vector<int>{5, 3, 1}));
}

TEST(NCIntegralVector, DamagedCountsAndFlagsFailBeforeAnythingIsAllocated) {
    for (const std::int32_t count : {2147483647, 251, -1}) {
        SCOPED_TRACE(count);
        nctest::ExpectReadFailsWithoutAllocating(nctest::SectionWith<IndexVector>({count}, std::string(1000, '\0')),
                                                 Make({1, 2}));
    }
    BoolVector flags;
    for (bool b : {true, false, true}) flags.push_back(b);
    nctest::ExpectReadFailsWithoutAllocating(nctest::SectionWith<BoolVector>({1001}, std::string(1000, '\1')), flags);
    // Flags are stored as one byte each, 0 or 1; any other byte is damage.
    nctest::ExpectReadFailsWithoutAllocating(nctest::SectionWith<BoolVector>({3}, std::string("\1\0\2", 3)), flags);
}

}  // namespace
