#include "interfaces/utility/CString.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

int CompareNoCase(const char* a, const char* b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a ? a : "");
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b ? b : "");
    for (;; ++x, ++y) {
        const int cx = std::tolower(*x);
        const int cy = std::tolower(*y);
        if (cx != cy) return cx - cy;
        if (cx == 0) return 0;
    }
}

bool IsBlank(const char* text) {
    if (!text) return true;
    for (; *text; ++text)
        if (!std::isspace(static_cast<unsigned char>(*text))) return false;
    return true;
}

int CString::Compare(const char* other) const { return std::strcmp(mText.c_str(), other ? other : ""); }

int CString::CompareNoCase(const char* other) const { return ::CompareNoCase(mText.c_str(), other); }

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format ? format : "", copy);
    va_end(copy);
    if (needed <= 0) {
        mText.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    mText.assign(buffer.data(), static_cast<size_t>(needed));
}

CString& CString::MakeUpper() {
    for (char& c : mText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::Trim() {
    const auto first = mText.find_first_not_of(" \t\r\n\f\v");
    if (first == std::string::npos) {
        mText.clear();
        return *this;
    }
    const auto last = mText.find_last_not_of(" \t\r\n\f\v");
    mText = mText.substr(first, last - first + 1);
    return *this;
}
