#include <cstdint>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dataset/TrimdVarStruct.h"
#include "interfaces/streams/Section.h"
#include "tests/TestStreams.h"

namespace {

using nctest::ReadObject;

// A "TVS" section of `version` whose sub-stream `k` holds the floats as written, after a count.
std::string TrimSection(int version, int k, const std::vector<float>& values) {
    const Section section("TVS", version, 1);
    SectionFlag flag;
    std::ostringstream os;
    section.Write(
        os, flag, [] { return true; },
        [&](SectionOutput& out) {
            std::ostream& sub = out.Stream(k);
            WriteToStream(static_cast<int>(values.size()), sub);
            for (const float value : values) WriteToStream(value, sub);
        });
    return os.str();
}

TrimdVarStruct Holding(std::initializer_list<float> values) {
    TrimdVarStruct trim;
    for (const float value : values) trim.AddTrimValue(value);
    return trim;
}

// Written bytes and plain round trips are pinned by the golden files.
TEST(TrimdVarStructStream, OtherVersionsMissingShortOrUnorderedValuesFailAndLeaveNothing) {
    const auto fails = [](const std::string& bytes) {
        TrimdVarStruct read = Holding({7.0f});
        const bool ok = ReadObject(bytes, read);
        // Emptied before the fields, so nothing of the old set survives a failed read.
        EXPECT_TRUE(read.GetTrimValues().empty());
        return !ok;
    };
    TrimdVarStruct read = Holding({7.0f});
    ASSERT_TRUE(ReadObject(TrimSection(1, 0, {-1.0f, 2.0f}), read)) << "the hand-made section itself reads";
    EXPECT_EQ(read.GetTrimValues(), (std::set<float>{-1.0f, 2.0f}));
    EXPECT_TRUE(fails(TrimSection(0, 0, {1.0f})));
    EXPECT_TRUE(fails(TrimSection(2, 0, {1.0f})));
    EXPECT_TRUE(fails(TrimSection(1, 1, {1.0f})));  // sub-stream 0 absent
    EXPECT_TRUE(fails(TrimSection(1, 0, {2.0f, 1.0f})));
    EXPECT_TRUE(fails(TrimSection(1, 0, {1.0f, 1.0f})));
    EXPECT_TRUE(fails(TrimSection(1, 0, {std::numeric_limits<float>::quiet_NaN()})));

    std::string shortCount = TrimSection(1, 0, {1.0f, 2.0f});
    const std::size_t countAt = shortCount.find(std::string("\x02\0\0\0", 4), 11);
    ASSERT_NE(countAt, std::string::npos);
    shortCount[countAt] = 3;  // one value more than the sub-stream holds
    EXPECT_TRUE(fails(shortCount));
}

}  // namespace
