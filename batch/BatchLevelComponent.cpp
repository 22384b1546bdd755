#include "batch/BatchLevelComponent.h"

#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/streamhelpers.h"

namespace {
constexpr const char* kTag = "BLC";
constexpr int kCurrentVersion = 1;

enum SubStream : int { kType = 0, kSummaryTypes = 1, kIndex = 2, kSubStreamCount = 3 };
}  // namespace

BatchLevelComponent::BatchLevelComponent() : mVersion(kCurrentVersion), mTag(kTag) {}

BatchLevelComponent::BatchLevelComponent(EType type, int n) : mVersion(kCurrentVersion), mTag(kTag), mType(type) {
    if (type == eSummary)
        mSummaryTypes = n;
    else
        mIndex = n;
}

BatchLevelComponent::BatchLevelComponent(EType type, int summaryTypes, int index)
    : mVersion(kCurrentVersion), mTag(kTag), mType(type), mIndex(index), mSummaryTypes(summaryTypes) {}

bool BatchLevelComponent::operator==(const BatchLevelComponent& other) const {
    return mType == other.mType && mIndex == other.mIndex && mSummaryTypes == other.mSummaryTypes;
}

const char* BatchLevelComponent::GetTag() { return kTag; }

int BatchLevelComponent::GetCurrentVersion() { return kCurrentVersion; }

bool BatchLevelComponent::WriteObject(std::ostream& os) const {
    if (!ZStreamLight::WriteMagicStringAndVersionNumber(os, kCurrentVersion, mTag)) return false;
    OutputStreamDirectory directory(os, kSubStreamCount);
    WriteToStream(static_cast<short>(mType), directory.GetOutput(kType));
    WriteToStream(mSummaryTypes, directory.GetOutput(kSummaryTypes));
    WriteToStream(mIndex, directory.GetOutput(kIndex));
    directory.Close();
    return os.good();
}

bool BatchLevelComponent::ReadObject(std::istream& is) {
    int version = 0;
    if (!ZStreamLight::CheckMagicStringAndVersionNumber(is, version, mTag)) return false;
    mVersion = version;
    if (version != kCurrentVersion) return false;
    InputStreamDirectory directory(is);
    short type = 0;
    if (ReadFromStreamDir(type, directory, kType, false)) mType = static_cast<EType>(type);
    ReadFromStreamDir(mSummaryTypes, directory, kSummaryTypes, false);
    ReadFromStreamDir(mIndex, directory, kIndex, false);
    directory.Close();
    return !is.fail();
}
