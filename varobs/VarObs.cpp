#include "varobs/VarObs.h"

#include <boost/thread/lock_guard.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/Exception.h"
#include "interfaces/utility/LanguageString.h"
#include "interfaces/utility/ZoString.h"
#include "varobs/RecordReader.h"
#include "varobs/RecordWriter.h"
#include "varobs/SelectedLabel.h"
#include "varobs/VarObsInfo.h"

using nc::kMissingValue;
using nc::kNoUniqueID;

const char* const VarObs::mszBatchIDString = "$BatchID";
const char* const VarObs::mszPhaseIDString = "$PhaseID";
const char* const VarObs::mszMaturityIDString = "$MaturityID";
const char* const VarObs::mszSourceIDString = "$SourceID";
const char* const VarObs::mszClassIDString = "$ClassID";
const char* const VarObs::mszOriginalIDString = "$Original ID";

namespace {

// "VO" version 2, eight sub-streams; only version 2 is read. Reading the records may raise more
// than a ZoStreamError (the factory's Exception): any exception fails the read.
const Section& StreamSection() {
    static const Section section("VO", 2, 8, SectionRules().CatchAnyException());
    return section;
}

// A non-empty text that zostrtod converts as a whole.
bool IsWhollyNumeric(const char* text) {
    if (!text || !*text) return false;
    char* end = nullptr;
    zostrtod(text, &end);
    return end && end != text && *end == '\0';
}

int PositionIn(const std::vector<int>& aliases, int alias) {
    const auto found = std::find(aliases.begin(), aliases.end(), alias);
    return found == aliases.end() ? -1 : static_cast<int>(found - aliases.begin()) + 1;
}

}  // namespace

const ZStreamableData& VarObs::StreamData() { return StreamSection().Data(); }

VarObs::VarObs()
    : mLabels{LanguageString::Get(nc::LanguageText::kPrimaryIDLabel)},
      mSelectedLabel(std::make_unique<SelectedLabel>()),
      mNumeral(2, false) {}

VarObs::~VarObs() { DestroyRecords(); }

void VarObs::DestroyRecords() {
    for (auto& entry : mRecords) delete entry.second;
    mRecords.clear();
}

// ---- records ----------------------------------------------------------------------------------

int VarObs::GetNumberOfVarObs() const { return static_cast<int>(mRecords.size()); }
int VarObs::size() const { return GetNumberOfVarObs(); }
VarObs::iterator VarObs::Begin() { return mRecords.begin(); }
VarObs::iterator VarObs::End() { return mRecords.end(); }
VarObs::const_iterator VarObs::Begin() const { return mRecords.begin(); }
VarObs::const_iterator VarObs::End() const { return mRecords.end(); }

const VarObsInfo* VarObs::First() const { return mRecords.empty() ? nullptr : mRecords.begin()->second; }

const VarObsInfo* VarObs::Next(const VarObsInfo* rec) const {
    if (!rec) return nullptr;
    auto found = mRecords.find(rec->GetUniqueID());
    if (found == mRecords.end() || found->second != rec) return nullptr;
    ++found;
    return found == mRecords.end() ? nullptr : found->second;
}

const VarObsInfo* VarObs::operator[](unsigned long uniqueID) const { return FindVarObsInfo(uniqueID); }
VarObsInfo* VarObs::operator[](unsigned long uniqueID) { return FindVarObsInfo(uniqueID); }

const VarObsInfo* VarObs::FindVarObsInfo(unsigned long uniqueID) const {
    const auto found = mRecords.find(uniqueID);
    return found == mRecords.end() ? nullptr : found->second;
}

VarObsInfo* VarObs::FindVarObsInfo(unsigned long uniqueID) {
    return const_cast<VarObsInfo*>(static_cast<const VarObs&>(*this).FindVarObsInfo(uniqueID));
}

unsigned long VarObs::GetLastUsedID() const {
    auto below = mRecords.lower_bound(kNoUniqueID);
    if (below == mRecords.begin()) return kNoUniqueID;
    --below;
    return below->first;
}

bool VarObs::IsDirty() const { return mDirty; }
void VarObs::SetIsDirty(bool dirty) { mDirty = dirty; }

VarObsInfo* VarObs::Add(VarObsInfo* record, InfosByUserID* index) {
    std::unique_ptr<VarObsInfo> owned(record);
    try {
        return Adopt(owned, index);
    } catch (...) {
        owned.release();  // refused: the record stays the caller's
        throw;
    }
}

