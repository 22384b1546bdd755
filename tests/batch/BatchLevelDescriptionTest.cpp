// The description of a batch-level dataset: its components, its log text and its "CBLI" and "BLC"
// records on streams that other writers or damage left behind. The golden files pin the bytes.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "batch/BatchLevelComponent.h"
#include "batch/CreateBatchLevelInfo.h"
#include "batch/CreateBatchLevelUtilities.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/dataset/DatasetTestProject.h"

namespace {

using BLC = BatchLevelComponent;
using CreateBatchLevelUtilities::CountSummaryTypes;

TEST(BatchLevelComponent, ConstructorsPlaceTheirNumberByTypeAndEqualityIgnoresTheVersion) {
    EXPECT_EQ(CountSummaryTypes(255), 8);
    EXPECT_EQ(CountSummaryTypes(-1), 0);
    EXPECT_EQ(CountSummaryTypes(256), 0);
    EXPECT_EQ(CountSummaryTypes(BLC::eMean | BLC::eMedian | 0x1000), 2);

    const BLC scores;
    EXPECT_EQ(scores.GetType(), BLC::eScores);
    EXPECT_EQ(scores.GetIndex(), -1);
    EXPECT_EQ(scores.GetSummaryTypes(), 0);
    const BLC summary(static_cast<BLC::EType>(5), 12);  // a summary of all variables: mean and median
    EXPECT_EQ(summary, BLC(BLC::eSummary, BLC::eMean | BLC::eMedian, -1));
    const BLC excluded(BLC::eSummaryExcluded, 12);  // only eSummary takes the number as its types
    EXPECT_EQ(excluded.GetIndex(), 12);
    EXPECT_EQ(excluded.GetSummaryTypes(), 0);
    EXPECT_NE(BLC(BLC::eRawData, 3), BLC(BLC::eRawDataExcluded, 3));
    EXPECT_NE(BLC(BLC::eSummary, 4, 1), BLC(BLC::eSummary, 4, 2));

    std::ostringstream record;
    ZStreamLight::WriteMagicStringAndVersionNumber(record, 2, "BLC");
    BLC newer;
    std::istringstream is(record.str());
    EXPECT_FALSE(newer.ReadObject(is));
    EXPECT_EQ(newer.GetVersion(), 2);
    EXPECT_EQ(newer, BLC()) << "a newer version is not compared";
}

TEST(CreateBatchLevelInfo, FindsComponentsAndComparesListsAndFlag) {
    CreateBatchLevelInfo info;
    EXPECT_EQ(info.Find(BLC::eScores), nullptr);
    EXPECT_FALSE(info.HasScores());
    info.push_back(BLC(BLC::eRawData, 2));
    info.push_back(BLC(BLC::eScores, 1));
    info.push_back(BLC(BLC::eScores, 3));
    ASSERT_NE(info.Find(BLC::eScores), nullptr);
    EXPECT_EQ(info.Find(BLC::eScores)->GetIndex(), 1);
    EXPECT_TRUE(info.HasScores());

    CreateBatchLevelInfo copy(info);
    EXPECT_EQ(copy, info);
    copy.SetAverageBatchForMissingPhases(false);
    EXPECT_NE(copy, info);
    copy = info;
    copy.push_back(BLC());
    EXPECT_NE(copy, info);
}

class BatchLevelLog : public DatasetTest {};

TEST_F(BatchLevelLog, NamesEveryComponentAndItsSummaryTypesFollowedByTheAverageBatchSentence) {
    const auto data = MakeDataset(1, 2, 3);  // variables V1, V2, V3
    const std::string used = "Average batch was used for missing phases\n ";
    const auto logOf = [&](const BLC& component) {
        CreateBatchLevelInfo info;
        info.push_back(component);
        return info.GetLog(data);
    };
    EXPECT_EQ(logOf(BLC(BLC::eDuration, 2)), "* Duration\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eEndPoint, -1)), "* End point\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eScores, 0)), "* Scores (all components)\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eScores, 4)), "* Scores (component 4)\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eRawData, 0)), "* Raw data for all variables\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eRawData, 2)), "* Raw data: variable V2\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eRawDataExcluded, -1)), "* Raw data for all excluded variables\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eRawDataExcluded, 3)), "* Raw data: excluded variable V3\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eSummary, BLC::eMean | BLC::eMedian)),
              "* Summary for all variables: mean and median\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eSummary, BLC::eMin | BLC::eMean | BLC::eMedian, 1)),
              "* Summary: variable V1: min, mean and median\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eSummaryExcluded, 255, 0)),
              "* Summary for all excluded variables: all summary types\n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eSummaryExcluded,
                        0xFF00 | BLC::eStdDev | BLC::eRobustStdDev | BLC::eInterquartile | BLC::eSlope | BLC::eMax, 2)),
              "* Summary: excluded variable V2: max, std. dev., robust std. dev., interquartile and slope\n" + used);
    // What the data do not have: no name; no summary type: nothing after the colon; no type: no label.
    EXPECT_EQ(logOf(BLC(BLC::eRawData, 4)), "* Raw data: variable \n" + used);
    EXPECT_EQ(logOf(BLC(BLC::eSummary, 0, 1)), "* Summary: variable V1: \n" + used);
    EXPECT_EQ(logOf(BLC(static_cast<BLC::EType>(9), 1)), "* \n" + used);
    EXPECT_EQ(CreateBatchLevelInfo().GetLog(data), "");

    CreateBatchLevelInfo two;
    two.push_back(BLC(BLC::eDuration, -1));
    two.push_back(BLC(BLC::eRawData, 1));
    two.SetAverageBatchForMissingPhases(false);
    const std::string notUsed = "Average batch was NOT used for missing phases\n ";
    EXPECT_EQ(two.GetLog(data), "* Duration\n" + notUsed + "* Raw data: variable V1\n" + notUsed);
    EXPECT_EQ(two.GetLog(nullptr), "* Duration\n" + notUsed + "* Raw data: variable \n" + notUsed);
}

