#include "batchinfo/BatchImportSettings.h"

void BatchImportSettings::Reset(bool keepProjectType)
{
    mBatchID = -1;
    mPhaseID = -1;
    mBatchIDImportColumn = -1;
    mPhaseIDImportColumn = -1;
    mBLPhaseNames = NCStringVector();
    if (!keepProjectType) {
        mProjectType = eProjectTypeDefault;
        mColumnConcatenations.clear();
    }
    mSmoothed.clear();
    mHasBeenDownSized = false;
    mDownSizeHeader = 1;
    mDownSizeInterval = 1;
}
