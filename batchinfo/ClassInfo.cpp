#include "batchinfo/ClassInfo.h"

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"

using nc::kNoUniqueID;

namespace {
enum SubStream : int {
    kAverageLength = 1,
    kOriginalName,
    kPhaseName,
    kYVariableID,
    kNumObs,
    kIncluded,
    kExcluded,
    kSubStreamCount
};

// "DPINFO" version 4; sub-stream 0 stays empty. Only version 4 is read.
const Section& StreamSection() {
    static const Section section("DPINFO", 4, kSubStreamCount);
    return section;
}
}  // namespace

const ZStreamableData& ClassInfo::StreamData() { return StreamSection().Data(); }

ClassInfo::ClassInfo(const char* name) : mOriginalName(name), mPhaseName(name), mYVariableID(kNoUniqueID) {}

ClassInfo::~ClassInfo() = default;

bool ClassInfo::IsIncluded(unsigned long varID) const { return mExcluded.Find(varID) < 1; }

void ClassInfo::SetIncluded(unsigned long varID, bool include) {
    if (!include) {
        if (mExcluded.Find(varID) < 1) mExcluded.push_back(varID);
        return;
    }
    // Every occurrence goes, duplicates that a stream may hold included.
    for (int at = mExcluded.Find(varID); at >= 1; at = mExcluded.Find(varID)) mExcluded.RemoveValues(at, 1);
}

bool ClassInfo::operator==(const ClassInfo& other) const {
    return mOriginalName == other.mOriginalName && mPhaseName == other.mPhaseName &&
           mYVariableID == other.mYVariableID && mNumObs == other.mNumObs && mAverageLength == other.mAverageLength &&
           mIncluded == other.mIncluded && mExcluded == other.mExcluded;
}

boost::shared_ptr<ClassInfo> ClassInfo::Clone() const { return boost::shared_ptr<ClassInfo>(new ClassInfo(*this)); }

bool ClassInfo::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; },
        [&](SectionOutput& out) {
            out.Write(kAverageLength, mAverageLength);
            out.Write(kOriginalName, mOriginalName);
            out.Write(kPhaseName, mPhaseName);
            out.Write(kYVariableID, mYVariableID);
            out.Write(kNumObs, mNumObs);
            out.Write(kIncluded, mIncluded);
            out.Write(kExcluded, mExcluded);
        });
}

bool ClassInfo::ZStreamableStartRead(std::istream& is) {
    const auto defaults = [&] {
        mAverageLength = -1;
        return true;
    };
    return StreamSection().Read(is, mSection, defaults, [&](SectionInput& in) {
        in.Required(kAverageLength, mAverageLength);
        in.Required(kOriginalName, mOriginalName);
        in.Required(kPhaseName, mPhaseName);
        in.Required(kYVariableID, mYVariableID);
        in.Required(kNumObs, mNumObs);
        in.Required(kIncluded, mIncluded);
        in.Required(kExcluded, mExcluded);
    });
}
