#include "varobs/DateTimeVariableInfo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"

using nc::kMissingValue;
using nc::kUnencodableValue;

using ZoTimeUtl::eParseType;
using ZoTimeUtl::eTimeAccuracy;
using ZoTimeUtl::SimpDateTime;
using ZoTimeUtl::SimpDuration;

namespace {

// Sub-stream numbers of the "DTVI" section. 3 … 10 hold the offset's parts in sections written
// before the offset had a sub-stream of its own; they are only read.
enum : int {
    kParseMethod = 0,
    kParseFormat = 1,
    kDatasetFormat = 2,
    kYear = 3,
    kMonth = 4,
    kDay = 5,
    kHour = 6,
    kMinute = 7,
    kSecond = 8,
    kFraction = 9,
    kUnusedPart = 10,
    kAccuracy = 11,
    kOffset = 12
};

// "DTVI" version 1, thirteen sub-streams; only version 1 is read.
const Section& StreamSection() {
    static const Section section("DTVI", 1, 13);
    return section;
}

// Seconds per unit of accuracies 0 … 5 (a year is 360 days, a month 30 days).
constexpr double kSecondsPerUnit[] = {31104000.0, 2592000.0, 86400.0, 3600.0, 60.0, 1.0};

bool HasUnit(int accuracy) { return accuracy >= ZoTimeUtl::eAccuracyYear && accuracy <= ZoTimeUtl::eAccuracySecond; }

bool IsEmptyText(const char* text) { return text == nullptr || *text == '\0'; }

// The stored parse method, mapped into the enum: every value without a parser behaves as 3.
eParseType ParseMethodFromStored(short stored) {
    return stored >= ZoTimeUtl::eParseUsingLocale && stored <= ZoTimeUtl::eNoParse ? static_cast<eParseType>(stored)
                                                                                   : ZoTimeUtl::eNoParse;
}

// The stored accuracy, mapped into the enum: every value without a unit behaves as 6.
eTimeAccuracy AccuracyFromStored(short stored) {
    return stored >= ZoTimeUtl::eAccuracyYear && stored <= ZoTimeUtl::eNoAccuracy ? static_cast<eTimeAccuracy>(stored)
                                                                                  : ZoTimeUtl::eNoAccuracy;
}

// One part of an old offset: the sub-stream's 4-byte value, 0 when absent or unreadable.
template <typename Int>
Int ReadPart(SectionInput& in, int k) {
    Int value = 0;
    in.Optional(k, value);
    return value;
}
}  // namespace

const ZStreamableData& DateTimeVariableInfo::StreamData() { return StreamSection().Data(); }

DateTimeVariableInfo::DateTimeVariableInfo() = default;

DateTimeVariableInfo::DateTimeVariableInfo(const CString& id, unsigned long uniqueID, eParseType parseMethod,
                                           CString parseFormat, CString datasetFormat, SimpDateTime offset,
                                           eTimeAccuracy accuracy)
    : VariableInfo(id, uniqueID, CString(), -1, -1, eVarTypeDefault),
      mParseMethod(parseMethod),
      mParseFormat(std::move(parseFormat)),
      mDatasetFormat(std::move(datasetFormat)),
      mOffset(offset),
      mAccuracy(accuracy) {}

DateTimeVariableInfo::DateTimeVariableInfo(const std::vector<CString>& ids, unsigned long uniqueID,
                                           eParseType parseMethod, CString parseFormat, CString datasetFormat,
                                           SimpDateTime offset, eTimeAccuracy accuracy)
    : VariableInfo(ids, uniqueID, eVarTypeDefault, CString(), -1, -1, kMissingValue),
      mParseMethod(parseMethod),
      mParseFormat(std::move(parseFormat)),
      mDatasetFormat(std::move(datasetFormat)),
      mOffset(offset),
      mAccuracy(accuracy) {}

DateTimeVariableInfo::DateTimeVariableInfo(const DateTimeVariableInfo& other)
    : ZStreamBase(other),
      VariableInfo(other),
      mSection(other.mSection),
      mParseMethod(other.mParseMethod),
      mParseFormat(other.mParseFormat),
      mDatasetFormat(other.mDatasetFormat),
      mOffset(other.mOffset),
      mAccuracy(other.mAccuracy) {}

