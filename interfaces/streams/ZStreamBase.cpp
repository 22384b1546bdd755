#include "interfaces/streams/ZStreamBase.h"

#include <cstdint>
#include <cstring>
#include <istream>
#include <ostream>

#include "interfaces/utility/BinaryIO.h"

namespace {
// No tag of this library is longer; a longer length means this is not a tag at all.
constexpr std::uint32_t kLongestTag = 64;

bool ReadTag(std::istream& is, const char* expected, int& version) {
    std::uint32_t length = 0;
    if (!ReadFourBytes(&length, 1, is)) return false;
    if (length > kLongestTag) return false;
    char text[kLongestTag];
    if (!ReadBytes(text, length, is)) return false;
    std::int32_t stored = 0;
    if (!ReadFourBytes(&stored, 1, is)) return false;
    const std::size_t expectedLength = std::strlen(expected);
    if (length != expectedLength || std::memcmp(text, expected, length) != 0) return false;
    version = stored;
    return true;
}
}  // namespace

bool ZStreamBase::ZStreamableStartWrite(std::ostream& os) { return os.good(); }

bool ZStreamBase::ZStreamableStartRead(std::istream& is) { return is.good(); }

std::ostream& operator<<(std::ostream& os, const ZStreamBase& object) {
    // Writing changes only pass bookkeeping (section flags, dirty flags), never the content.
    auto& writable = const_cast<ZStreamBase&>(object);
    const bool ok = os.good() && writable.ZStreamableStartWrite(os);
    writable.ZStreamableReset();
    if (!ok) os.setstate(std::ios_base::failbit);
    return os;
}

std::istream& operator>>(std::istream& is, ZStreamBase& object) {
    const bool ok = is.good() && object.ZStreamableStartRead(is);
    object.ZStreamableReset();
    if (!ok) is.setstate(std::ios_base::failbit);
    return is;
}

bool ZStreamableData::Write(std::ostream& os) const {
    return ZStreamLight::WriteMagicStringAndVersionNumber(os, mVersion, mTag.c_str());
}

bool ZStreamableData::Check(std::istream& is, int* versionRead) const {
    int version = 0;
    if (!ReadTag(is, mTag.c_str(), version)) return false;
    mLastRead.store(version);
    if (versionRead) *versionRead = version;
    return true;
}

ZStreamableData::Presence ZStreamableData::CheckOrPutBack(std::istream& is, int* versionRead) const {
    const std::istream::pos_type tagAt = is.tellg();
    if (Check(is, versionRead)) return Presence::Found;
    if (tagAt == std::istream::pos_type(-1)) return Presence::Unreadable;
    is.clear();
    return is.seekg(tagAt) ? Presence::Absent : Presence::Unreadable;
}

namespace ZStreamLight {

bool WriteMagicStringAndVersionNumber(std::ostream& os, int version, const char* tag) {
    WriteBinaryString(tag, os);
    const std::int32_t stored = version;
    return WriteFourBytes(&stored, 1, os);
}

bool CheckMagicStringAndVersionNumber(std::istream& is, int& version, const char* tag) {
    return ReadTag(is, tag ? tag : "", version);
}

}  // namespace ZStreamLight
