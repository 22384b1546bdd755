// What callers rely on in the project's table of local centres: editing the table, which centre an
// observation takes, the defaults for observations the table does not cover, the display forms
// and the table's stream (the golden files cover damaged streams).

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <list>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "centering/DefaultCenterValues.h"
#include "centering/LocalCenteringData.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/TestStreams.h"
#include "tests/centering/CenteringTestProject.h"

namespace {

using Defaults = boost::shared_ptr<DefaultCenterValues const>;
using DefaultList = DefaultCenterValues::DefaultList;
const CenteringSelector kAny = CenteringSelectors::Wildcard();
constexpr unsigned long kUnknownID = 999999;

std::vector<float> Column(const NCDataMatrix<float>& matrix, int col) {
    std::vector<float> values;
    for (int row = 1; row <= matrix.GetNumRows(); ++row) values.push_back(matrix(row, col));
    return values;
}

std::vector<unsigned long> IDs(const NCIntegralVector<unsigned long, 0>& ids) {
    return std::vector<unsigned long>(ids.begin(), ids.end());
}

template <typename Call>
std::string ErrorText(Call&& call) {
    try {
        call();
    } catch (const NCError& error) {
        return error.what();
    }
    return "no NCError";
}

TEST_F(CenteringTest, AddInfoSetsOverwritesAndRemovesCentresAndAddAndPurgeWorkPerVariable) {
    LocalCenteringData table;
    table.AddInfo(1.5f, 7, kBatch, "B1", kPhase, "P1");
    table.AddInfo(2.5f, 7, kBatch, "B1", kPhase, "P1");
    table.AddInfo(3.0f, 5, 0, "B1", kPhase, nullptr);  // alias below 1, null name: two wildcards
    table.AddInfo(4.0f, 5, kBatch, "", -1, "P1");
    EXPECT_EQ(IDs(table.GetVariableIDs()), (std::vector<unsigned long>{5, 7}));
    EXPECT_EQ(table.GetCentres().at(7).at({kPhase, "P1"}).at({kBatch, "B1"}), 2.5f);
    ASSERT_EQ(table.GetCentres().at(5).size(), 1u);
    EXPECT_EQ(table.GetCentres().at(5).at(kAny).at(kAny), 4.0f);

    table.AddInfo(-99.0f, 7, kBatch, "B2", kPhase, "P1");
    EXPECT_EQ(table.SizeVars(), 2u) << "removing a centre the table lacks changes nothing";
    table.AddInfo(-99.0f, 7, kBatch, "B1", kPhase, "P1");
    EXPECT_EQ(IDs(table.GetVariableIDs()), (std::vector<unsigned long>{5})) << "the variable's only centre went";

    LocalCenteringData other;
    other.AddInfo(9.0f, 5, -1, nullptr, -1, nullptr);
    const unsigned long known = AddVariable({"X"});
    other.AddInfo(1.0f, known, kBatch, "B1", -1, nullptr);
    table.Add(other);
    EXPECT_EQ(table.GetCentres().at(5).at(kAny).at(kAny), 9.0f);
    EXPECT_EQ(table.SizeVars(), 2u);

    table.PurgeUnUsedVars(project->GetVariables());
    EXPECT_EQ(IDs(table.GetVariableIDs()), (std::vector<unsigned long>{known}));
}

TEST_F(CenteringTest, ObservationsTakeTheOuterThenTheInnerCentreFallingBackToWildcards) {
    AddObservation({"O1", "B1", "P1"});
    AddObservation({"O2", "B2", "P1"});
    AddObservation({"O3", "B1", "P2"});
    AddObservation({"O4"});  // no batch or phase text
    const unsigned long x = AddVariable({"X"});
    const unsigned long y = AddVariable({"Y"});
    AddVariable({"Z"});
    Table().AddInfo(1.0f, x, kBatch, "B1", kPhase, "P1");
    Table().AddInfo(10.0f, x, -1, nullptr, kPhase, "P1");
    Table().AddInfo(100.0f, x, -1, nullptr, -1, nullptr);
    Table().AddInfo(0.0f, y, kBatch, "B2", kPhase, "P1");  // subtracts nothing: no column

    NCDataMatrix<float> centres;
    NCIntegralVector<unsigned long, 0> centred;
    const Defaults built = Table().GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, Defaults());
    EXPECT_EQ(IDs(centred), (std::vector<unsigned long>{x}));
    ASSERT_EQ(centres.GetNumColumns(), 1);
    EXPECT_EQ(Column(centres, 1), (std::vector<float>{1, 10, 100, 100}));

