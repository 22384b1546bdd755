// Strings of this library are C strings: a stored string holding a zero byte is refused on
// reading, so that what reads also writes the same bytes again.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "interfaces/containers/NCStringVector.h"
#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/CString.h"
#include "tests/TestStreams.h"

namespace {

std::string Stored(const std::string& text) {
    const auto length = static_cast<std::uint32_t>(text.size());
    std::ostringstream os;
    WriteFourBytes(&length, 1, os);
    return os.str() + text;
}

TEST(BinaryString, AZeroByteFailsTheReadAndLeavesTheOutputAlone) {
    const std::string stored = Stored(std::string("a\0b", 3));
    std::string text = "kept";
    std::istringstream is(stored);
    EXPECT_FALSE(ReadBinaryString(text, is));
    EXPECT_TRUE(is.fail());
    EXPECT_EQ(text, "kept");

    CString value("kept");
    nctest::PipeBuffer pipe(stored);
    std::istream piped(&pipe);
    EXPECT_FALSE(ReadBinaryString(value, piped));
    EXPECT_STREQ(value, "kept");

    char* copy = nullptr;
    std::istringstream again(Stored(std::string("\0", 1)));
    EXPECT_FALSE(ReadBinaryString(copy, again));
    EXPECT_EQ(copy, nullptr);

    std::istringstream plain(Stored("a b"));
    EXPECT_TRUE(ReadBinaryString(text, plain));
    EXPECT_EQ(text, "a b");
}

TEST(BinaryString, AStringVectorHoldingAZeroByteFailsAsAWhole) {
    NCStringVector written;
    written.push_back("a");
    written.push_back("ab");
    std::string bytes = nctest::WriteObject(written);
    const std::size_t at = bytes.rfind("ab");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 1] = '\0';
    NCStringVector read;
    read.push_back("before");
    std::istringstream is(bytes);
    is >> read;
    EXPECT_TRUE(is.fail());
    ASSERT_EQ(read.Size(), 1);
    EXPECT_STREQ(read[1], "before");
}

}  // namespace
