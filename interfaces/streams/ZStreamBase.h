#pragma once
// ZStreamBase: the base of every persistent class.
//
// A persistent class writes one tagged, versioned section: its tag and version, the sections of
// its persistent bases, then its own fields in a stream directory. Each class keeps its own
// section flag so that an object reached twice in one pass (through two bases) is handled once;
// ZStreamableReset clears the flags after the pass. The whole-object operators below do the start
// and the reset; callers judge success by the stream's state.

#include <atomic>
#include <iosfwd>
#include <string>

class ZStreamBase {
public:
    virtual ~ZStreamBase() = default;

    // Writes the object's sections; the base part itself holds no bytes. True when the stream is good.
    virtual bool ZStreamableStartWrite(std::ostream& os);
    // Reads the object's sections; false when a section is not the expected one or is damaged.
    virtual bool ZStreamableStartRead(std::istream& is);
    // Clears the section flags set by the last pass.
    virtual void ZStreamableReset() {}

protected:
    ZStreamBase() = default;
    ZStreamBase(const ZStreamBase&) = default;
    ZStreamBase& operator=(const ZStreamBase&) = default;
};

// Writes one whole object (start, then reset); sets failbit when the write reports failure.
std::ostream& operator<<(std::ostream& os, const ZStreamBase& object);
// Reads one whole object (start, then reset); sets failbit when the read reports failure.
std::istream& operator>>(std::istream& is, ZStreamBase& object);

// The tag and current version of one persistent class; one static instance per class.
class ZStreamableData {
public:
    ZStreamableData(int version, const char* tag) : mVersion(version), mTag(tag ? tag : "") {}

    // Writes the tag (a binary string) and the current version (4 bytes).
    bool Write(std::ostream& os) const;
    // Reads a tag and version; false when the stream is short or the tag is not this class's.
    // The version read is stored in *versionRead (thread safe) and kept for GetZStreamVersionNumber.
    bool Check(std::istream& is, int* versionRead = nullptr) const;

    // For a class whose section was added after streams holding the class already existed:
    // Found when the tag is there (as Check); Absent when it is not, with the stream put back to
    // where the tag was expected so that the older layout can be read; Unreadable when the tag
    // is not there and the stream cannot be put back.
    enum class Presence { Found, Absent, Unreadable };
    Presence CheckOrPutBack(std::istream& is, int* versionRead) const;

    // The version that Check read last, on any thread; prefer Check's out-parameter.
    int GetZStreamVersionNumber() const { return mLastRead.load(); }
    int GetMyZStreamVersionNumber() const { return mVersion; }
    const char* GetTag() const { return mTag.c_str(); }

private:
    int mVersion;
    std::string mTag;
    mutable std::atomic<int> mLastRead{0};
};

// The same tag-and-version pair for nested records that are not persistent objects.
namespace ZStreamLight {
bool WriteMagicStringAndVersionNumber(std::ostream& os, int version, const char* tag);
// False when the stream is short or holds another tag; `version` receives the version read.
bool CheckMagicStringAndVersionNumber(std::istream& is, int& version, const char* tag);
}  // namespace ZStreamLight
