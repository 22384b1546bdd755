// Applying the user's import choices to a dataset being built: excluded batches and phases leave
// the rows and the batch list, renamed phases are written into the rows and merged, and each step
// is logged.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "batch/ConditionalDeleteBatchAndPhase.h"
#include "batch/DatasetComponents.h"
#include "batchinfo/BatchLookups.h"
#include "interfaces/notification/NCProgress.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

using Rows = std::vector<std::pair<const char*, const char*>>;  // batch and phase of each row

// Rows with IDs "<row>", batch and phase; the matrix holds the row's number, so the rows left can
// be told apart. The batch list has each batch's phases with their row counts, the phase list
// each phase name once, all included.
std::unique_ptr<DatasetComponents> Make(const Rows& rows, bool batches = true) {
    auto parts = std::make_unique<DatasetComponents>();
    parts->Allocate();
    parts->settings->SetBatchID(batches ? 2 : -1);
    parts->settings->SetPhaseID(3);
    *parts->data = NCDataMatrix<float>(static_cast<int>(rows.size()), 1);
    parts->batches = std::make_unique<BatchInfoVector>();
    parts->phases = std::make_unique<ClassInfoVector>();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto [batch, phase] = rows[i];
        parts->observations->push_back(std::make_unique<ObservationInfo>(
            std::vector<CString>{std::to_string(i + 1), batch, phase}, static_cast<unsigned long>(i + 1)));
        (*parts->data)(static_cast<int>(i + 1), 1, static_cast<float>(i + 1));
        auto found = BatchUtilities::FindBatch(parts->batches.get(), batch);
        if (!found) {
            found = boost::make_shared<BatchInfo>(batch);
            found->SetClassVectorPtr(std::make_unique<ClassInfoVector>());
            parts->batches->push_back(found);
        }
        auto inBatch = BatchUtilities::FindPhase(found->GetClassVector(), phase, false);
        if (!inBatch) found->GetClassVector()->push_back(inBatch = boost::make_shared<ClassInfo>(phase));
        inBatch->SetNumObs(inBatch->GetNumObs() + 1);
        if (!BatchUtilities::FindPhase(parts->phases.get(), phase, false))
            parts->phases->push_back(boost::make_shared<ClassInfo>(phase));
    }
    parts->batches->SetBCVariableIDs(NCIntegralVector<unsigned long, 0>(1, 77UL));
    return parts;
}

// Each row left as "<original row>:<batch>/<phase>", checking that the matrix row agrees.
std::vector<std::string> RowsLeft(const DatasetComponents& parts) {
    std::vector<std::string> left;
    EXPECT_EQ(parts.data->GetNumRows(), static_cast<int>(parts.observations->size()));
    for (std::size_t i = 0; i < parts.observations->size(); ++i) {
        const ObservationInfo& record = *(*parts.observations)[i];
        EXPECT_EQ((*parts.data)(static_cast<int>(i + 1), 1), static_cast<float>(record.GetUniqueID()));
        left.push_back(std::string(record.GetPrimaryAlias()) + ":" + record.GetBatchName(*parts.settings).GetString() +
                       "/" + record.GetPhaseName(*parts.settings).GetString());
    }
    return left;
}

void ExcludePhase(DatasetComponents& parts, const char* batch, const char* phase) {
    BatchUtilities::FindPhase(BatchUtilities::FindBatch(parts.batches.get(), batch)->GetClassVector(), phase, false)
        ->SetIncluded(false);
}

struct RecordingSink : NCProgressSink {
    void Begin(const char* title, const char*, double min, double max) override {
        text = title;
        range = {min, max};
    }
    bool Update(double value) override {
        last = value;
        return true;  // asks to cancel, in vain
    }
    void End() override {}
    std::string text;
    std::pair<double, double> range;
    double last = 0;
};

