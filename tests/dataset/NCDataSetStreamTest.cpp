// A dataset's section written and read back, sections of older writers and damaged ones.

#include <cstdint>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>

#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/streams/Section.h"
#include "tests/TestStreams.h"
#include "tests/dataset/DatasetTestProject.h"
#include "tests/dataset/NCDataSetTestAccess.h"

using nc::kNoUniqueID;

namespace {

using Access = NCDataSetTestAccess;
using nctest::ReadObject;
using nctest::WriteObject;

class NCDataSetStreamTest : public DatasetTest {
protected:
    // A dataset of 3 x 2 with batch and phase lists, trimming records of its second variable,
    // a source, a sort cache and aliases other than the defaults.
    boost::shared_ptr<NCDataSet> MakeFullDataset() {
        project->GetObservations().AddSecondaryID("Batch");
        project->GetVariables().AddSecondaryID("Short");
        const auto dataset = MakeDataset(1, 3, 2);
        BatchInfoVector batches;
        batches.push_back(boost::make_shared<BatchInfo>("B1"));
        dataset->SetBatchInfoVector(&batches);
        ClassInfoVector phases;
        phases.push_back(boost::make_shared<ClassInfo>("Heat"));
        dataset->SetPhaseInfoVector(&phases);
        EXPECT_TRUE(dataset->SetValue(2, 2, 0.5f, true, false, false));
        Access::TrimDescriptions(*dataset)[0]->AddTrimValue(0.5f);
        Access::SetSortCache(*dataset, {true, true, false});
        dataset->SetSource(nc::DataType::kObservationLevelBatch | 0x100, 77UL);
        dataset->SetUsedAliases({2, 1}, {1, 2});
        dataset->SetImportLog("from a file");
        return dataset;
    }

