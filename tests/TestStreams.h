#pragma once
// Helpers for the reader tests: every reader of the library must survive a stream cut at any byte
// and a stream with changed bytes, returning failure without crashing, hanging or leaking.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "interfaces/streams/ZStreamBase.h"

namespace nctest {

// The bytes of one whole object; the write must leave the stream good.
inline std::string WriteObject(const ZStreamBase& object) {
    std::ostringstream os;
    os << object;
    EXPECT_TRUE(os.good());
    return os.str();
}

// Reads one whole object from `bytes`; true when the stream did not fail.
inline bool ReadObject(const std::string& bytes, ZStreamBase& object) {
    std::istringstream is(bytes);
    is >> object;
    return !is.fail();
}

// A read-only buffer over bytes that, like a pipe, cannot seek and so cannot tell its size.
class PipeBuffer : public std::streambuf {
public:
    explicit PipeBuffer(std::string bytes) : mBytes(std::move(bytes)) {
        setg(mBytes.data(), mBytes.data(), mBytes.data() + mBytes.size());
    }

private:
    std::string mBytes;
};

// A write-only buffer that, like a pipe, cannot seek; what was written collects in `bytes`.
class PipeSink : public std::streambuf {
public:
    std::string bytes;

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) bytes.push_back(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        bytes.append(s, static_cast<std::size_t>(n));
        return n;
    }
};

// Calls `read` with a stream holding each proper prefix of `bytes` (lengths 0 … size-1) and
// returns how many of those reads reported success. A reader that needs all of its bytes
// returns 0; the test asserts what it expects.
inline int CountSuccessfulTruncatedReads(const std::string& bytes, const std::function<bool(std::istream&)>& read) {
    int successes = 0;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::istringstream is(bytes.substr(0, length));
        if (read(is)) ++successes;
    }
    return successes;
}

// Calls `read` with copies of `bytes` in which one byte is changed, at every position (or at a
// stride for long streams) and with several replacement values. Returns the number of reads;
// the point is that none crashes, hangs or trips a sanitizer, whatever each returns.
inline int ReadCorruptedCopies(const std::string& bytes, const std::function<bool(std::istream&)>& read) {
    static const unsigned char kValues[] = {0x00, 0xFF, 0x7F, 0x80, 0x01};
    const std::size_t stride = bytes.size() > 4000 ? bytes.size() / 4000 : 1;
    int reads = 0;
    for (std::size_t at = 0; at < bytes.size(); at += stride) {
        for (unsigned char value : kValues) {
            std::string copy = bytes;
            if (static_cast<unsigned char>(copy[at]) == value) continue;
            copy[at] = static_cast<char>(value);
            std::istringstream is(copy);
            read(is);
            ++reads;
        }
    }
    return reads;
}

}  // namespace nctest
