#include "dataset/NCDataSetInfo.h"

#include <memory>
#include <utility>

#include <boost/make_shared.hpp>

#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/streams/Section.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"

namespace {

enum SubStream : int {
    kNumYVariables = 0,
    kNumObservations = 1,
    kNumVariables = 2,
    kNumber = 3,
    kName = 4,
    kReserved = 5,  // always 0, never read
    kDataType = 6,
    kSourceID = 7,
    kObsIDs = 8,
    kVarIDs = 9,
    kUsedObsAliases = 10,
    kUsedVarAliases = 11,
    kBatches = 12,
    kPhases = 13,
    kSubStreamCount = 14
};

// "NCDSI" version 3; only version 3 is read, checked after the (empty) base part.
const Section& StreamSection() {
    static const Section section("NCDSI", 3, kSubStreamCount);
    return section;
}

constexpr int kAnyBatchKind = nc::DataType::kObservationLevelBatch | nc::DataType::kOtherBatchKinds;

}  // namespace

const ZStreamableData& NCDataSetInfo::StreamData() { return StreamSection().Data(); }

NCDataSetInfo::NCDataSetInfo(boost::shared_ptr<NCProjectBase> project) : NCDataContainerBase(std::move(project)) {}

NCDataSetInfo::NCDataSetInfo(boost::shared_ptr<NCDataSet> dataset)
    : NCDataContainerBase(dataset ? dataset->GetProject() : boost::shared_ptr<NCProjectBase>()) {
    Update(dataset);
}

NCDataSetInfo::NCDataSetInfo(const NCDataSetInfo& other) = default;

NCDataSetInfo& NCDataSetInfo::operator=(const NCDataSetInfo& other) = default;

NCDataSetInfo::~NCDataSetInfo() = default;

void NCDataSetInfo::Update(boost::shared_ptr<NCDataSet const> dataset) {
    if (!dataset) return;
    mNumObservations = dataset->SizeObservations();
    mNumVariables = dataset->SizeVariables();
    mNumber = dataset->GetNumber();
    mName = CString(dataset->GetName());
    const std::unique_ptr<NCIntegralVector<int, -99>> yVariables(dataset->GetYVariables(nullptr));
    mNumYVariables = yVariables ? yVariables->size() : 0;
    // The batch list first: deriving it may set the data type's batch bit.
    const boost::shared_ptr<BatchInfoVector const> batches = dataset->GetBatchInfoVector();
    mBatches = batches ? boost::make_shared<BatchInfoVector>(*batches) : boost::shared_ptr<BatchInfoVector>();
    const boost::shared_ptr<ClassInfoVector const> phases = dataset->GetPhaseInfoVector();
    mPhases = phases ? boost::make_shared<ClassInfoVector>(*phases) : boost::shared_ptr<ClassInfoVector>();
    mDataType = dataset->GetDataType();
    mSourceID = dataset->GetSourceID();
    mObsIDs = dataset->GetObsIDs();
    mVarIDs = dataset->GetVarIDs();
    mUsedObsAliases = dataset->GetUsedObsAliases();
    mUsedVarAliases = dataset->GetUsedVarAliases();
}

const char* NCDataSetInfo::GetObservationID(int obs, int alias) const {
    if (obs < 1 || obs > mObsIDs.size()) return "";
    const auto project = GetProject();
    if (!project) return "";
    const ObservationInfo* record = project->GetObservations()[mObsIDs[obs]];
    if (!record) ThrowMissingObservation(mName);
    return UsedIDText(*record, mUsedObsAliases, alias);
}

const char* NCDataSetInfo::GetVariableID(int var, int alias) const {
    if (var < 1 || var > mVarIDs.size()) return "";
    const auto project = GetProject();
    if (!project) return "";
    const VariableInfo* record = project->GetVariables()[mVarIDs[var]];
    if (!record) return "";
    return UsedIDText(*record, mUsedVarAliases, alias);
}

void NCDataSetInfo::UpdateFromProject(const NCProjectBase& project) { Update(project.GetDataset(mNumber)); }

