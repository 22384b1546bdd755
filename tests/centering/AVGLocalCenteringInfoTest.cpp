// The per-phase default centres: phase lookup and what a stored "LCI" section reads as.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "centering/AVGLocalCenteringInfo.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/TestStreams.h"

namespace {

using nctest::ReadObject;

std::vector<std::string> Phases(const AVGLocalCenteringInfo& info) {
    std::vector<std::string> phases;
    for (auto it = info.Begin(); it != info.End(); ++it) phases.push_back(std::string(it->first.first));
    return phases;
}

TEST(AVGLocalCenteringInfo, PhasesMatchIgnoringCaseAndOrderSo) {
    AVGLocalCenteringInfo info;
    info.AddData("P1", 11UL, 3.0f);
    EXPECT_EQ(info.GetData("p1", 11UL), 3.0f);
    EXPECT_EQ(info.GetData("P1", 12UL), -99.0f);
    info.AddData("p1", 11UL, 4.0f);
    info.AddData("b", 1UL, 0.0f);
    info.AddData("A", 1UL, 0.0f);
    EXPECT_EQ(Phases(info), (std::vector<std::string>{"A", "b", "P1"}));
    EXPECT_EQ(info.GetData("P1", 11UL), 4.0f);

    AVGLocalCenteringInfo withoutPhases(false);
    withoutPhases.AddData("", 11UL, 2.0f);
    EXPECT_EQ(withoutPhases.GetData("P7", 11UL), 2.0f);
    EXPECT_EQ(Phases(withoutPhases).size(), 1u) << "a lookup inserts nothing";
}

// An "LCI" section of the given version with one value in sub-stream 0 (when asked) and no
// sub-stream 1.
std::string LCISection(int version, bool withValues) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, version, "LCI");
    OutputStreamDirectory directory(os, 2);
    if (withValues) {
        std::ostream& values = directory.GetOutput(0);
        WriteToStream(1, values);
        WriteFields(values, CString("Heat"), 5UL, 1.25f);
    }
    directory.Close();
    return os.str();
}

TEST(AVGLocalCenteringInfo, ReadsVersionTwoOnlyAndEmptiesTheValuesFirst) {
    AVGLocalCenteringInfo info(false);
    info.AddData("Old", 1UL, 1.0f);
    ASSERT_TRUE(ReadObject(LCISection(2, true), info));
    EXPECT_TRUE(info.HasPhases()) << "a stream without the flag has phases";
    EXPECT_EQ(Phases(info), std::vector<std::string>{"Heat"});
    EXPECT_EQ(info.GetData("heat", 5UL), 1.25f);

    EXPECT_FALSE(ReadObject(LCISection(1, true), info));
    EXPECT_EQ(Phases(info), std::vector<std::string>{"Heat"}) << "a refused version changes nothing";
    EXPECT_FALSE(ReadObject(LCISection(2, false), info)) << "the values are required";
    EXPECT_TRUE(Phases(info).empty());
}

}  // namespace
