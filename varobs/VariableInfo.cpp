#include "varobs/VariableInfo.h"

#include <cstdint>
#include <cstdio>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZoStreamError.h"
#include "interfaces/streams/streamhelpers.h"

using nc::kNoUniqueID;

namespace {
constexpr int kCurrentVersion = 4;
constexpr int kSubStreams = 12;
constexpr int kDefaultTreatment = 8;

// Sub-stream numbers of the "VIO" section; 0, 3 and 4 are unused.
enum : int {
    kUnit = 1,
    kBlock = 2,
    kRecipe = 5,
    kSourceModel = 6,
    kType = 7,
    kReference = 8,
    kClasses = 9,
    kTreatment = 10,
    kMaturity = 11
};
}  // namespace

const ZStreamableData& VariableInfo::StreamData() {
    static const ZStreamableData data(kCurrentVersion, "VIO");
    return data;
}

VariableInfo::VariableInfo() = default;

VariableInfo::VariableInfo(const CString& id, unsigned long uniqueID, const CString& recipe, int sourceModel,
                           int reference, EVariableType type)
    : VarObsInfo(id, uniqueID), mType(type), mRecipe(recipe), mSourceModel(sourceModel), mReference(reference) {}

VariableInfo::VariableInfo(const std::vector<CString>& ids, unsigned long uniqueID, EVariableType type,
                           const CString& recipe, int sourceModel, int reference, float maturity)
    : VarObsInfo(ids, uniqueID),
      mType(type),
      mRecipe(recipe),
      mSourceModel(sourceModel),
      mReference(reference),
      mMaturity(maturity) {}

VariableInfo::VariableInfo(const VariableInfo& other) = default;

VariableInfo& VariableInfo::operator=(const VariableInfo& other) = default;

VariableInfo::~VariableInfo() = default;

void VariableInfo::SetIncluded(bool included) {
    if (included) {
        if (mBlock == eBlockExcludedX) mBlock = eBlockX;
        else if (mBlock == eBlockExcludedY) mBlock = eBlockY;
    } else {
        if (mBlock == eBlockX) mBlock = eBlockExcludedX;
        else if (mBlock == eBlockY) mBlock = eBlockExcludedY;
    }
}

bool VariableInfo::IsHierarchical() const {
    return mType == eVarTypeScore || mType == eVarTypeXResidual ||
           (mType >= eVarTypeHierarchicalFirst && mType <= eVarTypeHierarchicalLast);
}

int VariableInfo::GetComponent() const {
    return IsHierarchical() || mType == eVarTypeComponent ? mReference : -1;
}

int VariableInfo::GetDAClass() const { return mType == eVarTypeDAClass ? mReference : -1; }

unsigned long VariableInfo::GetSourceVariable() const {
    // The reference holds the unique ID's 32 bits.
    if (mType >= eVarTypeFromSource && mType <= eVarTypeSummaryLast)
        return static_cast<std::uint32_t>(mReference);
    return kNoUniqueID;
}

void VariableInfo::AddClasses(const std::set<int>& classes, int numClasses) {
    if (mClasses.empty()) {
        for (int c = 1; c <= numClasses; ++c) mClasses.insert(c);
    }
    mClasses.insert(classes.begin(), classes.end());
}

void VariableInfo::ReferenceFromPrimaryID() {
    if (mReference >= 1 || mSourceModel < 1) return;
    const char* id = GetPrimaryAlias();
    int model = 0;
    int component = 0;
    if (std::sscanf(id, "$M%i.t%i", &model, &component) == 2) {
        mReference = component;
        mType = eVarTypeScore;
    } else if (std::sscanf(id, "$M%i.XVarRes%i", &model, &component) == 2) {
        mReference = component;
        mType = eVarTypeXResidual;
    }
}

bool VariableInfo::ZStreamableStartWrite(std::ostream& os) {
    if (mSectionDone) return true;
    mSectionDone = true;
    if (!StreamData().Write(os) || !VarObsInfo::ZStreamableStartWrite(os)) return false;
    OutputStreamDirectory directory(os, kSubStreams);
    WriteToStream(mUnit, directory.GetOutput(kUnit));
    WriteToStream(static_cast<short>(mBlock), directory.GetOutput(kBlock));
    WriteToStream(mRecipe, directory.GetOutput(kRecipe));
    WriteToStream(mSourceModel, directory.GetOutput(kSourceModel));
    WriteToStream(static_cast<short>(mType), directory.GetOutput(kType));
    WriteToStream(mReference, directory.GetOutput(kReference));
    WriteToStream(mClasses, directory.GetOutput(kClasses));
    WriteToStream(mTreatment, directory.GetOutput(kTreatment));
    WriteToStream(mMaturity, directory.GetOutput(kMaturity));
    directory.Close();
    return os.good();
}

bool VariableInfo::ZStreamableStartRead(std::istream& is) {
    if (mSectionDone) return true;
    mSectionDone = true;
    int version = 0;
    if (!StreamData().Check(is, &version)) return false;
    mMaturity = -99.0f;
    mType = eVarTypeDefault;
    if (!VarObsInfo::ZStreamableStartRead(is)) return false;
    if (version != kCurrentVersion) return false;

    try {
        InputStreamDirectory directory(is);
        ReadFromStreamDir(mUnit, directory, kUnit, true);
        short block = 0;
        ReadFromStreamDir(block, directory, kBlock, true);
        mBlock = static_cast<EVariableBlock>(block);
        ReadFromStreamDir(mRecipe, directory, kRecipe, true);
        ReadFromStreamDir(mSourceModel, directory, kSourceModel, true);
        short type = 0;
        ReadFromStreamDir(type, directory, kType, true);
        mType = static_cast<EVariableType>(type);
        ReadFromStreamDir(mReference, directory, kReference, true);

        std::set<int> classes;
        if (ReadFromStreamDir(classes, directory, kClasses, false)) mClasses.insert(classes.begin(), classes.end());
        else mClasses.clear();
        ReferenceFromPrimaryID();

        if (!ReadFromStreamDir(mTreatment, directory, kTreatment, false)) mTreatment = kDefaultTreatment;
        if (!ReadFromStreamDir(mMaturity, directory, kMaturity, false)) mMaturity = -99.0f;
        directory.Close();
    } catch (const ZoStreamError&) {
        return false;
    }
    return is.good();
}

void VariableInfo::ZStreamableReset() {
    mSectionDone = false;
    VarObsInfo::ZStreamableReset();
}
