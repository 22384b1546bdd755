#pragma once
// NCVariables: the project-wide collection of variable records (the columns of every dataset of a
// project). Besides what VarObs offers it
//   - holds, from construction on, a constant pseudo-variable (unique ID 3262240002) that counts
//     as one of its records and is persisted with them;
//   - recognises special alias columns by their labels ("$PhaseID", "$MaturityID", "$SourceID",
//     "$Original ID", compared ignoring case);
//   - knows the default time variable of the project's datasets.
// Persisted as section "NCV", version 2: the tag, the "VO" section, then a stream directory with
// the default time ID and the maturity, source and original-ID aliases. A stream written before
// the "NCV" section existed holds only "VO"; it reads with the fields of this class unchanged.

#include <boost/shared_ptr.hpp>

#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/SectionFlag.h"
#include "varobs/InfosByUserID.h"
#include "varobs/VarObs.h"
#include "varobs/VariableInfo.h"

class DateTimeVariableInfo;

class NCVariables : public VarObs {
public:
    // The default-time-ID value that means "the datasets have no default time variable".
    static constexpr unsigned long nNoDefaultDateTime = nc::kNoDefaultDateTimeID;

    // An empty collection plus the constant pseudo-variable (a QuantitativeVariableInfo named by
    // language text LanguageText::kConstantVariableName). Adding it marks the new collection
    // dirty. No special aliases; no default time variable chosen (3262240001).
    NCVariables();
    ~NCVariables() override;

    // VarObs::Add for a variable record: takes ownership and returns `rec`.
    VariableInfo* Add(VariableInfo* rec, InfosByUserID* index);
    // The same for a record handed over as the sole owner (see VarObs::Add); the library's own use.
    VariableInfo* Add(std::unique_ptr<VariableInfo> rec, InfosByUserID* index);
    // The variable with that unique ID, or null.
    const VariableInfo* operator[](unsigned long uniqueID) const;
    VariableInfo* operator[](unsigned long uniqueID);

    // Unique ID of the constant pseudo-variable: 3262240002.
    static unsigned long GetConstantInfoID();
    // See VarObs::GetInfosByUserID.
    boost::shared_ptr<InfosByUserID> GetInfosByUserID(int alias) const;

    // As VarObs; marking dirty also forgets the cached default time variable, since records may
    // have come or gone.
    void SetIsDirty(bool dirty) override;
    // As VarObs, then every alias whose label is "$PhaseID", "$MaturityID", "$SourceID" or
    // "$Original ID" (ignoring case) becomes the phase, maturity, source or original-ID alias.
    // A special alias whose label is gone keeps its earlier number.
    void Set_ID_Labels(const std::vector<CString>* labels) override;

    // 1-based position of the maturity (source) alias within `aliases`; -1 when there is no such
    // alias or the list does not hold it.
    int GetMaturityID(const std::vector<int>& aliases) const;
    int GetSourceID(const std::vector<int>& aliases) const;

    // Chooses the default time variable by unique ID (nNoDefaultDateTime: none at all).
    void SetDefaultTimeID(unsigned long uniqueID);
    unsigned long GetDefaultTimeID() const { return mDefaultTimeID; }
    // The default time variable: null when the ID is nNoDefaultDateTime; else the date/time
    // variable with the chosen unique ID, or, when none was chosen or the chosen one is gone, the
    // date/time variable with the lowest unique ID; null when there is none. The result is cached
    // until the collection is marked dirty, the ID is set or the collection is read.
    const DateTimeVariableInfo* GetDefaultTimeVariable() const;

    // Empties `classes`, then looks at every included Y variable whose type is not 1: one without
    // classes puts 0 into `classes` and ends the search; the others add their classes. True when
    // any such variable exists.
    bool IncludedYExsists(std::set<int>& classes) const;

    // Language text LanguageText::kVariablePrimaryIDDescription for alias 1; for any other alias
    // LanguageText::kVariableIDDescription formatted with the alias's raw label.
    std::string GetIDLabelDescription(int alias) const override;

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False for a negative version or one above 2 (before anything else is read), a failed "VO"
    // section or a missing or damaged default time ID. Never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    void ForgetDefaultTimeVariable() const;

    mutable bool mDefaultTimeCacheValid = false;
    mutable const DateTimeVariableInfo* mDefaultTimeCache = nullptr;
    unsigned long mDefaultTimeID = nc::kNoUniqueID;
    int mMaturityAlias = -1;
    int mSourceAlias = -1;
    int mOriginalIDAlias = -1;
    SectionFlag mSection;
};
