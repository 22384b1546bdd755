#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/utility/Exception.h"
#include "interfaces/utility/LanguageString.h"
#include "tests/TestStreams.h"
#include "tests/varobs/TestCollection.h"
#include "tests/varobs/VarObsInfoTestAccess.h"
#include "varobs/InfosByUserID.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kConstantVariableUniqueID;
using nc::kMissingValue;
using nc::kNoUniqueID;

namespace {

using IDs = NCIntegralVector<unsigned long, 0>;

std::string DefaultLabel(int alias) {
    CString label;
    label.Format(LanguageString::Get(nc::LanguageText::kDefaultIDLabel), alias);
    return label.GetString();
}

std::string PrimaryLabel() { return LanguageString::Get(nc::LanguageText::kPrimaryIDLabel).GetString(); }

// The raw labels of aliases 1 … SizeAliases.
std::vector<std::string> Labels(const VarObs& c) {
    std::vector<std::string> labels;
    for (int alias = 1; alias <= c.SizeAliases(); ++alias) labels.emplace_back(c.GetIDLabelRaw(alias).GetString());
    return labels;
}

// The numeral flags of aliases 1 … count.
std::vector<bool> Numerals(const VarObs& c, int count) {
    std::vector<bool> flags;
    for (int alias = 1; alias <= count; ++alias) flags.push_back(c.IsIDNumeral(alias));
    return flags;
}

}  // namespace

TEST(VarObs, AddGrowsAliasesWithDefaultLabelsAndSetsNumeralFlags) {
    TestCollection c;
    EXPECT_FALSE(c.IsDirty());
    EXPECT_EQ(c.GetAllUsedAliases(), std::vector<int>{1});
    ObservationInfo* first = c.AddObs({"Obs", "12", "12a"}, 7);
    EXPECT_TRUE(c.IsDirty());
    EXPECT_EQ(Labels(c), (std::vector<std::string>{PrimaryLabel(), DefaultLabel(2), DefaultLabel(3)}));
    EXPECT_EQ(Numerals(c, 4), (std::vector<bool>{false, true, false, false}));

    // A later record never clears a flag; an empty ID does not set one; a numeric one does.
    // Recomputing looks at the records again: alias 2 still has "12", alias 1 still "1.5e3".
    c.AddObs({"1.5e3", "x", ""}, 3);
    EXPECT_EQ(Numerals(c, 3), (std::vector<bool>{true, true, false}));
    c.UpdateAllIDNumericalState();
    EXPECT_EQ(Numerals(c, 3), (std::vector<bool>{true, true, false}));

    // Iteration is in unique-ID order whatever the order of insertion.
    EXPECT_EQ(c.First()->GetUniqueID(), 3UL);
    EXPECT_EQ(c.Next(c.First()), first);
    EXPECT_EQ(c.Next(first), nullptr);
    EXPECT_EQ(c[7UL], first);
    EXPECT_EQ(c[8UL], nullptr);
    ObservationInfo stranger(CString("Obs"), 7);
    EXPECT_EQ(c.Next(&stranger), nullptr);

    // A record with an ID that is already used as unique ID is refused and stays the caller's.
    auto clash = std::make_unique<ObservationInfo>(CString("Other"), 7);
    EXPECT_THROW(c.Add(clash.get(), nullptr), Exception);
    EXPECT_EQ(c.size(), 2);
    EXPECT_EQ(c[7UL], first);
}

TEST(VarObs, AddUserIDGrowsAliasesWithoutLabels) {
    TestCollection c;
    c.AddObs({"A"}, 1);
    c.SetIsDirty(false);
    EXPECT_FALSE(c.AddUserID("B", 99));
    EXPECT_FALSE(c.IsDirty());
    EXPECT_TRUE(c.AddUserID("second", 1));
    EXPECT_TRUE(c.IsDirty());
    EXPECT_EQ(Labels(c), (std::vector<std::string>{PrimaryLabel(), ""}));
    EXPECT_STREQ(VarObsInfoTestAccess::ID(*c[1UL], 2), "second");
    EXPECT_FALSE(c.IsIDNumeral(2));
}

