#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "interfaces/streams/Section.h"
#include "tests/TestStreams.h"

namespace {

// A persistent base with one required field.
class Instrument : public virtual ZStreamBase {
public:
    CString name = "unnamed";

    bool ZStreamableStartWrite(std::ostream& os) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
        return Sections().Write(os, mSection, bases, [&](SectionOutput& out) { out.Write(0, name); });
    }
    bool ZStreamableStartRead(std::istream& is) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
        return Sections().Read(is, mSection, bases, [&](SectionInput& in) { in.Required(0, name); });
    }
    void ZStreamableReset() override { mSection.Reset(); }

    static const Section& Sections() {
        static const Section section("INSTR", 1, 1);
        return section;
    }

private:
    SectionFlag mSection;
};

// Version 3 with sub-streams 0, 1 and 3 (3 came with version 3); reads versions 2 and 3. The
// rules and what an older stream leaves are set per test.
class Gauge : public Instrument {
public:
    int count = 0;
    std::vector<float> limits;
    float scale = 1.0f;
    bool writeScale = true;
    bool throwInFields = false;

    explicit Gauge(const Section& section) : mSectionInfo(section) {}

    bool ZStreamableStartWrite(std::ostream& os) override {
        const auto bases = [&] { return Instrument::ZStreamableStartWrite(os); };
        return mSectionInfo.Write(os, mSection, bases, [&](SectionOutput& out) {
            out.Write(0, count);
            out.Write(1, limits);
            if (writeScale) out.Write(3, scale);
        });
    }
    bool ZStreamableStartRead(std::istream& is) override {
        const auto bases = [&] { return Instrument::ZStreamableStartRead(is); };
        const auto fields = [&](SectionInput& in) {
            in.Required(0, count);
            if (throwInFields) throw std::runtime_error("not a stream error");
            in.Required(1, limits);
            in.Optional(3, scale, 1.0f);
        };
        const auto olderStream = [&](bool basesRead) {
            count = -1;
            return basesRead;
        };
        if (mAddedLater) return mSectionInfo.ReadOrBasesOnly(is, mSection, bases, olderStream, fields);
        return mSectionInfo.Read(is, mSection, bases, fields);
    }
    void ZStreamableReset() override {
        mSection.Reset();
        Instrument::ZStreamableReset();
    }
    void SetAddedLater() { mAddedLater = true; }

private:
    const Section& mSectionInfo;
    SectionFlag mSection;
    bool mAddedLater = false;
};

const Section& AfterBases() {
    static const Section section("GAUGE", 3, 4, SectionRules().AcceptsFrom(2));
    return section;
}
const Section& BeforeBases() {
    static const Section section("GAUGE", 3, 4, SectionRules().AcceptsFrom(2).VersionBeforeBases());
    return section;
}
const Section& CatchingAll() {
    static const Section section("GAUGE", 3, 4, SectionRules().AcceptsFrom(2).CatchAnyException());
    return section;
}

Gauge MakeGauge(const Section& section = AfterBases()) {
    Gauge gauge(section);
    gauge.name = "G7";
    gauge.count = 12;
    gauge.limits = {-1.5f, 99.0f};
    gauge.scale = 0.25f;
    return gauge;
}

using nctest::ReadObject;
using nctest::WriteObject;

// The GAUGE section with the given version and sub-streams, written without the helper.
std::string HandWritten(int version, bool withLimits, bool withScale) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, version, "GAUGE");
    Instrument base;
    base.name = "G7";
    os << base;
    OutputStreamDirectory directory(os, 4);
    WriteToStream(12, directory.GetOutput(0));
    if (withLimits) WriteToStream(std::vector<float>{-1.5f, 99.0f}, directory.GetOutput(1));
    if (withScale) WriteToStream(0.25f, directory.GetOutput(3));
    directory.Close();
    return os.str();
}

std::string WithVersion(std::string bytes, int version) {
    const std::int32_t stored = version;
    std::ostringstream os;
    WriteFourBytes(&stored, 1, os);
    bytes.replace(4 + 5, 4, os.str());  // after the tag's length and "GAUGE"
    return bytes;
}

}  // namespace

TEST(Section, WritesTagVersionBasesAndDirectoryOncePerPass) {
    Gauge gauge = MakeGauge();
    const std::string bytes = WriteObject(gauge);
    EXPECT_EQ(bytes, HandWritten(3, true, true));

    std::ostringstream os;
    ASSERT_TRUE(gauge.ZStreamableStartWrite(os));
    const std::size_t once = os.str().size();
    EXPECT_TRUE(gauge.ZStreamableStartWrite(os)) << "an object reached again in the pass";
    EXPECT_EQ(os.str().size(), once);
    gauge.ZStreamableReset();
    gauge.ZStreamableStartWrite(os);
    EXPECT_EQ(os.str().size(), 2 * once);

    Gauge copy(AfterBases());
    ASSERT_TRUE(ReadObject(bytes, copy));
    EXPECT_EQ(copy.name, CString("G7"));
    EXPECT_EQ(copy.count, 12);
    EXPECT_EQ(copy.limits, gauge.limits);
    EXPECT_EQ(copy.scale, 0.25f);
}

