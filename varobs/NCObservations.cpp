#include "varobs/NCObservations.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <utility>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/streams/Section.h"
#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/LanguageString.h"

namespace {

// "NCO" version 1, two sub-streams. Versions 0 and 1 are read; the version is checked before the
// "VO" part. Streams written before this section existed hold only "VO".
const Section& StreamSection() {
    static const Section section("NCO", 1, 2, SectionRules().AcceptsFrom(0).VersionBeforeBases());
    return section;
}

}  // namespace

NCObservations::NCObservations() = default;

NCObservations::~NCObservations() = default;

const ZStreamableData& NCObservations::StreamData() { return StreamSection().Data(); }

ObservationInfo* NCObservations::Add(ObservationInfo* rec, InfosByUserID* index) {
    if (rec) VarObs::Add(rec, index);
    NoteAdded(rec);
    return rec;
}

ObservationInfo* NCObservations::Add(std::unique_ptr<ObservationInfo> rec, InfosByUserID* index) {
    ObservationInfo* const record = rec.get();
    if (record) VarObs::Add(std::move(rec), index);
    NoteAdded(record);
    return record;
}

void NCObservations::NoteAdded(const ObservationInfo* rec) {
    mBatchNameList.Clear();
    const int batchAlias = GetRawBatchID();
    if (rec && batchAlias >= 1) {
        const char* batch = rec->GetUserID(batchAlias);
        // Most records belong to a batch already known: found without making a string.
        if (*batch != '\0' && mKnownBatchNames.find(batch) == mKnownBatchNames.end()) mKnownBatchNames.insert(batch);
    }
}

const ObservationInfo* NCObservations::FindObservationInfo(unsigned long uniqueID) const {
    const VarObsInfo* record = FindVarObsInfo(uniqueID);
    return record ? record->AsObservationInfo() : nullptr;
}

const ObservationInfo* NCObservations::operator[](unsigned long uniqueID) const {
    return FindObservationInfo(uniqueID);
}

ObservationInfo* NCObservations::operator[](unsigned long uniqueID) {
    // The collection owns its records as modifiable objects; only the lookup is const.
    return const_cast<ObservationInfo*>(FindObservationInfo(uniqueID));
}

boost::shared_ptr<InfosByUserID> NCObservations::GetInfosByUserID(int alias) const {
    return VarObs::GetInfosByUserID(alias);
}

const NCStringVector* NCObservations::GetAllKnownBatchNames() const {
    if (static_cast<std::size_t>(mBatchNameList.Size()) != mKnownBatchNames.size()) {
        mBatchNameList.Clear();
        for (const std::string& name : mKnownBatchNames) mBatchNameList.push_back(name.c_str());
    }
    return &mBatchNameList;
}

std::vector<int> NCObservations::GetAllUsedAliases() const {
    std::vector<int> aliases;
    const int count = SizeAliases();
    for (int alias = 1; alias <= count; ++alias) {
        if (alias == 2 && GetRawBatchID() < 1) continue;
        if (alias == 3 && GetRawPhaseID() < 1) continue;
        aliases.push_back(alias);
    }
    return aliases;
}

std::string NCObservations::GetIDLabelDescription(int alias) const {
    if (alias == 1) return LanguageString::Get(nc::LanguageText::kObservationPrimaryIDDescription).GetString();
    CString text;
    text.Format(LanguageString::Get(nc::LanguageText::kObservationIDDescription), GetIDLabelRaw(alias).c_str());
    return text.GetString();
}

void NCObservations::FixBatchNames() {
    mKnownBatchNames.clear();
    mBatchNameList.Clear();
    const int batchAlias = GetRawBatchID();
    if (batchAlias < 1) return;
    for (const auto& entry : *this) {
        if (!entry.second) continue;
        const char* batch = entry.second->GetUserID(batchAlias);
        // Most records belong to a batch already known: found without making a string.
        if (*batch != '\0' && mKnownBatchNames.find(batch) == mKnownBatchNames.end()) mKnownBatchNames.insert(batch);
    }
}

bool NCObservations::ZStreamableStartWrite(std::ostream& os) {
    const auto bases = [&] { return VarObs::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        std::ostream& names = out.Stream(1);
        const auto count = static_cast<std::int32_t>(mKnownBatchNames.size());
        WriteFourBytes(&count, 1, names);
        for (const std::string& name : mKnownBatchNames) WriteBinaryString(name.c_str(), names);
    });
}

bool NCObservations::ReadBatchNames(SectionInput& in) {
    std::istream* input = in.FindStream(1);
    if (!input) return false;
    std::int32_t count = 0;
    if (!ReadFourBytes(&count, 1, *input)) return false;
    if (count <= 0) return true;
    if (!CanStillRead(*input, static_cast<std::uint64_t>(count) * 4)) return false;
    std::vector<std::string> names;
    names.reserve(StreamBytesLeft(*input) >= 0 ? static_cast<std::size_t>(count) : 0);
    for (std::int32_t i = 0; i < count; ++i) {
        std::string name;
        if (!ReadBinaryString(name, *input)) return false;
        names.push_back(std::move(name));
    }
    mKnownBatchNames.insert(names.begin(), names.end());
    return true;
}

bool NCObservations::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] { return VarObs::ZStreamableStartRead(is); };
    const auto olderStream = [&](bool basesRead) {
        FixBatchNames();
        return basesRead;
    };
    return StreamSection().ReadOrBasesOnly(is, mSection, bases, olderStream, [&](SectionInput& in) {
        mBatchNameList.Clear();
        if (!ReadBatchNames(in)) FixBatchNames();
    });
}

void NCObservations::ZStreamableReset() {
    mSection.Reset();
    VarObs::ZStreamableReset();
}
