#pragma once
// VarObsInfo: the common base of the variable and observation records. A record holds one ID
// text per alias (ID) column of its collection, addressed 1-based (ID 1 is the primary ID), and
// the item's project-wide unique number. Records are persistent: section "VOI", version 3.

#include <istream>
#include <ostream>
#include <vector>

#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class VariableInfo;
class ObservationInfo;
class VarObs;
class VarObsInfoAccess;
class BatchImportSettings;

class VarObsInfo : public virtual ZStreamBase {
public:
    // Unique ID 0, no IDs.
    VarObsInfo();
    // One ID.
    VarObsInfo(const CString& id, unsigned long uniqueID);
    // The given IDs, in alias order.
    VarObsInfo(const std::vector<CString>& ids, unsigned long uniqueID);
    // Copies every field, the section flag included.
    VarObsInfo(const VarObsInfo& other);
    VarObsInfo& operator=(const VarObsInfo& other);
    ~VarObsInfo() override;

    // The record as a variable record; null for an observation.
    virtual const VariableInfo* AsVariableInfo() const;
    // The record as an observation record; null for a variable.
    virtual const ObservationInfo* AsObservationInfo() const;
    // Equal when both records have the same dynamic type and their primary IDs are equal ignoring
    // case; a record without IDs equals only a record of its type without IDs. Other IDs and
    // fields are not compared.
    virtual bool operator==(const VarObsInfo& other) const;
    bool operator!=(const VarObsInfo& other) const { return !(*this == other); }

    unsigned long GetUniqueID() const { return mUniqueID; }
    void SetUniqueID(unsigned long uniqueID) { mUniqueID = uniqueID; }

    // Text of ID 1; the empty string for a record without IDs.
    const char* GetPrimaryAlias() const { return GetUserID(1); }

    // Stores `text` as ID i (ignored for i < 1), first growing the ID list with empty IDs to i
    // entries. With an owner, the owner first drops its cached ID index, and alias i is marked
    // numeral in it when the text is a number (a flag that is never cleared here).
    void SetUserID(const CString& text, int i, VarObsInfoAccess* owner);
    // Appends an ID; returns the new number of IDs, which is the alias number of the new one.
    int AddID(const CString& text);
    // Erases ID i when 1 <= i <= count; the later IDs move down by one. Others are ignored.
    void RemoveID(int i);

    // The ID in the collection's batch (phase) alias column; empty when the collection has none
    // or the record has no such ID.
    CString GetBatchName(const VarObs& collection) const;
    CString GetPhaseName(const VarObs& collection) const;
    // The ID in the batch (phase) alias column that the import settings name; empty when the
    // settings name none or the record has no such ID.
    CString GetBatchName(const BatchImportSettings& settings) const;
    CString GetPhaseName(const BatchImportSettings& settings) const;

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version above 3, a missing sub-stream or a failed read; never
    // throws. A version below 3 carries no fields: the record keeps its IDs and unique ID.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

protected:
    int GetNumIDs() const { return static_cast<int>(mIDs.size()); }
    // Text of ID i; "" when i is out of range. The pointer stays valid until that ID changes.
    const char* GetUserID(int i) const;
    // ID i converted to a number; -99 when i is out of range or the text is not a number.
    float GetUserFloatID(int i) const;

private:
    // Inserts the text so that it becomes ID i; the later IDs move up. An i beyond count + 1
    // first pads the list with empty IDs; i < 1 is ignored.
    void InsertID(int i, const char* text);
    // When both are in range and differ: takes ID `from` out and puts it at `to`, the IDs
    // between shifting by one toward `from`'s old place.
    void MoveID(int from, int to);
    // Appends empty IDs until both a and b are in range, then exchanges them; ignored when
    // either is below 1.
    void SwapID(int a, int b);

    friend class VarObs;
    friend class NCVariables;
    friend class NCObservations;
    friend class AliasAccess;
    friend class InfosByUserID;
    friend class NCDataSet;
    friend class NCDataContainerBase;
    friend class CompoundDataset;
    friend class FullCompoundDataset;
    friend class NCDataSetInfo;
    friend class BatchInfoVector;
    friend class LocalCenteringData;
    friend class DefaultCenterValues;
    friend struct VarObsInfoTestAccess;

    CopiedSectionFlag mSection;
    unsigned long mUniqueID = 0;
    std::vector<CString> mIDs;
};
