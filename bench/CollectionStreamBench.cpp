// An observations collection written as its section and read back, through memory and through a
// file, beside the same number of bytes written and read raw in the same program: one
// stringstream write and read, one fwrite and fread. The collection is a realistic project's:
// four ID columns (primary, batch, phase, a numeric one), a batch and a default class per record.
// Three sizes, so that the per-record cost shows as linear. A reader also has to make the records:
// BM_RecordsOnly makes the same records without a stream, the floor of any reader.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "varobs/NCObservations.h"
#include "varobs/ObservationInfo.h"

namespace {

std::string FileName(const char* what) { return "/tmp/nc_collection_bench_" + std::to_string(getpid()) + "." + what; }

// The files of this run, removed when the program ends.
struct Files {
    std::string section = FileName("bin");
    std::string raw = FileName("raw");
    ~Files() {
        std::remove(section.c_str());
        std::remove(raw.c_str());
    }
};
const Files& TheFiles() {
    static const Files files;
    return files;
}

// Record i (from 1): batches of 500 observations in four phases, and a numeric position.
int BatchOf(int i) { return (i - 1) / 500 + 1; }
std::vector<CString> IDsOf(int i) {
    return {CString("Obs" + std::to_string(i)), CString("B" + std::to_string(BatchOf(i))),
            CString("P" + std::to_string((i - 1) % 500 / 125 + 1)), CString(std::to_string(i * 7))};
}
std::unique_ptr<ObservationInfo> MakeRecord(const std::vector<CString>& ids, int i) {
    auto record = std::make_unique<ObservationInfo>(ids, static_cast<unsigned long>(i));
    record->SetBatch(static_cast<unsigned long>(2000000000 + BatchOf(i)));
    record->SetDefaultClass(i % 3);
    return record;
}

std::unique_ptr<NCObservations> MakeCollection(int records) {
    auto collection = std::make_unique<NCObservations>();
    const std::vector<CString> labels = {"Sample", "Batch", "Phase", "Position"};
    collection->Set_ID_Labels(&labels);
    collection->SetBatchID(2);
    collection->SetPhaseID(3);
    for (int i = 1; i <= records; ++i) collection->Add(MakeRecord(IDsOf(i), i), nullptr);
    return collection;
}

// One collection and its section's bytes per size, made once.
struct Sample {
    std::unique_ptr<NCObservations> collection;
    std::string bytes;
};
const Sample& TheSample(int records) {
    static std::map<int, Sample> samples;
    Sample& sample = samples[records];
    if (!sample.collection) {
        sample.collection = MakeCollection(records);
        std::ostringstream os;
        os << *sample.collection;
        if (!os) throw std::runtime_error("the collection did not write");
        sample.bytes = os.str();
    }
    return sample;
}

void Report(benchmark::State& state, std::size_t bytes) {
    const auto records = state.range(0);
    state.SetComplexityN(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["records"] = static_cast<double>(records);
    state.counters["per_record"] = benchmark::Counter(
        static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// ---- memory ------------------------------------------------------------------------------------

void BM_SectionWriteMemory(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::stringstream stream;
        stream << *sample.collection;
        if (!stream) state.SkipWithError("the section did not write");
        benchmark::DoNotOptimize(stream.rdbuf());
    }
    Report(state, sample.bytes.size());
}

void BM_RawWriteMemory(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::stringstream stream;
        stream.write(sample.bytes.data(), static_cast<std::streamsize>(sample.bytes.size()));
        benchmark::DoNotOptimize(stream.rdbuf());
    }
    Report(state, sample.bytes.size());
}

void BM_SectionReadMemory(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<NCObservations>();
        std::stringstream stream(sample.bytes);
        state.ResumeTiming();
        stream >> *target;
        if (stream.fail() || target->size() != state.range(0)) state.SkipWithError("the section did not read back");
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
    Report(state, sample.bytes.size());
}

void BM_RawReadMemory(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::stringstream stream(sample.bytes);
        state.ResumeTiming();
        std::unique_ptr<char[]> bytes(new char[sample.bytes.size()]);
        stream.read(bytes.get(), static_cast<std::streamsize>(sample.bytes.size()));
        if (stream.gcount() != static_cast<std::streamsize>(sample.bytes.size())) state.SkipWithError("short read");
        benchmark::DoNotOptimize(bytes.get());
    }
    Report(state, sample.bytes.size());
}

// What no reader can go below: the same records made from their ID texts and entered into a map
// as a collection holds them, with no stream at all.
void BM_RecordsOnly(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    const int records = static_cast<int>(state.range(0));
    std::vector<std::vector<CString>> ids;
    ids.reserve(static_cast<std::size_t>(records));
    for (int i = 1; i <= records; ++i) ids.push_back(IDsOf(i));
    for (auto _ : state) {
        std::map<unsigned long, VarObsInfo*> map;
        for (int i = 1; i <= records; ++i)
            map.emplace_hint(map.end(), static_cast<unsigned long>(i),
                             MakeRecord(ids[static_cast<std::size_t>(i - 1)], i).release());
        state.PauseTiming();
        for (const auto& entry : map) delete entry.second;
        state.ResumeTiming();
    }
    Report(state, sample.bytes.size());
}

// ---- file --------------------------------------------------------------------------------------

void BM_SectionWriteFile(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ofstream os(TheFiles().section, std::ios::binary | std::ios::trunc);
        os << *sample.collection;
        os.close();
        if (!os) state.SkipWithError("the section did not write");
    }
    Report(state, sample.bytes.size());
}

