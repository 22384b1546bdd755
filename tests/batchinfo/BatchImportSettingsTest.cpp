// Batch import settings: the default phase list, generated variables and resetting.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/ClassInfoVector.h"
#include "interfaces/constants/NCConstants.h"
#include "varobs/NCVariables.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kNoUniqueID;

namespace {

class BatchImportSettingsTest : public ::testing::Test {
protected:
    static constexpr unsigned long kX = 1, kY = 2;

    void SetUp() override {
        Add(kX, "X", eBlockX);
        Add(kY, "Y", eBlockY)->SetUnit("%");
        settings.SetProjectType(BatchImportSettings::eProjectTypePhases);
        settings.SetBatchID(2);
        settings.SetPhaseID(3);
        ClassInfoVector phases;
        for (const char* name : {"P1", "P2"}) {
            auto phase = boost::make_shared<ClassInfo>(name);
            phase->SetYVariableID(kY);
            phases.push_back(phase);
        }
        settings.SetDefaultClassInfoVector(&phases);
    }

    VariableInfo* Add(unsigned long id, const char* name, EVariableBlock block) {
        VariableInfo* var = variables.Add(new QuantitativeVariableInfo(name, id, "", -1, -1, eVarTypeDefault), nullptr);
        var->SetVariableBlock(block);
        return var;
    }

    const ClassInfoVector& Phases() const { return *settings.GetDefaultClassInfoVector(true); }

    NCVariables variables;
    BatchImportSettings settings;
};

TEST_F(BatchImportSettingsTest, ARelativeVariableTakesOverItsSourcesRoles) {
    Add(10, "Y rel", eBlockExcludedY);
    variables[10UL]->SetVariableType(eVarTypeDefault);
    variables[kY]->SetVariableType(eVarTypeFromSource);
    settings.IncludeNewVar(10, kY, &variables, false, true, false);
    EXPECT_EQ(variables[10UL]->GetVariableBlock(), eBlockY);
    EXPECT_EQ(variables[kY]->GetVariableBlock(), eBlockExcludedY);
    EXPECT_EQ(variables[10UL]->GetVariableType(), eVarTypeFromSource);
    EXPECT_EQ(variables[10UL]->GetUnit(), CString("%"));
    for (const auto& phase : Phases()) {
        EXPECT_EQ(phase->GetYVariableID(), 10UL);
        EXPECT_TRUE(phase->IsIncluded(10UL));
        EXPECT_FALSE(phase->IsIncluded(kY));
    }
    EXPECT_FALSE(settings.HasSmoothedYs());
}

TEST_F(BatchImportSettingsTest, ASmoothedVariableIsRememberedAndExcluded) {
    Add(11, "X smooth", eBlockX);
    settings.IncludeNewVar(11, kX, &variables, true, false, false);
    EXPECT_EQ(variables[11UL]->GetVariableBlock(), eBlockExcludedX);
    EXPECT_EQ(variables[kX]->GetVariableBlock(), eBlockX);  // the source stays as it was
    for (const auto& phase : Phases()) EXPECT_FALSE(phase->IsIncluded(11UL));
    EXPECT_TRUE(settings.IsSmoothed(kX));
    EXPECT_FALSE(settings.IsSmoothed(11UL));
    EXPECT_EQ(settings.GetSmoothed(kX), 11UL);
    EXPECT_EQ(settings.GetSmoothed(kY), kNoUniqueID);
    EXPECT_EQ(settings.GetSourceVar(11UL, &variables), kX);
    EXPECT_EQ(settings.GetSourceVar(kX, &variables), kNoUniqueID);

    BatchImportSettings copy(settings);
    (*copy.GetDefaultClassInfoVector(true))[0]->SetIncluded(11UL, true);
    EXPECT_FALSE(Phases()[0]->IsIncluded(11UL));  // copies clone the phases

    variables[11UL]->SetVariableBlock(eBlockX);
    Phases()[0]->SetIncluded(11UL, true);
    settings.ExcludeVar(11UL, &variables);
    EXPECT_FALSE(settings.IsSmoothed(kX));
    EXPECT_EQ(variables[11UL]->GetVariableBlock(), eBlockExcludedX);
    for (const auto& phase : Phases()) EXPECT_FALSE(phase->IsIncluded(11UL));

    settings.IncludeNewVar(999UL, kX, &variables, true, true, false);  // not a variable: nothing
    EXPECT_FALSE(settings.HasSmoothedYs());
    EXPECT_EQ(variables[kX]->GetVariableBlock(), eBlockX);
}

TEST_F(BatchImportSettingsTest, TimeBecomesTheYOnlyOfPhasesWithoutOne) {
    Add(20, "$Time", eBlockX);
    settings.IncludeNewVar(20, kNoUniqueID, &variables, false, false, true);
    for (const auto& phase : Phases()) {
        EXPECT_EQ(phase->GetYVariableID(), kY);
        EXPECT_FALSE(phase->IsIncluded(20UL));
    }
    EXPECT_EQ(variables[20UL]->GetVariableBlock(), eBlockExcludedY);  // Y is an included response

    Phases()[1]->SetYVariableID(kNoUniqueID);
    variables[kY]->SetVariableBlock(eBlockExcludedY);
    Add(21, "$Time", eBlockX);
    settings.IncludeNewVar(21, kNoUniqueID, &variables, false, false, true);
    EXPECT_FALSE(Phases()[0]->IsIncluded(21UL));
    EXPECT_EQ(Phases()[1]->GetYVariableID(), 21UL);
    EXPECT_TRUE(Phases()[1]->IsIncluded(21UL));
    EXPECT_EQ(variables[21UL]->GetVariableBlock(), eBlockY);
}

TEST_F(BatchImportSettingsTest, ResetAndPhaseQueries) {
    EXPECT_TRUE(settings.HasPhases());
    settings.SetProjectType(BatchImportSettings::eProjectTypeDefault);
    EXPECT_FALSE(settings.HasPhases());
    EXPECT_NE(settings.GetDefaultClassInfoVector(true), nullptr);  // the phase ID is still set

    settings.SetProjectType(BatchImportSettings::eProjectTypePhases);
    settings.PushBackColumnConcatInfo(ColumnConcatenateInfo(NCIntegralVector<int, -99>(2, 1), "_"));
    settings.SetHasBeenDownSized(true);
    settings.Reset(true);
    EXPECT_EQ(settings.GetProjectType(), BatchImportSettings::eProjectTypePhases);
    EXPECT_EQ(settings.SizeColumnConcatInfos(), 1);
    EXPECT_EQ(settings.GetBatchID(), -1);
    EXPECT_EQ(settings.GetPhaseID(), -1);
    EXPECT_EQ(settings.GetBatchIDImportColumn(), -1);
    EXPECT_EQ(settings.GetPhaseIDImportColumn(), -1);
    EXPECT_FALSE(settings.GetHasBeenDownSized());
    EXPECT_EQ(settings.GetDefaultClassInfoVector(false), nullptr);

    settings.Reset(false);
    EXPECT_EQ(settings.GetProjectType(), BatchImportSettings::eProjectTypeDefault);
    EXPECT_EQ(settings.SizeColumnConcatInfos(), 0);
    settings.PopBackColumnConcatInfo();  // empty: nothing happens
}

}  // namespace
