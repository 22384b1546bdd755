#include <string>
#include <unordered_map>
#include <vector>

#include "dataset/IDPositionIndex.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/notification/NCSignals.h"
#include "interfaces/utility/Exception.h"
#include "interfaces/utility/UserComm.h"
#include "varobs/AliasAccess.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/VariableInfo.h"

namespace {

constexpr const char* kBatchSortRefused = "Sorting of batch datasets are not allowed";
constexpr const char* kSortCaption = "Sort Dataset";

SortType OrderOf(bool descending) { return descending ? Descending : Ascending; }

// The positions that put `texts` in byte order, equal texts keeping their order. The texts are
// sorted and each sorted text is given the first of its positions not given out yet, which a
// table of each text's positions finds in constant time.
NCIntegralVector<int, -99> TextSortOrder(const NCStringVector& texts, bool descending) {
    std::unordered_map<std::string, std::vector<int>> positions;
    for (int i = texts.Size(); i >= 1; --i) positions[texts[i]].push_back(i);  // first position last

    NCStringVector sorted(texts);
    sorted.Sort(true, OrderOf(descending));
    NCIntegralVector<int, -99> order(texts.Size());
    for (int k = 1; k <= sorted.Size(); ++k) {
        const auto found = positions.find(sorted[k]);
        if (found == positions.end() || found->second.empty()) throw Exception("");
        order(k) = found->second.back();
        found->second.pop_back();
    }
    return order;
}

// True when `order` holds each of the positions 1 … n exactly once.
bool IsPermutation(const NCIntegralVector<int, -99>& order, int n) {
    if (order.size() != n) return false;
    std::vector<bool> seen(static_cast<std::size_t>(n) + 1, false);
    for (const int p : order) {
        if (p < 1 || p > n || seen[static_cast<std::size_t>(p)]) return false;
        seen[static_cast<std::size_t>(p)] = true;
    }
    return true;
}

}  // namespace

void NCDataSet::UpdateSortCache() const {
    if (mSortCacheValid) return;
    mVarIDsSorted = mVarIDs.IsSorted(Ascending);
    mObsIDsSorted = mObsIDs.IsSorted(Ascending);
    mSortCacheValid = true;
}

NCIntegralVector<int, -99> NCDataSet::GetSortOrder(int key, bool byID, bool observations, bool descending) const {
    const int n = observations ? SizeObservations() : SizeVariables();
    NCIntegralVector<int, -99> order(n);

    if (!byID) {
        NCDataVector<float> values(n);
        if (observations) {
            if (key < 1 || key > SizeVariables()) throw Exception("Invalid variable number");
            for (int i = 1; i <= n; ++i) values(i, mData(i, key));
        } else {
            if (key < 1 || key > SizeObservations()) throw Exception("Invalid observation number");
            for (int j = 1; j <= n; ++j) values(j, mData(key, j));
        }
        return values.Sort(nullptr, OrderOf(descending));
    }

    const auto project = GetProject();
    if (!project) return order;
    const VarObs& collection = observations ? static_cast<const VarObs&>(project->GetObservations())
                                            : static_cast<const VarObs&>(project->GetVariables());
    const AliasAccess view(observations ? mUsedObsAliases : mUsedVarAliases, collection);
    if (key < 1 || key > view.SizeAliases()) throw Exception("Invalid ID");

    // A position without a record sorts as a missing number or an empty text.
    const auto recordAt = [&](int i) -> const VarObsInfo* {
        if (observations) return project->GetObservations()[mObsIDs[i]];
        return project->GetVariables()[mVarIDs[i]];
    };
    if (view.IsAliasNumeral(key)) {
        NCDataVector<float> numbers(n);
        for (int i = 1; i <= n; ++i)
            if (const VarObsInfo* record = recordAt(i)) numbers(i, view.GetAliasAsFloat(key, *record));
        return numbers.Sort(nullptr, OrderOf(descending));
    }
    NCStringVector texts(n);
    for (int i = 1; i <= n; ++i)
        if (const VarObsInfo* record = recordAt(i)) texts(i, view.GetAlias(key, *record));
    return TextSortOrder(texts, descending);
}

bool NCDataSet::SortDataset(int key, bool byID, bool observations, bool descending, NCIntegralVector<int, -99>* order) {
    const auto project = GetProject();
    if (!project) return false;
    mBatchesDirty = true;
    if (project->GetObservations().HasBatches()) {
        UserComm::GetUserComm()->ShowMessage(kBatchSortRefused, kSortCaption);
        return false;
    }
    const int n = observations ? SizeObservations() : SizeVariables();
    if (order && !IsPermutation(*order, n)) return false;
    if (!AskUser(nc::LanguageText::kSortWithModels, nc::LanguageText::kSort, *project)) return false;
    if (project->GetNumberOfModels() >= 1 && !project->ConfirmDatasetChange(mNumber, nullptr)) return false;

    const NCIntegralVector<int, -99> newOrder = order ? *order : GetSortOrder(key, byID, observations, descending);
    if (!IsPermutation(newOrder, n)) return false;
    if (observations) {
        mObsIDs.Reduce(newOrder);
        mData.ReduceRows(newOrder);
    } else {
        mVarIDs.Reduce(newOrder);
        mData.ReduceColumns(newOrder);
    }
    MarkDirty();
    InvalidateSortCache();
    NCSignals::RaiseVarObsDeleted(*this);
    return true;
}

bool NCDataSet::SortDataset(const NCIntegralVector<unsigned long, 0>& ids, bool observations) {
    const NCIntegralVector<unsigned long, 0>& current = observations ? mObsIDs : mVarIDs;
    if (ids.size() != current.size()) return false;
    const SortType currentOrder = current.IsSorted(Ascending)    ? Ascending
                                  : current.IsSorted(Descending) ? Descending
                                                                 : NotSorted;
    const IDPositionIndex index(current, currentOrder);
    NCIntegralVector<int, -99> order(ids.size());
    for (int k = 1; k <= ids.size(); ++k) {
        const int position = index.Find(ids[k]);
        if (position < 1) return false;
        order(k) = position;
    }
    return SortDataset(1, true, observations, true, &order);
}