TEST(Section, RequiredAndOptionalSubStreams) {
    Gauge older(AfterBases());
    older.scale = 7.0f;
    ASSERT_TRUE(ReadObject(HandWritten(3, true, false), older));
    EXPECT_EQ(older.scale, 1.0f) << "an absent optional field takes its default";

    // A missing required field fails the read; the fields read before keep their new values.
    Gauge missing(AfterBases());
    missing.limits = {5.0f};
    EXPECT_FALSE(ReadObject(HandWritten(3, false, true), missing));
    EXPECT_EQ(missing.count, 12);
    EXPECT_EQ(missing.limits, std::vector<float>{5.0f});

    // A short required field fails too; a cut anywhere never reads as a whole section.
    const std::string bytes = WriteObject(MakeGauge());
    int successes = 0;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        Gauge target(AfterBases());
        if (ReadObject(bytes.substr(0, length), target)) ++successes;
    }
    EXPECT_EQ(successes, 0);
}

TEST(Section, VersionsAreReadOneWayForEveryClass) {
    const std::string bytes = HandWritten(3, true, true);
    Gauge target(AfterBases());
    EXPECT_TRUE(ReadObject(WithVersion(bytes, 2), target)) << "the oldest accepted version";
    for (const int refused : {-1, -3, 1, 4, 0x7FFFFFFF}) {
        Gauge after(AfterBases());
        EXPECT_FALSE(ReadObject(WithVersion(bytes, refused), after)) << refused;
        EXPECT_EQ(after.name, CString("G7")) << "checked after the bases: they are read";
        EXPECT_EQ(after.count, 0);

        Gauge before(BeforeBases());
        EXPECT_FALSE(ReadObject(WithVersion(bytes, refused), before)) << refused;
        EXPECT_EQ(before.name, CString("unnamed")) << "checked before the bases: nothing is read";
    }
}

TEST(Section, SectionAddedLaterReadsOlderStreamsThroughTheBases) {
    Instrument base;
    base.name = "old";
    Gauge gauge(AfterBases());
    gauge.SetAddedLater();
    std::istringstream is(WriteObject(base) + WriteObject(base));
    is >> gauge;
    ASSERT_TRUE(is.good());
    EXPECT_EQ(gauge.name, CString("old"));
    EXPECT_EQ(gauge.count, -1) << "what the older stream leaves";
    Instrument next;
    is >> next;
    EXPECT_TRUE(is.good()) << "the reader stops after the base section";

    Gauge found(AfterBases());
    found.SetAddedLater();
    ASSERT_TRUE(ReadObject(WriteObject(MakeGauge()), found));
    EXPECT_EQ(found.count, 12);
}

TEST(Section, OnlyStreamErrorsFailTheReadUnlessTheRulesSayAny) {
    const std::string bytes = WriteObject(MakeGauge());
    Gauge strict(AfterBases());
    strict.throwInFields = true;
    std::istringstream is(bytes);
    EXPECT_THROW(strict.ZStreamableStartRead(is), std::runtime_error);

    Gauge lenient(CatchingAll());
    lenient.throwInFields = true;
    EXPECT_FALSE(ReadObject(bytes, lenient));
}

TEST(Section, FlagsStartUnsetInCopiesUnlessTheyAreCarried) {
    SectionFlag flag;
    ASSERT_TRUE(flag.Enter());
    EXPECT_FALSE(flag.Enter());
    const SectionFlag copy(flag);
    EXPECT_FALSE(copy.IsSet());
    flag.Reset();
    EXPECT_TRUE(flag.Enter());

    CopiedSectionFlag carried;
    carried.Enter();
    CopiedSectionFlag other(carried);
    EXPECT_TRUE(other.IsSet());
    other.Reset();
    carried = other;
    EXPECT_FALSE(carried.IsSet());
}

TEST(Section, AnyVersionReadsTheFieldsWhateverVersionTheStreamStates) {
    static const Section anyVersion("GAUGE", 3, 4, SectionRules().AnyVersion().FieldsFrom(3));
    for (const int version : {-1, 0, 1, 3, 4, 0x7FFFFFFF}) {
        Gauge target(anyVersion);
        EXPECT_TRUE(ReadObject(WithVersion(HandWritten(3, true, true), version), target)) << version;
        EXPECT_EQ(target.count, 12) << version;
        EXPECT_EQ(target.scale, 0.25f) << version;
    }
}
