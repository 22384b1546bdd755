// The description of a batch-level dataset: its components, its log text and its "CBLI" records
// as other writers or older versions leave them. The golden files pin the bytes and damage.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "batch/BatchLevelComponent.h"
#include "batch/CreateBatchLevelInfo.h"
#include "batch/CreateBatchLevelUtilities.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/dataset/DatasetTestProject.h"

namespace {

using BLC = BatchLevelComponent;
using CreateBatchLevelUtilities::CountSummaryTypes;

TEST(BatchLevelComponent, ConstructorsPlaceTheirNumberByTypeAndFindLooksAtTypes) {
    EXPECT_EQ(CountSummaryTypes(255), 8);
    EXPECT_EQ(CountSummaryTypes(-1), 0);
    EXPECT_EQ(CountSummaryTypes(256), 0);
    EXPECT_EQ(CountSummaryTypes(BLC::eMean | BLC::eMedian | 0x1000), 2);
    EXPECT_EQ(BLC(static_cast<BLC::EType>(5), 12), BLC(BLC::eSummary, BLC::eMean | BLC::eMedian, -1));
    EXPECT_EQ(BLC(BLC::eSummaryExcluded, 12), BLC(BLC::eSummaryExcluded, 0, 12)) << "only eSummary takes types";
    EXPECT_EQ(BLC(), BLC(BLC::eScores, 0, -1));
    EXPECT_NE(BLC(BLC::eSummary, 4, 1), BLC(BLC::eSummary, 4, 2));

    CreateBatchLevelInfo info;
    EXPECT_FALSE(info.HasScores());
    for (const BLC& component : {BLC(BLC::eRawData, 2), BLC(BLC::eScores, 1), BLC(BLC::eScores, 3)})
        info.push_back(component);
    ASSERT_NE(info.Find(BLC::eScores), nullptr);
    EXPECT_EQ(info.Find(BLC::eScores)->GetIndex(), 1);
    EXPECT_EQ(info.Find(BLC::eDuration), nullptr);
    EXPECT_TRUE(info.HasScores());
    CreateBatchLevelInfo copy(info);
    EXPECT_EQ(copy, info);
    copy.SetAverageBatchForMissingPhases(false);
    EXPECT_NE(copy, info);
}

class BatchLevelLog : public DatasetTest {};

TEST_F(BatchLevelLog, NamesEveryComponentAndItsSummaryTypesFollowedByTheAverageBatchSentence) {
    const auto data = MakeDataset(1, 2, 3);  // variables V1, V2, V3
    const std::vector<std::pair<BLC, std::string>> lines{
        {BLC(BLC::eDuration, 2), "Duration"},
        {BLC(BLC::eEndPoint, -1), "End point"},
        {BLC(BLC::eScores, 0), "Scores (all components)"},
        {BLC(BLC::eScores, 4), "Scores (component 4)"},
        {BLC(BLC::eRawData, 0), "Raw data for all variables"},
        {BLC(BLC::eRawData, 2), "Raw data: variable V2"},
        {BLC(BLC::eRawDataExcluded, -1), "Raw data for all excluded variables"},
        {BLC(BLC::eRawDataExcluded, 3), "Raw data: excluded variable V3"},
        {BLC(BLC::eSummary, BLC::eMean | BLC::eMedian), "Summary for all variables: mean and median"},
        {BLC(BLC::eSummary, BLC::eMin | BLC::eMean | BLC::eMedian, 1), "Summary: variable V1: min, mean and median"},
        {BLC(BLC::eSummaryExcluded, 255, 0), "Summary for all excluded variables: all summary types"},
        {BLC(BLC::eSummaryExcluded, 0xFF00 | 0xF2, 2),
         "Summary: excluded variable V2: max, std. dev., robust std. dev., interquartile and slope"},
        // What the data lack gives no name, no summary type nothing after the colon, no type no label.
        {BLC(BLC::eRawData, 4), "Raw data: variable "},
        {BLC(BLC::eSummary, 0, 1), "Summary: variable V1: "},
        {BLC(static_cast<BLC::EType>(9), 1), ""},
    };
    for (const auto& [component, line] : lines) {
        CreateBatchLevelInfo info;
        info.push_back(component);
        EXPECT_EQ(info.GetLog(data), "* " + line + "\nAverage batch was used for missing phases\n ");
    }
    EXPECT_EQ(CreateBatchLevelInfo().GetLog(data), "");

    CreateBatchLevelInfo two;
    two.push_back(BLC(BLC::eDuration, -1));
    two.push_back(BLC(BLC::eRawData, 1));
    two.SetAverageBatchForMissingPhases(false);
    const std::string notUsed = "Average batch was NOT used for missing phases\n ";
    EXPECT_EQ(two.GetLog(data), "* Duration\n" + notUsed + "* Raw data: variable V1\n" + notUsed);
    EXPECT_EQ(two.GetLog(nullptr), "* Duration\n" + notUsed + "* Raw data: variable \n" + notUsed);
}

// A record with tag and version whose directory holds `components` (a count and the records, as
// bytes) in sub-stream 0 unless null, and the flag in sub-stream 1 unless null.
std::string Record(const char* tag, int version, const std::string* components, const bool* flag) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, version, tag);
    OutputStreamDirectory directory(os, 3);
    if (components) directory.GetOutput(0) << *components;
    if (flag) WriteToStream(*flag, directory.GetOutput(1));
    directory.Close();
    return os.str();
}

std::string Count(int count) {
    std::ostringstream os;
    WriteToStream(count, os);
    return os.str();
}

bool Read(const std::string& bytes, CreateBatchLevelInfo& info) {
    std::istringstream is(bytes);
    return info.ReadObject(is);
}

TEST(CreateBatchLevelInfoStream, AbsentSubStreamsTakeTheirRulesAndAComponentThatDoesNotReadEndsTheRead) {
    const bool no = false;
    std::ostringstream duration;
    BLC(BLC::eDuration, 0).WriteObject(duration);
    const std::string one = Count(1) + duration.str();
    CreateBatchLevelInfo info;
    info.SetAverageBatchForMissingPhases(false);
    ASSERT_TRUE(Read(Record("CBLI", 1, &one, nullptr), info));
    EXPECT_TRUE(info.GetAverageBatchForMissingPhases()) << "an absent flag reads as set";
    ASSERT_EQ(info.GetComponents(), std::vector<BLC>{BLC(BLC::eDuration, 0)});

    // A "BLC" record with only a one-byte sub-stream 1, short for its summary types: its fields stay.
    const std::string bare = Count(1) + Record("BLC", 1, nullptr, &no);
    ASSERT_TRUE(Read(Record("CBLI", 1, &bare, nullptr), info));
    EXPECT_EQ(info.GetComponents(), std::vector<BLC>{BLC()});

    CreateBatchLevelInfo missing;
    EXPECT_FALSE(Read(Record("CBLI", 1, nullptr, &no), missing)) << "no components";
    EXPECT_FALSE(missing.GetAverageBatchForMissingPhases()) << "the flag is read all the same";

    // A component that does not read ends the read; the list keeps the stored count. Other tags,
    // versions and damage are left to the version table and the golden files.
    CreateBatchLevelInfo target;
    const std::string newer = Count(2) + duration.str() + Record("BLC", 2, nullptr, nullptr);
    EXPECT_FALSE(Read(Record("CBLI", 1, &newer, &no), target));
    ASSERT_EQ(target.GetComponents().size(), 2u);
    EXPECT_EQ(target.GetComponents()[0], BLC(BLC::eDuration, 0));
    EXPECT_EQ(target.GetComponents()[1].GetVersion(), 2);
}

}  // namespace
