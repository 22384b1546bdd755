#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/BinaryIO.h"
#include "tests/LargestAllocation.h"
#include "tests/TestStreams.h"

namespace {

// A persistent class in the common form, with a field added in a later version (sub-stream 3).
class Sample : public virtual ZStreamBase {
public:
    int number = 0;
    CString name;
    std::vector<float> values;
    std::map<unsigned long, float> table;
    int later = 42;  // default when an older section lacks sub-stream 3
    bool writeLater = true;

    bool ZStreamableStartWrite(std::ostream& os) override {
        if (mDone) return true;
        mDone = true;
        if (!Data().Write(os) || !ZStreamBase::ZStreamableStartWrite(os)) return false;
        OutputStreamDirectory dir(os, 4);
        WriteToStream(number, dir.GetOutput(0));
        WriteToStream(name, dir.GetOutput(1));
        WriteToStream(values, dir.GetOutput(2));
        if (writeLater) WriteToStream(later, dir.GetOutput(3));
        WriteToStream(table, dir.GetOutput(5));
        dir.Close();
        return os.good();
    }
    bool ZStreamableStartRead(std::istream& is) override {
        if (mDone) return true;
        mDone = true;
        int version = 0;
        if (!Data().Check(is, &version) || !ZStreamBase::ZStreamableStartRead(is)) return false;
        if (version != 1) return false;
        later = 42;
        try {
            InputStreamDirectory dir(is);
            ReadFromStreamDir(number, dir, 0, true);
            ReadFromStreamDir(name, dir, 1, true);
            ReadFromStreamDir(values, dir, 2, true);
            ReadFromStreamDir(later, dir, 3, false);
            ReadFromStreamDir(table, dir, 5, true);
            dir.Close();
        } catch (const ZoStreamError&) {
            return false;
        }
        return is.good();
    }
    void ZStreamableReset() override { mDone = false; }

    static const ZStreamableData& Data() {
        static const ZStreamableData data(1, "SAMPLE");
        return data;
    }

private:
    bool mDone = false;
};

std::string Write(Sample& sample) {
    std::ostringstream os;
    os << sample;
    EXPECT_TRUE(os.good());
    return os.str();
}

Sample MakeSample() {
    Sample s;
    s.number = -7;
    s.name = "Reactor 1";
    s.values = {1.5f, -99.0f, 3.25f};
    s.table = {{3262240001UL, 1.0f}, {5UL, -2.0f}};
    s.later = 9;
    return s;
}

}  // namespace

TEST(StreamDirectory, SectionsRoundTripSkipAbsentOptionalSubStreamsAndCheckTheirTag) {
    Sample original = MakeSample();
    const std::string bytes = Write(original);

    Sample copy;
    std::istringstream is(bytes);
    is >> copy;
    ASSERT_TRUE(is.good());
    EXPECT_EQ(copy.number, -7);
    EXPECT_EQ(copy.name, CString("Reactor 1"));
    EXPECT_EQ(copy.values, original.values);
    EXPECT_EQ(copy.table, original.table);
    EXPECT_EQ(copy.later, 9);
    EXPECT_EQ(Write(copy), bytes);
    // The reader stops exactly after the section: a second object follows cleanly.
    std::istringstream two(bytes + bytes);
    Sample a, b;
    two >> a >> b;
    EXPECT_TRUE(two.good());
    EXPECT_EQ(b.name, CString("Reactor 1"));

    // An older section without an optional sub-stream reads, and the field keeps its default.
    Sample old = MakeSample();
    old.writeLater = false;
    copy.later = 1;
    std::istringstream older(Write(old));
    older >> copy;
    ASSERT_TRUE(older.good());
    EXPECT_EQ(copy.later, 42);

    // Another class's tag is refused.
    std::string wrongTag = bytes;
    wrongTag[5] = 'X';
    std::istringstream bad(wrongTag);
    bad >> copy;
    EXPECT_TRUE(bad.fail());
}

TEST(StreamDirectory, DamagedStreamsFailWithoutCrashing) {
    Sample s = MakeSample();
    const std::string bytes = Write(s);
    const auto read = [](std::istream& is) {
        Sample target;
        is >> target;
        return !is.fail();
    };
    EXPECT_EQ(nctest::CountSuccessfulTruncatedReads(bytes, read), 0);
    EXPECT_GT(nctest::ReadCorruptedCopies(bytes, read), 0);
}

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
    EXPECT_THROW(ReadFromStreamDir(text, dir2, 0, true), ZoStreamError);
    EXPECT_THROW(ReadFromStreamDir(text, dir2, 7, true), ZoStreamError);
    try {
        ReadFromStreamDir(text, dir2, 7, true);
    } catch (const ZoStreamError& e) {
        EXPECT_STREQ(e.what(), "ReadFromStreamDir failed");
    }
    try {
        ReadFromStreamDir(text, dir2, 0, true);
    } catch (const ZoStreamError& e) {
        EXPECT_STREQ(e.what(), "Error when reading from stream");
    }
    if (nctest::LargestAllocation::Available()) {
        EXPECT_LT(largest.Bytes(), 1u << 20);
    }
}

TEST(StreamDirectory, EmptyContainersAndPointersHaveTheirSmallestForm) {
    std::ostringstream os;
    WriteToStream(std::vector<int>(), os);
    EXPECT_EQ(os.str(), std::string(4, '\0'));
    std::ostringstream os2;
    WriteToStream(boost::shared_ptr<Sample>(), os2);
    EXPECT_EQ(os2.str(), std::string(1, '\0'));

    boost::shared_ptr<Sample> pointer(new Sample);
    std::istringstream is(os2.str());
    EXPECT_TRUE(ReadFromStream(pointer, is, true));
    EXPECT_FALSE(pointer);
}

TEST(StreamDirectory, FilesAndNestedDirectoriesRoundTrip) {
    const std::string path = ::testing::TempDir() + "nc_stream_directory_test.bin";
    {
        std::ofstream file(path, std::ios::binary);
        OutputStreamDirectory outer(file, 2);
        {
            OutputStreamDirectory inner(outer.GetOutput(1), 2);
            WriteToStream(std::string("inner"), inner.GetOutput(0));
        }
        WriteToStream(12, outer.GetOutput(0));
        outer.Close();
        WriteBinaryString("after", file);
    }
    std::ifstream file(path, std::ios::binary);
    InputStreamDirectory outer(file);
    int number = 0;
    EXPECT_TRUE(ReadFromStreamDir(number, outer, 0, true));
    EXPECT_EQ(number, 12);
    std::istream* innerStream = outer.GetInput(1);
    ASSERT_NE(innerStream, nullptr);
    {
        InputStreamDirectory inner(*innerStream);
        std::string text;
        EXPECT_TRUE(ReadFromStreamDir(text, inner, 0, true));
        EXPECT_EQ(text, "inner");
        EXPECT_EQ(inner.GetInput(1), nullptr);
    }
    // Closing puts the parent right after the section, however much of it was read.
    std::istream* again = outer.GetInput(0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->get(), 12);
    outer.Close();
    std::string after;
    EXPECT_TRUE(ReadBinaryString(after, file));
    EXPECT_EQ(after, "after");
    std::remove(path.c_str());
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
