#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "interfaces/utility/BinaryIO.h"
#include "tests/LargestAllocation.h"
#include "tests/TestStreams.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes.push_back(static_cast<char>(value));
    return bytes;
}

// Four length bytes (little-endian) and then `tail`.
std::string LengthThen(std::uint32_t length, const std::string& tail) {
    std::ostringstream os;
    WriteFourBytes(&length, 1, os);
    return os.str() + tail;
}

TEST(BinaryIO, ItemsAreLittleEndianAndReadBackWhole) {
    std::ostringstream os;
    const std::uint32_t words[2] = {0x04030201u, 0xFFFFFFFEu};
    const std::uint16_t half = 0x0A0B;
    const float one = 1.0f;
    const char raw[3] = {'x', '\0', 'y'};
    EXPECT_TRUE(WriteFourBytes(words, 2, os));
    EXPECT_TRUE(WriteTwoBytes(&half, 1, os));
    EXPECT_TRUE(WriteFourBytes(&one, 1, os));
    EXPECT_TRUE(WriteBytes(raw, 3, os));
    EXPECT_TRUE(WriteFourBytes(words, 0, os));  // nothing to write is no failure
    EXPECT_EQ(os.str(), Bytes({1, 2, 3, 4, 0xFE, 0xFF, 0xFF, 0xFF, 0x0B, 0x0A, 0, 0, 0x80, 0x3F, 'x', 0, 'y'}));

    std::istringstream is(os.str());
    std::uint32_t wordsRead[2] = {0, 0};
    std::uint16_t halfRead = 0;
    float oneRead = 0;
    char rawRead[3] = {};
    EXPECT_TRUE(ReadFourBytes(wordsRead, 2, is) && ReadTwoBytes(&halfRead, 1, is) && ReadFourBytes(&oneRead, 1, is) &&
                ReadBytes(rawRead, 3, is));
    EXPECT_TRUE(wordsRead[0] == words[0] && wordsRead[1] == words[1] && halfRead == half);
    EXPECT_EQ(oneRead, 1.0f);
    EXPECT_EQ(std::string(rawRead, 3), std::string(raw, 3));

    // A short read fails and marks the stream, whatever the item size; so does a failed write.
    std::uint32_t eight[2];
    std::istringstream seven(std::string(7, 'a')), three(std::string(3, 'a')), single(std::string(1, 'a'));
    EXPECT_FALSE(ReadFourBytes(eight, 2, seven));
    EXPECT_FALSE(ReadTwoBytes(eight, 2, three));
    EXPECT_FALSE(ReadBytes(eight, 2, single));
    EXPECT_TRUE(seven.fail() && three.fail() && single.fail());
    std::ostringstream failed;
    failed.setstate(std::ios_base::badbit);
    EXPECT_FALSE(WriteFourBytes(words, 1, failed));
    EXPECT_FALSE(WriteBinaryString("x", failed));
}

TEST(BinaryIO, StringsAreAFourByteLengthAndTheBytesWithoutTerminator) {
    const std::string utf8 = std::string("Gr\xc3\xbc\xc3\x9f") + "e";
    std::ostringstream os;
    EXPECT_TRUE(WriteBinaryString(utf8.c_str(), os));
    EXPECT_TRUE(WriteBinaryString(nullptr, os));  // the empty string
    EXPECT_TRUE(WriteBinaryString("", os));
    EXPECT_TRUE(WriteBinaryString("ab", os));
    EXPECT_EQ(os.str(), LengthThen(7, utf8) + LengthThen(0, "") + LengthThen(0, "") + LengthThen(2, "ab"));

    std::istringstream is(os.str());
    std::string text;
    CString empty("not yet");
    char* none = nullptr;
    char* ab = nullptr;
    ASSERT_TRUE(ReadBinaryString(text, is) && ReadBinaryString(empty, is) && ReadBinaryString(none, is) &&
                ReadBinaryString(ab, is));
    const std::unique_ptr<char[]> ownNone(none), ownAb(ab);
    EXPECT_EQ(text, utf8);
    EXPECT_TRUE(empty.IsEmpty());
    ASSERT_NE(none, nullptr);  // an empty string is a string, not a failure
    EXPECT_STREQ(none, "");
    EXPECT_STREQ(ab, "ab");
    EXPECT_EQ(is.peek(), std::char_traits<char>::eof());
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
}

}  // namespace