TEST(ConditionalDeleteBatchAndPhase, DeletesExcludedBatchesAndPhasesAndPrunesTheBatchList) {
    const Rows rows{{"B1", "Heat"}, {"B1", "Heat"}, {"B1", "Cool"}, {"B2", "Heat"}, {"B2", "Cool"},
                    {"B3", "Heat"}, {"B3", "Cool"}, {"B4", "Heat"}, {"B4", "Cool"}};
    const auto parts = Make(rows);
    ExcludePhase(*parts, "B1", "Cool");
    BatchUtilities::FindBatch(parts->batches.get(), "B2")->SetIncluded(false);
    ExcludePhase(*parts, "B3", "Heat");  // every phase of B3: deleted as a batch
    ExcludePhase(*parts, "B3", "Cool");
    // An excluded batch without rows from the current one on removes nothing and keeps the
    // position for B4, whose count reaches past the last row.
    const auto b4 = (*parts->batches)[3];
    parts->batches->erase(parts->batches->begin() + 3);
    const auto ghost = boost::make_shared<BatchInfo>("Ghost");
    ghost->SetNumObs(2);
    ghost->SetIncluded(false);
    parts->batches->push_back(ghost);
    parts->batches->push_back(b4);
    b4->SetIncluded(false);
    b4->GetClassVector()->front()->SetNumObs(5);

    const auto sink = std::make_shared<RecordingSink>();
    NCProgress::SetSink(sink);
    std::string log = "Import\n";
    ConditionalDeleteBatchAndPhase(parts.get()).UpdateDataAccordingToBatchAndPhaseInfo(&log);
    NCProgress::SetSink(nullptr);

    EXPECT_EQ(log,
              "Import\nPhase Cool in batch B1 was deleted.\nBatch B2 was deleted.\nBatch B3 was deleted.\n"
              "Batch Ghost was deleted.\nBatch B4 was deleted.\n");
    EXPECT_EQ(RowsLeft(*parts), (std::vector<std::string>{"1:B1/Heat", "2:B1/Heat"}));
    EXPECT_EQ(sink->text, "Deleting selected batches and phases...");
    EXPECT_EQ(sink->range, std::make_pair(1.0, 5.0));
    EXPECT_EQ(sink->last, 5.0);
    ASSERT_EQ(parts->batches->size(), 1u);
    const auto b1 = (*parts->batches)[0];
    EXPECT_EQ(b1->GetBatchName(), "B1");
    ASSERT_EQ(b1->GetClassVector()->size(), 1u);
    EXPECT_EQ(b1->GetClassVector()->front()->GetPhaseName(), "Heat");
    EXPECT_EQ(parts->batches->GetBCVariableIDs().size(), 1);
    EXPECT_EQ(parts->batches->GetBCVariableIDs()[1], 77UL);

    // Without a log the same rows go.
    const auto quiet = Make(rows);
    ExcludePhase(*quiet, "B1", "Cool");
    BatchUtilities::FindBatch(quiet->batches.get(), "B2")->SetIncluded(false);
    ConditionalDeleteBatchAndPhase(quiet.get()).UpdateDataAccordingToBatchAndPhaseInfo(nullptr);
    EXPECT_EQ(RowsLeft(*quiet),
              (std::vector<std::string>{"1:B1/Heat", "2:B1/Heat", "6:B3/Heat", "7:B3/Cool", "8:B4/Heat", "9:B4/Cool"}));
    EXPECT_EQ(quiet->batches->size(), 3u);
}

TEST(ConditionalDeleteBatchAndPhase, WithoutBatchesDeletesThePhasesExcludedInThePhaseList) {
    const Rows rows{{"", "Heat"}, {"", "Cool"}, {"", "Heat"}, {"", "Cool"}, {"", "Hold"}};
    const auto parts = Make(rows, false);
    (*parts->phases)[1]->SetIncluded(false);
    (*parts->phases)[1]->SetPhaseName("Chill");  // the original name finds the rows
    std::string log;
    ConditionalDeleteBatchAndPhase(parts.get()).UpdateDataAccordingToBatchAndPhaseInfo(&log);
    EXPECT_EQ(log, "Class Cool was deleted.\nPhase Cool was renamed Chill.\n");
    EXPECT_EQ(RowsLeft(*parts), (std::vector<std::string>{"1:/Heat", "3:/Heat", "5:/Hold"}));
    ASSERT_EQ(parts->batches->size(), 1u) << "without a batch ID column the batch list is kept";
    EXPECT_EQ((*parts->batches)[0]->GetClassVector()->size(), 3u);

    const auto noPhaseColumn = Make(rows, false);
    noPhaseColumn->settings->SetPhaseID(0);
    (*noPhaseColumn->phases)[1]->SetIncluded(false);
    log.clear();
    ConditionalDeleteBatchAndPhase(noPhaseColumn.get()).UpdateDataAccordingToBatchAndPhaseInfo(&log);
    EXPECT_EQ(log, "");
    EXPECT_EQ(noPhaseColumn->observations->size(), rows.size());
}

