// Smoothed, relative and time variables created in a batch dataset, their names, their report and
// their removal.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "batch/Smooth.h"
#include "batchinfo/BatchImportSettings.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "tests/dataset/DatasetTestProject.h"

namespace {

constexpr float M = nc::kMissingValue;

// A run of observations: batch name, phase name, phase number and number of rows.
struct PhaseRun {
    const char* batch;
    const char* phase;
    int number, rows;
};

class SmoothVariablesTest : public DatasetTest {
protected:
    void SetUp() override {
        DatasetTest::SetUp();
        project->GetObservations().SetBatchID(2);
        project->GetObservations().SetPhaseID(3);
    }

    unsigned long AddVariable(const char* name, EVariableBlock block) {
        const unsigned long id = AddVariableRecord(name);
        project->GetVariables()[id]->SetVariableBlock(block);
        return id;
    }

    // A dataset of the runs' rows with one column per variable (values by row), held by the project.
    boost::shared_ptr<NCDataSet> MakeBatchDataset(int number, const std::vector<PhaseRun>& runs,
                                                  const std::vector<unsigned long>& vars,
                                                  const std::vector<std::vector<float>>& columns) {
        NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
        for (const PhaseRun& run : runs)
            for (int i = 0; i < run.rows; ++i) {
                const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
                auto record = std::make_unique<ObservationInfo>(
                    std::vector<CString>{CString("O" + std::to_string(id)), run.batch, run.phase}, id);
                record->SetDefaultClass(run.number);
                project->GetObservations().Add(std::move(record), nullptr);
                obsIDs.push_back(id);
            }
        for (const unsigned long id : vars) varIDs.push_back(id);
        NCDataMatrix<float> data(obsIDs.size(), varIDs.size());
        for (int v = 1; v <= varIDs.size(); ++v)
            for (int r = 1; r <= obsIDs.size(); ++r) data(r, v, columns[v - 1][r - 1]);
        auto dataset = NCDataSet::Create(project, "Batches", number, &data, &obsIDs, &varIDs, {1, 2, 3}, {1}, "",
                                         nullptr, nullptr, false);
        project->AddDataset(dataset);
        return dataset;
    }

    static void ExpectMonotone(const NCDataSet& ds, int var, int first, int last, int direction) {
        for (int row = first + 1; row <= last; ++row)
            EXPECT_GT((Value(ds, row, var) - Value(ds, row - 1, var)) * direction, 0.0f) << "row " << row;
    }

    BatchImportSettings settings;
};

}  // namespace

TEST_F(SmoothVariablesTest, CreatesSmoothedAndRelativeMaturityForEveryPhaseOfEveryBatch) {
    const unsigned long conv = AddVariable("Conv", eBlockY);
    const unsigned long temp = AddVariable("Temp", eBlockX);
    const unsigned long other = AddVariable("$Other", eBlockY);
    // B1: A rows 1-5, B rows 6-9, phase 1 again rows 10-11; B2: A rows 12-17, B rows 18-20.
    const std::vector<PhaseRun> rows{
        {"B1", "A", 1, 5}, {"B1", "B", 2, 4}, {"B1", "A2", 1, 2}, {"B2", "A", 1, 6}, {"B2", "B", 2, 3}};
    const std::vector<float> conversion{1, 3, 2, M, 6, 50, 42, 44, 30, 7,
                                        8, M, 2, 1, 4, 5,  7,  48, 49, 35};  // A rises, B falls
    const std::vector<float> flat(20, 1.0f);
    const auto ds = MakeBatchDataset(1, rows, {conv, temp, other}, {conversion, flat, flat});

    EXPECT_EQ(Smooth::CreateAndInsertSmoothedYs(ds, &settings, temp, nullptr), 0);  // an X variable
    std::vector<CString> names;
    ASSERT_EQ(Smooth::CreateAndInsertSmoothedYs(ds, &settings, nc::kNoUniqueID, &names), 2);
    EXPECT_EQ(names, (std::vector<CString>{"$Conv [smoothed]", "$Conv [Rel.smoothed]"}));
    ASSERT_EQ(ds->SizeVariables(), 5);
    const int smoothed = 4, relative = 5;

    const struct { int first, last, direction; } segments[] = {{1, 5, 1}, {6, 9, -1}, {12, 17, 1}, {18, 20, -1}};
    for (const auto& segment : segments) {
        ExpectMonotone(*ds, smoothed, segment.first, segment.last, segment.direction);
        EXPECT_EQ(Value(*ds, segment.first, relative), 0.0f);
        for (int row = segment.first; row <= segment.last; ++row)
            EXPECT_FLOAT_EQ(Value(*ds, row, relative), Value(*ds, row, smoothed) - Value(*ds, segment.first, smoothed));
    }
    // The second run of A in B1 lies in no segment.
    EXPECT_EQ(Value(*ds, 10, smoothed), M);
    EXPECT_EQ(Value(*ds, 11, relative), M);

    // Registered: the smoothed variable is mapped and excluded, the relative one replaces the source.
    const NCVariables& vars = project->GetVariables();
    EXPECT_EQ(settings.GetSmoothed(conv), ds->GetVarID(smoothed));
    EXPECT_EQ(vars[ds->GetVarID(smoothed)]->GetVariableBlock(), eBlockExcludedY);
    EXPECT_EQ(vars[ds->GetVarID(relative)]->GetVariableBlock(), eBlockY);
    EXPECT_EQ(vars[conv]->GetVariableBlock(), eBlockExcludedY);
}

