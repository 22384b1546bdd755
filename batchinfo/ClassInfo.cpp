#include "batchinfo/ClassInfo.h"

#include "interfaces/constants/NCConstants.h"

ClassInfo::ClassInfo(const char* name)
    : mOriginalName(name), mPhaseName(name), mYVariableID(kNoUniqueID) {}

ClassInfo::ClassInfo(const ClassInfo& other)
    : ZStreamBase(other),
      mOriginalName(other.mOriginalName),
      mPhaseName(other.mPhaseName),
      mYVariableID(other.mYVariableID),
      mNumObs(other.mNumObs),
      mAverageLength(other.mAverageLength),
      mIncluded(other.mIncluded),
      mExcluded(other.mExcluded),
      mPhaseStatus(other.mPhaseStatus) {}

ClassInfo& ClassInfo::operator=(const ClassInfo& other) {
    if (this == &other) return *this;
    mOriginalName = other.mOriginalName;
    mPhaseName = other.mPhaseName;
    mYVariableID = other.mYVariableID;
    mNumObs = other.mNumObs;
    mAverageLength = other.mAverageLength;
    mIncluded = other.mIncluded;
    mExcluded = other.mExcluded;
    mPhaseStatus = other.mPhaseStatus;
    return *this;
}

ClassInfo::~ClassInfo() = default;

bool ClassInfo::IsIncluded(unsigned long varID) const { return mExcluded.Find(varID) < 1; }

void ClassInfo::SetIncluded(unsigned long varID, bool include) {
    if (!include) {
        if (mExcluded.Find(varID) < 1) mExcluded.push_back(varID);
        return;
    }
    // Every occurrence goes, so that a list read from an older stream cannot keep it excluded.
    for (int at = mExcluded.Find(varID); at >= 1; at = mExcluded.Find(varID)) mExcluded.RemoveValues(at, 1);
}

bool ClassInfo::operator==(const ClassInfo& other) const {
    return mOriginalName == other.mOriginalName && mPhaseName == other.mPhaseName &&
           mYVariableID == other.mYVariableID && mNumObs == other.mNumObs &&
           mAverageLength == other.mAverageLength && mIncluded == other.mIncluded &&
           mExcluded == other.mExcluded;
}

boost::shared_ptr<ClassInfo> ClassInfo::Clone() const {
    return boost::shared_ptr<ClassInfo>(new ClassInfo(*this));
}
