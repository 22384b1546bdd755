// NCDataSet::Merge: the dataset takes in another one through a full compound dataset of the two,
// so it lives with the compound datasets and the dataset layer needs no include of them.

#include <string>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "centering/LocalCenteringInfo.h"
#include "compound/FullCompoundDataset.h"
#include "dataset/DatasetMergeInfo.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "dataset/TrimdVarStruct.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/notification/NCSignals.h"
#include "interfaces/utility/UserComm.h"

void NCDataSet::Merge(boost::shared_ptr<NCDataSet const> other) {
    if (!other) return;
    const auto hasTrimming = [](const NCDataSet& dataset) {
        return !dataset.mTrimmedVarIndex.empty() || !dataset.mValuesBeforeTrim.empty() ||
               !dataset.mTrimDescriptions.empty();
    };
    const bool trimmed = hasTrimming(*this) || hasTrimming(*other);
    if (trimmed &&
        UserComm::GetUserComm()->AskQuestionWithExplanation(
            "Do you which to continue?", "Dataset trimming cannot be undone after merging.", "Merge Datasets", 1) != 1)
        throw NCError("Merge of datasets aborted.");

    // Everything the merge takes comes from the compound first; only then does this dataset change.
    const boost::shared_ptr<NCProjectBase> project = GetProject();
    const FullCompoundDataset compound(project, std::vector<int>{mNumber, other->GetNumber()});
    NCIntegralVector<unsigned long, 0> obsIDs = compound.GetObsIDs();
    NCIntegralVector<unsigned long, 0> varIDs = compound.GetVarIDs();
    NCDataMatrix<float> data = compound.GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    std::vector<int> usedObsAliases = compound.GetUsedObsAliases();
    std::vector<int> usedVarAliases = compound.GetUsedVarAliases();
    const boost::shared_ptr<BatchInfoVector const> batches = compound.GetBatchInfoVector();
    const boost::shared_ptr<ClassInfoVector const> phases = compound.GetPhaseInfoVector();

    DatasetMergeInfo info;
    info.datasetNumber = mNumber;
    info.datasetName = mName.GetString();
    info.mergedDatasetName = other->GetName();
    info.project = project.get();

    mObsIDs = std::move(obsIDs);
    mVarIDs = std::move(varIDs);
    mData = std::move(data);
    mUsedObsAliases = std::move(usedObsAliases);
    mUsedVarAliases = std::move(usedVarAliases);
    SetBatchInfoVector(batches.get());
    SetPhaseInfoVector(phases.get());

    mValuesBeforeTrim.clear();
    mTrimmedVarIndex.clear();
    mTrimDescriptions.clear();
    mVarIDsSorted = false;
    mObsIDsSorted = false;
    mSortCacheValid = false;

    CString line;
    line.Format("\nThe dataset was merged with '%s'.\n", other->GetName());
    mImportLog += line;
    mImportLog += other->GetImportLog();

    MarkDirty();
    mLocalCentering.reset();
    Save();
    NCSignals::RaiseDatasetMerged(*this, info);
}
