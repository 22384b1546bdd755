#pragma once
// BatchInfoVector: the batches of a dataset in order of their first observation, together with
// the unique IDs of the project variables that hold the batch conditions (each batch has one
// condition value per such variable, in this order). Positions are 0-based.
//
// Copies (copy constructor, assignment) clone every batch and copy the condition variable IDs;
// the legacy condition names and kinds (below) are not copied.
//
// Streams of the legacy layout named the batch conditions in the list and kept the qualitative
// ones as texts in each batch. UpdateBCIDsVectorFormat turns them into project variables.
//
// Section "BI", version 2: a directory of the batches (sub-stream 0: a 4-byte count, then per
// batch a presence byte and its "DBINFO" section) and the condition variable IDs (3). The legacy
// names and kinds are never written; reading takes them from sub-streams 1 (string vector) and 2
// (4-byte count and 4-byte kinds) when a stream of the legacy layout has them.

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <istream>
#include <ostream>
#include <vector>

#include "batchinfo/BatchInfo.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class NCProjectBase;

class BatchInfoVector : public ZStreamBase {
public:
    // The kinds of a legacy batch condition.
    enum ELegacyConditionKind : int {
        eLegacyQuantitative = 0,
        eLegacyQualitative = 1,
        eLegacyResponse = 2  // quantitative, becomes a Y variable
    };

    using value_type = boost::shared_ptr<BatchInfo>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    // No batches, no condition variables, no legacy conditions.
    BatchInfoVector();
    BatchInfoVector(const BatchInfoVector& other);
    BatchInfoVector& operator=(const BatchInfoVector& other);
    ~BatchInfoVector() override;

    std::size_t size() const { return mBatches.size(); }
    bool empty() const { return mBatches.empty(); }
    iterator begin() { return mBatches.begin(); }
    iterator end() { return mBatches.end(); }
    const_iterator begin() const { return mBatches.begin(); }
    const_iterator end() const { return mBatches.end(); }
    // 0-based; the caller keeps i in range.
    boost::shared_ptr<BatchInfo> operator[](int i) { return mBatches[static_cast<std::size_t>(i)]; }
    boost::shared_ptr<const BatchInfo> operator[](int i) const { return mBatches[static_cast<std::size_t>(i)]; }
    // Appends the batch itself (not a clone).
    void push_back(const boost::shared_ptr<BatchInfo>& batch) { mBatches.push_back(batch); }
    iterator erase(const_iterator at) { return mBatches.erase(at); }
    void clear() { mBatches.clear(); }

    // The batch names in list order.
    NCStringVector GetBatchNames() const;

    // Unique IDs of the batch condition variables, in the order of every batch's values.
    const NCIntegralVector<unsigned long, 0>& GetBCVariableIDs() const { return mBCVariableIDs; }
    void SetBCVariableIDs(const NCIntegralVector<unsigned long, 0>& ids) { mBCVariableIDs = ids; }

    // Legacy conditions: one name and one kind each, for UpdateBCIDsVectorFormat. A kind list
    // shorter than the names counts the missing kinds as quantitative.
    const NCStringVector& OBSOLETE_GetConditionNames() const { return mLegacyNames; }
    const std::vector<int>& OBSOLETE_GetConditionKinds() const { return mLegacyKinds; }
    void OBSOLETE_SetConditions(const NCStringVector& names, const std::vector<int>& kinds);

    // Same number of batches, pairwise equal batches and equal condition variable IDs.
    bool operator==(const BatchInfoVector& other) const;
    bool operator!=(const BatchInfoVector& other) const { return !(*this == other); }

    // Turns the legacy conditions (or, when `names` is given, that many quantitative conditions
    // of those names) into new variables of the project's collection, appends their unique IDs to
    // the condition variable IDs and codes every qualitative text as a category number in the
    // batches' condition values. Does nothing and returns true when the list already has
    // condition variables. False when a batch lacks a qualitative text that a condition needs;
    // the conditions converted before it stay converted.
    bool UpdateBCIDsVectorFormat(NCProjectBase& project, const NCStringVector* names);

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 2, or missing or damaged batches or condition
    // variable IDs, also when the damage lies inside a batch or one of its phases; never throws.
    // The condition variable IDs are emptied first.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    std::vector<value_type> mBatches;
    NCIntegralVector<unsigned long, 0> mBCVariableIDs;
    NCStringVector mLegacyNames;
    std::vector<int> mLegacyKinds;
    SectionFlag mSection;
};
