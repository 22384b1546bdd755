// What callers rely on in the name-keyed local centering values: lookups, the per-phase averages,
// the configuration section and streams written without the later fields.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/MemoryConfigurationSection.h"
#include "centering/AVGLocalCenteringInfo.h"
#include "centering/LocalCenteringInfo.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/Exception.h"
#include "tests/TestStreams.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

using nctest::ReadObject;

// Variables X (unique ID 11) and Y (12).
struct TwoVariables {
    QuantitativeVariableInfo x{"X", 11UL, "", -1, -1, eVarTypeDefault};
    QuantitativeVariableInfo y{"Y", 12UL, "", -1, -1, eVarTypeDefault};
    std::vector<VariableInfo*> list{&x, &y};
};

TEST(LocalCenteringInfo, AveragesPerPhaseAndVariableOverBatchesAndRefusesUnknownVariables) {
    LocalCenteringInfo info(1, true);
    info.AddData("B1", "P1", "X", 2.0f);
    info.AddData("B2", "P1", "X", 4.0f);
    info.AddData("B3", "P1", "X", -99.0f);
    info.AddData("B1", "P1", "Y", -99.0f);  // none: -99, as it is not the last in order
    info.AddData("B2", "P2", "X", 5.0f);
    info.AddData("B1", "P3", "Y", -99.0f);  // none and last in order: left out
    TwoVariables variables;
    const std::unique_ptr<AVGLocalCenteringInfo> averages(info.BuildDefLocalCenteringInfo(&variables.list));
    ASSERT_NE(averages, nullptr);
    EXPECT_TRUE(averages->HasPhases());
    EXPECT_EQ(averages->GetData("P1", 11UL), 3.0f);
    EXPECT_EQ(averages->GetData("P2", 11UL), 5.0f);
    EXPECT_EQ(std::distance(averages->Begin(), averages->End()), 3) << "P1/Y is there, P3/Y is not";

    info.AddData("B1", "P1", "x", 1.0f);  // names are compared exactly
    try {
        delete info.BuildDefLocalCenteringInfo(&variables.list);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(),
                     "Local centering information was found for an unknown variable.\n"
                     "Re-importing the local centering information might solve the problem.");
    }
}

TEST(LocalCenteringInfo, LookupsUseTheEmptyPhaseWithoutPhasesAndInsertNothing) {
    LocalCenteringInfo withoutPhases(7, false);
    withoutPhases.AddData("B1", "", "X", 1.5f);
    EXPECT_EQ(withoutPhases.GetData("B1", "any phase", "X"), 1.5f);
    EXPECT_EQ(withoutPhases.GetData("B2", "", "X"), -99.0f);
    EXPECT_EQ(withoutPhases.SizeTrippel(), 1u);

    LocalCenteringInfo withPhases;
    withPhases.AddData("B1", "P1", "X", 1.0f);
    EXPECT_EQ(withPhases.GetData("B1", "p1", "X"), -99.0f) << "phases are compared exactly";
}

TEST(LocalCenteringInfo, SaveThenLoadRestoresTheCentresAndNothingElse) {
    LocalCenteringInfo saved(3, true);
    saved.AddData("B2", "P1", "X", 0.1f);
    saved.AddData("B1", "P1", "X", -99.0f);
    saved.AddData("B1", "", "Long name", 1e30f);
    MemoryConfigurationSection section;
    saved.Save(&section);

    LocalCenteringInfo loaded(9, false);
    loaded.AddData("old", "", "old", 1.0f);
    loaded.Load(&section);
    EXPECT_EQ(loaded.GetCenterID(), 9);
    EXPECT_FALSE(loaded.HasPhases());
    ASSERT_EQ(loaded.SizeTrippel(), 3u);
    EXPECT_TRUE(std::equal(saved.BeginTrippel(), saved.EndTrippel(), loaded.BeginTrippel()));

    MemoryConfigurationSection empty;
    loaded.Load(&empty);
    EXPECT_EQ(loaded.SizeTrippel(), 0u);
    EXPECT_EQ(empty.GetSubSection("LocalCentering", false), nullptr);
}

// A "FULL_LCI" section of the given version holding one centre and only sub-stream 0, written by
// hand; `tag` is the magic text of the triple.
std::string SectionWithCentresOnly(int version, const char* tag = "IndexTrippel") {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, version, "FULL_LCI");
    OutputStreamDirectory directory(os, 3);
    std::ostream& centres = directory.GetOutput(0);
    WriteToStream(1, centres);
    ZStreamLight::WriteMagicStringAndVersionNumber(centres, 1, tag);
    {
        OutputStreamDirectory triple(centres, 3);
        WriteToStream("B1", triple.GetOutput(0));
        WriteToStream("P1", triple.GetOutput(1));
        WriteToStream("X", triple.GetOutput(2));
    }
    WriteToStream(2.5f, centres);
    directory.Close();
    return os.str();
}

TEST(LocalCenteringInfo, AStreamWithoutIDAndPhasesReadsAsIDMinusOneWithPhases) {
    for (const int version : {1, 0, 5}) {
        LocalCenteringInfo info(4, false);
        ASSERT_TRUE(ReadObject(SectionWithCentresOnly(version), info)) << "version " << version;
        EXPECT_EQ(info.GetCenterID(), -1);
        EXPECT_TRUE(info.HasPhases());
        EXPECT_EQ(info.GetData("B1", "P1", "X"), 2.5f);
    }
    LocalCenteringInfo kept;
    kept.AddData("B1", "P1", "X", 7.0f);
    ASSERT_TRUE(ReadObject(SectionWithCentresOnly(1), kept));
    EXPECT_EQ(kept.GetData("B1", "P1", "X"), 7.0f) << "a triple already held keeps its value";
    EXPECT_FALSE(ReadObject(SectionWithCentresOnly(1, "IndexTriple"), kept));
}

}  // namespace
