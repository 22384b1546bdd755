#include "dataset/NCDataSet.h"

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "dataset/NCProjectBase.h"
#include "dataset/TrimdVarStruct.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "interfaces/notification/NCSignals.h"
#include "interfaces/utility/LanguageString.h"
#include "interfaces/utility/UserComm.h"
#include "interfaces/utility/ZoSystemInfo.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kNoUniqueID;
using nc::kUnencodableValue;

namespace {

constexpr const char* kChangeWithModelsQuestion =
    "All models containing the affected variables will be deleted if you change the dataset.\n"
    "Do you want to change it anyway?";
constexpr const char* kBatchConditionID = "$Batch Condition";
constexpr int kYes = 1;

bool UserSaysYes(const char* question) {
    return UserComm::GetUserComm()->AskQuestion(question, ZoSystemInfo::GetApplicationName()) == kYes;
}

// A name is taken when the project has it in ID column 1 (ignoring case, as the index does) or
// this call has already given it out.
bool IsTaken(const std::string& name, const InfosByUserID& index, const std::set<std::string>& givenOut) {
    return index.Contains(name.c_str()) || givenOut.count(name) != 0;
}

// The first "<prefix><k>" not taken, k counting from `counter`, which is left behind it.
std::string NextFreeName(const std::string& prefix, int& counter, const InfosByUserID& index,
                         const std::set<std::string>& givenOut) {
    std::string name;
    do {
        name = prefix + std::to_string(counter++);
    } while (IsTaken(name, index, givenOut));
    return name;
}

// For a removal list in the expected form (strictly ascending, within 1 … size) the positions
// that stay, so that the matrix is compacted once instead of once per removed entry; false for
// any other list, which is then applied entry by entry from the last to the first.
bool KeptAfterRemoving(const NCIntegralVector<int, -99>& positions, int size, NCIntegralVector<int, -99>& kept) {
    int previous = 0;
    for (const int p : positions) {
        if (p <= previous || p > size) return false;
        previous = p;
    }
    kept.reserve(size - positions.size());
    int next = 1;
    for (int p = 1; p <= size; ++p) {
        if (next <= positions.size() && positions[next] == p)
            ++next;
        else
            kept.push_back(p);
    }
    return true;
}

// The 1-based insertion point for `position`: -1 and anything beyond the end append.
int InsertionPoint(int position, int size) {
    if (position < 1 || position > size + 1) return size + 1;
    return position;
}

}  // namespace

bool NCDataSet::AskUser(int textWithModels, int textWithoutModels, const NCProjectBase& project) const {
    const int text = project.GetNumberOfModels() >= 1 ? textWithModels : textWithoutModels;
    return UserSaysYes(LanguageString::Get(text));
}

void NCDataSet::AddObservations(int n) {
    const auto project = GetProject();
    if (!project || n < 0) return;
    NCObservations& observations = project->GetObservations();
    const boost::shared_ptr<InfosByUserID> index = observations.GetInfosByUserID(1);

    const std::string prefix = LanguageString::Get(nc::LanguageText::kNewObservationPrefix).GetString();
    const int oldCount = SizeObservations();
    std::set<std::string> givenOut;
    NCIntegralVector<unsigned long, 0> newIDs;
    newIDs.reserve(n);
    int counter = 1;
    for (int k = 1; k <= n; ++k) {
        const std::string name = NextFreeName(prefix, counter, *index, givenOut);
        givenOut.insert(name);
        auto record =
            std::make_unique<ObservationInfo>(CString(name), project->GetNewUniqueID(nc::UniqueIDKind::kRecord));
        const CString secondaryID(std::to_string(oldCount + k));
        for (std::size_t a = 1; a < mUsedObsAliases.size(); ++a)
            record->SetUserID(secondaryID, mUsedObsAliases[a], &observations);
        newIDs.push_back(record->GetUniqueID());
        observations.Add(std::move(record), nullptr);
    }

    mData.InsertRows(mData.GetNumRows() + 1, n);
    mObsIDs.Concat(newIDs);
    MarkDirty();
    mBatchesDirty = true;
    InvalidateSortCache();
    NCSignals::RaiseVarObsAdded(*this);
}

