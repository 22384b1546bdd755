#include "centering/LocalCenteringInfo.h"

#include <cmath>
#include <limits>
#include <memory>

#include "centering/AVGLocalCenteringInfo.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"
#include "interfaces/utility/ConfigurationSection.h"
#include "interfaces/utility/Exception.h"
#include "varobs/VariableInfo.h"

using nc::kMissingValue;

namespace {
enum SubStream : int { kCentres = 0, kCenterID = 1, kHasPhases = 2, kSubStreamCount = 3 };

// "FULL_LCI" version 1; the version read is not checked.
const Section& StreamSection() {
    static const Section section("FULL_LCI", 1, kSubStreamCount, SectionRules().AnyVersion());
    return section;
}

// Names in the configuration section.
constexpr const char* kLocalCenteringSection = "LocalCentering";
constexpr const char* kEntrySection = "LCData";
constexpr const char* kCentreKey = "Center";
constexpr const char* kBatchKey = "Batch";
constexpr const char* kPhaseKey = "Phase";
constexpr const char* kVariableKey = "Variable";

constexpr const char* kUnknownVariableMessage =
    "Local centering information was found for an unknown variable.\n"
    "Re-importing the local centering information might solve the problem.";

// A number from a settings file as a centre: beyond the float range it becomes an infinity
// rather than an undefined conversion.
float ToCentre(double value) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (std::isfinite(value) && std::fabs(value) > largest)
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}
}  // namespace

const ZStreamableData& LocalCenteringInfo::StreamData() { return StreamSection().Data(); }

LocalCenteringInfo::LocalCenteringInfo(int centerID, bool hasPhases) : mCenterID(centerID), mHasPhases(hasPhases) {}

LocalCenteringInfo::~LocalCenteringInfo() = default;

void LocalCenteringInfo::AddData(const char* batch, const char* phase, const char* variable, float centre) {
    mCentres[IndexTrippel(batch, phase, variable)] = centre;
}

float LocalCenteringInfo::GetData(const char* batch, const char* phase, const char* variable) const {
    const auto found = mCentres.find(IndexTrippel(batch, mHasPhases ? phase : "", variable));
    return found == mCentres.end() ? kMissingValue : found->second;
}

void LocalCenteringInfo::Save(ConfigurationSection* section) const {
    if (!section) return;
    ConfigurationSection* root = section->GetSubSection(kLocalCenteringSection, true);
    if (!root) return;
    int index = 0;
    for (const auto& [triple, centre] : mCentres) {
        ConfigurationSection* entry = root->GetSubSection(kEntrySection, index++);
        if (!entry) entry = root->AddSubSection(kEntrySection);
        if (!entry) return;
        entry->SetDouble(kCentreKey, centre);
        entry->SetText(kBatchKey, triple.GetBatch());
        entry->SetText(kPhaseKey, triple.GetPhase());
        entry->SetText(kVariableKey, triple.GetVariable());
    }
}

void LocalCenteringInfo::Load(ConfigurationSection* section) {
    mCentres.clear();
    if (!section) return;
    ConfigurationSection* root = section->GetSubSection(kLocalCenteringSection, false);
    if (!root) return;
    const int count = root->CountSubSections(kEntrySection);
    for (int index = 0; index < count; ++index) {
        const ConfigurationSection* entry = root->GetSubSection(kEntrySection, index);
        if (!entry) continue;
        double centre = kMissingValue;
        CString batch;
        CString phase;
        CString variable;
        entry->GetDouble(kCentreKey, centre);
        entry->GetText(kBatchKey, batch);
        entry->GetText(kPhaseKey, phase);
        entry->GetText(kVariableKey, variable);
        AddData(batch, phase, variable, ToCentre(centre));
    }
}

AVGLocalCenteringInfo* LocalCenteringInfo::BuildDefLocalCenteringInfo(
    const std::vector<VariableInfo*>* variables) const {
    auto averages = std::make_unique<AVGLocalCenteringInfo>(mHasPhases);
    std::map<CString, unsigned long> uniqueIDs;
    if (variables) {
        for (const VariableInfo* variable : *variables)
            if (variable) uniqueIDs.emplace(variable->GetPrimaryAlias(), variable->GetUniqueID());
    }

    // The triple order puts the centres of one phase and variable next to each other.
    for (auto group = mCentres.begin(); group != mCentres.end();) {
        double sum = 0.0;
        int count = 0;
        auto next = group;
        for (; next != mCentres.end() && next->first.HasPhaseAndVariableOf(group->first); ++next) {
            if (next->second == kMissingValue) continue;
            sum += next->second;
            ++count;
        }
        const IndexTrippel& key = group->first;
        const auto found = uniqueIDs.find(key.GetVariable());
        if (found == uniqueIDs.end()) throw Exception(kUnknownVariableMessage);
        if (count != 0)
            averages->AddData(key.GetPhase(), found->second, static_cast<float>(sum / count));
        else if (next != mCentres.end())
            averages->AddData(key.GetPhase(), found->second, kMissingValue);
        group = next;
    }
    return averages.release();
}

bool LocalCenteringInfo::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; },
        [&](SectionOutput& out) {
            out.Write(kCentres, mCentres);
            out.Write(kCenterID, mCenterID);
            out.Write(kHasPhases, mHasPhases);
        });
}

bool LocalCenteringInfo::ZStreamableStartRead(std::istream& is) {
    return StreamSection().Read(
        is, mSection, [] { return true; },
        [&](SectionInput& in) {
            TrippelMap read;
            in.Required(kCentres, read);
            mCentres.insert(read.begin(), read.end());
            in.Optional(kCenterID, mCenterID, -1);
            in.Optional(kHasPhases, mHasPhases, true);
        });
}