    // Defaults come back for every table variable: per phase the mean of its centres, then the
    // centre of two wildcards.
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(IDs(built->GetVariableIDs()), (std::vector<unsigned long>{x, y}));
    EXPECT_EQ(*built->GetDefaults(x), (DefaultList{{{kPhase, "P1"}, 5.5f}, {kAny, 100.0f}}));

    NCDataMatrix<float> data(4, 3, 7.0f);
    const std::vector<float> xValues{11, 12, -99, 104};
    data.SetColumn(1, xValues.data());
    const NCDataMatrix<float> original = data;
    Table().Subtract(data, obsIDs, varIDs, *project, Defaults());
    EXPECT_EQ(Column(data, 1), (std::vector<float>{10, 2, -99, 4})) << "a missing value stays missing";
    EXPECT_EQ(Column(data, 2), Column(original, 2));
    EXPECT_EQ(Column(data, 3), Column(original, 3));
    EXPECT_EQ(original(1, 1), 11.0f) << "a matrix sharing the values keeps them";
}

TEST_F(CenteringTest, ARunOfEqualIDTextsKeepsItsMatchAndRowsWithoutRecordGetNothing) {
    // Matching (any phase, batch B1) carries on while the batch text stays B1, whatever the phase;
    // a fresh look-up of R3 would have found phase P1's centre 1.
    AddObservation({"R1", "B1", "P2"});
    obsIDs.push_back(kUnknownID);
    AddObservation({"R3", "B1", "P1"});
    AddObservation({"R4", "B2", "P1"});
    AddObservation({"R5", "B1", "P1"});
    const unsigned long x = AddVariable({"X"});
    Table().AddInfo(1.0f, x, kBatch, "B1", kPhase, "P1");
    Table().AddInfo(5.0f, x, kBatch, "B1", -1, nullptr);

    NCDataMatrix<float> centres;
    NCIntegralVector<unsigned long, 0> centred;
    Table().GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, Defaults());
    ASSERT_EQ(centres.GetNumColumns(), 1);
    EXPECT_EQ(Column(centres, 1), (std::vector<float>{5, 0, 5, 0, 1}));
}

TEST_F(CenteringTest, UncoveredObservationsTakeDefaultsOnlyOnceABatchCentreWasUsed) {
    AddObservation({"O1", "B1", "P1"});
    AddObservation({"O2", "B2", "P1"});
    AddObservation({"O3", "B1", "P2"});
    AddObservation({"O4", "B3", "P1"});  // not covered
    AddObservation({"O5", "B3", "P3"});  // not covered, no default either
    const unsigned long x = AddVariable({"X"});
    Table().AddInfo(2.0f, x, kBatch, "B1", kPhase, "P1");
    Table().AddInfo(4.0f, x, kBatch, "B2", kPhase, "P1");
    Table().AddInfo(6.0f, x, kBatch, "B1", kPhase, "P2");

    NCDataMatrix<float> centres;
    NCIntegralVector<unsigned long, 0> centred;
    project->SetBatchAnswer(true);
    const Defaults built = Table().GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, Defaults());
    EXPECT_EQ(Column(centres, 1), (std::vector<float>{2, 4, 6, 3, 0}));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(*built->GetDefaults(x), (DefaultList{{{kPhase, "P1"}, 3.0f}, {{kPhase, "P2"}, 6.0f}}));

    // Without the project's yes the batch column is no batch selector: the defaults passed in are
    // not used, and they are what comes back.
    project->SetBatchAnswer(false);
    EXPECT_EQ(Table().GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, built), built);
    EXPECT_EQ(Column(centres, 1), (std::vector<float>{2, 4, 6, 0, 0}));

    // A variable only the defaults have takes its defaults.
    const unsigned long y = AddVariable({"Y"});
    auto withY = boost::make_shared<DefaultCenterValues>();
    withY->AddVar(y, {{{kAny, kAny}, 7.0f}});
    Table().GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, withY);
    EXPECT_EQ(IDs(centred), (std::vector<unsigned long>{x, y}));
    EXPECT_EQ(Column(centres, 2), (std::vector<float>(5, 7.0f)));

    // An empty table: new empty defaults, or the given ones; centres only when those have variables.
    LocalCenteringData empty;
    const Defaults none = empty.GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, Defaults());
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->SizeVars(), 0u);
    EXPECT_EQ(centres.GetNumRows(), 0);
    EXPECT_EQ(empty.GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, none), none);
    EXPECT_EQ(empty.GetSubtractionMatrix(centres, centred, obsIDs, varIDs, *project, withY), withY);
    EXPECT_EQ(IDs(centred), (std::vector<unsigned long>{y}));
    EXPECT_EQ(centres.GetNumRows(), 5);
}

