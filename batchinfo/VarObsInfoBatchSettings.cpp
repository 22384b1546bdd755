// The VarObsInfo members that name a record's batch and phase through the batch import settings.
// They are defined here, in the settings' layer, so that varobs/ needs only a forward declaration
// of the settings.

#include "batchinfo/BatchImportSettings.h"
#include "varobs/VarObsInfo.h"

CString VarObsInfo::GetBatchName(const BatchImportSettings& settings) const {
    return CString(GetUserID(settings.GetBatchID()));
}

CString VarObsInfo::GetPhaseName(const BatchImportSettings& settings) const {
    return CString(GetUserID(settings.GetPhaseID()));
}