TEST(VarObs, PrimaryIDsAreMadeUniqueAgainstTheIndexIgnoringCase) {
    TestCollection c;
    c.AddObs({"OBS"}, 1);
    boost::shared_ptr<InfosByUserID> index = c.GetInfosByUserID(1);
    ObservationInfo* added = c.AddObs({"Obs"}, 2, index.get());
    EXPECT_STREQ(added->GetPrimaryAlias(), "Obs_1");
    EXPECT_EQ(index->GetUniqueID("OBS_1"), 2UL);
    EXPECT_TRUE(index->IsIDUnique());

    c.AddObs({"A"}, 3);
    c.AddObs({"a_1"}, 4);
    index = c.GetInfosByUserID(1);
    EXPECT_EQ(VarObs::GetUniquePrimaryID("A", *index, nullptr), CString("A_2"));
    EXPECT_EQ(VarObs::GetUniquePrimaryID("new", *index, nullptr), CString("new"));
    // The further names are compared exactly.
    std::set<std::string> taken{"A_2", "a_3"};
    EXPECT_EQ(VarObs::GetUniquePrimaryID("A", *index, &taken), CString("A_3"));
    // Long bases keep their whole text.
    const std::string longBase(3000, 'q');
    c.AddObs({CString(longBase)}, 5);
    index = c.GetInfosByUserID(1);
    EXPECT_EQ(VarObs::GetUniquePrimaryID(longBase.c_str(), *index, nullptr).GetString(), longBase + "_1");
}

TEST(VarObs, PrimaryIndexIsCachedUntilTheCollectionChanges) {
    TestCollection c;
    c.AddObs({"a", "b"}, 1);
    c.AddObs({"c", "d"}, 2);
    const auto index = c.GetInfosByUserID(1);
    EXPECT_EQ(c.GetInfosByUserID(1), index);
    EXPECT_NE(c.GetInfosByUserID(2), c.GetInfosByUserID(2));
    EXPECT_EQ(c.GetInfosByUserID(2)->GetUniqueID("D"), 2UL);

    c.AddObs({"e"}, 3);
    const auto afterAdd = c.GetInfosByUserID(1);
    EXPECT_NE(afterAdd, index);
    EXPECT_EQ(afterAdd->GetUniqueID("E"), 3UL);

    c[3UL]->SetUserID("renamed", 1, &c);
    const auto afterRename = c.GetInfosByUserID(1);
    EXPECT_NE(afterRename, afterAdd);
    EXPECT_EQ(afterRename->GetInfo("e"), nullptr);
    EXPECT_EQ(afterRename->GetUniqueID("RENAMED"), 3UL);

    // Growing a record's ID list moves its texts: the index is rebuilt.
    for (int i = 0; i < 8; ++i) c.AddUserID("more", 3);
    const auto afterGrowth = c.GetInfosByUserID(1);
    EXPECT_NE(afterGrowth, afterRename);
    EXPECT_EQ(afterGrowth->GetUniqueID("Renamed"), 3UL);

    // Deleting nothing changes nothing; unknown IDs in the list are skipped.
    c.SetIsDirty(false);
    IDs none;
    c.DeleteObsInfos(none);
    EXPECT_FALSE(c.IsDirty());
    EXPECT_EQ(c.GetInfosByUserID(1), afterGrowth);
    IDs some(1, 3UL);
    some.push_back(77);
    c.DeleteObsInfos(some);
    EXPECT_TRUE(c.IsDirty());
    EXPECT_EQ(c.size(), 2);
    EXPECT_EQ(c[3UL], nullptr);
    const auto afterDelete = c.GetInfosByUserID(1);
    EXPECT_NE(afterDelete, afterGrowth);
    EXPECT_FALSE(afterDelete->Contains("renamed"));
}

