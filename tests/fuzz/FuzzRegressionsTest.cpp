// The fuzz targets (fuzz/FuzzTargets.h) outside the fuzzer: every input kept because it once found
// a fault (fuzz/regressions/<target>/) passes its target's round trip again, and each target
// round-trips the golden objects of its family, so a target cannot silently reject everything.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/FuzzTargets.h"
#include "tests/golden/GoldenObjects.h"

namespace {

std::string Load(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

fuzz::Outcome RunTarget(const fuzz::Target& target, const std::string& input) {
    return target.run(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

TEST(FuzzRegressions, EveryKeptInputPassesItsTarget) {
    int replayed = 0;
    for (const auto& folder : std::filesystem::directory_iterator(NC_FUZZ_REGRESSIONS_DIR)) {
        if (!folder.is_directory()) continue;
        const std::string name = folder.path().filename().string();
        const fuzz::Target* target = fuzz::FindTarget(name);
        if (!target) {
            ADD_FAILURE() << folder.path() << " names no fuzz target";
            continue;
        }
        for (const auto& file : std::filesystem::directory_iterator(folder.path())) {
            const fuzz::Outcome outcome = RunTarget(*target, Load(file.path()));
            EXPECT_NE(outcome.verdict, fuzz::Verdict::Finding) << file.path() << ": " << outcome.finding;
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0) << "no regression input under " << NC_FUZZ_REGRESSIONS_DIR;
}

TEST(FuzzTargets, EachTargetRoundTripsTheGoldenObjectsOfItsFamily) {
    for (const fuzz::Target& target : fuzz::Targets()) {
        int framed = 0;
        for (const golden::GoldenEntry& entry : golden::GoldenEntries()) {
            std::string input;
            if (!target.frame(*entry.make(), input)) continue;
            ++framed;
            const fuzz::Outcome outcome = RunTarget(target, input);
            EXPECT_EQ(outcome.verdict, fuzz::Verdict::RoundTripped)
                << target.name << " on " << entry.name << ": " << outcome.finding;
        }
        EXPECT_GT(framed, 0) << target.name << " reads no golden object";
    }
}

}  // namespace
