// Applying the user's import choices to a dataset being built: excluded batches and phases leave
// the rows and the batch list, renamed phases are written into the rows and merged, and each step
// is logged.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "batch/ConditionalDeleteBatchAndPhase.h"
#include "batch/DatasetComponents.h"
#include "batchinfo/BatchLookups.h"
#include "interfaces/notification/NCProgress.h"

namespace {

using BatchUtilities::FindBatch;
using BatchUtilities::FindPhase;
using Strings = std::vector<std::string>;

// One row per "<batch>/<phase>" text, with ID "<row>"; the matrix holds the row's number. The
// batch list has each batch's phases with their row counts, the phase list each phase once.
std::unique_ptr<DatasetComponents> Make(const Strings& rows, int batchColumn = 2) {
    auto parts = std::make_unique<DatasetComponents>();
    parts->Allocate();
    parts->settings->SetBatchID(batchColumn);
    parts->settings->SetPhaseID(3);
    *parts->data = NCDataMatrix<float>(static_cast<int>(rows.size()), 1);
    parts->batches = std::make_unique<BatchInfoVector>();
    parts->batches->SetBCVariableIDs(NCIntegralVector<unsigned long, 0>(1, 77UL));
    parts->phases = std::make_unique<ClassInfoVector>();
    for (int row = 1; row <= static_cast<int>(rows.size()); ++row) {
        const std::string& text = rows[static_cast<std::size_t>(row - 1)];
        const std::string batch = text.substr(0, text.find('/')), phase = text.substr(text.find('/') + 1);
        parts->observations->push_back(std::make_unique<ObservationInfo>(
            std::vector<CString>{std::to_string(row), batch, phase}, static_cast<unsigned long>(row)));
        (*parts->data)(row, 1, static_cast<float>(row));
        auto inList = FindBatch(parts->batches.get(), batch.c_str());
        if (!inList) {
            parts->batches->push_back(inList = boost::make_shared<BatchInfo>(batch.c_str()));
            inList->SetClassVectorPtr(std::make_unique<ClassInfoVector>());
        }
        auto inBatch = FindPhase(inList->GetClassVector(), phase.c_str(), false);
        if (!inBatch) inList->GetClassVector()->push_back(inBatch = boost::make_shared<ClassInfo>(phase.c_str()));
        inBatch->SetNumObs(inBatch->GetNumObs() + 1);
        if (!FindPhase(parts->phases.get(), phase.c_str(), false))
            parts->phases->push_back(boost::make_shared<ClassInfo>(phase.c_str()));
    }
    return parts;
}

// The rows left as "<original row>:<batch>/<phase>", each checked against its matrix row.
Strings RowsLeft(const DatasetComponents& parts) {
    Strings left;
    EXPECT_EQ(parts.data->GetNumRows(), static_cast<int>(parts.observations->size()));
    for (int row = 1; row <= static_cast<int>(parts.observations->size()); ++row) {
        const ObservationInfo& record = *(*parts.observations)[static_cast<std::size_t>(row - 1)];
        EXPECT_EQ((*parts.data)(row, 1), static_cast<float>(record.GetUniqueID()));
        left.push_back(std::string(record.GetPrimaryAlias()) + ":" + record.GetBatchName(*parts.settings).c_str() +
                       "/" + record.GetPhaseName(*parts.settings).c_str());
    }
    return left;
}

void Exclude(DatasetComponents& parts, const char* batch, const char* phase) {
    FindPhase(FindBatch(parts.batches.get(), batch)->GetClassVector(), phase, false)->SetIncluded(false);
}

std::string Update(DatasetComponents& parts) {
    std::string log;
    ConditionalDeleteBatchAndPhase(&parts).UpdateDataAccordingToBatchAndPhaseInfo(&log);
    return log;
}

// Keeps the display's text and range and the last value; asks to cancel, in vain.
struct RecordingSink : NCProgressSink {
    void Begin(const char* title, const char*, double min, double max) override { seen = {title, min, max, 0}; }
    bool Update(double value) override { return (std::get<3>(seen) = value) > 0; }
    void End() override {}
    std::tuple<std::string, double, double, double> seen;
};

const Strings kRows{"B1/Heat", "B1/Heat", "B1/Cool", "B2/Heat", "B2/Cool", "B3/Heat", "B3/Cool", "B4/Heat", "B4/Cool"};

TEST(ConditionalDeleteBatchAndPhase, DeletesExcludedBatchesAndPhasesAndPrunesTheBatchList) {
    const auto parts = Make(kRows);
    Exclude(*parts, "B1", "Cool");
    FindBatch(parts->batches.get(), "B2")->SetIncluded(false);
    Exclude(*parts, "B3", "Heat");  // every phase of B3: deleted as a batch
    Exclude(*parts, "B3", "Cool");
    // An excluded batch without rows from the position on removes nothing and keeps the position
    // for B4, whose count reaches past the last row.
    const auto b4 = (*parts->batches)[3];
    parts->batches->erase(parts->batches->begin() + 3);
    parts->batches->push_back(boost::make_shared<BatchInfo>("Ghost"));
    (*parts->batches)[3]->SetNumObs(2);
    (*parts->batches)[3]->SetIncluded(false);
    parts->batches->push_back(b4);
    b4->SetIncluded(false);
    b4->GetClassVector()->front()->SetNumObs(5);

    const auto sink = std::make_shared<RecordingSink>();
    NCProgress::SetSink(sink);
    const std::string log = Update(*parts);
    NCProgress::SetSink(nullptr);
    EXPECT_EQ(log,
              "Phase Cool in batch B1 was deleted.\nBatch B2 was deleted.\nBatch B3 was deleted.\n"
              "Batch Ghost was deleted.\nBatch B4 was deleted.\n");
    EXPECT_EQ(RowsLeft(*parts), (Strings{"1:B1/Heat", "2:B1/Heat"}));
    EXPECT_EQ(sink->seen, std::make_tuple(std::string("Deleting selected batches and phases..."), 1.0, 5.0, 5.0));
    ASSERT_EQ(parts->batches->size(), 1u);
    EXPECT_EQ((*parts->batches)[0]->GetBatchName(), "B1");
    ASSERT_EQ((*parts->batches)[0]->GetClassVector()->size(), 1u);
    EXPECT_EQ((*parts->batches)[0]->GetClassVector()->front()->GetPhaseName(), "Heat");
    EXPECT_EQ(parts->batches->GetBCVariableIDs()[1], 77UL);

    // Without a log the same rows go.
    const auto quiet = Make(kRows);
    Exclude(*quiet, "B1", "Cool");
    FindBatch(quiet->batches.get(), "B2")->SetIncluded(false);
    ConditionalDeleteBatchAndPhase(quiet.get()).UpdateDataAccordingToBatchAndPhaseInfo(nullptr);
    EXPECT_EQ(RowsLeft(*quiet),
              (Strings{"1:B1/Heat", "2:B1/Heat", "6:B3/Heat", "7:B3/Cool", "8:B4/Heat", "9:B4/Cool"}));
    EXPECT_EQ(quiet->batches->size(), 3u);
}

TEST(ConditionalDeleteBatchAndPhase, WithoutBatchesDeletesThePhasesExcludedInThePhaseList) {
    const Strings rows{"/Heat", "/Cool", "/Heat", "/Cool", "/Hold"};
    const auto parts = Make(rows, -1);
    (*parts->phases)[1]->SetIncluded(false);
    (*parts->phases)[1]->SetPhaseName("Chill");  // the original name finds the rows
    EXPECT_EQ(Update(*parts), "Class Cool was deleted.\nPhase Cool was renamed Chill.\n");
    EXPECT_EQ(RowsLeft(*parts), (Strings{"1:/Heat", "3:/Heat", "5:/Hold"}));
    EXPECT_EQ((*parts->batches)[0]->GetClassVector()->size(), 3u) << "without a batch ID column the list stays";

    const auto noPhaseColumn = Make(rows, -1);
    noPhaseColumn->settings->SetPhaseID(0);
    (*noPhaseColumn->phases)[1]->SetIncluded(false);
    EXPECT_EQ(Update(*noPhaseColumn), "");
    EXPECT_EQ(noPhaseColumn->observations->size(), rows.size());
    DatasetComponents empty;
    EXPECT_EQ(Update(empty), "") << "nothing to work on";
}

TEST(ConditionalDeleteBatchAndPhase, RenamedPhasesAreWrittenIntoTheRowsAndMergedOnce) {
    const Strings rows{"B1/Heat", "B1/Hold", "B1/Cool", "B2/Heat", "B2/Hold"};
    const auto parts = Make(rows);
    ClassInfoVector& phases = *parts->phases;
    phases[0]->SetPhaseName("HEAT");  // case only: no rename, but written with the others
    phases[1]->SetPhaseName("Heat");  // merged into the first phase
    phases[2]->SetPhaseName("Cooling");
    EXPECT_EQ(Update(*parts), "Phase Hold was renamed Heat.\nPhase Cool was renamed Cooling.\n");
    EXPECT_EQ(RowsLeft(*parts), (Strings{"1:B1/HEAT", "2:B1/Heat", "3:B1/Cooling", "4:B2/HEAT", "5:B2/Heat"}));
    EXPECT_TRUE(phases[0]->IsIncluded());
    EXPECT_FALSE(phases[1]->IsIncluded()) << "the later record of a merged phase is excluded";
    EXPECT_TRUE(phases[2]->IsIncluded());

    const auto caseOnly = Make(rows);
    (*caseOnly->phases)[0]->SetPhaseName("heat");
    EXPECT_EQ(Update(*caseOnly), "");
    EXPECT_EQ(RowsLeft(*caseOnly)[0], "1:B1/Heat") << "a change of case alone rewrites nothing";
}

}  // namespace
