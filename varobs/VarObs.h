#pragma once
// VarObs: the common base of the two record collections of a project (variables and
// observations). It owns its records, keyed by unique ID, and the alias columns: the named ID
// columns that every record fills with one text each (alias 1 is the primary ID). It knows which
// alias columns hold numbers, keeps the batch and phase alias columns, builds and caches a
// case-insensitive index from primary ID to record, makes primary IDs unique on insertion, owns
// the collection's label selection, and persists its whole content as one "VO" section.
//
// Alias numbers are 1-based. Out-of-range alias numbers never fail: they read as the empty string,
// false or -1.
//
// Threads: several threads may ask for GetInfosByUserID of a collection that is not being changed
// (the index is built and handed out under the collection's lock). Everything else assumes one
// thread at a time, and an index obtained before a change must not be used after it.

#include <boost/shared_ptr.hpp>
#include <boost/thread/mutex.hpp>

#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"
#include "varobs/InfosByUserID.h"
#include "varobs/VarObsInfoAccess.h"

class VarObsInfo;
class SelectedLabel;

class VarObs : public VarObsInfoAccess, public virtual ZStreamBase {
public:
    // Labels of special alias columns.
    static const char* const mszBatchIDString;     // "$BatchID"
    static const char* const mszPhaseIDString;     // "$PhaseID"
    static const char* const mszMaturityIDString;  // "$MaturityID"
    static const char* const mszSourceIDString;    // "$SourceID"
    static const char* const mszClassIDString;     // "$ClassID"
    static const char* const mszOriginalIDString;  // "$Original ID"

    using iterator = std::map<unsigned long, VarObsInfo*>::iterator;
    using const_iterator = std::map<unsigned long, VarObsInfo*>::const_iterator;

    // Destroys every record, the selected label and the cached index.
    ~VarObs() override;
    VarObs(const VarObs&) = delete;
    VarObs& operator=(const VarObs&) = delete;

    // ---- records ----
    int GetNumberOfVarObs() const;
    int size() const;
    // (unique ID, record) pairs in ascending unique ID.
    iterator Begin();
    iterator End();
    const_iterator Begin() const;
    const_iterator End() const;
    iterator begin() { return Begin(); }
    iterator end() { return End(); }
    const_iterator begin() const { return Begin(); }
    const_iterator end() const { return End(); }
    // The record with the lowest unique ID; null when empty.
    const VarObsInfo* First() const;
    // The record after `rec` in unique-ID order; null when `rec` is null, not in the collection or the last.
    const VarObsInfo* Next(const VarObsInfo* rec) const;
    // The record with that unique ID, or null (FindVarObsInfo).
    const VarObsInfo* operator[](unsigned long uniqueID) const;
    VarObsInfo* operator[](unsigned long uniqueID);
    // The highest unique ID below 3262240001 (the reserved IDs are ignored); 3262240001 when none.
    unsigned long GetLastUsedID() const;

    bool IsDirty() const;
    virtual void SetIsDirty(bool dirty);

    // Destroys the records with the listed unique IDs (IDs not held are skipped) and marks the
    // collection dirty. An empty list changes nothing, not even the dirty flag.
    void DeleteObsInfos(NCIntegralVector<unsigned long, 0>& uniqueIDs);

    // ---- alias columns ----
    // Alias count (always at least 1).
    int SizeAliases() const;
    // Label of the alias; "" when the alias is out of range or has no label.
    CString GetIDLabelRaw(int alias) const;
    // User-facing description of an alias column; supplied by each kind of collection.
    virtual std::string GetIDLabelDescription(int alias) const = 0;
    // The alias numbers 1 … alias count, in order.
    virtual std::vector<int> GetAllUsedAliases() const;
    // Marks the collection dirty, grows the alias count to the list's length when it is longer,
    // and rebuilds the label list: alias 1 always gets language text LanguageText::kPrimaryIDLabel;
    // alias k ≥ 2 gets the given non-empty label k-1, else its current label, else the given
    // (empty) label, else language text LanguageText::kDefaultIDLabel formatted with k. Null
    // keeps the current labels of aliases ≥ 2.
    virtual void Set_ID_Labels(const std::vector<CString>* labels);
    // Replaces the label of an alias that has one; otherwise nothing. Does not mark dirty.
    void SetIDLabel(int alias, const char* text);
    // Appends an alias column with that label (alias count becomes the label count, its numeral
    // flag false), marks the collection dirty; returns the new alias number.
    int AddSecondaryID(const char* label);
    // Removes the alias column whose label equals `label` exactly (the first one): its label, its
    // numeral flag and every record's ID in it; later columns move down by one. Always marks the
    // collection dirty, also when no label matches.
    void RemoveSecondaryID(const char* label);
    // The alias holds numbers: some record has a non-empty, wholly numeric ID in it. False when out of range.
    virtual bool IsIDNumeral(int alias) const;
    bool HasNumeralIDs() const;
    // Recompute the numeral flag of one alias (or all) from the records.
    void UpdateIDNumericalState(int alias);
    void UpdateAllIDNumericalState();

