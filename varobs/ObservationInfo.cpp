#include "varobs/ObservationInfo.h"

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"

using nc::kNoUniqueID;

namespace {
// "OI" version 1, two sub-streams. Versions 0 and 1 are read; the version is checked before the
// "VOI" part. Streams written before observations had this section hold only "VOI".
const Section& StreamSection() {
    static const Section section("OI", 1, 2, SectionRules().AcceptsFrom(0).VersionBeforeBases());
    return section;
}
}  // namespace

const ZStreamableData& ObservationInfo::StreamData() { return StreamSection().Data(); }

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
    const auto bases = [&] { return VarObsInfo::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        out.Write(0, mDefaultClass);
        out.Write(1, mBatch);
    });
}

bool ObservationInfo::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] { return VarObsInfo::ZStreamableStartRead(is); };
    const auto olderStream = [&](bool basesRead) {
        mDefaultClass = 0;
        mBatch = kNoUniqueID;
        return basesRead;
    };
    return StreamSection().ReadOrBasesOnly(is, mSection, bases, olderStream, [&](SectionInput& in) {
        in.Required(0, mDefaultClass);
        in.Required(1, mBatch);
    });
}

void ObservationInfo::ZStreamableReset() {
    mSection.Reset();
    VarObsInfo::ZStreamableReset();
}
