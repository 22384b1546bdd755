// RUSPData::Add needs the dataset and is defined with it (dataset/RUSPDataAdd.cpp).

#include "batchinfo/RUSPData.h"

#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/streamhelpers.h"

namespace {
constexpr const char* kTag = "RUSPDATA";
constexpr int kCurrentVersion = 1;

enum SubStream : int { kBatchLists = 0, kObsIDs = 1, kSubStreamCount = 2 };
}  // namespace

RUSPData::RUSPData(NCProjectBase& project) : mVersion(kCurrentVersion), mTag(kTag), mProject(project) {}

RUSPData::~RUSPData() = default;

void RUSPData::Set(int datasetNumber, const boost::shared_ptr<BatchInfoVector>& batches,
                   const NCIntegralVector<unsigned long, 0>& obsIDs) {
    if (batches)
        mBatchLists[datasetNumber] = batches;
    else
        mBatchLists.erase(datasetNumber);
    mObsIDs[datasetNumber] = obsIDs;
}

boost::shared_ptr<BatchInfoVector> RUSPData::GetBatchInfoVector(int number) const {
    const auto found = mBatchLists.find(number);
    return found == mBatchLists.end() ? boost::shared_ptr<BatchInfoVector>() : found->second;
}

const char* RUSPData::GetTag() { return kTag; }

int RUSPData::GetCurrentVersion() { return kCurrentVersion; }

bool RUSPData::WriteObject(std::ostream& os) const {
    if (!ZStreamLight::WriteMagicStringAndVersionNumber(os, kCurrentVersion, mTag)) return false;
    UnLoad(os);
    return os.good();
}

bool RUSPData::ReadObject(std::istream& is) {
    int version = 0;
    if (!ZStreamLight::CheckMagicStringAndVersionNumber(is, version, mTag)) return false;
    mVersion = version;
    return ReLoad(is) && !is.fail();
}

void RUSPData::UnLoad(std::ostream& os) const {
    OutputStreamDirectory directory(os, kSubStreamCount);
    WriteToStream(mBatchLists, directory.GetOutput(kBatchLists));
    WriteToStream(mObsIDs, directory.GetOutput(kObsIDs));
    directory.Close();
}

bool RUSPData::ReLoad(std::istream& is) {
    if (mVersion != kCurrentVersion) return false;
    {
        InputStreamDirectory directory(is);
        if (!ReadFromStreamDir(mBatchLists, directory, kBatchLists, false)) mBatchLists.clear();
        if (!ReadFromStreamDir(mObsIDs, directory, kObsIDs, false)) mObsIDs.clear();
        directory.Close();
    }
    for (const auto& entry : mBatchLists)
        if (entry.second) entry.second->UpdateBCIDsVectorFormat(mProject, nullptr);
    return true;
}
