// A whole dataset written to a file through its section and read back into a new dataset,
// beside the matrix's bytes written with one fwrite and read with one fread into a new buffer in
// the same iterations, at four sizes of 500 variables up to 200,000 observations; and the peak
// memory that the write and the read add, as a share of the matrix, which shows whether the
// matrix is ever held twice on the way.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ReferenceProject.h"
#include "bench/PeakMemory.h"
#include "dataset/NCDataSet.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCIntegralVector.h"

namespace {

constexpr int kVariables = 500;
constexpr int kLargestObservations = 200000;

std::int64_t ValueBytes(int observations) { return std::int64_t{observations} * kVariables * 4; }

// The files of this run, removed when the program ends.
struct Files {
    std::string dataset = "/tmp/nc_dataset_bench_" + std::to_string(getpid()) + ".bin";
    std::string raw = "/tmp/nc_dataset_bench_" + std::to_string(getpid()) + ".raw";
    ~Files() {
        std::remove(dataset.c_str());
        std::remove(raw.c_str());
    }
};
const Files& TheFiles() {
    static const Files files;
    return files;
}

const boost::shared_ptr<ReferenceProject>& TheProject() {
    static const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    return project;
}

// One dataset per size, made once and kept (750 MB in all): the section needs only the unique
// IDs, not their records.
const NCDataSet& TheDataset(int observations) {
    static std::map<int, boost::shared_ptr<NCDataSet>> made;
    auto& dataset = made[observations];
    if (dataset) return *dataset;
    NCIntegralVector<unsigned long, 0> obsIDs;
    NCIntegralVector<unsigned long, 0> varIDs;
    obsIDs.reserve(observations);
    for (int i = 1; i <= observations; ++i) obsIDs.push_back(static_cast<unsigned long>(i));
    for (int j = 1; j <= kVariables; ++j) varIDs.push_back(static_cast<unsigned long>(observations + j));
    NCDataMatrix<float> data(observations, kVariables);
    for (int c = 1; c <= kVariables; ++c) {
        float* column = data.GetMutableColumnPtr(c);
        for (int r = 0; r < observations; ++r) column[r] = static_cast<float>(r % 1000) + c * 0.5f;
    }
    dataset =
        NCDataSet::Create(TheProject(), "Bench", 1, &data, &obsIDs, &varIDs, {1}, {1}, "", nullptr, nullptr, false);
    return *dataset;
}

void WriteDataset(const NCDataSet& dataset) {
    std::ofstream os(TheFiles().dataset, std::ios::binary | std::ios::trunc);
    os << dataset;
    os.close();
    if (!os) throw std::runtime_error("dataset write failed");
}

boost::shared_ptr<NCDataSet> ReadDataset(int observations) {
    std::ifstream is(TheFiles().dataset, std::ios::binary);
    auto dataset = NCDataSet::Create(TheProject(), 2);
    is >> *dataset;
    if (!is || dataset->SizeObservations() != observations) throw std::runtime_error("dataset read failed");
    return dataset;
}

void WriteRaw(const float* values, int observations) {
    const std::size_t count = std::size_t{static_cast<std::size_t>(observations)} * kVariables;
    FILE* f = std::fopen(TheFiles().raw.c_str(), "wb");
    const std::size_t written = std::fwrite(values, 4, count, f);
    if (std::fclose(f) != 0 || written != count) throw std::runtime_error("fwrite failed");
}

std::unique_ptr<float[]> ReadRaw(int observations) {
    const std::size_t count = std::size_t{static_cast<std::size_t>(observations)} * kVariables;
    std::unique_ptr<float[]> values(new float[count]);
    FILE* f = std::fopen(TheFiles().raw.c_str(), "rb");
    const std::size_t read = std::fread(values.get(), 4, count, f);
    std::fclose(f);
    if (read != count) throw std::runtime_error("fread failed");
    return values;
}

const float* RawValues(int observations) {
    return TheDataset(observations).GetData(false, nullptr).GetColumnPtr(1);  // shares the dataset's storage
}

// Real and CPU time of one call; CPU time of this thread includes the kernel's copying, and is
// not stretched by other processes on a shared machine.
struct Timing {
    double real = 0;
    double cpu = 0;
};

double ThreadCPUSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Operation>
Timing Time(Operation operation) {
    const auto realStart = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCPUSeconds();
    operation();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count(),
            ThreadCPUSeconds() - cpuStart};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Each iteration runs the section and the raw baseline on the same bytes, taking turns to go
// first, and the iteration's time is the section's. raw_ratio is the section's throughput as a
// share of the baseline's, from the median times (real and thread CPU): the page cache makes
// single writes of hundreds of MB vary by a factor of 3 or more on a shared machine.
template <typename ThroughSection, typename Raw>
void SectionBesideRaw(benchmark::State& state, int observations, ThroughSection section, Raw raw) {
    // Once each untimed: the first write of a file's size is dominated by the kernel finding
    // pages for it, whichever writer comes first.
    section();
    raw();
    std::vector<double> sectionReal, sectionCPU, rawReal, rawCPU;
    bool sectionFirst = true;
    for (auto _ : state) {
        Timing sectionTime;
        Timing rawTime;
        if (sectionFirst) {
            sectionTime = Time(section);
            rawTime = Time(raw);
        } else {
            rawTime = Time(raw);
            sectionTime = Time(section);
        }
        sectionFirst = !sectionFirst;
        state.SetIterationTime(sectionTime.real);
        sectionReal.push_back(sectionTime.real);
        sectionCPU.push_back(sectionTime.cpu);
        rawReal.push_back(rawTime.real);
        rawCPU.push_back(rawTime.cpu);
    }
    state.counters["raw_ratio_real"] = Median(rawReal) / Median(sectionReal);
    state.counters["raw_ratio_cpu"] = Median(rawCPU) / Median(sectionCPU);
    state.SetBytesProcessed(state.iterations() * ValueBytes(observations));
    state.SetComplexityN(observations);
}

void BM_DatasetWrite(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const NCDataSet& dataset = TheDataset(n);
    const float* values = RawValues(n);
    SectionBesideRaw(
        state, n, [&dataset] { WriteDataset(dataset); }, [values, n] { WriteRaw(values, n); });
}

void BM_DatasetRead(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    WriteDataset(TheDataset(n));
    WriteRaw(RawValues(n), n);
    SectionBesideRaw(
        state, n, [n] { benchmark::DoNotOptimize(ReadDataset(n).get()); },
        [n] { benchmark::DoNotOptimize(ReadRaw(n).get()); });
}

using benchmem::ResetPeak;
using benchmem::StatusKB;

// Peak growth of the resident size while `operation` runs, in MiB and as a share of the matrix:
// a reader that keeps what it read shows about 1, one that held the matrix twice about 2.
template <typename Operation>
void MeasurePeak(benchmark::State& state, int observations, Operation operation) {
    for (auto _ : state) {
        malloc_trim(0);
        const long before = StatusKB("VmRSS");
        if (!ResetPeak()) {
            state.SkipWithError("cannot reset the peak resident size");
            return;
        }
        operation();
        const double growth = (StatusKB("VmHWM") - before) * 1024.0;
        state.counters["peak_growth_MiB"] = growth / (1024.0 * 1024.0);
        state.counters["peak_per_matrix"] = growth / static_cast<double>(ValueBytes(observations));
    }
    state.counters["matrix_MiB"] = ValueBytes(observations) / (1024.0 * 1024.0);
}

void BM_DatasetPeakWrite(benchmark::State& state) {
    const NCDataSet& dataset = TheDataset(kLargestObservations);
    MeasurePeak(state, kLargestObservations, [&dataset] { WriteDataset(dataset); });
}
void BM_DatasetPeakRead(benchmark::State& state) {
    WriteDataset(TheDataset(kLargestObservations));
    MeasurePeak(state, kLargestObservations,
                [] { benchmark::DoNotOptimize(ReadDataset(kLargestObservations)->SizeVariables()); });
}
void BM_DatasetPeakFwrite(benchmark::State& state) {
    const float* values = RawValues(kLargestObservations);
    MeasurePeak(state, kLargestObservations, [values] { WriteRaw(values, kLargestObservations); });
}
void BM_DatasetPeakFread(benchmark::State& state) {
    WriteRaw(RawValues(kLargestObservations), kLargestObservations);
    MeasurePeak(state, kLargestObservations, [] { benchmark::DoNotOptimize(ReadRaw(kLargestObservations).get()); });
}

// 25,000 … 200,000 observations of 500 variables: 50 to 400 MB of values.
void Sizes(benchmark::internal::Benchmark* b) {
    for (const int observations :
         {kLargestObservations / 8, kLargestObservations / 4, kLargestObservations / 2, kLargestObservations})
        b->Arg(observations);
    b->Iterations(9)->UseManualTime()->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

BENCHMARK(BM_DatasetWrite)->Apply(Sizes);
BENCHMARK(BM_DatasetRead)->Apply(Sizes);
BENCHMARK(BM_DatasetPeakWrite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatasetPeakFwrite)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatasetPeakRead)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DatasetPeakFread)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
