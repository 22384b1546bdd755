#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>

#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/StreamWindow.h"

namespace {

std::string ReadAll(std::istream& is) {
    return std::string(std::istreambuf_iterator<char>(is), std::istreambuf_iterator<char>());
}

// Bytes whose value tells their position (modulo a prime, so that windows at any offset differ).
std::string Numbered(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

TEST(StreamWindow, ReadsOnlyItsRangeAndSeeksInsideIt) {
    std::istringstream parent("0123456789ABCDEF");
    StreamWindow window(parent.rdbuf(), 4, 6);
    std::istream is(&window);
    EXPECT_EQ(window.Length(), 6);
    EXPECT_EQ(window.in_avail(), 6);
    EXPECT_EQ(ReadAll(is), "456789");
    EXPECT_EQ(is.get(), std::char_traits<char>::eof());
    EXPECT_EQ(window.BytesLeft(), 0);

    // Positions count from the window's start; the end is a position, past it is not.
    is.clear();
    EXPECT_EQ(is.seekg(2).tellg(), 2);
    EXPECT_EQ(is.get(), '6');
    EXPECT_EQ(window.BytesLeft(), 3);
    is.seekg(-1, std::ios_base::end);
    EXPECT_EQ(is.get(), '9');
    is.seekg(-4, std::ios_base::cur);
    EXPECT_EQ(is.get(), '6');
    is.seekg(6);
    EXPECT_TRUE(is.good());
    EXPECT_EQ(is.get(), std::char_traits<char>::eof());
    for (const std::streamoff outside : {7, -1}) {
        is.clear();
        is.seekg(3);
        is.seekg(outside);
        EXPECT_TRUE(is.fail()) << outside;
        is.clear();
        EXPECT_EQ(is.tellg(), 3) << "a refused seek moved the window";
    }
    EXPECT_EQ(window.pubseekoff(0, std::ios_base::beg, std::ios_base::out),
              std::streampos(-1));  // read-only

    // Windows nest, as a directory inside a sub-stream does.
    StreamWindow inner(&window, 1, 3);
    std::istream innerStream(&inner);
    EXPECT_EQ(ReadAll(innerStream), "567");
}

// The bound is what the length checks of every reader rely on: inside a sub-stream, a length
// that the whole stream could hold but the sub-stream cannot is refused.
TEST(StreamWindow, BytesLeftAreTheWindowsNotTheParents) {
    std::ostringstream os;
    WriteBinaryString("0123456789", os);
    const std::string string = os.str();  // 14 bytes
    std::istringstream parent(string + std::string(100, '.'));
    StreamWindow window(parent.rdbuf(), 0, 13);
    std::istream is(&window);
    EXPECT_EQ(StreamBytesLeft(is), 13);
    std::string text = "kept";
    EXPECT_FALSE(ReadBinaryString(text, is));
    EXPECT_EQ(text, "kept");

    StreamWindow whole(parent.rdbuf(), 0, 14);
    std::istream wholeStream(&whole);
    EXPECT_TRUE(ReadBinaryString(text, wholeStream));
    EXPECT_EQ(text, "0123456789");
    EXPECT_EQ(StreamBytesLeft(wholeStream), 0);
}

TEST(StreamWindow, LargeReadsSmallReadsAndSeeksAgree) {
    const std::string bytes = Numbered(400000);
    const std::int64_t begin = 1001;
    const std::int64_t length = 300000;
    std::istringstream parent(bytes);
    StreamWindow window(parent.rdbuf(), begin, length);
    std::istream is(&window);
    const auto expected = [&](std::int64_t at, std::int64_t n) {
        return bytes.substr(static_cast<std::size_t>(begin + at), static_cast<std::size_t>(n));
    };

    std::string small(10, '\0');
    ASSERT_TRUE(is.read(small.data(), 10));
    EXPECT_EQ(small, expected(0, 10));
    std::string large(150000, '\0');  // larger than the window's buffer: read straight through
    ASSERT_TRUE(is.read(large.data(), 150000));
    EXPECT_EQ(large, expected(10, 150000));
    EXPECT_EQ(window.BytesLeft(), length - 150010);

    is.seekg(5);  // back into bytes read before
    ASSERT_TRUE(is.read(small.data(), 10));
    EXPECT_EQ(small, expected(5, 10));
    is.seekg(-20, std::ios_base::end);
    std::string tail(50, '\0');
    is.read(tail.data(), 50);  // asks for more than is left
    EXPECT_EQ(is.gcount(), 20);
    EXPECT_TRUE(is.eof());
    EXPECT_EQ(tail.substr(0, 20), expected(length - 20, 20));

    // The parent's bytes are untouched and it reads as before from wherever it is put.
    EXPECT_FALSE(parent.fail());
    parent.seekg(0);
    EXPECT_EQ(ReadAll(parent), bytes);
}

TEST(StreamWindow, AParentShorterThanTheWindowEndsTheReads) {
    std::istringstream parent("0123456789");
    StreamWindow window(parent.rdbuf(), 6, 1000);
    std::istream is(&window);
    EXPECT_EQ(ReadAll(is), "6789");
    is.clear();
    is.seekg(900);
    std::string rest(200000, '\0');
    is.read(rest.data(), 200000);
    EXPECT_EQ(is.gcount(), 0);
    EXPECT_TRUE(is.fail());
}

}  // namespace