TEST_F(SmoothVariablesTest, WithoutPhaseNumbersEachBatchIsOneSegmentAndNullSettingsRegisterNothing) {
    const unsigned long conv = AddVariable("Conv", eBlockY);
    const auto ds = MakeBatchDataset(1, {{"B1", "A", 0, 3}, {"B1", "B", 0, 3}, {"B2", "A", 0, 3}}, {conv},
                                     {{1, 2, 3, 4, 5, 6, 2, 3, 4}});
    std::vector<CString> names;
    ASSERT_EQ(Smooth::CreateAndInsertSmoothedYs(ds, nullptr, conv, &names), 2);
    EXPECT_EQ(names.size(), 2u);
    for (int row = 1; row <= 9; ++row)  // relative to the batch's first row, across its phases
        EXPECT_FLOAT_EQ(Value(*ds, row, 3), Value(*ds, row, 2) - Value(*ds, row <= 6 ? 1 : 7, 2)) << row;
    EXPECT_GT(Value(*ds, 4, 3), Value(*ds, 3, 3));
    EXPECT_EQ(project->GetVariables()[ds->GetVarID(3)]->GetVariableBlock(), eBlockExcludedY);
    EXPECT_EQ(project->GetVariables()[conv]->GetVariableBlock(), eBlockY);
}

TEST_F(SmoothVariablesTest, StopsWhenAPhaseDoesNotStartAtAPhaseBeginning) {
    const unsigned long conv = AddVariable("Conv", eBlockY);
    // Phase number 2 starts inside the run of phase name A.
    const auto ds = MakeBatchDataset(1, {{"B1", "A", 1, 2}, {"B1", "A", 2, 2}}, {conv}, {{1, 2, 3, 4}});
    try {
        Smooth::CreateAndInsertSmoothedYs(ds, &settings, nc::kNoUniqueID, nullptr);
        FAIL() << "no error";
    } catch (const NCError& error) {
        EXPECT_STREQ(error.what(), "Unable to find the required phase, smoothing aborted.");
    }
    EXPECT_EQ(ds->SizeVariables(), 1);
}

TEST_F(SmoothVariablesTest, LaterDatasetsTakeEachPhaseDirectionFromDatasetOne) {
    const unsigned long conv = AddVariable("Conv", eBlockY);
    const std::vector<PhaseRun> rows{{"B1", "A", 1, 5}};
    const auto second = MakeBatchDataset(2, rows, {conv}, {{1, 3, 2, 4, 6}});
    EXPECT_EQ(Smooth::CreateAndInsertSmoothedYs(second, &settings, conv, nullptr), 0);  // no dataset 1
    EXPECT_EQ(second->SizeVariables(), 1);

    // Dataset 1 has no smoothed variable yet: the data decide.
    const auto first = MakeBatchDataset(1, rows, {conv}, {{9, 7, 8, 4, 2}});
    ASSERT_EQ(Smooth::CreateAndInsertSmoothedYs(second, &settings, conv, nullptr), 2);
    ExpectMonotone(*second, 2, 1, 5, 1);
    const auto removed = Smooth::RemoveSmoothedVars(second, project->GetVariables()[conv], &settings, false);
    EXPECT_EQ(removed.size(), 2);
    EXPECT_EQ(settings.GetSmoothed(conv), nc::kNoUniqueID);

    // Once dataset 1's falling maturity is smoothed, dataset 2 falls too.
    ASSERT_EQ(Smooth::CreateAndInsertSmoothedYs(first, &settings, conv, nullptr), 2);
    ASSERT_EQ(Smooth::CreateAndInsertSmoothedYs(second, &settings, conv, nullptr), 2);
    EXPECT_EQ(second->GetVarID(2), settings.GetSmoothed(conv));
    ExpectMonotone(*second, 2, 1, 5, -1);
}

