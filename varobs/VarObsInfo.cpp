#include "varobs/VarObsInfo.h"

#include <algorithm>
#include <typeinfo>

#include "interfaces/streams/Section.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/ZoString.h"
#include "varobs/VarObsInfoAccess.h"

namespace {
// "VOI" version 3, two sub-streams. Versions 0 to 2 are read but carry no fields of their own.
const Section& StreamSection() {
    static const Section section("VOI", 3, 2, SectionRules().AcceptsFrom(0).FieldsFrom(3));
    return section;
}
}  // namespace

const ZStreamableData& VarObsInfo::StreamData() { return StreamSection().Data(); }

VarObsInfo::VarObsInfo() = default;

VarObsInfo::VarObsInfo(const CString& id, unsigned long uniqueID) : mUniqueID(uniqueID), mIDs{id} {}

VarObsInfo::VarObsInfo(const std::vector<CString>& ids, unsigned long uniqueID) : mUniqueID(uniqueID), mIDs(ids) {}

VarObsInfo::VarObsInfo(const VarObsInfo& other) = default;

VarObsInfo& VarObsInfo::operator=(const VarObsInfo& other) = default;

VarObsInfo::~VarObsInfo() = default;

const VariableInfo* VarObsInfo::AsVariableInfo() const { return nullptr; }

const ObservationInfo* VarObsInfo::AsObservationInfo() const { return nullptr; }

bool VarObsInfo::operator==(const VarObsInfo& other) const {
    if (typeid(*this) != typeid(other)) return false;
    if (mIDs.empty() || other.mIDs.empty()) return mIDs.empty() && other.mIDs.empty();
    return mIDs.front().CompareNoCase(other.mIDs.front()) == 0;
}

const char* VarObsInfo::GetUserID(int i) const {
    if (i < 1 || i > GetNumIDs()) return "";
    return mIDs[static_cast<std::size_t>(i - 1)].c_str();
}

float VarObsInfo::GetUserFloatID(int i) const {
    float value = -99.0f;
    if (i < 1 || i > GetNumIDs()) return value;
    ZoString::ToFloat(GetUserID(i), value);
    return value;
}

void VarObsInfo::SetUserID(const CString& text, int i, VarObsInfoAccess* owner) {
    if (i < 1) return;
    if (GetNumIDs() < i) mIDs.resize(static_cast<std::size_t>(i));
    if (owner) {
        owner->ClearInfosByUserID();
        float number = 0.0f;
        if (ZoString::ToFloat(text, number)) owner->SetIDIsNumeral(i, true);
    }
    mIDs[static_cast<std::size_t>(i - 1)] = text;
}

int VarObsInfo::AddID(const CString& text) {
    mIDs.push_back(text);
    return GetNumIDs();
}

void VarObsInfo::RemoveID(int i) {
    if (i < 1 || i > GetNumIDs()) return;
    mIDs.erase(mIDs.begin() + (i - 1));
}

void VarObsInfo::InsertID(int i, const char* text) {
    if (i < 1) return;
    if (GetNumIDs() < i - 1) mIDs.resize(static_cast<std::size_t>(i - 1));
    mIDs.insert(mIDs.begin() + (i - 1), CString(text));
}

void VarObsInfo::MoveID(int from, int to) {
    const int count = GetNumIDs();
    if (from < 1 || from > count || to < 1 || to > count || from == to) return;
    CString moved = std::move(mIDs[static_cast<std::size_t>(from - 1)]);
    mIDs.erase(mIDs.begin() + (from - 1));
    mIDs.insert(mIDs.begin() + (to - 1), std::move(moved));
}

void VarObsInfo::SwapID(int a, int b) {
    if (a < 1 || b < 1) return;
    const int needed = std::max(a, b);
    if (GetNumIDs() < needed) mIDs.resize(static_cast<std::size_t>(needed));
    std::swap(mIDs[static_cast<std::size_t>(a - 1)], mIDs[static_cast<std::size_t>(b - 1)]);
}

bool VarObsInfo::ZStreamableStartWrite(std::ostream& os) {
    const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        out.Write(0, mIDs);
        out.Write(1, mUniqueID);
    });
}

bool VarObsInfo::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
    return StreamSection().Read(is, mSection, bases, [&](SectionInput& in) {
        std::istream& ids = in.Stream(0);
        mIDs.clear();  // refilled from the stream: a damaged list leaves the record without IDs
        ReadFromStream(mIDs, ids, true);
        in.Required(1, mUniqueID);
    });
}

void VarObsInfo::ZStreamableReset() {
    mSection.Reset();
    ZStreamBase::ZStreamableReset();
}
