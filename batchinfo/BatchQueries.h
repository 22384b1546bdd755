#pragma once
// BatchUtilities queries: questions about the batches and phases of a batch list, a phase list or
// a dataset's observations. Vectors handed back through a raw pointer are new and belong to the
// caller. Positions in observation and variable ID lists are 1-based.
//
// Choices a caller might not expect:
// - GetBlockVariables with a phase list keeps an X variable when it is included in one of the
//   phases asked for, and a Y variable when it is the Y variable of one of them; the phases asked
//   for are those whose phase name equals `phaseName` ignoring case, or all when it is null.
// - IsMonotonic checks every batch, the last one included; without a batch ID column the whole
//   list counts as one batch.
// - An observation ID that the collection does not hold reads as an observation with empty batch
//   and phase names and no phase number (-99 in GetObsPhases).
// - IsAscending treats NaN like the missing value. Batch lengths below 1 take no rows; lengths
//   that run past the maturity's end stop there.

#include <vector>

#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/utility/CString.h"

class NCObservations;
class NCVariables;
class VariableInfo;

namespace BatchUtilities {

// The batch names in list order; with `onlyIncluded` only those of included batches. A null list
// gives an empty vector.
NCStringVector* GetBatchNames(const BatchInfoVector* batches, bool onlyIncluded);

// The phase names in order of first appearance, each once (compared ignoring case); with
// `onlyIncluded` only those of included phases. A null list gives an empty vector.
NCStringVector* GetPhaseNames(const ClassInfoVector* phases, bool onlyIncluded);

// One entry per batch of the observations (in row order): the 1-based position of the batch's
// name among the names of the included batches of `batches`, 0 when it is not there.
NCIntegralVector<int, -99>* GetBatchIndexes(const NCObservations* obs, const NCIntegralVector<unsigned long, 0>* obsIDs,
                                            const BatchInfoVector& batches);

// When one of the list's batch condition variables has exactly the primary ID `name` and is
// qualitative: its category texts replace `settings` and the result is true. False otherwise,
// `settings` unchanged.
bool GetBatchConditionQualitativeSettings(const BatchInfoVector* batches, const CString& name,
                                          std::vector<CString>& settings, const NCVariables* variables);

// The 1-based positions in `varIDs` of the X block's variables (with `yBlock`: the Y block's),
// included or excluded, restricted through the phase list when one is given (see above).
NCIntegralVector<int, -99>* GetBlockVariables(const NCVariables* variables,
                                              const NCIntegralVector<unsigned long, 0>* varIDs,
                                              const ClassInfoVector* phases, bool yBlock, const char* phaseName);

// The 1-based number of the first batch whose values turn against the batch's own direction
// (+1 when its last value is above its first, -1 otherwise): some value followed by one with
// d * next < d * current. 0 when every batch is monotonic.
int IsMonotonic(const NCObservations* obs, const NCDataVector<float>* values,
                const NCIntegralVector<unsigned long, 0>* obsIDs);

// The direction of a maturity whose batches follow one another from row 1 with the given
// lengths: true (rising) when the sum over the batches of their last non-missing value is at
// least the sum of their first; batches with fewer than two non-missing values do not count.
// True for a null or empty input.
bool IsAscending(const NCDataVector<float>* maturity, const NCIntegralVector<int, -99>* batchLengths);

// Row positions of the observations of batch `batchName` (null or empty: every batch) and phase
// number `phase` (0: every phase). A run of rows (a phase within a batch when `phase` is given,
// a batch otherwise) is taken whole when its first observation matches: batch name exactly,
// phase number (the observation's default class) equal.
NCIntegralVector<int, -99>* FindBatchPhaseIndexes(const NCObservations* obs,
                                                  const NCIntegralVector<unsigned long, 0>& obsIDs,
                                                  const char* batchName, int phase);

// The names of the included phases in which `var` is included, each once (ignoring case). For a
// Y variable only the phases whose Y variable it is, and for "$Time" also the phases without a
// Y variable (kNoUniqueID or the constant pseudo-variable).
NCStringVector GetDefaultVarClasses(const ClassInfoVector* phases, const VariableInfo* var);

// Null when the observations have no phase ID column. Otherwise each observation's phase number
// (its default class), with the largest one in `maxPhase` (0 when there is none).
NCIntegralVector<int, -99>* GetObsPhases(int& maxPhase, const NCObservations* obs,
                                         const NCIntegralVector<unsigned long, 0>& obsIDs);

}  // namespace BatchUtilities
