#include "interfaces/containers/NCStringVector.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

#include "interfaces/streams/Section.h"
#include "interfaces/utility/BinaryIO.h"

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size(); ++i)
        if (b[i] == '\0' || LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return b[i] == '\0';
}

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
    });
}

// Unreasonably many strings for the bytes at hand are refused before anything is reserved; this
// bounds what a stream that cannot tell its size makes us reserve up front.
constexpr std::int32_t kReserveAtMost = 4096;

}  // namespace

NCStringVector::NCStringVector(int n) : mStrings(static_cast<std::size_t>(std::max(n, 0))) { assert(n >= 0); }

NCStringVector::NCStringVector(const std::vector<std::string>& strings) : mStrings(strings) {}

const char* NCStringVector::operator[](int i) const {
    assert(i >= 1 && i <= Size());
    return mStrings[static_cast<std::size_t>(i - 1)].c_str();
}

void NCStringVector::operator()(int i, const char* text) {
    assert(i >= 1 && i <= Size());
    mStrings[static_cast<std::size_t>(i - 1)] = text ? text : "";
}

void NCStringVector::push_back(const char* text) { mStrings.emplace_back(text ? text : ""); }

void NCStringVector::InsertStrings(int pos) { InsertStrings(pos, 1); }

void NCStringVector::InsertStrings(int pos, int n) {
    assert(pos >= 1 && pos <= Size() + 1 && n >= 0);
    if (n <= 0) return;
    mStrings.insert(mStrings.begin() + (pos - 1), static_cast<std::size_t>(n), std::string());
}

void NCStringVector::RemoveStrings(int pos, int n) {
    assert(n >= 0 && pos >= 1 && pos - 1 + n <= Size());
    if (n <= 0) return;
    mStrings.erase(mStrings.begin() + (pos - 1), mStrings.begin() + (pos - 1 + n));
}

void NCStringVector::Reserve(int n) { mStrings.reserve(static_cast<std::size_t>(std::max(n, 0))); }

void NCStringVector::Clear() { std::vector<std::string>().swap(mStrings); }

void NCStringVector::Sort(bool caseSensitive, SortType order) {
    if (order == NotSorted) return;
    const bool descending = order == Descending;
    std::stable_sort(mStrings.begin(), mStrings.end(),
                     [caseSensitive, descending](const std::string& a, const std::string& b) {
                         const std::string& first = descending ? b : a;
                         const std::string& second = descending ? a : b;
                         return caseSensitive ? first < second : LessNoCase(first, second);
                     });
}

void NCStringVector::Convert(std::vector<std::string>& out) const { out = mStrings; }

int NCStringVector::FindString(const char* text, bool caseSensitive, int from) const {
    assert(from >= 1 && from <= Size() + 1);
    const char* wanted = text ? text : "";
    for (int i = std::max(from, 1); i <= Size(); ++i) {
        const std::string& s = mStrings[static_cast<std::size_t>(i - 1)];
        if (caseSensitive ? s == wanted : EqualNoCase(s, wanted)) return i;
    }
    return 0;
}

namespace {
const Section& StreamSection() {
    static const Section section("NCSV", 1, 0);
    return section;
}
}  // namespace

const ZStreamableData& NCStringVector::Data() { return StreamSection().Data(); }

bool NCStringVector::ZStreamableStartWrite(std::ostream& os) {
    const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
    return StreamSection().WritePlain(os, mSection, bases, [&](std::ostream& out) {
        const auto count = static_cast<std::int32_t>(mStrings.size());
        WriteFourBytes(&count, 1, out);
        for (const std::string& s : mStrings)
            if (!WriteBinaryString(s.c_str(), out)) return false;
        return out.good();
    });
}

bool NCStringVector::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
    return StreamSection().ReadPlain(is, mSection, bases, [&](std::istream& in) {
        std::int32_t count = 0;
        // Every string takes at least its 4-byte length.
        if (!ncdetail::ReadCount(in, 4, count)) return false;
        std::vector<std::string> strings;
        strings.reserve(static_cast<std::size_t>(StreamBytesLeft(in) >= 0 ? count : std::min(count, kReserveAtMost)));
        for (std::int32_t i = 0; i < count; ++i) {
            std::string s;
            if (!ReadBinaryString(s, in)) return false;
            strings.push_back(std::move(s));
        }
        mStrings.swap(strings);
        return true;
    });
}
