// The primary-ID index of a collection of 1,000,000 observations: building it and looking IDs up
// in it, beside a baseline that builds and queries a std::unordered_map keyed by the upper-cased
// IDs of the same records. The collection's section is measured in CollectionStreamBench.cpp.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "varobs/InfosByUserID.h"
#include "varobs/ObservationInfo.h"
#include "varobs/VarObs.h"

namespace {

constexpr int kRecords = 1000000;

class BenchCollection : public VarObs {
public:
    using VarObs::Add;
    using VarObs::ClearInfosByUserID;
    using VarObs::GetInfosByUserID;
    std::string GetIDLabelDescription(int) const override { return std::string(); }
};

struct Fixture {
    BenchCollection collection;
    std::vector<std::string> queries;  // every ID once, shuffled, in another case than stored

    Fixture() {
        for (int i = 1; i <= kRecords; ++i)
            collection.Add(
                std::make_unique<ObservationInfo>(CString("Obs" + std::to_string(i)), static_cast<unsigned long>(i)),
                nullptr);
        queries.reserve(kRecords);
        for (int i = 1; i <= kRecords; ++i) queries.push_back("oBS" + std::to_string(i));
        std::shuffle(queries.begin(), queries.end(), std::mt19937(42));
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

std::string Upper(const char* text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

using Baseline = std::unordered_map<std::string, const VarObsInfo*>;

Baseline BuildBaseline(const VarObs& collection) {
    Baseline map;
    map.reserve(static_cast<std::size_t>(collection.size()));
    for (const auto& entry : collection) map.emplace(Upper(entry.second->GetPrimaryAlias()), entry.second);
    return map;
}

void BM_IndexBuild(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        f.collection.ClearInfosByUserID();
        benchmark::DoNotOptimize(f.collection.GetInfosByUserID(1));
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_BaselineBuild(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        Baseline map = BuildBaseline(f.collection);
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_IndexLookup(benchmark::State& state) {
    Fixture& f = TheFixture();
    f.collection.ClearInfosByUserID();
    const boost::shared_ptr<InfosByUserID> index = f.collection.GetInfosByUserID(1);
    for (auto _ : state) {
        unsigned long sum = 0;
        for (const std::string& id : f.queries) sum += index->GetUniqueID(id.c_str());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_BaselineLookup(benchmark::State& state) {
    Fixture& f = TheFixture();
    const Baseline map = BuildBaseline(f.collection);
    for (auto _ : state) {
        unsigned long sum = 0;
        for (const std::string& id : f.queries) {
            const auto found = map.find(Upper(id.c_str()));
            if (found != map.end()) sum += found->second->GetUniqueID();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

}  // namespace

BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineLookup)->Unit(benchmark::kMillisecond);
