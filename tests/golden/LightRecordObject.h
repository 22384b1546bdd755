#pragma once
// LightRecordObject: a record with a tag of its own (WriteObject / ReadObject) that is no
// persistent object, seen as one, so that the golden table and the fuzz targets write, read and
// compare it like every other class. Handled once per pass, as a persistent object would be.

#include <istream>
#include <ostream>

#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

template <typename Record>
class LightRecordObject : public ZStreamBase {
public:
    LightRecordObject() = default;
    explicit LightRecordObject(const Record& record) : mRecord(record) {}

    Record& Get() { return mRecord; }
    const Record& Get() const { return mRecord; }

    bool ZStreamableStartWrite(std::ostream& os) override { return !mSection.Enter() || mRecord.WriteObject(os); }
    bool ZStreamableStartRead(std::istream& is) override { return !mSection.Enter() || mRecord.ReadObject(is); }
    void ZStreamableReset() override { mSection.Reset(); }

private:
    Record mRecord;
    SectionFlag mSection;
};
