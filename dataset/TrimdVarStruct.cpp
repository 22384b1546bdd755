#include "dataset/TrimdVarStruct.h"

#include <cmath>
#include <cstdint>

#include "interfaces/utility/BinaryIO.h"

namespace {

constexpr int kTrimValues = 0;

// "TVS" version 1; only version 1 is read.
const Section& StreamSection() {
    static const Section section("TVS", 1, 1);
    return section;
}

// The trim values as written: a count checked against the bytes left, then strictly ascending
// floats. A set written by this class never holds two equal values, a value out of order or NaN
// (which compares with nothing and would break the set's order), so a stream that does is damaged.
bool ReadAscending(std::set<float>& values, std::istream& is) {
    std::int32_t count = 0;
    if (!ReadFourBytes(&count, 1, is)) return false;
    if (count < 0 || !CanStillRead(is, static_cast<std::uint64_t>(count) * 4)) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    std::set<float> fresh;
    for (std::int32_t i = 0; i < count; ++i) {
        float value = 0;
        if (!ReadFourBytes(&value, 1, is)) return false;
        if (std::isnan(value) || (!fresh.empty() && !(*fresh.rbegin() < value))) {
            is.setstate(std::ios_base::failbit);
            return false;
        }
        fresh.insert(fresh.end(), value);
    }
    values.swap(fresh);
    return true;
}

}  // namespace

const ZStreamableData& TrimdVarStruct::StreamData() { return StreamSection().Data(); }

bool TrimdVarStruct::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [&] { return ZStreamBase::ZStreamableStartWrite(os); },
        [&](SectionOutput& out) { out.Write(kTrimValues, mTrimValues); });
}

bool TrimdVarStruct::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] {
        mTrimValues.clear();
        return ZStreamBase::ZStreamableStartRead(is);
    };
    // An absent sub-stream 0 fails the read like a short one.
    return StreamSection().Read(is, mSection, bases,
                                [&](SectionInput& in) { return ReadAscending(mTrimValues, in.Stream(kTrimValues)); });
}

void TrimdVarStruct::ZStreamableReset() {
    mSection.Reset();
    ZStreamBase::ZStreamableReset();
}
