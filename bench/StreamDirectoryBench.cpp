// Throughput of a large data matrix written as one sub-stream of a stream directory and read
// back, against the same bytes written with one fwrite and read with one fread; and the peak
// memory that each read or write adds, which shows whether the matrix is ever held twice.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "bench/PeakMemory.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/streams/StreamDirectory.h"

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 200;
constexpr int kSubStream = 7;
constexpr int kSubStreams = 19;
constexpr std::int64_t kValueBytes = std::int64_t{kRows} * kCols * 4;

// The files of this run, removed when the program ends.
struct Files {
    std::string directory = "/tmp/nc_streamdir_bench_" + std::to_string(getpid()) + ".bin";
    std::string raw = "/tmp/nc_streamdir_bench_" + std::to_string(getpid()) + ".raw";
    ~Files() {
        std::remove(directory.c_str());
        std::remove(raw.c_str());
    }
};
const Files& TheFiles() {
    static const Files files;
    return files;
}

const NCDataMatrix<float>& TheMatrix() {
    static const NCDataMatrix<float> matrix = [] {
        NCDataMatrix<float> m(kRows, kCols);
        for (int c = 1; c <= kCols; ++c) {
            float* column = m.GetMutableColumnPtr(c);
            for (int r = 0; r < kRows; ++r) column[r] = static_cast<float>(r % 1000) + c * 0.5f;
        }
        return m;
    }();
    return matrix;
}

void WriteDirectory(const NCDataMatrix<float>& m) {
    std::ofstream os(TheFiles().directory, std::ios::binary | std::ios::trunc);
    OutputStreamDirectory dir(os, kSubStreams);
    dir.GetOutput(kSubStream) << m;
    dir.Close();
    os.close();
    if (!os) throw std::runtime_error("directory write failed");
}

NCDataMatrix<float> ReadDirectory() {
    std::ifstream is(TheFiles().directory, std::ios::binary);
    InputStreamDirectory dir(is);
    std::istream* sub = dir.GetInput(kSubStream);
    NCDataMatrix<float> m;
    if (!sub || !(*sub >> m) || m.GetNumRows() != kRows || m.GetNumColumns() != kCols)
        throw std::runtime_error("directory read failed");
    dir.Close();
    return m;
}

void WriteRaw(const float* values) {
    FILE* f = std::fopen(TheFiles().raw.c_str(), "wb");
    const std::size_t written = std::fwrite(values, 4, std::size_t{kRows} * kCols, f);
    if (std::fclose(f) != 0 || written != std::size_t{kRows} * kCols) throw std::runtime_error("fwrite failed");
}

std::unique_ptr<float[]> ReadRaw() {
    std::unique_ptr<float[]> values(new float[std::size_t{kRows} * kCols]);
    FILE* f = std::fopen(TheFiles().raw.c_str(), "rb");
    const std::size_t read = std::fread(values.get(), 4, std::size_t{kRows} * kCols, f);
    std::fclose(f);
    if (read != std::size_t{kRows} * kCols) throw std::runtime_error("fread failed");
    return values;
}

void BM_DirectoryWrite(benchmark::State& state) {
    const auto& m = TheMatrix();
    for (auto _ : state) WriteDirectory(m);
    state.SetBytesProcessed(state.iterations() * kValueBytes);
}

void BM_DirectoryRead(benchmark::State& state) {
    WriteDirectory(TheMatrix());
    for (auto _ : state) {
        NCDataMatrix<float> m = ReadDirectory();
        benchmark::DoNotOptimize(m.GetColumnPtr(kCols));
    }
    state.SetBytesProcessed(state.iterations() * kValueBytes);
}

void BM_Fwrite(benchmark::State& state) {
    const float* values = TheMatrix().GetColumnPtr(1);  // the whole matrix, column after column
    for (auto _ : state) WriteRaw(values);
    state.SetBytesProcessed(state.iterations() * kValueBytes);
}

void BM_Fread(benchmark::State& state) {
    WriteRaw(TheMatrix().GetColumnPtr(1));
    for (auto _ : state) {
        auto values = ReadRaw();
        benchmark::DoNotOptimize(values.get());
    }
    state.SetBytesProcessed(state.iterations() * kValueBytes);
}

using benchmem::ResetPeak;
using benchmem::StatusKB;

// Peak growth of the resident size while `operation` runs, in MiB, as a counter; the matrix
// itself is 76.3 MiB, so a reader that held the data twice would show about twice that.
template <typename Operation>
void MeasurePeak(benchmark::State& state, Operation operation) {
    for (auto _ : state) {
        malloc_trim(0);
        const long before = StatusKB("VmRSS");
        if (!ResetPeak()) {
            state.SkipWithError("cannot reset the peak resident size");
            return;
        }
        operation();
        state.counters["peak_growth_MiB"] = (StatusKB("VmHWM") - before) / 1024.0;
    }
    state.counters["matrix_MiB"] = kValueBytes / (1024.0 * 1024.0);
}

void BM_PeakDirectoryWrite(benchmark::State& state) {
    const auto& m = TheMatrix();
    MeasurePeak(state, [&m] { WriteDirectory(m); });
}
void BM_PeakDirectoryRead(benchmark::State& state) {
    WriteDirectory(TheMatrix());
    MeasurePeak(state, [] { benchmark::DoNotOptimize(ReadDirectory().GetNumRows()); });
}
void BM_PeakFwrite(benchmark::State& state) {
    const float* values = TheMatrix().GetColumnPtr(1);
    MeasurePeak(state, [values] { WriteRaw(values); });
}
void BM_PeakFread(benchmark::State& state) {
    WriteRaw(TheMatrix().GetColumnPtr(1));
    MeasurePeak(state, [] { benchmark::DoNotOptimize(ReadRaw().get()); });
}

BENCHMARK(BM_DirectoryWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Fwrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DirectoryRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Fread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeakDirectoryWrite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakFwrite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakDirectoryRead)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakFread)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