DateTimeVariableInfo& DateTimeVariableInfo::operator=(const DateTimeVariableInfo& other) {
    if (this == &other) return *this;
    VariableInfo::operator=(other);
    mSection = other.mSection;
    CopySettings(other);
    return *this;
}

DateTimeVariableInfo::~DateTimeVariableInfo() = default;

DateTimeVariableInfo* DateTimeVariableInfo::Clone() const { return new DateTimeVariableInfo(*this); }

void DateTimeVariableInfo::CopySettings(const DateTimeVariableInfo& other) {
    mParseMethod = other.mParseMethod;
    mParseFormat = other.mParseFormat;
    mDatasetFormat = other.mDatasetFormat;
    mOffset = other.mOffset;
    mAccuracy = other.mAccuracy;
}

bool DateTimeVariableInfo::operator==(const DateTimeVariableInfo& other) const {
    return mParseMethod == other.mParseMethod && mParseFormat.Compare(other.mParseFormat) == 0 &&
           mDatasetFormat.Compare(other.mDatasetFormat) == 0 && mOffset == other.mOffset &&
           mAccuracy == other.mAccuracy;
}

float DateTimeVariableInfo::GetTimeDiff(const SimpDateTime& from, const SimpDateTime& to) const {
    double seconds = (to - from).TotalSeconds();
    if (mAccuracy >= ZoTimeUtl::eAccuracyYear && mAccuracy <= ZoTimeUtl::eAccuracyMinute)
        seconds /= kSecondsPerUnit[mAccuracy];
    // Beyond the float range the result is an infinity, which the encoder rejects.
    if (std::isfinite(seconds) && std::fabs(seconds) > static_cast<double>(kUnencodableValue))
        return seconds > 0 ? HUGE_VALF : -HUGE_VALF;
    return static_cast<float>(seconds);
}

float DateTimeVariableInfo::EncodeParsed(const SimpDateTime& parsed) const {
    const float difference = GetTimeDiff(mOffset, parsed);
    const int kind = std::fpclassify(difference);
    if (kind == FP_NAN || kind == FP_INFINITE || kind == FP_SUBNORMAL) return kUnencodableValue;
    return difference;
}

float DateTimeVariableInfo::Encode(const char* text) const {
    if (IsEmptyText(text)) return kMissingValue;
    SimpDateTime parsed;
    switch (mParseMethod) {
        case ZoTimeUtl::eParseUsingLocale: {
            CString message;
            parsed = SimpDateTime::ParseUsingLocale(text, message);
            break;
        }
        case ZoTimeUtl::eParseUsingAscTime:
            parsed = SimpDateTime::ParseUsingAscTime(text);
            break;
        case ZoTimeUtl::eParseExact:
            parsed = SimpDateTime::ParseExact(text, mParseFormat);
            break;
        default:
            return kUnencodableValue;
    }
    if (!parsed.IsValid()) return kUnencodableValue;
    return EncodeParsed(parsed);
}

float DateTimeVariableInfo::EncodeCustom(const CString& format, const char* text) const {
    const SimpDateTime parsed = SimpDateTime::ParseExact(text ? text : "", format);
    if (!parsed.IsValid()) return kUnencodableValue;
    if (IsEmptyText(text)) return kMissingValue;
    return EncodeParsed(parsed);
}

std::string DateTimeVariableInfo::Decode(float value) const {
    if (value == kMissingValue) return std::string();
    const long double seconds = ToSeconds(value);
    return (mOffset + SimpDuration(static_cast<double>(seconds))).ToLocalString(mDatasetFormat);
}

long double DateTimeVariableInfo::ToSeconds(float value) const {
    if (value == kMissingValue || !HasUnit(mAccuracy)) return kMissingValue;
    return static_cast<long double>(value) * kSecondsPerUnit[mAccuracy];
}

