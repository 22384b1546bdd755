// Reading batch records, import settings and stored batch lists from streams that other writers,
// older layouts or damage left behind.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "app/ReferenceProject.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/RUSPData.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/TestStreams.h"
#include "tests/dataset/DatasetTestProject.h"

using nc::kNoUniqueID;

namespace {

using nctest::ReadObject;
using nctest::WriteObject;

boost::shared_ptr<BatchInfo> BatchWithOnePhase(const char* name) {
    auto batch = boost::make_shared<BatchInfo>(name);
    batch->SetNumObs(5);
    auto phases = std::make_unique<ClassInfoVector>();
    phases->push_back(boost::make_shared<ClassInfo>("Heat"));
    batch->SetClassVectorPtr(std::move(phases));
    return batch;
}

TEST(BatchStreams, ABatchWithoutPhasesReadsBackWithoutThem) {
    BatchInfo plain("Plain");
    plain.SetNumObs(3);
    const auto target = BatchWithOnePhase("Old");
    ASSERT_TRUE(ReadObject(WriteObject(plain), *target));
    EXPECT_EQ(target->GetClassVector(), nullptr);
    EXPECT_EQ(*target, plain);
}

// A "WSINFO" section holding only the sub-streams that every version has.
std::string SettingsWithRequiredFieldsOnly() {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, 2, "WSINFO");
    OutputStreamDirectory directory(os, 13);
    WriteToStream(static_cast<short>(1), directory.GetOutput(0));
    WriteToStream(7, directory.GetOutput(1));
    WriteToStream(8, directory.GetOutput(2));
    WriteToStream(NCStringVector(), directory.GetOutput(3));
    WriteToStream(2, directory.GetOutput(5));
    WriteToStream(3, directory.GetOutput(6));
    WriteToStream(std::map<unsigned long, unsigned long>{{20UL, 10UL}}, directory.GetOutput(7));
    WriteToStream(std::vector<ColumnConcatenateInfo>(), directory.GetOutput(9));
    directory.Close();
    return os.str();
}

TEST(BatchStreams, SettingsWithoutOptionalFieldsReadWithDefaults) {
    BatchImportSettings settings;
    ClassInfoVector phases;
    phases.push_back(boost::make_shared<ClassInfo>("Heat"));
    settings.SetDefaultClassInfoVector(&phases);
    settings.SetHasBeenDownSized(true);
    settings.SetDownSizeHeader(4);
    settings.SetDownSizeInterval(9);
    settings.PushBackColumnConcatInfo(ColumnConcatenateInfo());

    ASSERT_TRUE(ReadObject(SettingsWithRequiredFieldsOnly(), settings));
    EXPECT_EQ(settings.GetDefaultClassInfoVector(false), nullptr);
    EXPECT_FALSE(settings.GetHasBeenDownSized());
    EXPECT_EQ(settings.GetDownSizeHeader(), 1);
    EXPECT_EQ(settings.GetDownSizeInterval(), 1);
    EXPECT_EQ(settings.SizeColumnConcatInfos(), 0);
    EXPECT_TRUE(settings.HasPhases());
    EXPECT_EQ(settings.GetBatchIDImportColumn(), 7);
    EXPECT_EQ(settings.GetSourceVar(20UL, nullptr), kNoUniqueID);  // no collection to find it in
    EXPECT_TRUE(settings.IsSmoothed(10UL));
}

// A "RUSPDATA" record with the given raw sub-streams (null: absent).
std::string RUSPRecord(const std::string* batchLists, const std::string* obsIDs) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, 1, "RUSPDATA");
    OutputStreamDirectory directory(os, 2);
    if (batchLists) directory.GetOutput(0) << *batchLists;
    if (obsIDs) directory.GetOutput(1) << *obsIDs;
    directory.Close();
    return os.str();
}

std::string BatchListsOf(int number, const BatchInfoVector& list) {
    std::ostringstream os;
    const std::map<int, boost::shared_ptr<BatchInfoVector>> lists{{number, boost::make_shared<BatchInfoVector>(list)}};
    WriteToStream(lists, os);
    return os.str();
}

