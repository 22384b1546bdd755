#include "varobs/NCVariables.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <ostream>
#include <utility>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/utility/LanguageString.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZoStreamError.h"
#include "interfaces/streams/streamhelpers.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kConstantVariableUniqueID;
using nc::kNoUniqueID;

namespace {

constexpr int kStreamVersion = 2;
constexpr int kSubStreamCount = 5;

// 1-based position of `alias` within `aliases`; -1 when the alias is below 1 or not listed.
int PositionOf(int alias, const std::vector<int>& aliases) {
    if (alias < 1) return -1;
    const auto found = std::find(aliases.begin(), aliases.end(), alias);
    return found == aliases.end() ? -1 : static_cast<int>(found - aliases.begin()) + 1;
}

}  // namespace

NCVariables::NCVariables() {
    const CString name = LanguageString::Get(nc::LanguageText::kConstantVariableName);
    VarObs::Add(std::make_unique<QuantitativeVariableInfo>(name, kConstantVariableUniqueID, CString(), -1, -1,
                                                           eVarTypeDefault),
                nullptr);
}

NCVariables::~NCVariables() = default;

const ZStreamableData& NCVariables::StreamData() {
    static const ZStreamableData data(kStreamVersion, "NCV");
    return data;
}

VariableInfo* NCVariables::Add(VariableInfo* rec, InfosByUserID* index) {
    VarObs::Add(rec, index);
    return rec;
}

VariableInfo* NCVariables::Add(std::unique_ptr<VariableInfo> rec, InfosByUserID* index) {
    VariableInfo* const record = rec.get();
    VarObs::Add(std::move(rec), index);
    return record;
}

const VariableInfo* NCVariables::operator[](unsigned long uniqueID) const {
    const VarObsInfo* record = FindVarObsInfo(uniqueID);
    return record ? record->AsVariableInfo() : nullptr;
}

VariableInfo* NCVariables::operator[](unsigned long uniqueID) {
    // The collection owns its records as modifiable objects; only the lookup is const.
    return const_cast<VariableInfo*>(static_cast<const NCVariables&>(*this)[uniqueID]);
}

unsigned long NCVariables::GetConstantInfoID() { return kConstantVariableUniqueID; }

boost::shared_ptr<InfosByUserID> NCVariables::GetInfosByUserID(int alias) const {
    return VarObs::GetInfosByUserID(alias);
}

void NCVariables::SetIsDirty(bool dirty) {
    VarObs::SetIsDirty(dirty);
    if (dirty) ForgetDefaultTimeVariable();
}

void NCVariables::Set_ID_Labels(const std::vector<CString>* labels) {
    VarObs::Set_ID_Labels(labels);
    const int count = SizeAliases();
    for (int alias = 1; alias <= count; ++alias) {
        const CString label = GetIDLabelRaw(alias);
        if (label.CompareNoCase(mszPhaseIDString) == 0) {
            SetPhaseID(alias);
        } else if (label.CompareNoCase(mszMaturityIDString) == 0) {
            mMaturityAlias = alias;
        } else if (label.CompareNoCase(mszSourceIDString) == 0) {
            mSourceAlias = alias;
        } else if (label.CompareNoCase(mszOriginalIDString) == 0) {
            mOriginalIDAlias = alias;
        }
    }
}

int NCVariables::GetMaturityID(const std::vector<int>& aliases) const { return PositionOf(mMaturityAlias, aliases); }

int NCVariables::GetSourceID(const std::vector<int>& aliases) const { return PositionOf(mSourceAlias, aliases); }

void NCVariables::SetDefaultTimeID(unsigned long uniqueID) {
    mDefaultTimeID = uniqueID;
    ForgetDefaultTimeVariable();
}

void NCVariables::ForgetDefaultTimeVariable() const {
    mDefaultTimeCacheValid = false;
    mDefaultTimeCache = nullptr;
}

