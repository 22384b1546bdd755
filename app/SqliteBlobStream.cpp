#include "app/SqliteBlobStream.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "app/SqliteDatabase.h"

namespace {
constexpr std::int64_t kBufferSize = 64 * 1024;
}

SqliteBlobStream::SqliteBlobStream(std::shared_ptr<SqliteDatabase> database, const char* table, const char* column,
                                   std::vector<Piece> pieces)
    : std::istream(nullptr), mDatabase(std::move(database)) {
    sqlite3_blob* blob = nullptr;
    if (!pieces.empty()) {
        const int rc = sqlite3_blob_open(mDatabase->Handle(), "main", table, column, pieces.front().rowid, 0, &blob);
        if (rc != SQLITE_OK) {
            sqlite3_blob_close(blob);
            mDatabase->Fail(sqlite3_extended_errcode(mDatabase->Handle()), "opening a stored stream");
        }
    }
    mBuffer.Attach(blob, std::move(pieces));
    rdbuf(&mBuffer);
}

SqliteBlobStream::~SqliteBlobStream() = default;

SqliteBlobStream::Buffer::~Buffer() { sqlite3_blob_close(mBlob); }

void SqliteBlobStream::Buffer::Attach(sqlite3_blob* blob, std::vector<Piece> pieces) {
    mBlob = blob;
    mPieces = std::move(pieces);
    for (const Piece& piece : mPieces) {
        mPieceStart.push_back(mSize);
        mSize += piece.size;
    }
    mData.resize(static_cast<std::size_t>(std::min(kBufferSize, mSize)));
    setg(mData.data(), mData.data(), mData.data());
}

bool SqliteBlobStream::Buffer::ReadAt(char* into, std::int64_t at, std::int64_t n) {
    while (n > 0) {
        // The last piece that starts at or before `at`.
        const auto next = std::upper_bound(mPieceStart.begin(), mPieceStart.end(), at);
        const auto index = static_cast<std::size_t>(next - mPieceStart.begin()) - 1;
        if (index != mOpenPiece) {
            if (sqlite3_blob_reopen(mBlob, mPieces[index].rowid) != SQLITE_OK) return false;
            mOpenPiece = index;
        }
        const std::int64_t offset = at - mPieceStart[index];
        const std::int64_t take = std::min(n, mPieces[index].size - offset);
        // A piece's size came from the row; a row that is shorter now makes the read fail.
        if (take <= 0 || sqlite3_blob_read(mBlob, into, static_cast<int>(take), static_cast<int>(offset)) != SQLITE_OK)
            return false;
        into += take;
        at += take;
        n -= take;
    }
    return true;
}

SqliteBlobStream::Buffer::int_type SqliteBlobStream::Buffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::int64_t next = Position();
    const std::int64_t want = std::min<std::int64_t>(static_cast<std::int64_t>(mData.size()), mSize - next);
    mBufferStart = next;
    if (want <= 0 || !ReadAt(mData.data(), next, want)) {
        setg(mData.data(), mData.data(), mData.data());
        return traits_type::eof();
    }
    setg(mData.data(), mData.data(), mData.data() + want);
    return traits_type::to_int_type(*gptr());
}

std::streamsize SqliteBlobStream::Buffer::xsgetn(char_type* s, std::streamsize n) {
    std::streamsize done = 0;
    const std::streamsize buffered = std::min<std::streamsize>(egptr() - gptr(), n);
    if (buffered > 0) {
        std::memcpy(s, gptr(), static_cast<std::size_t>(buffered));
        gbump(static_cast<int>(buffered));
        done = buffered;
    }
    if (done == n) return done;
    const std::int64_t next = Position();
    const std::int64_t rest = std::min<std::int64_t>(n - done, mSize - next);
    if (rest <= 0) return done;
    if (rest >= kBufferSize) {
        // Large reads go straight into the caller's memory.
        mBufferStart = next + rest;
        setg(mData.data(), mData.data(), mData.data());
        if (!ReadAt(s + done, next, rest)) {
            mBufferStart = next;
            return done;
        }
        return done + rest;
    }
    while (done < n && !traits_type::eq_int_type(underflow(), traits_type::eof())) {
        const std::streamsize take = std::min<std::streamsize>(egptr() - gptr(), n - done);
        std::memcpy(s + done, gptr(), static_cast<std::size_t>(take));
        gbump(static_cast<int>(take));
        done += take;
    }
    return done;
}

SqliteBlobStream::Buffer::pos_type SqliteBlobStream::Buffer::seekoff(off_type off, std::ios_base::seekdir dir,
                                                                     std::ios_base::openmode which) {
    if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
    const std::int64_t base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? Position() : mSize;
    return seekpos(pos_type(base + off), which);
}

SqliteBlobStream::Buffer::pos_type SqliteBlobStream::Buffer::seekpos(pos_type pos, std::ios_base::openmode which) {
    const std::int64_t target = static_cast<std::int64_t>(pos);
    if (!(which & std::ios_base::in) || target < 0 || target > mSize) return pos_type(off_type(-1));
    // A position inside the bytes already buffered keeps them (the stream directory seeks back
    // and forth by small steps).
    const std::int64_t buffered = egptr() - eback();
    if (target >= mBufferStart && target <= mBufferStart + buffered) {
        setg(eback(), eback() + (target - mBufferStart), egptr());
    } else {
        mBufferStart = target;
        setg(mData.data(), mData.data(), mData.data());
    }
    return pos_type(target);
}
