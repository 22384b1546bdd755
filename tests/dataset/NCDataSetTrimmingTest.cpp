#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/SignalLog.h"
#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/notification/NCProgress.h"
#include "interfaces/utility/LanguageString.h"
#include "tests/dataset/DatasetTestProject.h"
#include "tests/dataset/NCDataSetTestAccess.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;  // (variable, observation)

class NCDataSetTrimmingTest : public DatasetTest {
protected:
    void TearDown() override {
        NCProgress::SetSink(nullptr);
        DatasetTest::TearDown();
    }
    // Writes `value` into (obs, var) as a trim value, keeping the value before.
    static void Trim(NCDataSet& dataset, int obs, int var, float value) {
        ASSERT_TRUE(dataset.SetValue(obs, var, value, true, false, false));
        dataset.SetTrimValues(var, value);
    }
    static Cells Trimmed(const NCDataSet& dataset) {
        NCIntegralVector<int, -99> vars, obs;
        dataset.GetTrimmedIndex(&vars, &obs);
        Cells cells;
        for (int k = 1; k <= vars.size() && k <= obs.size(); ++k) cells.emplace_back(vars[k], obs[k]);
        return cells;
    }
};

TEST_F(NCDataSetTrimmingTest, ACellStaysTrimmedWhileItHoldsATrimValueWithinTheTolerance) {
    const auto dataset = MakeDataset(2, 5, 1);
    dataset->SetTrimValues(1, 100.0f);
    EXPECT_FALSE(dataset->GetIsTrimmed()) << "trim values alone do not trim a variable";
    Trim(*dataset, 1, 1, 100.0f);
    Trim(*dataset, 2, 1, 1.0e6f);
    for (const int obs : {3, 4, 5}) Trim(*dataset, obs, 1, 100.0f);
    EXPECT_TRUE(dataset->GetIsTrimmed());
    const float later[] = {100.004f, 1.0e6f + 50.0f, 100.01f, 99.996f, 5.0f};  // 2^20 * 5e-05 > 52
    for (int obs = 1; obs <= 5; ++obs) ASSERT_TRUE(dataset->SetValue(obs, 1, later[obs - 1], false, false, false));
    EXPECT_EQ(Trimmed(*dataset), (Cells{{1, 1}, {1, 2}, {1, 4}}));

    ASSERT_TRUE(dataset->ResetDatasetFromTrimming(false, 1));
    EXPECT_EQ(Value(*dataset, 1, 1), 101.0f);
    EXPECT_EQ(Value(*dataset, 3, 1), 100.01f) << "a cell changed since is left alone";
    EXPECT_EQ(Value(*dataset, 5, 1), 5.0f);
    EXPECT_FALSE(dataset->GetIsTrimmed());
    EXPECT_FALSE(dataset->ResetDatasetFromTrimming(false, 1)) << "nothing left to undo";
}

TEST_F(NCDataSetTrimmingTest, UndoingOneVariableKeepsTheOthersFindable) {
    const auto dataset = MakeDataset(2, 2, 3);
    Trim(*dataset, 1, 3, -1.0f);  // variable 3's records come first
    Trim(*dataset, 2, 1, -2.0f);
    Trim(*dataset, 1, 2, -3.0f);
    SignalLog log;
    ASSERT_TRUE(dataset->ResetDatasetFromTrimming(false, 3));
    EXPECT_EQ(Trimmed(*dataset), (Cells{{1, 2}, {2, 1}}));
    ASSERT_TRUE(dataset->ResetDatasetFromTrimming(false, 2));
    EXPECT_EQ(Value(*dataset, 1, 3), 103.0f);
    EXPECT_EQ(Value(*dataset, 1, 2), 102.0f);
    EXPECT_EQ(Trimmed(*dataset), (Cells{{1, 2}}));
    EXPECT_EQ(log.Count("value changed"), 2);
}

TEST_F(NCDataSetTrimmingTest, UndoingAllRestoresEveryTrimmedCellLikeUndoingEach) {
    const auto dataset = MakeDataset(2, 3, 2);
    Trim(*dataset, 1, 1, 0.0f);
    Trim(*dataset, 3, 2, 0.0f);
    Trim(*dataset, 2, 2, 0.0f);
    ASSERT_TRUE(dataset->SetValue(2, 2, 7.0f, false, false, false));
    user->AddAnswer(1);
    ASSERT_TRUE(dataset->SortDataset(1, false, true, true, nullptr));  // rows 3 2 1: IDs no longer ascending
    SignalLog log;
    NCDataSetTestAccess::MarkClean(*dataset);
    ASSERT_TRUE(dataset->ResetDatasetFromTrimming(true, 0));
    EXPECT_EQ(Value(*dataset, 3, 1), 101.0f);
    EXPECT_EQ(Value(*dataset, 1, 2), 302.0f);
    EXPECT_EQ(Value(*dataset, 2, 2), 7.0f);
    EXPECT_EQ(log.Count("value changed"), 2);
    EXPECT_TRUE(dataset->IsDirty()) << "restored values are a change to save";
    EXPECT_FALSE(dataset->GetIsTrimmed());
}

// Cancels from progress value 2 on; keeps the display's text.
struct CancellingSink : NCProgressSink {
    void Begin(const char* title, const char*, double, double) override { text = title; }
    bool Update(double value) override { return value >= 2; }
    void End() override {}
    std::string text;
};

TEST_F(NCDataSetTrimmingTest, ACancelledSearchGivesTheCellsFoundSoFarAndModelsGuardTheUndo) {
    const auto dataset = MakeDataset(2, 2, 3);
    for (int var = 1; var <= 3; ++var) Trim(*dataset, 1, var, -5.0f);
    const auto sink = std::make_shared<CancellingSink>();
    NCProgress::SetSink(sink);
    EXPECT_EQ(Trimmed(*dataset), (Cells{{1, 1}}));
    EXPECT_EQ(sink->text, std::string(LanguageString::Get(nc::LanguageText::kFindingTrimmedValues)));

    project->SetNumberOfModels(1);
    user->AddAnswer(0);
    EXPECT_FALSE(dataset->ResetDatasetFromTrimming(false, 2));
    EXPECT_EQ(user->GetExchanges().back().text,
              std::string(LanguageString::Get(nc::LanguageText::kUndoTrimmingWithModels)));
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>*) { return false; });
    user->AddAnswer(1);
    EXPECT_FALSE(dataset->ResetDatasetFromTrimming(false, 2));
    ASSERT_EQ(project->GetConsentRequests().size(), 1u);
    EXPECT_EQ(project->GetConsentRequests()[0].variableIDs, std::vector<unsigned long>{dataset->GetVarID(2)});
    EXPECT_EQ(Value(*dataset, 1, 2), -5.0f);
}

}  // namespace