VarObsInfo* VarObs::Add(std::unique_ptr<VarObsInfo> record, InfosByUserID* index) { return Adopt(record, index); }

VarObsInfo* VarObs::Adopt(std::unique_ptr<VarObsInfo>& owned, InfosByUserID* index) {
    if (!owned) return nullptr;
    const unsigned long uniqueID = owned->GetUniqueID();
    // New records usually come with the highest unique ID yet: then they go last without a search.
    auto at = mRecords.end();
    if (!mRecords.empty() && mRecords.rbegin()->first >= uniqueID) at = mRecords.lower_bound(uniqueID);
    if (at != mRecords.end() && at->first == uniqueID)
        throw Exception(ZoString::Format("The unique ID %lu is already in use.", uniqueID));

    if (index) {
        const CString unique = GetUniquePrimaryID(owned->GetUserID(1), *index, nullptr);
        owned->SetUserID(unique, 1, nullptr);
    }
    mRecords.emplace_hint(at, uniqueID, owned.get());
    VarObsInfo* const record = owned.release();
    ClearInfosByUserID();
    if (index) index->AddInfo(record, 1);
    SetIsDirty(true);

    if (record->GetNumIDs() > mAliasCount) {
        GrowAliases(record->GetNumIDs());
        Set_ID_Labels(&mLabels);
    }
    for (int alias = 1; alias <= mAliasCount; ++alias) {
        if (!mNumeral[alias] && IsWhollyNumeric(record->GetUserID(alias))) mNumeral[alias] = true;
    }
    return record;
}

bool VarObs::AddUserID(const char* text, unsigned long uniqueID) {
    VarObsInfo* record = FindVarObsInfo(uniqueID);
    if (!record) return false;
    // Growing the record's ID list may move its primary ID text, which the cached index points at.
    ClearInfosByUserID();
    record->AddID(CString(text));
    if (record->GetNumIDs() > mAliasCount) GrowAliases(record->GetNumIDs());
    SetIsDirty(true);
    return true;
}

void VarObs::DeleteObsInfos(NCIntegralVector<unsigned long, 0>& uniqueIDs) {
    const int count = static_cast<int>(uniqueIDs.size());
    if (count == 0) return;
    ClearInfosByUserID();
    for (int i = 1; i <= count; ++i) {
        const auto found = mRecords.find(uniqueIDs[i]);
        if (found == mRecords.end()) continue;
        delete found->second;
        mRecords.erase(found);
    }
    SetIsDirty(true);
}

// ---- alias columns ------------------------------------------------------------------------------

void VarObs::GrowAliases(int count) {
    if (count <= mAliasCount) return;
    mNumeral.resize(static_cast<std::size_t>(count) + 1, false);
    mAliasCount = count;
}

int VarObs::SizeAliases() const { return mAliasCount; }

CString VarObs::GetIDLabelRaw(int alias) const {
    if (alias < 1 || alias > mAliasCount || alias > static_cast<int>(mLabels.size())) return CString();
    return mLabels[alias - 1];
}

std::vector<int> VarObs::GetAllUsedAliases() const {
    std::vector<int> aliases(static_cast<std::size_t>(mAliasCount));
    for (int k = 1; k <= mAliasCount; ++k) aliases[k - 1] = k;
    return aliases;
}

void VarObs::Set_ID_Labels(const std::vector<CString>* labels) {
    SetIsDirty(true);
    const int given = labels ? static_cast<int>(labels->size()) : 0;
    if (given > mAliasCount) GrowAliases(given);

    std::vector<CString> fresh;
    fresh.reserve(static_cast<std::size_t>(mAliasCount));
    fresh.push_back(LanguageString::Get(nc::LanguageText::kPrimaryIDLabel));
    const int current = static_cast<int>(mLabels.size());
    for (int k = 2; k <= mAliasCount; ++k) {
        if (k <= given && !(*labels)[k - 1].IsEmpty()) {
            fresh.push_back((*labels)[k - 1]);
        } else if (k <= current) {
            fresh.push_back(mLabels[k - 1]);
        } else if (k <= given) {
            fresh.push_back((*labels)[k - 1]);
        } else {
            CString label;
            label.Format(LanguageString::Get(nc::LanguageText::kDefaultIDLabel), k);
            fresh.push_back(label);
        }
    }
    mLabels.swap(fresh);
}

