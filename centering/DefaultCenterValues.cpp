#include "centering/DefaultCenterValues.h"

#include <iterator>

#include "interfaces/streams/Section.h"
#include "varobs/ObservationInfo.h"

namespace {
enum SubStream : int { kDefaults = 1, kSubStreamCount = 1 };

// "DCV" version 1, the current version only.
const Section& StreamSection() {
    static const Section section("DCV", 1, kSubStreamCount);
    return section;
}

using Selector = CenteringSelector;
using CenteringSelectors::IsWildcard;
using CenteringSelectors::Wildcard;

// The first element that answers: one with an alias number below 1 at once, otherwise one whose
// name is the text `textOf(alias)` gives.
template <typename TextOf>
float FirstAnswer(const DefaultCenterValues::DefaultList& list, TextOf&& textOf) {
    for (const auto& [selector, value] : list) {
        if (selector.first < 1) return value;
        if (selector.second == textOf(selector.first)) return value;
    }
    return 0.0f;
}
}  // namespace

const ZStreamableData& DefaultCenterValues::StreamData() { return StreamSection().Data(); }

DefaultCenterValues::~DefaultCenterValues() = default;

void DefaultCenterValues::AddVar(unsigned long varID, const UsedCentres& used) {
    DefaultList& list = mDefaults[varID];
    list.clear();
    for (const auto& entry : used) {
        if (!IsWildcard(entry.first.first)) {
            AddBatchDefaults(list, used);
            return;
        }
    }
    const auto global = used.find(std::make_pair(Wildcard(), Wildcard()));
    if (global != used.end()) {
        list.emplace_back(Wildcard(), global->second);
        return;
    }
    float sum = 0.0f;
    int count = 0;
    for (const auto& [selectors, value] : used) {
        if (selectors.second.first == 3) {
            list.emplace_back(selectors.second, value);
        } else {
            sum += value;
            ++count;
        }
    }
    if (count > 0) list.emplace_back(Wildcard(), sum / static_cast<float>(count));
}

void DefaultCenterValues::AddBatchDefaults(DefaultList& list, UsedCentres used) {
    bool hasGlobal = false;
    float global = 0.0f;
    const auto both = used.find(std::make_pair(Wildcard(), Wildcard()));
    if (both != used.end()) {
        hasGlobal = true;
        global = both->second;
    }
    for (auto entry = used.begin(); entry != used.end();)
        entry = IsWildcard(entry->first.first) ? used.erase(entry) : std::next(entry);

    // The map keeps the centres of one outer selector together, so each group is one run.
    for (auto group = used.begin(); group != used.end();) {
        const Selector& outer = group->first.first;
        float sum = 0.0f;
        int count = 0;
        auto next = group;
        for (; next != used.end() && next->first.first == outer; ++next) {
            sum += next->second;
            ++count;
        }
        list.emplace_back(outer, sum / static_cast<float>(count));
        group = next;
    }
    if (hasGlobal) list.emplace_back(Wildcard(), global);
}

float DefaultCenterValues::GetDefaultValue(unsigned long varID, const ObservationInfo& observation) const {
    const auto found = mDefaults.find(varID);
    if (found == mDefaults.end()) return 0.0f;
    const VarObsInfo& record = observation;
    return FirstAnswer(found->second, [&record](int alias) { return record.GetUserID(alias); });
}

float DefaultCenterValues::GetDefaultValue(unsigned long varID, const CString& name) const {
    const auto found = mDefaults.find(varID);
    if (found == mDefaults.end()) return 0.0f;
    const char* text = name;
    return FirstAnswer(found->second, [text](int) { return text; });
}

NCIntegralVector<unsigned long, 0> DefaultCenterValues::GetVariableIDs() const {
    NCIntegralVector<unsigned long, 0> ids;
    ids.reserve(static_cast<int>(mDefaults.size()));
    for (const auto& entry : mDefaults) ids.push_back(entry.first);
    return ids;
}

const DefaultCenterValues::DefaultList* DefaultCenterValues::GetDefaults(unsigned long varID) const {
    const auto found = mDefaults.find(varID);
    return found == mDefaults.end() ? nullptr : &found->second;
}

void DefaultCenterValues::Add(const DefaultCenterValues& other) {
    mDefaults.insert(other.mDefaults.begin(), other.mDefaults.end());
}

bool DefaultCenterValues::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; }, [&](SectionOutput& out) { out.Write(kDefaults, mDefaults); });
}

bool DefaultCenterValues::ZStreamableStartRead(std::istream& is) {
    const auto emptied = [&] {
        mDefaults.clear();
        return true;
    };
    return StreamSection().Read(is, mSection, emptied, [&](SectionInput& in) { in.Required(kDefaults, mDefaults); });
}
