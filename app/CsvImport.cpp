#include "app/CsvImport.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <exception>
#include <filesystem>
#include <future>
#include <limits>
#include <memory>
#include <string_view>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <utility>

#include <boost/shared_ptr.hpp>

#include "app/CsvReader.h"
#include "app/OperationCancelled.h"
#include "app/ReferenceProject.h"
#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/notification/NCProgress.h"
#include "interfaces/utility/CString.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/InfosByUserID.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kMissingValue;
using ZoTimeUtl::SimpDateTime;

namespace {

constexpr const char* kDefaultDateTimeFormat = "yyyy-MM-dd HH:mm:ss";
// Rows between two progress updates.
constexpr long long kProgressRows = 8192;
// The most rows a dataset holds.
constexpr long long kMostRows = (1LL << 31) - 2;

enum class Role { kObservationID, kBatch, kPhase, kQuantitative, kQualitative, kDateTime };

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Distinct texts in order of first appearance, each row holding the 0-based index of its text.
// Keys are compared exactly or ignoring case; the last text is kept to skip the lookup for runs.
class TextTable {
public:
    explicit TextTable(bool ignoreCase) : mIgnoreCase(ignoreCase) {}

    // The index of `text`, added when new; `added` tells which.
    int Find(std::string_view text, bool& added) {
        added = false;
        if (mLast >= 0 && text == mLastText) return mLast;
        const std::string key = mIgnoreCase ? Lower(text) : std::string(text);
        auto found = mIndex.find(key);
        if (found == mIndex.end()) {
            found = mIndex.emplace(key, static_cast<int>(mTexts.size())).first;
            mTexts.emplace_back(text);
            added = true;
        }
        mLast = found->second;
        mLastText.assign(text);
        return mLast;
    }
    const std::vector<std::string>& Texts() const { return mTexts; }

private:
    bool mIgnoreCase;
    std::vector<std::string> mTexts;
    std::unordered_map<std::string, int> mIndex;
    int mLast = -1;
    std::string mLastText;
};

struct Column {
    std::string name;
    Role role = Role::kQuantitative;
    int cell = 0;                    // 0-based position in a record
    int variable = 0;                // variables: 1-based column of the dataset's matrix
    std::vector<std::string> texts;  // date/time texts
    std::unique_ptr<TextTable> table;
    std::string format;                         // date/time; empty: ISO 8601
    SimpDateTime earliest;                      // date/time: earliest valid value (invalid: none yet)
    const VariableInfo* existing = nullptr;     // the project's variable of that name, reused
    std::unique_ptr<VariableInfo> created;      // the new variable, when not reused
    std::vector<std::string> settingsToAppend;  // qualitative, reused: settings the record lacks
};

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string UnitName(ZoTimeUtl::eTimeAccuracy unit) {
    switch (unit) {
        case ZoTimeUtl::eAccuracySecond:
            return "second";
        case ZoTimeUtl::eAccuracyMinute:
            return "minute";
        case ZoTimeUtl::eAccuracyHour:
            return "hour";
        case ZoTimeUtl::eAccuracyDay:
            return "day";
        default:
            return "other";
    }
}

// A number in the C locale: an optional sign, digits with '.', an optional exponent; finite.
bool ParseNumber(std::string_view text, float& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin < end && *begin == '+') {
        ++begin;
        if (begin < end && *begin == '-') return false;
    }
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

SimpDateTime ParseDateTime(const std::string& text, const std::string& format) {
    if (!format.empty()) return SimpDateTime::ParseExact(text.c_str(), format.c_str());
    CString message;
    return SimpDateTime::ParseUsingLocale(text.c_str(), message);
}

class Importer {
public:
    Importer(ReferenceProject& project, const std::string& path, const CsvImportOptions& options)
        : mProject(project), mPath(path), mOptions(options), mReader(path, options.delimiter) {}

    CsvImportSummary Run();

private:
    [[noreturn]] void FailAtHeader(int column, const std::string& problem) const {
        throw CsvError(mPath, mHeaderLine, column, column > 0 ? mHeader[column - 1] : std::string(), problem);
    }
    void ReadHeader();
    void AssignRoles();
    void CheckAgainstProject();
    struct Reading;
    void ReadRows();
    void PlanReadings();
    // Reads the rows with `reading`; at most `capacity` of them fit. The first failure is kept in
    // the reading. With `progress`, shows how far the readings have come and stops when cancelled.
    void Read(Reading& reading, long long capacity, NCProgress* progress);
    bool ReportProgress(NCProgress& progress);
    // Makes the observation record of a row (IDs, batch, phase), checking that batches are consecutive.
    void ReadRecordIDs(long long row, long long line, const std::vector<std::string_view>& cells, int& lastBatch,
                       std::vector<CString>& ids);
    void ReadOtherVariable(Column& column, std::size_t row, long long line, std::string_view cell);
    void PrepareVariables();
    CsvImportSummary Commit();

