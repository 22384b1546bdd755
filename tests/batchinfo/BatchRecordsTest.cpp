// Batch, phase and phase-list records: copies, comparisons, sizes and lookups.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <memory>

#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/BatchLookups.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "interfaces/constants/NCConstants.h"

using nc::kMissingValue;

namespace {

boost::shared_ptr<ClassInfo> Phase(const char* name, int numObs, bool included = true) {
    auto phase = boost::make_shared<ClassInfo>(name);
    phase->SetNumObs(numObs);
    phase->SetIncluded(included);
    return phase;
}

// "Batch" with phases Heat (4), Hold (3, excluded) and Heat again (2): 9 observations in all.
boost::shared_ptr<BatchInfo> BatchWithPhases(const char* name = "Batch") {
    auto batch = boost::make_shared<BatchInfo>(name);
    batch->SetNumObs(9);
    auto phases = std::make_unique<ClassInfoVector>();
    phases->push_back(Phase("Heat", 4));
    phases->push_back(Phase("Hold", 3, false));
    phases->push_back(Phase("Heat", 2));
    batch->SetClassVectorPtr(std::move(phases));
    NCDataVector<float> values(2, 1.0f);
    batch->SetBatchConditionValues(&values);
    return batch;
}

TEST(BatchRecords, CopiesNeverShareAPhase) {
    ClassInfoVector phases;
    phases.push_back(Phase("Heat", 4));
    ClassInfoVector copy(phases);
    ClassInfoVector assigned;
    assigned = phases;
    EXPECT_EQ(copy, phases);
    EXPECT_NE(copy[0].get(), phases[0].get());
    EXPECT_NE(assigned[0].get(), phases[0].get());

    const auto batch = BatchWithPhases();
    const auto clone = batch->Clone();
    BatchInfo assignedBatch("other");
    assignedBatch = *batch;
    EXPECT_EQ(*clone, *batch);
    EXPECT_EQ(assignedBatch, *batch);
    (*clone->GetClassVector())[0]->SetNumObs(100);
    (*assignedBatch.GetClassVector())[0]->SetPhaseName("Renamed");
    EXPECT_EQ((*batch->GetClassVector())[0]->GetNumObs(), 4);
    EXPECT_STREQ((*batch->GetClassVector())[0]->GetPhaseName(), "Heat");

    BatchInfoVector list;
    list.push_back(batch);
    NCIntegralVector<unsigned long, 0> ids(2, 7UL);
    list.SetBCVariableIDs(ids);
    NCStringVector legacy;
    legacy.push_back("Colour");
    list.OBSOLETE_SetConditions(legacy, {1});
    BatchInfoVector listCopy(list);
    EXPECT_EQ(listCopy, list);
    EXPECT_EQ(listCopy.OBSOLETE_GetConditionNames().Size(), 0);
    (*listCopy[0]->GetClassVector())[1]->SetIncluded(true);
    listCopy[0]->SetBatchConditionValue(1, 5.0f);
    EXPECT_FALSE((*list[0]->GetClassVector())[1]->IsIncluded());
    EXPECT_EQ(list[0]->GetBatchConditionValues()(1), 1.0f);
    EXPECT_NE(listCopy, list);

    // Handing a batch its own list again must not destroy it.
    ClassInfoVector* own = batch->GetClassVector();
    batch->SetClassVectorPtr(own);
    EXPECT_EQ(batch->GetClassVector(), own);
    EXPECT_EQ(own->size(), 3u);
}

TEST(BatchRecords, ComparisonsCoverTheStatedFieldsOnly) {
    ClassInfo a("P"), b("P");
    b.SetPhaseStatus(static_cast<ClassInfo::EPhaseStatus>(2));
    EXPECT_EQ(a, b);
    b.SetOriginalName("p");
    EXPECT_NE(a, b);
    b = a;
    b.SetIncluded(9UL, false);
    EXPECT_NE(a, b);

    const auto withPhases = BatchWithPhases();
    BatchInfo withoutPhases(*withPhases);
    withoutPhases.SetClassVectorPtr(nullptr);
    EXPECT_NE(*withPhases, withoutPhases);
    EXPECT_NE(withoutPhases, *withPhases);
    BatchInfo textsDiffer(*withPhases);
    NCStringVector texts;
    texts.push_back("red");
    textsDiffer.OBSOLETE_SetQualitativeValues(texts);
    EXPECT_EQ(textsDiffer, *withPhases);
    BatchInfo nameCase(*withPhases);
    nameCase.SetBatchName("BATCH");
    EXPECT_NE(nameCase, *withPhases);

    BatchInfoVector x, y;
    x.push_back(withPhases);
    y.push_back(withPhases->Clone());
    EXPECT_EQ(x, y);
    y.SetBCVariableIDs(NCIntegralVector<unsigned long, 0>(1, 3UL));
    EXPECT_NE(x, y);
}

TEST(BatchRecords, ExcludedVariablesOfAPhase) {
    ClassInfo phase("P");
    EXPECT_TRUE(phase.IsIncluded(5UL));
    phase.SetIncluded(5UL, false);
    phase.SetIncluded(5UL, false);
    EXPECT_FALSE(phase.IsIncluded(5UL));
    EXPECT_EQ(phase.GetExcludedVariablesVector().size(), 1);
    phase.SetIncluded(6UL, true);  // not excluded: nothing changes
    EXPECT_EQ(phase.GetExcludedVariablesVector().size(), 1);
    phase.SetIncluded(5UL, true);
    EXPECT_TRUE(phase.IsIncluded(5UL));
    EXPECT_TRUE(phase.GetExcludedVariablesVector().empty());
}

TEST(BatchRecords, NumberOfObservationsCountsPhasesAsAsked) {
    const auto batch = BatchWithPhases();
    EXPECT_EQ(batch->GetNumObs(nullptr, false), 6);  // Hold is excluded
    EXPECT_EQ(batch->GetNumObs(nullptr, true), 9);
    EXPECT_EQ(batch->GetNumObs("Heat", false), 6);  // both runs of Heat
    EXPECT_EQ(batch->GetNumObs("Hold", false), 3);  // by name, included or not
    EXPECT_EQ(batch->GetNumObs("heat", true), 0);   // names are case-sensitive
    batch->SetClassVectorPtr(nullptr);
    EXPECT_EQ(batch->GetNumObs("Heat", false), 9);  // without phases: the batch's own number
}

TEST(BatchRecords, ConditionValuesChangeOnlyInsideTheirRange) {
    BatchInfo batch("B");
    NCDataVector<float> values(3, kMissingValue);
    batch.SetBatchConditionValues(&values);
    batch.SetBatchConditionValue(0, 1.0f);
    batch.SetBatchConditionValue(4, 1.0f);
    batch.SetBatchConditionValue(-1, 1.0f);
    EXPECT_EQ(batch.GetBatchConditionValues(), values);
    batch.SetBatchConditionValue(3, 2.5f);
    EXPECT_EQ(batch.GetBatchConditionValues()(3), 2.5f);
    batch.SetBatchConditionValues(nullptr);
    EXPECT_EQ(batch.GetBatchConditionValues().size(), 0);
}

TEST(BatchRecords, LookupsCompareNamesExactlyExceptFindPhaseIndex) {
    BatchInfoVector batches;
    batches.push_back(boost::make_shared<BatchInfo>("B1"));
    batches.push_back(boost::make_shared<BatchInfo>("b1"));
    EXPECT_EQ(BatchUtilities::FindBatch(&batches, "b1"), batches[1]);
    EXPECT_FALSE(BatchUtilities::FindBatch(&batches, "B2"));
    EXPECT_FALSE(BatchUtilities::FindBatch(static_cast<BatchInfoVector*>(nullptr), "B1"));
    const BatchInfoVector& constBatches = batches;
    EXPECT_EQ(BatchUtilities::FindBatch(&constBatches, "B1"), constBatches[0]);
    EXPECT_EQ(batches.GetBatchNames().Size(), 2);
    EXPECT_STREQ(batches.GetBatchNames()[2], "b1");

    ClassInfoVector phases;
    phases.push_back(Phase("Heat", 1));
    phases.push_back(Phase("Cool", 1));
    phases[1]->SetPhaseName("Cooling");  // original name stays "Cool"
    EXPECT_EQ(BatchUtilities::FindPhase(&phases, "Cooling", false), phases[1]);
    EXPECT_FALSE(BatchUtilities::FindPhase(&phases, "Cooling", true));
    EXPECT_EQ(BatchUtilities::FindPhase(&phases, "Cool", true), phases[1]);
    EXPECT_FALSE(BatchUtilities::FindPhase(&phases, "HEAT", false));
    EXPECT_EQ(BatchUtilities::FindPhaseIndex(&phases, "HEAT", false), 0);
    EXPECT_EQ(BatchUtilities::FindPhaseIndex(&phases, "cool", true), 1);
    EXPECT_EQ(BatchUtilities::FindPhaseIndex(&phases, "cool", false), -1);
    EXPECT_EQ(BatchUtilities::FindPhaseIndex(nullptr, "Heat", false), -1);
}

}  // namespace
