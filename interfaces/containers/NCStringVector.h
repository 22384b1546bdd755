#pragma once
// NCStringVector: a vector of narrow strings with 1-based positions.
//
// Positions run from 1 to Size(); inserting at Size()+1 appends. A position outside that range is
// a programmer error, caught by assert in debug builds. A null text is stored as "".
//
// Stream section: tag "NCSV" version 1, a 4-byte count, then each string as a binary string.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "interfaces/containers/NCContainerSupport.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class NCStringVector : public ZStreamBase {
public:
    NCStringVector() = default;
    // `n` empty strings.
    explicit NCStringVector(int n);
    NCStringVector(const std::vector<std::string>& strings);
    NCStringVector(const NCStringVector&) = default;
    NCStringVector(NCStringVector&&) = default;
    NCStringVector& operator=(const NCStringVector&) = default;
    NCStringVector& operator=(NCStringVector&&) = default;

    int Size() const { return static_cast<int>(mStrings.size()); }

    // Text at 1-based `i`; valid until that string or the vector's size changes.
    const char* operator[](int i) const;
    // Stores a copy of `text` at 1-based `i`.
    void operator()(int i, const char* text);

    void push_back(const char* text);
    // Inserts one empty string before 1-based `pos` (Size()+1 appends).
    void InsertStrings(int pos);
    // Inserts `n` empty strings before 1-based `pos`.
    void InsertStrings(int pos, int n);
    // Removes `n` strings starting at 1-based `pos`.
    void RemoveStrings(int pos, int n);
    void Reserve(int n);
    void Clear();

    // Stable sort by byte value, or ignoring ASCII letter case; NotSorted keeps the order.
    void Sort(bool caseSensitive = true, SortType order = Ascending);
    // Replaces `out` with the strings in order.
    void Convert(std::vector<std::string>& out) const;

    // 1-based position of the first string equal to `text` at or after `from` (1 … Size()+1),
    // comparing ASCII letters without case when `caseSensitive` is false; 0 when absent.
    int FindString(const char* text, bool caseSensitive, int from = 1) const;

    bool operator==(const NCStringVector& other) const { return mStrings == other.mStrings; }
    bool operator!=(const NCStringVector& other) const { return !(*this == other); }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // Fails (vector unchanged) on a wrong tag, an unknown version, a count the stream cannot hold
    // or a damaged string.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& Data();

private:
    std::vector<std::string> mStrings;
    SectionFlag mSection;
};
