#include "tools/Commands.h"

#include <memory>

#include "app/CsvExport.h"
#include "app/OutputFile.h"
#include "compound/FullCompoundDataset.h"
#include "dataset/NCDataSet.h"
#include "tools/ExitStatus.h"
#include "tools/ProjectSession.h"

namespace Commands {

int Export(const ExportArgs& args, std::ostream& out) {
    ProjectSession session(args.project, false);
    std::unique_ptr<FullCompoundDataset> compound;
    boost::shared_ptr<NCDataSet> single;
    for (const int number : args.datasets) single = session.Dataset(number);
    if (args.datasets.size() > 1)
        compound = std::make_unique<FullCompoundDataset>(session.SharedProject(), args.datasets);
    const NCFullDataContainerBase& dataset =
        compound ? static_cast<const NCFullDataContainerBase&>(*compound) : *single;
    CsvExportOptions options;
    options.centred = args.centred;
    options.delimiter = args.delimiter;
    if (args.output.empty() || args.output == "-") {
        CsvExport::Write(dataset, out, options);
        if (!out) throw OutputError("the standard output could not be written");
        return ExitStatus::kSuccess;
    }
    OutputFile file(args.output);
    CsvExport::Write(dataset, file.Stream(), options);
    file.Commit();
    std::string numbers;
    for (const int number : args.datasets) numbers += (numbers.empty() ? "" : " and ") + std::to_string(number);
    out << "Wrote " << (compound ? "the compound of datasets " : "dataset ") << numbers << " ("
        << dataset.SizeObservations() << " observations, " << dataset.SizeVariables() << " variables"
        << (args.centred ? ", centred" : "") << ") to " << args.output << ".\n";
    return ExitStatus::kSuccess;
}

}  // namespace Commands
