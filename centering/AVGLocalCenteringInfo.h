#pragma once
// AVGLocalCenteringInfo: a default set of local centres, one value per (phase name, variable
// unique ID), as LocalCenteringInfo::BuildDefLocalCenteringInfo averages them over all batches.
// Phase names are compared ignoring ASCII case: "p1" finds the value added for "P1", and adding
// under "p1" overwrites it (the key keeps the first spelling). Without phases, GetData looks the
// value up under the empty phase; AddData stores the phase as given.
//
// Section "LCI", version 2, a directory of two sub-streams:
//   0: a 4-byte count, then per entry in key order the phase name (binary string), the unique ID
//      (4 bytes) and the value (4-byte float); required;
//   1: has phases (1 byte); a stream without it, or with a short one, reads as true.
// Only version 2 is read.

#include <istream>
#include <map>
#include <ostream>
#include <utility>

#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class AVGLocalCenteringInfo : public ZStreamBase {
public:
    // The phase name and the variable's unique ID.
    using Key = std::pair<CString, unsigned long>;
    // Phase names ignoring ASCII case (as _stricmp), then unique IDs.
    struct KeyLess {
        bool operator()(const Key& a, const Key& b) const;
    };
    using AverageMap = std::map<Key, float, KeyLess>;
    using ConstIterator = AverageMap::const_iterator;

    // No values.
    explicit AVGLocalCenteringInfo(bool hasPhases = true);
    // Copies the values and the has-phases flag.
    AVGLocalCenteringInfo(const AVGLocalCenteringInfo& other) = default;
    AVGLocalCenteringInfo& operator=(const AVGLocalCenteringInfo& other) = default;
    ~AVGLocalCenteringInfo() override;

    // Whether phase names are significant.
    bool HasPhases() const { return mHasPhases; }

    // Sets the value of (phase, variable), inserting or overwriting. A null phase counts as empty.
    void AddData(const char* phase, unsigned long varID, float centre);
    // The value of (phase, variable), the phase taken as empty without phases; -99 when there is
    // none. Inserts nothing.
    float GetData(const char* phase, unsigned long varID) const;

    void Clear() { mAverages.clear(); }
    // The ((phase, unique ID), value) pairs in key order; valid until the values change.
    ConstIterator Begin() const { return mAverages.begin(); }
    ConstIterator End() const { return mAverages.end(); }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag or another version (nothing changed), or when the values are missing
    // or damaged (the object is then empty); never throws. The values are emptied first.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    AverageMap mAverages;
    bool mHasPhases;
    SectionFlag mSection;
};
