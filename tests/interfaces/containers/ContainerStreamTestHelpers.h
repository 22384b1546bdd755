#pragma once
// Shared checks of the container tests: writing and reading a persistent container through the
// stream operators, and streams that cannot tell their size (a pipe).

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>

#include "interfaces/streams/ZStreamBase.h"
#include "tests/TestStreams.h"

namespace nctest {

template <typename C>
std::string WriteToString(const C& object) {
    std::ostringstream os;
    os << object;
    EXPECT_TRUE(os.good());
    return os.str();
}

// Writes `expected`, reads it back (from a seekable stream and from a pipe) and expects an equal
// object; then expects every truncated prefix to fail, and corrupted copies to be survived.
template <typename C>
void ExpectRobustRoundTrip(const C& expected) {
    const std::string bytes = WriteToString(expected);
    C back;
    std::istringstream is(bytes);
    is >> back;
    EXPECT_FALSE(is.fail());
    EXPECT_TRUE(back == expected);
    EXPECT_EQ(is.tellg(), static_cast<std::streamoff>(bytes.size()));

    PipeBuffer pipe(bytes);
    std::istream piped(&pipe);
    C fromPipe;
    piped >> fromPipe;
    EXPECT_FALSE(piped.fail());
    EXPECT_TRUE(fromPipe == expected);

    const auto read = [](std::istream& in) {
        C object;
        in >> object;
        return !in.fail();
    };
    EXPECT_EQ(CountSuccessfulTruncatedReads(bytes, read), 0);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        PipeBuffer cut(bytes.substr(0, length));
        std::istream in(&cut);
        EXPECT_FALSE(read(in)) << "pipe cut at " << length;
    }
    EXPECT_GT(ReadCorruptedCopies(bytes, read), 0);
}

}  // namespace nctest
