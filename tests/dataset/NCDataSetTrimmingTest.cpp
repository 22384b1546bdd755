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

// Reports cancellation from the given progress value on.
class CancellingSink : public NCProgressSink {
public:
    explicit CancellingSink(double cancelAt) : mCancelAt(cancelAt) {}
    void Begin(const char* text, const char*, double, double) override { mText = text; }
    bool Update(double value) override { return value >= mCancelAt; }
    void End() override {}
    std::string mText;

private:
    double mCancelAt;
};

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

    // The trimmed cells as (variable, observation) pairs.
    static std::vector<std::pair<int, int>> TrimmedCells(const NCDataSet& dataset) {
        NCIntegralVector<int, -99> vars, obs;
        dataset.GetTrimmedIndex(&vars, &obs);
        EXPECT_EQ(vars.size(), obs.size());
        std::vector<std::pair<int, int>> cells;
        for (int k = 1; k <= vars.size(); ++k) cells.emplace_back(vars[k], obs[k]);
        return cells;
    }
    using Cells = std::vector<std::pair<int, int>>;
};

TEST_F(NCDataSetTrimmingTest, ACellIsTrimmedUntilItIsChangedAgain) {
    const auto dataset = MakeDataset(2, 3, 2);
    EXPECT_FALSE(dataset->GetIsTrimmed());
    dataset->SetTrimValues(1, 999.0f);
    EXPECT_FALSE(dataset->GetIsTrimmed()) << "trim values alone do not trim a variable";

    Trim(*dataset, 2, 1, 999.0f);
    Trim(*dataset, 3, 1, 999.0f);
    EXPECT_TRUE(dataset->GetIsTrimmed());
    EXPECT_EQ(TrimmedCells(*dataset), (Cells{{1, 2}, {1, 3}}));

    ASSERT_TRUE(dataset->SetValue(2, 1, 5.0f, false, false, false));
    EXPECT_EQ(TrimmedCells(*dataset), (Cells{{1, 3}}));
    ASSERT_TRUE(dataset->ResetDatasetFromTrimming(false, 1));
    EXPECT_EQ(Value(*dataset, 2, 1), 5.0f) << "a changed cell is left alone";
    EXPECT_EQ(Value(*dataset, 3, 1), 301.0f);
    EXPECT_FALSE(dataset->GetIsTrimmed());
    EXPECT_FALSE(dataset->ResetDatasetFromTrimming(false, 1)) << "nothing left to undo";
}

TEST_F(NCDataSetTrimmingTest, TrimValuesMatchWithinARelativeTolerance) {
    const auto dataset = MakeDataset(2, 4, 1);
    Trim(*dataset, 1, 1, 100.0f);
    Trim(*dataset, 2, 1, 1.0e6f);
    for (const int obs : {3, 4}) ASSERT_TRUE(dataset->SetValue(obs, 1, 100.0f, true, false, false));
    ASSERT_TRUE(dataset->SetValue(1, 1, 100.004f, false, false, false));
    ASSERT_TRUE(dataset->SetValue(2, 1, 1.0e6f + 50.0f, false, false, false));  // 2^20 · 5e-05 > 52
    ASSERT_TRUE(dataset->SetValue(3, 1, 100.01f, false, false, false));
    ASSERT_TRUE(dataset->SetValue(4, 1, 99.996f, false, false, false));
    EXPECT_EQ(TrimmedCells(*dataset), (Cells{{1, 1}, {1, 2}, {1, 4}}));
}

TEST_F(NCDataSetTrimmingTest, UndoingOneVariableKeepsTheOthersFindable) {
    const auto dataset = MakeDataset(2, 2, 3);
    SignalLog log;
    Trim(*dataset, 1, 3, -1.0f);  // variable 3's records come first
    Trim(*dataset, 2, 1, -2.0f);
    Trim(*dataset, 1, 2, -3.0f);
    log.Clear();
    ASSERT_TRUE(dataset->ResetDatasetFromTrimming(false, 3));
    EXPECT_EQ(Value(*dataset, 1, 3), 103.0f);
    EXPECT_EQ(TrimmedCells(*dataset), (Cells{{1, 2}, {2, 1}}));
    ASSERT_TRUE(dataset->ResetDatasetFromTrimming(false, 2));
    EXPECT_EQ(Value(*dataset, 1, 2), 102.0f);
    EXPECT_EQ(Value(*dataset, 2, 1), -2.0f);
    EXPECT_EQ(TrimmedCells(*dataset), (Cells{{1, 2}}));
    EXPECT_EQ(log.Count("value changed"), 2);
}

TEST_F(NCDataSetTrimmingTest, UndoingAllRestoresEveryTrimmedCellAndSignalsEach) {
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
    EXPECT_TRUE(dataset->IsDirty()) << "restored values are a change to save";
    EXPECT_EQ(Value(*dataset, 3, 1), 101.0f);
    EXPECT_EQ(Value(*dataset, 1, 2), 302.0f);
    EXPECT_EQ(Value(*dataset, 2, 2), 7.0f);
    EXPECT_EQ(log.Count("value changed"), 2);
    EXPECT_FALSE(dataset->GetIsTrimmed());
    EXPECT_TRUE(TrimmedCells(*dataset).empty());
}

TEST_F(NCDataSetTrimmingTest, CancellingTheSearchReturnsTheCellsFoundSoFar) {
    const auto dataset = MakeDataset(2, 2, 3);
    for (int var = 1; var <= 3; ++var) Trim(*dataset, 1, var, -5.0f);
    const auto sink = std::make_shared<CancellingSink>(2.0);
    NCProgress::SetSink(sink);
    EXPECT_EQ(TrimmedCells(*dataset), (Cells{{1, 1}}));
    EXPECT_EQ(sink->mText, std::string(LanguageString::Get(nc::LanguageText::kFindingTrimmedValues)));
}

TEST_F(NCDataSetTrimmingTest, WithModelsTheUserAndTheProjectCanRefuseTheUndo) {
    const auto dataset = MakeDataset(2, 2, 2);
    Trim(*dataset, 1, 2, 50.0f);
    project->SetNumberOfModels(1);
    user->AddAnswer(0);
    EXPECT_FALSE(dataset->ResetDatasetFromTrimming(false, 2));
    EXPECT_EQ(user->GetExchanges().back().text,
              std::string(LanguageString::Get(nc::LanguageText::kUndoTrimmingWithModels)));
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>*) { return false; });
    user->AddAnswer(1);
    EXPECT_FALSE(dataset->ResetDatasetFromTrimming(false, 2));
    ASSERT_FALSE(project->GetConsentRequests().empty());
    EXPECT_EQ(project->GetConsentRequests().back().variableIDs, std::vector<unsigned long>{dataset->GetVarID(2)});
    EXPECT_EQ(Value(*dataset, 1, 2), 50.0f);
    EXPECT_EQ(TrimmedCells(*dataset), (Cells{{2, 1}}));
}

}  // namespace
