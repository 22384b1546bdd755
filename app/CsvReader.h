#pragma once
// CsvReader: reads a delimited text file (comma-separated by default) record by record, as
// RFC 4180 describes it. A cell may be quoted with '"': inside quotes the delimiter and line
// breaks are text and "" stands for one quote. Unquoted cells lose the blanks (spaces and tabs)
// around them; quoted cells are kept as written. Lines end in LF or CR LF; blank lines are
// skipped; a UTF-8 byte order mark at the start is skipped; the last line needs no line break.
//
// The file is read in large blocks; a record's cells are views into the reader's buffer, valid
// until the next ReadRecord. A record may be of any length (the buffer grows to hold it).
//
// Errors (the file cannot be opened or read, a quoted cell not closed, text after a closing
// quote) throw CsvError, which names the file, the line and, where it is about a cell, the cell's
// 1-based column.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/InputError.h"

// A problem at a place of a delimited text file. Line and column are 1-based; 0 when the problem
// is not at one line (column 0: not about one cell).
class CsvError : public InputError {
public:
    CsvError(const std::string& file, long long line, int column, const std::string& columnName,
             const std::string& problem);

    const std::string& GetFile() const { return mFile; }
    long long GetLine() const { return mLine; }
    int GetColumn() const { return mColumn; }
    // The problem without the place.
    const std::string& GetProblem() const { return mProblem; }

private:
    std::string mFile;
    long long mLine;
    int mColumn;
    std::string mProblem;
};

class CsvReader {
public:
    // Opens `path`; throws CsvError when it cannot be opened.
    explicit CsvReader(const std::string& path, char delimiter = ',');
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // Replaces `cells` by the cells of the next record; false at the end of the file (then
    // `cells` is empty). Throws CsvError. With `mostCells`, only the record's first `mostCells`
    // cells are split off (and only they are checked): fewer cells means that the record has no
    // more, exactly `mostCells` that it may have more. The records found are the same either way.
    bool ReadRecord(std::vector<std::string_view>& cells, std::size_t mostCells = kAllCells);
    static constexpr std::size_t kAllCells = static_cast<std::size_t>(-1);

    // The line on which the record last read begins (1-based; 0 before the first record).
    long long GetLine() const { return mRecordLine; }
    const std::string& GetPath() const { return mPath; }
    // The size of the file when it was opened, and how many of its bytes the records read so far
    // have used: for progress displays.
    std::uint64_t GetFileSize() const { return mFileSize; }
    std::uint64_t GetBytesConsumed() const { return mConsumedBefore + static_cast<std::uint64_t>(mPos); }

private:
    // Makes sure that the buffer holds a whole record from mPos on; returns the position just past
    // its end (its line break, or the end of the data at the end of the file). Refills and grows
    // the buffer as needed. Sets `quoted` when the record contains a quote.
    std::size_t FindRecordEnd(bool& quoted);
    // Moves the unread bytes to the front and reads more; false when nothing more could be read.
    bool Refill();
    // Splits the record [mPos, end) into cells; `quoted` selects the slower, quote-aware path.
    void Split(std::size_t end, bool quoted, std::size_t mostCells, std::vector<std::string_view>& cells);
    [[noreturn]] void Fail(int column, const std::string& problem) const;

    std::string mPath;
    char mDelimiter;
    std::FILE* mFile = nullptr;
    std::uint64_t mFileSize = 0;
    std::vector<char> mBuffer;
    std::size_t mPos = 0;  // first unread byte in mBuffer
    std::size_t mEnd = 0;  // end of the valid bytes in mBuffer
    bool mEof = false;
    bool mStarted = false;
    std::uint64_t mConsumedBefore = 0;  // bytes dropped from the buffer's front by refills
    long long mLine = 1;                // line of the byte at mPos
    long long mRecordLine = 0;
};
