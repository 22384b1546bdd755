#pragma once
// BatchUtilities lookups: a batch of a batch list by name, a phase of a phase list by name.
// FindBatch and FindPhase compare names exactly (case-sensitive); FindPhaseIndex ignores case.

#include <boost/shared_ptr.hpp>

#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"

namespace BatchUtilities {

// The first batch named exactly `name`; empty when there is none or `batches` is null.
boost::shared_ptr<BatchInfo> FindBatch(BatchInfoVector* batches, const char* name);
boost::shared_ptr<const BatchInfo> FindBatch(const BatchInfoVector* batches, const char* name);

// The first phase whose phase name (with `byOriginalName`: original name) is exactly `name`;
// empty when there is none or `phases` is null.
boost::shared_ptr<ClassInfo> FindPhase(ClassInfoVector* phases, const char* name, bool byOriginalName);
boost::shared_ptr<const ClassInfo> FindPhase(const ClassInfoVector* phases, const char* name, bool byOriginalName);

// 0-based index of the first phase whose phase name (or original name) equals `name` ignoring
// case; -1 when there is none or `phases` is null.
int FindPhaseIndex(const ClassInfoVector* phases, const char* name, bool byOriginalName);

}  // namespace BatchUtilities
