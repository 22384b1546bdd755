#include "dataset/NCDataSet.h"

#include <memory>
#include <utility>

#include "centering/LocalCenteringData.h"
#include "dataset/NCProjectBase.h"
#include "dataset/ProjectStorage.h"
#include "dataset/TrimdVarStruct.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/StreamNameKinds.h"
#include "interfaces/notification/NCSignals.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"

using nc::kMissingValue;
using nc::kNoUniqueID;

NCDataSet::NCDataSet(boost::shared_ptr<NCProjectBase> project, int number)
    : NCDataContainer(std::move(project)), mNumber(number) {}

NCDataSet::~NCDataSet() = default;

boost::shared_ptr<NCDataSet> NCDataSet::Create(boost::shared_ptr<NCProjectBase> project, int number) {
    return boost::shared_ptr<NCDataSet>(new NCDataSet(std::move(project), number));
}

boost::shared_ptr<NCDataSet> NCDataSet::Create(
    boost::shared_ptr<NCProjectBase> project, const char* name, int number, const NCDataMatrix<float>* data,
    const NCIntegralVector<unsigned long, 0>* obsIDs, const NCIntegralVector<unsigned long, 0>* varIDs,
    const std::vector<int>& usedObsAliases, const std::vector<int>& usedVarAliases, const char* importLog,
    const BatchInfoVector* batches, const ClassInfoVector* phases, bool temporary) {
    boost::shared_ptr<NCDataSet> dataset(new NCDataSet(std::move(project), number));
    if (obsIDs) dataset->mObsIDs = *obsIDs;
    if (varIDs) dataset->mVarIDs = *varIDs;
    if (data)
        dataset->mData = *data;
    else
        dataset->mData = NCDataMatrix<float>(dataset->SizeObservations(), dataset->SizeVariables(), kMissingValue);
    dataset->mUsedObsAliases = usedObsAliases;
    dataset->mUsedVarAliases = usedVarAliases;
    dataset->mName = CString(name);
    dataset->mImportLog = CString(importLog);
    dataset->mDirty = true;
    dataset->mTemporary = temporary;
    dataset->SetBatchInfoVector(batches);
    dataset->SetPhaseInfoVector(phases);
    return dataset;
}

const ObservationInfo* NCDataSet::GetObservationInfo(int obs) const {
    if (obs < 1 || obs > SizeObservations()) return nullptr;
    const auto project = GetProject();
    if (!project) return nullptr;
    return project->GetObservations()[mObsIDs[obs]];
}

const VariableInfo* NCDataSet::GetVariableInfo(int var) const {
    if (var < 1 || var > SizeVariables()) return nullptr;
    const auto project = GetProject();
    if (!project) return nullptr;
    return project->GetVariables()[mVarIDs[var]];
}

const char* NCDataSet::GetObservationID(int obs, int alias) const {
    if (obs < 1 || obs > SizeObservations()) return "";
    const auto project = GetProject();
    if (!project) return "";
    const ObservationInfo* record = project->GetObservations()[mObsIDs[obs]];
    if (!record) ThrowMissingObservation(mName);
    return UsedIDText(*record, mUsedObsAliases, alias);
}

const char* NCDataSet::GetVariableID(int var, int alias) const {
    const auto project = GetProject();
    if (!project) return nullptr;
    if (var < 1 || var > SizeVariables()) return "";
    const VariableInfo* record = project->GetVariables()[mVarIDs[var]];
    if (!record) return "";
    return UsedIDText(*record, mUsedVarAliases, alias);
}

std::string NCDataSet::GetStrValue(int obs, int var) const {
    if (obs < 1 || obs > SizeObservations()) return std::string();
    const VariableInfo* record = GetVariableInfo(var);
    if (!record) return std::string();
    return record->Decode(mData(obs, var));
}

void NCDataSet::Save() const {
    const auto project = boost::const_pointer_cast<NCProjectBase>(GetProject());
    if (!project) return;
    project->SaveDataset(shared_from_this());
}

void NCDataSet::SetName(const CString& name) {
    mName = name;
    MarkDirty();
}

void NCDataSet::SetImportLog(const char* log) {
    mImportLog = CString(log);
    MarkDirty();
}

void NCDataSet::SetSource(int type, unsigned long sourceID) {
    MarkDirty();
    if ((type & nc::DataType::kOtherBatchKinds) == 0) type |= mDataType & nc::DataType::kOtherBatchKinds;
    mDataType = type;
    mSourceID = mDataType == nc::DataType::kDefault ? kNoUniqueID : sourceID;
}

void NCDataSet::SetUsedAliases(const std::vector<int>& obs, const std::vector<int>& var) {
    if (obs != mUsedObsAliases || var != mUsedVarAliases) MarkDirty();
    mUsedObsAliases = obs;
    mUsedVarAliases = var;
}

void NCDataSet::clear() {
    mBatchesDirty = true;
    const auto project = GetProject();
    if (project) {
        MarkDirty();
        mBatchesDirty = true;
        const NCIntegralVector<unsigned long, 0> allVariables = mVarIDs;
        if (project->ConfirmDatasetChange(mNumber, &allVariables)) {
            mData.RemoveColumns(1, mData.GetNumColumns());
            mVarIDs.Clear();
            NCSignals::RaiseVarObsDeleted(*this);
        }
        MarkDirty();
        mBatchesDirty = true;
        if (project->ConfirmDatasetChange(mNumber, nullptr)) {
            mData.RemoveRows(1, mData.GetNumRows());
            mObsIDs.Clear();
            NCSignals::RaiseVarObsDeleted(*this);
        }
    }
    mValuesBeforeTrim.clear();
    mTrimmedVarIndex.clear();
    mTrimDescriptions.clear();
    MarkDirty();
    InvalidateSortCache();
    mTemporary = false;
}

NCIntegralVector<unsigned long, 0> NCDataSet::GetVariableIDs(const NCProjectBase& project, int number) {
    if (const boost::shared_ptr<NCDataSet> dataset = project.GetDataset(number)) return dataset->GetVarIDs();

    NCIntegralVector<unsigned long, 0> ids;
    const std::string name = project.GetStreamName(nc::StreamNameKind::kDatasetVariableIDs, number);
    const std::unique_ptr<std::istream> is(project.GetStorage().OpenInputStream(name.c_str()));
    if (!is) return ids;
    *is >> ids;
    if (is->fail()) ids.Clear();
    return ids;
}

NCDataMatrix<float> NCDataSet::DoGetData(bool centred, boost::shared_ptr<DefaultCenterValues const> defaults) const {
    // The copy shares the matrix's storage; it becomes a copy of its own only when a centre is
    // actually subtracted from it, so uncentred data and data without centres cost no copy.
    NCDataMatrix<float> data = mData;
    if (!centred) return data;
    const auto project = GetProject();
    if (!project) return data;
    const boost::shared_ptr<LocalCenteringData> centering = project->GetLocalCenteringData();
    if (!centering || centering->SizeVars() == 0) return data;
    centering->Subtract(data, mObsIDs, mVarIDs, *project, std::move(defaults));
    return data;
}