NCIntegralVector<unsigned long, 0> NCDataSetInfo::GetObsIDs(const NCProjectBase& project) {
    if (mObsIDs.empty()) UpdateFromProject(project);
    return mObsIDs;
}

NCIntegralVector<unsigned long, 0> NCDataSetInfo::GetVarIDs(const NCProjectBase& project) {
    if (mVarIDs.empty()) UpdateFromProject(project);
    return mVarIDs;
}

const BatchInfoVector* NCDataSetInfo::GetBatchInfoVector(const NCProjectBase& project) {
    if (mVarIDs.empty() || (!mBatches && (mDataType & kAnyBatchKind) != 0)) UpdateFromProject(project);
    return mBatches.get();
}

const ClassInfoVector* NCDataSetInfo::GetPhaseInfoVector(const NCProjectBase& project) {
    if (mVarIDs.empty()) UpdateFromProject(project);
    return mPhases.get();
}

bool NCDataSetInfo::operator!=(const NCDataSetInfo& other) const {
    return mNumObservations != other.mNumObservations || mNumVariables != other.mNumVariables ||
           mNumber != other.mNumber || mName != other.mName || mDataType != other.mDataType ||
           mSourceID != other.mSourceID || mUsedObsAliases != other.mUsedObsAliases ||
           mUsedVarAliases != other.mUsedVarAliases;
}

bool NCDataSetInfo::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [&] { return ZStreamBase::ZStreamableStartWrite(os); },
        [&](SectionOutput& out) {
            out.Write(kNumYVariables, mNumYVariables);
            out.Write(kNumObservations, mNumObservations);
            out.Write(kNumVariables, mNumVariables);
            out.Write(kNumber, mNumber);
            out.Write(kName, mName);
            out.Write(kReserved, false);
            out.Write(kDataType, mDataType);
            out.Write(kSourceID, mSourceID);
            out.Write(kObsIDs, mObsIDs);
            out.Write(kVarIDs, mVarIDs);
            out.Write(kUsedObsAliases, mUsedObsAliases);
            out.Write(kUsedVarAliases, mUsedVarAliases);
            if (mBatches) out.Write(kBatches, *mBatches);
            if (mPhases) out.Write(kPhases, *mPhases);
        });
}

bool NCDataSetInfo::ZStreamableStartRead(std::istream& is) {
    const auto defaults = [&] {
        mDataType = nc::DataType::kDefault;
        mSourceID = nc::kNoUniqueID;
        mObsIDs = NCIntegralVector<unsigned long, 0>();
        mVarIDs = NCIntegralVector<unsigned long, 0>();
        mUsedObsAliases = {1};
        mUsedVarAliases = {1};
        mBatches.reset();
        mPhases.reset();
        return ZStreamBase::ZStreamableStartRead(is);
    };
    return StreamSection().Read(is, mSection, defaults, [&](SectionInput& in) {
        in.Required(kNumYVariables, mNumYVariables);
        in.Required(kNumObservations, mNumObservations);
        in.Required(kNumVariables, mNumVariables);
        in.Required(kNumber, mNumber);
        in.Required(kName, mName);
        in.Optional(kDataType, mDataType, nc::DataType::kDefault);
        in.Optional(kSourceID, mSourceID, nc::kNoUniqueID);
        in.Optional(kObsIDs, mObsIDs, NCIntegralVector<unsigned long, 0>());
        in.Optional(kVarIDs, mVarIDs, NCIntegralVector<unsigned long, 0>());
        in.Optional(kUsedObsAliases, mUsedObsAliases, std::vector<int>{1});
        in.Optional(kUsedVarAliases, mUsedVarAliases, std::vector<int>{1});
        // The lists are read into new objects, so a copy sharing the old ones keeps them.
        auto batches = boost::make_shared<BatchInfoVector>();
        if (in.Optional(kBatches, *batches)) mBatches = batches;
        auto phases = boost::make_shared<ClassInfoVector>();
        if (in.Optional(kPhases, *phases)) mPhases = phases;
    });
}

void NCDataSetInfo::ZStreamableReset() { mSection.Reset(); }
