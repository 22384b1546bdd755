#pragma once
// CString: the narrow string class in which IDs, names and settings travel through the library.
// A small value class over std::string; comparison is exact unless a NoCase member is used.

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : mText(text ? text : "") {}  // null gives the empty string
    CString(const std::string& text) : mText(text) {}
    CString(std::string&& text) : mText(std::move(text)) {}

    operator const char*() const { return mText.c_str(); }
    const char* c_str() const { return mText.c_str(); }
    const std::string& GetString() const { return mText; }

    bool IsEmpty() const { return mText.empty(); }
    int GetLength() const { return static_cast<int>(mText.size()); }
    void Empty() { mText.clear(); }

    // 0 when equal, negative or positive like strcmp.
    int Compare(const char* other) const;
    // Like Compare, ignoring ASCII case.
    int CompareNoCase(const char* other) const;

    // printf rules, any length; replaces the content.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);

    CString& MakeUpper();
    // Removes leading and trailing white space.
    CString& Trim();

    CString& operator+=(const char* text) {
        mText += text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& text) {
        mText += text.mText;
        return *this;
    }

    friend bool operator==(const CString& a, const CString& b) { return a.mText == b.mText; }
    friend bool operator!=(const CString& a, const CString& b) { return a.mText != b.mText; }
    friend bool operator<(const CString& a, const CString& b) { return a.mText < b.mText; }
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.mText + b.mText); }

private:
    std::string mText;
};

// Case-insensitive comparison of two narrow texts (ASCII), like _stricmp; null counts as "".
int CompareNoCase(const char* a, const char* b);
// True when the text is empty, null or holds only white space.
bool IsBlank(const char* text);
