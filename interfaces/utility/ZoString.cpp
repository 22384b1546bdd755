#include "interfaces/utility/ZoString.h"

#include <locale.h>
#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips [sign] digits [. digits] [e [sign] digits]; null when no mantissa digit is present.
const char* SkipDecimalNumber(const char* p) {
    if (*p == '+' || *p == '-') ++p;
    bool digits = false;
    while (IsDigit(*p)) {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) {
            ++p;
            digits = true;
        }
    }
    if (!digits) return nullptr;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (!IsDigit(*exponent)) return nullptr;
        while (IsDigit(*exponent)) ++exponent;
        p = exponent;
    }
    return p;
}

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Switches the calling thread to the "C" locale for its lifetime.
class CLocaleScope {
public:
    CLocaleScope() : mPrevious(CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(nullptr)) {}
    ~CLocaleScope() {
        if (mPrevious) uselocale(mPrevious);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t mPrevious;
};

}  // namespace

namespace ZoString {

std::string Format(const char* format, ...) {
    if (!format) return std::string();
    const CLocaleScope cLocale;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    std::string result;
    if (length > 0) {
        result.resize(static_cast<std::size_t>(length));
        std::vsnprintf(&result[0], result.size() + 1, format, args);
    }
    va_end(args);
    return result;
}

std::string FormatStringVector(const char* separator, const std::vector<std::string>& items) {
    const std::string between = separator ? separator : "";
    std::string result;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) result += between;
        result += items[i];
    }
    return result;
}

bool ToFloat(const char* text, float& value) {
    if (!text) return false;
    const char* start = text;
    while (IsSpace(*start)) ++start;
    const char* end = SkipDecimalNumber(start);
    if (!end) return false;
    for (const char* rest = end; *rest; ++rest) {
        if (!IsSpace(*rest)) return false;
    }
    // Converted straight to float: one rounding, so 3.4028235e38 is the largest float, not infinity.
    const locale_t locale = CLocale();
    const float number = locale ? strtof_l(start, nullptr, locale) : std::strtof(start, nullptr);
    if (!std::isfinite(number)) return false;
    value = number;
    return true;
}

}  // namespace ZoString

char* zostrdup(const char* text) {
    if (!text) return nullptr;
    const std::size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

double zostrtod(const char* text, char** end) {
    if (!text) {
        if (end) *end = nullptr;
        return 0.0;
    }
    const locale_t locale = CLocale();
    if (locale) return strtod_l(text, end, locale);
    // Only when the "C" locale object could not be made (out of memory) does the process locale apply.
    return std::strtod(text, end);
}