TEST(VarObs, IndexLooksUpIgnoringCaseAndReportsDuplicates) {
    InfosByUserID empty;
    EXPECT_TRUE(empty.IsIDUnique());
    EXPECT_EQ(empty.GetInfo("x"), nullptr);
    EXPECT_EQ(empty.GetUniqueID("x"), kNoUniqueID);

    TestCollection c;
    c.AddObs({"x"}, 1);
    c.AddObs({"X"}, 2);
    c.AddObs({"y"}, 3);
    EXPECT_FALSE(c.GetInfosByUserID(1)->IsIDUnique());
    EXPECT_TRUE(c.GetInfosByUserID(1)->Contains("Y"));

    InfosByUserID index;
    index.AddInfo(c[1UL], 1);
    index.AddInfo(c[3UL], 1);
    EXPECT_TRUE(index.IsIDUnique());
    index.AddInfo(c[2UL], 1);  // X is x: refused
    EXPECT_FALSE(index.IsIDUnique());
    EXPECT_EQ(index.GetUniqueID("X"), 1UL);
    index.AddInfo(c[1UL], 5);  // a missing ID is indexed as the empty text
    EXPECT_EQ(index.GetUniqueID(""), 1UL);

    // Case is folded before hashing; bytes above 127 count as negative chars.
    EXPECT_EQ(InfosByUserID::Hash(""), 2166136261u);
    EXPECT_EQ(InfosByUserID::Hash("abc"), InfosByUserID::Hash("ABC"));
    EXPECT_EQ(InfosByUserID::Hash("\xE9"), (2166136261u * 16777619u) ^ 0xFFFFFFE9u);
}

TEST(VarObs, LabelsFollowThePreferenceOrderAndTheLanguageTable) {
    TestCollection c;
    const std::vector<CString> given{"ignored", "Batch", ""};
    c.Set_ID_Labels(&given);
    EXPECT_TRUE(c.IsDirty());
    // The given empty label stays, there being no current one.
    EXPECT_EQ(Labels(c), (std::vector<std::string>{PrimaryLabel(), "Batch", ""}));

    // Empty entries and missing entries keep the current labels.
    const std::vector<CString> partial{"", ""};
    c.Set_ID_Labels(&partial);
    EXPECT_EQ(Labels(c), (std::vector<std::string>{PrimaryLabel(), "Batch", ""}));

    LanguageString::SetText(nc::LanguageText::kPrimaryIDLabel, "Haupt-ID");
    LanguageString::SetText(nc::LanguageText::kDefaultIDLabel, "Kennung %i");
    TestCollection translated;
    translated.AddObs({"a", "b", "c"}, 1);
    translated.Set_ID_Labels(nullptr);
    EXPECT_EQ(Labels(translated), (std::vector<std::string>{"Haupt-ID", "Kennung 2", "Kennung 3"}));
    LanguageString::ResetToDefaults();

    c.SetIsDirty(false);
    c.SetIDLabel(2, "Phase");
    c.SetIDLabel(9, "nowhere");
    EXPECT_FALSE(c.IsDirty());
    EXPECT_EQ(c.AddSecondaryID("Fourth"), 4);
    EXPECT_TRUE(c.IsDirty());
    EXPECT_EQ(Labels(c), (std::vector<std::string>{PrimaryLabel(), "Phase", "", "Fourth"}));
    EXPECT_FALSE(c.IsIDNumeral(4));
}

