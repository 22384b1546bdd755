#pragma once
// BatchInfo: one batch (one run of a process): its name, its size, its phases, one value per
// batch condition variable of its list, and whether it is included. Held through
// boost::shared_ptr<BatchInfo>.
//
// A batch owns its phase list. Copies (copy constructor, assignment, Clone) are deep: the copy
// gets its own phase list with clones of the phases, or none when the source has none.
//
// Section "DBINFO", version 2: a directory of the name (sub-stream 0), number of observations,
// included flag, the phase list (3, only when the batch has one), the condition values and the
// qualitative texts (5).

#include <boost/shared_ptr.hpp>

#include <istream>
#include <memory>
#include <ostream>

#include "batchinfo/ClassInfoVector.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class BatchInfoVector;

class BatchInfo : public ZStreamBase {
public:
    // The name as given (null: empty); no phase list, no observations, no condition values,
    // included.
    explicit BatchInfo(const char* name = nullptr);
    BatchInfo(const BatchInfo& other);
    BatchInfo& operator=(const BatchInfo& other);
    ~BatchInfo() override;

    const CString& GetBatchName() const { return mName; }
    void SetBatchName(const char* name) { mName = CString(name); }
    void SetNumObs(int numObs) { mNumObs = numObs; }
    bool IsIncluded() const { return mIncluded; }
    void SetIncluded(bool included) { mIncluded = included; }

    // Without a phase list: the batch's number of observations. With one and no `phaseName`: the
    // sum over the included phases (all phases when `includeExcluded`). With a `phaseName`: the
    // sum over the phases of exactly that phase name, included or not.
    int GetNumObs(const char* phaseName = nullptr, bool includeExcluded = false) const;

    // The phase list, or null when the batch has none.
    const ClassInfoVector* GetClassVector() const { return mPhases.get(); }
    ClassInfoVector* GetClassVector() { return mPhases.get(); }
    // Destroys the current phase list and takes ownership of `phases` (null: none). Passing the
    // list the batch already holds changes nothing.
    void SetClassVectorPtr(ClassInfoVector* phases);
    void SetClassVectorPtr(std::unique_ptr<ClassInfoVector> phases);

    // One value per batch condition variable of the batch's list, in the list's order; -99 is
    // missing.
    const NCDataVector<float>& GetBatchConditionValues() const { return mConditionValues; }
    // Empties the condition values, then copies `values` when given.
    void SetBatchConditionValues(const NCDataVector<float>* values);
    // Stores `value` at 1-based position i; does nothing when i is not a position of the values.
    void SetBatchConditionValue(int i, float value);

    // Texts of qualitative batch conditions as streams of the legacy layout kept them; only the
    // conversion to condition variables (BatchInfoVector::UpdateBCIDsVectorFormat) reads them.
    const NCStringVector& OBSOLETE_GetQualitativeValues() const { return mQualitativeValues; }
    // Replaces those texts, for callers that rebuild a batch in the legacy layout.
    void OBSOLETE_SetQualitativeValues(const NCStringVector& values) { mQualitativeValues = values; }

    // Name (case-sensitive), number of observations, condition values and included flag equal,
    // and either neither has a phase list or both have equal ones. The qualitative texts are not
    // compared.
    bool operator==(const BatchInfo& other) const;
    bool operator!=(const BatchInfo& other) const { return !(*this == other); }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 2, or a missing or short required field (the
    // fields read before it keep their new values); never throws. The condition values and the
    // phase list are dropped first; a stream without a phase list leaves the batch without one,
    // and one without qualitative texts leaves none.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    // A deep copy.
    virtual boost::shared_ptr<BatchInfo> Clone() const;

    static const ZStreamableData& StreamData();

    // "$Time": the primary ID of the time variable generated for batch data.
    static const char* GetGeneratedTimeVariableName();

private:
    // The conversion of the legacy layout inserts the codes of qualitative conditions.
    friend class BatchInfoVector;

    CString mName;
    std::unique_ptr<ClassInfoVector> mPhases;
    int mNumObs = 0;
    NCDataVector<float> mConditionValues;
    NCStringVector mQualitativeValues;
    bool mIncluded = true;
    SectionFlag mSection;
};
