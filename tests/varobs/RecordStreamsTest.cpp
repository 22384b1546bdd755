#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/Exception.h"
#include "tests/TestStreams.h"
#include "tests/varobs/VarObsInfoTestAccess.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/RecordFactory.h"

using nc::kNoUniqueID;

namespace {

using Access = VarObsInfoTestAccess;

std::vector<std::string> IDs(const VarObsInfo& record) {
    std::vector<std::string> ids;
    for (int i = 1; i <= Access::Count(record); ++i) ids.emplace_back(Access::ID(record, i));
    return ids;
}

ObservationInfo MakeObservation() {
    ObservationInfo obs(std::vector<CString>{"Obs 1", "B7", "P2"}, 77);
    obs.SetDefaultClass(3);
    obs.SetBatch(1234);
    return obs;
}

// A "VIO" section over the "VOI" section of `ids` with only the sub-streams `fill` writes.
std::string VariableSection(const VarObsInfo& ids, const std::function<void(OutputStreamDirectory&)>& fill) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, 4, "VIO");
    os << ids;
    {
        OutputStreamDirectory directory(os, 12);
        fill(directory);
    }
    return os.str();
}

}  // namespace

// Plain round trips, also through the factory and of collections mixing record classes, are pinned
// by the golden files.
TEST(RecordStreams, FactoryRefusesUnregisteredClassesAndUnknownNames) {
    std::ostringstream unregistered;
    EXPECT_FALSE(RecordFactory::WriteRecord(VarObsInfo("x", 1), unregistered));
    EXPECT_TRUE(unregistered.fail());
    EXPECT_TRUE(unregistered.str().empty());

    std::ostringstream unknown;
    WriteBinaryString("observationinfo", unknown);  // class names are compared exactly
    std::istringstream unknownIn(unknown.str());
    try {
        RecordFactory::ReadRecord(unknownIn);
        ADD_FAILURE() << "an unknown class name was read";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Internal error: Could not find a factory method for 'observationinfo'.");
    }
}

TEST(RecordStreams, VariableSectionDefaultsAndIDRules) {
    const VarObsInfo ids("v", 5);  // its "VOI" section only
    const auto required = [](OutputStreamDirectory& dir) {
        WriteToStream(CString("kg"), dir.GetOutput(1));
        WriteToStream(static_cast<short>(1), dir.GetOutput(2));
        WriteToStream(CString(""), dir.GetOutput(5));
        WriteToStream(-1, dir.GetOutput(6));
        WriteToStream(static_cast<short>(0), dir.GetOutput(7));
        WriteToStream(-1, dir.GetOutput(8));
    };
    QuantitativeVariableInfo read;
    read.SetClasses({2});
    read.SetTreatment(1);
    read.SetMaturity(4.0f);
    ASSERT_TRUE(nctest::ReadObject(VariableSection(ids, required), read));
    EXPECT_TRUE(read.GetClasses().empty());
    EXPECT_EQ(read.GetTreatment(), 8);
    EXPECT_EQ(read.GetMaturity(), -99.0f);
    EXPECT_EQ(read.GetUnit(), CString("kg"));
    EXPECT_EQ(read.GetVariableBlock(), eBlockY);

    // Without a required sub-stream (here the reference) the read fails without throwing.
    const auto noReference = [](OutputStreamDirectory& dir) {
        WriteToStream(CString("kg"), dir.GetOutput(1));
        WriteToStream(static_cast<short>(1), dir.GetOutput(2));
    };
    QuantitativeVariableInfo failed;
    EXPECT_FALSE(nctest::ReadObject(VariableSection(ids, noReference), failed));

    // Model results of old streams get their type and component from the primary ID.
    const struct {
        const char* id;
        int sourceModel;
        int reference;
        EVariableType type;
        int component;
    } cases[] = {{"$M3.t2", 3, -1, eVarTypeScore, 2},
                 {"$M3.XVarRes4", 3, -1, eVarTypeXResidual, 4},
                 {"$M3.t2", 0, -1, eVarTypeDefault, -1},  // no source model: unchanged
                 {"$M3.t2", 3, 6, eVarTypeComponent, 6},  // a reference already set: unchanged
                 {"$M3.q2", 3, -1, eVarTypeDefault, -1}};
    for (const auto& c : cases) {
        const EVariableType stored = c.reference >= 1 ? eVarTypeComponent : eVarTypeDefault;
        QuantitativeVariableInfo var(c.id, 1, "", c.sourceModel, c.reference, stored);
        QuantitativeVariableInfo copy;
        ASSERT_TRUE(nctest::ReadObject(nctest::WriteObject(var), copy)) << c.id;
        EXPECT_EQ(copy.GetVariableType(), c.type) << c.id;
        EXPECT_EQ(copy.GetComponent(), c.component) << c.id;
    }
}

TEST(RecordStreams, OlderObservationStreamWithoutItsOwnSection) {
    const VarObsInfo old(std::vector<CString>{"Obs", "B"}, 31);
    const std::string bytes = nctest::WriteObject(old) + nctest::WriteObject(MakeObservation());
    std::istringstream is(bytes);
    ObservationInfo first;
    first.SetDefaultClass(5);
    first.SetBatch(9);
    ObservationInfo second;
    is >> first >> second;
    ASSERT_FALSE(is.fail());
    EXPECT_EQ(IDs(first), (std::vector<std::string>{"Obs", "B"}));
    EXPECT_EQ(first.GetUniqueID(), 31UL);
    EXPECT_EQ(first.GetDefaultClass(), 0);
    EXPECT_EQ(first.GetBatch(), kNoUniqueID);
    EXPECT_EQ(second.GetBatch(), 1234UL);  // the next record starts where the old one ended

    // Telling the older layout needs a stream that can be put back: a pipe fails, it never
    // misreads. (Inside a collection every record is read from a buffered sub-stream.)
    nctest::PipeBuffer pipe(bytes);
    std::istream piped(&pipe);
    ObservationInfo fromPipe;
    piped >> fromPipe;
    EXPECT_TRUE(piped.fail());
}

// Other versions are refused (SectionVersionsTest); "VOI" sections below version 3 carry
// nothing and the record keeps its fields.
TEST(RecordStreams, OlderRecordSectionsCarryNothing) {
    std::ostringstream older;
    ZStreamLight::WriteMagicStringAndVersionNumber(older, 2, "VOI");
    VarObsInfo unchanged("kept", 8);
    EXPECT_TRUE(nctest::ReadObject(older.str(), unchanged));
    EXPECT_STREQ(unchanged.GetPrimaryAlias(), "kept");
    EXPECT_EQ(unchanged.GetUniqueID(), 8UL);
}
