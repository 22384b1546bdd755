// Smoothing a noisy maturity with gaps, batch by batch (500 observations a batch, up to 2,000
// batches, so up to 1,000,000 observations), beside the baseline of one moving-average pass over
// the same values with the same window (23 points, the window that batches of 500 observations
// get). The smoothing's time over the baseline's, and observations per second, are the figures.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "batch/Smooth.h"
#include "interfaces/constants/NCConstants.h"

namespace {

constexpr int kObsPerBatch = 500;

// A rising maturity with noise and 5 % gaps, and its layout: one segment per batch.
struct Maturity {
    std::vector<float> values;
    Smooth::BatchLayout layout;
};

const Maturity& MaturityOfBatches(int batches) {
    static std::map<int, Maturity> cache;
    Maturity& entry = cache[batches];
    if (!entry.values.empty()) return entry;
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.8f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    entry.layout.numObs = batches * kObsPerBatch;
    entry.values.reserve(static_cast<std::size_t>(entry.layout.numObs));
    for (int b = 0; b < batches; ++b) {
        entry.layout.batchBeginnings.push_back(b * kObsPerBatch + 1);
        const float rate = 0.15f + 0.05f * unit(random);
        for (int i = 0; i < kObsPerBatch; ++i)
            entry.values.push_back(unit(random) < 0.05f ? nc::kMissingValue : rate * i + noise(random));
    }
    entry.layout.phaseBeginnings = entry.layout.batchBeginnings;
    return entry;
}

void Finish(benchmark::State& state, const Maturity& maturity) {
    state.SetItemsProcessed(state.iterations() * static_cast<long>(maturity.values.size()));
    state.SetComplexityN(static_cast<long>(maturity.values.size()));
}

void BM_SmoothVariable(benchmark::State& state) {
    const Maturity& maturity = MaturityOfBatches(static_cast<int>(state.range(0)));
    std::vector<float> smoothed, relative;
    for (auto _ : state) {
        Smooth::SmoothVariable(maturity.values.data(), maturity.layout, false, {}, smoothed, relative);
        benchmark::DoNotOptimize(smoothed.data());
        benchmark::DoNotOptimize(relative.data());
    }
    Finish(state, maturity);
}

// The same window's mean around every observation of each batch, missing values skipped.
void BM_MovingAverageBaseline(benchmark::State& state) {
    const Maturity& maturity = MaturityOfBatches(static_cast<int>(state.range(0)));
    const int w = Smooth::ChoosePhaseWindow(static_cast<float>(kObsPerBatch)).size, half = w / 2;
    std::vector<float> averaged(maturity.values.size());
    for (auto _ : state) {
        for (std::size_t first = 0; first < maturity.values.size(); first += kObsPerBatch) {
            const float* y = maturity.values.data() + first;
            for (int i = 0; i < kObsPerBatch; ++i) {
                double sum = 0.0;
                int count = 0;
                for (int j = std::max(0, i - half); j <= std::min(kObsPerBatch - 1, i + half); ++j) {
                    if (y[j] == nc::kMissingValue) continue;
                    sum += y[j];
                    ++count;
                }
                averaged[first + i] = count ? static_cast<float>(sum / count) : nc::kMissingValue;
            }
        }
        benchmark::DoNotOptimize(averaged.data());
    }
    Finish(state, maturity);
}

}  // namespace

BENCHMARK(BM_SmoothVariable)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovingAverageBaseline)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