    ReferenceProject& mProject;
    std::string mPath;
    const CsvImportOptions& mOptions;
    CsvReader mReader;
    long long mHeaderLine = 1;
    std::vector<std::string> mHeader;
    std::vector<Column> mColumns;
    std::vector<int> mObservationIDColumns;  // indices into mColumns, in alias order
    int mBatchColumn = -1;
    int mPhaseColumn = -1;
    std::vector<int> mVariableColumns;  // in file order
    int mAliasCount = 0;
    int mBatchAlias = -1;
    int mPhaseAlias = -1;
    long long mRows = 0;
    // The dataset's values, written in place as the rows are read: as many rows as the file has
    // lines at most, cut to the rows read at the end.
    NCDataMatrix<float> mData;
    std::vector<long long> mLines;  // line of each row; kept only when date/time columns need it
    std::vector<std::unique_ptr<ObservationInfo>> mRecords;  // one per row, without their unique IDs yet
    std::vector<std::unique_ptr<Reading>> mReadings;
    // Readings stop after this row: the first row at which one of them failed (-1 when cancelled).
    std::atomic<long long> mStopRow{std::numeric_limits<long long>::max()};
    std::atomic<bool> mCancelled{false};
};

void Importer::ReadHeader() {
    std::vector<std::string_view> cells;
    if (!mReader.ReadRecord(cells))
        throw CsvError(mPath, 0, 0, "", "the file is empty; a header row with the column names is expected");
    mHeaderLine = mReader.GetLine();
    mHeader.assign(cells.begin(), cells.end());
    std::unordered_map<std::string, int> seen;
    for (std::size_t c = 0; c < mHeader.size(); ++c) {
        const int column = static_cast<int>(c) + 1;
        if (mHeader[c].empty()) FailAtHeader(column, "the header row has an empty column name");
        const auto [where, added] = seen.emplace(Lower(mHeader[c]), column);
        if (!added)
            FailAtHeader(column, "the column name " + Quote(mHeader[c]) + " is also the name of column " +
                                     std::to_string(where->second) + " (names are compared ignoring case)");
    }
}

void Importer::AssignRoles() {
    const auto find = [this](const std::string& name, const char* option) {
        for (std::size_t c = 0; c < mHeader.size(); ++c)
            if (mHeader[c] == name) return static_cast<int>(c);
        throw CsvError(mPath, mHeaderLine, 0, "",
                       std::string(option) + " names the column " + Quote(name) +
                           ", which the header row does not have; its columns are: " + JoinNames(mHeader));
    };
    mColumns.resize(mHeader.size());
    for (std::size_t c = 0; c < mHeader.size(); ++c) {
        mColumns[c].name = mHeader[c];
        mColumns[c].cell = static_cast<int>(c);
    }
    std::vector<const char*> assigned(mHeader.size(), nullptr);
    const auto assign = [&](int c, Role role, const char* option) {
        if (assigned[c])
            throw CsvError(mPath, mHeaderLine, c + 1, mHeader[c],
                           std::string("the column is named by both ") + assigned[c] + " and " + option);
        assigned[c] = option;
        mColumns[c].role = role;
    };
    for (const std::string& name : mOptions.observationIDColumns) {
        const int c = find(name, "--id");
        assign(c, Role::kObservationID, "--id");
        mObservationIDColumns.push_back(c);
    }
    if (!mOptions.phaseColumn.empty() && mOptions.batchColumn.empty())
        throw CsvError(mPath, 0, 0, "", "a phase ID column needs a batch ID column: phases are phases of batches");
    if (!mOptions.batchColumn.empty()) {
        mBatchColumn = find(mOptions.batchColumn, "--batch");
        assign(mBatchColumn, Role::kBatch, "--batch");
        mColumns[mBatchColumn].table = std::make_unique<TextTable>(false);
    }
    if (!mOptions.phaseColumn.empty()) {
        mPhaseColumn = find(mOptions.phaseColumn, "--phase");
        assign(mPhaseColumn, Role::kPhase, "--phase");
        mColumns[mPhaseColumn].table = std::make_unique<TextTable>(true);
    }
    for (const std::string& name : mOptions.qualitativeColumns) {
        const int c = find(name, "--qualitative");
        assign(c, Role::kQualitative, "--qualitative");
        mColumns[c].table = std::make_unique<TextTable>(true);
    }
    for (const auto& dateTime : mOptions.dateTimeColumns) {
        const int c = find(dateTime.name, "--datetime");
        assign(c, Role::kDateTime, "--datetime");
        mColumns[c].format = dateTime.format;
    }
    for (std::size_t c = 0; c < mColumns.size(); ++c) {
        const Role role = mColumns[c].role;
        if (role == Role::kQuantitative || role == Role::kQualitative || role == Role::kDateTime) {
            mVariableColumns.push_back(static_cast<int>(c));
            mColumns[c].variable = static_cast<int>(mVariableColumns.size());
        }
    }
    mAliasCount = std::max<int>(1, static_cast<int>(mObservationIDColumns.size()));
    if (mBatchColumn >= 0) mBatchAlias = ++mAliasCount;
    if (mPhaseColumn >= 0) mPhaseAlias = ++mAliasCount;
}

std::string DescribeAliases(int count, int batch, int phase) {
    std::string text = std::to_string(count) + " ID column" + (count == 1 ? "" : "s");
    if (batch > 0) text += ", the batch in ID column " + std::to_string(batch);
    if (phase > 0) text += ", the phase in ID column " + std::to_string(phase);
    return text;
}

void Importer::CheckAgainstProject() {
    const NCObservations& observations = mProject.GetObservations();
    if (observations.GetNumberOfVarObs() > 0) {
        std::vector<int> all;
        for (int k = 1; k <= observations.SizeAliases(); ++k) all.push_back(k);
        const int batch = observations.GetBatchID(all);
        const int phase = observations.GetPhaseID(all);
        if (observations.SizeAliases() != mAliasCount || batch != mBatchAlias || phase != mPhaseAlias)
            throw CsvError(mPath, 0, 0, "",
                           "the project's observations have " +
                               DescribeAliases(observations.SizeAliases(), batch, phase) +
                               ", this file would give them " + DescribeAliases(mAliasCount, mBatchAlias, mPhaseAlias) +
                               "; name the same observation ID, batch and phase columns as the earlier imports");
    }
    const boost::shared_ptr<InfosByUserID> byName = mProject.GetVariables().GetInfosByUserID(1);
    for (const int c : mVariableColumns) {
        Column& column = mColumns[c];
        const VarObsInfo* found = byName ? byName->GetInfo(column.name.c_str()) : nullptr;
        const VariableInfo* existing = found ? found->AsVariableInfo() : nullptr;
        if (!existing || existing->GetUniqueID() == NCVariables::GetConstantInfoID()) continue;
        const bool qualitative = existing->AsQualitativeVariableInfo() != nullptr;
        const DateTimeVariableInfo* dateTime = existing->AsDateTimeVariableInfo();
        const bool sameKind = column.role == Role::kQualitative ? qualitative
                              : column.role == Role::kDateTime  ? dateTime != nullptr
                                                                : !qualitative && !dateTime;
        const char* kind = qualitative ? "qualitative" : dateTime ? "date/time" : "quantitative";
        if (!sameKind)
            throw CsvError(mPath, mHeaderLine, c + 1, column.name,
                           std::string("the project already has a ") + kind +
                               " variable of this name; import the column as " + kind + " or rename it");
        if (dateTime) {
            const bool exact = dateTime->GetParseMethod() == ZoTimeUtl::eParseExact;
            const std::string format = exact ? dateTime->GetParseFormatString().GetString() : std::string();
            if (format != column.format || (!exact && dateTime->GetParseMethod() != ZoTimeUtl::eParseUsingLocale))
                throw CsvError(mPath, mHeaderLine, c + 1, column.name,
                               "the project's date/time variable of this name reads dates " +
                                   (exact ? "with the format " + Quote(format) : std::string("as ISO 8601 texts")) +
                                   "; give the same format");
        }
        column.existing = existing;
    }
}

// The line breaks in [begin, end) of the file (to its end when `end` is -1), and its last byte.
long long CountLineBreaks(const std::string& path, long long begin, long long end, char& last) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    if (begin > 0 && std::fseek(file, static_cast<long>(begin), SEEK_SET) != 0) {
        std::fclose(file);
        return 0;
    }
    std::vector<char> buffer(std::size_t(1) << 20);
    long long lines = 0;
    for (long long at = begin; end < 0 || at < end;) {
        const std::size_t want = end < 0 ? buffer.size() : std::min<std::size_t>(buffer.size(), end - at);
        const std::size_t got = std::fread(buffer.data(), 1, want, file);
        if (got == 0) break;
        lines += std::count(buffer.data(), buffer.data() + got, '\n');
        last = buffer[got - 1];
        at += static_cast<long long>(got);
    }
    std::fclose(file);
    return lines;
}

