// Importing a CSV of 1,000,000 rows x 50 columns (an observation ID, a batch ID, a phase ID and 47
// numbers written as a process historian would, e.g. "73.418") into a new project file, beside a
// plain parse of the same file in the same program: the file read in 1 MiB blocks, split at line
// breaks and commas, and every number converted with std::from_chars into one vector per column
// (ID cells are split off but kept nowhere). The import does all of that and also makes the
// records, the batch and phase lists and the dataset, and writes the project file in one
// transaction. `wc -l` of the same file is timed too: the floor of merely reading it.
//
// The import reads the file with as many readings side by side as it chooses (two on a machine
// of two cores or more); the plain parse is one loop on one thread.
//
// Counters: rows_per_second; for the import, of_plain_parse (its rows per second over the plain
// parse's, target >= 0.5) and peak_MiB (resident memory growth at its peak).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/CsvImport.h"
#include "app/ProjectFile.h"
#include "app/ReferenceProject.h"
#include "bench/PeakMemory.h"
#include "interfaces/constants/NCConstants.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kNumbers = 47;  // plus three ID columns: 50
constexpr int kBatchLength = 500;

// The CSV, written once, removed when the program ends.
class BenchFile {
public:
    BenchFile() : mPath("/tmp/nc_import_bench_" + std::to_string(getpid()) + ".csv") {
        std::FILE* file = std::fopen(mPath.c_str(), "wb");
        if (!file) throw std::runtime_error("cannot write " + mPath);
        std::string line = "Obs,Batch,Phase";
        for (int c = 1; c <= kNumbers; ++c) line += ",V" + std::to_string(c);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), file);
        std::mt19937 random(11);
        std::uniform_real_distribution<double> noise(-1.0, 1.0);
        char cell[32];
        for (int r = 0; r < kRows; ++r) {
            const int batch = r / kBatchLength;
            const int k = r % kBatchLength;
            line = "O" + std::to_string(r + 1) + ",B" + std::to_string(batch + 1) + "," +
                   (k < kBatchLength / 3       ? "Heat"
                    : k < 2 * kBatchLength / 3 ? "Hold"
                                               : "Cool");
            for (int c = 0; c < kNumbers; ++c) {
                line += ',';
                if ((r + c) % 211 == 0) continue;  // a missing value now and then
                std::snprintf(cell, sizeof cell, "%.3f", 10.0 * c + k * 0.1 + noise(random));
                line += cell;
            }
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), file);
        }
        if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + mPath);
    }
    ~BenchFile() { std::remove(mPath.c_str()); }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

const BenchFile& File() {
    static const BenchFile file;
    return file;
}

using Clock = std::chrono::steady_clock;

// The fastest plain parse so far: the import is compared with the baseline at its best.
double gPlainRowsPerSecond = 0;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The plain parse: one pass over the file in 1 MiB blocks, every number through std::from_chars.
long PlainParse(const std::string& path, std::vector<std::vector<float>>& columns) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<char> buffer(1 << 20);
    std::size_t kept = 0;
    long rows = -1;  // the header is not a row
    for (;;) {
        const std::size_t got = std::fread(buffer.data() + kept, 1, buffer.size() - kept, file);
        const std::size_t end = kept + got;
        std::size_t pos = 0;
        for (;;) {
            const char* line = buffer.data() + pos;
            const char* stop = static_cast<const char*>(std::memchr(line, '\n', end - pos));
            if (!stop) break;
            if (rows >= 0) {
                const char* p = line;
                for (int c = 0; c < 3 + kNumbers; ++c) {
                    const char* comma = static_cast<const char*>(std::memchr(p, ',', stop - p));
                    const char* cellEnd = comma ? comma : stop;
                    if (c >= 3) {
                        float value = nc::kMissingValue;
                        if (cellEnd > p) std::from_chars(p, cellEnd, value);
                        columns[static_cast<std::size_t>(c - 3)].push_back(value);
                    }
                    p = cellEnd + 1;
                }
            }
            ++rows;
            pos = static_cast<std::size_t>(stop - buffer.data()) + 1;
        }
        kept = end - pos;
        std::memmove(buffer.data(), buffer.data() + pos, kept);
        if (got == 0) break;
    }
    std::fclose(file);
    return rows;
}

void BM_PlainFromChars(benchmark::State& state) {
    const std::string& path = File().Path();
    long rows = 0;
    double rate = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::vector<std::vector<float>> columns(kNumbers);
        for (auto& column : columns) column.reserve(kRows);
        rows = PlainParse(path, columns);
        benchmark::DoNotOptimize(columns.back().data());
        rate = static_cast<double>(rows) / Seconds(start);
    }
    if (rows != kRows) state.SkipWithError("the plain parse miscounted the rows");
    gPlainRowsPerSecond = std::max(gPlainRowsPerSecond, rate);
    state.counters["rows_per_second"] = rate;
}

void BM_ImportToProjectFile(benchmark::State& state) {
    const std::string& csv = File().Path();
    const std::string project = "/tmp/nc_import_bench_" + std::to_string(getpid()) + ".ncp";
    CsvImportOptions options;
    options.observationIDColumns = {"Obs"};
    options.batchColumn = "Batch";
    options.phaseColumn = "Phase";
    long peakKB = 0;
    double rate = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(project.c_str());
        benchmem::ResetPeak();
        const long before = benchmem::StatusKB("VmRSS");
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        {
            const auto target = ReferenceProject::Create();
            const CsvImportSummary summary = CsvImport::Import(*target, csv, options);
            if (summary.observations != kRows) state.SkipWithError("the import miscounted the rows");
            ProjectFile::Save(*target, project);
            // Up to here, as for the plain parse: freeing what was made is not timed in either.
            rate = kRows / Seconds(start);
            state.PauseTiming();
        }
        peakKB = std::max(peakKB, benchmem::StatusKB("VmHWM") - before);
        state.ResumeTiming();
    }
    std::remove(project.c_str());
    state.counters["rows_per_second"] = rate;
    if (gPlainRowsPerSecond > 0) state.counters["of_plain_parse"] = rate / gPlainRowsPerSecond;
    state.counters["peak_MiB"] = static_cast<double>(peakKB) / 1024.0;
}

void BM_WcL(benchmark::State& state) {
    const std::string command = "wc -l < " + File().Path();
    long lines = 0;
    double rate = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::FILE* pipe = popen(command.c_str(), "r");
        if (!pipe || std::fscanf(pipe, "%ld", &lines) != 1) state.SkipWithError("wc -l failed");
        if (pipe) pclose(pipe);
        rate = static_cast<double>(lines) / Seconds(start);
    }
    state.counters["rows_per_second"] = rate;
}

}  // namespace

BENCHMARK(BM_PlainFromChars)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportToProjectFile)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WcL)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();
