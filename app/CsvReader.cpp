#include "app/CsvReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include <sys/stat.h>

namespace {

constexpr std::size_t kInitialBuffer = std::size_t(1) << 20;

std::string Place(const std::string& file, long long line, int column, const std::string& columnName) {
    std::string text = file;
    if (line > 0) text += ", line " + std::to_string(line);
    if (column > 0) {
        text += ", column " + std::to_string(column);
        if (!columnName.empty()) text += " (" + columnName + ")";
    }
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The delimiters of a record without quotes are found eight bytes at a time: a record of many
// short cells (numbers) costs a few instructions per cell rather than a call per cell.
constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FULL;

// A mask with the high bit of each byte of `word` that equals the byte repeated in `pattern`.
std::uint64_t MatchingBytes(std::uint64_t word, std::uint64_t pattern) {
    const std::uint64_t x = word ^ pattern;  // zero where the byte matches
    // Exact per byte (no carry crosses a byte): the high bit is set only for a zero byte.
    return ~(((x & kLowBits) + kLowBits) | x | kLowBits);
}

std::string_view Trimmed(const char* begin, const char* end) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

CsvError::CsvError(const std::string& file, long long line, int column, const std::string& columnName,
                   const std::string& problem)
    : InputError(Place(file, line, column, columnName) + ": " + problem),
      mFile(file),
      mLine(line),
      mColumn(column),
      mProblem(problem) {}

CsvReader::CsvReader(const std::string& path, char delimiter) : mPath(path), mDelimiter(delimiter) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw CsvError(path, 0, 0, "", "this is a folder, not a file");
    mFile = std::fopen(path.c_str(), "rb");
    if (!mFile) throw CsvError(path, 0, 0, "", "the file cannot be opened: " + std::generic_category().message(errno));
    if (::fstat(fileno(mFile), &info) == 0 && info.st_size > 0) mFileSize = static_cast<std::uint64_t>(info.st_size);
    mBuffer.resize(kInitialBuffer);
}

CsvReader::~CsvReader() {
    if (mFile) std::fclose(mFile);
}

void CsvReader::Fail(int column, const std::string& problem) const {
    throw CsvError(mPath, mRecordLine > 0 ? mRecordLine : mLine, column, "", problem);
}

bool CsvReader::Refill() {
    if (mEof) return false;
    if (mPos > 0) {
        std::memmove(mBuffer.data(), mBuffer.data() + mPos, mEnd - mPos);
        mConsumedBefore += mPos;
        mEnd -= mPos;
        mPos = 0;
    }
    if (mEnd == mBuffer.size()) mBuffer.resize(mBuffer.size() * 2);
    const std::size_t got = std::fread(mBuffer.data() + mEnd, 1, mBuffer.size() - mEnd, mFile);
    if (got == 0) {
        if (std::ferror(mFile)) throw CsvError(mPath, mLine, 0, "", "the file could not be read");
        mEof = true;
        return false;
    }
    mEnd += got;
    return true;
}

std::size_t CsvReader::FindRecordEnd(bool& quoted) {
    for (;;) {
        const char* base = mBuffer.data();
        const char* newline = static_cast<const char*>(std::memchr(base + mPos, '\n', mEnd - mPos));
        const std::size_t lineEnd = newline ? static_cast<std::size_t>(newline - base) : mEnd;
        quoted = std::memchr(base + mPos, '"', lineEnd - mPos) != nullptr;
        if (!quoted) {
            if (newline || mEof) return lineEnd;
        } else {
            // A line break inside a quoted cell is text: the record ends at the first one outside.
            // A quote opens a quoted cell only at the cell's start (stray ones are Split's to report).
            bool inQuotes = false;
            bool atCellStart = true;
            bool undecided = false;  // a quote is the buffer's last byte: it may begin "" or end the cell
            for (std::size_t i = mPos; i < mEnd; ++i) {
                const char c = base[i];
                if (inQuotes) {
                    if (c != '"') continue;
                    if (i + 1 == mEnd && !mEof) {
                        undecided = true;
                        break;
                    }
                    if (i + 1 < mEnd && base[i + 1] == '"')
                        ++i;
                    else
                        inQuotes = false;
                } else if (c == '\n') {
                    return i;
                } else if (c == mDelimiter) {
                    atCellStart = true;
                } else if (c == '"' && atCellStart) {
                    inQuotes = true;
                    atCellStart = false;
                } else if (c != ' ' && c != '\t') {
                    atCellStart = false;
                }
            }
            if (mEof && !undecided) {
                if (inQuotes) {
                    mRecordLine = mLine;
                    Fail(0, "a quoted cell is not closed before the end of the file");
                }
                return mEnd;
            }
        }
        Refill();
    }
}

void CsvReader::Split(std::size_t end, bool quoted, std::size_t mostCells, std::vector<std::string_view>& cells) {
    char* base = mBuffer.data();
    const char* const stop = base + end;
    char* p = base + mPos;
    if (!quoted) {
        if (kLittleEndian) {
            const std::uint64_t pattern = 0x0101010101010101ULL * static_cast<unsigned char>(mDelimiter);
            const char* cell = p;
            for (const char* word = p; stop - word >= 8; word += 8) {
                std::uint64_t bytes = 0;
                std::memcpy(&bytes, word, 8);
                for (std::uint64_t found = MatchingBytes(bytes, pattern); found != 0; found &= found - 1) {
                    const char* delimiter = word + __builtin_ctzll(found) / 8;
                    cells.push_back(Trimmed(cell, delimiter));
                    if (cells.size() == mostCells) return;
                    cell = delimiter + 1;
                }
            }
            p = const_cast<char*>(cell);  // the rest: fewer than eight bytes after the last word
        }
        for (;;) {
            const char* delimiter = static_cast<const char*>(std::memchr(p, mDelimiter, stop - p));
            const char* cellEnd = delimiter ? delimiter : stop;
            cells.push_back(Trimmed(p, cellEnd));
            if (!delimiter || cells.size() == mostCells) return;
            p = const_cast<char*>(delimiter) + 1;
        }
    }
    while (cells.size() < mostCells) {
        const int column = static_cast<int>(cells.size()) + 1;
        char* first = p;
        while (first < stop && IsBlank(*first)) ++first;
        if (first < stop && *first == '"') {
            // Unescaped in place: the text only ever gets shorter.
            char* write = first + 1;
            char* read = first + 1;
            char* const start = write;
            for (;;) {
                if (read >= stop) Fail(column, "a quoted cell is not closed");
                if (*read == '"') {
                    if (read + 1 < stop && read[1] == '"') {
                        *write++ = '"';
                        read += 2;
                        continue;
                    }
                    ++read;
                    break;
                }
                *write++ = *read++;
            }
            while (read < stop && IsBlank(*read)) ++read;
            if (read < stop && *read != mDelimiter) Fail(column, "text follows the closing quote of a quoted cell");
            cells.emplace_back(start, static_cast<std::size_t>(write - start));
            if (read >= stop) return;
            p = read + 1;
            continue;
        }
        const char* delimiter = static_cast<const char*>(std::memchr(p, mDelimiter, stop - p));
        const char* cellEnd = delimiter ? delimiter : stop;
        if (std::memchr(p, '"', cellEnd - p)) Fail(column, "a quote inside a cell that does not begin with one");
        cells.push_back(Trimmed(p, cellEnd));
        if (!delimiter) return;
        p = const_cast<char*>(delimiter) + 1;
    }
}

bool CsvReader::ReadRecord(std::vector<std::string_view>& cells, std::size_t mostCells) {
    cells.clear();
    if (!mStarted) {
        mStarted = true;
        while (mEnd < 3 && Refill()) {
        }
        if (mEnd >= 3 && std::memcmp(mBuffer.data(), "\xEF\xBB\xBF", 3) == 0) mPos = 3;
    }
    for (;;) {
        bool quoted = false;
        const std::size_t end = FindRecordEnd(quoted);
        if (mPos >= mEnd && mEof) return false;
        const char* base = mBuffer.data();
        std::size_t contentEnd = end;
        if (contentEnd > mPos && base[contentEnd - 1] == '\r') --contentEnd;
        const bool blank = std::all_of(base + mPos, base + contentEnd, IsBlank);
        const std::size_t next = end < mEnd ? end + 1 : end;
        if (blank) {
            mPos = next;
            ++mLine;
            continue;
        }
        const long long breaks = quoted ? std::count(base + mPos, base + end, '\n') : 0;
        mRecordLine = mLine;
        Split(contentEnd, quoted, std::max<std::size_t>(mostCells, 1), cells);
        mLine += 1 + breaks;
        mPos = next;
        return true;
    }
}