// The number of line breaks in the file, plus one for a last line without one: no file has more
// records than that. Large files are counted in two halves side by side when `parts` allows.
long long CountLines(const std::string& path, std::uint64_t size, int parts) {
    constexpr std::uint64_t kSplitSize = std::uint64_t{16} << 20;
    char last = '\n';
    long long lines = 0;
    if (parts < 2 || size < kSplitSize) {
        lines = CountLineBreaks(path, 0, -1, last);
    } else {
        const auto half = static_cast<long long>(size / 2);
        char ignored = '\n';
        auto first = std::async(std::launch::async, [&] { return CountLineBreaks(path, 0, half, ignored); });
        lines = CountLineBreaks(path, half, -1, last);
        lines += first.get();
    }
    return lines + (last != '\n' ? 1 : 0);
}

// Where in the order of the checks a reading stopped: rows in file order, and within a row the
// checks in the order of this list (cells in file order within one check). Of several readings
// over the same file, the failure that comes first in this order is the one reported, which is
// the one that a single reading from the top would have met first.
enum Check { kReadRecord, kWidth, kCapacity, kNumbers, kBatch, kOtherVariables };

struct Failure {
    long long row = std::numeric_limits<long long>::max();
    int check = 0;
    int cell = 0;
    std::exception_ptr error;

