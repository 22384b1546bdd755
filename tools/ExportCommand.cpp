#include "tools/Commands.h"

#include <memory>

#include "app/CsvExport.h"
#include "app/OutputFile.h"
#include "dataset/NCDataSet.h"
#include "tools/ExitStatus.h"
#include "tools/ProjectSession.h"

namespace Commands {

int Export(const ExportArgs& args, std::ostream& out) {
    ProjectSession session(args.project, false);
    const boost::shared_ptr<NCDataSet> dataset = session.Dataset(args.dataset);
    CsvExportOptions options;
    options.centred = args.centred;
    options.delimiter = args.delimiter;
    if (args.output.empty() || args.output == "-") {
        CsvExport::Write(*dataset, out, options);
        if (!out) throw OutputError("the standard output could not be written");
        return ExitStatus::kSuccess;
    }
    OutputFile file(args.output);
    CsvExport::Write(*dataset, file.Stream(), options);
    file.Commit();
    out << "Wrote dataset " << args.dataset << " (" << dataset->SizeObservations() << " observations, "
        << dataset->SizeVariables() << " variables" << (args.centred ? ", centred" : "") << ") to " << args.output
        << ".\n";
    return ExitStatus::kSuccess;
}

}  // namespace Commands
