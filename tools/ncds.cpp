// ncds: the command-line tool of the dataset library, for a person with a CSV of process data.
//
//   ncds import PROJECT CSV [options]   a CSV into a new dataset of a project file (created if missing)
//   ncds info PROJECT [--json]          datasets, variables, batches and phases
//   ncds batch PROJECT --maturity VAR   batches, phases, "$Time", smoothed maturity, aligned batches
//   ncds export PROJECT [-d N] [-o F]   a dataset as CSV
//   ncds plot PROJECT --variable VAR    an SVG of the batch trajectories before and after alignment
//   ncds demo [FOLDER]                  the embedded demonstration
//
// Progress goes to standard error (a bar on a terminal, plain lines otherwise); Ctrl-C cancels and
// leaves the project file as it was. The exit status says what failed (tools/ExitStatus.h).

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "app/CsvImport.h"
#include "app/OutputFile.h"
#include "app/TerminalProgress.h"
#include "app/TerminalUserComm.h"
#include "interfaces/notification/NCProgress.h"
#include "interfaces/utility/UserComm.h"
#include "tools/Commands.h"
#include "tools/Demo.h"
#include "tools/ExitStatus.h"

namespace {

// A one-character delimiter, or "tab".
std::string CheckDelimiter(const std::string& text) {
    return text.size() == 1 || text == "tab" || text == "\\t" ? std::string()
                                                              : "the delimiter is one character, or \"tab\"";
}

char Delimiter(const std::string& text) { return text.size() == 1 ? text[0] : '\t'; }

std::string CheckTimeUnit(const std::string& text) {
    ZoTimeUtl::eTimeAccuracy unit;
    return CsvImport::ParseTimeUnit(text, unit) ? std::string() : "the time unit is second, minute, hour or day";
}

// "NAME" or "NAME=FORMAT".
CsvImportOptions::DateTimeColumn DateTimeColumn(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) return {text, std::string()};
    return {text.substr(0, equals), text.substr(equals + 1)};
}

// Repeatable list options: one value per occurrence, or several separated by commas.
CLI::Option* AddList(CLI::App* command, const char* name, std::vector<std::string>& values, const char* help) {
    return command->add_option(name, values, help)->allow_extra_args(false)->delimiter(',');
}

