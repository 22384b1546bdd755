#include "tools/TextTable.h"

#include <algorithm>

void TextTable::Print(std::ostream& os, int indent) const {
    std::vector<std::size_t> widths(mHeader.size(), 0);
    const auto measure = [&widths](const std::vector<std::string>& row) {
        if (row.size() > widths.size()) widths.resize(row.size(), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    };
    measure(mHeader);
    for (const auto& row : mRows) measure(row);

    const std::string margin(static_cast<std::size_t>(indent), ' ');
    const auto printRow = [&](const std::vector<std::string>& row) {
        std::string line = margin;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const std::string cell = c < row.size() ? row[c] : std::string();
            line += cell;
            if (c + 1 < widths.size()) line += std::string(widths[c] - cell.size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        os << line << '\n';
    };
    printRow(mHeader);
    std::size_t total = 0;
    for (std::size_t w : widths) total += w + 2;
    os << margin << std::string(total > 2 ? total - 2 : 0, '-') << '\n';
    for (const auto& row : mRows) printRow(row);
}
