// The description of a dataset: taken from a dataset by Update, compared by what describes the
// dataset rather than its values, answering ID texts through the project's records, filled from
// the project's loaded dataset when read from a section without ID lists, and handed out by the
// reference project for loaded and unloaded datasets. Damaged sections are covered by the golden
// file sweep (tests/golden).

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>

#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSetInfo.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/TestStreams.h"
#include "tests/dataset/DatasetTestProject.h"

namespace {

using IDList = NCIntegralVector<unsigned long, 0>;

constexpr int kBatchDataset = nc::DataType::kDefault | nc::DataType::kObservationLevelBatch;

class NCDataSetInfoTest : public DatasetTest {
protected:
    // Dataset 3 of 2 x 3, its second variable in the Y block and a second ID column for both
    // kinds ("o<k>", "v<k>").
    boost::shared_ptr<NCDataSet> Described() {
        auto dataset = MakeDataset(3, 2, 3);
        for (int obs = 1; obs <= 2; ++obs)
            project->GetObservations()[dataset->GetObsID(obs)]->SetUserID(CString("o" + std::to_string(obs)), 2,
                                                                          &project->GetObservations());
        for (int var = 1; var <= 3; ++var)
            project->GetVariables()[dataset->GetVarID(var)]->SetUserID(CString("v" + std::to_string(var)), 2,
                                                                       &project->GetVariables());
        project->GetVariables()[dataset->GetVarID(2)]->SetVariableBlock(eBlockY);
        return dataset;
    }

    // One batch "B1"; phases "Heat" (with Y variable `y`) and "Cool".
    static BatchInfoVector OneBatch() {
        BatchInfoVector batches;
        batches.push_back(boost::make_shared<BatchInfo>("B1"));
        return batches;
    }
    static ClassInfoVector TwoPhases(unsigned long y) {
        ClassInfoVector phases;
        for (const char* name : {"Heat", "Cool"}) phases.push_back(boost::make_shared<ClassInfo>(name));
        phases[0]->SetYVariableID(y);
        return phases;
    }
};

// A section written the way older versions did: 2 observations, 3 variables, the name "Old" and
// only sub-streams 0 … lastSubStream (at most 9, the variable IDs).
struct OlderSection {
    int version = 3;
    int number = 5;
    int lastSubStream = 5;
    int dataType = nc::DataType::kDefault;
    IDList varIDs;

