#include "batchinfo/BatchInfo.h"

#include <cstring>
#include <utility>

#include "interfaces/streams/Section.h"

namespace {
constexpr const char* kGeneratedTimeVariableName = "$Time";

enum SubStream : int {
    kName = 0,
    kNumObs = 1,
    kIncluded = 2,
    kPhases = 3,
    kConditionValues = 4,
    kQualitativeValues = 5,
    kSubStreamCount = 7  // sub-stream 6 stays empty
};

// "DBINFO" version 2; only version 2 is read.
const Section& StreamSection() {
    static const Section section("DBINFO", 2, kSubStreamCount);
    return section;
}
}  // namespace

const ZStreamableData& BatchInfo::StreamData() { return StreamSection().Data(); }

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
        const bool counts =
            phaseName ? std::strcmp(phase->GetPhaseName(), phaseName) == 0 : includeExcluded || phase->IsIncluded();
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
    if (mName != other.mName || mNumObs != other.mNumObs || mConditionValues != other.mConditionValues ||
        mIncluded != other.mIncluded)
        return false;
    if (!mPhases || !other.mPhases) return !mPhases && !other.mPhases;
    return *mPhases == *other.mPhases;
}

boost::shared_ptr<BatchInfo> BatchInfo::Clone() const { return boost::shared_ptr<BatchInfo>(new BatchInfo(*this)); }

const char* BatchInfo::GetGeneratedTimeVariableName() { return kGeneratedTimeVariableName; }

bool BatchInfo::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; },
        [&](SectionOutput& out) {
            out.Write(kName, mName);
            out.Write(kNumObs, mNumObs);
            out.Write(kIncluded, mIncluded);
            if (mPhases) out.Write(kPhases, *mPhases);
            out.Write(kConditionValues, mConditionValues);
            out.Write(kQualitativeValues, mQualitativeValues);
        });
}

bool BatchInfo::ZStreamableStartRead(std::istream& is) {
    const auto defaults = [&] {
        mConditionValues = NCDataVector<float>();
        return true;
    };
    return StreamSection().Read(is, mSection, defaults, [&](SectionInput& in) {
        in.Required(kName, mName);
        in.Required(kNumObs, mNumObs);
        in.Required(kIncluded, mIncluded);
        mPhases.reset();
        if (in.FindStream(kPhases)) {
            auto phases = std::make_unique<ClassInfoVector>();
            in.Required(kPhases, *phases);
            mPhases = std::move(phases);
        }
        in.Required(kConditionValues, mConditionValues);
        in.Optional(kQualitativeValues, mQualitativeValues, NCStringVector());
    });
}