TEST(BatchStreams, StoredBatchListsSurviveADamagedObservationList) {
    const auto project = ReferenceProject::Create();
    BatchInfoVector list;
    list.push_back(BatchWithOnePhase("B1"));
    list.SetBCVariableIDs(NCIntegralVector<unsigned long, 0>(1, 77UL));
    const std::string lists = BatchListsOf(4, list);
    std::string obsIDs;
    {
        std::ostringstream os;
        const std::map<int, NCIntegralVector<unsigned long, 0>> ids{{4, NCIntegralVector<unsigned long, 0>(3, 1UL)}};
        WriteToStream(ids, os);
        obsIDs = os.str();
    }
    const std::string damaged = obsIDs.substr(0, obsIDs.size() - 2);

    RUSPData record(*project);
    std::istringstream is(RUSPRecord(&lists, &damaged));
    ASSERT_TRUE(record.ReadObject(is));
    ASSERT_TRUE(record.GetBatchInfoVector(4));
    EXPECT_EQ(*record.GetBatchInfoVector(4), list);
    EXPECT_TRUE(record.GetObsIDs().empty());

    RUSPData noLists(*project);
    std::istringstream withoutLists(RUSPRecord(nullptr, &obsIDs));
    ASSERT_TRUE(noLists.ReadObject(withoutLists));
    EXPECT_FALSE(noLists.GetBatchInfoVector(4));
    EXPECT_EQ(noLists.GetObsIDs().at(4).size(), 3);

    std::istringstream otherTag(std::string("\x02\0\0\0BI\x01\0\0\0", 10));
    EXPECT_FALSE(RUSPData(*project).ReadObject(otherTag));
}

TEST(BatchStreams, ALegacyBatchListGainsConditionVariablesWhenRead) {
    const auto project = ReferenceProject::Create();
    auto batch = boost::make_shared<BatchInfo>("B1");
    NCStringVector texts;
    texts.push_back("Blue");
    batch->OBSOLETE_SetQualitativeValues(texts);
    std::ostringstream bi;
    ZStreamLight::WriteMagicStringAndVersionNumber(bi, 2, "BI");
    {
        OutputStreamDirectory directory(bi, 5);
        WriteToStream(std::vector<boost::shared_ptr<BatchInfo>>{batch}, directory.GetOutput(0));
        NCStringVector names;
        names.push_back("Colour");
        WriteToStream(names, directory.GetOutput(1));
        WriteToStream(std::vector<int>{BatchInfoVector::eLegacyQualitative}, directory.GetOutput(2));
        WriteToStream(NCIntegralVector<unsigned long, 0>(), directory.GetOutput(3));
        directory.Close();
    }
    std::ostringstream lists;
    WriteToStream(1, lists);
    WriteToStream(2, lists);
    lists.put(1);
    lists << bi.str();

    RUSPData record(*project);
    const std::string listBytes = lists.str();
    std::istringstream is(RUSPRecord(&listBytes, nullptr));
    ASSERT_TRUE(record.ReadObject(is));
    const auto read = record.GetBatchInfoVector(2);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->GetBCVariableIDs().size(), 1);
    const VariableInfo* colour = project->GetVariables()[read->GetBCVariableIDs()[1]];
    ASSERT_NE(colour, nullptr);
    EXPECT_STREQ(colour->GetPrimaryAlias(), "Colour");
    EXPECT_TRUE(colour->IsQualitative());
    EXPECT_EQ((*read)[0]->GetBatchConditionValues()(1), 1.0f);
}

using RUSPDataAddTest = DatasetTest;

TEST_F(RUSPDataAddTest, ADatasetWithoutBatchesLeavesOnlyItsObservations) {
    const auto dataset = MakeDataset(5, 3, 2);
    RUSPData record(*project);
    record.Set(5, boost::make_shared<BatchInfoVector>(), NCIntegralVector<unsigned long, 0>());
    record.Add(dataset);
    EXPECT_FALSE(record.GetBatchInfoVector(5));
    EXPECT_EQ(record.GetObsIDs().at(5), dataset->GetObsIDs());
}

}  // namespace
