#pragma once
// StreamWindow: a read-only stream buffer over a byte range [begin, begin + length) of a parent
// stream buffer. Sub-streams of a stream directory are read through it, so a large sub-stream is
// read straight from the parent into the caller's memory and never held twice. Nested windows
// (a directory inside a sub-stream) work because the parent may itself be a window. A window
// can be moved to another range and keeps its buffer, so that a reader of many small sub-streams
// allocates it once.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <streambuf>
#include <vector>

class StreamWindow final : public std::streambuf {
public:
    StreamWindow(std::streambuf* parent, std::int64_t begin, std::int64_t length);

    // The window over another range, positioned at its start; nothing read before is kept. The
    // buffer grows here when the range needs more (a failure to allocate reaches the caller).
    void Reset(std::streambuf* parent, std::int64_t begin, std::int64_t length);

    // Copies `count` bytes out when the buffer holds them, filling an empty buffer first, and
    // says whether it did: a caller that reads small items can skip the stream's per-call work
    // (see BinaryIO). False, nothing taken, when the bytes are not there in one piece.
    bool TakeDirect(void* into, std::size_t count) {
        if (static_cast<std::size_t>(egptr() - gptr()) < count && !FillFor(count)) return false;
        std::memcpy(into, gptr(), count);
        gbump(static_cast<int>(count));
        return true;
    }

    std::int64_t Length() const { return mLength; }
    std::int64_t BytesLeft() const { return mLength - Position(); }

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char_type* s, std::streamsize n) override;
    std::streamsize showmanyc() override { return BytesLeft(); }
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    std::int64_t Position() const { return mBufferStart + (gptr() - eback()); }
    // Fills an empty buffer; true when it then holds `count` bytes.
    bool FillFor(std::size_t count);
    void EmptyBufferAt(std::int64_t position);
    std::streamsize ReadFromParent(char* into, std::int64_t at, std::streamsize n);

    std::streambuf* mParent;
    std::int64_t mBegin;
    std::int64_t mLength;
    std::int64_t mBufferStart = 0;  // window offset of eback()
    std::vector<char> mBuffer;
};