void VarObs::SetIDLabel(int alias, const char* text) {
    if (alias < 1 || alias > mAliasCount || alias > static_cast<int>(mLabels.size())) return;
    mLabels[alias - 1] = CString(text);
}

int VarObs::AddSecondaryID(const char* label) {
    mLabels.emplace_back(label);
    mAliasCount = static_cast<int>(mLabels.size());
    // One false flag for the new column (the array follows the alias count).
    mNumeral.resize(static_cast<std::size_t>(mAliasCount) + 1, false);
    mNumeral[mAliasCount] = false;
    mDirty = true;
    return mAliasCount;
}

void VarObs::RemoveSecondaryID(const char* label) {
    const CString wanted(label);
    const auto found = std::find(mLabels.begin(), mLabels.end(), wanted);
    if (found != mLabels.end()) {
        const int alias = static_cast<int>(found - mLabels.begin()) + 1;
        mLabels.erase(found);
        mAliasCount = std::max(1, static_cast<int>(mLabels.size()));
        if (alias < static_cast<int>(mNumeral.size())) mNumeral.erase(mNumeral.begin() + alias);
        mNumeral.resize(static_cast<std::size_t>(mAliasCount) + 1, false);
        // The cached index points at the primary IDs, which move when alias 1 goes.
        if (alias == 1) ClearInfosByUserID();
        for (auto& entry : mRecords) entry.second->RemoveID(alias);
    }
    SetIsDirty(true);
}

bool VarObs::IsIDNumeral(int alias) const {
    if (alias < 1 || alias > mAliasCount) return false;
    return mNumeral[alias];
}

bool VarObs::HasNumeralIDs() const {
    for (int alias = 1; alias <= mAliasCount; ++alias)
        if (mNumeral[alias]) return true;
    return false;
}

void VarObs::UpdateIDNumericalState(int alias) {
    if (alias < 1 || alias > mAliasCount) return;
    mNumeral[alias] = false;
    for (const auto& entry : mRecords) {
        if (IsWhollyNumeric(entry.second->GetUserID(alias))) {
            mNumeral[alias] = true;
            return;
        }
    }
}

void VarObs::UpdateAllIDNumericalState() {
    for (int alias = 1; alias <= mAliasCount; ++alias) UpdateIDNumericalState(alias);
}

void VarObs::SetIDIsNumeral(int alias, bool numeral) {
    if (alias < 1 || alias > mAliasCount) return;
    mNumeral[alias] = numeral;
}

NCDataVector<float> VarObs::GetNumeralValues(int alias, const NCIntegralVector<unsigned long, 0>* uniqueIDs) const {
    const int count = uniqueIDs ? static_cast<int>(uniqueIDs->size()) : 0;
    NCDataVector<float> values(count);
    for (int i = 1; i <= count; ++i) {
        const VarObsInfo* record = FindVarObsInfo((*uniqueIDs)[i]);
        values(i, record ? record->GetUserFloatID(alias) : kMissingValue);
    }
    return values;
}

// ---- batch and phase ------------------------------------------------------------------------------

void VarObs::SetBatchID(int alias) { mBatchAlias = alias; }
void VarObs::SetPhaseID(int alias) { mPhaseAlias = alias; }
bool VarObs::HasBatches() const { return mBatchAlias >= 1; }
bool VarObs::HasPhases() const { return mPhaseAlias >= 1; }
int VarObs::GetBatchID(const std::vector<int>& aliases) const { return PositionIn(aliases, mBatchAlias); }
int VarObs::GetPhaseID(const std::vector<int>& aliases) const { return PositionIn(aliases, mPhaseAlias); }
int VarObs::GetRawBatchID() const { return mBatchAlias; }
int VarObs::GetRawPhaseID() const { return mPhaseAlias; }

// ---- ID index -----------------------------------------------------------------------------------

boost::shared_ptr<InfosByUserID> VarObs::GetInfosByUserID(int alias) const {
    const boost::lock_guard<boost::mutex> guard(mIndexLock);
    if (alias == 1 && mInfosByUserID) return mInfosByUserID;

    boost::shared_ptr<InfosByUserID> index(new InfosByUserID());
    index->Reserve(mRecords.size());
    for (const auto& entry : mRecords) index->AppendUnsorted(entry.second, entry.second->GetUserID(alias));
    index->SortAndCheckUniqueness();
    if (alias == 1) mInfosByUserID = index;
    return index;
}

