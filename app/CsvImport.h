#pragma once
// CsvImport: a delimited text file with a header row becomes one new dataset of a project.
//
// Every column is one of: an observation ID column, the batch ID column, the phase ID column, or
// a variable (quantitative unless named qualitative or date/time). The header gives the names.
//   - Observation IDs: the observation ID columns, in the order given, become the observations'
//     first ID columns (the first one their primary ID); without any, the primary ID is the row's
//     number in the file (1 for the first data row). Then the batch ID column and the phase ID
//     column, when named, as the observations' batch and phase ID columns.
//   - Quantitative cells are read in the C locale with std::from_chars ('.' as the decimal point,
//     an optional sign and exponent); an empty cell is missing (-99). Anything else, a value
//     beyond the float range included, is an error at that cell.
//   - Qualitative cells: each distinct text (ignoring case, as the variable's encoding does)
//     becomes a setting, in order of first appearance; blank cells are missing.
//   - Date/time cells are parsed with the column's format (SimpDateTime::ParseExact tokens), or as
//     ISO 8601 texts when the column has no format; they are stored in the chosen time unit from
//     the midnight before the column's earliest value; blank cells are missing.
// With a batch ID column the rows of one batch must be consecutive (a batch that appears again
// after another is an error); the dataset gets its batch list and phase list, every observation
// its phase number (the 1-based position of its phase name in the phase list) as default class,
// and the project's batch import settings name the batch and phase ID columns.
//
// Into a project that already has observations, the import must bring the same observation ID
// columns (their number and the positions of the batch and phase columns). A variable whose name
// (ignoring case) the project already has is reused when it is of the same kind: a qualitative
// one gains the settings it lacks; a date/time one must read dates with the same format, and its
// own time unit and offset apply. Other variables are new. Observations are always new records.
//
// The file is read completely and checked before the project changes at all: any error leaves
// the project as it was. Of several errors the one reported is the first in the file (by row,
// then the checks in the order above, then column). A file that changes while it is read is an
// error too. Errors throw CsvError (file, line, column and what is wrong); a
// cancellation through the progress display throws OperationCancelled.

#include <string>
#include <vector>

#include "interfaces/utility/SimpDateTime.h"

class ReferenceProject;

struct CsvImportOptions {
    struct DateTimeColumn {
        std::string name;
        std::string format;  // empty: ISO 8601
    };
    std::vector<std::string> observationIDColumns;
    std::string batchColumn;  // empty: none
    std::string phaseColumn;  // empty: none; needs a batch column
    std::vector<std::string> qualitativeColumns;
    std::vector<DateTimeColumn> dateTimeColumns;
    ZoTimeUtl::eTimeAccuracy timeUnit = ZoTimeUtl::eAccuracyMinute;  // of new date/time variables
    std::string datasetName;  // empty: the file's name without folder and extension
    char delimiter = ',';
    // How many readings go over the file side by side, each on a thread of its own and each
    // parsing a share of the columns: 0 for two on a machine of two cores or more, else one. The
    // result, errors included, is the same for any number.
    int readers = 0;
    static constexpr int kMostReaders = 8;
};

struct CsvImportSummary {
    int datasetNumber = 0;
    int observations = 0;
    int variables = 0;
    int qualitative = 0;
    int dateTime = 0;
    int batches = 0;
    int phases = 0;
    std::vector<std::string> reusedVariables;  // names of the project's variables that were reused
};

namespace CsvImport {

// Reads `path` into a new dataset of `project`, numbered one above the project's highest dataset
// number, and returns what was made. Shows a progress display while reading. Throws CsvError or
// OperationCancelled, leaving the project unchanged.
CsvImportSummary Import(ReferenceProject& project, const std::string& path, const CsvImportOptions& options);

// The time unit named "second", "minute", "hour" or "day" (also their plurals); false otherwise.
bool ParseTimeUnit(const std::string& name, ZoTimeUtl::eTimeAccuracy& unit);

}  // namespace CsvImport
