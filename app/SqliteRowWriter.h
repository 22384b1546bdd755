#pragma once
// SqliteRowWriter: the output side of SqliteBlobStream. A stream written through it goes into
// rows of a table, one row per part of `partSize` bytes (the last part shorter), as it is
// written: only the part being filled is held in memory, however long the stream grows.
//
// The stream directory fills in lengths by seeking back and overwriting. The writer follows:
// bytes still in memory are overwritten there, bytes already stored are overwritten in their row
// through SQLite's incremental BLOB I/O. A seek may not go past the end of what was written.
//
// An SQLite error stops the stream (the ostream turns bad) and is kept; Finish throws it, so the
// caller reports SQLite's own reason (a full disk, a file-size limit) rather than a bare failure.

#include <cstdint>
#include <exception>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

class SqliteDatabase;
class SqliteStatement;

class SqliteRowWriter final : public std::streambuf {
public:
    // Parts are at most this long (SQLite's default limit for one value is about 1 GB).
    static constexpr std::size_t kLargestPart = std::size_t{1} << 29;

    // Writes through `insert`, a statement prepared on `database` whose parameters are the
    // stream's name (1), the part's number (2) and its bytes (3); the rows it inserts must be
    // of `table`, whose BLOB column is `column`. Both must outlive the writer. `partSize` is
    // taken between 1 and kLargestPart.
    SqliteRowWriter(SqliteDatabase& database, SqliteStatement& insert, const char* table, const char* column,
                    std::size_t partSize);
    ~SqliteRowWriter() override;
    SqliteRowWriter(const SqliteRowWriter&) = delete;
    SqliteRowWriter& operator=(const SqliteRowWriter&) = delete;

    // Starts the stream `name`: the writer is empty again. The name must outlive the stream.
    void Start(const std::string& name);
    // Stores the last part (an empty stream is one empty row). Throws the SqliteError that
    // stopped the stream, or the one storing the last part raised.
    void Finish();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type* s, std::streamsize n) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    // The bytes of the part in memory written so far (also those beyond the position after a seek).
    std::size_t Filled() const;
    // The stream's position and its end.
    std::int64_t Position() const;
    std::int64_t End() const;
    // Makes room for one more byte: grows the buffer up to a part, or stores the full part.
    void MakeRoom();
    // Inserts the first `size` bytes of the buffer as the next part.
    void StorePart(std::size_t size);
    // Overwrites stored bytes from mPatchAt on; returns how many of [s, s + n) it wrote.
    std::size_t PatchStored(const char* s, std::size_t n);
    // Runs `step`; an SqliteError is kept and stops the stream. False when the stream is stopped.
    template <typename Step>
    bool Guard(Step&& step);

    SqliteDatabase& mDatabase;
    SqliteStatement& mInsert;
    const char* mTable;
    const char* mColumn;
    std::size_t mPartSize;
    const std::string* mName = nullptr;
    std::vector<char> mBuffer;
    std::vector<std::int64_t> mRows;  // rowid of each stored part
    std::int64_t mStored = 0;         // bytes in the stored parts
    std::size_t mFilled = 0;          // buffer bytes written, as of the last move of the position
    bool mPatching = false;           // the position lies in a stored part: mPatchAt
    std::int64_t mPatchAt = 0;
    std::exception_ptr mError;
};
