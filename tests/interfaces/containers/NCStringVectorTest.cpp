#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interfaces/containers/NCStringVector.h"
#include "tests/interfaces/containers/ContainerStreamTestHelpers.h"

namespace {

std::vector<std::string> Strings(const NCStringVector& v) {
    std::vector<std::string> out;
    v.Convert(out);
    return out;
}

TEST(NCStringVector, EditingAndSearchingUseOneBasedPositions) {
    NCStringVector v(std::vector<std::string>{"beta", "Alpha"});
    v.InsertStrings(1);
    v.InsertStrings(v.Size() + 1, 2);
    v(1, "gamma");
    v(4, nullptr);
    v.push_back("alpha");
    EXPECT_EQ(Strings(v), (std::vector<std::string>{"gamma", "beta", "Alpha", "", "", "alpha"}));
    EXPECT_STREQ(v[3], "Alpha");

    EXPECT_EQ(v.FindString("alpha", true), 6);
    EXPECT_EQ(v.FindString("alpha", false), 3);
    EXPECT_EQ(v.FindString("ALPHA", false, 4), 6);
    EXPECT_EQ(v.FindString("delta", false), 0);
    EXPECT_EQ(v.FindString("alpha", true, 7), 0);

    v.RemoveStrings(4, 2);
    EXPECT_EQ(Strings(v), (std::vector<std::string>{"gamma", "beta", "Alpha", "alpha"}));
    NCStringVector copy = v;
    v.Sort(true);
    EXPECT_EQ(Strings(v), (std::vector<std::string>{"Alpha", "alpha", "beta", "gamma"}));
    copy.Sort(false, Descending);
    EXPECT_EQ(Strings(copy), (std::vector<std::string>{"gamma", "beta", "Alpha", "alpha"}));  // stable among equals
    v.Clear();
    EXPECT_EQ(v.Size(), 0);
    EXPECT_EQ(NCStringVector(3).FindString("", true), 1);
}

TEST(NCStringVector, DamagedCountsLengthsAndStringsFailBeforeAnythingIsAllocated) {
    const NCStringVector before(std::vector<std::string>{"kept"});
    // Every string takes at least its 4-byte length, so 251 of them cannot fit in 1000 bytes.
    for (const std::int32_t count : {2147483647, 251, -1}) {
        SCOPED_TRACE(count);
        nctest::ExpectReadFailsWithoutAllocating(nctest::SectionWith<NCStringVector>({count}, std::string(1000, '\0')),
                                                 before);
    }
    const std::int32_t hugeLength = 2147483647;
    nctest::ExpectReadFailsWithoutAllocating(
        nctest::SectionWith<NCStringVector>({2, 0, hugeLength}, std::string(1000, 'x')), before);
    // A string holding a zero byte fails the whole vector.
    nctest::ExpectReadFailsWithoutAllocating(
        nctest::SectionWith<NCStringVector>({2, 1}, "a" + std::string("\3\0\0\0a\0b", 7)), before);
}

}  // namespace
