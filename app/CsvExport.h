#pragma once
// CsvExport: a dataset (or any container with values, such as a full compound dataset) written as
// delimited text that CsvImport reads back. The header row names the observation ID columns the
// container shows (their labels) and then the variables (their primary IDs); each further row is
// one observation: its ID texts, then its values.
//
// Values: quantitative values in the shortest text that reads back as the same float
// (std::to_chars); qualitative and date/time values as their texts (the variable's decoding);
// missing values as empty cells. Centred: every value is the centred number (the project's local
// centres subtracted), qualitative and date/time ones included. A cell is quoted when it holds
// the delimiter, a quote, a line break, or blanks at either end.

#include <ostream>

class NCFullDataContainerBase;

struct CsvExportOptions {
    bool centred = false;
    char delimiter = ',';
};

namespace CsvExport {

// Writes the whole container to `out`, with a progress display. Throws OperationCancelled.
void Write(const NCFullDataContainerBase& container, std::ostream& out, const CsvExportOptions& options);

}  // namespace CsvExport