void BM_FwriteFile(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FILE* f = std::fopen(TheFiles().raw.c_str(), "wb");
        const std::size_t written = std::fwrite(sample.bytes.data(), 1, sample.bytes.size(), f);
        if (std::fclose(f) != 0 || written != sample.bytes.size()) state.SkipWithError("fwrite failed");
    }
    Report(state, sample.bytes.size());
}

void BM_SectionReadFile(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    {
        std::ofstream os(TheFiles().section, std::ios::binary | std::ios::trunc);
        os.write(sample.bytes.data(), static_cast<std::streamsize>(sample.bytes.size()));
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto target = std::make_unique<NCObservations>();
        state.ResumeTiming();
        std::ifstream is(TheFiles().section, std::ios::binary);
        is >> *target;
        if (is.fail() || target->size() != state.range(0)) state.SkipWithError("the section did not read back");
        state.PauseTiming();
        target.reset();
        state.ResumeTiming();
    }
    Report(state, sample.bytes.size());
}

void BM_FreadFile(benchmark::State& state) {
    const Sample& sample = TheSample(static_cast<int>(state.range(0)));
    {
        FILE* f = std::fopen(TheFiles().raw.c_str(), "wb");
        std::fwrite(sample.bytes.data(), 1, sample.bytes.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        std::unique_ptr<char[]> bytes(new char[sample.bytes.size()]);
        FILE* f = std::fopen(TheFiles().raw.c_str(), "rb");
        const std::size_t read = std::fread(bytes.get(), 1, sample.bytes.size(), f);
        std::fclose(f);
        if (read != sample.bytes.size()) state.SkipWithError("fread failed");
        benchmark::DoNotOptimize(bytes.get());
    }
    Report(state, sample.bytes.size());
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000)->Arg(1000000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_SectionWriteMemory)->Apply(Sizes);
BENCHMARK(BM_RawWriteMemory)->Apply(Sizes);
BENCHMARK(BM_SectionReadMemory)->Apply(Sizes);
BENCHMARK(BM_RawReadMemory)->Apply(Sizes);
BENCHMARK(BM_RecordsOnly)->Apply(Sizes);
BENCHMARK(BM_SectionWriteFile)->Apply(Sizes);
BENCHMARK(BM_FwriteFile)->Apply(Sizes);
BENCHMARK(BM_SectionReadFile)->Apply(Sizes);
BENCHMARK(BM_FreadFile)->Apply(Sizes);
