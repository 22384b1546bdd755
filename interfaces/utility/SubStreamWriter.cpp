#include "interfaces/utility/SubStreamWriter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <typeinfo>

#include "interfaces/utility/BinaryIO.h"

namespace {

constexpr std::int64_t kFirstCapacity = 4 * 1024;

// Little-endian on every machine, as the directory's layout has it.
void PutLittle(char* into, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) into[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The writer behind a parent stream that is itself a sub-stream, or null.
SubStreamWriter* WriterOf(std::ostream& os) {
    std::streambuf* buffer = os.rdbuf();
    if (buffer && typeid(*buffer) == typeid(SubStreamWriter)) return static_cast<SubStreamWriter*>(buffer);
    return nullptr;
}

}  // namespace

void SubStreamWriter::Reserve(std::size_t bytes) {
    if (mBuffer.size() < bytes) mBuffer.resize(bytes);
}

void SubStreamWriter::Bump(std::int64_t count) {
    while (count > 0) {
        const int step = static_cast<int>(std::min<std::int64_t>(count, INT_MAX));
        pbump(step);
        count -= step;
    }
}

void SubStreamWriter::Open(std::ostream& parent, std::int32_t number) {
    Reserve(static_cast<std::size_t>(kHeaderSize + kFirstCapacity));
    mParent = &parent;
    mNumber = number;
    mSentAhead = false;
    mHoldWhole = false;
    mSent = 0;
    mDataAt = 0;
    setp(mBuffer.data() + kHeaderSize, mBuffer.data() + mBuffer.size());
}

void SubStreamWriter::Trim() {
    setp(nullptr, nullptr);
    mParent = nullptr;
    if (static_cast<std::int64_t>(mBuffer.size()) > kHeaderSize + kSpillSize) {
        mBuffer.clear();
        mBuffer.shrink_to_fit();
    }
}

bool SubStreamWriter::FlushSent() {
    const std::streamsize pending = pptr() - pbase();
    if (pending > 0) {
        WriteBytes(pbase(), static_cast<std::size_t>(pending), *mParent);
        mSent += pending;
    }
    setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
    return mParent->good();
}

bool SubStreamWriter::SendAhead() {
    // The length goes where the parent stands now, after the number; it must be patchable.
    std::int64_t here = -1;
    if (SubStreamWriter* parentWriter = WriterOf(*mParent))
        here = parentWriter->Position();
    else
        here = static_cast<std::int64_t>(mParent->tellp());
    if (here < 0) return false;
    const std::int64_t pending = pptr() - pbase();
    char* header = mBuffer.data();
    PutLittle(header, static_cast<std::uint32_t>(mNumber), 4);
    PutLittle(header + 4, 0, 8);
    WriteBytes(header, static_cast<std::size_t>(kHeaderSize + pending), *mParent);
    mSentAhead = true;
    mDataAt = here + kHeaderSize;
    mSent = pending;
    setp(mBuffer.data(), mBuffer.data() + mBuffer.size());
    return true;
}

bool SubStreamWriter::MakeRoom() {
    if (!mParent || !mParent->good()) return false;
    if (mSentAhead) return FlushSent();
    const std::int64_t used = pptr() - pbase();
    if (!mHoldWhole && used >= kSpillSize) {
        if (SendAhead()) return mParent->good();
        mHoldWhole = true;  // a pipe: the length must come first, so the chunk waits whole
    }
    // Grow: an exception here (no memory) makes the stream bad, as any failed write does.
    const std::size_t size = mBuffer.size();
    mBuffer.resize(kHeaderSize + 2 * (size - kHeaderSize));
    char* begin = mBuffer.data() + kHeaderSize;
    setp(begin, mBuffer.data() + mBuffer.size());
    Bump(used);
    return true;
}

SubStreamWriter::int_type SubStreamWriter::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (pptr() == epptr() && !MakeRoom()) return traits_type::eof();
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize SubStreamWriter::xsputn(const char_type* s, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n) {
        const std::streamsize room = epptr() - pptr();
        const std::streamsize rest = n - done;
        if (rest <= room) {
            std::memcpy(pptr(), s + done, static_cast<std::size_t>(rest));
            Bump(rest);
            return n;
        }
        if (mSentAhead && pptr() == pbase() && rest >= kSpillSize) {
            // Large writes of a chunk that went ahead pass straight through.
            mParent->write(s + done, rest);
            if (!mParent->good()) return done;
            mSent += rest;
            return n;
        }
        if (room > 0) {
            std::memcpy(pptr(), s + done, static_cast<std::size_t>(room));
            Bump(room);
            done += room;
        }
        if (!MakeRoom()) return done;
    }
    return done;
}

SubStreamWriter::pos_type SubStreamWriter::seekoff(off_type off, std::ios_base::seekdir dir,
                                                   std::ios_base::openmode which) {
    if (off != 0 || dir != std::ios_base::cur || !(which & std::ios_base::out) || !mParent)
        return pos_type(off_type(-1));
    return pos_type(Position());
}

SubStreamWriter::pos_type SubStreamWriter::seekpos(pos_type, std::ios_base::openmode) { return pos_type(off_type(-1)); }

bool SubStreamWriter::Patch(std::int64_t at, const char* bytes, std::size_t count) {
    const auto n = static_cast<std::int64_t>(count);
    if (at < 0 || at + n > Position()) return false;
    if (at < mSent) {
        // Already handed on: patch the parent where those bytes went.
        const std::int64_t there = std::min(n, mSent - at);
        if (!PatchParentAt(mDataAt + at, bytes, static_cast<std::size_t>(there))) return false;
        at += there;
        bytes += there;
        count -= static_cast<std::size_t>(there);
    }
    if (count > 0) std::memcpy(pbase() + (at - mSent), bytes, count);
    return true;
}

bool SubStreamWriter::PatchStream(std::ostream& os, std::int64_t at, const char* bytes, std::size_t count) {
    if (!os.good()) return false;
    const auto end = os.tellp();
    os.seekp(at);
    os.write(bytes, static_cast<std::streamsize>(count));
    os.seekp(end);
    return os.good();
}

bool SubStreamWriter::PatchParentAt(std::int64_t at, const char* bytes, std::size_t count) {
    if (SubStreamWriter* parentWriter = WriterOf(*mParent)) return parentWriter->Patch(at, bytes, count);
    return PatchStream(*mParent, at, bytes, count);
}

bool SubStreamWriter::Finish() {
    if (!mParent) return false;
    std::ostream& parent = *mParent;
    if (mSentAhead) {
        FlushSent();
        char length[8];
        PutLittle(length, static_cast<std::uint64_t>(mSent), 8);
        if (parent.good() && !PatchParentAt(mDataAt - 8, length, sizeof length))
            parent.setstate(std::ios_base::failbit);
    } else {
        const std::int64_t used = pptr() - pbase();
        char* header = mBuffer.data();
        PutLittle(header, static_cast<std::uint32_t>(mNumber), 4);
        PutLittle(header + 4, static_cast<std::uint64_t>(used), 8);
        WriteBytes(header, static_cast<std::size_t>(kHeaderSize + used), parent);
    }
    mParent = nullptr;
    setp(nullptr, nullptr);
    return parent.good();
}