TEST_F(CenteringTest, DefaultsFollowTheCentresUsedAndAnswerByAliasText) {
    DefaultCenterValues defaults;
    // Wildcard outer selectors: phase centres (alias 3) by phase, the mean of the rest for all.
    defaults.AddVar(1, {{{kAny, {kBatch, "B1"}}, 6.0f},
                        {{kAny, {kBatch, "B2"}}, 10.0f},
                        {{kAny, {kPhase, "P1"}}, 2.0f},
                        {{kAny, {kPhase, "P2"}}, 4.0f}});
    EXPECT_EQ(*defaults.GetDefaults(1), (DefaultList{{{kPhase, "P1"}, 2.0f}, {{kPhase, "P2"}, 4.0f}, {kAny, 8.0f}}));
    EXPECT_EQ(defaults.GetDefaultValue(1, CString("P2")), 4.0f);
    EXPECT_EQ(defaults.GetDefaultValue(1, CString("elsewhere")), 8.0f);
    const ObservationInfo inP1(std::vector<CString>{"O", "B9", "P1"}, 1);
    EXPECT_EQ(defaults.GetDefaultValue(1, inP1), 2.0f);

    // Two wildcards used: that centre alone. With a batch selector: means per outer selector, the
    // global centre last.
    defaults.AddVar(2, {{{kAny, kAny}, 1.0f}, {{kAny, {kPhase, "P1"}}, 3.0f}});
    EXPECT_EQ(*defaults.GetDefaults(2), (DefaultList{{kAny, 1.0f}}));
    defaults.AddVar(2, {{{kAny, kAny}, 1.0f}, {{kAny, {kBatch, "B1"}}, 3.0f}, {{{kPhase, "P1"}, kAny}, 5.0f}});
    EXPECT_EQ(*defaults.GetDefaults(2), (DefaultList{{{kPhase, "P1"}, 5.0f}, {kAny, 1.0f}}));
    defaults.AddVar(3, {});
    EXPECT_TRUE(defaults.HasVar(3));
    EXPECT_EQ(defaults.GetDefaultValue(3, inP1), 0.0f);
    EXPECT_EQ(defaults.GetDefaultValue(4, CString("P1")), 0.0f) << "a variable without a list";

    DefaultCenterValues other;
    other.AddVar(1, {{{kAny, kAny}, 99.0f}});
    other.AddVar(5, {{{kAny, kAny}, 9.0f}});
    defaults.Add(other);
    EXPECT_EQ(IDs(defaults.GetVariableIDs()), (std::vector<unsigned long>{1, 2, 3, 5}));
    EXPECT_EQ(defaults.GetDefaultValue(1, CString("elsewhere")), 8.0f) << "a list it had is kept";
}

