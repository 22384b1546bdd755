#pragma once
// InfosByUserID: a case-insensitive index from ID text to record over one alias column of a
// collection (see VarObs::GetInfosByUserID).
//
// The index does not copy the ID texts: it points into the records' own ID strings, so it is
// valid only until an ID of an indexed record changes, the ID list of an indexed record grows or
// shrinks (its texts may move), or a record is added to or removed from the collection. Case is ASCII case throughout
// ("obs" and "OBS" are the same ID).
//
// An index is shared (boost::shared_ptr) between callers. Lookups on one index may run on several
// threads at once; AddInfo must not run concurrently with anything else on the same index.

#include <cstdint>
#include <memory>

class VarObsInfo;

class InfosByUserID {
public:
    // An empty index; IsIDUnique() is true.
    InfosByUserID();
    ~InfosByUserID();
    InfosByUserID(const InfosByUserID&) = delete;
    InfosByUserID& operator=(const InfosByUserID&) = delete;

    // The record whose ID equals `id` ignoring case, or null. When several records share the ID,
    // any one of them.
    const VarObsInfo* GetInfo(const char* id) const;
    // That record's unique ID, or 3262240001 (no unique ID) when there is none.
    unsigned long GetUniqueID(const char* id) const;
    // False when two indexed IDs are equal ignoring case (also after AddInfo refused a duplicate).
    bool IsIDUnique() const;
    // Enters the record under its ID in `alias` (the empty string when it has none). A record
    // whose ID is already indexed (ignoring case) is not entered and makes IsIDUnique() false.
    // A null record is ignored.
    void AddInfo(const VarObsInfo* record, int alias);
    // True when some record is indexed under `id` (ignoring case).
    bool Contains(const char* id) const;

    // 32-bit FNV-1 of the upper-cased ID, each byte taken as a signed char widened to 32 bits.
    // Null hashes like the empty string.
    static std::uint32_t Hash(const char* id);

private:
    friend class VarObs;
    struct Impl;

    // Bulk building for the collection: append entries in any order, then sort once.
    void Reserve(std::size_t count);
    void AppendUnsorted(const VarObsInfo* record, const char* id);
    void SortAndCheckUniqueness();

    std::unique_ptr<Impl> mImpl;
};
