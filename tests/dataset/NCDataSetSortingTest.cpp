#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/utility/Exception.h"
#include "interfaces/utility/LanguageString.h"
#include "tests/dataset/DatasetTestProject.h"
#include "tests/dataset/NCDataSetTestAccess.h"

namespace {

using NCDataSetSortingTest = DatasetTest;

std::vector<int> Order(const NCIntegralVector<int, -99>& order) { return {order.begin(), order.end()}; }

TEST_F(NCDataSetSortingTest, IDsSortAsTextsOrNumbersAndEqualIDsKeepTheirOrder) {
    const std::vector<std::vector<CString>> ids{{"b", "10"}, {"a", "9"}, {"B", "100"}, {"b", "9"}, {"a", "-1"}};
    NCIntegralVector<unsigned long, 0> obsIDs;
    NCDataMatrix<float> data(5, 1);
    for (int i = 1; i <= 5; ++i) {
        obsIDs.push_back(project->GetNewUniqueID(nc::UniqueIDKind::kRecord));
        project->GetObservations().Add(std::make_unique<ObservationInfo>(ids[i - 1], obsIDs[i]), nullptr);
        data(i, 1, static_cast<float>(i));
    }
    const NCIntegralVector<unsigned long, 0> varIDs(1, AddVariableRecord("X"));
    const auto dataset =
        NCDataSet::Create(project, "D", 2, &data, &obsIDs, &varIDs, {1, 2}, {1}, "", nullptr, nullptr, false);
    EXPECT_EQ(Order(dataset->GetSortOrder(1, true, true, false)), (std::vector<int>{3, 2, 5, 1, 4}));
    EXPECT_EQ(Order(dataset->GetSortOrder(1, true, true, true)), (std::vector<int>{1, 4, 2, 5, 3}));
    EXPECT_EQ(Order(dataset->GetSortOrder(2, true, true, false)), (std::vector<int>{5, 2, 4, 1, 3})) << "as numbers";

    user->AddAnswer(1);
    ASSERT_TRUE(dataset->SortDataset(1, true, true, false, nullptr));
    EXPECT_STREQ(dataset->GetObservationID(1, 1), "B");
    EXPECT_EQ(Value(*dataset, 1, 1), 3.0f) << "rows move with their IDs";
    EXPECT_EQ(Value(*dataset, 5, 1), 4.0f);
}

TEST_F(NCDataSetSortingTest, KeysOutsideTheirRangeThrow) {
    const auto dataset = MakeDataset(2, 3, 2);
    const auto message = [&](int key, bool byID, bool observations) -> std::string {
        try {
            dataset->GetSortOrder(key, byID, observations, false);
        } catch (const Exception& e) {
            return e.what();
        }
        return "none";
    };
    EXPECT_EQ(message(2, true, true), "Invalid ID");
    EXPECT_EQ(message(0, true, false), "Invalid ID");
    EXPECT_EQ(message(3, false, true), "Invalid variable number");
    EXPECT_EQ(message(4, false, false), "Invalid observation number");
    EXPECT_EQ(message(3, false, false), "none");
}

TEST_F(NCDataSetSortingTest, TheUserTheProjectAndABatchColumnCanRefuse) {
    const auto dataset = MakeDataset(2, 2, 3);
    NCDataSetTestAccess::MarkClean(*dataset);
    project->GetObservations().SetBatchID(1);
    user->AddAnswers(3, 1);
    EXPECT_FALSE(dataset->SortDataset(2, false, false, true, nullptr));
    ASSERT_EQ(user->GetExchanges().size(), 1u);
    EXPECT_EQ(user->GetExchanges()[0].kind, ScriptedUserComm::eMessage);
    EXPECT_EQ(user->GetExchanges()[0].text, "Sorting of batch datasets are not allowed");
    EXPECT_EQ(user->GetExchanges()[0].caption, "Sort Dataset");

    project->GetObservations().SetBatchID(-1);
    project->SetNumberOfModels(1);
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>*) { return false; });
    EXPECT_FALSE(dataset->SortDataset(2, false, false, true, nullptr));
    EXPECT_EQ(user->GetExchanges()[1].text, std::string(LanguageString::Get(nc::LanguageText::kSortWithModels)));
    ASSERT_EQ(project->GetConsentRequests().size(), 1u);
    EXPECT_FALSE(project->GetConsentRequests()[0].hasVariableList);
    EXPECT_STREQ(dataset->GetVariableID(1, 1), "V1");
    EXPECT_FALSE(dataset->IsDirty());

    project->SetNumberOfModels(0);
    ASSERT_TRUE(dataset->SortDataset(2, false, false, true, nullptr));
    EXPECT_EQ(user->GetExchanges()[2].text, std::string(LanguageString::Get(nc::LanguageText::kSort)));
    EXPECT_EQ(project->GetConsentRequests().size(), 1u) << "without models the project is not asked";
    EXPECT_STREQ(dataset->GetVariableID(1, 1), "V3");
    EXPECT_EQ(Value(*dataset, 1, 3), 101.0f);
    EXPECT_TRUE(dataset->IsDirty());
}

TEST_F(NCDataSetSortingTest, SortingIntoAnIDListNeedsExactlyTheDatasetsIDs) {
    const auto dataset = MakeDataset(2, 4, 1);
    const auto ids = dataset->GetObsIDs();
    NCIntegralVector<unsigned long, 0> wanted, missing, repeated;
    for (const int i : {3, 1, 4, 2}) wanted.push_back(ids[i]);
    missing = repeated = wanted;
    missing(2) = 999999;
    repeated(2) = wanted[1];
    user->AddAnswers(3, 1);
    EXPECT_FALSE(dataset->SortDataset(missing, true));
    EXPECT_FALSE(dataset->SortDataset(repeated, true));
    EXPECT_FALSE(dataset->SortDataset(ids, false)) << "four observation IDs for one variable";
    EXPECT_EQ(dataset->GetObsIDs(), ids);
    EXPECT_EQ(user->QuestionCount(), 0);

    ASSERT_TRUE(dataset->SortDataset(wanted, true));
    EXPECT_EQ(Value(*dataset, 1, 1), 301.0f);
    NCIntegralVector<unsigned long, 0> reversed(ids);
    std::reverse(reversed.begin(), reversed.end());
    ASSERT_TRUE(dataset->SortDataset(reversed, true)) << "from an order neither ascending nor descending";
    ASSERT_TRUE(dataset->SortDataset(ids, true)) << "from a descending order";
    EXPECT_EQ(Value(*dataset, 4, 1), 401.0f);
}

}  // namespace
