#pragma once
// DVInfo: a small persistent record that belongs with the batch import classes. Streams of
// batch projects may hold it; what its fields stood for was never recorded, so they carry
// neutral names and the record only keeps and hands back what it read:
//   text, first number, flag byte, second number, third number.
//
// Section "DVINFO", version 1, without a directory: the text (a binary string), the first
// number (4 bytes), a 4-byte number that is always written as 1 and skipped on reading, the flag
// byte, then the second and third numbers (4 bytes each). Only version 1 is read.

#include <istream>
#include <ostream>

#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class DVInfo : public ZStreamBase {
public:
    // Empty text, every number 0, flag byte 0.
    DVInfo() = default;
    DVInfo(const DVInfo&) = default;
    DVInfo& operator=(const DVInfo&) = default;
    ~DVInfo() override = default;

    const CString& GetText() const { return mText; }
    void SetText(const char* text) { mText = CString(text); }
    int GetFirstNumber() const { return mFirstNumber; }
    void SetFirstNumber(int value) { mFirstNumber = value; }
    unsigned char GetFlagByte() const { return mFlagByte; }
    void SetFlagByte(unsigned char value) { mFlagByte = value; }
    int GetSecondNumber() const { return mSecondNumber; }
    void SetSecondNumber(int value) { mSecondNumber = value; }
    int GetThirdNumber() const { return mThirdNumber; }
    void SetThirdNumber(int value) { mThirdNumber = value; }

    // Every field equal.
    bool operator==(const DVInfo& other) const;
    bool operator!=(const DVInfo& other) const { return !(*this == other); }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 1 or a short stream; never throws. The fields
    // read before a short read keep their new values.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    CString mText;
    int mFirstNumber = 0;
    unsigned char mFlagByte = 0;
    int mSecondNumber = 0;
    int mThirdNumber = 0;
    SectionFlag mSection;
};
