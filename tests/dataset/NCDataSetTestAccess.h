#pragma once
// NCDataSetTestAccess: the dataset's members that no public operation shows (trimming records,
// sort cache, batch-list dirty flag), for tests and golden objects that set or compare them.

#include <map>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "dataset/NCDataSet.h"
#include "dataset/TrimdVarStruct.h"

struct NCDataSetTestAccess {
    static std::vector<std::map<unsigned long, float>>& ValuesBeforeTrim(NCDataSet& d) { return d.mValuesBeforeTrim; }
    static const std::vector<std::map<unsigned long, float>>& ValuesBeforeTrim(const NCDataSet& d) {
        return d.mValuesBeforeTrim;
    }
    static std::map<unsigned long, int>& TrimmedVarIndex(NCDataSet& d) { return d.mTrimmedVarIndex; }
    static const std::map<unsigned long, int>& TrimmedVarIndex(const NCDataSet& d) { return d.mTrimmedVarIndex; }
    static std::vector<boost::shared_ptr<TrimdVarStruct>>& TrimDescriptions(NCDataSet& d) {
        return d.mTrimDescriptions;
    }
    static const std::vector<boost::shared_ptr<TrimdVarStruct>>& TrimDescriptions(const NCDataSet& d) {
        return d.mTrimDescriptions;
    }

    struct SortCache {
        bool valid;
        bool varIDsSorted;
        bool obsIDsSorted;
    };
    static SortCache GetSortCache(const NCDataSet& d) { return {d.mSortCacheValid, d.mVarIDsSorted, d.mObsIDsSorted}; }
    static void SetSortCache(NCDataSet& d, SortCache cache) {
        d.mSortCacheValid = cache.valid;
        d.mVarIDsSorted = cache.varIDsSorted;
        d.mObsIDsSorted = cache.obsIDsSorted;
    }

    static bool BatchesDirty(const NCDataSet& d) { return d.mBatchesDirty; }
    // The lists as held, without deriving the batch list first.
    static const BatchInfoVector* HeldBatches(const NCDataSet& d) { return d.mBatches.get(); }
    static void MarkDirty(NCDataSet& d) { d.mDirty = true; }
    // As a successful write or read would leave it, so that a test can see what marks it dirty.
    static void MarkClean(NCDataSet& d) { d.mDirty = false; }
};
