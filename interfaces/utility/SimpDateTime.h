#pragma once
// ZoTimeUtl::SimpDateTime: a point in (local, zone-less) time with microsecond resolution, from
// 1400-01-01 00:00:00 to 9999-12-31 23:59:59.999999. Its invalid value is not_a_date_time: it is what
// the default constructor, a failed parse, impossible date parts and arithmetic that leaves the
// range give. Nothing in this class throws.
//
// Formats of ParseExact and ToLocalString are made of these tokens, the longest one taken at each
// position, everything else literal (compared byte for byte when parsing):
//   yyyy  four-digit year            yy  two-digit year: parsing gives 2000+yy below 50, else 1900+yy
//   MMM   Jan … Dec (parsing ignores case)   MM / M  month, two digits / one or two digits
//   dd / d   day                     HH / H  hour 0–23
//   hh / h   hour 1–12 of the 12-hour clock; with tt the half of the day, without tt parsing takes AM
//   tt    AM or PM (parsing ignores case; it only matters together with hh or h)
//   mm / m   minute                  ss / s  second
//   f … ffffff   that many leading digits of the fraction of a second (formatting truncates)
// A two-letter numeric token takes exactly two digits, a one-letter one one or two. An empty or
// null format means "yyyy-MM-dd HH:mm:ss". Parts that a parse format lacks default to
// 1400-01-01 00:00:00.000000.

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include "interfaces/utility/CString.h"
#include "interfaces/utility/SimpDuration.h"

namespace ZoTimeUtl {

// How a text is turned into a SimpDateTime. The values are persisted.
enum eParseType { eParseUsingLocale = 0, eParseUsingAscTime = 1, eParseExact = 2, eNoParse = 3 };

// The unit in which a time span is counted. The values are persisted.
enum eTimeAccuracy {
    eAccuracyYear = 0,
    eAccuracyMonth = 1,
    eAccuracyDay = 2,
    eAccuracyHour = 3,
    eAccuracyMinute = 4,
    eAccuracySecond = 5,
    eNoAccuracy = 6
};

class SimpDateTime {
public:
    // Invalid (not_a_date_time).
    SimpDateTime();
    // `count` microseconds after 1400-01-01 00:00:00; invalid when that is outside the range.
    explicit SimpDateTime(std::int64_t count);
    // Invalid when the parts do not make a date and time of the range (month 1–12, a day of that
    // month, hour 0–23, minute and second 0–59). `fraction` is in microseconds (0–999999), or in
    // milliseconds (0–999) when `fractionIsMicroseconds` is false.
    SimpDateTime(short year, short month, short day, short hour, short minute, short second, long fraction,
                 bool fractionIsMicroseconds = true);
    // Any special value (infinities included) becomes not_a_date_time; so does a time outside the range.
    explicit SimpDateTime(boost::posix_time::ptime time);

    bool IsValid() const { return !mTime.is_special(); }
    // Microseconds since 1400-01-01 00:00:00; 0 for an invalid value.
    std::int64_t GetCount() const;
    boost::posix_time::ptime Get() const { return mTime; }

    // ISO 8601 calendar date, alone or with a time: "2000-01-02", "20000102", "2000-01-02T06:00",
    // "2000-01-02 06:00:00.5", "20000102T060000", "2000-01-02T06:00:00,25". Extended (with
    // separators) and basic forms may be mixed; the fraction may have any number of digits and is
    // truncated to microseconds; white space around the text is ignored. Time zone designators are
    // refused, as this type has no zone. On failure the result is invalid and `message` says why;
    // on success `message` is emptied.
    static SimpDateTime ParseUsingLocale(const char* text, CString& message);
    // The C asctime layout "Www Mmm dd hh:mm:ss yyyy", e.g. "Sun Jan  2 06:00:00 2000": fields are
    // separated by runs of blanks (so a space-padded day is accepted), names ignore case, a
    // trailing newline or blanks are allowed. The weekday must be a weekday name but is not checked
    // against the date.
    static SimpDateTime ParseUsingAscTime(const char* text);
    // `text` must match `format` (tokens above) completely; invalid otherwise or when a part is
    // out of range.
    static SimpDateTime ParseExact(const char* text, const char* format);

    // The value written with `format` (tokens above); "" for an invalid value.
    std::string ToLocalString(const char* format) const;

    // Invalid when either operand is invalid or the result leaves the range.
    SimpDateTime operator+(const SimpDuration& duration) const;
    SimpDateTime operator-(const SimpDuration& duration) const;
    // not_a_date_time when either operand is invalid.
    SimpDuration operator-(const SimpDateTime& other) const;

    // A total order: all invalid values are equal and come before every valid one.
    bool operator==(const SimpDateTime& other) const { return Key() == other.Key(); }
    bool operator!=(const SimpDateTime& other) const { return Key() != other.Key(); }
    bool operator<(const SimpDateTime& other) const { return Key() < other.Key(); }
    bool operator<=(const SimpDateTime& other) const { return Key() <= other.Key(); }
    bool operator>(const SimpDateTime& other) const { return Key() > other.Key(); }
    bool operator>=(const SimpDateTime& other) const { return Key() >= other.Key(); }

    // 8 bytes: the count as a little-endian 64-bit integer; an invalid value is written as INT64_MIN.
    bool WriteToStream(std::ostream& os) const;
    // Reads those 8 bytes. False, with the value unchanged, on a short read or a count outside the
    // range other than INT64_MIN (the stream then fails); INT64_MIN reads as the invalid value.
    bool ReadFromStream(std::istream& is);

private:
    std::int64_t Key() const;

    boost::posix_time::ptime mTime;
};

}  // namespace ZoTimeUtl
