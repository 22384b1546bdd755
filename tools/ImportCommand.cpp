#include "tools/Commands.h"

#include "tools/ExitStatus.h"
#include "tools/ProjectSession.h"

namespace Commands {

int Import(const ImportArgs& args, std::ostream& out) {
    ProjectSession session(args.project, true);
    const bool created = session.IsNew();
    const CsvImportSummary summary = CsvImport::Import(session.Project(), args.csv, args.options);
    session.Save();

    out << "Imported " << args.csv << " into " << (created ? "the new project " : "") << args.project << " as dataset "
        << summary.datasetNumber << ": " << summary.observations << " observations, " << summary.variables
        << " variables";
    if (summary.qualitative > 0 || summary.dateTime > 0)
        out << " (" << summary.qualitative << " qualitative, " << summary.dateTime << " date/time)";
    if (summary.batches > 0) {
        out << ", " << summary.batches << " batch" << (summary.batches == 1 ? "" : "es");
        if (summary.phases > 0) out << " with " << summary.phases << " phase" << (summary.phases == 1 ? "" : "s");
    }
    out << ".\n";
    if (!summary.reusedVariables.empty()) {
        out << "Variables the project already had:";
        for (const std::string& name : summary.reusedVariables) out << ' ' << name;
        out << '\n';
    }
    return ExitStatus::kSuccess;
}

}  // namespace Commands
