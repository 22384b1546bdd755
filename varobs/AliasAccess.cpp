#include "varobs/AliasAccess.h"

#include <algorithm>

#include "interfaces/constants/NCConstants.h"
#include "varobs/NCVariables.h"
#include "varobs/VarObs.h"
#include "varobs/VarObsInfo.h"

using nc::kMissingValue;

AliasAccess::AliasAccess(const VarObs& collection) : mVarObs(collection) {
    const int count = collection.SizeAliases();
    mUsedAliases.reserve(static_cast<std::size_t>(count));
    for (int alias = 1; alias <= count; ++alias) mUsedAliases.push_back(alias);
}

AliasAccess::AliasAccess(const std::vector<int>& aliases, const VarObs& collection)
    : mVarObs(collection), mUsedAliases(aliases) {}

AliasAccess::AliasAccess(const AliasAccess& other) = default;

AliasAccess::~AliasAccess() = default;

const VarObs& AliasAccess::GetVarObs() const { return mVarObs; }

const std::vector<int>& AliasAccess::GetUsedAliases() const { return mUsedAliases; }

bool AliasAccess::IsVariable() const { return dynamic_cast<const NCVariables*>(&mVarObs) != nullptr; }

int AliasAccess::SizeAliases() const { return static_cast<int>(mUsedAliases.size()); }

bool AliasAccess::AliasAt(int k, int& alias) const {
    if (k < 1 || k > SizeAliases()) return false;
    alias = mUsedAliases[static_cast<std::size_t>(k) - 1];
    return true;
}

CString AliasAccess::GetAlias(int k, const VarObsInfo& rec) const {
    int alias = 0;
    return AliasAt(k, alias) ? CString(rec.GetUserID(alias)) : CString();
}

float AliasAccess::GetAliasAsFloat(int k, const VarObsInfo& rec) const {
    int alias = 0;
    return AliasAt(k, alias) ? rec.GetUserFloatID(alias) : kMissingValue;
}

bool AliasAccess::IsAliasNumeral(int k) const {
    int alias = 0;
    return AliasAt(k, alias) && mVarObs.IsIDNumeral(alias);
}

CString AliasAccess::GetRawAliasName(int k) const {
    int alias = 0;
    return AliasAt(k, alias) ? mVarObs.GetIDLabelRaw(alias) : CString();
}

std::string AliasAccess::GetAliasNameWithDescription(int k) const {
    int alias = 0;
    return AliasAt(k, alias) ? mVarObs.GetIDLabelDescription(alias) : std::string();
}

CString AliasAccess::GetPreferredAlias(int alias, const VarObsInfo& rec) const {
    const bool used = std::find(mUsedAliases.begin(), mUsedAliases.end(), alias) != mUsedAliases.end();
    return CString(rec.GetUserID(used ? alias : 1));
}

NCDataVector<float> AliasAccess::GetNumeralValues(int k, const NCIntegralVector<unsigned long, 0>* uniqueIDs) const {
    int alias = 0;
    if (AliasAt(k, alias)) return mVarObs.GetNumeralValues(alias, uniqueIDs);
    return NCDataVector<float>(uniqueIDs ? static_cast<int>(uniqueIDs->size()) : 0);
}
