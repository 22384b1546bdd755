#include "batchinfo/BatchImportSettings.h"

BatchImportSettings::BatchImportSettings(const BatchImportSettings& other)
    : ZStreamBase(other),
      mBatchID(other.mBatchID),
      mPhaseID(other.mPhaseID),
      mBatchIDImportColumn(other.mBatchIDImportColumn),
      mPhaseIDImportColumn(other.mPhaseIDImportColumn),
      mSmoothed(other.mSmoothed),
      mColumnConcatenations(other.mColumnConcatenations),
      mHasBeenDownSized(other.mHasBeenDownSized),
      mDownSizeHeader(other.mDownSizeHeader),
      mDownSizeInterval(other.mDownSizeInterval),
      mProjectType(other.mProjectType),
      mBLPhaseNames(other.mBLPhaseNames)
{
}

BatchImportSettings& BatchImportSettings::operator=(const BatchImportSettings& other)
{
    if (this == &other) return *this;
    mBatchID = other.mBatchID;
    mPhaseID = other.mPhaseID;
    mBatchIDImportColumn = other.mBatchIDImportColumn;
    mPhaseIDImportColumn = other.mPhaseIDImportColumn;
    mSmoothed = other.mSmoothed;
    mColumnConcatenations = other.mColumnConcatenations;
    mHasBeenDownSized = other.mHasBeenDownSized;
    mDownSizeHeader = other.mDownSizeHeader;
    mDownSizeInterval = other.mDownSizeInterval;
    mProjectType = other.mProjectType;
    mBLPhaseNames = other.mBLPhaseNames;
    return *this;
}

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