void VarObs::ClearInfosByUserID() {
    const boost::lock_guard<boost::mutex> guard(mIndexLock);
    mInfosByUserID.reset();
}

CString VarObs::GetUniquePrimaryID(const char* base, const InfosByUserID& index, std::set<std::string>* extra) {
    const std::string stem = base ? base : "";
    const auto inUse = [&](const std::string& candidate) {
        return index.Contains(candidate.c_str()) || (extra && extra->count(candidate) != 0);
    };
    std::string candidate = stem;
    for (int counter = 1; inUse(candidate); ++counter) candidate = stem + "_" + std::to_string(counter);
    return CString(std::move(candidate));
}

SelectedLabel& VarObs::GetSelectedLabel() { return *mSelectedLabel; }
const SelectedLabel& VarObs::GetSelectedLabel() const { return *mSelectedLabel; }

// ---- "VO" section -----------------------------------------------------------------------------------

bool VarObs::ZStreamableStartWrite(std::ostream& os) {
    // Marked clean only by the pass that writes the section whole, not by a later visit.
    const bool firstVisit = !mSection.IsSet();
    const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
    const bool ok = StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        bool recordsWritten = true;
        out.Write(0, static_cast<int>(mRecords.size()));
        out.Write(1, mAliasCount);
        std::ostream& flags = out.Stream(2);
        for (int alias = 1; alias <= mAliasCount; ++alias) WriteToStream(static_cast<bool>(mNumeral[alias]), flags);
        out.Write(3, mLabels);
        if (!mRecords.empty()) {
            std::ostream& records = out.Stream(4);
            RecordWriter writer;
            for (const auto& entry : mRecords)
                if (!writer.Write(*entry.second, records)) {
                    recordsWritten = false;
                    break;
                }
        }
        out.Write(5, *mSelectedLabel);
        out.Write(6, mBatchAlias);
        out.Write(7, mPhaseAlias);
        return recordsWritten;
    });
    if (ok && firstVisit) SetIsDirty(false);
    return ok;
}

bool VarObs::ZStreamableStartRead(std::istream& is) {
    const bool firstVisit = !mSection.IsSet();
    const auto bases = [&] {
        ClearInfosByUserID();
        return ZStreamBase::ZStreamableStartRead(is);
    };
    const bool ok = StreamSection().Read(is, mSection, bases, [&](SectionInput& in) {
        mLabels.clear();
        DestroyRecords();
        mBatchAlias = -1;
        mPhaseAlias = -1;
        int recordCount = 0;
        int aliasCount = 0;
        in.Required(0, recordCount);
        in.Required(1, aliasCount);
        if (recordCount < 0 || aliasCount < 1) return false;

        std::istream& flags = in.Stream(2);
        if (!CanStillRead(flags, static_cast<std::uint64_t>(aliasCount))) return false;
        std::vector<bool> numeral;
        numeral.reserve(std::min<std::size_t>(static_cast<std::size_t>(aliasCount) + 1, 65536));
        numeral.push_back(false);
        for (int alias = 1; alias <= aliasCount; ++alias) {
            std::uint8_t byte = 0;
            if (!ReadBytes(&byte, 1, flags)) return false;
            numeral.push_back(byte != 0);
        }
        mNumeral.swap(numeral);
        mAliasCount = aliasCount;

        in.Optional(3, mLabels);

        if (recordCount > 0) {
            std::istream& records = in.Stream(4);
            RecordReader reader;
            for (int i = 0; i < recordCount; ++i) {
                std::unique_ptr<VarObsInfo> record = reader.Read(records);
                if (!record) return false;
                // Written in ascending unique ID: the end is where each record goes, found at once.
                const auto stored = mRecords.emplace_hint(mRecords.end(), record->GetUniqueID(), record.get());
                if (stored->second != record.get()) return false;  // a unique ID held twice
                record.release();
            }
        }
        in.Required(5, *mSelectedLabel);
        in.Optional(6, mBatchAlias);
        in.Optional(7, mPhaseAlias);
        return true;
    });
    if (ok && firstVisit) SetIsDirty(false);
    return ok;
}

void VarObs::ZStreamableReset() {
    mSection.Reset();
    ZStreamBase::ZStreamableReset();
}
