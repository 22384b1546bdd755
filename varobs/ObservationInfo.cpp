#include "varobs/ObservationInfo.h"

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZoStreamError.h"
#include "interfaces/streams/streamhelpers.h"

using nc::kNoUniqueID;

namespace {
constexpr int kCurrentVersion = 1;
constexpr int kSubStreams = 2;
}  // namespace

const ZStreamableData& ObservationInfo::StreamData() {
    static const ZStreamableData data(kCurrentVersion, "OI");
    return data;
}

ObservationInfo::ObservationInfo() : mBatch(kNoUniqueID) {}

ObservationInfo::ObservationInfo(const CString& id, unsigned long uniqueID)
    : VarObsInfo(id, uniqueID), mBatch(kNoUniqueID) {}

ObservationInfo::ObservationInfo(const std::vector<CString>& ids, unsigned long uniqueID)
    : VarObsInfo(ids, uniqueID), mBatch(kNoUniqueID) {}

ObservationInfo::ObservationInfo(const ObservationInfo& other) = default;

ObservationInfo& ObservationInfo::operator=(const ObservationInfo& other) = default;

ObservationInfo::~ObservationInfo() = default;

ObservationInfo* ObservationInfo::Clone() const { return new ObservationInfo(*this); }

bool ObservationInfo::ZStreamableStartWrite(std::ostream& os) {
    if (mSectionDone) return true;
    mSectionDone = true;
    if (!StreamData().Write(os) || !VarObsInfo::ZStreamableStartWrite(os)) return false;
    OutputStreamDirectory directory(os, kSubStreams);
    WriteToStream(mDefaultClass, directory.GetOutput(0));
    WriteToStream(mBatch, directory.GetOutput(1));
    directory.Close();
    return os.good();
}

bool ObservationInfo::ZStreamableStartRead(std::istream& is) {
    if (mSectionDone) return true;
    mSectionDone = true;
    int version = 0;
    const auto presence = StreamData().CheckOrPutBack(is, &version);
    if (presence == ZStreamableData::Presence::Unreadable) return false;
    if (presence == ZStreamableData::Presence::Absent) {
        // Written before observations had a section of their own: only "VOI" is there.
        mDefaultClass = 0;
        mBatch = kNoUniqueID;
        return VarObsInfo::ZStreamableStartRead(is);
    }
    if (static_cast<unsigned>(version) > static_cast<unsigned>(kCurrentVersion)) return false;
    if (!VarObsInfo::ZStreamableStartRead(is)) return false;

    try {
        InputStreamDirectory directory(is);
        ReadFromStreamDir(mDefaultClass, directory, 0, true);
        ReadFromStreamDir(mBatch, directory, 1, true);
        directory.Close();
    } catch (const ZoStreamError&) {
        return false;
    }
    return is.good();
}

void ObservationInfo::ZStreamableReset() {
    mSectionDone = false;
    VarObsInfo::ZStreamableReset();
}
