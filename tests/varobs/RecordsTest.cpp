#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "batchinfo/BatchImportSettings.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/FactoryRepository.h"
#include "interfaces/utility/Exception.h"
#include "tests/varobs/VarObsInfoTestAccess.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/RecordFactory.h"
#include "varobs/VarObsInfoAccess.h"

using nc::kMissingValue;
using nc::kNoUniqueID;
using nc::kUnencodableValue;

namespace {

using Access = VarObsInfoTestAccess;

std::vector<std::string> IDs(const VarObsInfo& record) {
    std::vector<std::string> ids;
    for (int i = 1; i <= Access::Count(record); ++i) ids.emplace_back(Access::ID(record, i));
    return ids;
}

NCStringVector Settings(const std::vector<const char*>& texts) {
    NCStringVector settings;
    for (const char* text : texts) settings.push_back(text);
    return settings;
}

class RecordingOwner : public VarObsInfoAccess {
public:
    int clears = 0;
    std::vector<std::pair<int, bool>> numerals;

protected:
    void SetIDIsNumeral(int alias, bool numeral) override { numerals.emplace_back(alias, numeral); }
    void ClearInfosByUserID() override { ++clears; }
};

}  // namespace

TEST(Records, EqualityComparesTypeAndPrimaryIDIgnoringCase) {
    const QuantitativeVariableInfo temp("Temp", 1, "", -1, -1, eVarTypeDefault);
    const QuantitativeVariableInfo upper(std::vector<CString>{"TEMP", "other"}, 2, eVarTypeComponent, "x", 1, 2, 5.0f);
    const QualitativeVariableInfo qualitative("Temp", 1, nullptr, "");
    EXPECT_TRUE(temp == upper);
    EXPECT_FALSE(temp != upper);
    EXPECT_FALSE(temp == qualitative);
    EXPECT_FALSE(ObservationInfo("Temp", 1) == VarObsInfo("Temp", 1));
    EXPECT_FALSE(temp == QuantitativeVariableInfo("Temp2", 1, "", -1, -1, eVarTypeDefault));
    EXPECT_TRUE(ObservationInfo() == ObservationInfo());
    EXPECT_FALSE(ObservationInfo() == ObservationInfo("", 1));
}

TEST(Records, QualitativeEncodeDecodeAndBlankSettings) {
    const NCStringVector given = Settings({"low", "  ", "high", ""});
    QualitativeVariableInfo var("Grade", 4, &given, "");
    ASSERT_EQ(var.SizeSettings(), 2);
    EXPECT_STREQ(var.GetSettingName(1), "low");
    EXPECT_STREQ(var.GetSettingName(2), "high");
    EXPECT_EQ(given.Size(), 4);  // the caller's list is copied, not changed

    EXPECT_EQ(var.Encode("HIGH"), 2.0f);
    EXPECT_EQ(var.Encode(" high"), kUnencodableValue);
    EXPECT_EQ(var.Encode("   "), kMissingValue);
    EXPECT_EQ(var.Encode("medium"), kUnencodableValue);
    EXPECT_EQ(var.Decode(1.999995f), "high");
    EXPECT_EQ(var.Decode(1.0f), "low");
    EXPECT_EQ(var.Decode(3.0f), "???");
    EXPECT_EQ(var.Decode(0.0f), "???");
    EXPECT_EQ(var.Decode(kMissingValue), "");
    EXPECT_EQ(var.Decode(kUnencodableValue), "???");

    var.AppendSetting(" \t");
    var.AppendSetting("");
    EXPECT_EQ(var.SizeSettings(), 2);
    var.AppendSetting(" medium ");
    ASSERT_EQ(var.SizeSettings(), 3);
    EXPECT_STREQ(var.GetSettingName(3), " medium ");

    EXPECT_EQ(QualitativeVariableInfo(std::vector<CString>{"A"}, 5, &given, eVarTypeFromSource, "r").SizeSettings(), 2);

    // Copies own their settings.
    std::unique_ptr<QualitativeVariableInfo> copy(var.Clone());
    var.AppendSetting("extra");
    EXPECT_EQ(copy->SizeSettings(), 3);
}

