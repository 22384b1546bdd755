#include "interfaces/utility/SimpDateTime.h"

#include <cctype>
#include <cstring>
#include <limits>

#include "interfaces/utility/BinaryIO.h"

namespace ZoTimeUtl {

namespace pt = boost::posix_time;
namespace greg = boost::gregorian;

namespace {

constexpr std::int64_t kMicrosecondsPerDay = 86400LL * 1000000LL;
constexpr std::int64_t kInvalidCount = std::numeric_limits<std::int64_t>::min();
constexpr int kFirstYear = 1400;
constexpr int kLastYear = 9999;
constexpr const char* kDefaultFormat = "yyyy-MM-dd HH:mm:ss";

const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kWeekdayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

const greg::date& Epoch() {
    static const greg::date epoch(kFirstYear, 1, 1);
    return epoch;
}

// Largest valid count: the last microsecond of 9999-12-31.
std::int64_t MaxCount() {
    static const std::int64_t maxCount =
        ((greg::date(kLastYear, 12, 31) - Epoch()).days() + 1) * kMicrosecondsPerDay - 1;
    return maxCount;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool EqualNoCase(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Reads between `minDigits` and `maxDigits` decimal digits (as many as are there) at `pos`.
bool ReadNumber(const char* text, std::size_t& pos, int minDigits, int maxDigits, long& value) {
    value = 0;
    int digits = 0;
    while (digits < maxDigits && IsDigit(text[pos])) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits >= minDigits;
}

// 1–12 for a three-letter English month name at `text`, 0 when there is none.
int MonthFromName(const char* text) {
    if (std::strlen(text) < 3) return 0;
    for (int m = 0; m < 12; ++m) {
        if (EqualNoCase(text, kMonthNames[m], 3)) return m + 1;
    }
    return 0;
}

// The parts a parse collects; 12-hour clock values are combined at the end.
struct Parts {
    long year = kFirstYear, month = 1, day = 1, hour = 0, minute = 0, second = 0, microsecond = 0;
    long hour12 = -1;  // set by h / hh
    bool pm = false;

    SimpDateTime Make() const {
        long h = hour;
        if (hour12 >= 0) {
            if (hour12 < 1 || hour12 > 12) return SimpDateTime();
            h = hour12 % 12 + (pm ? 12 : 0);
        }
        // Every part was read with at most four digits (six for the fraction), so the narrowing is exact.
        return SimpDateTime(static_cast<short>(year), static_cast<short>(month), static_cast<short>(day),
                            static_cast<short>(h), static_cast<short>(minute), static_cast<short>(second), microsecond,
                            true);
    }
};

enum class TokenKind {
    Literal,
    Year4,
    Year2,
    MonthName,
    Month2,
    Month1,
    Day2,
    Day1,
    Hour2,
    Hour1,
    Hour12_2,
    Hour12_1,
    AmPm,
    Minute2,
    Minute1,
    Second2,
    Second1,
    Fraction
};

struct Token {
    TokenKind kind = TokenKind::Literal;
    std::size_t length = 1;  // characters of the format it covers; for Fraction also its digit count
};

// The longest token starting at format[pos].
Token TokenAt(const char* format, std::size_t pos) {
    const char c = format[pos];
    std::size_t run = 1;
    while (format[pos + run] == c) ++run;
    auto pick = [run](TokenKind two, TokenKind one) { return run >= 2 ? Token{two, 2} : Token{one, 1}; };
    switch (c) {
        case 'y':
            if (run >= 4) return {TokenKind::Year4, 4};
            if (run >= 2) return {TokenKind::Year2, 2};
            return {};
        case 'M':
            if (run >= 3) return {TokenKind::MonthName, 3};
            return pick(TokenKind::Month2, TokenKind::Month1);
        case 'd':
            return pick(TokenKind::Day2, TokenKind::Day1);
        case 'H':
            return pick(TokenKind::Hour2, TokenKind::Hour1);
        case 'h':
            return pick(TokenKind::Hour12_2, TokenKind::Hour12_1);
        case 'm':
            return pick(TokenKind::Minute2, TokenKind::Minute1);
        case 's':
            return pick(TokenKind::Second2, TokenKind::Second1);
        case 't':
            if (run >= 2) return {TokenKind::AmPm, 2};
            return {};
        case 'f':
            return {TokenKind::Fraction, run < 6 ? run : 6};
        default:
            return {};
    }
}

const char* FormatOrDefault(const char* format) {
    return (format == nullptr || *format == '\0') ? kDefaultFormat : format;
}

void AppendNumber(std::string& out, long value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
    out += digits;
}

}  // namespace

SimpDateTime::SimpDateTime() : mTime(pt::not_a_date_time) {}

SimpDateTime::SimpDateTime(std::int64_t count) : mTime(pt::not_a_date_time) {
    if (count < 0 || count > MaxCount()) return;
    try {
        mTime =
            pt::ptime(Epoch() + greg::days(count / kMicrosecondsPerDay), pt::microseconds(count % kMicrosecondsPerDay));
    } catch (const std::exception&) {
        mTime = pt::ptime(pt::not_a_date_time);
    }
}

SimpDateTime::SimpDateTime(short year, short month, short day, short hour, short minute, short second, long fraction,
                           bool fractionIsMicroseconds)
    : mTime(pt::not_a_date_time) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12 || day < 1) return;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return;
    const long fractionLimit = fractionIsMicroseconds ? 999999 : 999;
    if (fraction < 0 || fraction > fractionLimit) return;
    try {
        if (day > greg::gregorian_calendar::end_of_month_day(year, month)) return;
        const long microseconds = fractionIsMicroseconds ? fraction : fraction * 1000;
        mTime = pt::ptime(greg::date(year, month, day),
                          pt::hours(hour) + pt::minutes(minute) + pt::seconds(second) + pt::microseconds(microseconds));
    } catch (const std::exception&) {
        mTime = pt::ptime(pt::not_a_date_time);
    }
}

SimpDateTime::SimpDateTime(pt::ptime time) : mTime(pt::not_a_date_time) {
    if (time.is_special()) return;
    const std::int64_t count = (time - pt::ptime(Epoch())).total_microseconds();
    if (count >= 0 && count <= MaxCount()) mTime = time;
}

std::int64_t SimpDateTime::GetCount() const {
    if (!IsValid()) return 0;
    return (mTime - pt::ptime(Epoch())).total_microseconds();
}

std::int64_t SimpDateTime::Key() const { return IsValid() ? GetCount() : kInvalidCount; }

SimpDateTime SimpDateTime::operator+(const SimpDuration& duration) const {
    if (!IsValid() || !duration.IsValid()) return SimpDateTime();
    std::int64_t sum = 0;
    if (__builtin_add_overflow(GetCount(), duration.TotalMicroseconds(), &sum)) return SimpDateTime();
    return SimpDateTime(sum);
}

SimpDateTime SimpDateTime::operator-(const SimpDuration& duration) const { return *this + (-duration); }

SimpDuration SimpDateTime::operator-(const SimpDateTime& other) const {
    if (!IsValid() || !other.IsValid()) return SimpDuration(pt::time_duration(pt::not_a_date_time));
    return SimpDuration::FromMicroseconds(GetCount() - other.GetCount());
}

SimpDateTime SimpDateTime::ParseUsingLocale(const char* text, CString& message) {
    const std::string original = text ? text : "";
    auto fail = [&message, &original](const char* why) {
        message.Format("\"%s\" is not an ISO 8601 date or date-time: %s.", original.c_str(), why);
        return SimpDateTime();
    };

    std::size_t begin = 0, end = original.size();
    while (begin < end && IsBlank(original[begin])) ++begin;
    while (end > begin && IsBlank(original[end - 1])) --end;
    const std::string trimmed = original.substr(begin, end - begin);
    const char* s = trimmed.c_str();
    std::size_t pos = 0;

    Parts parts;
    if (!ReadNumber(s, pos, 4, 4, parts.year)) return fail("it does not start with a four-digit year");
    const bool extendedDate = s[pos] == '-';
    if (extendedDate) ++pos;
    if (!ReadNumber(s, pos, 2, 2, parts.month)) return fail("the month needs two digits");
    if (extendedDate && s[pos++] != '-') return fail("the day must follow a '-'");
    if (!ReadNumber(s, pos, 2, 2, parts.day)) return fail("the day needs two digits");

    if (s[pos] == 'T' || s[pos] == 't' || s[pos] == ' ') {
        ++pos;
        if (!ReadNumber(s, pos, 2, 2, parts.hour)) return fail("the hour needs two digits");
        const bool extendedTime = s[pos] == ':';
        bool hasSeconds = false;
        if (extendedTime ? s[pos] == ':' : IsDigit(s[pos])) {
            if (extendedTime) ++pos;
            if (!ReadNumber(s, pos, 2, 2, parts.minute)) return fail("the minute needs two digits");
            if (extendedTime ? s[pos] == ':' : IsDigit(s[pos])) {
                if (extendedTime) ++pos;
                if (!ReadNumber(s, pos, 2, 2, parts.second)) return fail("the second needs two digits");
                hasSeconds = true;
            }
        }
        if (s[pos] == '.' || s[pos] == ',') {
            if (!hasSeconds) return fail("only seconds may have a fraction");
            ++pos;
            if (!IsDigit(s[pos])) return fail("the fraction has no digits");
            long scale = 100000;
            for (; IsDigit(s[pos]); ++pos, scale /= 10) parts.microsecond += (s[pos] - '0') * scale;
        }
        if (s[pos] == 'Z' || s[pos] == 'z' || s[pos] == '+' || s[pos] == '-')
            return fail("time zones are not supported");
    }
    if (pos != trimmed.size()) return fail("unexpected text after the date");

    SimpDateTime result = parts.Make();
    if (!result.IsValid()) return fail("a part is out of range");
    message.Empty();
    return result;
}

SimpDateTime SimpDateTime::ParseUsingAscTime(const char* text) {
    if (text == nullptr) return SimpDateTime();
    std::size_t pos = 0;
    auto skipBlanks = [text, &pos]() {
        const std::size_t start = pos;
        while (text[pos] == ' ' || text[pos] == '\t') ++pos;
        return pos > start;
    };
    auto readName = [text, &pos](const char* const* names, int count) {
        if (std::strlen(text + pos) < 3) return 0;
        for (int i = 0; i < count; ++i) {
            if (EqualNoCase(text + pos, names[i], 3)) {
                pos += 3;
                return i + 1;
            }
        }
        return 0;
    };

    skipBlanks();
    if (readName(kWeekdayNames, 7) == 0 || !skipBlanks()) return SimpDateTime();
    Parts parts;
    parts.month = readName(kMonthNames, 12);
    if (parts.month == 0 || !skipBlanks()) return SimpDateTime();
    if (!ReadNumber(text, pos, 1, 2, parts.day) || !skipBlanks()) return SimpDateTime();
    if (!ReadNumber(text, pos, 2, 2, parts.hour) || text[pos++] != ':') return SimpDateTime();
    if (!ReadNumber(text, pos, 2, 2, parts.minute) || text[pos++] != ':') return SimpDateTime();
    if (!ReadNumber(text, pos, 2, 2, parts.second) || !skipBlanks()) return SimpDateTime();
    if (!ReadNumber(text, pos, 4, 4, parts.year)) return SimpDateTime();
    while (IsBlank(text[pos])) ++pos;
    if (text[pos] != '\0') return SimpDateTime();
    return parts.Make();
}

SimpDateTime SimpDateTime::ParseExact(const char* text, const char* format) {
    if (text == nullptr) return SimpDateTime();
    format = FormatOrDefault(format);
    Parts parts;
    std::size_t ti = 0;
    for (std::size_t fi = 0; format[fi] != '\0';) {
        const Token token = TokenAt(format, fi);
        bool ok = true;
        switch (token.kind) {
            case TokenKind::Literal:
                ok = text[ti] == format[fi];
                ti += ok ? 1 : 0;
                break;
            case TokenKind::Year4:
                ok = ReadNumber(text, ti, 4, 4, parts.year);
                break;
            case TokenKind::Year2:
                ok = ReadNumber(text, ti, 2, 2, parts.year);
                parts.year += parts.year < 50 ? 2000 : 1900;
                break;
            case TokenKind::MonthName:
                parts.month = MonthFromName(text + ti);
                ok = parts.month != 0;
                ti += ok ? 3 : 0;
                break;
            case TokenKind::Month2:
                ok = ReadNumber(text, ti, 2, 2, parts.month);
                break;
            case TokenKind::Month1:
                ok = ReadNumber(text, ti, 1, 2, parts.month);
                break;
            case TokenKind::Day2:
                ok = ReadNumber(text, ti, 2, 2, parts.day);
                break;
            case TokenKind::Day1:
                ok = ReadNumber(text, ti, 1, 2, parts.day);
                break;
            case TokenKind::Hour2:
                ok = ReadNumber(text, ti, 2, 2, parts.hour);
                break;
            case TokenKind::Hour1:
                ok = ReadNumber(text, ti, 1, 2, parts.hour);
                break;
            case TokenKind::Hour12_2:
                ok = ReadNumber(text, ti, 2, 2, parts.hour12);
                break;
            case TokenKind::Hour12_1:
                ok = ReadNumber(text, ti, 1, 2, parts.hour12);
                break;
            case TokenKind::AmPm:
                if (text[ti] != '\0' && EqualNoCase(text + ti, "AM", 2)) {
                    parts.pm = false;
                } else if (text[ti] != '\0' && EqualNoCase(text + ti, "PM", 2)) {
                    parts.pm = true;
                } else {
                    ok = false;
                }
                ti += ok ? 2 : 0;
                break;
            case TokenKind::Minute2:
                ok = ReadNumber(text, ti, 2, 2, parts.minute);
                break;
            case TokenKind::Minute1:
                ok = ReadNumber(text, ti, 1, 2, parts.minute);
                break;
            case TokenKind::Second2:
                ok = ReadNumber(text, ti, 2, 2, parts.second);
                break;
            case TokenKind::Second1:
                ok = ReadNumber(text, ti, 1, 2, parts.second);
                break;
            case TokenKind::Fraction: {
                const int digits = static_cast<int>(token.length);
                long value = 0;
                ok = ReadNumber(text, ti, digits, digits, value);
                for (int d = digits; d < 6; ++d) value *= 10;
                parts.microsecond = value;
                break;
            }
        }
        if (!ok) return SimpDateTime();
        fi += token.length;
    }
    if (text[ti] != '\0') return SimpDateTime();
    return parts.Make();
}

std::string SimpDateTime::ToLocalString(const char* format) const {
    if (!IsValid()) return std::string();
    format = FormatOrDefault(format);
    const greg::date::ymd_type ymd = mTime.date().year_month_day();
    const pt::time_duration timeOfDay = mTime.time_of_day();
    const long hour = timeOfDay.hours();
    const long hour12 = hour % 12 == 0 ? 12 : hour % 12;
    const long microsecond = static_cast<long>(timeOfDay.total_microseconds() % 1000000);

    std::string out;
    for (std::size_t fi = 0; format[fi] != '\0';) {
        const Token token = TokenAt(format, fi);
        switch (token.kind) {
            case TokenKind::Literal:
                out += format[fi];
                break;
            case TokenKind::Year4:
                AppendNumber(out, ymd.year, 4);
                break;
            case TokenKind::Year2:
                AppendNumber(out, ymd.year % 100, 2);
                break;
            case TokenKind::MonthName:
                out += kMonthNames[ymd.month - 1];
                break;
            case TokenKind::Month2:
                AppendNumber(out, ymd.month, 2);
                break;
            case TokenKind::Month1:
                AppendNumber(out, ymd.month, 1);
                break;
            case TokenKind::Day2:
                AppendNumber(out, ymd.day, 2);
                break;
            case TokenKind::Day1:
                AppendNumber(out, ymd.day, 1);
                break;
            case TokenKind::Hour2:
                AppendNumber(out, hour, 2);
                break;
            case TokenKind::Hour1:
                AppendNumber(out, hour, 1);
                break;
            case TokenKind::Hour12_2:
                AppendNumber(out, hour12, 2);
                break;
            case TokenKind::Hour12_1:
                AppendNumber(out, hour12, 1);
                break;
            case TokenKind::AmPm:
                out += hour < 12 ? "AM" : "PM";
                break;
            case TokenKind::Minute2:
                AppendNumber(out, timeOfDay.minutes(), 2);
                break;
            case TokenKind::Minute1:
                AppendNumber(out, timeOfDay.minutes(), 1);
                break;
            case TokenKind::Second2:
                AppendNumber(out, timeOfDay.seconds(), 2);
                break;
            case TokenKind::Second1:
                AppendNumber(out, timeOfDay.seconds(), 1);
                break;
            case TokenKind::Fraction: {
                long value = microsecond;
                for (std::size_t d = token.length; d < 6; ++d) value /= 10;
                AppendNumber(out, value, static_cast<int>(token.length));
                break;
            }
        }
        fi += token.length;
    }
    return out;
}

bool SimpDateTime::WriteToStream(std::ostream& os) const {
    const std::uint64_t bits = static_cast<std::uint64_t>(IsValid() ? GetCount() : kInvalidCount);
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    return WriteBytes(bytes, 8, os);
}

bool SimpDateTime::ReadFromStream(std::istream& is) {
    unsigned char bytes[8];
    if (!ReadBytes(bytes, 8, is)) return false;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[i];
    const auto count = static_cast<std::int64_t>(bits);
    if (count == kInvalidCount) {
        *this = SimpDateTime();
        return true;
    }
    const SimpDateTime value(count);
    if (!value.IsValid()) {
        is.setstate(std::ios::failbit);
        return false;
    }
    *this = value;
    return true;
}

}  // namespace ZoTimeUtl