void NCDataSet::AddVariables(int n, const char* prefix, bool raiseSignal, bool alwaysNew) {
    const auto project = GetProject();
    if (!project || n < 0) return;
    NCVariables& variables = project->GetVariables();
    const boost::shared_ptr<InfosByUserID> index = variables.GetInfosByUserID(1);
    const std::string base = prefix ? prefix : "";

    int sourceColumn = 0;
    if ((mDataType & nc::DataType::kBatchLevel) == 0) {
        const int position = variables.GetSourceID(mUsedVarAliases);
        if (position >= 1 && position <= static_cast<int>(mUsedVarAliases.size()))
            sourceColumn = mUsedVarAliases[static_cast<std::size_t>(position - 1)];
    }

    std::set<std::string> givenOut;
    NCIntegralVector<unsigned long, 0> newIDs;
    newIDs.reserve(n);
    int counter = SizeVariables() + 1;
    for (int k = 1; k <= n; ++k) {
        std::string name;
        if (!alwaysNew && k == 1) {
            const unsigned long existing = index->GetUniqueID(base.c_str());
            if (existing == kNoUniqueID) {
                name = base;
            } else if (mVarIDs.Find(existing) < 1) {
                newIDs.push_back(existing);
                continue;
            }
        }
        if (name.empty()) name = NextFreeName(base, counter, *index, givenOut);
        givenOut.insert(name);
        auto record = std::make_unique<QuantitativeVariableInfo>(
            CString(name), project->GetNewUniqueID(nc::UniqueIDKind::kRecord), CString(), -1, -1, eVarTypeDefault);
        if (sourceColumn > 0) record->SetUserID(CString(kBatchConditionID), sourceColumn, &variables);
        newIDs.push_back(record->GetUniqueID());
        variables.Add(std::move(record), nullptr);
    }

    mData.InsertColumns(mData.GetNumColumns() + 1, n);
    mVarIDs.Concat(newIDs);
    MarkDirty();
    InvalidateSortCache();
    if (raiseSignal) NCSignals::RaiseVarObsAdded(*this);
}

void NCDataSet::AddObservations(const NCIntegralVector<unsigned long, 0>* ids, int position, bool raiseSignal) {
    if (!ids) return;
    const int at = InsertionPoint(position, SizeObservations());
    mData.InsertRows(at, ids->size());
    mObsIDs.InsertValues(at, *ids);
    MarkDirty();
    mBatchesDirty = true;
    InvalidateSortCache();
    if (raiseSignal) NCSignals::RaiseVarObsAdded(*this);
}

void NCDataSet::AddVariables(const NCIntegralVector<unsigned long, 0>* ids, int position, bool raiseSignal) {
    if (!ids) return;
    const int at = InsertionPoint(position, SizeVariables());
    mData.InsertColumns(at, ids->size());
    mVarIDs.InsertValues(at, *ids);
    MarkDirty();
    InvalidateSortCache();
    if (raiseSignal) NCSignals::RaiseVarObsAdded(*this);
}

void NCDataSet::EraseColumns(const NCIntegralVector<int, -99>& positions) {
    NCIntegralVector<int, -99> kept;
    if (KeptAfterRemoving(positions, SizeVariables(), kept)) {
        mData.ReduceColumns(kept);
        mVarIDs.Reduce(kept);
        return;
    }
    for (int k = positions.size(); k >= 1; --k) {
        const int var = positions[k];
        if (var < 1 || var > SizeVariables()) continue;
        mData.RemoveColumns(var, 1);
        mVarIDs.RemoveValues(var, 1);
    }
}

void NCDataSet::EraseRows(const NCIntegralVector<int, -99>& positions) {
    NCIntegralVector<int, -99> kept;
    if (KeptAfterRemoving(positions, SizeObservations(), kept)) {
        mData.ReduceRows(kept);
        mObsIDs.Reduce(kept);
        return;
    }
    for (int k = positions.size(); k >= 1; --k) {
        const int obs = positions[k];
        if (obs < 1 || obs > SizeObservations()) continue;
        mData.RemoveRows(obs, 1);
        mObsIDs.RemoveValues(obs, 1);
    }
}

void NCDataSet::RemoveVariable(NCIntegralVector<int, -99>* positions, bool ask, bool unchecked) {
    if (!positions) return;
    const auto project = GetProject();
    if (!project && !unchecked) {
        positions->Clear();
        return;
    }
    if (ask && !unchecked &&
        !AskUser(nc::LanguageText::kRemoveVariablesWithModels, nc::LanguageText::kRemoveVariables, *project)) {
        positions->Clear();
        return;
    }
    MarkDirty();
    mBatchesDirty = true;
    NCIntegralVector<unsigned long, 0> ids;
    ids.reserve(positions->size());
    for (const int var : *positions)
        if (var >= 1 && var <= SizeVariables()) ids.push_back(mVarIDs[var]);
    if (!unchecked && !project->ConfirmDatasetChange(mNumber, &ids)) {
        positions->Clear();
        return;
    }
    EraseColumns(*positions);
    NCSignals::RaiseVarObsDeleted(*this);
}

