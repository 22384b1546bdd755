#pragma once
// TrimdVarStruct: the trim values written into one trimmed variable's cells. A cell counts as
// still trimmed while its value equals one of them (within the library's relative tolerance).
// A dataset keeps one per trimmed variable, beside that variable's values before trimming.

#include <set>

#include "interfaces/streams/Section.h"
#include "interfaces/streams/ZStreamBase.h"

class TrimdVarStruct : public ZStreamBase {
public:
    TrimdVarStruct() = default;
    TrimdVarStruct(const TrimdVarStruct&) = default;
    TrimdVarStruct& operator=(const TrimdVarStruct&) = default;
    ~TrimdVarStruct() override = default;

    const std::set<float>& GetTrimValues() const { return mTrimValues; }
    void AddTrimValue(float value) { mTrimValues.insert(value); }

    // Not persistent yet: writing or reading fails (the stream's failbit is set) rather than
    // writing nothing and reporting success.
    bool ZStreamableStartWrite(std::ostream& os) override { return Section::NotAvailable(os); }
    bool ZStreamableStartRead(std::istream& is) override { return Section::NotAvailable(is); }

private:
    std::set<float> mTrimValues;
};
