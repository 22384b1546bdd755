#include "interfaces/utility/StreamWindow.h"

#include <algorithm>

namespace {
constexpr std::int64_t kBufferSize = 64 * 1024;
}

StreamWindow::StreamWindow(std::streambuf* parent, std::int64_t begin, std::int64_t length) {
    Reset(parent, begin, length);
}

void StreamWindow::Reset(std::streambuf* parent, std::int64_t begin, std::int64_t length) {
    // Allocated here, where a failure reaches the caller: an exception thrown while the stream
    // reads would only set the stream's badbit and look like a damaged stream.
    const auto wanted = static_cast<std::size_t>(std::min(kBufferSize, std::max<std::int64_t>(length, 0)));
    if (mBuffer.size() < wanted) mBuffer.resize(wanted);
    mParent = parent;
    mBegin = begin;
    mLength = length;
    mBufferStart = 0;
    setg(nullptr, nullptr, nullptr);
}

void StreamWindow::EmptyBufferAt(std::int64_t position) {
    mBufferStart = position;
    char* base = mBuffer.empty() ? nullptr : mBuffer.data();
    setg(base, base, base);
}

std::streamsize StreamWindow::ReadFromParent(char* into, std::int64_t at, std::streamsize n) {
    const auto target = mParent->pubseekpos(mBegin + at, std::ios_base::in);
    if (target == pos_type(off_type(-1))) return 0;
    return mParent->sgetn(into, n);
}

StreamWindow::int_type StreamWindow::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::int64_t next = Position();
    if (next >= mLength) return traits_type::eof();
    if (mBuffer.empty()) mBuffer.resize(static_cast<size_t>(std::min(kBufferSize, mLength)));
    const auto want =
        static_cast<std::streamsize>(std::min<std::int64_t>(static_cast<std::int64_t>(mBuffer.size()), mLength - next));
    const std::streamsize got = ReadFromParent(mBuffer.data(), next, want);
    mBufferStart = next;
    if (got <= 0) {
        setg(mBuffer.data(), mBuffer.data(), mBuffer.data());
        return traits_type::eof();
    }
    setg(mBuffer.data(), mBuffer.data(), mBuffer.data() + got);
    return traits_type::to_int_type(*gptr());
}

bool StreamWindow::FillFor(std::size_t count) {
    if (gptr() != egptr() || traits_type::eq_int_type(underflow(), traits_type::eof())) return false;
    return static_cast<std::size_t>(egptr() - gptr()) >= count;
}

std::streamsize StreamWindow::xsgetn(char_type* s, std::streamsize n) {
    std::streamsize done = 0;
    while (done < n) {
        const std::streamsize buffered = egptr() - gptr();
        if (buffered > 0) {
            const std::streamsize take = std::min(buffered, n - done);
            std::copy(gptr(), gptr() + take, s + done);
            gbump(static_cast<int>(take));
            done += take;
            continue;
        }
        const std::int64_t next = Position();
        const std::int64_t left = mLength - next;
        if (left <= 0) break;
        const std::streamsize rest = n - done;
        if (rest >= kBufferSize) {
            // Large reads go straight into the caller's memory.
            const auto want = static_cast<std::streamsize>(std::min<std::int64_t>(rest, left));
            const std::streamsize got = ReadFromParent(s + done, next, want);
            EmptyBufferAt(next + std::max<std::streamsize>(got, 0));
            if (got <= 0) break;
            done += got;
            if (got < want) break;
            continue;
        }
        if (traits_type::eq_int_type(underflow(), traits_type::eof())) break;
    }
    return done;
}

StreamWindow::pos_type StreamWindow::seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) {
    if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
    std::int64_t target = 0;
    if (dir == std::ios_base::beg)
        target = off;
    else if (dir == std::ios_base::cur)
        target = Position() + off;
    else
        target = mLength + off;
    if (target < 0 || target > mLength) return pos_type(off_type(-1));
    const std::int64_t bufferEnd = mBufferStart + (egptr() - eback());
    if (eback() && target >= mBufferStart && target <= bufferEnd)
        setg(eback(), eback() + (target - mBufferStart), egptr());
    else
        EmptyBufferAt(target);
    return pos_type(target);
}

StreamWindow::pos_type StreamWindow::seekpos(pos_type pos, std::ios_base::openmode which) {
    return seekoff(off_type(pos), std::ios_base::beg, which);
}
