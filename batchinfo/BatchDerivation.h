#pragma once
// BatchUtilities: deriving batches and phases from the observations of a dataset. Which batch
// and phase an observation belongs to is the text of its record's batch and phase ID columns
// (VarObs::SetBatchID / SetPhaseID); the observations of one batch, and of one phase within a
// batch, lie in consecutive rows. Every function takes the collection and a list of unique IDs
// in row order; positions are 1-based positions in that list. A unique ID without a record reads
// as the empty batch and phase name. Names are compared exactly, byte by byte.
//
// The boundaries are found by a galloping search, not by comparing every row: from a group's
// first row the search probes ahead with a step that starts at 32 and doubles while the group
// goes on, then halves back onto the first row of the next group. It costs a few probes per
// group, so a list of long batches is searched in a small fraction of a full scan. The search
// relies on the rows of a group being consecutive: when all rows up to the last one belong to
// the same group as the current one, the rest is taken as one group without looking further, and
// a name that recurs after another group may hide the groups in between.
//
// Functions that return a pointer hand the new object to the caller.

#include "interfaces/containers/NCIntegralVector.h"

class VarObs;
class NCObservations;
class NCVariables;

namespace BatchUtilities {

// The position of the first observation of every batch, ascending (starting with 1). Null when
// the collection is null or has no batch ID column; empty when the ID list is null or empty.
NCIntegralVector<int, -99>* GetBatchBeginnings(const NCObservations* obs,
                                               const NCIntegralVector<unsigned long, 0>* obsIDs);

// The positions where the batch or the phase changes, ascending. Without a phase ID column the
// batch beginnings (null also when there is no batch ID column); null for a null collection.
NCIntegralVector<int, -99>* GetPhaseBeginnings(const NCObservations* obs,
                                               const NCIntegralVector<unsigned long, 0>* obsIDs);
// The same search over variables: where the batch or phase ID text of the variables changes.
// Null when the collection is null or has no phase ID column.
NCIntegralVector<int, -99>* GetPhaseBeginnings(const NCVariables* vars,
                                               const NCIntegralVector<unsigned long, 0>* varIDs);

// The number of observations of each batch, in batch order; null where GetBatchBeginnings is.
NCIntegralVector<int, -99>* GetBatchLength(const NCObservations* obs,
                                           const NCIntegralVector<unsigned long, 0>* obsIDs);

// The position of the first item after `pos` that belongs to another batch (with `phase`: to
// another batch or another phase). -1 when there is none, when the collection is null, the list
// null or empty, or `pos` beyond the list; otherwise 1 when `pos` is below 1.
int FindNextBatchOrPhase(const VarObs* collection, const NCIntegralVector<unsigned long, 0>* ids,
                         int pos, bool phase);

}  // namespace BatchUtilities
