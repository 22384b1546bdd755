#include "tools/Commands.h"

#include "app/BatchPipeline.h"
#include "tools/ExitStatus.h"
#include "tools/ProjectSession.h"

namespace Commands {

int Batch(const BatchArgs& args, std::ostream& out) {
    ProjectSession session(args.project, false);
    BatchPipelineOptions options;
    options.maturity = args.maturity;
    options.align = args.align;
    const BatchPipelineResult result = BatchPipeline::Run(session.Project(), session.Dataset(args.dataset), options);
    session.Save();

    out << "Dataset " << args.dataset << ": " << result.batches << " batch" << (result.batches == 1 ? "" : "es");
    if (result.phases > 0) out << " with " << result.phases << " phase" << (result.phases == 1 ? "" : "s");
    out << "; variables made:";
    for (const std::string& name : result.created) out << " \"" << name << '"';
    out << ".\n";
    if (result.alignedDataset > 0) {
        out << "Aligned on the smoothed maturity into dataset " << result.alignedDataset << ": "
            << result.alignedObservations << " observations, ";
        for (std::size_t p = 0; p < result.gridPoints.size(); ++p) out << (p ? " + " : "") << result.gridPoints[p];
        out << " points per batch.\n";
    }
    return ExitStatus::kSuccess;
}

}  // namespace Commands
