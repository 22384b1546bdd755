#pragma once
// ObservationInfo: the record of an observation (a row of a dataset): its IDs, its default class
// and the unique ID of the batch it belongs to. Section "OI", version 1; older streams hold only
// the "VOI" section of an observation, which reads with the defaults.

#include <istream>
#include <ostream>
#include <vector>

#include "interfaces/streams/SectionFlag.h"
#include "varobs/VarObsInfo.h"

class ObservationInfo : public VarObsInfo {
public:
    // Default class 0, batch = no unique ID.
    ObservationInfo();
    ObservationInfo(const CString& id, unsigned long uniqueID);
    ObservationInfo(const std::vector<CString>& ids, unsigned long uniqueID);
    ObservationInfo(const ObservationInfo& other);
    ObservationInfo& operator=(const ObservationInfo& other);
    ~ObservationInfo() override;

    const ObservationInfo* AsObservationInfo() const override { return this; }
    // A copy, owned by the caller.
    virtual ObservationInfo* Clone() const;

    int GetDefaultClass() const { return mDefaultClass; }
    void SetDefaultClass(int defaultClass) { mDefaultClass = defaultClass; }
    unsigned long GetBatch() const { return mBatch; }
    void SetBatch(unsigned long batch) { mBatch = batch; }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // A version above 1 fails before anything else is read. Without an "OI" tag at the position
    // (an older stream) the record takes default class 0 and no batch and reads "VOI" from that
    // position. Never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    CopiedSectionFlag mSection;
    int mDefaultClass = 0;
    unsigned long mBatch;
};