TEST_F(SmoothVariablesTest, TimeRestartsEveryPhaseAndIsIncludedWherePhasesLackAResponse) {
    const unsigned long conv = AddVariable("Conv", eBlockX);
    const auto ds = MakeBatchDataset(1, {{"B1", "A", 1, 3}, {"B1", "B", 2, 2}, {"B2", "A", 1, 2}, {"B2", "B", 2, 3}},
                                     {conv}, {std::vector<float>(10, 1.0f)});

    // No included Y variable: "$Time" is included.
    ASSERT_TRUE(Smooth::CreateAndInsert_DollarTime(ds, &settings));
    const int time = 2;
    ASSERT_EQ(ds->SizeVariables(), 2);
    const std::vector<float> expected{0, 1, 2, 0, 1, 0, 1, 0, 1, 2};
    for (int row = 1; row <= 10; ++row) EXPECT_EQ(Value(*ds, row, time), expected[row - 1]);
    VariableInfo* record = project->GetVariables()[ds->GetVarID(time)];
    EXPECT_EQ(std::string(record->GetRecipe()), "IndexByPhase(0)");
    EXPECT_EQ(record->GetVariableBlock(), eBlockY);

    // An included Y for phase 1 only: "$Time" covers phase 2; refreshing adds no column.
    VariableInfo* response = project->GetVariables()[conv];
    response->SetVariableBlock(eBlockY);
    response->SetClasses({1});
    ds->SetValue(2, time, 40.0f, false, false, false);
    ASSERT_TRUE(Smooth::CreateAndInsert_DollarTime(ds, &settings));
    EXPECT_EQ(ds->SizeVariables(), 2);
    EXPECT_EQ(Value(*ds, 2, time), 1.0f);
    EXPECT_EQ(record->GetVariableBlock(), eBlockY);
    EXPECT_EQ(record->GetClasses(), std::set<int>{2});

    // Every phase has an included Y (or one without classes): "$Time" stays excluded.
    response->SetClasses({1, 2});
    Smooth::CreateAndInsert_DollarTime(ds, &settings);
    EXPECT_EQ(record->GetVariableBlock(), eBlockExcludedY);
    response->SetClasses({});
    Smooth::CreateAndInsert_DollarTime(ds, &settings);
    EXPECT_EQ(record->GetVariableBlock(), eBlockExcludedY);
}

TEST_F(SmoothVariablesTest, NamesTellTheTreatmentAndTheReportDescribesEachName) {
    const std::vector<const char*> names{
        "$Time", "$time", "$Conv [SMOOTHED]", "$Conv [Relative]", "$Conv [Rel.smoothed]", "Conv [smoothed]", nullptr};
    const std::vector<int> codes{1, 0, 2, 3, 4, 0, 0};
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(Smooth::GetVariableTreatment(names[i]), codes[i]) << i;

    EXPECT_EQ(Smooth::FormatSmoothedVarsMessage({}, true), "");
    EXPECT_EQ(Smooth::FormatSmoothedVarsMessage({"$Conv [smoothed]"}, false),
              "The following variable has been created:\n\n$Conv [smoothed] - Input maturity variable smoothed.\n");
    EXPECT_EQ(Smooth::FormatSmoothedVarsMessage({"$Time", "$Conv [Relative]", "$Conv [Rel.smoothed]", "Conv"}, true),
              "The following variables have been created:\n\n"
              "$Time - relative time starting at 0, interval 1, by phase.\n"
              "$Conv [Relative] - Input time or maturity variable made relative (start at 0, by phase).\n"
              "$Conv [Rel.smoothed] - Input maturity variable smoothed and made relative (start at 0, by phase).\n"
              "Conv\n");
}

TEST_F(SmoothVariablesTest, RemovesOnlyTheVariablesOfItsSourceAndOnlyWithConsent) {
    const unsigned long conv = AddVariable("Conv", eBlockY);
    const unsigned long conv2 = AddVariable("Conv2", eBlockY);
    const auto ds = MakeBatchDataset(1, {{"B1", "A", 1, 4}}, {conv, conv2}, {{1, 2, 3, 4}, {4, 3, 2, 1}});
    ASSERT_EQ(Smooth::CreateAndInsertSmoothedYs(ds, &settings, nc::kNoUniqueID, nullptr), 2);
    ASSERT_EQ(ds->SizeVariables(), 6);
    const unsigned long smoothedID = settings.GetSmoothed(conv);
    const VariableInfo* source = project->GetVariables()[conv];

    user->AddAnswer(0);
    EXPECT_EQ(Smooth::RemoveSmoothedVars(ds, source, &settings, true).size(), 0);
    EXPECT_EQ(ds->SizeVariables(), 6);

    user->AddAnswer(1);
    const auto removed = Smooth::RemoveSmoothedVars(ds, source, &settings, true);
    EXPECT_EQ(user->QuestionCount(), 2);
    ASSERT_EQ(removed.size(), 2);
    EXPECT_EQ(removed[1], smoothedID);
    EXPECT_EQ(settings.GetSmoothed(conv), nc::kNoUniqueID);
    EXPECT_NE(settings.GetSmoothed(conv2), nc::kNoUniqueID);
    EXPECT_EQ(project->GetVariables()[smoothedID]->GetVariableBlock(), eBlockExcludedY);
    ASSERT_EQ(ds->SizeVariables(), 4);
    EXPECT_STREQ(ds->GetVariableInfo(3)->GetPrimaryAlias(), "$Conv2 [smoothed]");
    EXPECT_STREQ(ds->GetVariableInfo(4)->GetPrimaryAlias(), "$Conv2 [Rel.smoothed]");
}
