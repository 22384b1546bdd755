#pragma once
// ClassInfo: one phase of a batch (a "class" of observations): the name it was created under and
// its current name, its size, its Y variable and the variables excluded in it. Held through
// boost::shared_ptr<ClassInfo>; lists of phases (ClassInfoVector) never share one.
//
// Section "DPINFO", version 4: a directory of the average length (sub-stream 1), original name,
// phase name, Y variable ID, number of observations, included flag and excluded variables (7).
// The phase status is not stored.

#include <boost/shared_ptr.hpp>

#include <istream>
#include <ostream>

#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class ClassInfo : public ZStreamBase {
public:
    // Only stored and handed back; the library gives no value but the default a meaning.
    enum EPhaseStatus : int { ePhaseStatusDefault = 0 };

    // Both names are `name` (null: empty); no Y variable (kNoUniqueID), no observations, average
    // length -1, included, no excluded variables, default status.
    explicit ClassInfo(const char* name = nullptr);
    // Copies every field; the copy takes part in the next stream pass on its own.
    ClassInfo(const ClassInfo& other) = default;
    ClassInfo& operator=(const ClassInfo& other) = default;
    ~ClassInfo() override;

    const CString& GetOriginalName() const { return mOriginalName; }
    void SetOriginalName(const char* name) { mOriginalName = CString(name); }
    const CString& GetPhaseName() const { return mPhaseName; }
    void SetPhaseName(const char* name) { mPhaseName = CString(name); }
    unsigned long GetYVariableID() const { return mYVariableID; }
    void SetYVariableID(unsigned long id) { mYVariableID = id; }
    int GetNumObs() const { return mNumObs; }
    void SetNumObs(int numObs) { mNumObs = numObs; }
    int GetAverageLength() const { return mAverageLength; }
    void SetAverageLength(int length) { mAverageLength = length; }
    EPhaseStatus GetPhaseStatus() const { return mPhaseStatus; }
    void SetPhaseStatus(EPhaseStatus status) { mPhaseStatus = status; }

    // Whether the phase takes part in analyses.
    bool IsIncluded() const { return mIncluded; }
    void SetIncluded(bool included) { mIncluded = included; }
    // False exactly when `varID` is among the excluded variables.
    bool IsIncluded(unsigned long varID) const;
    // Excluding appends `varID` to the excluded variables unless it is there; including removes
    // it when it is there.
    void SetIncluded(unsigned long varID, bool include);
    // Unique IDs of the variables excluded in this phase, in the order they were excluded.
    const NCIntegralVector<unsigned long, 0>& GetExcludedVariablesVector() const { return mExcluded; }
    NCIntegralVector<unsigned long, 0>& GetExcludedVariablesVector() { return mExcluded; }

    // Names (case-sensitive), Y variable, size, average length, included flag and excluded
    // variables (in order) equal; the phase status is not compared.
    bool operator==(const ClassInfo& other) const;
    bool operator!=(const ClassInfo& other) const { return !(*this == other); }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 4, or a missing or short field (the fields read
    // before it keep their new values); never throws. The average length is -1 until read.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    // A new phase equal to this one.
    virtual boost::shared_ptr<ClassInfo> Clone() const;

    static const ZStreamableData& StreamData();

private:
    CString mOriginalName;
    CString mPhaseName;
    unsigned long mYVariableID;
    int mNumObs = 0;
    int mAverageLength = -1;
    bool mIncluded = true;
    NCIntegralVector<unsigned long, 0> mExcluded;
    EPhaseStatus mPhaseStatus = ePhaseStatusDefault;
    SectionFlag mSection;
};
