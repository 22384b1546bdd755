#include "varobs/VariableInfo.h"

#include <cstdint>
#include <cstdio>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"

using nc::kNoUniqueID;

namespace {
constexpr int kDefaultTreatment = 8;
constexpr float kDefaultMaturity = -99.0f;

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

// "VIO" version 4, twelve sub-streams; only version 4 is read.
const Section& StreamSection() {
    static const Section section("VIO", 4, 12);
    return section;
}
}  // namespace

const ZStreamableData& VariableInfo::StreamData() { return StreamSection().Data(); }

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
        if (mBlock == eBlockExcludedX)
            mBlock = eBlockX;
        else if (mBlock == eBlockExcludedY)
            mBlock = eBlockY;
    } else {
        if (mBlock == eBlockX)
            mBlock = eBlockExcludedX;
        else if (mBlock == eBlockY)
            mBlock = eBlockExcludedY;
    }
}

bool VariableInfo::IsHierarchical() const {
    return mType == eVarTypeScore || mType == eVarTypeXResidual ||
           (mType >= eVarTypeHierarchicalFirst && mType <= eVarTypeHierarchicalLast);
}

int VariableInfo::GetComponent() const { return IsHierarchical() || mType == eVarTypeComponent ? mReference : -1; }

int VariableInfo::GetDAClass() const { return mType == eVarTypeDAClass ? mReference : -1; }

unsigned long VariableInfo::GetSourceVariable() const {
    // The reference holds the unique ID's 32 bits.
    if (mType >= eVarTypeFromSource && mType <= eVarTypeSummaryLast) return static_cast<std::uint32_t>(mReference);
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
    const auto bases = [&] { return VarObsInfo::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        out.Write(kUnit, mUnit);
        out.Write(kBlock, static_cast<short>(mBlock));
        out.Write(kRecipe, mRecipe);
        out.Write(kSourceModel, mSourceModel);
        out.Write(kType, static_cast<short>(mType));
        out.Write(kReference, mReference);
        out.Write(kClasses, mClasses);
        out.Write(kTreatment, mTreatment);
        out.Write(kMaturity, mMaturity);
    });
}

bool VariableInfo::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] {
        mMaturity = kDefaultMaturity;
        mType = eVarTypeDefault;
        return VarObsInfo::ZStreamableStartRead(is);
    };
    return StreamSection().Read(is, mSection, bases, [&](SectionInput& in) {
        in.Required(kUnit, mUnit);
        short block = 0;
        in.Required(kBlock, block);
        mBlock = static_cast<EVariableBlock>(block);
        in.Required(kRecipe, mRecipe);
        in.Required(kSourceModel, mSourceModel);
        short type = 0;
        in.Required(kType, type);
        mType = static_cast<EVariableType>(type);
        in.Required(kReference, mReference);

        std::set<int> classes;
        if (in.Optional(kClasses, classes))
            mClasses.insert(classes.begin(), classes.end());
        else
            mClasses.clear();
        ReferenceFromPrimaryID();

        in.Optional(kTreatment, mTreatment, kDefaultTreatment);
        in.Optional(kMaturity, mMaturity, kDefaultMaturity);
    });
}

void VariableInfo::ZStreamableReset() {
    mSection.Reset();
    VarObsInfo::ZStreamableReset();
}