TEST(VarObs, RemoveSecondaryIDMovesLaterColumnsDown) {
    TestCollection c;
    const std::vector<CString> labels{"", "L2", "L3"};
    c.Set_ID_Labels(&labels);
    c.AddObs({"a", "x", "5"}, 1);
    c.AddObs({"b"}, 2);
    ASSERT_EQ(Numerals(c, 3), (std::vector<bool>{false, false, true}));

    c.SetIsDirty(false);
    c.RemoveSecondaryID("l2");  // labels match exactly: nothing but the dirty flag changes
    EXPECT_TRUE(c.IsDirty());
    EXPECT_EQ(c.SizeAliases(), 3);

    c.RemoveSecondaryID("L2");
    EXPECT_EQ(Labels(c), (std::vector<std::string>{PrimaryLabel(), "L3"}));
    EXPECT_EQ(Numerals(c, 3), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(VarObsInfoTestAccess::Count(*c[1UL]), 2);
    EXPECT_STREQ(VarObsInfoTestAccess::ID(*c[1UL], 2), "5");
    EXPECT_EQ(VarObsInfoTestAccess::Count(*c[2UL]), 1);
}

TEST(VarObs, LastUsedIDAndBatchPhaseAliases) {
    TestCollection c;
    c.Add(std::make_unique<QuantitativeVariableInfo>(CString("Constant"), kConstantVariableUniqueID, CString(), -1, -1,
                                                     static_cast<EVariableType>(0)),
          nullptr);
    EXPECT_EQ(c.GetLastUsedID(), kNoUniqueID);
    c.AddObs({"a"}, 40);
    c.AddObs({"b"}, 5);
    c.AddObs({"c"}, kNoUniqueID + 7);
    EXPECT_EQ(c.GetLastUsedID(), 40UL);

    c.SetBatchID(3);
    c.SetPhaseID(0);
    EXPECT_TRUE(c.HasBatches());
    EXPECT_FALSE(c.HasPhases());
    EXPECT_EQ(c.GetBatchID({2, 3}), 2);
    EXPECT_EQ(c.GetBatchID({1, 2}), -1);
    EXPECT_EQ(c.GetBatchID({}), -1);
    EXPECT_EQ(c.GetPhaseID({1, 2}), -1);
    EXPECT_EQ(c.GetRawBatchID(), 3);

    IDs list;
    list.push_back(5);
    list.push_back(6);
    c.AddObs({"n", "2.5"}, 6);
    const NCDataVector<float> values = c.GetNumeralValues(2, &list);
    ASSERT_EQ(values.size(), 2);
    EXPECT_FLOAT_EQ(values(1), kMissingValue);  // record 5 has no second ID
    EXPECT_FLOAT_EQ(values(2), 2.5f);
}

// Contents and bytes of collections are pinned by the golden files; what they cannot see is the
// state around a read: the dirty flag, records that were there before, and the cached index.
TEST(VarObs, ReadingReplacesTheRecordsAndTheIndexAndLeavesTheCollectionClean) {
    TestCollection c;
    c.AddObs({"o1", "B1", "1"}, 11);
    c.AddObs({"o2", "B2"}, 12);
    ASSERT_TRUE(c.IsDirty());
    const std::string bytes = nctest::WriteObject(c);
    EXPECT_FALSE(c.IsDirty());

    TestCollection copy;
    copy.AddObs({"old"}, 99);
    const auto staleIndex = copy.GetInfosByUserID(1);
    ASSERT_TRUE(nctest::ReadObject(bytes, copy));
    EXPECT_FALSE(copy.IsDirty());
    EXPECT_EQ(copy.size(), 2);
    EXPECT_EQ(copy[99UL], nullptr);
    EXPECT_NE(copy.GetInfosByUserID(1), staleIndex);
    EXPECT_EQ(copy.GetInfosByUserID(1)->GetUniqueID("O2"), 12UL);
    EXPECT_EQ(copy.GetInfosByUserID(1)->GetInfo("old"), nullptr);

    // An empty collection writes no records sub-stream; reading it empties the target.
    ASSERT_TRUE(nctest::ReadObject(nctest::WriteObject(TestCollection()), copy));
    EXPECT_EQ(copy.size(), 0);
    EXPECT_EQ(copy.SizeAliases(), 1);

    // Two records of one unique ID are refused.
    c.AddObs({"o3"}, 13)->SetUniqueID(11);
    EXPECT_FALSE(nctest::ReadObject(nctest::WriteObject(c), copy));
}
