#include <gtest/gtest.h>

#include "interfaces/constants/NCConstants.h"
#include "tests/varobs/TestCollection.h"
#include "varobs/AliasAccess.h"
#include "varobs/NCVariables.h"

using nc::kMissingValue;

TEST(AliasAccess, PositionsTranslateIntoAliasNumbers) {
    TestCollection c;
    const std::vector<CString> labels{"", "Batch", "Code"};
    c.Set_ID_Labels(&labels);
    ObservationInfo* rec = c.AddObs({"o1", "B1", "42"}, 1);
    ObservationInfo* shortRec = c.AddObs({"o2"}, 2);

    const AliasAccess all(c);
    EXPECT_EQ(all.GetUsedAliases(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(&all.GetVarObs(), &c);
    EXPECT_FALSE(all.IsVariable());
    NCVariables variables;
    EXPECT_TRUE(AliasAccess(variables).IsVariable());

    const AliasAccess view({3, 1}, c);
    const AliasAccess copy(view);
    EXPECT_EQ(copy.SizeAliases(), 2);
    EXPECT_EQ(copy.GetAlias(1, *rec), CString("42"));
    EXPECT_EQ(copy.GetAlias(2, *rec), CString("o1"));
    EXPECT_EQ(copy.GetAlias(3, *rec), CString());
    EXPECT_EQ(copy.GetAlias(1, *shortRec), CString());
    EXPECT_FLOAT_EQ(copy.GetAliasAsFloat(1, *rec), 42.0f);
    EXPECT_FLOAT_EQ(copy.GetAliasAsFloat(0, *rec), kMissingValue);
    EXPECT_TRUE(copy.IsAliasNumeral(1));
    EXPECT_FALSE(copy.IsAliasNumeral(2));
    EXPECT_FALSE(copy.IsAliasNumeral(3));
    EXPECT_EQ(copy.GetRawAliasName(1), CString("Code"));
    EXPECT_EQ(copy.GetRawAliasName(5), CString());
    EXPECT_EQ(copy.GetAliasNameWithDescription(1), c.GetIDLabelDescription(3));
    EXPECT_EQ(copy.GetAliasNameWithDescription(-1), std::string());

    const AliasAccess pair({1, 2}, c);
    EXPECT_EQ(pair.GetPreferredAlias(5, *rec), CString("o1"));
    EXPECT_EQ(pair.GetPreferredAlias(2, *rec), CString("B1"));
    EXPECT_EQ(pair.GetPreferredAlias(2, *shortRec), CString());
    EXPECT_EQ(pair.GetPreferredAlias(3, *rec), CString("o1"));

    NCIntegralVector<unsigned long, 0> ids;
    ids.push_back(2);
    ids.push_back(1);
    ids.push_back(9);
    const NCDataVector<float> values = view.GetNumeralValues(1, &ids);
    ASSERT_EQ(values.size(), 3);
    EXPECT_FLOAT_EQ(values(1), kMissingValue);
    EXPECT_FLOAT_EQ(values(2), 42.0f);
    EXPECT_FLOAT_EQ(values(3), kMissingValue);
    EXPECT_EQ(view.GetNumeralValues(7, &ids).size(), 3);
    EXPECT_EQ(view.GetNumeralValues(7, nullptr).size(), 0);
}
