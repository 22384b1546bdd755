#pragma once
// Section: the one way a persistent class writes and reads its own section.
//
// A section is the class's tag and version, the sections of its persistent bases, then the
// class's own fields in a stream directory of numbered sub-streams. A class states once what
// its section is (one static Section: tag, current version, sub-stream count, reading rules) and
// hands the helper three small lambdas: its bases, its fields, and, for a section added after
// streams holding the class already existed, what an older stream without the tag leaves.
// The helper owns the section flag check, the tag and version, the directory and the handling
// of a failed required field, so a class writes none of them itself:
//
//   // "GAUGE" version 3, four sub-streams; reads versions 2 and 3; sub-stream 3 came with 3.
//   const Section& GaugeSection() {
//       static const Section section("GAUGE", 3, 4, SectionRules().AcceptsFrom(2));
//       return section;
//   }
//   bool Gauge::ZStreamableStartWrite(std::ostream& os) {
//       return GaugeSection().Write(os, mSection, [&] { return Instrument::ZStreamableStartWrite(os); },
//                                   [&](SectionOutput& out) {
//                                       out.Write(0, mName);
//                                       out.Write(1, mLimits);  // a container or persistent object
//                                       out.Write(3, mScale);
//                                   });
//   }
//   bool Gauge::ZStreamableStartRead(std::istream& is) {
//       return GaugeSection().Read(is, mSection, [&] { return Instrument::ZStreamableStartRead(is); },
//                                  [&](SectionInput& in) {
//                                      in.Required(0, mName);        // absent or short: read fails
//                                      in.Required(1, mLimits);
//                                      in.Optional(3, mScale, 1.0f);  // absent or short: 1.0
//                                  });
//   }
//   void Gauge::ZStreamableReset() {
//       mSection.Reset();
//       Instrument::ZStreamableReset();
//   }
//
// A class whose section does not exist yet fails the stream instead of writing nothing:
//   bool ZStreamableStartWrite(std::ostream& os) override { return Section::NotAvailable(os); }
//   bool ZStreamableStartRead(std::istream& is) override { return Section::NotAvailable(is); }
//
// Everything is inline and takes lambdas as template arguments: reading or writing a million
// records through the helper allocates nothing beyond what the fields themselves need.

#include <istream>
#include <ostream>
#include <type_traits>
#include <utility>

#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/ZoStreamError.h"
#include "interfaces/streams/streamhelpers.h"

// How a class reads its section, stated once. The default reads the current version only,
// checks it after the bases, and turns only a ZoStreamError into a failed read.
class SectionRules {
public:
    constexpr SectionRules() = default;

    // Versions `oldest` … current are read; every other version, a negative one included, makes
    // the read fail. `oldest` is 0 or more.
    constexpr SectionRules AcceptsFrom(int oldest) const {
        SectionRules rules = *this;
        rules.mOldest = oldest < 0 ? 0 : oldest;
        return rules;
    }
    // Accepted versions below `version` have no fields of this class: after the bases nothing is
    // read and the result is the stream's state.
    constexpr SectionRules FieldsFrom(int version) const {
        SectionRules rules = *this;
        rules.mFieldsFrom = version;
        return rules;
    }
    // The version is checked before the bases are read, so a refused version changes nothing.
    constexpr SectionRules VersionBeforeBases() const {
        SectionRules rules = *this;
        rules.mBeforeBases = true;
        return rules;
    }
    // The version read is not checked: every version, a negative one included, is read as the
    // current one. For sections whose layout never changed and whose readers never looked.
    constexpr SectionRules AnyVersion() const {
        SectionRules rules = *this;
        rules.mAnyVersion = true;
        return rules;
    }
    // Any exception raised while the fields are read (not only ZoStreamError) fails the read.
    constexpr SectionRules CatchAnyException() const {
        SectionRules rules = *this;
        rules.mCatchAny = true;
        return rules;
    }

private:
    friend class Section;
    int mOldest = -1;  // -1: the current version only
    int mFieldsFrom = 0;
    bool mBeforeBases = false;
    bool mCatchAny = false;
    bool mAnyVersion = false;
};

