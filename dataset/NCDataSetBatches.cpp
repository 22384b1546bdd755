// The batch and phase lists of a dataset: deriving the batch list from the observations, keeping
// what the user set on it across rebuilds, and reaching the stored list of a dataset that is not
// loaded.

#include <memory>
#include <unordered_set>

#include <boost/make_shared.hpp>

#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/BatchLookups.h"
#include "batchinfo/BatchQueries.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "batchinfo/RUSPData.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "dataset/ProjectStorage.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/constants/StreamNameKinds.h"
#include "interfaces/streams/ZStreamBase.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"

namespace {

using Positions = NCIntegralVector<int, -99>;

// Every data type bit that marks a dataset with batches.
constexpr int kAnyBatchKind = nc::DataType::kObservationLevelBatch | nc::DataType::kOtherBatchKinds;

// A phase for the rebuilt list: name and size from the rows, and from the phase of that name in
// the old list (when there is one) its original name, its Y variable and its excluded variables,
// as far as those variables are still columns of the dataset.
boost::shared_ptr<ClassInfo> RebuiltPhase(const CString& name, int numObs, const ClassInfoVector* oldPhases,
                                          const std::unordered_set<unsigned long>& columns) {
    auto phase = boost::make_shared<ClassInfo>(name);
    phase->SetNumObs(numObs);
    const auto old = BatchUtilities::FindPhase(oldPhases, name, false);
    if (!old) return phase;
    phase->SetOriginalName(old->GetOriginalName());
    if (columns.count(old->GetYVariableID())) phase->SetYVariableID(old->GetYVariableID());
    for (const unsigned long var : old->GetExcludedVariablesVector())
        if (columns.count(var)) phase->SetIncluded(var, false);
    return phase;
}

}  // namespace

boost::shared_ptr<BatchInfoVector const> NCDataSet::GetBatchInfoVector() const {
    if (mBatchesDirty || (!mBatches && (mDataType & kAnyBatchKind) != 0)) {
        // A dataset only exists as a non-const object made by Create; deriving the list is a
        // cache fill that callers of this const query rely on.
        const_cast<NCDataSet*>(this)->UpdateBatchInfoVec();
    }
    return mBatches;
}

boost::shared_ptr<ClassInfoVector const> NCDataSet::GetPhaseInfoVector() const { return mPhases; }

void NCDataSet::UpdateBatchInfoVec() {
    const auto project = GetProject();
    if (!project) return;
    const NCObservations& observations = project->GetObservations();

    if (!mBatches) {
        if ((mDataType & kAnyBatchKind) == 0) return;
        mBatches.reset(BatchUtilities::CreateBatchInfoVector(&observations, &mObsIDs));
        return;
    }

    // The batch lengths follow from the beginnings (as GetBatchLength derives them), which saves
    // searching the rows twice.
    const std::unique_ptr<Positions> beginnings(BatchUtilities::GetBatchBeginnings(&observations, &mObsIDs));
    std::unique_ptr<Positions> phaseBeginnings;
    if (observations.HasPhases() && (mDataType & nc::DataType::kOtherBatchKinds) == 0)
        phaseBeginnings.reset(BatchUtilities::GetPhaseBeginnings(&observations, &mObsIDs));

    auto rebuilt = std::make_unique<BatchInfoVector>();
    rebuilt->SetBCVariableIDs(mBatches->GetBCVariableIDs());
    const NCDataVector<float> defaultConditions(mBatches->GetBCVariableIDs().size(), nc::kMissingValue);
    const std::unordered_set<unsigned long> columns(mVarIDs.begin(), mVarIDs.end());
    const int batchColumn = observations.GetBatchID(mUsedObsAliases);
    const int phaseColumn = observations.GetPhaseID(mUsedObsAliases);
    const int numObs = SizeObservations();

    const int batchCount = beginnings ? beginnings->size() : 0;
    int phaseIndex = 1;  // walks the phase beginnings alongside the batches
    for (int k = 1; k <= batchCount; ++k) {
        const int first = (*beginnings)[k];
        const int next = k < batchCount ? (*beginnings)[k + 1] : numObs + 1;
        auto batch = boost::make_shared<BatchInfo>(GetObservationID(first, batchColumn));
        batch->SetNumObs(next - first);
        const auto old = BatchUtilities::FindBatch(mBatches.get(), batch->GetBatchName());
        if (old) {
            batch->SetBatchConditionValues(&old->GetBatchConditionValues());
            batch->SetIncluded(old->IsIncluded());
        } else {
            batch->SetBatchConditionValues(&defaultConditions);
        }

        if (phaseBeginnings) {
            const ClassInfoVector* oldPhases = old ? old->GetClassVector() : nullptr;
            auto phases = std::make_unique<ClassInfoVector>();
            while (phaseIndex <= phaseBeginnings->size() && (*phaseBeginnings)[phaseIndex] < first) ++phaseIndex;
            for (; phaseIndex <= phaseBeginnings->size() && (*phaseBeginnings)[phaseIndex] < next; ++phaseIndex) {
                const int phaseFirst = (*phaseBeginnings)[phaseIndex];
                const int phaseEnd =
                    phaseIndex < phaseBeginnings->size() ? (*phaseBeginnings)[phaseIndex + 1] : numObs + 1;
                phases->push_back(RebuiltPhase(CString(GetObservationID(phaseFirst, phaseColumn)),
                                               phaseEnd - phaseFirst, oldPhases, columns));
            }
            batch->SetClassVectorPtr(std::move(phases));
        }
        rebuilt->push_back(batch);
    }
    SetBatchInfoVector(rebuilt.get());
}

