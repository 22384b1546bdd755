#include "dataset/NCDataContainerBase.h"

#include "batchinfo/BatchInfoVector.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/utility/CString.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"

NCDataContainerBase::NCDataContainerBase(boost::shared_ptr<NCProjectBase> project) : mProject(project) {}

NCDataContainerBase::~NCDataContainerBase() = default;

boost::shared_ptr<NCProjectBase> NCDataContainerBase::GetProject() { return mProject.lock(); }

boost::shared_ptr<NCProjectBase const> NCDataContainerBase::GetProject() const { return mProject.lock(); }

int NCDataContainerBase::SizeObservations() const { return static_cast<int>(GetObsIDs().size()); }

int NCDataContainerBase::SizeVariables() const { return static_cast<int>(GetVarIDs().size()); }

unsigned long NCDataContainerBase::GetObsID(int obs) const { return GetObsIDs()[obs]; }

unsigned long NCDataContainerBase::GetVarID(int var) const { return GetVarIDs()[var]; }

const ObservationInfo* NCDataContainerBase::GetObservationInfo(int obs) const {
    const auto project = GetProject();
    if (!project) return nullptr;
    return project->GetObservations()[GetObsID(obs)];
}

const VariableInfo* NCDataContainerBase::GetVariableInfo(int var) const {
    const auto project = GetProject();
    if (!project) return nullptr;
    return project->GetVariables()[GetVarID(var)];
}

NCStringVector NCDataContainerBase::GetBatchNames() const {
    if ((GetDataType() & nc::DataType::kObservationLevelBatch) == 0) return NCStringVector();
    const auto batches = GetBatchInfoVector();
    if (!batches) return NCStringVector();
    return batches->GetBatchNames();
}

const char* NCDataContainerBase::UsedIDText(const VarObsInfo& record, const std::vector<int>& usedAliases, int alias) {
    if (alias < 1 || alias > static_cast<int>(usedAliases.size())) return "";
    // GetUserID gives "" for a column the record lacks.
    return record.GetUserID(usedAliases[static_cast<std::size_t>(alias - 1)]);
}

void NCDataContainerBase::ThrowMissingObservation(const char* name) {
    CString message;
    message.Format("An observation ID in the dataset %s could not be found.", name);
    throw NCError(message.GetString(), NCError::Critical);
}