// The fields of a section being written: sub-stream k of the section's directory.
class SectionOutput {
public:
    explicit SectionOutput(OutputStreamDirectory& directory) : mDirectory(directory) {}

    // Writes one value into sub-stream k (encodings of WriteToStream); each sub-stream once.
    template <typename T>
    void Write(int k, const T& value) {
        WriteToStream(value, mDirectory.GetOutput(k));
    }
    // Sub-stream k for a field written by hand; valid until the next Write or Stream.
    std::ostream& Stream(int k) { return mDirectory.GetOutput(k); }

private:
    OutputStreamDirectory& mDirectory;
};

// The fields of a section being read: sub-stream k of the section's directory. A required field
// that is absent ("ReadFromStreamDir failed") or short ("Error when reading from stream") raises
// a ZoStreamError that the helper turns into a failed read; the fields read before keep their
// new values. A value is replaced only by a complete read.
class SectionInput {
public:
    explicit SectionInput(InputStreamDirectory& directory) : mDirectory(directory) {}

    template <typename T>
    void Required(int k, T& value) {
        ReadFromStreamDir(value, mDirectory, k, true);
    }
    // False, value untouched, when sub-stream k is absent or short.
    template <typename T>
    bool Optional(int k, T& value) {
        return ReadFromStreamDir(value, mDirectory, k, false);
    }
    // As Optional, but stores `fallback` when sub-stream k is absent or short.
    template <typename T, typename U>
    bool Optional(int k, T& value, const U& fallback) {
        if (Optional(k, value)) return true;
        value = fallback;
        return false;
    }
    // Sub-stream k for a field read by hand; an absent one fails the read like a required field.
    std::istream& Stream(int k) {
        std::istream* input = mDirectory.GetInput(k);
        if (!input) throw ZoStreamError("ReadFromStreamDir failed");
        return *input;
    }
    // Sub-stream k for a field read by hand, or null when the section has none.
    std::istream* FindStream(int k) { return mDirectory.GetInput(k); }

private:
    InputStreamDirectory& mDirectory;
};

class Section {
public:
    // `subStreams` is the number of sub-streams the class defines (0 … subStreams-1).
    Section(const char* tag, int version, int subStreams, SectionRules rules = SectionRules())
        : mData(version, tag), mSubStreams(subStreams), mRules(rules) {
        if (mRules.mOldest < 0) mRules.mOldest = version;
    }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    // The tag and current version, as ZStreamableData.
    const ZStreamableData& Data() const { return mData; }

    // Writes the section: true at once when the flag is already set; otherwise the tag and
    // version, then `bases()` (bool), then `fields(SectionOutput&)` (void, or bool where false
    // fails the write) in a directory. True when everything was written and the stream is good.
    template <typename Bases, typename Fields>
    bool Write(std::ostream& os, SectionFlag& flag, Bases&& bases, Fields&& fields) const {
        if (!flag.Enter()) return true;
        if (!mData.Write(os) || !bases()) return false;
        OutputStreamDirectory directory(os, mSubStreams);
        SectionOutput out(directory);
        const bool written = Succeeded(fields, out);
        directory.Close();
        return written && os.good();
    }

    // Reads the section: true at once when the flag is already set; false on another tag (nothing
    // changed), a refused version, a failed `bases()` or a failed field. `bases()` may first set
    // the fields that an older section lacks to their defaults. `fields(SectionInput&)` returns
    // void, or bool where false fails the read. The result is the stream's state after the
    // directory.
    template <typename Bases, typename Fields>
    bool Read(std::istream& is, SectionFlag& flag, Bases&& bases, Fields&& fields) const {
        if (!flag.Enter()) return true;
        int version = 0;
        if (!mData.Check(is, &version)) return false;
        return ReadFound(is, version, bases, fields);
    }

