// A dataset's batch and phase lists: derived from the observations when first asked for, rebuilt
// after the observations change while keeping what the user set, set and copied. The lists of
// datasets that are not loaded are read in ReferenceProjectTest.

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>

#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/BatchLookups.h"
#include "batchinfo/ClassInfoVector.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "tests/dataset/DatasetTestProject.h"

namespace {

using IDList = NCIntegralVector<unsigned long, 0>;
using Positions = NCIntegralVector<int, -99>;
using PhaseList = std::vector<std::pair<std::string, int>>;

constexpr int kBatchDataset = nc::DataType::kDefault | nc::DataType::kObservationLevelBatch;

class NCDataSetBatchesTest : public DatasetTest {
protected:
    void SetUp() override {
        DatasetTest::SetUp();
        project->GetObservations().SetBatchID(2);
        project->GetObservations().SetPhaseID(3);
        for (const char* name : {"V1", "V2", "V3"}) varIDs.push_back(AddVariableRecord(name));
    }

    // Appends `count` observations of that batch and phase.
    void Rows(const std::string& batch, const std::string& phase, int count) {
        for (int i = 0; i < count; ++i) {
            const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
            project->GetObservations().Add(
                new ObservationInfo({CString("O" + std::to_string(id)), CString(batch), CString(phase)}, id), nullptr);
            obsIDs.push_back(id);
        }
    }

    // A batch dataset of the rows so far, showing the batch and phase columns; held by the project.
    boost::shared_ptr<NCDataSet> Dataset(int number = 2) {
        auto dataset = NCDataSet::Create(project, "Batches", number, nullptr, &obsIDs, &varIDs, {1, 2, 3}, {1}, "",
                                         nullptr, nullptr, false);
        dataset->SetSource(kBatchDataset, 9);
        project->AddDataset(dataset);
        return dataset;
    }

    // Gives every observation of batch `from` the batch ID text `to`.
    void RenameBatch(const char* from, const char* to) {
        NCObservations& observations = project->GetObservations();
        for (const unsigned long id : obsIDs) {
            ObservationInfo* record = observations[id];
            if (record->GetBatchName(observations) == CString(from)) record->SetUserID(CString(to), 2, &observations);
        }
    }

    static std::vector<std::string> Names(const NCStringVector& names) {
        std::vector<std::string> result;
        for (int i = 1; i <= names.Size(); ++i) result.emplace_back(names[i]);
        return result;
    }

    static PhaseList Phases(const ClassInfoVector* phases) {
        PhaseList result;
        if (phases)
            for (const auto& phase : *phases)
                result.emplace_back(phase->GetPhaseName().GetString(), phase->GetNumObs());
        return result;
    }

