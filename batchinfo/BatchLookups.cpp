#include "batchinfo/BatchLookups.h"

namespace BatchUtilities {
namespace {

const char* NameOf(const ClassInfo& phase, bool byOriginalName) {
    return byOriginalName ? phase.GetOriginalName() : phase.GetPhaseName();
}

// Position in `phases` of the first phase whose name matches, or -1.
int FindPhasePosition(const ClassInfoVector* phases, const char* name, bool byOriginalName, bool ignoreCase) {
    if (!phases) return -1;
    const CString wanted(name);
    for (std::size_t i = 0; i < phases->size(); ++i) {
        const ClassInfo* phase = (*phases)[i].get();
        if (!phase) continue;
        const CString own(NameOf(*phase, byOriginalName));
        const bool equal = ignoreCase ? own.CompareNoCase(wanted) == 0 : own == wanted;
        if (equal) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

boost::shared_ptr<BatchInfo> FindBatch(BatchInfoVector* batches, const char* name) {
    if (!batches) return {};
    const CString wanted(name);
    for (const auto& batch : *batches)
        if (batch && batch->GetBatchName() == wanted) return batch;
    return {};
}

boost::shared_ptr<const BatchInfo> FindBatch(const BatchInfoVector* batches, const char* name) {
    return FindBatch(const_cast<BatchInfoVector*>(batches), name);
}

boost::shared_ptr<ClassInfo> FindPhase(ClassInfoVector* phases, const char* name, bool byOriginalName) {
    const int at = FindPhasePosition(phases, name, byOriginalName, false);
    return at < 0 ? boost::shared_ptr<ClassInfo>() : (*phases)[static_cast<std::size_t>(at)];
}

boost::shared_ptr<const ClassInfo> FindPhase(const ClassInfoVector* phases, const char* name, bool byOriginalName) {
    return FindPhase(const_cast<ClassInfoVector*>(phases), name, byOriginalName);
}

int FindPhaseIndex(const ClassInfoVector* phases, const char* name, bool byOriginalName) {
    return FindPhasePosition(phases, name, byOriginalName, true);
}

}  // namespace BatchUtilities
