#pragma once
// TextTable: a plain-text table with a header row, columns padded to their widest cell.

#include <ostream>
#include <string>
#include <vector>

class TextTable {
public:
    explicit TextTable(std::vector<std::string> header) : mHeader(std::move(header)) {}

    void AddRow(std::vector<std::string> row) { mRows.push_back(std::move(row)); }
    // Writes the header, a rule and every row, each line indented by `indent` spaces.
    void Print(std::ostream& os, int indent = 2) const;

private:
    std::vector<std::string> mHeader;
    std::vector<std::vector<std::string>> mRows;
};
