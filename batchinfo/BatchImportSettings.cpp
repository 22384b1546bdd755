#include "batchinfo/BatchImportSettings.h"

#include <memory>
#include <set>
#include <utility>

#include "batchinfo/ClassInfoVector.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"
#include "varobs/NCVariables.h"
#include "varobs/VariableInfo.h"

using nc::kNoUniqueID;

namespace {
enum SubStream : int {
    kProjectType = 0,
    kBatchIDImportColumn = 1,
    kPhaseIDImportColumn = 2,
    kBLPhaseNames = 3,
    kBatchID = 5,  // sub-stream 4 stays empty
    kPhaseID = 6,
    kSmoothed = 7,
    kDefaultPhases = 8,
    kColumnConcatenations = 9,
    kHasBeenDownSized = 10,
    kDownSizeHeader = 11,
    kDownSizeInterval = 12,
    kSubStreamCount = 13
};

// "WSINFO" version 2; only version 2 is read.
const Section& StreamSection() {
    static const Section section("WSINFO", 2, kSubStreamCount);
    return section;
}
}  // namespace

const ZStreamableData& BatchImportSettings::StreamData() { return StreamSection().Data(); }

void BatchImportSettings::Reset(bool keepProjectType) {
    mBatchID = -1;
    mPhaseID = -1;
    mBatchIDImportColumn = -1;
    mPhaseIDImportColumn = -1;
    mBLPhaseNames = NCStringVector();
    if (!keepProjectType) {
        mProjectType = eProjectTypeDefault;
        mColumnConcatenations.clear();
    }
    SetDefaultClassInfoVector(nullptr);
    mSmoothed.clear();
    mHasBeenDownSized = false;
    mDownSizeHeader = 1;
    mDownSizeInterval = 1;
}

const ClassInfoVector* BatchImportSettings::GetDefaultClassInfoVector(bool requirePhases) const {
    if (requirePhases && mPhaseID < 1) return nullptr;
    return mDefaultPhases.get();
}

ClassInfoVector* BatchImportSettings::GetDefaultClassInfoVector(bool requirePhases) {
    if (requirePhases && mPhaseID < 1) return nullptr;
    return mDefaultPhases.get();
}

void BatchImportSettings::SetDefaultClassInfoVector(const ClassInfoVector* phases) {
    if (phases == mDefaultPhases.get()) return;
    if (phases)
        mDefaultPhases.reset(std::make_unique<ClassInfoVector>(*phases));
    else
        mDefaultPhases.reset();
}

bool BatchImportSettings::IsSmoothed(unsigned long id) const {
    for (const auto& entry : mSmoothed)
        if (entry.second == id) return true;
    return false;
}

unsigned long BatchImportSettings::GetSmoothed(unsigned long id) const {
    for (const auto& entry : mSmoothed)
        if (entry.second == id) return entry.first;
    return kNoUniqueID;
}

unsigned long BatchImportSettings::GetSourceVar(unsigned long id, const NCVariables* variables) const {
    const auto found = mSmoothed.find(id);
    if (found == mSmoothed.end() || !variables || !(*variables)[found->second]) return kNoUniqueID;
    return found->second;
}

void BatchImportSettings::IncludeNewVar(unsigned long newID, unsigned long sourceID, const NCVariables* variables,
                                        bool smoothed, bool include, bool time) {
    if (!variables) return;
    // The collection is the caller's to change; only its records' blocks, types and units change.
    VariableInfo* created = const_cast<VariableInfo*>((*variables)[newID]);
    if (!created) return;
    created->SetIncluded(include);

    const bool hasSource = sourceID != kNoUniqueID;
    if (mPhaseID > 0 && mDefaultPhases) {
        for (const auto& phase : *mDefaultPhases) {
            if (!phase) continue;
            phase->SetIncluded(newID, include);
            if (time) {
                const bool takesYRole = phase->GetYVariableID() == kNoUniqueID;
                if (takesYRole) phase->SetYVariableID(newID);
                phase->SetIncluded(newID, takesYRole);
            } else if (include && hasSource) {
                phase->SetIncluded(newID, phase->IsIncluded(sourceID));
                phase->SetIncluded(sourceID, false);
                if (phase->GetYVariableID() == sourceID) phase->SetYVariableID(newID);
            }
        }
    }

    VariableInfo* source = hasSource ? const_cast<VariableInfo*>((*variables)[sourceID]) : nullptr;
    if (source) {
        if (include) source->SetIncluded(false);
        created->SetVariableType(source->GetVariableType());
        created->SetUnit(source->GetUnit());
        if (smoothed) mSmoothed[newID] = sourceID;
    } else if (time) {
        std::set<int> classes;
        created->SetVariableBlock(variables->IncludedYExsists(classes) ? eBlockExcludedY : eBlockY);
    }
}

void BatchImportSettings::ExcludeVar(unsigned long id, const NCVariables* variables) {
    mSmoothed.erase(id);
    if (variables) {
        if (VariableInfo* variable = const_cast<VariableInfo*>((*variables)[id])) variable->SetIncluded(false);
    }
    if (mDefaultPhases) {
        for (const auto& phase : *mDefaultPhases)
            if (phase) phase->SetIncluded(id, false);
    }
}

bool BatchImportSettings::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; },
        [&](SectionOutput& out) {
            out.Write(kProjectType, static_cast<short>(mProjectType));
            out.Write(kBatchIDImportColumn, mBatchIDImportColumn);
            out.Write(kPhaseIDImportColumn, mPhaseIDImportColumn);
            out.Write(kBLPhaseNames, mBLPhaseNames);
            out.Write(kBatchID, mBatchID);
            out.Write(kPhaseID, mPhaseID);
            out.Write(kSmoothed, mSmoothed);
            if (mDefaultPhases) out.Write(kDefaultPhases, *mDefaultPhases);
            out.Write(kColumnConcatenations, mColumnConcatenations);
            out.Write(kHasBeenDownSized, mHasBeenDownSized);
            out.Write(kDownSizeHeader, mDownSizeHeader);
            out.Write(kDownSizeInterval, mDownSizeInterval);
        });
}

bool BatchImportSettings::ZStreamableStartRead(std::istream& is) {
    const auto defaults = [&] {
        Reset(false);
        mSmoothed.clear();
        mColumnConcatenations.clear();
        return true;
    };
    return StreamSection().Read(is, mSection, defaults, [&](SectionInput& in) {
        short projectType = 0;
        in.Required(kProjectType, projectType);
        mProjectType = static_cast<EProjectType>(projectType);
        in.Required(kBatchIDImportColumn, mBatchIDImportColumn);
        in.Required(kPhaseIDImportColumn, mPhaseIDImportColumn);
        in.Required(kBLPhaseNames, mBLPhaseNames);
        in.Required(kBatchID, mBatchID);
        in.Required(kPhaseID, mPhaseID);
        in.Required(kSmoothed, mSmoothed);
        ClassInfoVector phases;
        if (in.Optional(kDefaultPhases, phases))
            mDefaultPhases.reset(std::make_unique<ClassInfoVector>(std::move(phases)));
        in.Required(kColumnConcatenations, mColumnConcatenations);
        in.Optional(kHasBeenDownSized, mHasBeenDownSized, false);
        in.Optional(kDownSizeHeader, mDownSizeHeader, 1);
        in.Optional(kDownSizeInterval, mDownSizeInterval, 1);
    });
}
