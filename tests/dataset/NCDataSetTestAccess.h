#pragma once
// NCDataSetTestAccess: the dataset's private state that tests read or reset, in one definition
// shared by every test file (NCDataSet declares it a friend).

#include <cstddef>
#include <map>
#include <vector>

#include "dataset/NCDataSet.h"

struct NCDataSetTestAccess {
    static const std::vector<std::map<unsigned long, float>>& ValuesBeforeTrim(const NCDataSet& d) {
        return d.mValuesBeforeTrim;
    }
    static std::size_t TrimDescriptions(const NCDataSet& d) { return d.mTrimDescriptions.size(); }
    // As a successful write or read would leave it, so that a test can see what marks it dirty.
    static void MarkClean(NCDataSet& d) { d.mDirty = false; }
};