    bool Before(const Failure& other) const {
        return std::tie(row, check, cell) < std::tie(other.row, other.check, other.cell);
    }
};

// One reading of the rows, with a reader of its own, that handles some of the columns.
struct Importer::Reading {
    CsvReader* reader = nullptr;
    std::unique_ptr<CsvReader> ownReader;
    bool records = false;      // observation IDs, batch and phase: makes the observation records
    bool lines = false;        // keeps the line of each row (for the date/time columns' errors)
    std::vector<int> numbers;  // quantitative cells
    std::vector<int> others;   // qualitative and date/time cells
    // The cells it splits off each record: all for the last reading, which alone checks the
    // width of the rows; the others only as many as their columns need.
    std::size_t mostCells = CsvReader::kAllCells;
    long long rows = 0;
    std::atomic<std::uint64_t> bytes{0};  // of the file, used so far
    Failure failure;
};

// The readings, their number chosen from the machine's cores unless the options fix it. Each
// reading parses its share of the quantitative columns; the first also makes the records (about
// as much work as kRecordWeight quantitative columns per ID column), and the last takes the
// qualitative and date/time columns.
void Importer::PlanReadings() {
    constexpr int kRecordWeight = 8;
    int count = mOptions.readers;
    if (count <= 0) count = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
    count = std::clamp(count, 1, CsvImportOptions::kMostReaders);
    std::vector<int> numbers;
    std::vector<int> others;
    for (const int c : mVariableColumns) (mColumns[c].role == Role::kQuantitative ? numbers : others).push_back(c);

    // The quantitative columns in file order, each reading taking its share of the work.
    const int idColumns =
        std::max<int>(1, static_cast<int>(mObservationIDColumns.size())) + (mBatchColumn >= 0) + (mPhaseColumn >= 0);
    const double total = static_cast<double>(numbers.size()) + kRecordWeight * idColumns;
    double load = kRecordWeight * idColumns;
    std::vector<std::vector<int>> shares(static_cast<std::size_t>(count));
    std::size_t next = 0;
    for (int k = 0; k < count; ++k) {
        const double share = total * (k + 1) / count;
        for (; next < numbers.size() && (load < share || k == count - 1); ++next, load += 1)
            shares[static_cast<std::size_t>(k)].push_back(numbers[next]);
    }

    mReadings.clear();
    for (int k = 0; k < count; ++k) {
        const bool last = k == count - 1;
        std::vector<int>& share = shares[static_cast<std::size_t>(k)];
        // A reading with nothing to do is left out; the first always makes the records.
        if (k > 0 && share.empty() && !(last && !others.empty())) continue;
        auto reading = std::make_unique<Reading>();
        if (k == 0) {
            reading->reader = &mReader;
            reading->records = true;
        } else {
            reading->ownReader = std::make_unique<CsvReader>(mPath, mOptions.delimiter);
            reading->reader = reading->ownReader.get();
            std::vector<std::string_view> header;
            reading->reader->ReadRecord(header);
        }
        reading->numbers = std::move(share);
        mReadings.push_back(std::move(reading));
    }
    Reading& last = *mReadings.back();
    last.others = others;
    last.lines = std::any_of(others.begin(), others.end(), [&](int c) { return mColumns[c].role == Role::kDateTime; });
    for (std::size_t k = 0; k + 1 < mReadings.size(); ++k) {
        Reading& reading = *mReadings[k];
        int needed = 0;
        if (reading.records) {
            for (const int c : mObservationIDColumns) needed = std::max(needed, c + 1);
            needed = std::max({needed, mBatchColumn + 1, mPhaseColumn + 1});
        }
        for (const int c : reading.numbers) needed = std::max(needed, c + 1);
        reading.mostCells = static_cast<std::size_t>(std::max(needed, 1));
    }
}

