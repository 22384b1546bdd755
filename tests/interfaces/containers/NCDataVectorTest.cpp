#include <gtest/gtest.h>

#include <vector>

#include "interfaces/containers/NCDataVector.h"
#include "tests/interfaces/containers/ContainerStreamTestHelpers.h"

namespace {

using FloatVector = NCDataVector<float>;

FloatVector Make(std::initializer_list<float> values) {
    FloatVector v;
    for (float x : values) v.push_back(x);
    return v;
}

std::vector<float> Values(const FloatVector& v) { return std::vector<float>(v.data(), v.data() + v.size()); }

TEST(NCDataVector, EditingUsesOneBasedPositions) {
    FloatVector v(2);
    EXPECT_EQ(Values(v), (std::vector<float>{-99, -99}));
    EXPECT_EQ(v(2, 4.5f), 4.5f);
    EXPECT_EQ(v(2), 4.5f);
    v.InsertValues(3, 2, 1.0f);  // appends
    v.InsertValues(1, 1, 0.5f);
    EXPECT_EQ(Values(v), (std::vector<float>{0.5f, -99, 4.5f, 1, 1}));
    v.RemoveValues(4, 2);
    v.SetSize(5);
    EXPECT_EQ(Values(v), (std::vector<float>{0.5f, -99, 4.5f, -99, -99}));
    NCIntegralVector<int, -99> keep;
    keep.push_back(3);
    keep.push_back(1);
    v.Reduce(keep);
    EXPECT_EQ(Values(v), (std::vector<float>{4.5f, 0.5f}));
    const float raw[] = {1, 2, 3};
    v.CopyVector(raw, 3);
    EXPECT_EQ(Values(v), (std::vector<float>{1, 2, 3}));
    FloatVector copy = v;
    copy(1, 9.0f);
    EXPECT_TRUE(copy != v);
    v.Clear();
    EXPECT_EQ(v.size(), 0);
}

TEST(NCDataVector, StatisticsSkipMissingValues) {
    FloatVector v = Make({-99, 4, -2, -99, 10});
    float lo = 0, hi = 0;
    ASSERT_TRUE(v.GetMinMax(lo, hi));
    EXPECT_EQ(lo, -2);
    EXPECT_EQ(hi, 10);
    EXPECT_EQ(v.GetMedian(), 4);
    v.push_back(6);
    EXPECT_EQ(v.GetMedian(), 5);  // mean of the middle two
    v += 1;
    EXPECT_EQ(Values(v), (std::vector<float>{-99, 5, -1, -99, 11, 7}));

    FloatVector missing(3);
    lo = hi = 42;
    EXPECT_FALSE(missing.GetMinMax(lo, hi));
    EXPECT_EQ(lo, 42);
    EXPECT_EQ(missing.GetMedian(), -99);
    EXPECT_EQ(FloatVector().GetMedian(), -99);
}

TEST(NCDataVector, SortReturnsFormerPositions) {
    FloatVector v = Make({3, 1, 2, 1});
    NCIntegralVector<int, -99> order;
    const NCIntegralVector<int, -99> returned = v.Sort(&order);
    EXPECT_EQ(Values(v), (std::vector<float>{1, 1, 2, 3}));
    EXPECT_EQ(std::vector<int>(returned.begin(), returned.end()), (std::vector<int>{2, 4, 3, 1}));
    EXPECT_TRUE(order == returned);
    FloatVector w = Make({3, 1, 2, 1});
    const auto descending = w.Sort(nullptr, Descending);
    EXPECT_EQ(Values(w), (std::vector<float>{3, 2, 1, 1}));
    EXPECT_EQ(std::vector<int>(descending.begin(), descending.end()), (std::vector<int>{1, 3, 2, 4}));
}

TEST(NCDataVector, DamagedCountsFailBeforeAnythingIsAllocated) {
    for (const std::int32_t count : {2147483647, 251, -1}) {
        SCOPED_TRACE(count);
        nctest::ExpectReadFailsWithoutAllocating(nctest::SectionWith<FloatVector>({count}, std::string(1000, '\0')),
                                                 Make({1, 2}));
    }
}

}  // namespace
