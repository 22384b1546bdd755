#pragma once
// JsonWriter: writes one JSON value, indented by two spaces per level, straight to a stream.
// The caller pairs every Begin with its End and gives each member of an object its Key first;
// the writer places commas and escapes strings (UTF-8 text is passed through unchanged).

#include <ostream>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : mOut(out) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view key);
    void String(std::string_view text);
    void Int(long long value);
    // A finite number in its shortest form; NaN and infinities are written as null.
    void Number(double value);
    void Bool(bool value);
    void Null();

private:
    void BeforeValue();
    void Close(char bracket);
    void Indent();
    void Escaped(std::string_view text);

    std::ostream& mOut;
    std::vector<int> mCounts;  // values written so far at each open level
    bool mAfterKey = false;
};
