// Aligning batches on a common maturity grid: up to 1,000 batches of 2,000 observations and 50
// variables onto a 1,500-point grid (BatchAligner::Align, the matrix form with a reused output),
// beside the baseline of a plain merge walk that interpolates the same columns at the same grid
// points into a reused buffer, with the end values held. The aligner's time over the baseline's is
// the figure.
//
// The grid comes from Init on reference batches of 1,500 observations; the aligned batches cycle
// through 32 distinct ones (12.8 MB of values, more than the caches hold), each with its own
// strictly rising maturity and no missing values, so both sides do the same interpolations.

#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <vector>

#include "batch/BatchAligner.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"

namespace {

constexpr int kObs = 2000;
constexpr int kVars = 50;
constexpr int kGridPoints = 1500;
constexpr int kDistinctBatches = 32;

struct Batch {
    NCDataVector<float> maturity;
    NCDataMatrix<float> values;
};

// A maturity rising from near 0 to near `span` in n steps of random size.
NCDataVector<float> RisingMaturity(std::mt19937& random, int n, float span) {
    std::uniform_real_distribution<float> step(0.5f, 1.5f);
    std::vector<float> x(static_cast<std::size_t>(n));
    float level = 0.0f;
    for (float& value : x) value = level += step(random);
    NCDataVector<float> maturity;
    maturity.Reserve(n);
    for (const float value : x) maturity.push_back(value * span / level);
    return maturity;
}

struct Workload {
    BatchAligner aligner;
    std::vector<Batch> batches;
};

const Workload& TheWorkload() {
    static const Workload workload = [] {
        Workload made;
        std::mt19937 random(11);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        // The grid: reference batches of kGridPoints observations give min(N / B, median length) points.
        NCDataVector<float> reference;
        NCIntegralVector<int, -99> beginnings;
        for (int b = 0; b < 16; ++b) {
            beginnings.push_back(reference.size() + 1);
            const NCDataVector<float> run = RisingMaturity(random, kGridPoints, 95.0f + 10.0f * unit(random));
            for (int i = 1; i <= run.size(); ++i) reference.push_back(run(i));
        }
        made.aligner.Init(&reference, &beginnings, true);
        for (int b = 0; b < kDistinctBatches; ++b) {
            Batch batch{RisingMaturity(random, kObs, 90.0f + 20.0f * unit(random)), NCDataMatrix<float>(kObs, kVars)};
            for (int v = 1; v <= kVars; ++v) {
                const float a = unit(random) * 10, c = unit(random) * 0.05f;
                for (int r = 1; r <= kObs; ++r) batch.values(r, v, a + c * r + unit(random));
            }
            made.batches.push_back(std::move(batch));
        }
        return made;
    }();
    return workload;
}

void Finish(benchmark::State& state, int batches) {
    state.SetItemsProcessed(state.iterations() * batches);
    state.SetComplexityN(batches);
}

void BM_AlignBatches(benchmark::State& state) {
    const Workload& workload = TheWorkload();
    const int batches = static_cast<int>(state.range(0));
    if (workload.aligner.GetTimeMaturityVector()->size() != kGridPoints) state.SkipWithError("grid of another size");
    NCDataMatrix<float> out;
    for (auto _ : state) {
        for (int b = 0; b < batches; ++b) {
            const Batch& batch = workload.batches[static_cast<std::size_t>(b % kDistinctBatches)];
            workload.aligner.Align(batch.values, batch.maturity, out);
            benchmark::DoNotOptimize(out.GetColumnPtr(1));
        }
    }
    Finish(state, batches);
}

// Per column, the grid and the maturity walked together: the last sample not above t and the next
// one bracket t, and the end values are held outside the batch.
void BM_MergeWalkBaseline(benchmark::State& state) {
    const Workload& workload = TheWorkload();
    const int batches = static_cast<int>(state.range(0));
    const NCDataVector<float>& gridVector = *workload.aligner.GetTimeMaturityVector();
    const float* grid = gridVector.data();
    const int points = gridVector.size();
    std::vector<float> out(static_cast<std::size_t>(points) * kVars);
    for (auto _ : state) {
        for (int b = 0; b < batches; ++b) {
            const Batch& batch = workload.batches[static_cast<std::size_t>(b % kDistinctBatches)];
            const float* x = batch.maturity.data();
            for (int v = 1; v <= kVars; ++v) {
                const float* y = batch.values.GetColumnPtr(v);
                float* column = out.data() + static_cast<std::size_t>(v - 1) * points;
                int j = 0;
                for (int p = 0; p < points; ++p) {
                    const float t = grid[p];
                    while (j < kObs - 2 && x[j + 1] <= t) ++j;
                    if (t <= x[0])
                        column[p] = y[0];
                    else if (t >= x[kObs - 1])
                        column[p] = y[kObs - 1];
                    else
                        column[p] = y[j] + (y[j + 1] - y[j]) * (t - x[j]) / (x[j + 1] - x[j]);
                }
            }
            benchmark::DoNotOptimize(out.data());
        }
    }
    Finish(state, batches);
}

}  // namespace

BENCHMARK(BM_AlignBatches)->Arg(250)->Arg(500)->Arg(1000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeWalkBaseline)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