// A new folder in the system's temporary folder, for the demonstration's files.
std::string MakeScratchFolder() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) base = ".";
    std::string pattern = (base / "ncds-demo-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw OutputError("cannot create a folder in " + base.string());
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "ncds: process data from a CSV file into a project file: import it, look at it, derive batches and phases,\n"
        "smooth the maturity, align the batches, and export or plot the result."};
    app.footer(ExitStatus::Describe());
    app.require_subcommand(1);
    bool quiet = false;
    app.add_flag("-q,--quiet", quiet, "no progress display on standard error");

    std::function<int()> command;
    const char* commandName = "";

    // ---- import ----
    Commands::ImportArgs importArgs;
    std::vector<std::string> dateTimeTexts;
    std::string importDelimiter = ",";
    std::string timeUnit = "minute";
    CLI::App* importing =
        app.add_subcommand("import", "Import a CSV file with a header row into a new dataset of a project file");
    importing->footer(
        "Numbers are read in the C locale ('.' as the decimal point); empty cells are missing values.\n"
        "With --batch, the rows of one batch must be consecutive. Into an existing project the file must bring the\n"
        "same observation ID, batch and phase columns; variables of the same name and kind are reused.\n\n" +
        std::string(ExitStatus::Describe()));
    importing->add_option("project", importArgs.project, "the project file; created when it does not exist")
        ->required();
    importing->add_option("csv", importArgs.csv, "the CSV file")->required();
    AddList(importing, "--id", importArgs.options.observationIDColumns,
            "column(s) of observation IDs, in order; default: the row number");
    importing->add_option("--batch", importArgs.options.batchColumn, "the column of batch IDs");
    importing->add_option("--phase", importArgs.options.phaseColumn, "the column of phase IDs (needs --batch)");
    AddList(importing, "--qualitative", importArgs.options.qualitativeColumns,
            "column(s) of qualitative variables (texts become settings)");
    importing
        ->add_option("--datetime", dateTimeTexts,
                     "a date/time column, as NAME or NAME=FORMAT (tokens yyyy MM dd HH mm ss f..., e.g. "
                     "\"Time=dd.MM.yyyy HH:mm\"); without FORMAT, ISO 8601 texts")
        ->allow_extra_args(false);
    importing->add_option("--time-unit", timeUnit, "unit of new date/time variables: second, minute, hour or day")
        ->check(CheckTimeUnit, "second, minute, hour or day")
        ->capture_default_str();
    importing->add_option("--name", importArgs.options.datasetName, "the dataset's name; default: the file's name");
    importing->add_option("--delimiter", importDelimiter, "the cell delimiter: one character, or tab")
        ->check(CheckDelimiter, "one character or tab")
        ->capture_default_str();
    importing->callback([&] {
        for (const std::string& text : dateTimeTexts)
            importArgs.options.dateTimeColumns.push_back(DateTimeColumn(text));
        CsvImport::ParseTimeUnit(timeUnit, importArgs.options.timeUnit);
        importArgs.options.delimiter = Delimiter(importDelimiter);
        commandName = "import";
        command = [&] { return Commands::Import(importArgs, std::cout); };
    });

    // ---- info ----
    Commands::InfoArgs infoArgs;
    CLI::App* info =
        app.add_subcommand("info", "Describe a project file: datasets, sizes, variables, batches and phases");
    info->footer(ExitStatus::Describe());
    info->add_option("project", infoArgs.project, "the project file")->required();
    info->add_flag("--json", infoArgs.json, "write JSON for scripts (every batch is listed)");
    info->add_flag("--all", infoArgs.all, "list every batch, not only the first 20");
    info->callback([&] {
        commandName = "info";
        command = [&] { return Commands::Info(infoArgs, std::cout); };
    });

    // ---- batch ----
    Commands::BatchArgs batchArgs;
    bool noAlign = false;
    CLI::App* batch = app.add_subcommand(
        "batch", "Derive batches and phases, create \"$Time\" and the smoothed maturity, and align the batches");
    batch->footer(
        "Without --maturity only batches, phases and \"$Time\" are made. The aligned batches become a new dataset\n"
        "(made again, under the same number, when the command runs again).\n\n" +
        std::string(ExitStatus::Describe()));
    batch->add_option("project", batchArgs.project, "the project file")->required();
    batch->add_option("-d,--dataset", batchArgs.dataset, "the dataset's number")->capture_default_str();
    batch->add_option("-m,--maturity", batchArgs.maturity, "the maturity variable: smoothed, then aligned on");
    batch->add_flag("--no-align", noAlign, "smooth the maturity but do not align the batches");
    batch->callback([&] {
        batchArgs.align = !noAlign;
        commandName = "batch";
        command = [&] { return Commands::Batch(batchArgs, std::cout); };
    });

    // ---- export ----
    Commands::ExportArgs exportArgs;
    std::string exportDelimiter = ",";
    CLI::App* exporting = app.add_subcommand("export", "Write a dataset as CSV");
    exporting->footer(
        "Qualitative and date/time values are written as their texts (as numbers when centred); missing values as\n"
        "empty cells. The file appears only when it is complete.\n\n" +
        std::string(ExitStatus::Describe()));
    exporting->add_option("project", exportArgs.project, "the project file")->required();
    exporting
        ->add_option("-d,--dataset", exportArgs.datasets,
                     "the dataset's number (default 1); several: their full compound, matched by unique IDs")
        ->allow_extra_args(false)
        ->delimiter(',');
    exporting->add_option("-o,--output", exportArgs.output, "the CSV file to write; default: standard output");
    exporting->add_flag("--centred,--centered", exportArgs.centred,
                        "subtract the project's local centres (values as numbers)");
    exporting->add_option("--delimiter", exportDelimiter, "the cell delimiter: one character, or tab")
        ->check(CheckDelimiter, "one character or tab")
        ->capture_default_str();
    exporting->callback([&] {
        exportArgs.delimiter = Delimiter(exportDelimiter);
        commandName = "export";
        command = [&] { return Commands::Export(exportArgs, std::cout); };
    });

    // ---- plot ----
    Commands::PlotArgs plotArgs;
    CLI::App* plot =
        app.add_subcommand("plot", "Write an SVG of a variable's batch trajectories before and after alignment");
    plot->footer("Run `ncds batch` with --maturity first: the plot shows the dataset made by it.\n\n" +
                 std::string(ExitStatus::Describe()));
    plot->add_option("project", plotArgs.project, "the project file")->required();
    plot->add_option("-v,--variable", plotArgs.variable, "the variable to plot")->required();
    plot->add_option("-d,--dataset", plotArgs.dataset, "the batch dataset's number (not the aligned one)")
        ->capture_default_str();
    plot->add_option("-o,--output", plotArgs.output, "the SVG file; default: <variable>.svg beside the project file");
    plot->callback([&] {
        commandName = "plot";
        command = [&] { return Commands::Plot(plotArgs, std::cout); };
    });

    // ---- demo ----
    std::string demoFolder;
    CLI::App* demo = app.add_subcommand("demo", "Run the embedded demonstration");
    demo->add_option("folder", demoFolder, "where its files go; default: a new folder in the temporary folder");
    demo->callback([&] {
        commandName = "demo";
        command = [&] {
            if (demoFolder.empty()) demoFolder = MakeScratchFolder();
            std::error_code error;
            std::filesystem::create_directories(demoFolder, error);
            return RunDemo(std::cout, demoFolder);
        };
    });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? ExitStatus::kSuccess : ExitStatus::kUsage;
    }

    if (!quiet) NCProgress::SetSink(std::make_shared<TerminalProgress>(std::cerr, ::isatty(STDERR_FILENO) == 1));
    TerminalProgress::InstallInterruptHandler();
    UserComm::SetUserComm(std::make_shared<TerminalUserComm>(std::cin, std::cerr));
    const int status = ExitStatus::Run(commandName, std::cerr, command);
    NCProgress::SetSink(nullptr);
    UserComm::SetUserComm(nullptr);
    return status;
}
