#pragma once
// StreamWindow: a read-only stream buffer over a byte range [begin, begin + length) of a parent
// stream buffer. Sub-streams of a stream directory are read through it, so a large sub-stream is
// read straight from the parent into the caller's memory and never held twice. Nested windows
// (a directory inside a sub-stream) work because the parent may itself be a window.

#include <cstdint>
#include <streambuf>
#include <vector>

class StreamWindow : public std::streambuf {
public:
    StreamWindow(std::streambuf* parent, std::int64_t begin, std::int64_t length);

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
    void EmptyBufferAt(std::int64_t position);
    std::streamsize ReadFromParent(char* into, std::int64_t at, std::streamsize n);

    std::streambuf* mParent;
    std::int64_t mBegin;
    std::int64_t mLength;
    std::int64_t mBufferStart = 0;  // window offset of eback()
    std::vector<char> mBuffer;
};