TEST(Records, QuantitativeEncodeDecode) {
    const QuantitativeVariableInfo var("x", 1, "", -1, -1, eVarTypeDefault);
    EXPECT_EQ(var.Encode(" 2.5 "), 2.5f);
    EXPECT_EQ(var.Encode("2,5"), kMissingValue);
    EXPECT_EQ(var.Decode(kMissingValue), "");
    EXPECT_EQ(var.Decode(0.125f), "0.125");
    EXPECT_EQ(var.Decode(1e20f), "1e+20");
}

TEST(Records, ExpandAndCollapseDummyColumns) {
    EXPECT_EQ(QualitativeVariableInfo::Expand(kMissingValue, 2), kMissingValue);
    EXPECT_EQ(QualitativeVariableInfo::Expand(1.99995f, 2), 1.0f);
    EXPECT_EQ(QualitativeVariableInfo::Expand(2.0f, 1), 0.0f);
    EXPECT_EQ(QualitativeVariableInfo::Expand(kUnencodableValue, 1), 0.0f);

    EXPECT_EQ(QualitativeVariableInfo::Collapse({}), 0.0f);
    EXPECT_EQ(QualitativeVariableInfo::Collapse({0, 1, 0}), 2.0f);
    EXPECT_EQ(QualitativeVariableInfo::Collapse({1, 1}), kMissingValue);
    EXPECT_EQ(QualitativeVariableInfo::Collapse({0, 0.5f}), 0.0f);
    EXPECT_EQ(QualitativeVariableInfo::Collapse({0, 2}), kMissingValue);
    EXPECT_EQ(QualitativeVariableInfo::Collapse({0, kMissingValue, 1}), kMissingValue);
    // Expanding then collapsing gives the setting back.
    std::vector<float> columns;
    for (int s = 1; s <= 4; ++s) columns.push_back(QualitativeVariableInfo::Expand(3.0f, s));
    EXPECT_EQ(QualitativeVariableInfo::Collapse(columns), 3.0f);
}

TEST(Records, BlocksTypesAndClasses) {
    QuantitativeVariableInfo var;
    const std::pair<EVariableBlock, EVariableBlock> excluded[] = {{eBlockX, eBlockExcludedX},
                                                                  {eBlockY, eBlockExcludedY},
                                                                  {eBlockExcludedX, eBlockExcludedX},
                                                                  {eBlockExcludedY, eBlockExcludedY}};
    for (const auto& [from, to] : excluded) {
        var.SetVariableBlock(from);
        var.SetIncluded(false);
        EXPECT_EQ(var.GetVariableBlock(), to);
        EXPECT_FALSE(var.IsIncluded());
        EXPECT_EQ(var.IsY(), from == eBlockY || from == eBlockExcludedY);
        var.SetIncluded(true);
        EXPECT_TRUE(var.IsIncluded());
        EXPECT_EQ(var.IsX(), from == eBlockX || from == eBlockExcludedX);
    }
    var.SetVariableBlock(eBlockX);
    var.SetIncluded(true);
    EXPECT_EQ(var.GetVariableBlock(), eBlockX);

    const QuantitativeVariableInfo score("$M1.t2", 1, "", 1, 2, eVarTypeScore);
    EXPECT_TRUE(score.IsHierarchical());
    EXPECT_EQ(score.GetComponent(), 2);
    EXPECT_EQ(score.GetDAClass(), -1);
    EXPECT_EQ(score.GetSourceVariable(), kNoUniqueID);
    const QuantitativeVariableInfo summary("s", 1, "", -1, static_cast<int>(3262240000UL),
                                           static_cast<EVariableType>(9));
    EXPECT_TRUE(summary.IsSummary());
    EXPECT_FALSE(summary.IsHierarchical());
    EXPECT_EQ(summary.GetSourceVariable(), 3262240000UL);
    EXPECT_EQ(summary.GetComponent(), -1);
    const QuantitativeVariableInfo da("d", 1, "", -1, 3, eVarTypeDAClass);
    EXPECT_EQ(da.GetDAClass(), 3);
    EXPECT_FALSE(da.IsHierarchical());

    var.AddClasses({7}, 3);
    EXPECT_EQ(var.GetClasses(), (std::set<int>{1, 2, 3, 7}));
    var.AddClasses({9}, 5);  // a record with classes is not filled again
    EXPECT_EQ(var.GetClasses(), (std::set<int>{1, 2, 3, 7, 9}));
    QuantitativeVariableInfo none;
    none.AddClasses({4}, 0);
    EXPECT_EQ(none.GetClasses(), (std::set<int>{4}));
}

