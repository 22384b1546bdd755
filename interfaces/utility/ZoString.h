#pragma once
// String helpers: formatting, joining and locale-independent number conversion.

#include <string>
#include <vector>

namespace ZoString {

// printf rules, output of any length, with the "C" locale's '.' as decimal point whatever the
// process's locale, so that numbers it writes read back with ToFloat and zostrtod. Null format gives "".
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The items joined with `separator` between neighbours (null separator counts as "").
std::string FormatStringVector(const char* separator, const std::vector<std::string>& items);

// True, with `value` set, when `text` is wholly one finite number that fits a float: optional
// white space, optional sign, digits with an optional '.' fraction (always '.', whatever the
// locale) and an optional exponent, optional white space. Hexadecimal, "nan", "inf", a decimal
// comma, trailing characters and values beyond the float range are rejected: false, and `value`
// keeps what it held. Values below the smallest float become 0 or a subnormal and are accepted.
bool ToFloat(const char* text, float& value);

}  // namespace ZoString

// A copy of `text` allocated with new[]; the caller delete[]s it. Null gives null.
char* zostrdup(const char* text);

// strtod with the "C" locale's rules whatever the process's locale ('.' is the decimal point).
// `end` (when not null) receives the first character not consumed, or `text` when none was.
double zostrtod(const char* text, char** end);