    IDList obsIDs, varIDs;
};

TEST_F(NCDataSetBatchesTest, DerivedOnFirstUseForBatchDatasetsOnly) {
    Rows("B1", "Heat", 3);
    Rows("B1", "Cool", 2);
    Rows("b1", "Heat", 4);  // differs only in case: another batch
    const auto dataset = Dataset();

    const auto batches = dataset->GetBatchInfoVector();
    ASSERT_TRUE(batches);
    EXPECT_EQ(Names(dataset->GetBatchNames()), (std::vector<std::string>{"B1", "b1"}));
    EXPECT_EQ(Phases((*batches)[0]->GetClassVector()), (PhaseList{{"Heat", 3}, {"Cool", 2}}));
    EXPECT_EQ(Phases((*batches)[1]->GetClassVector()), (PhaseList{{"Heat", 4}}));
    EXPECT_EQ(dataset->GetBatchInfoVector(), batches) << "derived once, then kept";
    EXPECT_FALSE(dataset->GetPhaseInfoVector()) << "the phase list is never derived";

    // A rebuild matches batches by exact name: what was set on B1 stays with B1 only.
    NCDataSet::GetMutableBatchInfoVector(*project, 2)->operator[](0)->SetIncluded(false);
    dataset->SetBatchInfoVecDirty();
    EXPECT_FALSE((*dataset->GetBatchInfoVector())[0]->IsIncluded());
    EXPECT_TRUE((*dataset->GetBatchInfoVector())[1]->IsIncluded());

    // A dataset without batch bits derives nothing, even when its rows have batch names.
    const auto plain =
        NCDataSet::Create(project, "Plain", 3, nullptr, &obsIDs, &varIDs, {1, 2, 3}, {1}, "", nullptr, nullptr, false);
    plain->SetBatchInfoVecDirty();
    EXPECT_FALSE(plain->GetBatchInfoVector());
    EXPECT_EQ(plain->GetBatchNames().Size(), 0);

    // Batch-level data also derives the list; the container's batch names are only those of
    // observation-level batch data.
    plain->SetSource(nc::DataType::kBatchLevel, 9);
    ASSERT_TRUE(plain->GetBatchInfoVector());
    EXPECT_EQ(plain->GetBatchInfoVector()->size(), 2u);
    EXPECT_EQ(plain->GetBatchNames().Size(), 0);
}

TEST_F(NCDataSetBatchesTest, WithoutPhaseColumnPhaseOnFirstDerivationNoneOnRebuild) {
    project->GetObservations().SetPhaseID(0);
    Rows("B1", "", 3);
    Rows("B2", "", 2);
    const auto dataset = Dataset();
    const auto first = dataset->GetBatchInfoVector();
    ASSERT_EQ(first->size(), 2u);
    EXPECT_EQ(Phases((*first)[1]->GetClassVector()), (PhaseList{{"Phase", 2}}));

    dataset->SetBatchInfoVecDirty();
    const auto rebuilt = dataset->GetBatchInfoVector();
    ASSERT_EQ(rebuilt->size(), 2u);
    EXPECT_EQ((*rebuilt)[0]->GetClassVector(), nullptr);
    EXPECT_EQ((*rebuilt)[1]->GetNumObs(), 2);

    // Datasets of the other batch kinds never get phases on a rebuild.
    project->GetObservations().SetPhaseID(3);
    dataset->SetSource(nc::DataType::kBatchConditions, 9);
    dataset->SetBatchInfoVecDirty();
    EXPECT_EQ((*dataset->GetBatchInfoVector())[0]->GetClassVector(), nullptr);
    EXPECT_EQ(dataset->GetDataType() & nc::DataType::kObservationLevelBatch, 0);
}

TEST_F(NCDataSetBatchesTest, RebuildKeepsWhatTheUserSetOnBatchesAndPhasesThatRemain) {
    Rows("B1", "Heat", 3);
    Rows("B1", "Cool", 2);
    Rows("B2", "Heat", 4);
    Rows("B3", "Heat", 2);
    const auto dataset = Dataset();
    const auto batches = NCDataSet::GetMutableBatchInfoVector(*project, 2);
    EXPECT_FALSE(batches) << "a loaded dataset's list as it stands: not derived yet";
    dataset->GetBatchInfoVector();
    const auto list = NCDataSet::GetMutableBatchInfoVector(*project, 2);
    ASSERT_TRUE(list);
    EXPECT_EQ(list, dataset->GetBatchInfoVector()) << "the dataset's own list, to change in place";

    // The user's settings: two condition variables, values per batch, an excluded batch, and on
    // phase Heat of B1 an original name, a Y variable and excluded variables.
    const unsigned long gone = 999;  // not a column of the dataset
    IDList conditionVariables;
    conditionVariables.push_back(AddVariableRecord("Temperature"));
    conditionVariables.push_back(AddVariableRecord("Operator"));
    list->SetBCVariableIDs(conditionVariables);
    NCDataVector<float> conditions(2, 1.5f);
    (*list)[0]->SetBatchConditionValues(&conditions);
    (*list)[1]->SetIncluded(false);
    ClassInfo& heat = *(*(*list)[0]->GetClassVector())[0];
    heat.SetOriginalName("Warm");
    heat.SetYVariableID(varIDs[2]);
    heat.SetIncluded(varIDs[1], false);
    heat.SetIncluded(gone, false);
    heat.SetAverageLength(12);
    (*(*list)[0]->GetClassVector())[1]->SetYVariableID(gone);

    // Observations change: B3 is renamed, a row of B2 goes.
    RenameBatch("B3", "B4");
    Positions row(1, 8);
    dataset->RemoveObservation(&row, false, true);
    const auto rebuilt = dataset->GetBatchInfoVector();
    ASSERT_EQ(rebuilt, list) << "rebuilt into the same list object";
    EXPECT_EQ(Names(dataset->GetBatchNames()), (std::vector<std::string>{"B1", "B2", "B4"}));
    EXPECT_EQ(rebuilt->GetBCVariableIDs(), conditionVariables);

    const auto b1 = (*rebuilt)[0], b2 = (*rebuilt)[1], b4 = (*rebuilt)[2];
    EXPECT_EQ(b1->GetBatchConditionValues(), conditions);
    EXPECT_TRUE(b1->IsIncluded());
    EXPECT_FALSE(b2->IsIncluded());
    EXPECT_EQ(b2->GetNumObs(), 3);
    EXPECT_EQ(b4->GetBatchConditionValues(), NCDataVector<float>(2, nc::kMissingValue)) << "a new name starts afresh";
    EXPECT_TRUE(b4->IsIncluded());

    const ClassInfo& newHeat = *(*b1->GetClassVector())[0];
    EXPECT_EQ(newHeat.GetOriginalName(), CString("Warm"));
    EXPECT_EQ(newHeat.GetYVariableID(), varIDs[2]);
    EXPECT_EQ(newHeat.GetExcludedVariablesVector(), IDList(1, varIDs[1])) << "only variables still present";
    EXPECT_EQ(newHeat.GetAverageLength(), -1) << "other phase fields start afresh";
    EXPECT_EQ(newHeat.GetNumObs(), 3);
    EXPECT_EQ((*b1->GetClassVector())[1]->GetYVariableID(), nc::kNoUniqueID);
    EXPECT_EQ(Phases(b4->GetClassVector()), (PhaseList{{"Heat", 2}}));

    // Removing a variable drops it from what is kept.
    Positions column(1, 2);
    dataset->RemoveVariable(&column, false, true);
    EXPECT_EQ((*(*dataset->GetBatchInfoVector())[0]->GetClassVector())[0]->GetYVariableID(), nc::kNoUniqueID);
}

TEST_F(NCDataSetBatchesTest, SettingListsKeepsCopiesAndFollowsTheDataTypeBits) {
    Rows("B1", "Heat", 2);
    BatchInfoVector given;
    given.push_back(boost::make_shared<BatchInfo>("Given"));
    ClassInfoVector phases;
    phases.push_back(boost::make_shared<ClassInfo>("P"));

    const auto dataset =
        NCDataSet::Create(project, "D", 2, nullptr, &obsIDs, &varIDs, {1, 2, 3}, {1}, "", &given, &phases, true);
    EXPECT_EQ(dataset->GetDataType(), kBatchDataset);
    given[0]->SetBatchName("Changed");
    phases[0]->SetPhaseName("Changed");
    EXPECT_EQ(Names(dataset->GetBatchNames()), std::vector<std::string>{"Given"}) << "not derived: a list was set";
    EXPECT_EQ(Phases(dataset->GetPhaseInfoVector().get()), (PhaseList{{"P", 0}}));

    // Setting clears a pending rebuild; the other batch kinds never become observation-level batch
    // data; null clears that bit.
    const auto other =
        NCDataSet::Create(project, "E", 3, nullptr, &obsIDs, &varIDs, {1, 2, 3}, {1}, "", nullptr, nullptr, false);
    other->SetSource(nc::DataType::kBatchLevel, 9);
    other->SetBatchInfoVecDirty();
    other->SetBatchInfoVector(&given);
    EXPECT_EQ(other->GetDataType(), nc::DataType::kBatchLevel);
    EXPECT_EQ((*other->GetBatchInfoVector())[0]->GetBatchName(), CString("Changed"));
    dataset->SetBatchInfoVector(nullptr);
    EXPECT_EQ(dataset->GetDataType(), nc::DataType::kDefault);
    EXPECT_FALSE(dataset->GetBatchInfoVector());
    dataset->SetPhaseInfoVector(nullptr);
    EXPECT_FALSE(dataset->GetPhaseInfoVector());
}

// The block and phase rules are BatchUtilities::GetBlockVariables' (PhaseVariablesTest); the dataset
// hands it the project's variables, its columns and its phase list.
TEST_F(NCDataSetBatchesTest, XAndYVariablesGoThroughThePhaseList) {
    Rows("B1", "Heat", 2);
    project->GetVariables()[varIDs[2]]->SetVariableBlock(eBlockY);
    const auto dataset = Dataset();
    const auto positions = [&](Positions* list) {
        const std::unique_ptr<Positions> owned(list);
        return std::vector<int>(owned->begin(), owned->end());
    };
    EXPECT_EQ(positions(dataset->GetXVariables(nullptr)), (std::vector<int>{1, 3}));
    EXPECT_EQ(positions(dataset->GetYVariables(nullptr)), std::vector<int>{2});

    ClassInfoVector phases;
    phases.push_back(boost::make_shared<ClassInfo>("Heat"));
    phases[0]->SetIncluded(varIDs[3], false);
    dataset->SetPhaseInfoVector(&phases);
    EXPECT_EQ(positions(dataset->GetXVariables("Heat")), std::vector<int>{1});
}

}  // namespace
