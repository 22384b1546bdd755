#include "centering/IndexTrippel.h"

#include "interfaces/streams/Section.h"

namespace {
enum SubStream : int { kBatch = 0, kPhase = 1, kVariable = 2, kSubStreamCount = 3 };

// "IndexTrippel" version 1; the version read is not checked.
const Section& StreamSection() {
    static const Section section("IndexTrippel", 1, kSubStreamCount, SectionRules().AnyVersion());
    return section;
}

// A nested record is no persistent object: each occurrence is written and read whole.
bool NoBases() { return true; }
}  // namespace

const ZStreamableData& IndexTrippel::StreamData() { return StreamSection().Data(); }

bool IndexTrippel::operator<(const IndexTrippel& other) const {
    if (const int phase = mPhase.Compare(other.mPhase); phase != 0) return phase < 0;
    if (const int variable = mVariable.Compare(other.mVariable); variable != 0) return variable < 0;
    return mBatch.Compare(other.mBatch) < 0;
}

bool WriteToStream(const IndexTrippel& triple, std::ostream& os) {
    SectionFlag flag;
    return StreamSection().Write(os, flag, NoBases, [&](SectionOutput& out) {
        out.Write(kBatch, triple.GetBatch());
        out.Write(kPhase, triple.GetPhase());
        out.Write(kVariable, triple.GetVariable());
    });
}

bool ReadValue(IndexTrippel& triple, std::istream& is) {
    SectionFlag flag;
    CString batch;
    CString phase;
    CString variable;
    const bool read = StreamSection().Read(is, flag, NoBases, [&](SectionInput& in) {
        in.Required(kBatch, batch);
        in.Required(kPhase, phase);
        in.Required(kVariable, variable);
    });
    if (read) triple = IndexTrippel(batch, phase, variable);
    return read;
}
