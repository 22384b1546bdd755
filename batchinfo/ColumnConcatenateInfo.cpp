#include "batchinfo/ColumnConcatenateInfo.h"

#include "interfaces/streams/Section.h"

namespace {
// "CCI" version 2, no directory; versions 0 to 2 are read.
const Section& StreamSection() {
    static const Section section("CCI", 2, 0, SectionRules().AcceptsFrom(0));
    return section;
}
}  // namespace

const ZStreamableData& ColumnConcatenateInfo::StreamData() { return StreamSection().Data(); }

bool ColumnConcatenateInfo::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().WritePlain(
        os, mSection, [] { return true; }, [&](std::ostream& out) { return WriteFields(out, mColumns, mSeparator); });
}

bool ColumnConcatenateInfo::ZStreamableStartRead(std::istream& is) {
    return StreamSection().ReadPlain(
        is, mSection, [] { return true; },
        [&](std::istream& in) { return ReadFromStream(mColumns, in, false) && ReadFromStream(mSeparator, in, false); });
}