const DateTimeVariableInfo* NCVariables::GetDefaultTimeVariable() const {
    if (mDefaultTimeID == nNoDefaultDateTime) return nullptr;
    if (mDefaultTimeCacheValid) return mDefaultTimeCache;

    const DateTimeVariableInfo* found = nullptr;
    for (const auto& [uniqueID, record] : *this) {
        const VariableInfo* variable = record ? record->AsVariableInfo() : nullptr;
        const DateTimeVariableInfo* dateTime = variable ? variable->AsDateTimeVariableInfo() : nullptr;
        if (!dateTime) continue;
        if (uniqueID == mDefaultTimeID) {
            found = dateTime;
            break;
        }
        if (!found) {
            found = dateTime;
            if (mDefaultTimeID == kNoUniqueID) break;
        }
    }
    mDefaultTimeCache = found;
    mDefaultTimeCacheValid = true;
    return found;
}

bool NCVariables::IncludedYExsists(std::set<int>& classes) const {
    classes.clear();
    bool found = false;
    for (const auto& entry : *this) {
        const VariableInfo* variable = entry.second ? entry.second->AsVariableInfo() : nullptr;
        if (!variable || variable->GetVariableBlock() != eBlockY ||
            variable->GetVariableType() == eVarTypeBatchCondition) {
            continue;
        }
        found = true;
        if (variable->GetClasses().empty()) {
            classes.insert(0);
            return true;
        }
        classes.insert(variable->GetClasses().begin(), variable->GetClasses().end());
    }
    return found;
}

std::string NCVariables::GetIDLabelDescription(int alias) const {
    if (alias == 1) return LanguageString::Get(nc::LanguageText::kVariablePrimaryIDDescription).GetString();
    CString text;
    text.Format(LanguageString::Get(nc::LanguageText::kVariableIDDescription), GetIDLabelRaw(alias).c_str());
    return text.GetString();
}

bool NCVariables::ZStreamableStartWrite(std::ostream& os) {
    if (mSectionDone) return true;
    mSectionDone = true;
    if (!StreamData().Write(os) || !VarObs::ZStreamableStartWrite(os)) return false;
    OutputStreamDirectory directory(os, kSubStreamCount);
    WriteToStream(mDefaultTimeID, directory.GetOutput(1));
    WriteToStream(mMaturityAlias, directory.GetOutput(2));
    WriteToStream(mSourceAlias, directory.GetOutput(3));
    WriteToStream(mOriginalIDAlias, directory.GetOutput(4));
    directory.Close();
    return os.good();
}

bool NCVariables::ZStreamableStartRead(std::istream& is) {
    if (mSectionDone) return true;
    mSectionDone = true;
    // Whatever happens below, the records the cache may point to are about to be replaced.
    ForgetDefaultTimeVariable();

    int version = 0;
    const auto presence = StreamData().CheckOrPutBack(is, &version);
    if (presence == ZStreamableData::Presence::Unreadable) return false;
    if (presence == ZStreamableData::Presence::Absent) {
        // A stream written before this section existed: only the "VO" part is there.
        return VarObs::ZStreamableStartRead(is);
    }
    if (version > kStreamVersion) return false;
    if (!VarObs::ZStreamableStartRead(is)) return false;
    ForgetDefaultTimeVariable();

    mMaturityAlias = -1;
    mSourceAlias = -1;
    mOriginalIDAlias = -1;
    try {
        InputStreamDirectory directory(is);
        ReadFromStreamDir(mDefaultTimeID, directory, 1, true);
        ReadFromStreamDir(mMaturityAlias, directory, 2, false);
        ReadFromStreamDir(mSourceAlias, directory, 3, false);
        ReadFromStreamDir(mOriginalIDAlias, directory, 4, false);
        directory.Close();
    } catch (const ZoStreamError&) {
        return false;
    }
    return is.good();
}

void NCVariables::ZStreamableReset() {
    mSectionDone = false;
    VarObs::ZStreamableReset();
}