    boost::shared_ptr<NCDataSet> Fresh(int number = 9) { return NCDataSet::Create(project, number); }
};

// A section of `version` with the fields that every version has (a dataset of 1 x 1 holding
// 5.0), except those listed in `leftOut`, then what `more` writes.
std::string HandBuiltSection(int version, const std::function<void(SectionOutput&)>& more,
                             const std::set<int>& leftOut = {}) {
    const Section section("NCDS", version, 19);
    SectionFlag flag;
    std::ostringstream os;
    section.Write(
        os, flag, [] { return true; },
        [&](SectionOutput& out) {
            const auto write = [&](int k, const auto& value) {
                if (!leftOut.count(k)) out.Write(k, value);
            };
            write(0, false);
            write(1, CString("log"));
            write(4, CString("Old"));
            write(5, NCIntegralVector<unsigned long, 0>(1, 1UL));
            write(6, NCIntegralVector<unsigned long, 0>(1, 2UL));
            write(7, NCDataMatrix<float>(1, 1, 5.0f));
            write(8, std::vector<std::map<unsigned long, float>>());
            write(9, std::map<unsigned long, int>());
            write(10, std::vector<boost::shared_ptr<TrimdVarStruct>>());
            write(11, false);
            write(12, false);
            write(13, false);
            more(out);
        });
    return os.str();
}

TEST_F(NCDataSetStreamTest, AReadEndsCleanAndNotTemporaryAndKeepsTheProjectsNumber) {
    const auto dataset = MakeFullDataset();
    ASSERT_TRUE(dataset->IsDirty());
    const std::string bytes = WriteObject(*dataset);
    EXPECT_FALSE(dataset->IsDirty());

    const auto read =
        NCDataSet::Create(project, "Temp", 9, nullptr, nullptr, nullptr, {1}, {1}, "", nullptr, nullptr, true);
    ASSERT_TRUE(ReadObject(bytes, *read));
    EXPECT_FALSE(read->IsTemporary());
    EXPECT_FALSE(read->IsDirty());
    EXPECT_EQ(WriteObject(*read), bytes);  // the members themselves: the golden files
    EXPECT_EQ(read->GetNumber(), 9);       // the number is the project's, not the section's
}

TEST_F(NCDataSetStreamTest, ListsAndCenteringThatAreAbsentStayAbsent) {
    // Which sub-streams a dataset without lists writes is pinned by the minimal golden dataset.
    const std::string bytes = WriteObject(*MakeDataset(1, 2, 2));
    const auto read = MakeFullDataset();
    ASSERT_TRUE(ReadObject(bytes, *read));
    EXPECT_EQ(Access::HeldBatches(*read), nullptr);
    EXPECT_EQ(read->GetPhaseInfoVector(), nullptr);
    EXPECT_EQ(read->GetLocalCenteringInfo(), nullptr);
    EXPECT_FALSE(read->GetIsTrimmed());
    EXPECT_TRUE(Access::TrimDescriptions(*read).empty());

    // Local centering information from another writer is passed over.
    const std::string withCentering = HandBuiltSection(4, [](SectionOutput& out) { out.Write(14, 12345); });
    ASSERT_TRUE(ReadObject(withCentering, *read));
    EXPECT_EQ(read->GetLocalCenteringInfo(), nullptr);
    EXPECT_STREQ(read->GetName(), "Old");
}

TEST_F(NCDataSetStreamTest, SectionsWithoutTypeSourceAndAliasesTakeTheProjectsDefaults) {
    const std::string older = HandBuiltSection(4, [](SectionOutput&) {});
    project->GetObservations().AddSecondaryID("Batch");
    project->GetObservations().AddSecondaryID("Phase");
    project->GetVariables().AddSecondaryID("Short");

    const auto read = Fresh();
    read->SetSource(0x100, 5UL);
    ASSERT_TRUE(ReadObject(older, *read));
    EXPECT_EQ(read->GetDataType(), nc::DataType::kDefault);
    EXPECT_EQ(read->GetSourceID(), kNoUniqueID);
    EXPECT_EQ(read->GetUsedObsAliases(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(read->GetUsedVarAliases(), (std::vector<int>{1, 2}));
    EXPECT_EQ(read->GetData(false, nullptr)(1, 1), 5.0f);

    project->GetObservations().SetBatchID(2);
    const auto batch = Fresh();
    ASSERT_TRUE(ReadObject(older, *batch));
    EXPECT_EQ(batch->GetDataType(), nc::DataType::kObservationLevelBatch);

    // Present sub-streams win, also an empty alias list.
    const std::string newer = HandBuiltSection(4, [](SectionOutput& out) {
        out.Write(15, 0x40);
        out.Write(16, 12UL);
        out.Write(17, std::vector<int>());
        out.Write(18, std::vector<int>{2});
    });
    ASSERT_TRUE(ReadObject(newer, *batch));
    EXPECT_EQ(batch->GetDataType(), 0x40);
    EXPECT_EQ(batch->GetSourceID(), 12UL);
    EXPECT_TRUE(batch->GetUsedObsAliases().empty());
    EXPECT_EQ(batch->GetUsedVarAliases(), std::vector<int>{2});
}

TEST_F(NCDataSetStreamTest, OtherVersionsAreRefusedAndTheValuesKept) {
    const std::string version4 = WriteObject(*MakeDataset(1, 2, 2));
    for (const int version : {3, 5}) {
        SCOPED_TRACE(version);
        std::string bytes = version4;
        bytes[8] = static_cast<char>(version);  // the 4-byte tag length, "NCDS", then the version
        const auto kept = MakeDataset(2, 1, 3);
        const auto temporary =
            NCDataSet::Create(project, "Temp", 3, nullptr, nullptr, nullptr, {1}, {1}, "", nullptr, nullptr, true);
        for (const auto& dataset : {kept, temporary}) {
            Access::MarkDirty(*dataset);
            EXPECT_FALSE(ReadObject(bytes, *dataset));
            EXPECT_FALSE(dataset->IsDirty());
            EXPECT_FALSE(dataset->IsTemporary());
            EXPECT_TRUE(Access::BatchesDirty(*dataset));
        }
        EXPECT_EQ(kept->SizeVariables(), 3);
        EXPECT_EQ(Value(*kept, 1, 3), 103.0f);
    }
    // Another tag changes nothing.
    const auto other = MakeDataset(3, 1, 1);
    EXPECT_FALSE(ReadObject(WriteObject(NCIntegralVector<int, -99>(1, 1)), *other));
    EXPECT_TRUE(other->IsDirty());
    EXPECT_FALSE(Access::BatchesDirty(*other));
}

TEST_F(NCDataSetStreamTest, ContradictoryOrMissingPartsFailTheRead) {
    const auto read = [this](const std::string& bytes) { return ReadObject(bytes, *Fresh()); };
    EXPECT_TRUE(read(HandBuiltSection(4, [](SectionOutput&) {})));
    // A matrix of another shape than the ID lists.
    EXPECT_FALSE(read(HandBuiltSection(4, [](SectionOutput& out) { out.Write(7, NCDataMatrix<float>(2, 1)); }, {7})));
    // An index pointing past the trimmed variables' maps, or two variables sharing one map.
    const std::vector<std::map<unsigned long, float>> maps{{{1UL, 4.0f}}};
    const std::vector<boost::shared_ptr<TrimdVarStruct>> descriptions{boost::make_shared<TrimdVarStruct>()};
    for (const std::map<unsigned long, int>& index :
         {std::map<unsigned long, int>{{2UL, 1}}, std::map<unsigned long, int>{{2UL, 0}, {3UL, 0}},
          std::map<unsigned long, int>()}) {
        EXPECT_FALSE(read(HandBuiltSection(4,
                                           [&](SectionOutput& out) {
                                               out.Write(8, maps);
                                               out.Write(9, index);
                                               out.Write(10, descriptions);
                                           },
                                           {8, 9, 10})));
    }
    EXPECT_TRUE(read(HandBuiltSection(4,
                                      [&](SectionOutput& out) {
                                          out.Write(8, maps);
                                          out.Write(9, std::map<unsigned long, int>{{2UL, 0}});
                                          out.Write(10, descriptions);
                                      },
                                      {8, 9, 10})));
    // A required sub-stream missing.
    EXPECT_FALSE(read(HandBuiltSection(4, [](SectionOutput&) {}, {4})));
}

}  // namespace