void NCDataSet::SetBatchInfoVector(const BatchInfoVector* list) {
    mBatchesDirty = false;
    if (!list) {
        mDataType &= ~nc::DataType::kObservationLevelBatch;
        mBatches.reset();
    } else {
        if ((mDataType & nc::DataType::kOtherBatchKinds) == 0) mDataType |= nc::DataType::kObservationLevelBatch;
        if (!mBatches) mBatches = boost::make_shared<BatchInfoVector>();
        if (mBatches.get() != list) *mBatches = *list;
        if (const auto project = GetProject()) {
            const BatchImportSettings settings(project->GetBatchImportSettings(1));
            project->SetBatchImportSettings(settings);
        }
    }
    MarkDirty();
}

void NCDataSet::SetPhaseInfoVector(const ClassInfoVector* list) {
    // The copy is taken before the old list goes, so a list may be set from itself.
    boost::shared_ptr<ClassInfoVector> copy;
    if (list) copy = boost::make_shared<ClassInfoVector>(*list);
    mPhases = copy;
    MarkDirty();
}

boost::shared_ptr<BatchInfoVector> NCDataSet::GetMutableBatchInfoVector(NCProjectBase& project, int datasetID) {
    if (const boost::shared_ptr<NCDataSet> dataset = project.GetDataset(datasetID)) return dataset->mBatches;

    const std::string name = project.GetStreamName(nc::StreamNameKind::kStoredBatchLists, 0);
    const std::unique_ptr<std::istream> is(project.GetStorage().OpenInputStream(name.c_str()));
    if (!is) return boost::shared_ptr<BatchInfoVector>();
    int version = 0;
    if (!ZStreamLight::CheckMagicStringAndVersionNumber(*is, version, RUSPData::GetTag()) ||
        version != RUSPData::GetCurrentVersion())
        return boost::shared_ptr<BatchInfoVector>();
    RUSPData record(project);
    if (!record.ReLoad(*is)) return boost::shared_ptr<BatchInfoVector>();
    return record.GetBatchInfoVector(datasetID);
}

NCIntegralVector<int, -99>* NCDataSet::GetXVariables(const char* phaseName) const {
    const auto project = GetProject();
    return BatchUtilities::GetBlockVariables(project ? &project->GetVariables() : nullptr, &mVarIDs, mPhases.get(),
                                             false, phaseName);
}

NCIntegralVector<int, -99>* NCDataSet::GetYVariables(const char* phaseName) const {
    const auto project = GetProject();
    return BatchUtilities::GetBlockVariables(project ? &project->GetVariables() : nullptr, &mVarIDs, mPhases.get(),
                                             true, phaseName);
}