TEST_F(CenteringTest, UsedVariableAliasesAreKeptUntilTheTableChangesAndNeedEveryRecord) {
    const unsigned long x = AddVariable({"X", "", "unit"});
    const unsigned long y = AddVariable({"Y", "tag"});
    Table().AddInfo(1.0f, x, -1, nullptr, -1, nullptr);
    Table().AddInfo(1.0f, y, -1, nullptr, -1, nullptr);
    EXPECT_EQ(Table().GetUsedVarAliases(project->GetVariables()), (std::vector<int>{1, 2, 3}));
    project->GetVariables()[x]->SetUserID("more", 4, nullptr);
    EXPECT_EQ(Table().GetUsedVarAliases(project->GetVariables()), (std::vector<int>{1, 2, 3}));
    Table().AddInfo(2.0f, y, -1, nullptr, -1, nullptr);
    EXPECT_EQ(Table().GetUsedVarAliases(project->GetVariables()), (std::vector<int>{1, 2, 3, 4}));

    Table().AddInfo(1.0f, kUnknownID, -1, nullptr, -1, nullptr);
    const auto call = [&] { Table().GetUsedVarAliases(project->GetVariables()); };
    EXPECT_EQ(ErrorText(call), "Internale error in LocalCenteringData::GetUsedVarAliases");
    EXPECT_EQ(ErrorText(call), "Internale error in LocalCenteringData::GetUsedVarAliases") << "no partial result kept";
}

TEST_F(CenteringTest, TheTableForDisplayHasOneColumnPerDisplayName) {
    LocalCenteringData table;
    table.AddInfo(1.5f, 1, kBatch, "B1", kPhase, "P1");
    table.AddInfo(2.0f, 1, -1, nullptr, -1, nullptr);
    table.AddInfo(3.0f, 2, kBatch, "B1", kPhase, "P1");
    table.AddInfo(4.0f, 2, -1, nullptr, kPhase, "P2");
    table.AddInfo(5.0f, 2, kBatch, "B2", -1, nullptr);
    const auto names = table.GetIDNames();
    // Wildcards sort first, so variable 1 names "Default" before "B1 - P1".
    EXPECT_EQ(*names, (std::map<std::string, int>{{"Default", 1}, {"B1 - P1", 2}, {"B2", 3}, {"P2", 4}}));

    const NCDataMatrix<float> matrix = table.GetLocalCenteringDataAsMat(nullptr);
    ASSERT_EQ(matrix.GetNumRows(), 2);
    ASSERT_EQ(matrix.GetNumColumns(), 4);
    EXPECT_EQ(Column(matrix, 1), (std::vector<float>{2.0f, -99.0f}));
    EXPECT_EQ(Column(matrix, 2), (std::vector<float>{1.5f, 3.0f}));
    EXPECT_EQ(Column(matrix, 4), (std::vector<float>{-99.0f, 4.0f}));

    std::map<std::string, int> lacking = *names;
    lacking.erase("P2");
    EXPECT_EQ(ErrorText([&] { table.GetLocalCenteringDataAsMat(&lacking); }),
              "Internal error in  LocalCenteringData::GetLocalCenteringDataAsMat");
}

TEST_F(CenteringTest, HasLocalCenteringDataLooksForACentreOrDefaultOtherThanZero) {
    AddObservation({"O1", "B2"});
    const unsigned long b1 = AddObservation({"O2", "B1"});
    const unsigned long x = AddVariable({"X"});
    const unsigned long y = AddVariable({"Y"});
    Table().AddInfo(1.0f, x, kBatch, "B1", -1, nullptr);
    Table().AddInfo(0.0f, x, kBatch, "B2", -1, nullptr);
    const NCIntegralVector<unsigned long, 0> onlyX(1, x);
    const NCIntegralVector<unsigned long, 0> onlyY(1, y);
    EXPECT_FALSE(Table().HasLocalCenteringData(onlyX, {"B2"}, nullptr));
    EXPECT_TRUE(Table().HasLocalCenteringData(onlyX, {"B2", "B1"}, nullptr));
    EXPECT_FALSE(Table().HasLocalCenteringData(onlyY, {"B1"}, nullptr));

    const std::list<unsigned long> listX{x};
    NCIntegralVector<unsigned long, 0> firstOnly(1, obsIDs[1]);
    firstOnly.push_back(kUnknownID);
    EXPECT_FALSE(Table().HasLocalCenteringData(listX, firstOnly, *project, nullptr));
    EXPECT_TRUE(Table().HasLocalCenteringData(listX, NCIntegralVector<unsigned long, 0>(1, b1), *project, nullptr));

    LocalCenteringData empty;
    DefaultCenterValues defaults;
    EXPECT_FALSE(empty.HasLocalCenteringData(onlyY, {"B1"}, &defaults));
    defaults.AddVar(y, {{{kAny, kAny}, 3.0f}});
    EXPECT_TRUE(empty.HasLocalCenteringData(onlyY, {"anything"}, &defaults));
    EXPECT_TRUE(empty.HasLocalCenteringData(std::list<unsigned long>{y}, obsIDs, *project, &defaults));
}

