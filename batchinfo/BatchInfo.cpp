#include "batchinfo/BatchInfo.h"

#include <cstring>
#include <utility>

namespace {
constexpr const char* kGeneratedTimeVariableName = "$Time";
}  // namespace

BatchInfo::BatchInfo(const char* name) : mName(name) {}

BatchInfo::BatchInfo(const BatchInfo& other)
    : ZStreamBase(other),
      mName(other.mName),
      mPhases(other.mPhases ? std::make_unique<ClassInfoVector>(*other.mPhases) : nullptr),
      mNumObs(other.mNumObs),
      mConditionValues(other.mConditionValues),
      mQualitativeValues(other.mQualitativeValues),
      mIncluded(other.mIncluded) {}

BatchInfo& BatchInfo::operator=(const BatchInfo& other) {
    if (this == &other) return *this;
    BatchInfo copy(other);
    mName = std::move(copy.mName);
    mPhases = std::move(copy.mPhases);
    mNumObs = copy.mNumObs;
    mConditionValues = std::move(copy.mConditionValues);
    mQualitativeValues = std::move(copy.mQualitativeValues);
    mIncluded = copy.mIncluded;
    return *this;
}

BatchInfo::~BatchInfo() = default;

int BatchInfo::GetNumObs(const char* phaseName, bool includeExcluded) const {
    if (!mPhases) return mNumObs;
    int sum = 0;
    for (const auto& phase : *mPhases) {
        if (!phase) continue;
        const bool counts = phaseName ? std::strcmp(phase->GetPhaseName(), phaseName) == 0
                                      : includeExcluded || phase->IsIncluded();
        if (counts) sum += phase->GetNumObs();
    }
    return sum;
}

void BatchInfo::SetClassVectorPtr(ClassInfoVector* phases) {
    if (phases == mPhases.get()) return;
    mPhases.reset(phases);
}

void BatchInfo::SetClassVectorPtr(std::unique_ptr<ClassInfoVector> phases) {
    if (phases.get() == mPhases.get()) {
        (void)phases.release();  // already ours
        return;
    }
    mPhases = std::move(phases);
}

void BatchInfo::SetBatchConditionValues(const NCDataVector<float>* values) {
    mConditionValues = values ? *values : NCDataVector<float>();
}

void BatchInfo::SetBatchConditionValue(int i, float value) {
    if (i < 1 || i > mConditionValues.size()) return;
    mConditionValues(i, value);
}

bool BatchInfo::operator==(const BatchInfo& other) const {
    if (mName != other.mName || mNumObs != other.mNumObs ||
        mConditionValues != other.mConditionValues || mIncluded != other.mIncluded)
        return false;
    if (!mPhases || !other.mPhases) return !mPhases && !other.mPhases;
    return *mPhases == *other.mPhases;
}

boost::shared_ptr<BatchInfo> BatchInfo::Clone() const {
    return boost::shared_ptr<BatchInfo>(new BatchInfo(*this));
}

const char* BatchInfo::GetGeneratedTimeVariableName() { return kGeneratedTimeVariableName; }
