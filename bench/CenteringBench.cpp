// Centred data of a large batch dataset beside one plain copy of its matrix. The dataset has 500
// variables and 1,000 observations per batch; every variable has one centre per batch (the batch
// column is the collection's batch alias and the project answers yes to the batch question), so
// every value is centred. Handing out centred data costs one copy of the matrix and one pass over
// it, plus the look-ups per run of equal batch names; the aim is at most 3 times the plain copy.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "app/ReferenceProject.h"
#include "centering/LocalCenteringData.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/ObservationInfo.h"

namespace {

constexpr int kVariables = 500;
constexpr int kRowsPerBatch = 1000;
constexpr int kBatchAlias = 2;

struct Fixture {
    boost::shared_ptr<ReferenceProject> project;
    boost::shared_ptr<NCDataSet> dataset;
};

// A project holding one dataset of `rows` observations of batches B1, B2, … and kVariables
// variables, with a centre per variable and batch; made once per size.
const Fixture& BatchDataset(int rows) {
    static std::map<int, Fixture> fixtures;
    Fixture& fixture = fixtures[rows];
    if (fixture.dataset) return fixture;

    fixture.project = ReferenceProject::Create();
    ReferenceProject& project = *fixture.project;
    project.SetBatchAnswer(true);
    NCObservations& observations = project.GetObservations();
    observations.SetBatchID(kBatchAlias);
    NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
    for (int row = 1; row <= rows; ++row) {
        const unsigned long id = project.GetNewUniqueID(nc::UniqueIDKind::kRecord);
        const std::vector<CString> ids{CString("Row" + std::to_string(row)),
                                       CString("B" + std::to_string((row - 1) / kRowsPerBatch + 1))};
        observations.Add(std::make_unique<ObservationInfo>(ids, id), nullptr);
        obsIDs.push_back(id);
    }
    const int batches = (rows + kRowsPerBatch - 1) / kRowsPerBatch;
    LocalCenteringData& table = *project.GetLocalCenteringData();
    for (int col = 1; col <= kVariables; ++col) {
        const unsigned long id = project.GetNewUniqueID(nc::UniqueIDKind::kRecord);
        varIDs.push_back(id);
        for (int batch = 1; batch <= batches; ++batch)
            table.AddInfo(0.25f * static_cast<float>(batch), id, kBatchAlias, ("B" + std::to_string(batch)).c_str(), -1,
                          nullptr);
    }
    NCDataMatrix<float> data(rows, kVariables, 1.5f);
    fixture.dataset = NCDataSet::Create(fixture.project, "Batches", 2, &data, &obsIDs, &varIDs, {1}, {1}, "", nullptr,
                                        nullptr, false);
    project.AddDataset(fixture.dataset);
    return fixture;
}

void BM_PlainCopyOfTheMatrix(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const NCDataMatrix<float> source =
        BatchDataset(rows).dataset->GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    for (auto _ : state) {
        NCDataMatrix<float> copy = source;
        copy.UnlinkMe();
        benchmark::DoNotOptimize(copy.GetColumnPtr(1));
    }
    state.SetComplexityN(rows);
    state.SetBytesProcessed(state.iterations() * rows * static_cast<std::int64_t>(kVariables) * 4);
}
BENCHMARK(BM_PlainCopyOfTheMatrix)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_CentredGetDataWithBatchCentres(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const NCDataSet& dataset = *BatchDataset(rows).dataset;
    for (auto _ : state) {
        NCDataMatrix<float> data = dataset.GetData(true, boost::shared_ptr<DefaultCenterValues const>());
        benchmark::DoNotOptimize(data.GetColumnPtr(1));
    }
    state.SetComplexityN(rows);
    state.SetBytesProcessed(state.iterations() * rows * static_cast<std::int64_t>(kVariables) * 4);
}
BENCHMARK(BM_CentredGetDataWithBatchCentres)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
