#pragma once
// BatchAlignment: a batch dataset's trajectories aligned on its smoothed maturity, as a new
// dataset of the same variables.
//
// Each phase is aligned on its own, because a maturity that rises, holds and falls through a batch
// is monotone only within a phase: the phase's segments are, as the smoothing takes them, the
// first run of that phase in every batch (the whole batch without phases). A BatchAligner builds
// the phase's grid from the maturity of all its segments and interpolates every variable of each
// segment onto it. The aligned dataset has, for every batch, the grid points of phase 1, then
// those of phase 2, and so on; a batch without a run of some phase has missing values there.
// Qualitative values are interpolated like the others and then rounded to the nearer setting.
// Its observations are new records named "<batch>:<k>" (k = 1, 2, … through the batch) with the
// batch's and the phase's names in the batch and phase ID columns and the phase number as default
// class; it is an observation-level batch dataset whose source is the aligned dataset's number.

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

class NCDataSet;
class ReferenceProject;

struct AlignedDataset {
    boost::shared_ptr<NCDataSet> dataset;
    std::vector<int> gridPoints;  // per phase (one entry without phases)
};

namespace BatchAlignment {

// Aligns the batch dataset `source` on its column `maturityColumn` and returns the new dataset,
// numbered `number` and named `name`, not yet added to the project (whose observation records it
// does get). Throws InputError naming the batch and phase whose maturity cannot be aligned, and
// OperationCancelled through the progress display; the project then has no new records.
AlignedDataset Align(ReferenceProject& project, const NCDataSet& source, int maturityColumn, int number,
                     const std::string& name);

}  // namespace BatchAlignment
