#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/BinaryIO.h"
#include "tests/LargestAllocation.h"
#include "tests/TestStreams.h"

// Sections, their optional sub-streams and damaged copies of them are covered through every
// persistent class by the golden files; these are the directory's own limits and layouts.

TEST(StreamDirectory, HostileLengthsAreRejectedBeforeAllocating) {
    // A sub-stream that claims 2^40 bytes, and a string that claims 4 GiB inside a real sub-stream.
    nctest::LargestAllocation largest;
    std::ostringstream os;
    const std::int32_t zero = 0;
    const std::uint32_t huge[2] = {0, 256};
    WriteFourBytes(&zero, 1, os);
    WriteFourBytes(huge, 2, os);
    os << std::string(1000, 'x');
    std::istringstream is(os.str());
    InputStreamDirectory dir(is);
    EXPECT_FALSE(dir.IsValid());
    EXPECT_TRUE(is.fail());
    EXPECT_EQ(dir.GetInput(0), nullptr);
    nctest::PipeBuffer pipe(os.str());  // cannot tell its size: the chunk grows only as bytes arrive
    std::istream piped(&pipe);
    InputStreamDirectory pipedDir(piped);
    EXPECT_FALSE(pipedDir.IsValid());
    EXPECT_TRUE(piped.fail());

    std::ostringstream os2;
    {
        OutputStreamDirectory out(os2, 1);
        const std::uint32_t length = 0xFFFFFFFFu;
        WriteFourBytes(&length, 1, out.GetOutput(0));
    }
    std::istringstream is2(os2.str());
    InputStreamDirectory dir2(is2);
    std::string text = "kept";
    EXPECT_FALSE(ReadFromStreamDir(text, dir2, 0, false));
    EXPECT_EQ(text, "kept");
    const auto message = [&](int k) -> std::string {
        try {
            ReadFromStreamDir(text, dir2, k, true);
        } catch (const ZoStreamError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(message(7), "ReadFromStreamDir failed");
    EXPECT_EQ(message(0), "Error when reading from stream");
    if (nctest::LargestAllocation::Available()) {
        EXPECT_LT(largest.Bytes(), 1u << 20);
    }
}

TEST(StreamDirectory, EmptyContainersAndPointersHaveTheirSmallestForm) {
    std::ostringstream os;
    WriteToStream(std::vector<int>(), os);
    EXPECT_EQ(os.str(), std::string(4, '\0'));
    std::ostringstream os2;
    WriteToStream(boost::shared_ptr<NCStringVector>(), os2);
    EXPECT_EQ(os2.str(), std::string(1, '\0'));

    boost::shared_ptr<NCStringVector> pointer(new NCStringVector);
    std::istringstream is(os2.str());
    EXPECT_TRUE(ReadFromStream(pointer, is, true));
    EXPECT_FALSE(pointer);
}

namespace {
// An outer directory whose sub-stream 1 holds a directory and sub-stream 0 a number.
std::string WriteNested() {
    std::ostringstream os;
    OutputStreamDirectory outer(os, 2);
    {
        OutputStreamDirectory inner(outer.GetOutput(1), 2);
        WriteToStream(std::string(70000, 'i'), inner.GetOutput(0));  // longer than a read step
    }
    WriteToStream(12, outer.GetOutput(0));
    outer.Close();
    return os.str();
}
}  // namespace

// Writing to a pipe is covered through every class by the golden files and SubStreamWriterTest.
TEST(StreamDirectory, SubStreamsReadFromAPipeTellTheirSizeAndSeek) {
    // Read from a pipe, a sub-stream still tells its size and can be read again from its start.
    nctest::PipeBuffer pipe(WriteNested());
    std::istream in(&pipe);
    InputStreamDirectory outer(in);
    std::istream* inner = outer.GetInput(1);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(StreamBytesLeft(*inner), 4 + 8 + 4 + 70000 + 4);
    InputStreamDirectory nested(*inner);
    std::string text;
    EXPECT_TRUE(ReadFromStreamDir(text, nested, 0, true));
    EXPECT_EQ(text, std::string(70000, 'i'));
    std::istream* number = outer.GetInput(0);
    ASSERT_NE(number, nullptr);
    int value = 0;
    EXPECT_TRUE(ReadFromStream(value, *number, true));
    number->seekg(0);
    value = 0;
    EXPECT_TRUE(ReadFromStream(value, *number, true));
    EXPECT_EQ(value, 12);
}

TEST(StreamDirectory, ReusedSubStreamsStartAsNewOnes) {
    // Whatever a user does to a sub-stream, the next section's sub-streams are good, unformatted
    // and throw nothing.
    std::ostringstream os;
    {
        OutputStreamDirectory first(os, 1);
        std::ostream& sub = first.GetOutput(0);
        sub << std::hex << std::setw(9) << std::setfill('*');
        sub.exceptions(std::ios_base::badbit);
    }
    {
        OutputStreamDirectory second(os, 1);
        second.GetOutput(0) << 255;
    }
    ASSERT_TRUE(os.good());
    EXPECT_NE(os.str().find("255"), std::string::npos);

    std::istringstream is(os.str());
    {
        InputStreamDirectory first(is);
        std::istream* sub = first.GetInput(0);
        ASSERT_NE(sub, nullptr);
        *sub >> std::hex;
        sub->exceptions(std::ios_base::failbit | std::ios_base::eofbit);
        EXPECT_THROW(sub->ignore(1000), std::ios_base::failure);
    }
    InputStreamDirectory second(is);
    std::istream* sub = second.GetInput(0);
    ASSERT_NE(sub, nullptr);
    int value = 0;
    *sub >> value;
    EXPECT_EQ(value, 255);
    EXPECT_NO_THROW(sub->ignore(1000));
    EXPECT_TRUE(sub->eof());
}

TEST(StreamDirectory, ItemsAcrossTheBuffersOfASubStreamReadAsWritten) {
    // A byte first, so that numbers and strings straddle the readers' and writers' buffer edges.
    std::ostringstream os;
    {
        OutputStreamDirectory directory(os, 1);
        std::ostream& sub = directory.GetOutput(0);
        WriteBytes("!", 1, sub);
        for (std::int32_t i = 0; i < 40000; ++i) WriteFourBytes(&i, 1, sub);
        for (int length = 0; length < 1200; ++length)
            WriteBinaryString(std::string(length % 300, 'a' + length % 26).c_str(), sub);
    }
    std::istringstream is(os.str());
    InputStreamDirectory directory(is);
    std::istream* sub = directory.GetInput(0);
    ASSERT_NE(sub, nullptr);
    char mark = 0;
    ASSERT_TRUE(ReadBytes(&mark, 1, *sub));
    EXPECT_EQ(mark, '!');
    for (std::int32_t i = 0; i < 40000; ++i) {
        std::int32_t value = -1;
        ASSERT_TRUE(ReadFourBytes(&value, 1, *sub));
        ASSERT_EQ(value, i);
    }
    for (int length = 0; length < 1200; ++length) {
        std::string text;
        ASSERT_TRUE(ReadBinaryString(text, *sub));
        ASSERT_EQ(text, std::string(length % 300, 'a' + length % 26));
    }
    EXPECT_EQ(StreamBytesLeft(*sub), 0);
}
