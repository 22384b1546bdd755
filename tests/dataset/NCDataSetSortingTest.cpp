#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/SignalLog.h"
#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/utility/Exception.h"
#include "interfaces/utility/LanguageString.h"
#include "tests/dataset/DatasetTestProject.h"
#include "tests/dataset/NCDataSetTestAccess.h"

namespace {

class NCDataSetSortingTest : public DatasetTest {
protected:
    // One observation per entry, named names[i] with second ID seconds[i], holding the value
    // i + 1 in the single variable; the observations show both ID columns.
    boost::shared_ptr<NCDataSet> MakeNamed(const std::vector<std::string>& names,
                                           const std::vector<std::string>& seconds) {
        NCIntegralVector<unsigned long, 0> obsIDs;
        NCDataMatrix<float> data(static_cast<int>(names.size()), 1);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
            project->GetObservations().Add(
                std::make_unique<ObservationInfo>(std::vector<CString>{names[i], seconds[i]}, id), nullptr);
            obsIDs.push_back(id);
            data(static_cast<int>(i) + 1, 1, static_cast<float>(i + 1));
        }
        const NCIntegralVector<unsigned long, 0> varIDs(1, AddVariableRecord("X"));
        auto dataset =
            NCDataSet::Create(project, "Named", 2, &data, &obsIDs, &varIDs, {1, 2}, {1}, "", nullptr, nullptr, false);
        project->AddDataset(dataset);
        return dataset;
    }

    static std::vector<int> Order(const NCIntegralVector<int, -99>& order) {
        return std::vector<int>(order.begin(), order.end());
    }
    static std::vector<std::string> Names(const NCDataSet& dataset) {
        std::vector<std::string> names;
        for (int i = 1; i <= dataset.SizeObservations(); ++i) names.emplace_back(dataset.GetObservationID(i, 1));
        return names;
    }
};

TEST_F(NCDataSetSortingTest, IDsSortAsTextsOrNumbersAndEqualIDsKeepTheirOrder) {
    const auto dataset = MakeNamed({"b", "a", "B", "b", "a"}, {"10", "9", "100", "9", "-1"});
    EXPECT_EQ(Order(dataset->GetSortOrder(1, true, true, false)), (std::vector<int>{3, 2, 5, 1, 4}));
    EXPECT_EQ(Order(dataset->GetSortOrder(1, true, true, true)), (std::vector<int>{1, 4, 2, 5, 3}));
    EXPECT_EQ(Order(dataset->GetSortOrder(2, true, true, false)), (std::vector<int>{5, 2, 4, 1, 3}))
        << "a numeric ID column sorts as numbers";

    user->AddAnswer(1);
    ASSERT_TRUE(dataset->SortDataset(1, true, true, false, nullptr));
    EXPECT_EQ(Names(*dataset), (std::vector<std::string>{"B", "a", "a", "b", "b"}));
    EXPECT_EQ(Value(*dataset, 1, 1), 3.0f) << "rows move with their IDs";
    EXPECT_EQ(Value(*dataset, 5, 1), 4.0f);
    ExpectShapeKept(*dataset);
}

TEST_F(NCDataSetSortingTest, KeysOutsideTheirRangeThrow) {
    const auto dataset = MakeDataset(2, 3, 2);
    const auto message = [&](int key, bool byID, bool observations) -> std::string {
        try {
            dataset->GetSortOrder(key, byID, observations, false);
        } catch (const Exception& e) {
            return e.what();
        }
        return "no exception";
    };
    EXPECT_EQ(message(2, true, true), "Invalid ID");
    EXPECT_EQ(message(0, true, false), "Invalid ID");
    EXPECT_EQ(message(3, false, true), "Invalid variable number");
    EXPECT_EQ(message(4, false, false), "Invalid observation number");
    EXPECT_EQ(message(3, false, false), "no exception");
}

