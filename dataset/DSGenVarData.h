#pragma once
// DSGenVarData: one generated variable as the dataset lists it, its recipe and its unique ID
// (see NCDataSet::GetGenVarList). A plain value: copies hold their own fields.

#include <utility>

#include "interfaces/utility/CString.h"

class DSGenVarData {
public:
    // An empty recipe and unique ID 0.
    DSGenVarData() = default;
    DSGenVarData(CString recipe, unsigned long uniqueID) : mRecipe(std::move(recipe)), mUniqueID(uniqueID) {}
    DSGenVarData(const DSGenVarData&) = default;
    DSGenVarData& operator=(const DSGenVarData&) = default;

    const CString& GetRecipe() const { return mRecipe; }
    unsigned long GetUniqueID() const { return mUniqueID; }

    bool operator==(const DSGenVarData& other) const {
        return mRecipe == other.mRecipe && mUniqueID == other.mUniqueID;
    }
    bool operator!=(const DSGenVarData& other) const { return !(*this == other); }

private:
    CString mRecipe;
    unsigned long mUniqueID = 0;
};
