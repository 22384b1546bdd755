#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/LanguageString.h"
#include "tests/TestStreams.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/NCVariables.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

std::unique_ptr<QuantitativeVariableInfo> Quantitative(const std::vector<CString>& ids, unsigned long uniqueID) {
    return std::make_unique<QuantitativeVariableInfo>(ids, uniqueID, eVarTypeDefault, CString(), -1, -1, -99.0f);
}

std::unique_ptr<DateTimeVariableInfo> DateTime(const char* id, unsigned long uniqueID) {
    auto record = std::make_unique<DateTimeVariableInfo>();
    record->AddID(id);
    record->SetUniqueID(uniqueID);
    return record;
}

std::unique_ptr<VariableInfo> Response(unsigned long uniqueID, EVariableBlock block, EVariableType type,
                                       std::set<int> classes) {
    std::unique_ptr<VariableInfo> record = Quantitative({CString(std::to_string(uniqueID))}, uniqueID);
    record->SetVariableBlock(block);
    record->SetVariableType(type);
    record->SetClasses(classes);
    return record;
}

// A collection with special aliases, a chosen default time variable and records of several kinds.
void Fill(NCVariables& vars) {
    vars.Add(Quantitative({"Temp", "T1", "$Mature", "Reactor"}, 5), nullptr);
    vars.Add(DateTime("Clock", 9), nullptr);
    vars.Add(DateTime("Start", 7), nullptr);
    const std::vector<CString> labels = {"", "Tag", "$maturityid", "$SourceID"};
    vars.Set_ID_Labels(&labels);
    vars.SetDefaultTimeID(9);
}

// The "VO" part of a collection alone, as streams written before the "NCV" section existed.
std::string WriteBaseOnly(NCVariables& vars) {
    std::ostringstream os;
    EXPECT_TRUE(vars.VarObs::ZStreamableStartWrite(os));
    vars.ZStreamableReset();
    return os.str();
}

// An "NCV" section of the given version whose directory holds only the listed sub-streams.
std::string WriteSection(NCVariables& vars, int version, const std::vector<int>& subStreams) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, version, "NCV");
    os << WriteBaseOnly(vars);
    OutputStreamDirectory directory(os, 5);
    for (int k : subStreams) WriteToStream(k == 1 ? 9 : 3, directory.GetOutput(k));
    directory.Close();
    return os.str();
}

bool Read(NCVariables& vars, const std::string& bytes) { return nctest::ReadObject(bytes, vars); }

}  // namespace

TEST(NCVariables, SpecialAliasesAreFoundByLabelIgnoringCaseAndKeptWhenTheLabelGoes) {
    NCVariables vars;
    VariableInfo* variable = vars.Add(Quantitative({"Temp", "p", "m", "src", "orig"}, 5), nullptr);
    const std::vector<CString> labels = {"Var", "$phaseid", "$MaturityID"};
    vars.Set_ID_Labels(&labels);
    EXPECT_EQ(vars.GetPhaseID({1, 2, 3, 4}), 2);
    EXPECT_EQ(vars.GetMaturityID({1, 2, 3, 4}), 3);
    EXPECT_EQ(vars.GetMaturityID({3, 1}), 1);
    EXPECT_EQ(vars.GetMaturityID({1, 2}), -1);

    const std::vector<CString> others = {"Var", "Other", "Plain", "$SOURCEID", "$original id"};
    vars.Set_ID_Labels(&others);
    EXPECT_EQ(vars.GetMaturityID({1, 3}), 2);  // no label names it any more: the number stays
    EXPECT_EQ(vars.GetPhaseID({1, 2}), 2);
    EXPECT_EQ(vars.GetSourceID({1, 4}), 2);

    EXPECT_EQ(variable->GetSourceName(vars, {1, 4}), CString("src"));
    EXPECT_EQ(variable->GetSourceName(vars, {4}), CString("src"));
    EXPECT_TRUE(variable->GetSourceName(vars, {1, 2}).IsEmpty());

    // Descriptions: the raw label is an argument of the language text, never a format.
    const VarObs& base = vars;
    vars.SetIDLabel(2, "50% done");
    LanguageString::SetText(nc::LanguageText::kVariableIDDescription, "<%s>");
    EXPECT_EQ(base.GetIDLabelDescription(1),
              LanguageString::Get(nc::LanguageText::kVariablePrimaryIDDescription).GetString());
    EXPECT_EQ(base.GetIDLabelDescription(2), "<50% done>");
    LanguageString::ResetToDefaults();
}