TEST_F(NCDataSetSortingTest, SortingByValuesAsksTheUserAndReordersColumns) {
    const auto dataset = MakeDataset(2, 2, 3);
    SignalLog log;
    NCDataSetTestAccess::MarkClean(*dataset);
    user->AddAnswer(1);
    ASSERT_TRUE(dataset->SortDataset(2, false, false, true, nullptr));
    EXPECT_TRUE(dataset->IsDirty());
    EXPECT_EQ(Value(*dataset, 2, 1), 203.0f);
    EXPECT_EQ(Value(*dataset, 1, 3), 101.0f);
    EXPECT_STREQ(dataset->GetVariableID(1, 1), "V3");
    ASSERT_EQ(user->GetExchanges().size(), 1u);
    EXPECT_EQ(user->GetExchanges()[0].text, std::string(LanguageString::Get(nc::LanguageText::kSort)));
    EXPECT_EQ(user->GetExchanges()[0].caption, "DatasetTestApp");
    EXPECT_TRUE(project->GetConsentRequests().empty()) << "without models the project is not asked";
    EXPECT_EQ(log.Count("deleted"), 1);
}

TEST_F(NCDataSetSortingTest, ARefusalOrABatchProjectChangesNothing) {
    const auto dataset = MakeDataset(2, 3, 2);
    const auto ids = dataset->GetObsIDs();
    NCDataSetTestAccess::MarkClean(*dataset);
    user->AddAnswer(0);
    EXPECT_FALSE(dataset->SortDataset(1, false, true, true, nullptr));

    project->SetNumberOfModels(1);
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>*) { return false; });
    user->AddAnswer(1);
    EXPECT_FALSE(dataset->SortDataset(1, false, true, true, nullptr));
    EXPECT_EQ(user->GetExchanges()[1].text, std::string(LanguageString::Get(nc::LanguageText::kSortWithModels)));
    ASSERT_EQ(project->GetConsentRequests().size(), 1u);
    EXPECT_FALSE(project->GetConsentRequests()[0].hasVariableList);

    project->SetConsentPolicy(nullptr);
    project->GetObservations().SetBatchID(1);
    user->ClearExchanges();
    user->AddAnswer(1);
    EXPECT_FALSE(dataset->SortDataset(1, false, true, true, nullptr));
    ASSERT_EQ(user->GetExchanges().size(), 1u);
    EXPECT_EQ(user->GetExchanges()[0].kind, ScriptedUserComm::eMessage);
    EXPECT_EQ(user->GetExchanges()[0].text, "Sorting of batch datasets are not allowed");
    EXPECT_EQ(user->GetExchanges()[0].caption, "Sort Dataset");
    EXPECT_EQ(dataset->GetObsIDs(), ids);
    EXPECT_EQ(Value(*dataset, 1, 1), 101.0f);
    EXPECT_FALSE(dataset->IsDirty());
}

TEST_F(NCDataSetSortingTest, SortingIntoAnIDListNeedsExactlyTheDatasetsIDs) {
    const auto dataset = MakeDataset(2, 4, 1);
    const auto ids = dataset->GetObsIDs();
    NCIntegralVector<unsigned long, 0> wanted;
    for (const int i : {3, 1, 4, 2}) wanted.push_back(ids[i]);
    user->AddAnswers(4, 1);
    NCIntegralVector<unsigned long, 0> missing = wanted;
    missing(2) = 999999;
    NCIntegralVector<unsigned long, 0> repeated = wanted;
    repeated(2) = wanted[1];
    EXPECT_FALSE(dataset->SortDataset(missing, true));
    EXPECT_FALSE(dataset->SortDataset(repeated, true));
    EXPECT_FALSE(dataset->SortDataset(ids, false)) << "four observation IDs for one variable";
    EXPECT_EQ(dataset->GetObsIDs(), ids);
    EXPECT_EQ(user->QuestionCount(), 0);

    ASSERT_TRUE(dataset->SortDataset(wanted, true));
    EXPECT_EQ(dataset->GetObsIDs(), wanted);
    EXPECT_EQ(Value(*dataset, 1, 1), 301.0f);
    ASSERT_TRUE(dataset->SortDataset(ids, true)) << "from an order that is neither ascending nor descending";
    EXPECT_EQ(dataset->GetObsIDs(), ids);
    EXPECT_EQ(Value(*dataset, 4, 1), 401.0f);
}

}  // namespace
