// Opening a project file of 20 datasets and loading one of them, at four sizes of the 19 others
// (N x N values each, N = 125 ... 1000, so 19 x 61 KiB up to 19 x 3.8 MiB of values). The one
// loaded (200 x 50) and the two collections (1000 observations, 1000 variables) are the same at
// every size, so a time that does not grow with N (a fit of O(1)) shows that opening reads
// neither the other datasets nor anything of their size besides their short descriptions.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/ProjectFile.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

constexpr int kRecords = 1000;  // observation and variable records alike
constexpr int kDatasets = 20;
constexpr int kLoaded = 7;  // the dataset that each iteration loads
constexpr int kLoadedObservations = 200;
constexpr int kLoadedVariables = 50;

// The project file of each size, written once and removed when the program ends.
class Files {
public:
    ~Files() {
        for (const auto& entry : mPaths) {
            std::remove(entry.second.c_str());
            std::remove((entry.second + "-journal").c_str());
        }
    }
    const std::string& For(int others) {
        auto found = mPaths.find(others);
        if (found != mPaths.end()) return found->second;
        const std::string path =
            "/tmp/nc_projectfile_bench_" + std::to_string(getpid()) + "_" + std::to_string(others) + ".ncp";
        std::remove(path.c_str());
        Write(path, others);
        return mPaths.emplace(others, path).first->second;
    }

private:
    static void Write(const std::string& path, int others) {
        const auto project = ReferenceProject::Create();
        NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
        for (int i = 0; i < kRecords; ++i) {
            const unsigned long obs = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
            project->GetObservations().Add(
                std::make_unique<ObservationInfo>(std::vector<CString>{CString("O" + std::to_string(i))}, obs),
                nullptr);
            obsIDs.push_back(obs);
            const unsigned long var = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
            project->GetVariables().Add(
                std::make_unique<QuantitativeVariableInfo>("V" + std::to_string(i), var, "", -1, -1, eVarTypeDefault),
                nullptr);
            varIDs.push_back(var);
        }
        for (int number = 1; number <= kDatasets; ++number) {
            const int rows = number == kLoaded ? kLoadedObservations : others;
            const int cols = number == kLoaded ? kLoadedVariables : others;
            NCIntegralVector<unsigned long, 0> rowIDs, colIDs;
            for (int r = 1; r <= rows; ++r) rowIDs.push_back(obsIDs[r]);
            for (int c = 1; c <= cols; ++c) colIDs.push_back(varIDs[c]);
            NCDataMatrix<float> data(rows, cols);
            for (int c = 1; c <= cols; ++c)
                for (int r = 1; r <= rows; ++r) data(r, c, static_cast<float>(r * c % 997));
            const std::string name = "Set " + std::to_string(number);
            project->AddDataset(NCDataSet::Create(project, name.c_str(), number, &data, &rowIDs, &colIDs, {1}, {1}, "",
                                                  nullptr, nullptr, false));
            // Saved and let go one at a time, so that only one large dataset is in memory.
            ProjectFile::Save(*project, path);
            if (number != kLoaded && !project->UnloadDataset(number)) throw std::runtime_error("unload failed");
        }
    }

    std::map<int, std::string> mPaths;
};

Files& TheFiles() {
    static Files files;
    return files;
}

void BM_OpenAndLoadOne(benchmark::State& state) {
    const int others = static_cast<int>(state.range(0));
    const std::string& path = TheFiles().For(others);
    for (auto _ : state) {
        const auto project = ProjectFile::Open(path);
        const auto dataset = project->GetDataset(kLoaded);
        if (!dataset || dataset->SizeObservations() != kLoadedObservations ||
            project->GetUnloadedDatasetNumbers().size() != kDatasets - 1) {
            state.SkipWithError("the project did not open as written");
            break;
        }
        benchmark::DoNotOptimize(dataset->GetStrValue(kLoadedObservations, kLoadedVariables));
    }
    state.SetComplexityN(others);
    state.counters["others_MiB"] = (kDatasets - 1) * 4.0 * others * others / (1024.0 * 1024.0);
}

BENCHMARK(BM_OpenAndLoadOne)->Arg(125)->Arg(250)->Arg(500)->Arg(1000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