// ---- streams ------------------------------------------------------------------------------------

// A section with the tag `tag`, version `version` and, when `withTable`, an empty map in sub-stream 1.
std::string RawSection(const char* tag, int version, bool withTable) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, version, tag);
    OutputStreamDirectory directory(os, 1);
    if (withTable) WriteToStream(0, directory.GetOutput(1));
    directory.Close();
    return os.str();
}

TEST(LocalCenteringDataStream, ReadingAddsVariablesItLacksAndRefusesOtherVersionsAndMissingTables) {
    LocalCenteringData written;
    written.AddInfo(1.5f, 3, 2, "B\xc3\xa4", 3, "P1");
    written.AddInfo(-0.5f, 3, -1, nullptr, -1, nullptr);
    written.AddInfo(2.0f, 8, 2, "B1", -1, nullptr);
    const std::string bytes = nctest::WriteObject(written);

    LocalCenteringData read;
    read.AddInfo(9.0f, 8, -1, nullptr, -1, nullptr);
    ASSERT_TRUE(nctest::ReadObject(bytes, read));
    EXPECT_EQ(read.GetCentres().at(3), written.GetCentres().at(3));
    const LocalCenteringData::OuterMap kept{{kAny, {{kAny, 9.0f}}}};
    EXPECT_EQ(read.GetCentres().at(8), kept) << "a variable the table had keeps its entries";

    LocalCenteringData untouched;
    EXPECT_TRUE(nctest::ReadObject(RawSection("LCD", 1, true), untouched));
    EXPECT_FALSE(nctest::ReadObject(RawSection("LCD", 2, true), untouched));
    EXPECT_FALSE(nctest::ReadObject(RawSection("LCD", 1, false), untouched));
    EXPECT_FALSE(nctest::ReadObject(RawSection("DCV", 1, true), untouched));
    EXPECT_EQ(untouched.SizeVars(), 0u);
}

TEST(DefaultCenterValuesStream, ReadingReplacesTheListsAndRefusesOtherVersionsAndMissingLists) {
    DefaultCenterValues written;
    written.AddVar(4, {{{{3, "P1"}, {2, "B1"}}, 2.0f}, {{{3, "P1"}, {2, "B2"}}, 4.0f}, {{kAny, kAny}, 1.0f}});
    written.AddVar(6, {});
    const std::string bytes = nctest::WriteObject(written);

    DefaultCenterValues read;
    read.AddVar(5, {{{kAny, kAny}, 1.0f}});
    ASSERT_TRUE(nctest::ReadObject(bytes, read));
    EXPECT_EQ(read.GetAllDefaults(), written.GetAllDefaults());

    EXPECT_TRUE(nctest::ReadObject(RawSection("DCV", 1, true), read));
    EXPECT_EQ(read.SizeVars(), 0u);
    DefaultCenterValues refused(written);
    EXPECT_FALSE(nctest::ReadObject(RawSection("DCV", 2, true), refused));
    EXPECT_FALSE(nctest::ReadObject(RawSection("DCV", 1, false), refused));
}

}  // namespace
