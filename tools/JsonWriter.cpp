#include "tools/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

void JsonWriter::Indent() {
    mOut << '\n';
    for (std::size_t i = 0; i < mCounts.size(); ++i) mOut << "  ";
}

void JsonWriter::BeforeValue() {
    if (mAfterKey) {
        mAfterKey = false;
        return;
    }
    if (mCounts.empty()) return;
    if (mCounts.back()++ > 0) mOut << ',';
    Indent();
}

void JsonWriter::Close(char bracket) {
    const bool empty = mCounts.back() == 0;
    mCounts.pop_back();
    if (!empty) Indent();
    mOut << bracket;
    if (mCounts.empty()) mOut << '\n';
}

void JsonWriter::BeginObject() {
    BeforeValue();
    mOut << '{';
    mCounts.push_back(0);
}

void JsonWriter::EndObject() { Close('}'); }

void JsonWriter::BeginArray() {
    BeforeValue();
    mOut << '[';
    mCounts.push_back(0);
}

void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    Escaped(key);
    mOut << ": ";
    mAfterKey = true;
}

void JsonWriter::Escaped(std::string_view text) {
    mOut << '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                mOut << "\\\"";
                break;
            case '\\':
                mOut << "\\\\";
                break;
            case '\n':
                mOut << "\\n";
                break;
            case '\r':
                mOut << "\\r";
                break;
            case '\t':
                mOut << "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char code[8];
                    std::snprintf(code, sizeof code, "\\u%04x", static_cast<unsigned>(c));
                    mOut << code;
                } else {
                    mOut << c;
                }
        }
    }
    mOut << '"';
}

void JsonWriter::String(std::string_view text) {
    BeforeValue();
    Escaped(text);
}

void JsonWriter::Int(long long value) {
    BeforeValue();
    mOut << value;
}

void JsonWriter::Number(double value) {
    BeforeValue();
    if (!std::isfinite(value)) {
        mOut << "null";
        return;
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    mOut.write(text, result.ptr - text);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    mOut << (value ? "true" : "false");
}

void JsonWriter::Null() {
    BeforeValue();
    mOut << "null";
}