TEST(ConditionalDeleteBatchAndPhase, RenamedPhasesAreWrittenIntoTheRowsAndMergedOnce) {
    const Rows rows{{"B1", "Heat"}, {"B1", "Hold"}, {"B1", "Cool"}, {"B2", "Heat"}, {"B2", "Hold"}};
    const auto parts = Make(rows);
    ClassInfoVector& phases = *parts->phases;
    phases[0]->SetPhaseName("HEAT");  // case only: not a rename, but written with the others
    phases[1]->SetPhaseName("Heat");  // merged into the first phase
    phases[2]->SetPhaseName("Cooling");
    std::string log;
    ConditionalDeleteBatchAndPhase(parts.get()).UpdateDataAccordingToBatchAndPhaseInfo(&log);
    EXPECT_EQ(log, "Phase Hold was renamed Heat.\nPhase Cool was renamed Cooling.\n");
    EXPECT_EQ(RowsLeft(*parts),
              (std::vector<std::string>{"1:B1/HEAT", "2:B1/Heat", "3:B1/Cooling", "4:B2/HEAT", "5:B2/Heat"}));
    EXPECT_TRUE(phases[0]->IsIncluded());
    EXPECT_FALSE(phases[1]->IsIncluded()) << "the later record of a merged phase is excluded";
    EXPECT_TRUE(phases[2]->IsIncluded());

    // A change of case alone rewrites nothing.
    const auto caseOnly = Make(rows);
    (*caseOnly->phases)[0]->SetPhaseName("heat");
    log.clear();
    ConditionalDeleteBatchAndPhase(caseOnly.get()).UpdateDataAccordingToBatchAndPhaseInfo(&log);
    EXPECT_EQ(log, "");
    EXPECT_EQ(RowsLeft(*caseOnly)[0], "1:B1/Heat");
}

TEST(DatasetComponents, AllocateMakesEmptyPartsAndDeleteReleasesOneList) {
    DatasetComponents parts;
    EXPECT_FALSE(parts.data || parts.variables || parts.observations || parts.settings || parts.batches);
    EXPECT_TRUE(parts.observationLevel);
    EXPECT_FALSE(parts.appendToExisting);
    ConditionalDeleteBatchAndPhase(&parts).UpdateDataAccordingToBatchAndPhaseInfo(nullptr);  // nothing to do
    ConditionalDeleteBatchAndPhase(nullptr).UpdateDataAccordingToBatchAndPhaseInfo(nullptr);

    parts.Allocate();
    ASSERT_TRUE(parts.data && parts.variables && parts.batchConditionVariables && parts.observations &&
                parts.skippedVariables && parts.skippedObservations && parts.settings);
    EXPECT_EQ(parts.data->GetNumRows(), 0);
    EXPECT_EQ(parts.settings->GetBatchID(), -1);
    EXPECT_EQ(parts.batches, nullptr);
    parts.variables->push_back(
        std::make_unique<QuantitativeVariableInfo>(CString("V"), 1UL, CString(), -1, -1, eVarTypeDefault));
    parts.DeleteVariables();
    parts.DeleteObservations();
    parts.DeleteBatchConditionVariables();
    EXPECT_FALSE(parts.variables || parts.observations || parts.batchConditionVariables);
    EXPECT_TRUE(parts.skippedVariables && parts.data);
}

}  // namespace