// A "CBLI" record with the given version whose directory `fill` writes.
template <typename Fill>
std::string Record(int version, Fill&& fill) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, version, "CBLI");
    OutputStreamDirectory directory(os, 2);
    fill(directory);
    directory.Close();
    return os.str();
}

std::string Components(std::initializer_list<BLC> components, int count) {
    std::ostringstream os;
    WriteToStream(count, os);
    for (const BLC& component : components) component.WriteObject(os);
    return os.str();
}

bool Read(const std::string& bytes, CreateBatchLevelInfo& info) {
    std::istringstream is(bytes);
    return info.ReadObject(is);
}

TEST(CreateBatchLevelInfoStream, ReadsWhatOtherWritersLeaveAndRefusesWhatDoesNotCheck) {
    // Sub-stream 1 absent: the flag becomes true.
    CreateBatchLevelInfo info;
    info.SetAverageBatchForMissingPhases(false);
    ASSERT_TRUE(Read(
        Record(1, [](OutputStreamDirectory& d) { d.GetOutput(0) << Components({BLC(BLC::eDuration, 0)}, 1); }), info));
    EXPECT_TRUE(info.GetAverageBatchForMissingPhases());
    ASSERT_EQ(info.GetComponents().size(), 1u);
    EXPECT_EQ(info.GetComponents()[0], BLC(BLC::eDuration, 0));

    // A component without its index and summary types keeps the defaults.
    std::ostringstream partial;
    ZStreamLight::WriteMagicStringAndVersionNumber(partial, 1, "BLC");
    {
        OutputStreamDirectory directory(partial, 3);
        WriteToStream(static_cast<short>(BLC::eRawData), directory.GetOutput(0));
    }
    ASSERT_TRUE(
        Read(Record(1, [&](OutputStreamDirectory& d) { d.GetOutput(0) << Components({}, 1) << partial.str(); }), info));
    EXPECT_EQ(info.GetComponents()[0], BLC(BLC::eRawData, 0, -1));

    // Sub-stream 0 absent: false, and the flag is still read.
    CreateBatchLevelInfo missing;
    EXPECT_FALSE(Read(Record(1, [](OutputStreamDirectory& d) { WriteToStream(false, d.GetOutput(1)); }), missing));
    EXPECT_FALSE(missing.GetAverageBatchForMissingPhases());

    // A component of another tag or version, a count beyond the bytes, a version other than 1.
    std::ostringstream otherTag;
    ZStreamLight::WriteMagicStringAndVersionNumber(otherTag, 1, "BLD");
    CreateBatchLevelInfo target;
    EXPECT_FALSE(Read(
        Record(1, [&](OutputStreamDirectory& d) { d.GetOutput(0) << Components({}, 1) << otherTag.str(); }), target));
    std::ostringstream newer;
    ZStreamLight::WriteMagicStringAndVersionNumber(newer, 2, "BLC");
    EXPECT_FALSE(Read(
        Record(1, [&](OutputStreamDirectory& d) { d.GetOutput(0) << Components({BLC()}, 2) << newer.str(); }), target));
    ASSERT_EQ(target.GetComponents().size(), 2u) << "the list takes the stored count";
    EXPECT_EQ(target.GetComponents()[0], BLC());
    EXPECT_EQ(target.GetComponents()[1].GetVersion(), 2);
    EXPECT_FALSE(
        Read(Record(1, [](OutputStreamDirectory& d) { d.GetOutput(0) << Components({BLC()}, 1000000); }), target));
    EXPECT_EQ(target.GetComponents().size(), 2u) << "a count the bytes cannot hold changes nothing";
    EXPECT_FALSE(Read(Record(2, [](OutputStreamDirectory& d) { d.GetOutput(0) << Components({}, 0); }), target));
    EXPECT_EQ(target.GetVersion(), 2);
}

}  // namespace
