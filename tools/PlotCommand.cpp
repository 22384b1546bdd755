#include "tools/Commands.h"

#include <cmath>
#include <filesystem>
#include <limits>

#include "app/BatchPipeline.h"
#include "app/InputError.h"
#include "app/OutputFile.h"
#include "app/SvgPlot.h"
#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "tools/ExitStatus.h"
#include "tools/ProjectSession.h"

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

// One series per batch of `dataset`: the values of column `var` against their position in the
// batch (from `firstX` on). Missing values break the line.
std::vector<SvgPlot::Series> BatchSeries(const NCDataSet& dataset, int var, double firstX) {
    std::vector<SvgPlot::Series> series;
    const auto batches = dataset.GetBatchInfoVector();
    if (!batches) return series;
    const NCDataMatrix<float> data = dataset.GetData(false, nullptr);
    int row = 1;
    for (const auto& batch : *batches) {
        SvgPlot::Series line;
        line.name = batch->GetBatchName().GetString();
        const int count = batch->GetNumObs(nullptr, true);
        for (int k = 0; k < count && row <= dataset.SizeObservations(); ++k, ++row) {
            const float value = data(row, var);
            line.x.push_back(firstX + k);
            line.y.push_back(value == nc::kMissingValue ? kGap : value);
        }
        series.push_back(std::move(line));
    }
    return series;
}

// Where the phases of the aligned batches end: the first batch's phase lengths added up.
std::vector<double> PhaseEnds(const NCDataSet& aligned) {
    std::vector<double> ends;
    const auto batches = aligned.GetBatchInfoVector();
    if (!batches || batches->empty() || !(*batches->begin())->GetClassVector()) return ends;
    const ClassInfoVector& phases = *(*batches->begin())->GetClassVector();
    double end = 0.5;
    for (std::size_t p = 0; p + 1 < phases.size(); ++p) ends.push_back(end += phases[p]->GetNumObs());
    return ends;
}

std::string DefaultOutput(const std::string& project, const std::string& variable) {
    std::string name;
    for (const char c : variable) name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
    return (std::filesystem::path(project).parent_path() / (name + ".svg")).string();
}

}  // namespace

namespace Commands {

int Plot(const PlotArgs& args, std::ostream& out) {
    ProjectSession session(args.project, false);
    const boost::shared_ptr<NCDataSet> dataset = session.Dataset(args.dataset);
    const int var = BatchPipeline::FindVariable(*dataset, args.variable);
    if (!dataset->GetBatchInfoVector())
        throw InputError("dataset " + std::to_string(args.dataset) + " has no batches; import it with --batch");
    const int alignedNumber = BatchPipeline::FindAlignedDataset(session.Project(), args.dataset);
    if (alignedNumber == 0)
        throw InputError("dataset " + std::to_string(args.dataset) +
                         " has not been aligned yet; run `ncds batch` with --maturity first");
    const boost::shared_ptr<NCDataSet> aligned = session.Dataset(alignedNumber);
    const std::string name = dataset->GetVariableID(var, 1);

    std::vector<SvgPlot::Panel> panels(2);
    panels[0].title = "Before alignment (dataset " + std::to_string(args.dataset) + ")";
    panels[0].xLabel = "Observation in batch";
    panels[0].yLabel = name;
    panels[0].series = BatchSeries(*dataset, var, 0);
    panels[1].title = "After alignment (dataset " + std::to_string(alignedNumber) + ")";
    panels[1].xLabel = "Aligned point (dashed: phase ends)";
    panels[1].yLabel = name;
    panels[1].series = BatchSeries(*aligned, BatchPipeline::FindVariable(*aligned, args.variable), 1);
    panels[1].markers = PhaseEnds(*aligned);

    const std::string path = args.output.empty() ? DefaultOutput(args.project, name) : args.output;
    OutputFile file(path);
    SvgPlot::Write(file.Stream(), name + ": batch trajectories of \"" + std::string(dataset->GetName()) + "\"", panels);
    file.Commit();
    out << "Wrote " << path << ": " << name << " of " << panels[0].series.size()
        << " batches, before and after alignment.\n";
    return ExitStatus::kSuccess;
}

}  // namespace Commands
