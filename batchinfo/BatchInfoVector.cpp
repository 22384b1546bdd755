#include "batchinfo/BatchInfoVector.h"

#include <memory>
#include <utility>

#include "dataset/NCProjectBase.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "varobs/NCVariables.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

#include "interfaces/streams/Section.h"

using nc::kMissingValue;

namespace {
enum SubStream : int {
    kBatches = 0,
    kLegacyNames = 1,  // read only
    kLegacyKinds = 2,  // read only
    kBCVariableIDs = 3,
    kSubStreamCount = 5  // sub-stream 4 stays empty
};

// "BI" version 2; only version 2 is read.
const Section& StreamSection() {
    static const Section section("BI", 2, kSubStreamCount);
    return section;
}
}  // namespace

const ZStreamableData& BatchInfoVector::StreamData() { return StreamSection().Data(); }

BatchInfoVector::BatchInfoVector() = default;

BatchInfoVector::BatchInfoVector(const BatchInfoVector& other)
    : ZStreamBase(other), mBCVariableIDs(other.mBCVariableIDs) {
    mBatches.reserve(other.mBatches.size());
    for (const value_type& batch : other.mBatches) mBatches.push_back(batch ? batch->Clone() : value_type());
}

BatchInfoVector& BatchInfoVector::operator=(const BatchInfoVector& other) {
    if (this == &other) return *this;
    BatchInfoVector copy(other);
    mBatches.swap(copy.mBatches);
    mBCVariableIDs = std::move(copy.mBCVariableIDs);
    mLegacyNames = NCStringVector();
    mLegacyKinds.clear();
    return *this;
}

BatchInfoVector::~BatchInfoVector() = default;

NCStringVector BatchInfoVector::GetBatchNames() const {
    NCStringVector names;
    names.Reserve(static_cast<int>(mBatches.size()));
    for (const value_type& batch : mBatches) names.push_back(batch ? batch->GetBatchName().GetString().c_str() : "");
    return names;
}

void BatchInfoVector::OBSOLETE_SetConditions(const NCStringVector& names, const std::vector<int>& kinds) {
    mLegacyNames = names;
    mLegacyKinds = kinds;
}

bool BatchInfoVector::operator==(const BatchInfoVector& other) const {
    if (mBatches.size() != other.mBatches.size() || mBCVariableIDs != other.mBCVariableIDs) return false;
    for (std::size_t i = 0; i < mBatches.size(); ++i) {
        const BatchInfo* mine = mBatches[i].get();
        const BatchInfo* theirs = other.mBatches[i].get();
        if (!mine || !theirs) {
            if (mine != theirs) return false;
        } else if (*mine != *theirs) {
            return false;
        }
    }
    return true;
}

bool BatchInfoVector::UpdateBCIDsVectorFormat(NCProjectBase& project, const NCStringVector* names) {
    if (!mBCVariableIDs.empty()) return true;

    NCVariables& variables = project.GetVariables();
    // New primary IDs are made unique against the existing variables.
    const boost::shared_ptr<InfosByUserID> index = variables.GetInfosByUserID(1);

    const NCStringVector conditionNames = names ? *names : mLegacyNames;
    std::vector<int> kinds = names ? std::vector<int>() : mLegacyKinds;
    kinds.resize(static_cast<std::size_t>(conditionNames.Size()), eLegacyQuantitative);

    int qualitativeSeen = 0;
    for (int i = 1; i <= conditionNames.Size(); ++i) {
        const CString name(conditionNames[i]);
        const int kind = kinds[static_cast<std::size_t>(i - 1)];
        std::unique_ptr<VariableInfo> variable;
        if (kind == eLegacyQualitative) {
            ++qualitativeSeen;
            NCStringVector categories;
            for (const value_type& batch : mBatches) {
                if (!batch) continue;
                const NCStringVector& texts = batch->mQualitativeValues;
                if (texts.Size() < qualitativeSeen) return false;
                const char* text = texts[qualitativeSeen];
                float code = kMissingValue;
                if (*text != '\0') {
                    int position = categories.FindString(text, false);
                    if (position == 0) {
                        categories.push_back(text);
                        position = categories.Size();
                    }
                    code = static_cast<float>(position);
                }
                // A batch whose quantitative values stop short gets missing values up to here.
                NCDataVector<float>& values = batch->mConditionValues;
                if (values.size() < i - 1) values.InsertValues(values.size() + 1, i - 1 - values.size(), kMissingValue);
                values.InsertValues(i, 1, code);
            }
            variable = std::make_unique<QualitativeVariableInfo>(
                name, project.GetNewUniqueID(nc::UniqueIDKind::kRecord), &categories, CString());
        } else {
            variable = std::make_unique<QuantitativeVariableInfo>(
                name, project.GetNewUniqueID(nc::UniqueIDKind::kRecord), CString(), -1, -1, eVarTypeDefault);
            if (kind == eLegacyResponse) variable->SetVariableBlock(eBlockY);
        }
        variable->SetVariableType(eVarTypeBatchCondition);
        const unsigned long uniqueID = variable->GetUniqueID();
        variables.Add(std::move(variable), index.get());
        mBCVariableIDs.push_back(uniqueID);
    }
    mLegacyNames = NCStringVector();
    mLegacyKinds.clear();
    return true;
}

bool BatchInfoVector::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; },
        [&](SectionOutput& out) {
            out.Write(kBatches, mBatches);
            out.Write(kBCVariableIDs, mBCVariableIDs);
        });
}

bool BatchInfoVector::ZStreamableStartRead(std::istream& is) {
    const auto defaults = [&] {
        mBCVariableIDs = NCIntegralVector<unsigned long, 0>();
        return true;
    };
    return StreamSection().Read(is, mSection, defaults, [&](SectionInput& in) {
        in.Required(kBatches, mBatches);
        in.Required(kBCVariableIDs, mBCVariableIDs);
        in.Optional(kLegacyNames, mLegacyNames, NCStringVector());
        in.Optional(kLegacyKinds, mLegacyKinds, std::vector<int>());
    });
}
