#pragma once
// BatchPipeline: the batch processing of an imported batch dataset, in the order a user needs it:
//   1. batches and phases derived from the observations' batch and phase ID texts (a batch list
//      already there is derived again, keeping what was set on its batches), the dataset's phase
//      list, and each observation's phase number (its phase's 1-based position in that list) as
//      its default class;
//   2. the generated time "$Time", counting the rows of every phase run from 0;
//   3. with a maturity variable: it becomes a Y variable, its smoothed and relative smoothed
//      maturities are made again (earlier ones of the same variable are removed first);
//   4. with alignment: the batches aligned on the smoothed maturity (see BatchAlignment.h), stored
//      as a new dataset.
// Errors in what the user named (no batch ID column, no such variable) throw InputError; the
// library's own refusals (a phase that cannot be smoothed, a maturity that cannot be aligned)
// reach the caller as NCError; a cancellation through the progress display throws
// OperationCancelled. In every case the caller should not save the project.

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

class NCDataSet;
class ReferenceProject;

struct BatchPipelineOptions {
    std::string maturity;  // primary ID of the maturity variable (ignoring case); empty: steps 1-2 only
    bool align = true;
};

struct BatchPipelineResult {
    int batches = 0;
    int phases = 0;
    std::vector<std::string> created;  // primary IDs of the variables made, "$Time" first
    std::string smoothingReport;       // the library's report of the smoothed variables
    int alignedDataset = 0;            // number of the aligned dataset; 0 when none was made
    int alignedObservations = 0;
    std::vector<int> gridPoints;  // aligned points of each phase (one entry without phases)
};

namespace BatchPipeline {

BatchPipelineResult Run(ReferenceProject& project, const boost::shared_ptr<NCDataSet>& dataset,
                        const BatchPipelineOptions& options);

// The number of the aligned dataset made from dataset `source` (the highest-numbered dataset whose
// source is `source`); 0 when there is none.
int FindAlignedDataset(const ReferenceProject& project, int source);

// The column of `dataset` whose variable has the primary ID `name` (ignoring case); throws
// InputError naming the dataset's variables when there is none.
int FindVariable(const NCDataSet& dataset, const std::string& name);

}  // namespace BatchPipeline
