#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/ReferenceProject.h"
#include "app/ScriptedUserComm.h"
#include "app/TerminalUserComm.h"
#include "batchinfo/BatchInfoVector.h"
#include "centering/LocalCenteringData.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/StreamNameKinds.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/ObservationInfo.h"

namespace {

TEST(ReferenceProjectTest, HandsOutIDsStreamsDatasetsAndRecordsConsent) {
    const auto project = ReferenceProject::Create();
    EXPECT_EQ(project->GetNewUniqueID(nc::UniqueIDKind::kRecord), 1u);
    EXPECT_EQ(project->GetNewUniqueID(nc::UniqueIDKind::kRecord), 2u);
    EXPECT_EQ(project->GetStreamName(nc::StreamNameKind::kDatasetVariableIDs, 3), "stream-26-3");

    project->GetMemoryStorage().Put("a", "bytes");
    std::unique_ptr<std::istream> is(project->GetStorage().OpenInputStream("a"));
    ASSERT_TRUE(is);
    std::string text;
    *is >> text;
    EXPECT_EQ(text, "bytes");
    EXPECT_EQ(project->GetStorage().OpenInputStream("b"), nullptr);
    EXPECT_EQ(project->GetStorage().OpenInputStream(nullptr), nullptr);

    const auto dataset = project->CreateDataset(4);
    EXPECT_EQ(project->GetDataset(4), dataset);
    EXPECT_FALSE(project->GetDataset(5));
    ASSERT_TRUE(project->GetLocalCenteringData());
    EXPECT_EQ(project->GetLocalCenteringData()->SizeVars(), 0u);
    EXPECT_EQ(project->GetLocalCenteringData(), project->GetLocalCenteringData()) << "one table per project";

    const NCIntegralVector<unsigned long, 0> ids(2, 9);
    EXPECT_TRUE(project->ConfirmDatasetChange(4, &ids));
    project->SetConsentPolicy([](int number, const NCIntegralVector<unsigned long, 0>*) { return number != 4; });
    EXPECT_FALSE(project->ConfirmDatasetChange(4, nullptr));
    EXPECT_TRUE(project->ConfirmDatasetChange(5, nullptr));
    ASSERT_EQ(project->GetConsentRequests().size(), 3u);
    EXPECT_EQ(project->GetConsentRequests()[0].variableIDs, (std::vector<unsigned long>{9, 9}));
    EXPECT_FALSE(project->GetConsentRequests()[1].hasVariableList);

    BatchImportSettings settings;
    settings.SetBatchID(2);
    project->SetBatchImportSettings(settings);
    EXPECT_EQ(project->GetBatchImportSettings(1).GetBatchID(), 2);
    project->SetBatchAnswer(true);
    EXPECT_TRUE(project->AskBatchQuestion());
}

// The scripted user is what every dataset test asks (an exhausted script answering no among it).
TEST(ReferenceProjectTest, UserCommunicationAnswersFromTheTerminalAndDefaultsToNo) {
    std::istringstream in("  yes\nno\n");
    std::ostringstream out;
    TerminalUserComm terminal(in, out);
    EXPECT_EQ(terminal.AskQuestion("Remove?", "App"), 1);
    EXPECT_EQ(terminal.AskQuestion("Really?", "App"), 0);
    EXPECT_EQ(terminal.AskQuestion("Again?", "App"), 0) << "end of input is no";
    EXPECT_NE(out.str().find("App: Remove? [y/n]"), std::string::npos);

    // The process-wide user communication answers no until one is installed, and again after.
    ASSERT_NE(UserComm::GetUserComm(), nullptr);
    EXPECT_EQ(UserComm::GetUserComm()->AskQuestion("Remove?", "ncds"), 0);
    EXPECT_EQ(UserComm::GetUserComm()->AskQuestionWithExplanation("Go on?", "why", "ncds", 1), 0);
    const auto installed = std::make_shared<ScriptedUserComm>(std::initializer_list<int>{1});
    UserComm::SetUserComm(installed);
    EXPECT_EQ(UserComm::GetUserComm()->AskQuestion("Remove?", "ncds"), 1);
    UserComm::SetUserComm(nullptr);
    EXPECT_EQ(UserComm::GetUserComm()->AskQuestion("Remove?", "ncds"), 0);
    EXPECT_EQ(installed->QuestionCount(), 1);
}

TEST(ReferenceProjectTest, UnloadedDatasetsKeepTheirBatchListsInTheStorage) {
    const auto project = ReferenceProject::Create();
    NCObservations& observations = project->GetObservations();
    observations.SetBatchID(2);
    NCIntegralVector<unsigned long, 0> obsIDs, varIDs(1, 100);
    for (const char* batch : {"B1", "B1", "B2"}) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        observations.Add(new ObservationInfo({CString("O" + std::to_string(id)), CString(batch)}, id), nullptr);
        obsIDs.push_back(id);
    }
    for (const int number : {2, 3}) {
        const auto dataset = NCDataSet::Create(project, "D", number, nullptr, &obsIDs, &varIDs, {1, 2}, {1}, "",
                                               nullptr, nullptr, false);
        dataset->SetSource(nc::DataType::kDefault | nc::DataType::kObservationLevelBatch, 1);
        project->AddDataset(dataset);
    }
    project->GetDataset(2)->SetBatchInfoVecDirty();  // unloading brings the list up to date first

    EXPECT_FALSE(project->UnloadDataset(7));
    EXPECT_FALSE(NCDataSet::GetMutableBatchInfoVector(*project, 7)) << "nothing stored yet";
    ASSERT_TRUE(project->UnloadDataset(2));
    ASSERT_TRUE(project->UnloadDataset(3));  // added to the record that dataset 2 left
    EXPECT_FALSE(project->GetDataset(2));
    for (const int number : {2, 3}) {
        const auto list = NCDataSet::GetMutableBatchInfoVector(*project, number);
        ASSERT_TRUE(list);
        EXPECT_EQ(list->size(), 2u);
        EXPECT_EQ(NCDataSet::GetVariableIDs(*project, number), varIDs);
    }
    EXPECT_FALSE(NCDataSet::GetMutableBatchInfoVector(*project, 4)) << "no list stored for that dataset";

    // A damaged record reads as no list.
    const std::string name = project->GetStreamName(nc::StreamNameKind::kStoredBatchLists, 0);
    const std::unique_ptr<std::istream> stored(project->GetStorage().OpenInputStream(name.c_str()));
    ASSERT_TRUE(stored);
    std::string bytes((std::istreambuf_iterator<char>(*stored)), std::istreambuf_iterator<char>());
    bytes[5] = 'X';  // inside the tag
    project->GetMemoryStorage().Put(name, bytes);
    EXPECT_FALSE(NCDataSet::GetMutableBatchInfoVector(*project, 2));
}

}  // namespace