void Importer::Read(Reading& reading, long long capacity, NCProgress* progress) {
    const std::size_t width = mHeader.size();
    CsvReader& reader = *reading.reader;
    std::vector<std::pair<std::size_t, float*>> numbers;
    for (const int c : reading.numbers)
        numbers.emplace_back(static_cast<std::size_t>(c), mData.GetMutableColumnPtr(mColumns[c].variable));
    std::vector<CString> ids(static_cast<std::size_t>(mAliasCount));
    std::vector<std::string_view> cells;
    int lastBatch = -1;
    long long row = 0;
    int check = kReadRecord;
    int cell = 0;
    try {
        for (;; ++row) {
            if (row > mStopRow.load(std::memory_order_relaxed)) return;
            check = kReadRecord;
            cell = 0;
            if (!reader.ReadRecord(cells, reading.mostCells)) break;
            const long long line = reader.GetLine();
            check = kWidth;
            if (reading.mostCells == CsvReader::kAllCells && cells.size() != width)
                throw CsvError(mPath, line, 0, "",
                               "the row has " + std::to_string(cells.size()) + " cell" +
                                   (cells.size() == 1 ? "" : "s") + " where the header row has " +
                                   std::to_string(width) + " columns");
            if (reading.mostCells != CsvReader::kAllCells && cells.size() < reading.mostCells) {
                // The last reading meets the same row and reports it (its failure comes first).
                cell = 1;
                throw CsvError(mPath, line, 0, "", "the row has fewer cells than the header row has columns");
            }
            check = kCapacity;
            if (row == capacity)
                throw CsvError(mPath, 0, 0, "",
                               capacity >= kMostRows ? "the file has more rows than a dataset can hold"
                                                     : "the file grew while it was read; import it again");
            const auto at = static_cast<std::size_t>(row);
            check = kNumbers;
            for (const auto& [c, values] : numbers) {
                cell = static_cast<int>(c);
                float value = kMissingValue;
                if (!cells[c].empty() && !ParseNumber(cells[c], value))
                    throw CsvError(
                        mPath, line, cell + 1, mHeader[c],
                        Quote(cells[c]) + " is not a number (numbers are written with '.' as the decimal point)");
                values[at] = value;
            }
            if (reading.records) {
                check = kBatch;
                cell = 0;
                ReadRecordIDs(row, line, cells, lastBatch, ids);
            }
            if (reading.lines) mLines.push_back(line);
            check = kOtherVariables;
            for (const int c : reading.others) {
                cell = c;
                ReadOtherVariable(mColumns[c], at, line, cells[static_cast<std::size_t>(c)]);
            }
            reading.rows = row + 1;
            if (reading.rows % kProgressRows == 0) {
                reading.bytes.store(reader.GetBytesConsumed(), std::memory_order_relaxed);
                if (progress && ReportProgress(*progress)) return;
            }
        }
    } catch (...) {
        reading.failure = Failure{row, check, cell, std::current_exception()};
        // The other readings need not go beyond this row: nothing after it can be reported.
        for (long long stop = mStopRow.load(); row < stop && !mStopRow.compare_exchange_weak(stop, row);) {
        }
        return;
    }
    reading.bytes.store(reader.GetFileSize(), std::memory_order_relaxed);
}

// Shows how far the slowest reading has come; true (and every reading stops) when cancelled.
bool Importer::ReportProgress(NCProgress& progress) {
    std::uint64_t bytes = std::numeric_limits<std::uint64_t>::max();
    for (const auto& reading : mReadings) bytes = std::min(bytes, reading->bytes.load(std::memory_order_relaxed));
    if (!progress.SetValue(static_cast<double>(bytes))) return false;
    mCancelled = true;
    mStopRow.store(-1);
    return true;
}