    std::string Bytes() const {
        std::ostringstream os;
        ZStreamLight::WriteMagicStringAndVersionNumber(os, version, NCDataSetInfo::StreamData().GetTag());
        OutputStreamDirectory directory(os, 14);
        const int numbers[] = {0, 2, 3, number};  // Y variables, observations, variables, dataset number
        for (int k = 0; k <= lastSubStream && k < 4; ++k) WriteToStream(numbers[k], directory.GetOutput(k));
        if (lastSubStream >= 4) WriteToStream(CString("Old"), directory.GetOutput(4));
        if (lastSubStream >= 6) WriteToStream(dataType, directory.GetOutput(6));
        if (lastSubStream >= 9) WriteToStream(varIDs, directory.GetOutput(9));
        directory.Close();
        return os.str();
    }
};

// The members Update takes and writes are pinned by the golden files, whose full description is made
// by Update from a dataset; these are the lists it copies and drops.
TEST_F(NCDataSetInfoTest, UpdateCopiesTheListsAndDropsThoseTheDatasetLacks) {
    const auto dataset = Described();
    dataset->SetName("Lab");
    dataset->SetUsedAliases({2, 1}, {2});
    const BatchInfoVector batches = OneBatch();
    const ClassInfoVector phases = TwoPhases(dataset->GetVarID(2));  // the Y variable counts in its phase
    dataset->SetBatchInfoVector(&batches);
    dataset->SetPhaseInfoVector(&phases);
    dataset->SetSource(kBatchDataset, 17);

    NCDataSetInfo info(dataset);
    EXPECT_EQ(info.GetNumYVariables(), 1);

    // The lists are copies: changing the dataset's lists leaves the description as taken.
    ASSERT_TRUE(info.GetBatchInfoVector() && info.GetPhaseInfoVector());
    EXPECT_EQ(*info.GetBatchInfoVector(), *dataset->GetBatchInfoVector());
    (*NCDataSet::GetMutableBatchInfoVector(*project, 3))[0]->SetIncluded(false);
    (*dataset->GetPhaseInfoVector())[1]->SetPhaseName("Renamed");
    EXPECT_TRUE((*info.GetBatchInfoVector())[0]->IsIncluded());
    EXPECT_STREQ((*info.GetPhaseInfoVector())[1]->GetPhaseName(), "Cool");

    // A copy keeps its lists when the original is updated; Update drops lists the dataset lacks.
    const NCDataSetInfo copy(info);
    info.Update(MakeDataset(4, 1, 1));
    EXPECT_EQ(info.GetNumber(), 4);
    EXPECT_EQ(info.GetNumYVariables(), 0);
    EXPECT_FALSE(info.GetBatchInfoVector() || info.GetPhaseInfoVector());
    EXPECT_TRUE(copy.GetBatchInfoVector() && copy.GetPhaseInfoVector());
    info.Update(nullptr);
    EXPECT_EQ(info.GetNumber(), 4);
}

TEST_F(NCDataSetInfoTest, IDTextsComeFromTheProjectsRecordsThroughTheUsedAliases) {
    const auto dataset = Described();
    dataset->SetName("Lab");
    dataset->SetUsedAliases({2, 1, 7}, {2});
    const NCDataSetInfo info(dataset);

    // The alias columns and the error text are the container base's, checked in NCDataSetTest.
    EXPECT_STREQ(info.GetObservationID(2, 1), "o2");
    EXPECT_STREQ(info.GetObservationID(2, 2), "O2");
    EXPECT_STREQ(info.GetObservationID(3, 1), "") << "an observation beyond the list";
    EXPECT_STREQ(info.GetVariableID(3, 1), "v3");
    EXPECT_STREQ(info.GetVariableID(4, 1), "");

    // A record gone from the project: an error for observations, nothing for variables.
    IDList gone(1, dataset->GetObsID(1));
    project->GetObservations().DeleteObsInfos(gone);
    EXPECT_THROW(info.GetObservationID(1, 1), NCError);
    gone(1) = dataset->GetVarID(1);
    project->GetVariables().DeleteObsInfos(gone);
    EXPECT_STREQ(info.GetVariableID(1, 1), "");

    project.reset();  // without the project nothing is looked up
    EXPECT_STREQ(info.GetObservationID(1, 1), "");
    EXPECT_STREQ(info.GetVariableID(2, 1), "");
}

TEST_F(NCDataSetInfoTest, ComparisonLooksAtWhatDescribesTheDatasetNotItsValuesOrIDs) {
    const auto dataset = Described();
    const NCDataSetInfo before(dataset);
    EXPECT_TRUE(before != NCDataSetInfo(MakeDataset(5, 2, 3))) << "the same but for the number";
    ASSERT_TRUE(dataset->SetValue(1, 1, 5.0f, false, false, false));
    dataset->ChangeVarID(AddVariableRecord("Other"), 3);
    EXPECT_TRUE(before == NCDataSetInfo(dataset)) << "values and IDs are not compared";

    const auto unequalAfter = [&](auto change) {
        const NCDataSetInfo described(dataset);
        change();
        return described != NCDataSetInfo(dataset) && !(described == NCDataSetInfo(dataset));
    };
    EXPECT_TRUE(unequalAfter([&] { dataset->AddVariables(1, "New", false, true); }));
    EXPECT_TRUE(unequalAfter([&] { dataset->AddObservations(1); }));
    EXPECT_TRUE(unequalAfter([&] { dataset->SetName("data"); })) << "a rename differing in case only";
    EXPECT_TRUE(unequalAfter([&] { dataset->SetSource(nc::DataType::kDefault | 0x04, 12); }));
    EXPECT_TRUE(unequalAfter([&] { dataset->SetSource(nc::DataType::kDefault | 0x04, 13); }));
    EXPECT_TRUE(unequalAfter([&] { dataset->SetUsedAliases({1, 2}, {1}); }));
    EXPECT_TRUE(unequalAfter([&] { dataset->SetUsedAliases({1, 2}, {2}); }));
}

TEST_F(NCDataSetInfoTest, AnOlderSectionReadsWithDefaultsAndOnlyVersion3IsRead) {
    const auto dataset = Described();
    const BatchInfoVector batches = OneBatch();
    dataset->SetBatchInfoVector(&batches);
    dataset->SetUsedAliases({2}, {1, 2});
    dataset->SetSource(kBatchDataset, 8);
    NCDataSetInfo read(dataset);

    // Reading replaces everything the stream leaves out by its default.
    ASSERT_TRUE(nctest::ReadObject(OlderSection().Bytes(), read));
    EXPECT_EQ(
        std::vector<int>({read.GetNumObservations(), read.GetNumVariables(), read.GetNumber(), read.GetDataType()}),
        std::vector<int>({2, 3, 5, nc::DataType::kDefault}));
    EXPECT_EQ(read.GetSourceID(), nc::kNoUniqueID);
    EXPECT_EQ(read.SizeObservations(), 0) << "the sizes come from the ID lists, which the section lacks";
    EXPECT_EQ(read.GetUsedObsAliases(), std::vector<int>{1});
    EXPECT_EQ(read.GetUsedVarAliases(), std::vector<int>{1});
    EXPECT_FALSE(read.GetBatchInfoVector());

    for (const int version : {2, 4, -1}) {
        OlderSection other;
        other.version = version;
        EXPECT_FALSE(nctest::ReadObject(other.Bytes(), read)) << "version " << version;
    }
    OlderSection nameless;
    nameless.lastSubStream = 3;
    EXPECT_FALSE(nctest::ReadObject(nameless.Bytes(), read)) << "without the name";
}

TEST_F(NCDataSetInfoTest, ProjectTakingAccessorsFillWhatTheSectionLackedFromTheLoadedDataset) {
    const auto dataset = Described();
    dataset->SetName("Now");
    NCDataSetInfo info(boost::static_pointer_cast<NCProjectBase>(project));

    ASSERT_TRUE(nctest::ReadObject(OlderSection().Bytes(), info));
    EXPECT_TRUE(info.GetVarIDs(*project).empty()) << "dataset 5 is not loaded";

    // Dataset 3 is: an empty ID list makes each accessor take the whole description from it.
    OlderSection third;
    third.number = 3;
    for (int accessor = 0; accessor < 3; ++accessor) {
        ASSERT_TRUE(nctest::ReadObject(third.Bytes(), info));
        if (accessor == 0) EXPECT_EQ(info.GetObsIDs(*project), dataset->GetObsIDs());
        if (accessor == 1) EXPECT_EQ(info.GetVarIDs(*project), dataset->GetVarIDs());
        if (accessor == 2) EXPECT_EQ(info.GetPhaseInfoVector(*project), nullptr);
        EXPECT_STREQ(info.GetName(), "Now") << accessor;
    }
    // Stored lists are kept, even when the dataset changed since.
    dataset->SetName("Later");
    EXPECT_EQ(info.GetObsIDs(*project), dataset->GetObsIDs());
    EXPECT_EQ(info.GetBatchInfoVector(*project), nullptr) << "no batch kind in the data type";
    EXPECT_STREQ(info.GetName(), "Now");

    // A batch dataset described with its variables but without its batch list gets the list from
    // the dataset first.
    const BatchInfoVector batches = OneBatch();
    dataset->SetBatchInfoVector(&batches);
    third.lastSubStream = 9;
    third.dataType = kBatchDataset;
    third.varIDs = dataset->GetVarIDs();
    ASSERT_TRUE(nctest::ReadObject(third.Bytes(), info));
    EXPECT_EQ(info.GetPhaseInfoVector(*project), nullptr);
    EXPECT_STREQ(info.GetName(), "Old");
    const BatchInfoVector* filled = info.GetBatchInfoVector(*project);
    ASSERT_NE(filled, nullptr);
    EXPECT_EQ(*filled, batches);
    EXPECT_STREQ(info.GetName(), "Later");
}

TEST_F(NCDataSetInfoTest, ReferenceProjectDescribesLoadedAndUnloadedDatasets) {
    const auto dataset = Described();
    EXPECT_FALSE(project->GetDataSetInfo(9));
    const auto loaded = project->GetDataSetInfo(3);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetVarIDs(), dataset->GetVarIDs());

    ASSERT_TRUE(project->UnloadDataset(3));
    const auto unloaded = project->GetDataSetInfo(3);
    ASSERT_TRUE(unloaded);
    EXPECT_EQ(project->GetDataSetInfo(3), unloaded) << "kept, so that filling it lasts";
    EXPECT_STREQ(unloaded->GetVariableID(1, 1), "V1");
    project->RemoveDataset(3);
    EXPECT_FALSE(project->GetDataSetInfo(3));
}

}  // namespace
