#include "varobs/NCVariables.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <ostream>
#include <utility>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/streams/Section.h"
#include "interfaces/utility/LanguageString.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kConstantVariableUniqueID;
using nc::kNoUniqueID;

namespace {

// "NCV" version 2, five sub-streams. Versions 0 to 2 are read; the version is checked before the
// "VO" part. Streams written before this section existed hold only "VO".
const Section& StreamSection() {
    static const Section section("NCV", 2, 5, SectionRules().AcceptsFrom(0).VersionBeforeBases());
    return section;
}

// 1-based position of `alias` within `aliases`; -1 when the alias is below 1 or not listed.
int PositionOf(int alias, const std::vector<int>& aliases) {
    if (alias < 1) return -1;
    const auto found = std::find(aliases.begin(), aliases.end(), alias);
    return found == aliases.end() ? -1 : static_cast<int>(found - aliases.begin()) + 1;
}

}  // namespace

NCVariables::NCVariables() {
    const CString name = LanguageString::Get(nc::LanguageText::kConstantVariableName);
    VarObs::Add(
        std::make_unique<QuantitativeVariableInfo>(name, kConstantVariableUniqueID, CString(), -1, -1, eVarTypeDefault),
        nullptr);
}

NCVariables::~NCVariables() = default;

const ZStreamableData& NCVariables::StreamData() { return StreamSection().Data(); }

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
    const auto bases = [&] { return VarObs::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        out.Write(1, mDefaultTimeID);
        out.Write(2, mMaturityAlias);
        out.Write(3, mSourceAlias);
        out.Write(4, mOriginalIDAlias);
    });
}

bool NCVariables::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] {
        // The records the cache may point to are about to be replaced, whether or not this succeeds.
        ForgetDefaultTimeVariable();
        return VarObs::ZStreamableStartRead(is);
    };
    const auto olderStream = [](bool basesRead) { return basesRead; };  // own fields keep their values
    return StreamSection().ReadOrBasesOnly(is, mSection, bases, olderStream, [&](SectionInput& in) {
        ForgetDefaultTimeVariable();
        mMaturityAlias = -1;
        mSourceAlias = -1;
        mOriginalIDAlias = -1;
        in.Required(1, mDefaultTimeID);
        in.Optional(2, mMaturityAlias);
        in.Optional(3, mSourceAlias);
        in.Optional(4, mOriginalIDAlias);
    });
}

void NCVariables::ZStreamableReset() {
    mSection.Reset();
    VarObs::ZStreamableReset();
}
