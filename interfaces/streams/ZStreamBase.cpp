#include "interfaces/streams/ZStreamBase.h"

#include <cstdint>
#include <cstring>
#include <istream>
#include <ostream>

#include "interfaces/utility/BinaryIO.h"

namespace {
// No tag of this library is longer; a longer length means this is not a tag at all.
constexpr std::uint32_t kLongestTag = 64;

std::uint32_t Little32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

void PutLittle32(char* into, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) into[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool ReadTag(std::istream& is, const char* expected, int& version) {
    std::uint32_t length = 0;
    if (!ReadFourBytes(&length, 1, is)) return false;
    if (length > kLongestTag) return false;
    // The tag's text and the version in one read.
    char text[kLongestTag + 4];
    if (!ReadBytes(text, length + 4, is)) return false;
    const auto stored = static_cast<std::int32_t>(Little32(text + length));
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
    const char* text = tag ? tag : "";
    const std::size_t length = std::strlen(text);
    if (length > kLongestTag) {
        // No reader takes such a tag; written all the same, as any string.
        WriteBinaryString(text, os);
        const std::int32_t stored = version;
        return WriteFourBytes(&stored, 1, os);
    }
    // Length, text and version in one write.
    char framed[4 + kLongestTag + 4];
    PutLittle32(framed, static_cast<std::uint32_t>(length));
    std::memcpy(framed + 4, text, length);
    PutLittle32(framed + 4 + length, static_cast<std::uint32_t>(static_cast<std::int32_t>(version)));
    return WriteBytes(framed, 4 + length + 4, os);
}

bool CheckMagicStringAndVersionNumber(std::istream& is, int& version, const char* tag) {
    return ReadTag(is, tag ? tag : "", version);
}

}  // namespace ZStreamLight
