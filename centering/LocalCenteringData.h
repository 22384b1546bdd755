#pragma once
// LocalCenteringData: the project's table of local centres. Local centering subtracts from each
// value of a variable a centre that depends on the group its observation belongs to (for batch
// data: its batch, its phase or both) instead of one centre per variable. The table keys each
// centre by the variable's unique ID, an outer selector and an inner selector (CenteringSelector.h):
// an observation takes the outer entry it matches and, within it, the inner entry it matches, each
// falling back to the wildcard entry. The project owns one table and hands it out
// (NCProjectBase::GetLocalCenteringData); datasets pass their data through Subtract when they are
// asked for centred data.
//
// Choices a caller might not expect:
// - The collection's batch alias counts only when it is a column (alias number 1 or more); with no
//   batch column no selector is a batch selector, whatever AskBatchQuestion answers.
// - GetUsedVarAliases keeps its result only when it succeeds: after the NCError for a variable
//   without a record, the next call looks again (and throws again while the record is missing).
// - GetIDNames hands its map over as a std::unique_ptr.
// - GetLocalCenteringDataAsMat refuses, with its NCError, a names map that gives a display name a
//   column number outside 1 … the number of names.
// - Subtract works a column at a time and builds no matrix of centres, and the data matrix is
//   made its own (copied when shared) only when some variable has a centre other than 0.
//
// Section "LCD", version 1, a directory of one sub-stream, numbered 1: the table as a 4-byte
// variable count, then per variable in ascending unique ID its ID (4 bytes) and its outer map: a
// 4-byte count, then per entry in selector order the outer selector (alias as 4 bytes, name as a
// binary string) and its inner map: a 4-byte count, then per entry the inner selector and the
// centre (4-byte float). Reading adds the variables read to the table (a variable it already
// holds keeps its entries) and requires version 1 and the sub-stream.

#include <boost/shared_ptr.hpp>

#include <functional>
#include <istream>
#include <list>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "centering/CenteringSelector.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class DefaultCenterValues;
class NCProjectBase;
class NCVariables;
class VarObsInfo;

class LocalCenteringData : public ZStreamBase {
public:
    using Selector = CenteringSelector;
    using InnerMap = std::map<Selector, float>;
    using OuterMap = std::map<Selector, InnerMap>;
    // Variable unique ID -> outer selector -> inner selector -> centre.
    using CentreTable = std::map<unsigned long, OuterMap>;

    // An empty table.
    LocalCenteringData() = default;
    LocalCenteringData(const LocalCenteringData& other) = default;
    LocalCenteringData& operator=(const LocalCenteringData& other) = default;
    ~LocalCenteringData() override;

    // Sets the centre of `varID` for the outer selector (outerAlias, outerName) and the inner
    // selector (innerAlias, innerName); an alias below 1 or a null or empty name makes the wildcard.
    // The value -99 removes that centre instead, then the outer entry and the variable when they
    // are left empty.
    void AddInfo(float value, unsigned long varID, int innerAlias, const char* innerName, int outerAlias,
                 const char* outerName);
    // Copies every centre of `other` into this table, overwriting equal keys.
    void Add(const LocalCenteringData& other);
    // Removes the variables that have no record in `variables`.
    void PurgeUnUsedVars(const NCVariables& variables);

    // The number of variables with centres.
    unsigned int SizeVars() const { return static_cast<unsigned int>(mCentres.size()); }
    // Their unique IDs, ascending.
    NCIntegralVector<unsigned long, 0> GetVariableIDs() const;
    // The whole table; valid until it changes.
    const CentreTable& GetCentres() const { return mCentres; }

    // The variable alias columns that name the table's variables: 1, and every column k >= 2 in
    // which a table variable's record has a non-empty ID; ascending. Kept until the table changes.
    // Throws NCError "Internale error in LocalCenteringData::GetUsedVarAliases" when a table
    // variable has no record in `variables`.
    std::vector<int> GetUsedVarAliases(const NCVariables& variables) const;

