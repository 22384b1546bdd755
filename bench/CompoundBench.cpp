// Combining two large datasets beside sorting all of their observation IDs. Each dataset has n
// observations; the second shares half of the first's (its second half) and brings n/2 new ones,
// each new one just before a shared one, so that setting up inserts n/2 runs. The first has
// variables V1 to V4, the second V3 to V6. IDs are in the order an import hands them out.
//
// Setting up the compound matches every observation of the second dataset by halving in a sorted
// copy of the first's, inserts the new ones in one pass, and takes the variables likewise; the
// full compound's GetData fills a (3n/2) x 6 matrix from both datasets. Each should cost at most
// 3 times one std::sort of the 2n IDs of both datasets.

#include <algorithm>
#include <map>
#include <vector>

#include <benchmark/benchmark.h>

#include <boost/make_shared.hpp>

#include "app/ReferenceProject.h"
#include "compound/CompoundDataset.h"
#include "compound/FullCompoundDataset.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

struct Fixture {
    boost::shared_ptr<ReferenceProject> project;
    std::vector<unsigned long> allIDs;  // the observation IDs of both datasets, in their order
    boost::shared_ptr<CompoundDataset> compound;
};

// Two datasets of `n` observations each (see above), made once per size. The observations need
// no records: combining compares unique IDs only.
const Fixture& TwoDatasets(int n) {
    static std::map<int, Fixture> fixtures;
    Fixture& fixture = fixtures[n];
    if (fixture.project) return fixture;

    fixture.project = ReferenceProject::Create();
    ReferenceProject& project = *fixture.project;
    std::vector<unsigned long> variables;
    for (int k = 1; k <= 6; ++k) {
        const unsigned long id = project.GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project.GetVariables().Add(std::make_unique<QuantitativeVariableInfo>(CString("V" + std::to_string(k)), id,
                                                                              CString(), -1, -1, eVarTypeDefault),
                                   nullptr);
        variables.push_back(id);
    }
    const unsigned long first = 1000000;  // above the variables' IDs
    NCIntegralVector<unsigned long, 0> obs1, obs2, vars1, vars2;
    for (int i = 0; i < n; ++i) obs1.push_back(first + static_cast<unsigned long>(i));
    for (int i = 0; i < n / 2; ++i) {
        obs2.push_back(first + static_cast<unsigned long>(n + i));      // new
        obs2.push_back(first + static_cast<unsigned long>(n / 2 + i));  // shared
    }
    for (int k = 0; k < 4; ++k) {
        vars1.push_back(variables[static_cast<std::size_t>(k)]);
        vars2.push_back(variables[static_cast<std::size_t>(k + 2)]);
    }
    const NCDataMatrix<float> data1(obs1.size(), vars1.size(), 1.0f);
    const NCDataMatrix<float> data2(obs2.size(), vars2.size(), 2.0f);
    project.AddDataset(
        NCDataSet::Create(fixture.project, "First", 1, &data1, &obs1, &vars1, {1}, {1}, "", nullptr, nullptr, false));
    project.AddDataset(
        NCDataSet::Create(fixture.project, "Second", 2, &data2, &obs2, &vars2, {1}, {1}, "", nullptr, nullptr, false));
    fixture.allIDs.assign(obs1.begin(), obs1.end());
    fixture.allIDs.insert(fixture.allIDs.end(), obs2.begin(), obs2.end());
    fixture.compound = boost::make_shared<CompoundDataset>(fixture.project, std::vector<int>{1, 2});
    return fixture;
}

void BM_SortAllObservationIDs(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::vector<unsigned long>& ids = TwoDatasets(n).allIDs;
    std::vector<unsigned long> sorted;
    for (auto _ : state) {
        state.PauseTiming();
        sorted = ids;
        state.ResumeTiming();
        std::sort(sorted.begin(), sorted.end());
        benchmark::DoNotOptimize(sorted.data());
    }
    state.SetComplexityN(n);
}

void BM_CompoundSetupDatasets(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const Fixture& fixture = TwoDatasets(n);
    for (auto _ : state) {
        const CompoundDataset compound(fixture.project, {1, 2});
        benchmark::DoNotOptimize(compound.SizeObservations());
    }
    state.SetComplexityN(n);
    state.counters["rows"] = fixture.compound->SizeObservations();
}

void BM_FullCompoundGetData(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const Fixture& fixture = TwoDatasets(n);
    for (auto _ : state) {
        const FullCompoundDataset full(fixture.compound);
        const NCDataMatrix<float> data = full.GetData(false, boost::shared_ptr<DefaultCenterValues const>());
        benchmark::DoNotOptimize(data.GetColumnPtr(1));
    }
    state.SetComplexityN(n);
}

BENCHMARK(BM_SortAllObservationIDs)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompoundSetupDatasets)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullCompoundGetData)->Arg(250000)->Arg(500000)->Arg(1000000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
