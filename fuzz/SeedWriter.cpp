// fuzz_seeds <directory>: writes the seed corpus of every fuzz target, <directory>/<target>/<golden
// entry>, from the golden objects (tests/golden/GoldenObjects.h) that the target can read. Prints
// one line per target with the number of seeds and the size of the largest one.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/FuzzTargets.h"
#include "tests/golden/GoldenObjects.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    for (const fuzz::Target& target : fuzz::Targets()) {
        const std::filesystem::path folder = root / target.name;
        std::filesystem::create_directories(folder);
        int seeds = 0;
        std::size_t largest = 0;
        for (const golden::GoldenEntry& entry : golden::GoldenEntries()) {
            std::string input;
            if (!target.frame(*entry.make(), input)) continue;
            std::ofstream file(folder / entry.name, std::ios::binary | std::ios::trunc);
            file.write(input.data(), static_cast<std::streamsize>(input.size()));
            if (!file) {
                std::fprintf(stderr, "cannot write %s\n", (folder / entry.name).c_str());
                return 1;
            }
            ++seeds;
            if (input.size() > largest) largest = input.size();
        }
        if (seeds == 0) {
            std::fprintf(stderr, "no golden object frames as an input of %s\n", target.name.c_str());
            return 1;
        }
        std::printf("%s %d %zu\n", target.name.c_str(), seeds, largest);
    }
    return 0;
}
