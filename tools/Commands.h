#pragma once
// Commands: the subcommands of ncds, each given its parsed arguments, writing its report to `out`
// and returning the exit status (ExitStatus). Errors are thrown and reported by ExitStatus::Run.
// Every command that changes the project file saves it once, at its end.

#include <ostream>
#include <string>
#include <vector>

#include "app/CsvImport.h"

namespace Commands {

struct ImportArgs {
    std::string project;
    std::string csv;
    CsvImportOptions options;
};
// Imports the CSV into a new dataset of the project file, creating the file when it is missing.
int Import(const ImportArgs& args, std::ostream& out);

struct InfoArgs {
    std::string project;
    bool json = false;
    bool all = false;  // every batch, not only the first ones
};
// Describes the project: its datasets with sizes, variables, batches and phases.
int Info(const InfoArgs& args, std::ostream& out);

struct ExportArgs {
    std::string project;
    std::vector<int> datasets{1};  // several: their full compound, matched by unique IDs
    std::string output;            // empty or "-": standard output
    bool centred = false;
    char delimiter = ',';
};
// Writes a dataset, or the full compound of several, as CSV.
int Export(const ExportArgs& args, std::ostream& out);

struct BatchArgs {
    std::string project;
    int dataset = 1;
    std::string maturity;  // empty: only batches, phases and "$Time"
    bool align = true;
};
// Derives batches and phases, creates "$Time" and the smoothed maturity, aligns the batches on it
// and stores the aligned trajectories as a new dataset.
int Batch(const BatchArgs& args, std::ostream& out);

struct PlotArgs {
    std::string project;
    int dataset = 1;
    std::string variable;
    std::string output;  // empty: <project folder>/<variable>.svg
};
// Writes an SVG of the variable's batch trajectories before and after alignment.
int Plot(const PlotArgs& args, std::ostream& out);

}  // namespace Commands
