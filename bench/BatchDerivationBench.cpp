// Finding the batch and phase beginnings of a dataset's observations with the galloping search,
// beside the baseline of a plain scan of the same observations that compares each row's batch
// (and phase) name with the previous row's. Every dataset has 1,000 batches of 4 equal phases;
// the largest has 2,000,000 observations. The search's time over the scan's is the figure that
// matters (target: at most 0.05 at 2,000,000 observations), and beside it the rows each one reads.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "batchinfo/BatchDerivation.h"
#include "varobs/NCObservations.h"
#include "varobs/ObservationInfo.h"

namespace {

constexpr int kBatches = 1000;
constexpr int kPhasesPerBatch = 4;

// An observation collection that counts its record look-ups, so that a benchmark can report how
// many rows it read besides how long it took.
class CountingObservations : public NCObservations {
public:
    using NCObservations::FindVarObsInfo;
    const VarObsInfo* FindVarObsInfo(unsigned long uniqueID) const override {
        ++lookups;
        return NCObservations::FindVarObsInfo(uniqueID);
    }
    mutable std::int64_t lookups = 0;
};

// Observations with IDs (primary, batch, phase) in batch order, and their unique IDs.
struct BatchRows {
    CountingObservations observations;
    NCIntegralVector<unsigned long, 0> ids;
};

// Reports the number of rows read per row of the list, and the size for the complexity fit.
void Finish(benchmark::State& state, const BatchRows& rows, std::int64_t lookupsBefore) {
    const double reads = static_cast<double>(rows.observations.lookups - lookupsBefore);
    state.counters["reads_per_row"] = reads / (static_cast<double>(state.iterations()) * rows.ids.size());
    state.SetComplexityN(state.range(0));
}

// One set of rows per size, built once and shared by the search and the scan.
const BatchRows& RowsOfSize(int rows) {
    static std::map<int, std::unique_ptr<BatchRows>> cache;
    std::unique_ptr<BatchRows>& entry = cache[rows];
    if (entry) return *entry;
    entry = std::make_unique<BatchRows>();
    entry->observations.SetBatchID(2);
    entry->observations.SetPhaseID(3);
    const int perBatch = rows / kBatches, perPhase = perBatch / kPhasesPerBatch;
    entry->ids.reserve(rows);
    unsigned long id = 0;
    for (int b = 1; b <= kBatches; ++b) {
        const CString batch("Batch" + std::to_string(b));
        for (int p = 1; p <= kPhasesPerBatch; ++p) {
            const CString phase("Phase" + std::to_string(p));
            const int count = p < kPhasesPerBatch ? perPhase : perBatch - (kPhasesPerBatch - 1) * perPhase;
            for (int i = 0; i < count; ++i) {
                ++id;
                entry->observations.Add(new ObservationInfo({CString("Obs" + std::to_string(id)), batch, phase}, id),
                                        nullptr);
                entry->ids.push_back(id);
            }
        }
    }
    return *entry;
}

// Positions where the batch (with `phases`: the batch or the phase) differs from the previous row.
int ScanStarts(const BatchRows& rows, bool phases) {
    int starts = 0;
    CString previousBatch, previousPhase;
    for (int i = 1; i <= rows.ids.size(); ++i) {
        const ObservationInfo* record = rows.observations[rows.ids[i]];
        CString batch = record->GetBatchName(rows.observations);
        CString phase = phases ? record->GetPhaseName(rows.observations) : CString();
        if (i == 1 || batch != previousBatch || phase != previousPhase) ++starts;
        previousBatch = std::move(batch);
        previousPhase = std::move(phase);
    }
    return starts;
}

void BM_BatchBeginnings(benchmark::State& state) {
    const BatchRows& rows = RowsOfSize(static_cast<int>(state.range(0)));
    const std::int64_t before = rows.observations.lookups;
    for (auto _ : state) {
        const std::unique_ptr<NCIntegralVector<int, -99>> starts(
            BatchUtilities::GetBatchBeginnings(&rows.observations, &rows.ids));
        benchmark::DoNotOptimize(starts->size());
    }
    Finish(state, rows, before);
}

void BM_PhaseBeginnings(benchmark::State& state) {
    const BatchRows& rows = RowsOfSize(static_cast<int>(state.range(0)));
    const std::int64_t before = rows.observations.lookups;
    for (auto _ : state) {
        const std::unique_ptr<NCIntegralVector<int, -99>> starts(
            BatchUtilities::GetPhaseBeginnings(&rows.observations, &rows.ids));
        benchmark::DoNotOptimize(starts->size());
    }
    Finish(state, rows, before);
}

void BM_ScanBatchesBaseline(benchmark::State& state) {
    const BatchRows& rows = RowsOfSize(static_cast<int>(state.range(0)));
    const std::int64_t before = rows.observations.lookups;
    for (auto _ : state) benchmark::DoNotOptimize(ScanStarts(rows, false));
    Finish(state, rows, before);
}

void BM_ScanPhasesBaseline(benchmark::State& state) {
    const BatchRows& rows = RowsOfSize(static_cast<int>(state.range(0)));
    const std::int64_t before = rows.observations.lookups;
    for (auto _ : state) benchmark::DoNotOptimize(ScanStarts(rows, true));
    Finish(state, rows, before);
}

void Sizes(benchmark::internal::Benchmark* bench) {
    for (const int rows : {250000, 500000, 1000000, 2000000}) bench->Arg(rows);
}

BENCHMARK(BM_BatchBeginnings)->Apply(Sizes)->Complexity()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanBatchesBaseline)->Apply(Sizes)->Complexity()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PhaseBeginnings)->Apply(Sizes)->Complexity()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanPhasesBaseline)->Apply(Sizes)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
