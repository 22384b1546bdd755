#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <set>

#include "dataset/IDPositionIndex.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "dataset/TrimdVarStruct.h"
#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/notification/NCProgress.h"
#include "interfaces/notification/NCSignals.h"
#include "interfaces/utility/LanguageString.h"
#include "interfaces/utility/UserComm.h"
#include "interfaces/utility/ZoSystemInfo.h"

namespace {

constexpr double kRelativeTolerance = 5e-05;
constexpr int kYes = 1;

// a and b are equal when they differ by at most kRelativeTolerance · 2^e, 2^e being the power of
// two just above the larger magnitude (frexp), so the tolerance grows with the values' scale.
bool EqualWithinTolerance(float a, float b) {
    if (a == b) return true;
    const double larger = std::max(std::fabs(static_cast<double>(a)), std::fabs(static_cast<double>(b)));
    int exponent = 0;
    std::frexp(larger, &exponent);
    return std::fabs(static_cast<double>(a) - static_cast<double>(b)) <= kRelativeTolerance * std::ldexp(1.0, exponent);
}

// The cell still holds one of the variable's trim values; never without a trim description.
bool StillTrimmed(const TrimdVarStruct* description, float value) {
    if (!description) return false;
    const std::set<float>& trimValues = description->GetTrimValues();
    return std::any_of(trimValues.begin(), trimValues.end(),
                       [value](float trimValue) { return EqualWithinTolerance(value, trimValue); });
}

SortType SearchOrder(bool ascending) { return ascending ? Ascending : NotSorted; }

}  // namespace

void NCDataSet::SetTrimValues(int var, float value) {
    if (var < 1 || var > SizeVariables()) return;
    const auto found = mTrimmedVarIndex.find(mVarIDs[var]);
    if (found == mTrimmedVarIndex.end()) return;
    const auto position = static_cast<std::size_t>(found->second);
    if (position >= mTrimDescriptions.size()) return;
    boost::shared_ptr<TrimdVarStruct>& description = mTrimDescriptions[position];
    if (!description) description.reset(new TrimdVarStruct());
    description->AddTrimValue(value);
    MarkDirty();
}

void NCDataSet::GetTrimmedIndex(NCIntegralVector<int, -99>* varPositions,
                                NCIntegralVector<int, -99>* obsPositions) const {
    if (!varPositions || !obsPositions) return;
    UpdateSortCache();
    const int trimmedVariables = static_cast<int>(mTrimmedVarIndex.size());
    varPositions->Clear();
    obsPositions->Clear();
    varPositions->reserve(trimmedVariables);
    obsPositions->reserve(trimmedVariables);

    NCProgress progress(LanguageString::Get(nc::LanguageText::kFindingTrimmedValues), 1, trimmedVariables, true, true,
                        true);
    const int spinEvery = trimmedVariables / 100 + 1;
    const IDPositionIndex columns(mVarIDs, SearchOrder(mVarIDsSorted));
    const IDPositionIndex rows(mObsIDs, SearchOrder(mObsIDsSorted));
    int k = 0;
    for (const auto& [varID, position] : mTrimmedVarIndex) {
        ++k;
        if (progress.SetValue(k)) return;
        if (k % spinEvery == 0) progress.NextSpin();
        const auto at = static_cast<std::size_t>(position);
        const int column = columns.Find(varID);
        if (column < 1 || at >= mValuesBeforeTrim.size() || at >= mTrimDescriptions.size()) continue;
        const TrimdVarStruct* description = mTrimDescriptions[at].get();
        for (const auto& entry : mValuesBeforeTrim[at]) {
            const int row = rows.Find(entry.first);
            if (row >= 1 && StillTrimmed(description, mData(row, column))) {
                varPositions->push_back(column);
                obsPositions->push_back(row);
            }
        }
    }
}

bool NCDataSet::ResetDatasetFromTrimming(bool all, int var) {
    const auto project = GetProject();
    if (!project) return false;
    if (!all && (var < 1 || var > SizeVariables())) return false;
    if (project->GetNumberOfModels() >= 1) {
        const CString question = LanguageString::Get(nc::LanguageText::kUndoTrimmingWithModels);
        if (UserComm::GetUserComm()->AskQuestion(question, ZoSystemInfo::GetApplicationName()) != kYes) return false;
        const NCIntegralVector<unsigned long, 0> ids(1, all ? 0 : mVarIDs[var]);
        if (!project->ConfirmDatasetChange(mNumber, all ? nullptr : &ids)) return false;
    }
    UpdateSortCache();
    const IDPositionIndex rows(mObsIDs, SearchOrder(mObsIDsSorted));

    // Writes the recorded values of one variable back into its cells that are still trimmed.
    const auto restore = [&](int column, std::size_t at) {
        if (at >= mValuesBeforeTrim.size() || at >= mTrimDescriptions.size()) return;
        const TrimdVarStruct* description = mTrimDescriptions[at].get();
        const unsigned long varID = mVarIDs[column];
        for (const auto& [obsID, before] : mValuesBeforeTrim[at]) {
            const int row = rows.Find(obsID);
            if (row < 1 || !StillTrimmed(description, mData(row, column))) continue;
            mData(row, column, before);
            MarkDirty();
            NCSignals::RaiseDataSetValueChanged(*this, obsID, varID);
        }
    };

    if (all) {
        const IDPositionIndex columns(mVarIDs, SearchOrder(mVarIDsSorted));
        for (const auto& [varID, position] : mTrimmedVarIndex) {
            const int column = columns.Find(varID);
            if (column >= 1) restore(column, static_cast<std::size_t>(position));
        }
        mValuesBeforeTrim.clear();
        mTrimmedVarIndex.clear();
        mTrimDescriptions.clear();
        return true;
    }

    const auto found = mTrimmedVarIndex.find(mVarIDs[var]);
    if (found == mTrimmedVarIndex.end()) return false;
    const int removed = found->second;
    restore(var, static_cast<std::size_t>(removed));
    if (static_cast<std::size_t>(removed) < mValuesBeforeTrim.size())
        mValuesBeforeTrim.erase(mValuesBeforeTrim.begin() + removed);
    if (static_cast<std::size_t>(removed) < mTrimDescriptions.size())
        mTrimDescriptions.erase(mTrimDescriptions.begin() + removed);
    mTrimmedVarIndex.erase(found);
    for (auto& entry : mTrimmedVarIndex)
        if (entry.second > removed) --entry.second;
    return true;
}
