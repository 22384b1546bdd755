// NCDataSet::Merge: the dataset takes in another one as their full compound presents them, asks
// first when trimming would be lost, logs, saves and signals the merge.

#include <string>
#include <vector>

#include "app/SignalLog.h"
#include "centering/LocalCenteringInfo.h"
#include "compound/FullCompoundDataset.h"
#include "dataset/DatasetMergeInfo.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/notification/NCSignals.h"
#include "tests/compound/CompoundTestProject.h"
#include "tests/dataset/NCDataSetTestAccess.h"

namespace {

class DataSetMergeTest : public CompoundTest {
protected:
    // The merged signal's information while connected.
    struct MergeSignals {
        MergeSignals() {
            connection = NCSignals::DatasetMerged().connect([this](NCDataSet& dataset, DatasetMergeInfo& info) {
                numbers.push_back(dataset.GetNumber());
                infos.push_back(info);
            });
        }
        std::vector<int> numbers;
        std::vector<DatasetMergeInfo> infos;
        boost::signals2::scoped_connection connection;
    };

    static std::string Bytes(const NCDataSet& dataset) {
        std::ostringstream os;
        os << dataset;
        return os.str();
    }
};

TEST_F(DataSetMergeTest, TakesInTheOtherAsTheirCompoundShowsThem) {
    const auto target = AddDataset(1, "A B C", "V1 V2");
    const auto other = AddDataset(2, "X B Y", "V2 V3");
    target->SetLocalCenteringInfo(boost::make_shared<LocalCenteringInfo>());
    NCDataSetTestAccess::SetSortCache(*target, {true, true, true});
    NCDataSetTestAccess::MarkClean(*target);
    const std::string otherBefore = Bytes(*other);
    const FullCompoundDataset compound(project, {1, 2});
    const NCDataMatrix<float> expected = compound.GetData(false, nullptr);

    MergeSignals signals;
    target->SetName("Target");
    target->Merge(other);
    EXPECT_EQ(user->QuestionCount(), 0);
    EXPECT_EQ(target->GetObsIDs(), compound.GetObsIDs());
    EXPECT_EQ(target->GetVarIDs(), compound.GetVarIDs());
    EXPECT_EQ(target->GetData(false, nullptr), expected);
    EXPECT_EQ(std::string(target->GetImportLog()), "log D1\nThe dataset was merged with 'D2'.\nlog D2");
    EXPECT_EQ(target->GetLocalCenteringInfo(), nullptr);
    EXPECT_FALSE(NCDataSetTestAccess::GetSortCache(*target).valid);
    EXPECT_TRUE(target->IsDirty());
    EXPECT_EQ(project->GetSavedDatasets(), (std::vector<int>{1}));
    ASSERT_EQ(signals.infos.size(), 1u);
    EXPECT_EQ(signals.numbers.front(), 1);
    EXPECT_EQ(signals.infos.front().datasetNumber, 1);
    EXPECT_EQ(signals.infos.front().datasetName, "Target");
    EXPECT_EQ(signals.infos.front().mergedDatasetName, "D2");
    EXPECT_EQ(signals.infos.front().project, project.get());
    EXPECT_EQ(Bytes(*other), otherBefore) << "the other dataset is left as it was";

    target->Merge(boost::shared_ptr<NCDataSet const>());
    EXPECT_EQ(signals.infos.size(), 1u);
    EXPECT_EQ(project->GetSavedDatasets().size(), 1u);
}

TEST_F(DataSetMergeTest, TrimmingIsGivenUpOnlyWithTheUsersYes) {
    const auto target = AddDataset(1, "A", "V1");
    const auto other = AddDataset(2, "B", "V1");
    other->SetValue(1, 1, 5.0f, true, false, false);  // keeps the value before trimming
    const std::string before = Bytes(*target);

    MergeSignals signals;
    try {
        target->Merge(other);
        ADD_FAILURE() << "merged without the user's yes";
    } catch (const NCError& error) {
        EXPECT_STREQ(error.what(), "Merge of datasets aborted.");
    }
    ASSERT_EQ(user->GetExchanges().size(), 1u);
    const auto& asked = user->GetExchanges().front();
    EXPECT_EQ(asked.kind, ScriptedUserComm::eQuestionWithExplanation);
    EXPECT_EQ(asked.text, "Do you which to continue?");
    EXPECT_EQ(asked.explanation, "Dataset trimming cannot be undone after merging.");
    EXPECT_EQ(asked.caption, "Merge Datasets");
    EXPECT_EQ(Bytes(*target), before);
    EXPECT_TRUE(signals.infos.empty());

    target->SetValue(1, 1, 7.0f, true, false, false);
    user->AddAnswer(1);
    target->Merge(other);
    EXPECT_EQ(target->SizeObservations(), 2);
    EXPECT_FALSE(target->GetIsTrimmed());
    EXPECT_TRUE(NCDataSetTestAccess::TrimmedVarIndex(*target).empty());
    EXPECT_TRUE(other->GetIsTrimmed());
    EXPECT_EQ(signals.infos.size(), 1u);
}

TEST_F(DataSetMergeTest, ADatasetTheProjectDoesNotHoldStopsTheMergeBeforeAnyChange) {
    const auto target = AddDataset(1, "A", "V1");
    const auto stranger = NCDataSet::Create(project, 9);
    const std::string before = Bytes(*target);
    EXPECT_THROW(target->Merge(stranger), NCError);
    EXPECT_EQ(Bytes(*target), before);
    EXPECT_TRUE(project->GetSavedDatasets().empty());
}

}  // namespace
