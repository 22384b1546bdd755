#include "app/SqliteRowWriter.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "app/SqliteDatabase.h"

namespace {

// The first buffer of a stream; it doubles up to a part as the stream grows, so that the many
// small streams of a project cost little memory.
constexpr std::size_t kFirstBuffer = 64 * 1024;

struct BlobCloser {
    void operator()(sqlite3_blob* blob) const { sqlite3_blob_close(blob); }
};

}  // namespace

SqliteRowWriter::SqliteRowWriter(SqliteDatabase& database, SqliteStatement& insert, const char* table,
                                 const char* column, std::size_t partSize)
    : mDatabase(database),
      mInsert(insert),
      mTable(table),
      mColumn(column),
      mPartSize(std::clamp<std::size_t>(partSize, 1, kLargestPart)) {}

SqliteRowWriter::~SqliteRowWriter() = default;

void SqliteRowWriter::Start(const std::string& name) {
    mName = &name;
    mRows.clear();
    mStored = 0;
    mFilled = 0;
    mPatching = false;
    mError = nullptr;
    if (mBuffer.empty()) mBuffer.resize(std::min(mPartSize, kFirstBuffer));
    setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
}

void SqliteRowWriter::Finish() {
    if (mError) std::rethrow_exception(mError);
    const std::size_t filled = Filled();
    setp(nullptr, nullptr);
    if (filled > 0 || mRows.empty()) StorePart(filled);
    mName = nullptr;
}

std::size_t SqliteRowWriter::Filled() const {
    return mPatching ? mFilled : std::max(mFilled, static_cast<std::size_t>(pptr() - pbase()));
}

std::int64_t SqliteRowWriter::Position() const { return mPatching ? mPatchAt : mStored + (pptr() - pbase()); }

std::int64_t SqliteRowWriter::End() const { return mStored + static_cast<std::int64_t>(Filled()); }

template <typename Step>
bool SqliteRowWriter::Guard(Step&& step) {
    if (mError) return false;
    try {
        step();
        return true;
    } catch (const SqliteError&) {
        mError = std::current_exception();
        setp(nullptr, nullptr);
        return false;
    }
}

void SqliteRowWriter::StorePart(std::size_t size) {
    mInsert.BindText(1, *mName);
    mInsert.BindInteger(2, static_cast<std::int64_t>(mRows.size()));
    mInsert.BindBlob(3, mBuffer.data(), size);
    mInsert.Step();
    mInsert.Reset();
    mRows.push_back(sqlite3_last_insert_rowid(mDatabase.Handle()));
}

void SqliteRowWriter::MakeRoom() {
    const std::size_t used = mBuffer.size();  // the put area is full
    if (used < mPartSize) {
        mBuffer.resize(std::min(mPartSize, 2 * used));
        mFilled = std::max(mFilled, used);
    } else {
        StorePart(used);
        mStored += static_cast<std::int64_t>(used);
        mFilled = 0;
    }
    setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
    pbump(static_cast<int>(mFilled));  // back to where the stream stood: the end of the bytes kept
}

std::size_t SqliteRowWriter::PatchStored(const char* s, std::size_t n) {
    const auto part = static_cast<std::size_t>(mPatchAt / static_cast<std::int64_t>(mPartSize));
    const auto offset = static_cast<std::size_t>(mPatchAt % static_cast<std::int64_t>(mPartSize));
    const std::size_t take = std::min({n, mPartSize - offset, static_cast<std::size_t>(mStored - mPatchAt)});
    sqlite3_blob* opened = nullptr;
    int rc = sqlite3_blob_open(mDatabase.Handle(), "main", mTable, mColumn, mRows[part], 1, &opened);
    const std::unique_ptr<sqlite3_blob, BlobCloser> blob(opened);
    if (rc == SQLITE_OK) rc = sqlite3_blob_write(blob.get(), s, static_cast<int>(take), static_cast<int>(offset));
    if (rc != SQLITE_OK) mDatabase.Fail(rc, "overwriting a stored part of a stream");
    mPatchAt += static_cast<std::int64_t>(take);
    return take;
}

SqliteRowWriter::int_type SqliteRowWriter::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char one = traits_type::to_char_type(c);
    return xsputn(&one, 1) == 1 ? c : traits_type::eof();
}

std::streamsize SqliteRowWriter::xsputn(const char_type* s, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n && !mError) {
        const auto rest = static_cast<std::size_t>(n - done);
        if (mPatching) {
            std::size_t wrote = 0;
            if (!Guard([&] { wrote = PatchStored(s + done, rest); })) break;
            done += static_cast<std::streamsize>(wrote);
            if (mPatchAt == mStored) {
                // Past the stored parts: on in the buffer, from its start.
                mPatching = false;
                setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
            }
            continue;
        }
        const auto room = static_cast<std::size_t>(epptr() - pptr());
        if (room == 0) {
            if (!Guard([this] { MakeRoom(); })) break;
            continue;
        }
        const std::size_t take = std::min(room, rest);
        std::memcpy(pptr(), s + done, take);
        pbump(static_cast<int>(take));
        done += static_cast<std::streamsize>(take);
    }
    return done;
}

SqliteRowWriter::pos_type SqliteRowWriter::seekoff(off_type off, std::ios_base::seekdir dir,
                                                   std::ios_base::openmode which) {
    const std::int64_t base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? Position() : End();
    return seekpos(pos_type(base + off), which);
}

SqliteRowWriter::pos_type SqliteRowWriter::seekpos(pos_type pos, std::ios_base::openmode which) {
    const auto target = static_cast<std::int64_t>(pos);
    if (!(which & std::ios_base::out) || mError || !mName || target < 0 || target > End())
        return pos_type(off_type(-1));
    mFilled = Filled();
    if (target >= mStored) {
        mPatching = false;
        setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
        pbump(static_cast<int>(target - mStored));
    } else {
        mPatching = true;
        mPatchAt = target;
        setp(nullptr, nullptr);
    }
    return pos;
}
