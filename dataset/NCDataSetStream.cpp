// The dataset's "NCDS" section: its own members in a stream directory of 19 sub-streams. The
// variable and observation records are not in it; they belong to the project's collections.

#include <vector>

#include <boost/make_shared.hpp>

#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "centering/LocalCenteringInfo.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "dataset/TrimdVarStruct.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/streamhelpers.h"
#include "varobs/AliasAccess.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"

namespace {

enum SubStream : int {
    kBatchesDirty = 0,
    kImportLog = 1,
    kBatches = 2,  // only when the dataset has a batch list
    kPhases = 3,   // only when it has a phase list
    kName = 4,
    kObsIDs = 5,
    kVarIDs = 6,
    kData = 7,
    kValuesBeforeTrim = 8,
    kTrimmedVarIndex = 9,
    kTrimDescriptions = 10,
    kSortCacheValid = 11,
    kVarIDsSorted = 12,
    kObsIDsSorted = 13,
    kLocalCentering = 14,  // only when it has local centering information
    kDataType = 15,        // 15 … 18: absent in sections of older writers
    kSourceID = 16,
    kUsedObsAliases = 17,
    kUsedVarAliases = 18,
    kSubStreamCount = 19
};

// "NCDS" version 4; only version 4 is read, its version checked after the base part.
const Section& StreamSection() {
    static const Section section("NCDS", 4, kSubStreamCount);
    return section;
}

// Every ID column of a collection, 1 … its number of aliases.
std::vector<int> AllColumns(const VarObs& collection) { return AliasAccess(collection).GetUsedAliases(); }

// Each trimmed variable has one values-before-trimming map, one index entry and one trim
// description, and the index points at distinct positions of the two lists.
bool TrimmingRecordsAgree(const std::vector<std::map<unsigned long, float>>& values,
                          const std::map<unsigned long, int>& index, std::size_t descriptions) {
    if (index.size() != values.size() || descriptions != values.size()) return false;
    std::vector<bool> taken(values.size(), false);
    for (const auto& entry : index) {
        const int position = entry.second;
        if (position < 0 || static_cast<std::size_t>(position) >= taken.size() || taken[position]) return false;
        taken[position] = true;
    }
    return true;
}

}  // namespace

const ZStreamableData& NCDataSet::StreamData() { return StreamSection().Data(); }

bool NCDataSet::ZStreamableStartWrite(std::ostream& os) {
    const bool written = StreamSection().Write(
        os, mSection, [&] { return ZStreamBase::ZStreamableStartWrite(os); },
        [&](SectionOutput& out) {
            out.Write(kBatchesDirty, mBatchesDirty);
            out.Write(kImportLog, mImportLog);
            if (mBatches) out.Write(kBatches, *mBatches);
            if (mPhases) out.Write(kPhases, *mPhases);
            out.Write(kName, mName);
            out.Write(kObsIDs, mObsIDs);
            out.Write(kVarIDs, mVarIDs);
            out.Write(kData, mData);
            out.Write(kValuesBeforeTrim, mValuesBeforeTrim);
            out.Write(kTrimmedVarIndex, mTrimmedVarIndex);
            out.Write(kTrimDescriptions, mTrimDescriptions);
            out.Write(kSortCacheValid, mSortCacheValid);
            out.Write(kVarIDsSorted, mVarIDsSorted);
            out.Write(kObsIDsSorted, mObsIDsSorted);
            WriteLocalCentering(out);
            out.Write(kDataType, mDataType);
            out.Write(kSourceID, mSourceID);
            out.Write(kUsedObsAliases, mUsedObsAliases);
            out.Write(kUsedVarAliases, mUsedVarAliases);
            return true;
        });
    if (written) mDirty = false;
    return written;
}

bool NCDataSet::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] {
        mBatchesDirty = true;
        if (!ZStreamBase::ZStreamableStartRead(is)) return false;
        // Before the version check: a refused version leaves the dataset clean too.
        mTemporary = false;
        mDirty = false;
        return true;
    };
    return StreamSection().Read(is, mSection, bases, [&](SectionInput& in) { return ReadFields(in); });
}

bool NCDataSet::ReadFields(SectionInput& in) {
    in.Required(kBatchesDirty, mBatchesDirty);
    in.Required(kImportLog, mImportLog);
    if (std::istream* batches = in.FindStream(kBatches)) {
        auto fresh = boost::make_shared<BatchInfoVector>();
        ReadFromStream(*fresh, *batches, true);
        mBatches = fresh;
    } else {
        mBatches.reset();
    }
    if (std::istream* phases = in.FindStream(kPhases)) {
        auto fresh = boost::make_shared<ClassInfoVector>();
        ReadFromStream(*fresh, *phases, true);
        mPhases = fresh;
    } else {
        mPhases.reset();
    }
    in.Required(kName, mName);
    in.Required(kObsIDs, mObsIDs);
    in.Required(kVarIDs, mVarIDs);
    in.Required(kData, mData);
    if (mData.GetNumRows() != SizeObservations() || mData.GetNumColumns() != SizeVariables()) return false;

    in.Required(kValuesBeforeTrim, mValuesBeforeTrim);
    mTrimmedVarIndex.clear();
    in.Required(kTrimmedVarIndex, mTrimmedVarIndex);
    mTrimDescriptions.clear();
    in.Required(kTrimDescriptions, mTrimDescriptions);
    if (!TrimmingRecordsAgree(mValuesBeforeTrim, mTrimmedVarIndex, mTrimDescriptions.size())) return false;
    in.Required(kSortCacheValid, mSortCacheValid);
    in.Required(kVarIDsSorted, mVarIDsSorted);
    in.Required(kObsIDsSorted, mObsIDsSorted);

    ReadLocalCentering(in);
    // The defaults of sections without 15 … 18 come from the project.
    const auto project = GetProject();
    if (!in.Optional(kDataType, mDataType)) {
        const bool batchProject = project && project->GetObservations().HasBatches();
        mDataType = batchProject ? nc::DataType::kObservationLevelBatch : nc::DataType::kDefault;
    }
    in.Optional(kSourceID, mSourceID, nc::kNoUniqueID);
    mUsedObsAliases.clear();
    if (!in.Optional(kUsedObsAliases, mUsedObsAliases))
        mUsedObsAliases = project ? AllColumns(project->GetObservations()) : std::vector<int>{1};
    mUsedVarAliases.clear();
    if (!in.Optional(kUsedVarAliases, mUsedVarAliases))
        mUsedVarAliases = project ? AllColumns(project->GetVariables()) : std::vector<int>{1};
    mDirty = false;
    return true;
}

void NCDataSet::WriteLocalCentering(SectionOutput& out) const {
    if (mLocalCentering) out.Write(kLocalCentering, *mLocalCentering);
}

void NCDataSet::ReadLocalCentering(SectionInput& in) {
    // A fresh object, so that a failed or absent sub-stream leaves the dataset without one rather
    // than with half of an old one.
    auto info = boost::make_shared<LocalCenteringInfo>(0, true);
    mLocalCentering = in.Optional(kLocalCentering, *info) ? std::move(info) : nullptr;
}

void NCDataSet::ZStreamableReset() {
    mSection.Reset();
    ZStreamBase::ZStreamableReset();
}