    // A new map, owned by the caller, from the display name of each pair of selectors to a column
    // number: names in the order of variables, outer and inner selectors, numbered from 1 as they
    // first appear. The display name is "<inner name> - <outer name>" when both names are
    // non-empty, the one non-empty name otherwise, and "Default" for two wildcards.
    std::unique_ptr<std::map<std::string, int>> GetIDNames() const;
    // The table for display: one row per variable (ascending unique ID), one column per display
    // name of `names` (GetIDNames() when null), -99 where a variable has no centre of that name.
    // Throws NCError "Internal error in  LocalCenteringData::GetLocalCenteringDataAsMat" when a
    // display name of the table has no valid column in `names`.
    NCDataMatrix<float> GetLocalCenteringDataAsMat(const std::map<std::string, int>* names) const;

    // Whether centering would change anything for the listed variables and observations named
    // `names` in every alias column: some name has a default (from `defaults`, when it has the
    // variable) or a centre (from the table) other than 0. False at once when the table is empty
    // and `defaults` is given without variables.
    bool HasLocalCenteringData(const NCIntegralVector<unsigned long, 0>& varIDs, const std::vector<CString>& names,
                               const DefaultCenterValues* defaults) const;
    // The same for the observations `obsIDs` of the project's observation collection (those
    // without a record count for nothing).
    bool HasLocalCenteringData(const std::list<unsigned long>& varIDs, const NCIntegralVector<unsigned long, 0>& obsIDs,
                               const NCProjectBase& project, const DefaultCenterValues* defaults) const;

    // The centres for the observations `obsIDs` (rows) of each variable of `varIDs` that centering
    // changes: `centres` gets one column per such variable, `centredVarIDs` its unique ID.
    // Observations that the table does not cover get 0, or, once a centre of a batch selector
    // was used (the project says yes to AskBatchQuestion and a matched selector's alias is the
    // observation collection's batch column), their default from `defaults`. Variables that only
    // `defaults` has take their defaults. Without `defaults` new defaults are built from the
    // centres used (DefaultCenterValues::AddVar) and returned; otherwise `defaults` is returned.
    // An empty table returns at once (`centres` empty): `defaults`, or new empty defaults without
    // them; with defaults that have variables it goes on.
    boost::shared_ptr<DefaultCenterValues const> GetSubtractionMatrix(
        NCDataMatrix<float>& centres, NCIntegralVector<unsigned long, 0>& centredVarIDs,
        const NCIntegralVector<unsigned long, 0>& obsIDs, const NCIntegralVector<unsigned long, 0>& varIDs,
        const NCProjectBase& project, boost::shared_ptr<DefaultCenterValues const> defaults) const;
    // Subtracts the centres that GetSubtractionMatrix gives from `data` (rows: `obsIDs`, columns:
    // `varIDs`, each centred variable in the first column of its unique ID); values -99 stay -99.
    // Returns what GetSubtractionMatrix returns.
    boost::shared_ptr<DefaultCenterValues const> Subtract(NCDataMatrix<float>& data,
                                                          const NCIntegralVector<unsigned long, 0>& obsIDs,
                                                          const NCIntegralVector<unsigned long, 0>& varIDs,
                                                          const NCProjectBase& project,
                                                          boost::shared_ptr<DefaultCenterValues const> defaults) const;

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag (nothing changed), another version, or a missing or damaged table
    // (nothing added); never throws. The used alias cache is dropped.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    class ObservationTexts;
    struct CentreColumn;
    using ColumnSink = std::function<void(int varPosition, const CentreColumn& column)>;

    // The ID text of `record` in alias column `alias`; "" beyond its IDs.
    static const char* IDText(const VarObsInfo& record, int alias);
    // The centre of `outer` then `inner` for the texts `textOf` gives; false when there is none.
    template <typename TextOf>
    static bool FindCentre(const OuterMap& outer, TextOf&& textOf, Selector& key, float& value);

    // GetSubtractionMatrix without the matrix: hands each centred column (and the position of its
    // variable in `varIDs`) to `sink`, in variable order.
    boost::shared_ptr<DefaultCenterValues const> Centre(const NCIntegralVector<unsigned long, 0>& obsIDs,
                                                        const NCIntegralVector<unsigned long, 0>& varIDs,
                                                        const NCProjectBase& project,
                                                        boost::shared_ptr<DefaultCenterValues const> defaults,
                                                        const ColumnSink& sink) const;

    CentreTable mCentres;
    mutable std::set<int> mUsedVarAliases;
    SectionFlag mSection;
};