void DateTimeVariableInfo::GetMaximumSaveTimeUnitAndTime(eTimeAccuracy& unit, float& length) const {
    switch (mAccuracy) {
        case ZoTimeUtl::eAccuracyYear:
        case ZoTimeUtl::eAccuracyMonth:
        case ZoTimeUtl::eAccuracyDay:
            unit = ZoTimeUtl::eNoAccuracy;
            length = kMissingValue;
            break;
        case ZoTimeUtl::eAccuracyHour:
            unit = ZoTimeUtl::eAccuracyYear;
            length = 114.0f;
            break;
        case ZoTimeUtl::eAccuracyMinute:
            unit = ZoTimeUtl::eAccuracyMonth;
            length = 23.0f;
            break;
        case ZoTimeUtl::eAccuracySecond:
            // A float holds about 7 digits: milliseconds leave room for 16 minutes only.
            if (std::strstr(mDatasetFormat, "fff") != nullptr) {
                unit = ZoTimeUtl::eAccuracyMinute;
                length = 16.0f;
            } else {
                unit = ZoTimeUtl::eAccuracyDay;
                length = 11.0f;
            }
            break;
        default:
            break;
    }
}

bool DateTimeVariableInfo::IsValidTimeRange(float value) const {
    // Starts from "no span", which only the accuracies with a unit change.
    eTimeAccuracy unit = ZoTimeUtl::eNoAccuracy;
    float length = 0.0f;
    GetMaximumSaveTimeUnitAndTime(unit, length);
    if (unit == ZoTimeUtl::eNoAccuracy && length == kMissingValue) return true;
    if (!HasUnit(mAccuracy) || !HasUnit(unit)) return false;
    const long double seconds = static_cast<long double>(value) * kSecondsPerUnit[mAccuracy];
    const long double inSpanUnit = seconds / kSecondsPerUnit[unit];
    return std::fabs(inSpanUnit) <= static_cast<long double>(length);
}

bool DateTimeVariableInfo::ZStreamableStartWrite(std::ostream& os) {
    if (!mSection.IsSet() && !mOffset.IsValid()) mOffset = SimpDateTime(0);
    const auto bases = [&] { return VariableInfo::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        out.Write(kParseMethod, static_cast<short>(mParseMethod));
        out.Write(kParseFormat, mParseFormat);
        out.Write(kDatasetFormat, mDatasetFormat);
        out.Write(kAccuracy, static_cast<short>(mAccuracy));
        mOffset.WriteToStream(out.Stream(kOffset));
    });
}

bool DateTimeVariableInfo::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] { return VariableInfo::ZStreamableStartRead(is); };
    return StreamSection().Read(is, mSection, bases, [&](SectionInput& in) {
        short stored = 0;
        if (in.Optional(kParseMethod, stored)) mParseMethod = ParseMethodFromStored(stored);
        in.Optional(kParseFormat, mParseFormat);
        in.Optional(kDatasetFormat, mDatasetFormat);
        if (in.Optional(kAccuracy, stored)) mAccuracy = AccuracyFromStored(stored);

        if (std::istream* offset = in.FindStream(kOffset)) {
            mOffset.ReadFromStream(*offset);
            return;
        }
        // Sections written before the offset had a sub-stream of its own: its parts, 0 when absent.
        std::int32_t year = ReadPart<std::int32_t>(in, kYear);
        std::int32_t month = ReadPart<std::int32_t>(in, kMonth);
        std::int32_t day = ReadPart<std::int32_t>(in, kDay);
        std::int32_t hour = ReadPart<std::int32_t>(in, kHour);
        std::int32_t minute = ReadPart<std::int32_t>(in, kMinute);
        std::int32_t second = ReadPart<std::int32_t>(in, kSecond);
        long fraction = ReadPart<long>(in, kFraction);
        ReadPart<std::int32_t>(in, kUnusedPart);
        if (year < 1) year = 1400;
        if (month < 1) month = 1;
        if (day < 1) day = 1;
        if (hour < 0) hour = 0;
        if (minute < 0) minute = 0;
        if (second < 0) second = 0;
        if (fraction < 0) fraction = 0;
        // Parts beyond 16 bits are kept out of range rather than wrapped into another date.
        const auto part = [](std::int32_t value) { return static_cast<short>(std::min<std::int32_t>(value, 32767)); };
        mOffset =
            SimpDateTime(part(year), part(month), part(day), part(hour), part(minute), part(second), fraction, true);
    });
}

void DateTimeVariableInfo::ZStreamableReset() {
    mSection.Reset();
    VariableInfo::ZStreamableReset();
}
