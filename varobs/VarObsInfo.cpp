#include "varobs/VarObsInfo.h"

#include <algorithm>
#include <typeinfo>

#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/utility/ZoString.h"
#include "interfaces/streams/streamhelpers.h"
#include "varobs/VarObsInfoAccess.h"

namespace {
constexpr int kCurrentVersion = 3;
constexpr int kSubStreams = 2;
}  // namespace

const ZStreamableData& VarObsInfo::StreamData() {
    static const ZStreamableData data(kCurrentVersion, "VOI");
    return data;
}

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
    if (mSectionDone) return true;
    mSectionDone = true;
    if (!StreamData().Write(os) || !ZStreamBase::ZStreamableStartWrite(os)) return false;
    OutputStreamDirectory directory(os, kSubStreams);
    WriteToStream(mIDs, directory.GetOutput(0));
    WriteToStream(mUniqueID, directory.GetOutput(1));
    directory.Close();
    return os.good();
}

bool VarObsInfo::ZStreamableStartRead(std::istream& is) {
    if (mSectionDone) return true;
    mSectionDone = true;
    int version = 0;
    if (!StreamData().Check(is, &version) || !ZStreamBase::ZStreamableStartRead(is)) return false;
    if (static_cast<unsigned>(version) > static_cast<unsigned>(kCurrentVersion)) return false;
    if (version < kCurrentVersion) return is.good();

    InputStreamDirectory directory(is);
    std::istream* ids = directory.GetInput(0);
    if (!ids) return false;
    mIDs.clear();
    if (!ReadFromStream(mIDs, *ids, false)) return false;
    if (!ReadFromStreamDir(mUniqueID, directory, 1, false)) return false;
    directory.Close();
    return is.good();
}

void VarObsInfo::ZStreamableReset() {
    mSectionDone = false;
    ZStreamBase::ZStreamableReset();
}
