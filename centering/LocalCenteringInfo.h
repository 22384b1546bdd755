#pragma once
// LocalCenteringInfo: local centering values as they were imported, keyed by names rather than
// unique IDs: one centre per (batch name, phase name, variable name). A dataset keeps one, and the
// application stores it in and restores it from its configuration sections. Turning the names
// into unique IDs is the application's work; this class keeps, averages, stores and reads values.
//
// Without phases, phase names do not matter to GetData: it looks the centre up under the empty
// phase, so such an object is filled with empty phase names. AddData stores the phase as given.
//
// Section "FULL_LCI", version 1, a directory of three sub-streams:
//   0: the centres: a 4-byte count, then per centre its triple (an "IndexTrippel" record) and the
//      centre (4-byte float), in triple order; required;
//   1: the centre ID (4 bytes); a stream without it reads as -1;
//   2: has phases (1 byte); a stream without it reads as true.
// Reading checks no version. The centres read are added to those the object holds; a triple it
// already holds keeps its value.

#include <istream>
#include <map>
#include <ostream>
#include <vector>

#include "centering/IndexTrippel.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class AVGLocalCenteringInfo;
class ConfigurationSection;
class VariableInfo;

class LocalCenteringInfo : public ZStreamBase {
public:
    using TrippelMap = std::map<IndexTrippel, float>;
    using TrippelConstIterator = TrippelMap::const_iterator;

    // No centres. A dataset makes its own with centre ID 0 and phases, as the default does.
    explicit LocalCenteringInfo(int centerID = 0, bool hasPhases = true);
    // Copies the centres, the centre ID and the has-phases flag.
    LocalCenteringInfo(const LocalCenteringInfo& other) = default;
    LocalCenteringInfo& operator=(const LocalCenteringInfo& other) = default;
    ~LocalCenteringInfo() override;

    // The identifier of the centering set.
    int GetCenterID() const { return mCenterID; }
    void UpdateCenterID(int centerID) { mCenterID = centerID; }
    // Whether phase names are significant.
    bool HasPhases() const { return mHasPhases; }

    // Sets the centre of (batch, phase, variable), inserting the triple or overwriting its value.
    // Null names count as empty ones.
    void AddData(const char* batch, const char* phase, const char* variable, float centre);
    // The centre of (batch, phase, variable), the phase taken as empty without phases; -99 when
    // there is none. Inserts nothing.
    float GetData(const char* batch, const char* phase, const char* variable) const;

    void ClearTrippel() { mCentres.clear(); }
    unsigned int SizeTrippel() const { return static_cast<unsigned int>(mCentres.size()); }
    // The (triple, centre) pairs in triple order; valid until the centres change.
    TrippelConstIterator BeginTrippel() const { return mCentres.begin(); }
    TrippelConstIterator EndTrippel() const { return mCentres.end(); }

    // Writes the centres into the subsection "LocalCentering" of `section` (made when missing):
    // the n-th triple in order into the n-th subsection "LCData", as "Center" (a number), "Batch",
    // "Phase" and "Variable". Existing "LCData" subsections are overwritten in order; those beyond
    // this object's count stay, so save into a section without earlier centres. Null does nothing.
    void Save(ConfigurationSection* section) const;
    // Replaces the centres by those of the "LCData" subsections of the subsection "LocalCentering"
    // of `section`, in order, each added by AddData (a later equal triple wins); empty when there
    // is no such subsection or `section` is null. A missing "Center" reads as -99 and a missing
    // name as empty. The centre ID and the has-phases flag stay.
    void Load(ConfigurationSection* section);

    // A new object, owned by the caller, with this object's has-phases flag and, per phase and
    // variable, the average of the centres other than -99 over all batches, filed under the
    // unique ID of the variable whose primary ID (alias 1) is the variable name, compared exactly.
    // A phase and variable whose centres are all -99 get -99, except the last in triple order,
    // which is left out. Throws Exception when a variable name is the primary ID of none of
    // `variables` (null counts as none; of records sharing a primary ID the first counts).
    AVGLocalCenteringInfo* BuildDefLocalCenteringInfo(const std::vector<VariableInfo*>* variables) const;

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, missing or damaged centres, or a damaged triple; never throws. The
    // centres read before a failure are not added.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    TrippelMap mCentres;
    int mCenterID;
    bool mHasPhases;
    SectionFlag mSection;
};
