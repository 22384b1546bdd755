#pragma once
// AliasAccess: a view of one collection through a chosen list of alias numbers. Position k of the
// view (1-based) stands for the k-th chosen alias; every accessor translates the position into
// the alias number before asking the collection or a record. Positions outside the view read as
// "", -99, false or an empty-valued vector; they never fail.
//
// The view holds a reference to the collection, which must outlive it.

#include <string>
#include <vector>

#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/utility/CString.h"

class VarObs;
class VarObsInfo;

class AliasAccess {
public:
    // The view of all aliases of the collection: 1 … SizeAliases().
    explicit AliasAccess(const VarObs& collection);
    // The view of the given alias numbers, in that order.
    AliasAccess(const std::vector<int>& aliases, const VarObs& collection);
    AliasAccess(const AliasAccess& other);
    ~AliasAccess();

    const VarObs& GetVarObs() const;
    const std::vector<int>& GetUsedAliases() const;
    // True when the collection is the variables collection (NCVariables or derived).
    bool IsVariable() const;
    // Number of positions of the view.
    int SizeAliases() const;
    // The record's ID in the k-th alias; "" when k is out of range or the record has none.
    CString GetAlias(int k, const VarObsInfo& rec) const;
    // The record's ID in the k-th alias as a number (-99 when it is not one); -99 when k is out of range.
    float GetAliasAsFloat(int k, const VarObsInfo& rec) const;
    // The collection's numeral flag of the k-th alias; false when k is out of range.
    bool IsAliasNumeral(int k) const;
    // The collection's label of the k-th alias; "" when k is out of range.
    CString GetRawAliasName(int k) const;
    // The collection's description of the k-th alias; "" when k is out of range.
    std::string GetAliasNameWithDescription(int k) const;
    // When `alias` (an alias number, not a position) is one of the view's aliases: the record's ID
    // in it ("" when it has none); otherwise the record's primary ID.
    CString GetPreferredAlias(int alias, const VarObsInfo& rec) const;
    // The collection's numeric values of the k-th alias for the listed records; when k is out of
    // range, a vector of the list's length as NCDataVector's constructor leaves it.
    NCDataVector<float> GetNumeralValues(int k, const NCIntegralVector<unsigned long, 0>* uniqueIDs) const;

private:
    // The alias number at position k; false when k is out of range. Any number the view was
    // given (also 0 or a negative one) is passed on to the collection as it is.
    bool AliasAt(int k, int& alias) const;

    const VarObs& mVarObs;
    std::vector<int> mUsedAliases;
};
