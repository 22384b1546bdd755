// The section helper writes and reads every persistent class, so its layout, its versions, its
// optional and required fields and older layouts are covered through those classes (the golden
// files, SectionVersionsTest and the older-layout tests of each class). These are the parts that
// no class of the library shows.

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>

#include "interfaces/streams/Section.h"
#include "tests/TestStreams.h"

namespace {

// A section of one field whose reading may then throw an exception that is not a stream error.
class Probe : public virtual ZStreamBase {
public:
    explicit Probe(const Section& section) : mSectionInfo(section) {}

    int value = 0;
    bool throwInFields = false;

    bool ZStreamableStartWrite(std::ostream& os) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
        return mSectionInfo.Write(os, mSection, bases, [&](SectionOutput& out) { out.Write(0, value); });
    }
    bool ZStreamableStartRead(std::istream& is) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
        return mSectionInfo.Read(is, mSection, bases, [&](SectionInput& in) {
            in.Required(0, value);
            if (throwInFields) throw std::runtime_error("not a stream error");
        });
    }
    void ZStreamableReset() override { mSection.Reset(); }

private:
    const Section& mSectionInfo;
    SectionFlag mSection;
};

TEST(Section, OnlyStreamErrorsFailTheReadUnlessTheRulesSayAny) {
    static const Section strictSection("PROBE", 1, 1);
    static const Section lenientSection("PROBE", 1, 1, SectionRules().CatchAnyException());
    Probe written(strictSection);
    written.value = 12;
    const std::string bytes = nctest::WriteObject(written);

    Probe strict(strictSection);
    strict.throwInFields = true;
    std::istringstream is(bytes);
    EXPECT_THROW(strict.ZStreamableStartRead(is), std::runtime_error);

    Probe lenient(lenientSection);
    lenient.throwInFields = true;
    EXPECT_FALSE(nctest::ReadObject(bytes, lenient));
    EXPECT_EQ(lenient.value, 12) << "the fields read before the failure keep their new values";
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

}  // namespace
