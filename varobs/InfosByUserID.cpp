#include "varobs/InfosByUserID.h"

#include <algorithm>
#include <vector>

#include "interfaces/constants/NCConstants.h"
#include "varobs/VarObsInfo.h"

using nc::kNoUniqueID;

namespace {

inline unsigned char UpperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }
inline unsigned char LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Case-insensitive order of two IDs, the order of _stricmp (both sides lowered).
inline int CompareIDs(const char* a, const char* b) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        const int cx = LowerAscii(*x);
        const int cy = LowerAscii(*y);
        if (cx != cy) return cx - cy;
        if (cx == 0) return 0;
    }
}

struct Entry {
    const char* text;
    std::uint32_t hash;
    const VarObsInfo* record;
};

inline bool EntryBefore(const Entry& a, const Entry& b) {
    if (a.hash != b.hash) return a.hash < b.hash;
    return CompareIDs(a.text, b.text) < 0;
}

}  // namespace

struct InfosByUserID::Impl {
    bool unique = true;
    std::vector<Entry> entries;  // sorted by (hash, case-insensitive text)

    // The first entry not ordered before (hash, text).
    std::vector<Entry>::const_iterator LowerBound(std::uint32_t hash, const char* text) const {
        const Entry key{text, hash, nullptr};
        return std::lower_bound(entries.begin(), entries.end(), key, EntryBefore);
    }
    const Entry* Find(const char* text) const {
        const char* id = text ? text : "";
        const std::uint32_t hash = InfosByUserID::Hash(id);
        const auto found = LowerBound(hash, id);
        if (found == entries.end() || found->hash != hash || CompareIDs(found->text, id) != 0) return nullptr;
        return &*found;
    }
};

InfosByUserID::InfosByUserID() : mImpl(std::make_unique<Impl>()) {}

InfosByUserID::~InfosByUserID() = default;

std::uint32_t InfosByUserID::Hash(const char* id) {
    std::uint32_t hash = 2166136261u;
    if (!id) return hash;
    for (const char* p = id; *p; ++p) {
        const auto upper = static_cast<signed char>(UpperAscii(static_cast<unsigned char>(*p)));
        hash *= 16777619u;
        hash ^= static_cast<std::uint32_t>(static_cast<std::int32_t>(upper));
    }
    return hash;
}

const VarObsInfo* InfosByUserID::GetInfo(const char* id) const {
    const Entry* entry = mImpl->Find(id);
    return entry ? entry->record : nullptr;
}

unsigned long InfosByUserID::GetUniqueID(const char* id) const {
    const VarObsInfo* record = GetInfo(id);
    return record ? record->GetUniqueID() : kNoUniqueID;
}

bool InfosByUserID::IsIDUnique() const { return mImpl->unique; }

bool InfosByUserID::Contains(const char* id) const { return GetInfo(id) != nullptr; }

void InfosByUserID::AddInfo(const VarObsInfo* record, int alias) {
    if (!record) return;
    const char* text = record->GetUserID(alias);
    const std::uint32_t hash = Hash(text);
    const auto at = mImpl->LowerBound(hash, text);
    if (at != mImpl->entries.end() && at->hash == hash && CompareIDs(at->text, text) == 0) {
        mImpl->unique = false;
        return;
    }
    mImpl->entries.insert(at, Entry{text, hash, record});
}

void InfosByUserID::Reserve(std::size_t count) { mImpl->entries.reserve(count); }

void InfosByUserID::AppendUnsorted(const VarObsInfo* record, const char* id) {
    const char* text = id ? id : "";
    mImpl->entries.push_back(Entry{text, Hash(text), record});
}

void InfosByUserID::SortAndCheckUniqueness() {
    auto& entries = mImpl->entries;
    std::sort(entries.begin(), entries.end(), EntryBefore);
    mImpl->unique = true;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].hash == entries[i - 1].hash && CompareIDs(entries[i].text, entries[i - 1].text) == 0) {
            mImpl->unique = false;
            break;
        }
    }
}
