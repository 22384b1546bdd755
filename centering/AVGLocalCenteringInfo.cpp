#include "centering/AVGLocalCenteringInfo.h"

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"

namespace {
enum SubStream : int { kAverages = 0, kHasPhases = 1, kSubStreamCount = 2 };

// "LCI" version 2; only version 2 is read, checked before anything changes.
const Section& StreamSection() {
    static const Section section("LCI", 2, kSubStreamCount, SectionRules().VersionBeforeBases());
    return section;
}
}  // namespace

const ZStreamableData& AVGLocalCenteringInfo::StreamData() { return StreamSection().Data(); }

bool AVGLocalCenteringInfo::KeyLess::operator()(const Key& a, const Key& b) const {
    if (const int phase = CompareNoCase(a.first, b.first); phase != 0) return phase < 0;
    return a.second < b.second;
}

AVGLocalCenteringInfo::AVGLocalCenteringInfo(bool hasPhases) : mHasPhases(hasPhases) {}

AVGLocalCenteringInfo::~AVGLocalCenteringInfo() = default;

void AVGLocalCenteringInfo::AddData(const char* phase, unsigned long varID, float centre) {
    mAverages[Key(phase, varID)] = centre;
}

float AVGLocalCenteringInfo::GetData(const char* phase, unsigned long varID) const {
    const auto found = mAverages.find(Key(mHasPhases ? phase : "", varID));
    return found == mAverages.end() ? nc::kMissingValue : found->second;
}

bool AVGLocalCenteringInfo::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; },
        [&](SectionOutput& out) {
            out.Write(kAverages, mAverages);
            out.Write(kHasPhases, mHasPhases);
        });
}

bool AVGLocalCenteringInfo::ZStreamableStartRead(std::istream& is) {
    const auto emptied = [&] {
        mAverages.clear();
        return true;
    };
    return StreamSection().Read(is, mSection, emptied, [&](SectionInput& in) {
        in.Required(kAverages, mAverages);
        in.Optional(kHasPhases, mHasPhases, true);
    });
}
