#pragma once
// DateTimeVariableInfo: the record of a variable whose cells hold points in time. A cell stores
// the time elapsed since the variable's offset, counted in the variable's accuracy (its time
// unit: year = 360 days, month = 30 days, day, hour, minute, second). Text is parsed with the
// variable's parse method and values are written back with its dataset format.
// Section "DTVI", version 1.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "interfaces/streams/SectionFlag.h"
#include "interfaces/utility/CString.h"
#include "interfaces/utility/SimpDateTime.h"
#include "interfaces/utility/SimpDuration.h"
#include "varobs/VariableInfo.h"

class DateTimeVariableInfo : public VariableInfo {
public:
    // Parse method 3 (none), empty formats, an invalid offset, accuracy 6 (none).
    DateTimeVariableInfo();
    // One ID, empty recipe, source model -1, reference -1, type 0; then the given settings.
    DateTimeVariableInfo(const CString& id, unsigned long uniqueID, ZoTimeUtl::eParseType parseMethod,
                         CString parseFormat, CString datasetFormat, ZoTimeUtl::SimpDateTime offset,
                         ZoTimeUtl::eTimeAccuracy accuracy);
    // The same with several IDs and maturity -99.
    DateTimeVariableInfo(const std::vector<CString>& ids, unsigned long uniqueID, ZoTimeUtl::eParseType parseMethod,
                         CString parseFormat, CString datasetFormat, ZoTimeUtl::SimpDateTime offset,
                         ZoTimeUtl::eTimeAccuracy accuracy);
    ~DateTimeVariableInfo() override;

    // A copy of every field, owned by the caller.
    DateTimeVariableInfo* Clone() const override;
    const DateTimeVariableInfo* AsDateTimeVariableInfo() const override { return this; }

    // Takes parse method, parse format, dataset format, offset and accuracy; IDs and the variable
    // fields stay.
    void CopySettings(const DateTimeVariableInfo& other);

    ZoTimeUtl::eParseType GetParseMethod() const { return mParseMethod; }
    const CString& GetParseFormatString() const { return mParseFormat; }
    const CString& GetDatasetFormat() const { return mDatasetFormat; }
    const ZoTimeUtl::SimpDateTime& GetDateTimeOffset() const { return mOffset; }
    ZoTimeUtl::eTimeAccuracy GetTimeAccuracy() const { return mAccuracy; }
    void SetDatasetFormatString(const CString& format) { mDatasetFormat = format; }

    // Empty (or null) text: -99. Otherwise the time from the offset to the parsed text in the
    // accuracy's unit (in seconds for accuracy 6). 3.4028235e38 when the parse method has no
    // parser (3), the text does not parse, or the result is not a finite normal float (zero is
    // accepted). Never throws.
    float Encode(const char* text) const override;
    // Like Encode, but parsed with ParseExact and `format`; the parse comes first, so empty text
    // gives -99 only when the empty text parses with `format`.
    float EncodeCustom(const CString& format, const char* text) const;
    // -99: "". Otherwise offset + ToSeconds(value) written with the dataset format.
    std::string Decode(float value) const override;

    // The value in seconds; -99 stays -99, and an accuracy outside 0-5 gives -99.
    long double ToSeconds(float value) const;
    // The longest span a value can hold, as a unit and a length in that unit: years to days have
    // no limit (unit 6, length -99); hours 114 years; minutes 23 months; seconds 16 minutes when
    // the dataset format shows milliseconds ("fff"), else 11 days. Accuracy 6 leaves both
    // outputs as they are.
    void GetMaximumSaveTimeUnitAndTime(ZoTimeUtl::eTimeAccuracy& unit, float& length) const;
    // True when the value lies within the longest storable span (either sign). A variable
    // without an accuracy (6) accepts no value: it has no span at all.
    bool IsValidTimeRange(float value) const;

    // Compares the settings only (parse method, both formats case-sensitively, offset, accuracy);
    // IDs and variable fields are ignored. Through a VarObsInfo reference the record equality of
    // VarObsInfo applies.
    using VarObsInfo::operator==;
    using VarObsInfo::operator!=;
    bool operator==(const DateTimeVariableInfo& other) const;
    bool operator!=(const DateTimeVariableInfo& other) const { return !(*this == other); }

    // An invalid offset is replaced by SimpDateTime(0) before writing, and stays replaced.
    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 1 or a damaged section. Every field is optional
    // and keeps its value when absent or unreadable; sections without the offset's sub-stream
    // build it from its parts (1400-01-01 00:00:00 when those are absent too). A stored parse
    // method outside 0-3 reads as 3 and an accuracy outside 0-6 as 6: both behave alike.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    DateTimeVariableInfo(const DateTimeVariableInfo& other);
    DateTimeVariableInfo& operator=(const DateTimeVariableInfo& other);

    // Seconds from `from` to `to` in the accuracy's unit (seconds for accuracy 5 and 6).
    float GetTimeDiff(const ZoTimeUtl::SimpDateTime& from, const ZoTimeUtl::SimpDateTime& to) const;
    // The time from the offset to a parsed value, or 3.4028235e38 when no finite normal float holds it.
    float EncodeParsed(const ZoTimeUtl::SimpDateTime& parsed) const;

    CopiedSectionFlag mSection;
    ZoTimeUtl::eParseType mParseMethod = ZoTimeUtl::eNoParse;
    CString mParseFormat;
    CString mDatasetFormat;
    ZoTimeUtl::SimpDateTime mOffset;
    ZoTimeUtl::eTimeAccuracy mAccuracy = ZoTimeUtl::eNoAccuracy;
};
