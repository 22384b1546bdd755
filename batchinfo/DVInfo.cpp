#include "batchinfo/DVInfo.h"

#include "interfaces/streams/Section.h"

namespace {
// The number that every writer puts between the first number and the flag byte.
constexpr int kWrittenConstant = 1;

// "DVINFO" version 1, no directory; only version 1 is read.
const Section& StreamSection() {
    static const Section section("DVINFO", 1, 0);
    return section;
}
}  // namespace

const ZStreamableData& DVInfo::StreamData() { return StreamSection().Data(); }

bool DVInfo::operator==(const DVInfo& other) const {
    return mText == other.mText && mFirstNumber == other.mFirstNumber && mFlagByte == other.mFlagByte &&
           mSecondNumber == other.mSecondNumber && mThirdNumber == other.mThirdNumber;
}

bool DVInfo::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().WritePlain(
        os, mSection, [] { return true; },
        [&](std::ostream& out) {
            return WriteFields(out, mText, mFirstNumber, kWrittenConstant, mFlagByte, mSecondNumber, mThirdNumber);
        });
}

bool DVInfo::ZStreamableStartRead(std::istream& is) {
    return StreamSection().ReadPlain(
        is, mSection, [] { return true; },
        [&](std::istream& in) {
            int skipped = 0;
            return ReadFromStream(mText, in, false) && ReadFromStream(mFirstNumber, in, false) &&
                   ReadFromStream(skipped, in, false) && ReadFromStream(mFlagByte, in, false) &&
                   ReadFromStream(mSecondNumber, in, false) && ReadFromStream(mThirdNumber, in, false);
        });
}