void NCDataSet::RemoveObservation(NCIntegralVector<int, -99>* positions, bool ask, bool unchecked) {
    if (!positions) return;
    const auto project = GetProject();
    if (!project && !unchecked) {
        positions->Clear();
        return;
    }
    if (ask && !unchecked &&
        !AskUser(nc::LanguageText::kRemoveObservationsWithModels, nc::LanguageText::kRemoveObservations, *project)) {
        positions->Clear();
        return;
    }
    MarkDirty();
    mBatchesDirty = true;
    if (!unchecked && !project->ConfirmDatasetChange(mNumber, nullptr)) {
        positions->Clear();
        return;
    }
    EraseRows(*positions);
    NCSignals::RaiseVarObsDeleted(*this);
}

void NCDataSet::RecordValueBeforeTrim(int obs, int var) {
    const unsigned long varID = mVarIDs[var];
    const unsigned long obsID = mObsIDs[obs];
    const float current = mData(obs, var);
    const auto found = mTrimmedVarIndex.find(varID);
    if (found == mTrimmedVarIndex.end()) {
        mTrimmedVarIndex.emplace(varID, static_cast<int>(mValuesBeforeTrim.size()));
        mValuesBeforeTrim.emplace_back();
        mValuesBeforeTrim.back().emplace(obsID, current);
        mTrimDescriptions.push_back(boost::shared_ptr<TrimdVarStruct>(new TrimdVarStruct()));
        return;
    }
    // emplace keeps a value already recorded for the observation.
    mValuesBeforeTrim[static_cast<std::size_t>(found->second)].emplace(obsID, current);
}

bool NCDataSet::SetValue(int obs, int var, float value, bool recordForTrim, bool ask, bool consultProject) {
    const auto project = GetProject();
    if (!project) return false;
    if (obs < 1 || obs > SizeObservations() || var < 1 || var > SizeVariables()) return false;

    if (recordForTrim) RecordValueBeforeTrim(obs, var);

    bool userAgreed = false;
    if (ask && project->GetNumberOfModels() >= 1) {
        if (!UserSaysYes(kChangeWithModelsQuestion)) return false;
        userAgreed = true;
    }
    const unsigned long varID = mVarIDs[var];
    if (userAgreed || consultProject) {
        const NCIntegralVector<unsigned long, 0> ids(1, varID);
        if (!project->ConfirmDatasetChange(mNumber, &ids)) return false;
    }

    mData(obs, var, value);
    MarkDirty();
    NCSignals::RaiseDataSetValueChanged(*this, mObsIDs[obs], varID);
    return true;
}

bool NCDataSet::SetValue(int obs, int var, const char* text, bool recordForTrim, bool ask, bool consultProject) {
    const VariableInfo* record = GetVariableInfo(var);
    if (!record) return false;
    const float value = record->Encode(text ? text : "");
    if (value == kUnencodableValue) return false;
    return SetValue(obs, var, value, recordForTrim, ask, consultProject);
}

bool NCDataSet::SetValues(NCDataMatrix<float>* values) {
    if (!values) return false;
    if (values->GetNumRows() != SizeObservations() || values->GetNumColumns() != SizeVariables()) return false;
    mData = *values;
    NCSignals::RaiseVarObsDeleted(*this);
    return true;
}

bool NCDataSet::SetColValues(const float* values, int var) {
    if (!values || var < 1 || var > SizeVariables()) return false;
    mData.SetColumn(var, values);
    MarkDirty();
    NCSignals::RaiseVarObsDeleted(*this);
    return true;
}

bool NCDataSet::SetColValues(NCIntegralVector<int, -99> values, int var) {
    const int rows = SizeObservations();
    if (var < 1 || var > SizeVariables() || values.size() < rows) return false;
    for (int i = 1; i <= rows; ++i) mData(i, var, static_cast<float>(values[i]));
    MarkDirty();
    NCSignals::RaiseVarObsDeleted(*this);
    return true;
}

void NCDataSet::ChangeVarID(unsigned long newID, int var) {
    if (mNumber == 1 || var < 1 || var > SizeVariables()) return;
    mVarIDs(var) = newID;
    MarkDirty();
    InvalidateSortCache();
}

void NCDataSet::ReserveVars(int n) {
    mData.ReserveColumns(n);
    mVarIDs.reserve(n);
}

void NCDataSet::RemoveObservationID(int position) {
    if (position < 0 || position >= static_cast<int>(mUsedObsAliases.size())) return;
    mUsedObsAliases.erase(mUsedObsAliases.begin() + position);
    MarkDirty();
    mBatchesDirty = true;
    NCSignals::RaiseVarObsDeleted(*this);
}
