// Batch lists of the legacy layout becoming batch condition variables of a project.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "app/ReferenceProject.h"
#include "batchinfo/BatchInfoVector.h"
#include "interfaces/constants/NCConstants.h"
#include "varobs/QualitativeVariableInfo.h"

using nc::kMissingValue;

namespace {

// Conditions: Temp (quantitative), Colour (qualitative), Yield (response), Shape (qualitative).
// Each batch holds the values of Temp and Yield and the texts of Colour and Shape.
BatchInfoVector LegacyList() {
    BatchInfoVector list;
    const struct {
        const char* name;
        float temp, yield;
        const char* colour;
        const char* shape;
    } rows[] = {{"B1", 20, 1, "Red", "Round"},
                {"B2", 21, 2, "", "Square"},
                {"B3", 22, 3, "RED", "round"},
                {"B4", 23, 4, "Blue", "Square"}};
    for (const auto& row : rows) {
        auto batch = boost::make_shared<BatchInfo>(row.name);
        NCDataVector<float> values;
        values.push_back(row.temp);
        values.push_back(row.yield);
        batch->SetBatchConditionValues(&values);
        NCStringVector texts;
        texts.push_back(row.colour);
        texts.push_back(row.shape);
        batch->OBSOLETE_SetQualitativeValues(texts);
        list.push_back(batch);
    }
    NCStringVector names;
    for (const char* name : {"Temp", "Colour", "Yield", "Shape"}) names.push_back(name);
    list.OBSOLETE_SetConditions(names, {BatchInfoVector::eLegacyQuantitative, BatchInfoVector::eLegacyQualitative,
                                        BatchInfoVector::eLegacyResponse, BatchInfoVector::eLegacyQualitative});
    return list;
}

std::vector<float> Values(const BatchInfo& batch) {
    const NCDataVector<float>& values = batch.GetBatchConditionValues();
    return std::vector<float>(values.data(), values.data() + values.size());
}

TEST(BatchConditionConversion, LegacyConditionsBecomeProjectVariables) {
    const auto project = ReferenceProject::Create();
    BatchInfoVector list = LegacyList();
    ASSERT_TRUE(list.UpdateBCIDsVectorFormat(*project, nullptr));

    const NCIntegralVector<unsigned long, 0>& ids = list.GetBCVariableIDs();
    ASSERT_EQ(ids.size(), 4);
    const NCVariables& variables = project->GetVariables();
    const char* expectedNames[] = {"Temp", "Colour", "Yield", "Shape"};
    for (int i = 1; i <= 4; ++i) {
        const VariableInfo* var = variables[ids[i]];
        ASSERT_NE(var, nullptr) << i;
        EXPECT_STREQ(var->GetPrimaryAlias(), expectedNames[i - 1]);
        EXPECT_EQ(var->GetVariableType(), eVarTypeBatchCondition);
    }
    EXPECT_FALSE(variables[ids[1]]->IsQualitative());
    EXPECT_EQ(variables[ids[3]]->GetVariableBlock(), eBlockY);
    const QualitativeVariableInfo* colour = variables[ids[2]]->AsQualitativeVariableInfo();
    ASSERT_NE(colour, nullptr);
    ASSERT_EQ(colour->SizeSettings(), 2);  // "RED" is "Red" ignoring case; the empty text is missing
    EXPECT_STREQ(colour->GetSettingName(1), "Red");
    EXPECT_STREQ(colour->GetSettingName(2), "Blue");

    // Codes stand at the conditions' positions between the quantitative values.
    EXPECT_EQ(Values(*list[0]), (std::vector<float>{20, 1, 1, 1}));
    EXPECT_EQ(Values(*list[1]), (std::vector<float>{21, kMissingValue, 2, 2}));
    EXPECT_EQ(Values(*list[2]), (std::vector<float>{22, 1, 3, 1}));
    EXPECT_EQ(Values(*list[3]), (std::vector<float>{23, 2, 4, 2}));
    EXPECT_EQ(list.OBSOLETE_GetConditionNames().Size(), 0);
    EXPECT_TRUE(list.OBSOLETE_GetConditionKinds().empty());

    // A converted list is left alone.
    const int count = variables.GetNumberOfVarObs();
    EXPECT_TRUE(list.UpdateBCIDsVectorFormat(*project, nullptr));
    EXPECT_EQ(variables.GetNumberOfVarObs(), count);
}

TEST(BatchConditionConversion, GivenNamesAreQuantitativeAndMissingTextsFail) {
    const auto project = ReferenceProject::Create();
    BatchInfoVector named = LegacyList();
    NCStringVector names;
    names.push_back("Temp");
    names.push_back("Yield");
    ASSERT_TRUE(named.UpdateBCIDsVectorFormat(*project, &names));
    ASSERT_EQ(named.GetBCVariableIDs().size(), 2);
    EXPECT_FALSE(project->GetVariables()[named.GetBCVariableIDs()[2]]->IsQualitative());
    EXPECT_EQ(project->GetVariables()[named.GetBCVariableIDs()[2]]->GetVariableBlock(), eBlockX);
    EXPECT_EQ(Values(*named[0]), (std::vector<float>{20, 1}));

    BatchInfoVector shortTexts = LegacyList();
    NCStringVector oneText;
    oneText.push_back("Red");
    shortTexts[2]->OBSOLETE_SetQualitativeValues(oneText);  // lacks its Shape
    EXPECT_FALSE(shortTexts.UpdateBCIDsVectorFormat(*project, nullptr));
    EXPECT_EQ(shortTexts.GetBCVariableIDs().size(), 3);  // Temp, Colour and Yield stay converted
}

}  // namespace
