// The sub-streams of an OutputStreamDirectory are collected in memory while small and go ahead to
// the parent once large; whichever way, the bytes are the directory's layout, written here by hand.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>

#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/SubStreamWriter.h"
#include "tests/LargestAllocation.h"
#include "tests/TestStreams.h"

namespace {

constexpr std::size_t kSpill = static_cast<std::size_t>(SubStreamWriter::kSpillSize);

std::string Little(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return text;
}
std::string Chunk(int number, const std::string& bytes) { return Little(number, 4) + Little(bytes.size(), 8) + bytes; }
const std::string kEnd = Little(0xFFFFFFFF, 4);

std::string Numbered(std::size_t size, int salt) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i + salt) % 251);
    return bytes;
}

// The bytes `write` puts into a string stream, a pipe and a file.
void ExpectOnEveryParent(const std::function<void(std::ostream&)>& write, const std::string& expected) {
    std::ostringstream memory;
    write(memory);
    EXPECT_TRUE(memory.good());
    EXPECT_TRUE(memory.str() == expected) << "string stream";

    nctest::PipeSink sink;
    std::ostream pipe(&sink);
    write(pipe);
    EXPECT_TRUE(pipe.good());
    EXPECT_TRUE(sink.bytes == expected) << "pipe";

    // One file per test process: ctest runs the tests of this file side by side.
    const std::string path = ::testing::TempDir() + "nc_sub_stream_writer_test_" + std::to_string(getpid()) + ".bin";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        write(file);
        EXPECT_TRUE(file.good());
    }
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()) == expected)
        << "file";
    std::remove(path.c_str());
}

// Writes `bytes` in one call, or in pieces of several sizes, single characters among them.
void Put(std::ostream& os, const std::string& bytes, bool inPieces) {
    if (!inPieces) {
        os.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return;
    }
    static const std::size_t kPieces[] = {1, 3, 17, 250, 4000, 70000};
    std::size_t at = 0;
    for (int i = 0; at < bytes.size(); i = (i + 1) % 6) {
        if (kPieces[i] == 1) {
            os.put(bytes[at++]);
            continue;
        }
        const std::size_t n = std::min(kPieces[i], bytes.size() - at);
        os.write(bytes.data() + at, static_cast<std::streamsize>(n));
        at += n;
    }
}

TEST(SubStreamWriter, SmallAndLargeSubStreamsHaveTheLayoutOnEveryParent) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kSpill - 1, kSpill, kSpill + 1, 3 * kSpill + 5}) {
        for (const bool inPieces : {false, true}) {
            SCOPED_TRACE(std::to_string(size) + (inPieces ? " in pieces" : " at once"));
            const std::string content = Numbered(size, 7);
            ExpectOnEveryParent(
                [&](std::ostream& os) {
                    OutputStreamDirectory directory(os, 8);
                    directory.GetOutput(2) << "ab";
                    Put(directory.GetOutput(5), content, inPieces);
                    directory.GetOutput(7) << "z";
                },
                Chunk(2, "ab") + Chunk(5, content) + Chunk(7, "z") + kEnd);
        }
    }
}

TEST(SubStreamWriter, NestedLargeSubStreamsArePatchedWhereTheirBytesWent) {
    // Before the inner section its parent sub-stream is small (still in memory) or large (gone ahead).
    for (const std::size_t before : {std::size_t{10}, kSpill + 100}) {
        SCOPED_TRACE(before);
        const std::string prefix = Numbered(before, 1);
        const std::string big = Numbered(2 * kSpill + 3, 2);
        const std::string inner = Chunk(3, big) + Chunk(4, "x") + kEnd;
        ExpectOnEveryParent(
            [&](std::ostream& os) {
                OutputStreamDirectory outer(os, 2);
                std::ostream& sub = outer.GetOutput(0);
                Put(sub, prefix, false);
                {
                    OutputStreamDirectory nested(sub, 5);
                    Put(nested.GetOutput(3), big, true);
                    nested.GetOutput(4) << "x";
                }
                sub << "suffix";
                outer.GetOutput(1) << "y";
            },
            Chunk(0, prefix + inner + "suffix") + Chunk(1, "y") + kEnd);
    }
}

TEST(SubStreamWriter, ALargeSubStreamIsNeverHeldWhole) {
    const std::string path = ::testing::TempDir() + "nc_sub_stream_writer_large_" + std::to_string(getpid()) + ".bin";
    const std::string block = Numbered(4096, 3);
    nctest::LargestAllocation largest;
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        OutputStreamDirectory outer(file, 1);
        OutputStreamDirectory inner(outer.GetOutput(0), 1);
        std::ostream& sub = inner.GetOutput(0);
        for (int i = 0; i < 2048; ++i) sub.write(block.data(), static_cast<std::streamsize>(block.size()));  // 8 MiB
    }
    if (nctest::LargestAllocation::Available()) {
        EXPECT_LT(largest.Bytes(), 1u << 20);
    }
    std::ifstream file(path, std::ios::binary);
    InputStreamDirectory outer(file);
    std::istream* sub = outer.GetInput(0);
    ASSERT_NE(sub, nullptr);
    InputStreamDirectory inner(*sub);
    ASSERT_TRUE(inner.IsValid());
    std::istream* data = inner.GetInput(0);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(StreamBytesLeft(*data), 2048 * 4096);
    std::remove(path.c_str());
}

TEST(SubStreamWriter, AFailedSubStreamFailsItsParentAndAFailedParentTakesNothing) {
    std::ostringstream os;
    {
        OutputStreamDirectory directory(os, 2);
        directory.GetOutput(0) << "kept";
        directory.GetOutput(1).setstate(std::ios_base::failbit);  // as a writer reports a failure
    }
    EXPECT_TRUE(os.fail());

    std::ostringstream failed;
    failed.setstate(std::ios_base::badbit);
    OutputStreamDirectory directory(failed, 1);
    std::ostream& sub = directory.GetOutput(0);
    sub << "dropped";
    EXPECT_FALSE(sub.good());
    directory.Close();
    EXPECT_TRUE(failed.str().empty());
}

}  // namespace
