#pragma once
// SqliteBlobStream: an input stream over stored BLOBs read one after another as one stream (a
// stream longer than SQLite's BLOB limit is kept in several rows), read a buffer at a time
// through SQLite's incremental BLOB I/O, so that a large stream (a dataset's matrix) is never held
// whole in memory besides the object it is read into. The stream can seek, which the stream
// directory needs to skip sub-streams and to tell how many bytes can still follow.
//
// The stream keeps the connection alive and holds a read transaction on it until it is
// destroyed: a writer on another connection waits until then. A read that SQLite refuses (the row
// was changed meanwhile, a damaged file) ends the stream early, so the reader sees a short stream.

#include <cstdint>
#include <istream>
#include <memory>
#include <streambuf>
#include <vector>

struct sqlite3_blob;
class SqliteDatabase;

class SqliteBlobStream : public std::istream {
public:
    // One stored piece of the stream: the row that holds it and its length in bytes.
    struct Piece {
        std::int64_t rowid;
        std::int64_t size;
    };

    // The BLOBs in column `column` of the rows `pieces` of `table`, in that order, as one stream.
    // Throws SqliteError when the first cannot be opened.
    SqliteBlobStream(std::shared_ptr<SqliteDatabase> database, const char* table, const char* column,
                     std::vector<Piece> pieces);
    ~SqliteBlobStream() override;

    std::int64_t Size() const { return mBuffer.Size(); }

private:
    class Buffer : public std::streambuf {
    public:
        Buffer() = default;
        ~Buffer() override;
        // Takes over `blob`, open on the first piece.
        void Attach(sqlite3_blob* blob, std::vector<Piece> pieces);
        std::int64_t Size() const { return mSize; }

    protected:
        int_type underflow() override;
        std::streamsize xsgetn(char_type* s, std::streamsize n) override;
        std::streamsize showmanyc() override { return mSize - Position(); }
        pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
        pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

    private:
        std::int64_t Position() const { return mBufferStart + (gptr() - eback()); }
        // Reads [at, at + n) of the BLOB into `into`; false when SQLite refuses.
        bool ReadAt(char* into, std::int64_t at, std::int64_t n);

        sqlite3_blob* mBlob = nullptr;
        std::vector<Piece> mPieces;
        std::vector<std::int64_t> mPieceStart;  // stream offset of each piece
        std::size_t mOpenPiece = 0;             // the piece mBlob is open on
        std::int64_t mSize = 0;
        std::int64_t mBufferStart = 0;  // BLOB offset of eback()
        std::vector<char> mData;
    };

    std::shared_ptr<SqliteDatabase> mDatabase;
    Buffer mBuffer;
};