TEST(Records, IDEditing) {
    VarObsInfo record(std::vector<CString>{"a", "b"}, 1);
    Access::Swap(record, 1, 4);
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"", "b", "", "a"}));
    Access::Move(record, 4, 2);
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"", "a", "b", ""}));
    Access::Move(record, 1, 3);
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"a", "b", "", ""}));
    Access::Move(record, 1, 5);  // out of range: ignored
    Access::Move(record, 0, 1);
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"a", "b", "", ""}));
    Access::Insert(record, 2, "x");
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"a", "x", "b", "", ""}));
    Access::Insert(record, 7, "end");
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"a", "x", "b", "", "", "", "end"}));
    record.RemoveID(2);
    record.RemoveID(0);
    record.RemoveID(9);
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"a", "b", "", "", "", "end"}));
    EXPECT_EQ(record.AddID("new"), 7);
    EXPECT_STREQ(Access::ID(record, 7), "new");
    EXPECT_STREQ(Access::ID(record, 8), "");
    EXPECT_STREQ(Access::ID(record, 0), "");
    EXPECT_STREQ(record.GetPrimaryAlias(), "a");
    EXPECT_STREQ(VarObsInfo().GetPrimaryAlias(), "");

    // Batch and phase names come from the alias columns the import settings name.
    BatchImportSettings settings;
    EXPECT_EQ(record.GetBatchName(settings), CString(""));
    settings.SetBatchID(2);
    settings.SetPhaseID(7);
    EXPECT_EQ(record.GetBatchName(settings), CString("b"));
    EXPECT_EQ(record.GetPhaseName(settings), CString("new"));
}

TEST(Records, SetUserIDTellsTheOwnerAndNumbersConvert) {
    ObservationInfo record("o1", 3);
    RecordingOwner owner;
    record.SetUserID("12.5", 3, &owner);
    EXPECT_EQ(IDs(record), (std::vector<std::string>{"o1", "", "12.5"}));
    EXPECT_EQ(owner.clears, 1);
    EXPECT_EQ(owner.numerals, (std::vector<std::pair<int, bool>>{{3, true}}));
    record.SetUserID("text", 2, &owner);
    EXPECT_EQ(owner.clears, 2);
    EXPECT_EQ(owner.numerals.size(), 1u);
    record.SetUserID("7", 0, &owner);  // ignored altogether
    EXPECT_EQ(owner.clears, 2);
    record.SetUserID("8", 1, nullptr);

    EXPECT_EQ(Access::FloatID(record, 3), 12.5f);
    EXPECT_EQ(Access::FloatID(record, 1), 8.0f);
    EXPECT_EQ(Access::FloatID(record, 2), -99.0f);  // not a number
    EXPECT_EQ(Access::FloatID(record, 4), -99.0f);
    EXPECT_EQ(Access::FloatID(record, 0), -99.0f);
}

TEST(Records, ObservationCloneKeepsItsFields) {
    ObservationInfo obs(std::vector<CString>{"o", "batch"}, 9);
    obs.SetDefaultClass(2);
    obs.SetBatch(44);
    std::unique_ptr<ObservationInfo> copy(obs.Clone());
    EXPECT_EQ(copy->GetDefaultClass(), 2);
    EXPECT_EQ(copy->GetBatch(), 44UL);
    EXPECT_EQ(copy->GetUniqueID(), 9UL);
    EXPECT_EQ(IDs(*copy), IDs(obs));
}

// Unknown class names through the reader: RecordStreamsTest.
TEST(Records, FactoryNamesOnlyRegisteredClassesAndProducts) {
    EXPECT_EQ(RecordFactory::GetClassName(VarObsInfo("x", 1)), "");
    try {
        OBJCREAT_Details::CreateByName<VarObsInfo*>("NoSuchProduct*", "ObservationInfo");
        ADD_FAILURE() << "an unknown product type must throw";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Internal error: No factory found that produces 'NoSuchProduct*'.");
    }
}
