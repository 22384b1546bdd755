#include "varobs/AliasAccess.h"

#include <algorithm>

#include "interfaces/NCConstants.h"
#include "varobs/NCVariables.h"
#include "varobs/VarObs.h"
#include "varobs/VarObsInfo.h"

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

bool AliasAccess::IsVariable() const {
    return dynamic_cast<const NCVariables*>(&mVarObs) != nullptr;
}

int AliasAccess::SizeAliases() const { return static_cast<int>(mUsedAliases.size()); }

int AliasAccess::AliasAt(int k) const {
    if (k < 1 || k > SizeAliases()) return 0;
    return mUsedAliases[static_cast<std::size_t>(k) - 1];
}

CString AliasAccess::GetAlias(int k, const VarObsInfo& rec) const {
    const int alias = AliasAt(k);
    return alias == 0 ? CString() : CString(rec.GetUserID(alias));
}

float AliasAccess::GetAliasAsFloat(int k, const VarObsInfo& rec) const {
    const int alias = AliasAt(k);
    return alias == 0 ? kMissingValue : rec.GetUserFloatID(alias);
}

bool AliasAccess::IsAliasNumeral(int k) const {
    const int alias = AliasAt(k);
    return alias != 0 && mVarObs.IsIDNumeral(alias);
}

CString AliasAccess::GetRawAliasName(int k) const {
    const int alias = AliasAt(k);
    return alias == 0 ? CString() : mVarObs.GetIDLabelRaw(alias);
}

std::string AliasAccess::GetAliasNameWithDescription(int k) const {
    const int alias = AliasAt(k);
    return alias == 0 ? std::string() : mVarObs.GetIDLabelDescription(alias);
}

CString AliasAccess::GetPreferredAlias(int alias, const VarObsInfo& rec) const {
    const bool used = std::find(mUsedAliases.begin(), mUsedAliases.end(), alias) != mUsedAliases.end();
    return CString(rec.GetUserID(used ? alias : 1));
}

NCDataVector<float> AliasAccess::GetNumeralValues(int k, const NCIntegralVector<unsigned long, 0>* uniqueIDs) const {
    const int alias = AliasAt(k);
    if (alias != 0) return mVarObs.GetNumeralValues(alias, uniqueIDs);
    return NCDataVector<float>(uniqueIDs ? static_cast<int>(uniqueIDs->size()) : 0);
}