    // As Read, for a section added after streams holding the class already existed: when the tag
    // is not at the reading position, the stream is put back to where it was expected, only
    // `bases()` is read, and `whenAbsent(bool basesRead)` sets the class's fields as such a stream
    // leaves them and gives the result.
    template <typename Bases, typename Absent, typename Fields>
    bool ReadOrBasesOnly(std::istream& is, SectionFlag& flag, Bases&& bases, Absent&& whenAbsent,
                         Fields&& fields) const {
        if (!flag.Enter()) return true;
        int version = 0;
        switch (mData.CheckOrPutBack(is, &version)) {
            case ZStreamableData::Presence::Unreadable:
                return false;
            case ZStreamableData::Presence::Absent: {
                const bool basesRead = bases();
                return whenAbsent(basesRead);
            }
            case ZStreamableData::Presence::Found:
                break;
        }
        return ReadFound(is, version, bases, fields);
    }

    // A section without a directory (the containers): `body(std::ostream&)` writes the fields
    // straight after the bases and its bool is the result.
    template <typename Bases, typename Body>
    bool WritePlain(std::ostream& os, SectionFlag& flag, Bases&& bases, Body&& body) const {
        if (!flag.Enter()) return true;
        if (!mData.Write(os) || !bases()) return false;
        return body(os);
    }
    // Reads a section written by WritePlain; `body(std::istream&)` gives the result.
    template <typename Bases, typename Body>
    bool ReadPlain(std::istream& is, SectionFlag& flag, Bases&& bases, Body&& body) const {
        if (!flag.Enter()) return true;
        int version = 0;
        if (!mData.Check(is, &version)) return false;
        if (!Gate(version, bases)) return false;
        if (!HasFields(version)) return is.good();
        return Guarded([&] { return static_cast<bool>(body(is)); });
    }

    // For a class whose section is not built yet: the write or read fails, with the stream's
    // failbit set, rather than writing nothing and reporting success.
    static bool NotAvailable(std::ostream& os) {
        os.setstate(std::ios_base::failbit);
        return false;
    }
    static bool NotAvailable(std::istream& is) {
        is.setstate(std::ios_base::failbit);
        return false;
    }

private:
    template <typename F, typename Arg>
    static bool Succeeded(F& f, Arg& arg) {
        if constexpr (std::is_void_v<std::invoke_result_t<F&, Arg&>>) {
            f(arg);
            return true;
        } else {
            return static_cast<bool>(f(arg));
        }
    }

    // One comparison for every class: a negative version is never accepted.
    bool Accepts(int version) const {
        if (mRules.mAnyVersion) return true;
        return version >= 0 && version >= mRules.mOldest && version <= mData.GetMyZStreamVersionNumber();
    }

    bool HasFields(int version) const { return mRules.mAnyVersion || version >= mRules.mFieldsFrom; }

    // The version check and the bases, in the class's order.
    template <typename Bases>
    bool Gate(int version, Bases& bases) const {
        if (mRules.mBeforeBases && !Accepts(version)) return false;
        if (!bases()) return false;
        return mRules.mBeforeBases || Accepts(version);
    }

    // Runs a field reader; a ZoStreamError (or, when the rules say so, any exception) is a failed read.
    template <typename F>
    bool Guarded(F&& read) const {
        try {
            return read();
        } catch (const ZoStreamError&) {
            return false;
        } catch (...) {
            if (mRules.mCatchAny) return false;
            throw;
        }
    }

    template <typename Bases, typename Fields>
    bool ReadFound(std::istream& is, int version, Bases& bases, Fields& fields) const {
        if (!Gate(version, bases)) return false;
        if (!HasFields(version)) return is.good();
        return Guarded([&] {
            InputStreamDirectory directory(is);
            SectionInput in(directory);
            if (!Succeeded(fields, in)) return false;
            directory.Close();
            return is.good();
        });
    }

    ZStreamableData mData;
    int mSubStreams;
    SectionRules mRules;
};
