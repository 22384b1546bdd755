#pragma once
// ExitStatus: what the exit status of ncds says about a run, and the one place that turns the
// application's exceptions into a message on standard error and a status.

#include <functional>
#include <ostream>

namespace ExitStatus {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;      // anything else: out of memory, an internal error
constexpr int kUsage = 2;        // the command line: unknown command or option, missing argument
constexpr int kInput = 3;        // the input: a CSV file, or a dataset or variable the project lacks
constexpr int kProjectFile = 4;  // the project file: missing, not a project, newer, damaged, not writable
constexpr int kOutput = 5;       // an output file (CSV or SVG) could not be written
constexpr int kCancelled = 130;  // Ctrl-C: the project file and outputs are as they were

// The table of statuses for --help and error hints.
const char* Describe();

// Runs `command` and returns its status; an exception it throws is reported on `err` as
// "ncds <name>: <message>" and mapped to the status of its kind.
int Run(const char* name, std::ostream& err, const std::function<int()>& command);

}  // namespace ExitStatus