    // ---- batch and phase alias columns (numbers below 1: none) ----
    void SetBatchID(int alias);
    void SetPhaseID(int alias);
    bool HasBatches() const;
    bool HasPhases() const;
    // 1-based position of the batch (phase) alias within `aliases`; -1 when it is not there.
    int GetBatchID(const std::vector<int>& aliases) const;
    int GetPhaseID(const std::vector<int>& aliases) const;

    // ---- IDs ----
    // `base` when no record of `index` has it (ignoring case) and `extra` (when given) does not
    // hold it exactly; otherwise the first of base_1, base_2, … that is free in the same sense.
    // Any length of `base` works.
    static CString GetUniquePrimaryID(const char* base, const InfosByUserID& index, std::set<std::string>* extra);

    SelectedLabel& GetSelectedLabel();
    const SelectedLabel& GetSelectedLabel() const;

    // ---- "VO" section, version 2 ----
    // Writing marks the collection clean when the stream is still good. Reading drops the cached
    // index and every record first; any failure (also an exception of a record reader or of the
    // record factory) returns false and leaves a partly filled collection for the caller to discard.
    bool ZStreamableStartWrite(std::ostream& os) override;
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

protected:
    // An empty collection: one alias labelled with language text LanguageText::kPrimaryIDLabel, no
    // records, no batch or phase alias, clean.
    VarObs();

    // Takes ownership of `record` and returns it. With an index, the record's primary ID is first
    // made unique against that index (GetUniquePrimaryID) and the record is entered into it. Drops
    // the cached index, marks dirty, grows the alias count (default labels via Set_ID_Labels) when
    // the record holds more IDs than there are aliases, and sets the numeral flag of every alias in
    // which the record's ID is non-empty and wholly numeric (flags are never cleared here).
    // A record whose unique ID is already in the collection is refused with an Exception before
    // anything changes; the record then stays the caller's (as with any exception before it is stored).
    VarObsInfo* Add(VarObsInfo* record, InfosByUserID* index);
    // The same for a record handed over as the sole owner; the collection's use inside the library.
    // Ownership passes once the record is stored; a refused record is destroyed with the argument.
    VarObsInfo* Add(std::unique_ptr<VarObsInfo> record, InfosByUserID* index);
    // Appends `text` as a further ID of that record, growing the alias count (new label "") when
    // needed; drops the cached index; marks dirty. False when no record has the unique ID.
    bool AddUserID(const char* text, unsigned long uniqueID);

    // The record with that unique ID, or null.
    virtual const VarObsInfo* FindVarObsInfo(unsigned long uniqueID) const;
    VarObsInfo* FindVarObsInfo(unsigned long uniqueID);

    // An index over the IDs of `alias`. Alias 1's index is cached and shared until the collection
    // changes (the same object for every caller meanwhile); other aliases get a new index each time.
    boost::shared_ptr<InfosByUserID> GetInfosByUserID(int alias) const;

    int GetRawBatchID() const;
    int GetRawPhaseID() const;
    // One value per listed unique ID, in list order: the record's ID in `alias` as a number, or
    // -99 when no record has the unique ID. Null list: an empty vector.
    NCDataVector<float> GetNumeralValues(int alias, const NCIntegralVector<unsigned long, 0>* uniqueIDs) const;

    // Records report ID changes through these. An alias outside 1 … alias count is ignored.
    void SetIDIsNumeral(int alias, bool numeral) override;
    void ClearInfosByUserID() override;

private:
    friend class AliasAccess;

    static const ZStreamableData& StreamData();
    // Both Adds: `record` is released right after it is stored, so an exception before that
    // leaves it with the caller's pointer and the collection unchanged.
    VarObsInfo* Adopt(std::unique_ptr<VarObsInfo>& record, InfosByUserID* index);
    void GrowAliases(int count);
    void DestroyRecords();

    bool mDirty = false;
    std::vector<CString> mLabels;
    std::unique_ptr<SelectedLabel> mSelectedLabel;
    std::vector<bool> mNumeral;  // index 0 unused; alias count + 1 elements
    int mAliasCount = 1;
    std::map<unsigned long, VarObsInfo*> mRecords;
    int mBatchAlias = -1;
    int mPhaseAlias = -1;
    mutable boost::shared_ptr<InfosByUserID> mInfosByUserID;
    mutable boost::mutex mIndexLock;
    SectionFlag mSection;
};
