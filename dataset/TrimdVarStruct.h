#pragma once
// TrimdVarStruct: the trim values written into one trimmed variable's cells. A cell counts as
// still trimmed while its value equals one of them (within the library's relative tolerance).
// A dataset keeps one per trimmed variable, beside that variable's values before trimming.
//
// Stream section: tag "TVS" version 1, one sub-stream holding the trim values as a 4-byte count
// and each value as a 4-byte float, ascending.

#include <set>

#include "interfaces/streams/Section.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class TrimdVarStruct : public ZStreamBase {
public:
    TrimdVarStruct() = default;
    TrimdVarStruct(const TrimdVarStruct&) = default;
    TrimdVarStruct& operator=(const TrimdVarStruct&) = default;
    ~TrimdVarStruct() override = default;

    const std::set<float>& GetTrimValues() const { return mTrimValues; }
    void AddTrimValue(float value) { mTrimValues.insert(value); }

    // Writes the section; true when the stream is still good.
    bool ZStreamableStartWrite(std::ostream& os) override;
    // Reads version 1 only. Once the tag matches, the trim values are emptied first: a failed read
    // (another version, sub-stream 0 absent or short, values not strictly ascending or NaN) leaves
    // the set empty. A wrong tag changes nothing.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    std::set<float> mTrimValues;
    SectionFlag mSection;
};