void Importer::ReadRecordIDs(long long row, long long line, const std::vector<std::string_view>& cells, int& lastBatch,
                             std::vector<CString>& ids) {
    std::size_t k = 0;
    if (mObservationIDColumns.empty()) ids[k++] = CString(std::to_string(row + 1));
    for (const int c : mObservationIDColumns) ids[k++] = CString(std::string(cells[static_cast<std::size_t>(c)]));
    int phase = -1;
    if (mBatchColumn >= 0) {
        Column& column = mColumns[mBatchColumn];
        const std::string_view cell = cells[static_cast<std::size_t>(mBatchColumn)];
        bool added = false;
        const int batch = column.table->Find(cell, added);
        if (batch != lastBatch && !added)
            throw CsvError(mPath, line, mBatchColumn + 1, column.name,
                           "the batch " + Quote(cell) + " appears again after the batch " +
                               Quote(column.table->Texts()[static_cast<std::size_t>(lastBatch)]) +
                               "; the rows of a batch must be consecutive");
        lastBatch = batch;
        ids[k++] = column.table->Texts()[static_cast<std::size_t>(batch)];
    }
    if (mPhaseColumn >= 0) {
        Column& column = mColumns[mPhaseColumn];
        bool added = false;
        phase = column.table->Find(cells[static_cast<std::size_t>(mPhaseColumn)], added);
        ids[k++] = column.table->Texts()[static_cast<std::size_t>(phase)];
    }
    // The unique ID is given when the records join the project.
    auto record = std::make_unique<ObservationInfo>(ids, 0);
    if (phase >= 0) record->SetDefaultClass(phase + 1);
    mRecords.push_back(std::move(record));
}

void Importer::ReadOtherVariable(Column& column, std::size_t row, long long line, std::string_view cell) {
    if (column.role == Role::kQualitative) {
        bool added = false;
        mData.GetMutableColumnPtr(column.variable)[row] =
            IsBlankText(cell) ? kMissingValue : static_cast<float>(column.table->Find(cell, added) + 1);
        return;
    }
    if (IsBlankText(cell)) {
        column.texts.emplace_back();
        return;
    }
    column.texts.emplace_back(cell);
    const SimpDateTime when = ParseDateTime(column.texts.back(), column.format);
    if (!when.IsValid())
        throw CsvError(mPath, line, column.cell + 1, column.name,
                       Quote(cell) + " is not a date and time " +
                           (column.format.empty() ? std::string("in ISO 8601 form (2026-03-02 08:15:00)")
                                                  : "of the format " + Quote(column.format)));
    if (!column.earliest.IsValid() || when < column.earliest) column.earliest = when;
}

