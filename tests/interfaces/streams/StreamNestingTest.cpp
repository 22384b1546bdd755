// Directories inside sub-streams are followed down to InputStreamDirectory::kMaxNesting and no
// further, so no stream can make a reader recurse without bound.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/FuzzTargets.h"
#include "interfaces/streams/StreamDirectory.h"

namespace {

std::string Little(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) text.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return text;
}

// `levels` directories, each the sub-stream 0 of the one around it, the innermost holding "leaf".
std::string Nested(int levels) {
    const std::string leaf = "leaf";
    std::string bytes;
    for (int level = 0; level < levels; ++level) {
        const std::uint64_t inner = static_cast<std::uint64_t>(levels - level - 1) * 16 + leaf.size();
        bytes += Little(0, 4) + Little(inner, 8);
    }
    bytes += leaf;
    for (int level = 0; level < levels; ++level) bytes += Little(0xFFFFFFFF, 4);
    return bytes;
}

// The number of directories that read, following sub-stream 0 down.
int ReadableDepth(std::istream& is) {
    InputStreamDirectory directory(is);
    if (!directory.IsValid()) return 0;
    std::istream* inner = directory.GetInput(0);
    return 1 + (inner ? ReadableDepth(*inner) : 0);
}

TEST(StreamNesting, DirectoriesReadDownToTheLimitAndNoFurther) {
    const int limit = InputStreamDirectory::kMaxNesting;
    std::istringstream within(Nested(limit + 1));
    EXPECT_EQ(ReadableDepth(within), limit + 1);
    std::istringstream beyond(Nested(limit + 3));
    EXPECT_EQ(ReadableDepth(beyond), limit + 1);
    // The depth belongs to the sub-streams: the same stream reads a fresh directory at the top.
    std::istringstream again(Nested(2) + Nested(2));
    EXPECT_EQ(ReadableDepth(again), 2);
    EXPECT_EQ(ReadableDepth(again), 2);
}

TEST(StreamNesting, TwentyThousandLevelsRoundTripWithoutExhaustingTheStack) {
    const std::string input = Nested(20000);
    const fuzz::Outcome outcome =
        fuzz::FindTarget("directory")->run(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    EXPECT_EQ(outcome.verdict, fuzz::Verdict::RoundTripped) << outcome.finding;
}

}  // namespace
