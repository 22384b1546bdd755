// Byte order, the string layout and cut streams are pinned through every class by the golden files
// (tests/golden); these are the limits of the readers and what no class shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "interfaces/utility/BinaryIO.h"
#include "tests/LargestAllocation.h"
#include "tests/TestStreams.h"

namespace {

// Four length bytes (little-endian) and then `tail`.
std::string LengthThen(std::uint32_t length, const std::string& tail) {
    std::ostringstream os;
    WriteFourBytes(&length, 1, os);
    return os.str() + tail;
}

// A length that the stream cannot hold fails before the string is allocated, and leaves the
// output as it was: on a stream that knows its size, and on one that does not (a pipe), which
// grows the string only as its bytes arrive. Strings of this library are C strings: a stored
// string holding a zero byte fails too, so that what reads also writes the same bytes again.
TEST(BinaryIO, LengthsBeyondTheBytesLeftAndZeroBytesFailWithoutAllocating) {
    const std::string body(100, 'z');
    for (const std::string& bytes :
         {LengthThen(101, body), LengthThen(0x7FFFFFFFu, body), LengthThen(0xFFFFFFFFu, body),
          LengthThen(3, std::string("a\0b", 3)), LengthThen(1, std::string(1, '\0'))}) {
        SCOPED_TRACE(::testing::PrintToString(bytes.substr(0, 8)));
        nctest::LargestAllocation largest;
        std::istringstream seekable(bytes);
        std::string text = "kept";
        EXPECT_FALSE(ReadBinaryString(text, seekable));
        EXPECT_TRUE(seekable.fail());
        EXPECT_EQ(text, "kept");

        nctest::PipeBuffer pipe(bytes);
        std::istream piped(&pipe);
        CString kept("kept");
        EXPECT_FALSE(ReadBinaryString(kept, piped));
        EXPECT_TRUE(piped.fail());
        EXPECT_EQ(kept, CString("kept"));

        std::istringstream again(bytes);
        char before[] = "kept";
        char* copy = before;
        EXPECT_FALSE(ReadBinaryString(copy, again));
        EXPECT_EQ(copy, nullptr);
        if (nctest::LargestAllocation::Available()) {
            EXPECT_LT(largest.Bytes(), 1u << 20);
        }
    }
    // An empty string (also from a null pointer) is a string, not a failure.
    std::ostringstream empty;
    EXPECT_TRUE(WriteBinaryString(nullptr, empty));
    EXPECT_EQ(empty.str(), LengthThen(0, ""));
    std::istringstream emptyIn(empty.str());
    char* none = nullptr;
    ASSERT_TRUE(ReadBinaryString(none, emptyIn));
    const std::unique_ptr<char[]> ownNone(none);
    ASSERT_NE(none, nullptr);
    EXPECT_STREQ(none, "");

    // Exactly the bytes left is enough, also through a pipe, where a long string arrives in steps.
    std::string longText(300000, 'q');
    longText[150000] = 'Q';
    const std::string bytes = LengthThen(300000, longText);
    nctest::LargestAllocation largest;
    std::istringstream exact(bytes);
    std::string text;
    EXPECT_TRUE(ReadBinaryString(text, exact));
    EXPECT_EQ(text, longText);
    if (nctest::LargestAllocation::Available()) {
        EXPECT_GE(largest.Bytes(), 300000u);  // the probe does see allocations
    }
    nctest::PipeBuffer pipe(bytes);
    std::istream piped(&pipe);
    EXPECT_TRUE(ReadBinaryString(text, piped));
    EXPECT_EQ(text, longText);
}

TEST(BinaryIO, BytesLeftCountFromThePositionAndLeaveItThere) {
    std::istringstream is("abcdef");
    is.ignore(2);
    EXPECT_EQ(StreamBytesLeft(is), 4);
    EXPECT_EQ(is.tellg(), 2);
    EXPECT_TRUE(CanStillRead(is, 4) && is.good());
    EXPECT_FALSE(CanStillRead(is, 5));
    EXPECT_TRUE(is.fail());
    std::istringstream empty("");
    EXPECT_EQ(StreamBytesLeft(empty), 0);

    // A pipe cannot tell, so any count may follow; its reader must grow as the data arrives.
    nctest::PipeBuffer pipe("ab");
    std::istream piped(&pipe);
    EXPECT_EQ(StreamBytesLeft(piped), -1);
    EXPECT_TRUE(CanStillRead(piped, 1u << 31) && piped.good());
    EXPECT_EQ(piped.get(), 'a');

    // A write to a failed stream reports the failure.
    std::ostringstream failed;
    failed.setstate(std::ios_base::badbit);
    const std::uint32_t word = 1;
    EXPECT_FALSE(WriteFourBytes(&word, 1, failed));
    EXPECT_FALSE(WriteBinaryString("x", failed));
}

}  // namespace
