#pragma once
// The embedded demonstration of `ncds demo`: records, collections and a dataset of a small batch
// process, each written to the stream format and read back, then edited and printed; then the
// batches and phases of the process derived, set by the user and derived again after changes;
// then the collections and a dataset saved to one file and opened in a new project; an import
// that leaves out a phase; lab results combined with the process data, merged into it, and the
// data centred per batch; the batches aligned on a common maturity grid; last the tool's own
// commands on a longer CSV of the process: imported into a project file, batches aligned, and an
// SVG of the trajectories before and after alignment written beside it.

#include <ostream>
#include <string>

// Runs the demonstration, writing its files into `folder`; returns the process exit code.
int RunDemo(std::ostream& out, const std::string& folder);
