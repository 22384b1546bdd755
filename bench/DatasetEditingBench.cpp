// Costs of the dataset's editing paths in a large project: adding observations (which builds the
// project's ID index once per call), setting single values with the project consulted, handing
// out data (a shared copy) compared with a full copy of the matrix, and removing many rows.

#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "app/ReferenceProject.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/ObservationInfo.h"

namespace {

constexpr int kProjectObservations = 100000;

// A project whose observation collection already holds `count` observations (named apart from
// the names new observations get) and an empty dataset 2.
boost::shared_ptr<ReferenceProject> ProjectWithObservations(int count) {
    auto project = ReferenceProject::Create();
    project->SetRecordConsentRequests(false);
    NCObservations& observations = project->GetObservations();
    for (int i = 1; i <= count; ++i) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        observations.Add(std::make_unique<ObservationInfo>(CString("Row" + std::to_string(i)), id), nullptr);
    }
    project->CreateDataset(2);
    return project;
}

void BM_AddObservationsInOneCall(benchmark::State& state) {
    const int added = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto project = ProjectWithObservations(kProjectObservations);
        auto dataset = project->GetDataset(2);
        state.ResumeTiming();
        dataset->AddObservations(added);
        benchmark::DoNotOptimize(dataset->SizeObservations());
        state.PauseTiming();
        project.reset();
        dataset.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * added);
}
BENCHMARK(BM_AddObservationsInOneCall)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AddObservationsOneAtATime(benchmark::State& state) {
    const int calls = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto project = ProjectWithObservations(kProjectObservations);
        auto dataset = project->GetDataset(2);
        state.ResumeTiming();
        for (int k = 0; k < calls; ++k) dataset->AddObservations(1);
        benchmark::DoNotOptimize(dataset->SizeObservations());
        state.PauseTiming();
        project.reset();
        dataset.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * calls);
}
BENCHMARK(BM_AddObservationsOneAtATime)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SetValueEveryCellConsultingTheProject(benchmark::State& state) {
    constexpr int kRows = 10000, kCols = 100;
    auto project = ProjectWithObservations(0);
    auto dataset = project->GetDataset(2);
    dataset->AddObservations(kRows);
    dataset->AddVariables(kCols, "Var", false, true);
    for (auto _ : state) {
        for (int j = 1; j <= kCols; ++j)
            for (int i = 1; i <= kRows; ++i) dataset->SetValue(i, j, static_cast<float>(i + j), false, false, true);
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_SetValueEveryCellConsultingTheProject)->Unit(benchmark::kMillisecond)->Iterations(3);

// A dataset of 100,000 x 200 values shared by the two data benchmarks.
boost::shared_ptr<NCDataSet> LargeDataset(boost::shared_ptr<ReferenceProject>& project) {
    constexpr int kRows = 100000, kCols = 200;
    project = ReferenceProject::Create();
    NCDataMatrix<float> data(kRows, kCols, 1.5f);
    NCIntegralVector<unsigned long, 0> obsIDs(kRows, 0), varIDs(kCols, 0);
    for (int i = 1; i <= kRows; ++i) obsIDs(i) = static_cast<unsigned long>(i);
    for (int j = 1; j <= kCols; ++j) varIDs(j) = static_cast<unsigned long>(kRows + j);
    auto dataset =
        NCDataSet::Create(project, "Large", 2, &data, &obsIDs, &varIDs, {1}, {1}, "", nullptr, nullptr, false);
    project->AddDataset(dataset);
    return dataset;
}

void BM_GetDataUncentred(benchmark::State& state) {
    boost::shared_ptr<ReferenceProject> project;
    const auto dataset = LargeDataset(project);
    for (auto _ : state) {
        NCDataMatrix<float> data = dataset->GetData(false, boost::shared_ptr<DefaultCenterValues const>());
        benchmark::DoNotOptimize(data.GetColumnPtr(1));
    }
}
BENCHMARK(BM_GetDataUncentred)->Unit(benchmark::kMicrosecond);

void BM_FullCopyOfTheSameMatrix(benchmark::State& state) {
    boost::shared_ptr<ReferenceProject> project;
    const auto dataset = LargeDataset(project);
    const NCDataMatrix<float> source = dataset->GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    for (auto _ : state) {
        NCDataMatrix<float> copy = source;
        copy.UnlinkMe();
        benchmark::DoNotOptimize(copy.GetColumnPtr(1));
    }
}
BENCHMARK(BM_FullCopyOfTheSameMatrix)->Unit(benchmark::kMicrosecond);

// Removing every other observation of the large dataset in one call costs about one full copy
// (the baseline above), not one matrix compaction per removed row.
void BM_RemoveEveryOtherObservation(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        boost::shared_ptr<ReferenceProject> project;
        const auto dataset = LargeDataset(project);
        NCIntegralVector<int, -99> positions;
        for (int i = 1; i <= dataset->SizeObservations(); i += 2) positions.push_back(i);
        state.ResumeTiming();
        dataset->RemoveObservation(&positions, false, true);
        benchmark::DoNotOptimize(dataset->SizeObservations());
    }
}
BENCHMARK(BM_RemoveEveryOtherObservation)->Unit(benchmark::kMicrosecond)->Iterations(3);

}  // namespace