TEST(NCVariables, DefaultTimeVariableFollowsTheChoiceAndTheRecords) {
    NCVariables vars;
    EXPECT_EQ(vars.GetDefaultTimeVariable(), nullptr);
    vars.Add(DateTime("Late", 20), nullptr);
    const DateTimeVariableInfo* late = vars.GetDefaultTimeVariable();
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->GetUniqueID(), 20UL);

    vars.Add(DateTime("Early", 10), nullptr);
    vars.Add(Quantitative({"Plain"}, 5), nullptr);
    ASSERT_NE(vars.GetDefaultTimeVariable(), nullptr);
    EXPECT_EQ(vars.GetDefaultTimeVariable()->GetUniqueID(), 10UL);  // none chosen: the lowest

    vars.SetDefaultTimeID(20);
    EXPECT_EQ(vars.GetDefaultTimeVariable(), late);
    vars.SetDefaultTimeID(99);  // chosen but absent: falls back to the lowest
    EXPECT_EQ(vars.GetDefaultTimeVariable()->GetUniqueID(), 10UL);

    NCIntegralVector<unsigned long, 0> gone;
    gone.push_back(10);
    vars.DeleteObsInfos(gone);  // the cached record is destroyed: the cache must not survive
    EXPECT_EQ(vars.GetDefaultTimeVariable(), late);

    vars.SetDefaultTimeID(NCVariables::nNoDefaultDateTime);
    EXPECT_EQ(vars.GetDefaultTimeVariable(), nullptr);
}

TEST(NCVariables, IncludedYClassesSkipBatchConditionsAndStopAtAResponseWithoutClasses) {
    NCVariables vars;
    std::set<int> classes = {42};
    vars.Add(Response(3, eBlockX, eVarTypeDefault, {7}), nullptr);
    vars.Add(Response(4, eBlockY, eVarTypeBatchCondition, {}), nullptr);
    vars.Add(Response(5, eBlockExcludedY, eVarTypeDefault, {}), nullptr);
    EXPECT_FALSE(vars.IncludedYExsists(classes));
    EXPECT_TRUE(classes.empty());

    vars.Add(Response(6, eBlockY, eVarTypeDefault, {2, 3}), nullptr);
    vars.Add(Response(8, eBlockY, eVarTypeDefault, {5}), nullptr);
    EXPECT_TRUE(vars.IncludedYExsists(classes));
    EXPECT_EQ(classes, (std::set<int>{2, 3, 5}));

    vars.Add(Response(7, eBlockY, eVarTypeDefault, {}), nullptr);
    EXPECT_TRUE(vars.IncludedYExsists(classes));
    EXPECT_EQ(classes, (std::set<int>{0, 2, 3}));  // the search ends at 7, before 8
}

// Plain round trips, damaged copies and refused versions are covered by the golden files and
// SectionVersionsTest.
TEST(NCVariables, OlderStreams) {
    NCVariables source;
    Fill(source);

    // Without the "NCV" tag: only the collection base is read, the own fields stay.
    NCVariables target;
    target.Add(DateTime("Old", 3), nullptr);
    ASSERT_NE(target.GetDefaultTimeVariable(), nullptr);
    const std::vector<CString> labels = {"", "a", "b", "c", "$MaturityID"};
    target.Set_ID_Labels(&labels);
    target.SetDefaultTimeID(77);
    ASSERT_TRUE(Read(target, WriteBaseOnly(source)));
    EXPECT_EQ(target.GetNumberOfVarObs(), 4);
    EXPECT_EQ(target[3], nullptr);
    EXPECT_EQ(target.GetDefaultTimeID(), 77UL);
    EXPECT_EQ(target.GetMaturityID({5}), 1);
    EXPECT_EQ(target.GetDefaultTimeVariable()->GetUniqueID(), 7UL);  // not the destroyed record 3

    // Version 1 and a section without the optional aliases read, with the aliases at -1.
    ASSERT_TRUE(Read(target, WriteSection(source, 1, {1})));
    EXPECT_EQ(target.GetDefaultTimeID(), 9UL);
    EXPECT_EQ(target.GetMaturityID({1, 2, 3, 4, 5}), -1);
    EXPECT_EQ(target.GetSourceID({1, 2, 3, 4, 5}), -1);

    // The default time ID is required.
    NCVariables missing;
    EXPECT_FALSE(Read(missing, WriteSection(source, 2, {2, 3, 4})));
}