void Importer::ReadRows() {
    const int variables = static_cast<int>(mVariableColumns.size());
    NCProgress progress(("Reading " + std::filesystem::path(mPath).filename().string()).c_str(), 0.0,
                        static_cast<double>(std::max<std::uint64_t>(mReader.GetFileSize(), 1)));

    // No file has more records than lines (unless it grows while it is read): the values are
    // written in place, and the matrix is cut to the rows read at the end.
    PlanReadings();
    const long long lines = CountLines(mPath, mReader.GetFileSize(), static_cast<int>(mReadings.size()));
    const long long capacity = std::min<long long>(std::max<long long>(lines - 1, 1), kMostRows);
    // Every cell of the rows read is written by the readings (missing ones too).
    mData = NCDataMatrix<float>::Uninitialised(static_cast<int>(capacity), variables);
    mRecords.reserve(static_cast<std::size_t>(capacity));
    for (Column& column : mColumns)
        if (column.role == Role::kDateTime) column.texts.reserve(static_cast<std::size_t>(capacity));

    // The first reading runs here and shows the progress; the others run beside it.
    std::vector<std::future<void>> others;
    for (std::size_t k = 1; k < mReadings.size(); ++k)
        others.push_back(
            std::async(std::launch::async, [this, k, capacity] { Read(*mReadings[k], capacity, nullptr); }));
    Read(*mReadings.front(), capacity, &progress);
    for (auto& other : others) {
        while (other.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
            if (!mCancelled) ReportProgress(progress);
        other.get();
    }
    if (mCancelled) throw OperationCancelled();

    const Failure* first = nullptr;
    for (const auto& reading : mReadings)
        if (reading->failure.error && (!first || reading->failure.Before(*first))) first = &reading->failure;
    if (first) std::rethrow_exception(first->error);
    mRows = mReadings.front()->rows;
    for (const auto& reading : mReadings)
        if (reading->rows != mRows)
            throw CsvError(mPath, 0, 0, "", "the file changed while it was read; import it again");
    mReadings.clear();
    if (mRows == 0) throw CsvError(mPath, 0, 0, "", "the file has a header row but no data rows");
    // Blank lines and line breaks inside quoted cells leave rows unused.
    if (mRows < capacity) mData.Resize(static_cast<int>(mRows), variables);
    progress.SetValue(static_cast<double>(mReader.GetFileSize()));
}

void Importer::PrepareVariables() {
    for (const int c : mVariableColumns) {
        Column& column = mColumns[c];
        if (column.role == Role::kQuantitative) {
            if (!column.existing)
                column.created =
                    std::make_unique<QuantitativeVariableInfo>(column.name, 0, "", -1, -1, eVarTypeDefault);
        } else if (column.role == Role::kQualitative) {
            const std::vector<std::string>& texts = column.table->Texts();
            if (!column.existing) {
                const NCStringVector settings(texts);
                column.created = std::make_unique<QualitativeVariableInfo>(column.name, 0, &settings, "");
                continue;
            }
            // The record's own settings first; the texts it lacks follow in order of appearance.
            const QualitativeVariableInfo* record = column.existing->AsQualitativeVariableInfo();
            std::vector<float> position(texts.size());
            int next = record->SizeSettings();
            for (std::size_t k = 0; k < texts.size(); ++k) {
                const float known = record->Encode(texts[k].c_str());
                if (known == nc::kUnencodableValue) {
                    column.settingsToAppend.push_back(texts[k]);
                    position[k] = static_cast<float>(++next);
                } else {
                    position[k] = known;
                }
            }
            float* values = mData.GetMutableColumnPtr(column.variable);
            for (long long r = 0; r < mRows; ++r)
                if (values[r] != kMissingValue) values[r] = position[static_cast<std::size_t>(values[r]) - 1];
        } else {
            const DateTimeVariableInfo* record = nullptr;
            if (column.existing) {
                record = column.existing->AsDateTimeVariableInfo();
            } else {
                // Counted from the midnight before the earliest value, so no value is negative.
                const auto earliest = column.earliest.IsValid() ? column.earliest.Get() : boost::posix_time::ptime();
                const SimpDateTime offset =
                    earliest.is_special() ? SimpDateTime(0) : SimpDateTime(boost::posix_time::ptime(earliest.date()));
                const bool exact = !column.format.empty();
                auto created = std::make_unique<DateTimeVariableInfo>(
                    column.name, 0, exact ? ZoTimeUtl::eParseExact : ZoTimeUtl::eParseUsingLocale, column.format,
                    exact ? column.format : std::string(kDefaultDateTimeFormat), offset, mOptions.timeUnit);
                record = created.get();
                column.created = std::move(created);
            }
            float* values = mData.GetMutableColumnPtr(column.variable);
            for (std::size_t r = 0; r < column.texts.size(); ++r) {
                const float value = record->Encode(column.texts[r].c_str());
                if (value != kMissingValue && (value == nc::kUnencodableValue || !record->IsValidTimeRange(value)))
                    throw CsvError(mPath, mLines[r], c + 1, column.name,
                                   Quote(column.texts[r]) + " lies too far from " +
                                       record->GetDateTimeOffset().ToLocalString(kDefaultDateTimeFormat) +
                                       " for a single-precision count of " + UnitName(record->GetTimeAccuracy()) +
                                       "s; choose a coarser time unit");
                values[r] = value;
            }
            column.texts = std::vector<std::string>();
        }
    }
}

int NextDatasetNumber(const ReferenceProject& project) {
    const std::vector<int> numbers = project.GetDatasetNumbers();
    return numbers.empty() ? 1 : numbers.back() + 1;
}

CsvImportSummary Importer::Commit() {
    CsvImportSummary summary;
    const int rows = static_cast<int>(mRows);
    NCObservations& observations = mProject.GetObservations();
    NCVariables& variables = mProject.GetVariables();

    if (observations.GetNumberOfVarObs() == 0) {
        std::vector<CString> labels(static_cast<std::size_t>(mAliasCount));
        for (std::size_t k = 1; k < mObservationIDColumns.size(); ++k) labels[k] = mHeader[mObservationIDColumns[k]];
        if (mBatchAlias > 0) labels[static_cast<std::size_t>(mBatchAlias - 1)] = mHeader[mBatchColumn];
        if (mPhaseAlias > 0) labels[static_cast<std::size_t>(mPhaseAlias - 1)] = mHeader[mPhaseColumn];
        observations.Set_ID_Labels(&labels);
        if (!mObservationIDColumns.empty()) observations.SetIDLabel(1, mHeader[mObservationIDColumns[0]].c_str());
        observations.SetBatchID(mBatchAlias);
        observations.SetPhaseID(mPhaseAlias);
    }

    NCIntegralVector<unsigned long, 0> varIDs;
    for (const int c : mVariableColumns) {
        Column& column = mColumns[c];
        if (column.existing) {
            const unsigned long id = column.existing->GetUniqueID();
            if (!column.settingsToAppend.empty()) {
                auto* record = const_cast<QualitativeVariableInfo*>(variables[id]->AsQualitativeVariableInfo());
                for (const std::string& setting : column.settingsToAppend) record->AppendSetting(setting.c_str());
                variables.SetIsDirty(true);
            }
            varIDs.push_back(id);
            summary.reusedVariables.push_back(column.name);
        } else {
            const unsigned long id = mProject.GetNewUniqueID(nc::UniqueIDKind::kRecord);
            column.created->SetUniqueID(id);
            variables.Add(std::move(column.created), nullptr);
            varIDs.push_back(id);
        }
        if (column.role == Role::kQualitative) ++summary.qualitative;
        if (column.role == Role::kDateTime) ++summary.dateTime;
    }

    const Column* batches = mBatchColumn >= 0 ? &mColumns[mBatchColumn] : nullptr;
    const Column* phases = mPhaseColumn >= 0 ? &mColumns[mPhaseColumn] : nullptr;
    NCIntegralVector<unsigned long, 0> obsIDs;
    obsIDs.reserve(rows);
    for (std::unique_ptr<ObservationInfo>& record : mRecords) {
        const unsigned long id = mProject.GetNewUniqueID(nc::UniqueIDKind::kRecord);
        record->SetUniqueID(id);
        observations.Add(std::move(record), nullptr);
        obsIDs.push_back(id);
    }
    mRecords = std::vector<std::unique_ptr<ObservationInfo>>();

    std::unique_ptr<BatchInfoVector> batchList;
    std::unique_ptr<ClassInfoVector> phaseList;
    if (batches) {
        batchList.reset(BatchUtilities::CreateBatchInfoVector(&observations, &obsIDs));
        phaseList.reset(BatchUtilities::CreatePhaseInfoVector(&observations, &obsIDs));
        BatchImportSettings settings(mProject.GetBatchImportSettings(1));
        settings.SetBatchID(mBatchAlias);
        settings.SetPhaseID(mPhaseAlias);
        settings.SetProjectType(phases ? BatchImportSettings::eProjectTypePhases
                                       : BatchImportSettings::eProjectTypeDefault);
        mProject.SetBatchImportSettings(settings);
    }

    std::vector<int> usedAliases;
    for (int k = 1; k <= mAliasCount; ++k) usedAliases.push_back(k);
    const std::string file = std::filesystem::path(mPath).filename().string();
    const std::string name =
        mOptions.datasetName.empty() ? std::filesystem::path(mPath).stem().string() : mOptions.datasetName;
    const std::string log = "Imported from " + file + ": " + std::to_string(rows) + " rows, " +
                            std::to_string(mVariableColumns.size()) + " variables.";
    summary.datasetNumber = NextDatasetNumber(mProject);
    const boost::shared_ptr<NCDataSet> dataset =
        NCDataSet::Create(mProject.shared_from_this(), name.c_str(), summary.datasetNumber, &mData, &obsIDs, &varIDs,
                          usedAliases, {1}, log.c_str(), batchList.get(), phaseList.get(), false);
    mProject.AddDataset(dataset);

    summary.observations = rows;
    summary.variables = static_cast<int>(mVariableColumns.size());
    summary.batches = batchList ? static_cast<int>(batchList->size()) : 0;
    summary.phases = phaseList ? static_cast<int>(phaseList->size()) : 0;
    return summary;
}

CsvImportSummary Importer::Run() {
    ReadHeader();
    AssignRoles();
    CheckAgainstProject();
    ReadRows();
    PrepareVariables();
    return Commit();
}

}  // namespace

namespace CsvImport {

CsvImportSummary Import(ReferenceProject& project, const std::string& path, const CsvImportOptions& options) {
    Importer importer(project, path, options);
    return importer.Run();
}

bool ParseTimeUnit(const std::string& name, ZoTimeUtl::eTimeAccuracy& unit) {
    static const std::pair<const char*, ZoTimeUtl::eTimeAccuracy> kUnits[] = {{"second", ZoTimeUtl::eAccuracySecond},
                                                                              {"minute", ZoTimeUtl::eAccuracyMinute},
                                                                              {"hour", ZoTimeUtl::eAccuracyHour},
                                                                              {"day", ZoTimeUtl::eAccuracyDay}};
    const std::string lower = Lower(name);
    for (const auto& [text, value] : kUnits)
        if (lower == text || lower == std::string(text) + "s") {
            unit = value;
            return true;
        }
    return false;
}

}  // namespace CsvImport
