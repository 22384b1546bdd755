// VarObsInfo members that read the batch and phase alias columns of a collection. The two that
// read them through the batch import settings live in batchinfo/, the layer of the settings.

#include <numeric>
#include <vector>

#include "varobs/VarObs.h"
#include "varobs/VarObsInfo.h"

namespace {
// The collection's alias number found by `position` in the list 1 … count: a position in that
// list is the alias number itself; -1 when the alias is not among the record's IDs.
template <typename Position>
int AliasAmongIDs(int count, Position position) {
    if (count < 1) return -1;
    std::vector<int> aliases(static_cast<std::size_t>(count));
    std::iota(aliases.begin(), aliases.end(), 1);
    return position(aliases);
}
}  // namespace

CString VarObsInfo::GetBatchName(const VarObs& collection) const {
    const int alias =
        AliasAmongIDs(GetNumIDs(), [&](const std::vector<int>& list) { return collection.GetBatchID(list); });
    return CString(GetUserID(alias));
}

CString VarObsInfo::GetPhaseName(const VarObs& collection) const {
    const int alias =
        AliasAmongIDs(GetNumIDs(), [&](const std::vector<int>& list) { return collection.GetPhaseID(list); });
    return CString(GetUserID(alias));
}
