#include <map>
#include <memory>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "app/SignalLog.h"
#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/utility/Exception.h"
#include "interfaces/utility/LanguageString.h"
#include "tests/dataset/DatasetTestProject.h"
#include "tests/dataset/NCDataSetTestAccess.h"
#include "varobs/QualitativeVariableInfo.h"

using nc::kMissingValue;

namespace {

using NCDataSetEditingTest = DatasetTest;

std::vector<std::string> VariableNames(const NCDataSet& dataset) {
    std::vector<std::string> names;
    for (int j = 1; j <= dataset.SizeVariables(); ++j) names.emplace_back(dataset.GetVariableID(j, 1));
    return names;
}

NCIntegralVector<int, -99> Positions(std::initializer_list<int> values) {
    NCIntegralVector<int, -99> positions;
    for (int v : values) positions.push_back(v);
    return positions;
}

TEST_F(NCDataSetEditingTest, NewVariablesAreNumberedAfterTheColumnsSkippingTakenNames) {
    const auto dataset = MakeDataset(2, 2, 3);
    AddVariableRecord("Var4");
    AddVariableRecord("VAR6");  // names compare ignoring case
    const int records = project->GetVariables().size();
    dataset->AddVariables(2, "Var", true, true);
    ExpectShapeKept(*dataset);
    EXPECT_EQ(VariableNames(*dataset), (std::vector<std::string>{"V1", "V2", "V3", "Var5", "Var7"}));
    EXPECT_EQ(project->GetVariables().size(), records + 2);
    EXPECT_EQ(Value(*dataset, 2, 5), kMissingValue);
}

TEST_F(NCDataSetEditingTest, AddingByNameReusesAProjectVariableTheDatasetLacks) {
    const auto dataset = MakeDataset(2, 2, 1);
    const unsigned long temp = AddVariableRecord("Temp");
    const int records = project->GetVariables().size();
    dataset->AddVariables(1, "Temp", true, false);
    EXPECT_EQ(dataset->GetVarID(2), temp);
    EXPECT_EQ(project->GetVariables().size(), records) << "no record is created for a reused variable";

    dataset->AddVariables(1, "Temp", true, false);
    EXPECT_EQ(VariableNames(*dataset).back(), "Temp3") << "already in the dataset: a new numbered name";

    dataset->AddVariables(3, "Flow", true, false);
    ExpectShapeKept(*dataset);
    const std::vector<std::string> names = VariableNames(*dataset);
    EXPECT_EQ(names[3], "Flow");
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size()) << "names stay distinct";
    EXPECT_EQ(project->GetVariables().size(), records + 4);
}

TEST_F(NCDataSetEditingTest, NewObservationsGetFreeNamesAndTheirOwnSecondaryIDs) {
    const auto dataset = MakeDataset(2, 10, 2);
    AddObservationRecord("Obs1");
    dataset->SetUsedAliases({1, 2, 3}, {1});
    dataset->AddObservations(1);
    ExpectShapeKept(*dataset);
    EXPECT_STREQ(dataset->GetObservationID(11, 1), "Obs2");
    EXPECT_STREQ(dataset->GetObservationID(11, 2), "11");
    EXPECT_STREQ(dataset->GetObservationID(11, 3), "11");
    EXPECT_EQ(Value(*dataset, 11, 2), kMissingValue);

    dataset->AddObservations(3);
    ExpectShapeKept(*dataset);
    EXPECT_STREQ(dataset->GetObservationID(12, 1), "Obs3");
    EXPECT_STREQ(dataset->GetObservationID(14, 1), "Obs5");
    EXPECT_STREQ(dataset->GetObservationID(12, 2), "12");
    EXPECT_STREQ(dataset->GetObservationID(14, 3), "14");
}

TEST_F(NCDataSetEditingTest, ANewRecordWhoseUniqueIDIsTakenIsRefusedAndNothingLeaks) {
    const auto dataset = MakeDataset(2, 2, 2);
    // The project hands out unique IDs in order: give the next two to records behind its back.
    const unsigned long next = project->GetNewUniqueID(nc::UniqueIDKind::kRecord) + 1;
    project->GetObservations().Add(std::make_unique<ObservationInfo>(CString("Squatter"), next), nullptr);
    project->GetVariables().Add(
        std::make_unique<QuantitativeVariableInfo>(CString("Squatter"), next + 1, CString(), -1, -1, eVarTypeDefault),
        nullptr);
    const int observations = project->GetObservations().size();
    const int variables = project->GetVariables().size();

    EXPECT_THROW(dataset->AddObservations(1), Exception);
    EXPECT_THROW(dataset->AddVariables(1, "Var", true, true), Exception);
    EXPECT_EQ(project->GetObservations().size(), observations);
    EXPECT_EQ(project->GetVariables().size(), variables);
    EXPECT_STREQ(project->GetObservations()[next]->GetPrimaryAlias(), "Squatter");
    EXPECT_EQ(dataset->SizeObservations(), 2);
    EXPECT_EQ(dataset->SizeVariables(), 2);
    ExpectShapeKept(*dataset);
}

TEST_F(NCDataSetEditingTest, InsertingExistingRecordsKeepsRowsAndColumnsInStep) {
    const auto dataset = MakeDataset(2, 2, 2);
    NCIntegralVector<unsigned long, 0> ids;
    ids.push_back(AddObservationRecord("new1"));
    ids.push_back(AddObservationRecord("new2"));
    dataset->AddObservations(&ids, 2, true);
    ExpectShapeKept(*dataset);
    EXPECT_EQ(dataset->GetObsID(2), ids[1]);
    EXPECT_EQ(Value(*dataset, 4, 1), 201.0f);
    const NCIntegralVector<unsigned long, 0> vars(1, AddVariableRecord("w"));
    dataset->AddVariables(&vars, -1, true);
    ExpectShapeKept(*dataset);
    EXPECT_EQ(dataset->GetVarID(3), vars[1]);
}

TEST_F(NCDataSetEditingTest, RemovalsNeedTheUsersYesAndTheProjectsConsent) {
    const auto dataset = MakeDataset(2, 4, 4);
    const auto ids = dataset->GetVarIDs();

    auto positions = Positions({1, 3});
    dataset->RemoveVariable(&positions, true, false);  // scripted user answers no
    EXPECT_EQ(positions.size(), 0);
    EXPECT_EQ(dataset->GetVarIDs(), ids);
    ASSERT_EQ(user->GetExchanges().size(), 1u);
    EXPECT_EQ(user->GetExchanges()[0].text, LanguageString::Get(nc::LanguageText::kRemoveVariables).GetString());
    EXPECT_EQ(user->GetExchanges()[0].caption, "DatasetTestApp");
    EXPECT_TRUE(project->GetConsentRequests().empty()) << "a no ends the removal before the project is asked";

    project->SetNumberOfModels(1);
    user->AddAnswer(1);
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>*) { return false; });
    positions = Positions({1, 3});
    dataset->RemoveVariable(&positions, true, false);
    EXPECT_EQ(user->GetExchanges()[1].text,
              LanguageString::Get(nc::LanguageText::kRemoveVariablesWithModels).GetString());
    EXPECT_EQ(positions.size(), 0);
    EXPECT_EQ(dataset->GetVarIDs(), ids);
    ExpectShapeKept(*dataset);
    ASSERT_EQ(project->GetConsentRequests().size(), 1u);
    EXPECT_EQ(project->GetConsentRequests()[0].variableIDs, (std::vector<unsigned long>{ids[1], ids[3]}));

    project->SetConsentPolicy(nullptr);
    user->AddAnswer(1);
    positions = Positions({1, 3});
    dataset->RemoveVariable(&positions, true, false);
    EXPECT_EQ(positions.size(), 2);
    ExpectShapeKept(*dataset);
    EXPECT_EQ(VariableNames(*dataset), (std::vector<std::string>{"V2", "V4"}));
    EXPECT_EQ(Value(*dataset, 3, 2), 304.0f);

    // Observations: their own two questions, consent without a variable list.
    project->SetNumberOfModels(0);
    positions = Positions({2});
    dataset->RemoveObservation(&positions, true, false);
    EXPECT_EQ(positions.size(), 0);
    EXPECT_EQ(user->GetExchanges().back().text, LanguageString::Get(nc::LanguageText::kRemoveObservations).GetString());
    project->SetNumberOfModels(3);
    user->AddAnswer(1);
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>*) { return false; });
    positions = Positions({2});
    dataset->RemoveObservation(&positions, true, false);
    EXPECT_EQ(user->GetExchanges().back().text,
              LanguageString::Get(nc::LanguageText::kRemoveObservationsWithModels).GetString());
    EXPECT_EQ(positions.size(), 0);
    EXPECT_EQ(dataset->SizeObservations(), 4);
    ExpectShapeKept(*dataset);
    EXPECT_FALSE(project->GetConsentRequests().back().hasVariableList);

    // Unchecked: nobody is asked.
    const std::size_t asked = user->GetExchanges().size(), consulted = project->GetConsentRequests().size();
    positions = Positions({2, 4});
    dataset->RemoveObservation(&positions, true, true);
    EXPECT_EQ(positions.size(), 2);
    ExpectShapeKept(*dataset);
    EXPECT_STREQ(dataset->GetObservationID(2, 1), "O3");
    EXPECT_EQ(user->GetExchanges().size(), asked);
    EXPECT_EQ(project->GetConsentRequests().size(), consulted);

    // The list is applied from its last entry to its first: a descending list removes other columns.
    const auto other = MakeDataset(2, 2, 4);
    positions = Positions({3, 1});
    other->RemoveVariable(&positions, false, true);
    EXPECT_EQ(VariableNames(*other), (std::vector<std::string>{"V2", "V3"}));
    ExpectShapeKept(*other);
}

TEST_F(NCDataSetEditingTest, SetValueAsksOnlyWithModelsAndConsultsWhenAskedTo) {
    const auto dataset = MakeDataset(2, 2, 2);
    EXPECT_TRUE(dataset->SetValue(1, 1, 5.0f, false, true, false));
    EXPECT_EQ(user->QuestionCount(), 0);
    EXPECT_TRUE(project->GetConsentRequests().empty());
    EXPECT_TRUE(dataset->SetValue(1, 1, 6.0f, false, true, true));
    ASSERT_EQ(project->GetConsentRequests().size(), 1u);
    EXPECT_EQ(project->GetConsentRequests()[0].variableIDs, std::vector<unsigned long>{dataset->GetVarID(1)});

    project->SetNumberOfModels(2);
    EXPECT_FALSE(dataset->SetValue(1, 2, 9.0f, false, true, false));  // user says no
    EXPECT_EQ(user->GetExchanges().back().text,
              "All models containing the affected variables will be deleted if you change the dataset.\n"
              "Do you want to change it anyway?");
    EXPECT_EQ(user->GetExchanges().back().caption, "DatasetTestApp");
    user->AddAnswer(1);
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>*) { return false; });
    EXPECT_FALSE(dataset->SetValue(1, 2, 9.0f, false, true, false)) << "the project vetoes after the yes";
    EXPECT_EQ(Value(*dataset, 1, 2), 102.0f);
    project->SetConsentPolicy(nullptr);
    user->AddAnswer(1);
    EXPECT_TRUE(dataset->SetValue(1, 2, 9.0f, false, true, false));
    EXPECT_EQ(Value(*dataset, 1, 2), 9.0f);
    EXPECT_FALSE(dataset->SetValue(3, 1, 1.0f, false, false, false));
    ExpectShapeKept(*dataset);
}

TEST_F(NCDataSetEditingTest, TrimRecordingKeepsTheFirstValueOfACell) {
    const auto dataset = MakeDataset(2, 2, 2);
    ASSERT_TRUE(dataset->SetValue(2, 1, 50.0f, true, false, false));
    ASSERT_TRUE(dataset->SetValue(2, 1, 60.0f, true, false, false));
    ASSERT_TRUE(dataset->SetValue(1, 1, 70.0f, true, false, false));
    const auto& recorded = NCDataSetTestAccess::ValuesBeforeTrim(*dataset);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].at(dataset->GetObsID(2)), 201.0f);
    EXPECT_EQ(recorded[0].at(dataset->GetObsID(1)), 101.0f);
    EXPECT_EQ(NCDataSetTestAccess::TrimDescriptions(*dataset).size(), 1u);

    project->SetNumberOfModels(1);  // a refused change keeps what was recorded
    EXPECT_FALSE(dataset->SetValue(1, 2, 1.0f, true, true, false));
    EXPECT_EQ(recorded.size(), 2u);
    EXPECT_TRUE(dataset->GetIsTrimmed());
}

TEST_F(NCDataSetEditingTest, TextValuesAreEncodedAndRejectedTextsAskNobody) {
    const auto dataset = MakeDataset(2, 2, 1);
    NCStringVector settings;
    settings.push_back("low");
    settings.push_back("high");
    const unsigned long colourID = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
    project->GetVariables().Add(
        std::make_unique<QualitativeVariableInfo>(CString("level"), colourID, &settings, CString()), nullptr);
    const NCIntegralVector<unsigned long, 0> ids(1, colourID);
    dataset->AddVariables(&ids, -1, false);
    project->SetNumberOfModels(1);

    EXPECT_FALSE(dataset->SetValue(1, 2, "medium", false, true, true));
    EXPECT_EQ(user->QuestionCount(), 0);
    EXPECT_TRUE(project->GetConsentRequests().empty());
    EXPECT_EQ(Value(*dataset, 1, 2), kMissingValue);

    user->AddAnswer(1);
    EXPECT_TRUE(dataset->SetValue(1, 2, "HIGH", false, true, false));
    EXPECT_EQ(Value(*dataset, 1, 2), 2.0f);
    EXPECT_EQ(dataset->GetStrValue(1, 2), "high");
    EXPECT_TRUE(dataset->SetValue(2, 1, "3.5", false, false, false));
    EXPECT_EQ(Value(*dataset, 2, 1), 3.5f);
}

TEST_F(NCDataSetEditingTest, WholeColumnAndMatrixUpdatesKeepTheShape) {
    const auto dataset = MakeDataset(2, 3, 2);
    NCDataMatrix<float> wrong(2, 2, 0.0f);
    EXPECT_FALSE(dataset->SetValues(&wrong));
    NCDataMatrix<float> right(3, 2, 1.0f);
    EXPECT_TRUE(dataset->SetValues(&right));
    EXPECT_EQ(Value(*dataset, 3, 2), 1.0f);

    const float column[] = {7, 8, 9};
    EXPECT_TRUE(dataset->SetColValues(column, 2));
    EXPECT_EQ(Value(*dataset, 3, 2), 9.0f);
    EXPECT_FALSE(dataset->SetColValues(column, 3));
    EXPECT_TRUE(dataset->SetColValues(Positions({4, 5, 6}), 1));
    EXPECT_EQ(Value(*dataset, 2, 1), 5.0f);
    EXPECT_FALSE(dataset->SetColValues(Positions({4, 5}), 1)) << "fewer values than observations";
    ExpectShapeKept(*dataset);

    dataset->ReserveVars(50);
    ExpectShapeKept(*dataset);
    dataset->ChangeVarID(12345, 1);
    EXPECT_EQ(dataset->GetVarID(1), 12345u);
    const auto first = MakeDataset(1, 1, 1);
    const unsigned long kept = first->GetVarID(1);
    first->ChangeVarID(12345, 1);
    EXPECT_EQ(first->GetVarID(1), kept) << "dataset number 1 keeps its variable IDs";
}

TEST_F(NCDataSetEditingTest, RemoveObservationIDTakesAZeroBasedPosition) {
    const auto dataset = NCDataSet::Create(project, 2);
    dataset->SetUsedAliases({1, 2, 3}, {1});
    dataset->RemoveObservationID(3);
    EXPECT_EQ(dataset->GetUsedObsAliases(), (std::vector<int>{1, 2, 3}));
    dataset->RemoveObservationID(1);
    EXPECT_EQ(dataset->GetUsedObsAliases(), (std::vector<int>{1, 3}));
}

TEST_F(NCDataSetEditingTest, EveryChangeRaisesItsSignal) {
    const auto dataset = MakeDataset(9, 2, 2);
    SignalLog log;
    dataset->AddObservations(1);
    dataset->AddVariables(1, "x", false, true);
    dataset->AddVariables(1, "y", true, true);
    const unsigned long obs1 = dataset->GetObsID(1), var1 = dataset->GetVarID(1);
    ASSERT_TRUE(dataset->SetValue(1, 1, 3.0f, false, false, false));
    auto positions = Positions({1});
    dataset->RemoveVariable(&positions, false, false);
    dataset->RemoveObservationID(0);
    const std::vector<std::string> lines = log.GetLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "added: dataset 9");
    EXPECT_EQ(lines[1], "added: dataset 9") << "the silent AddVariables raises nothing";
    EXPECT_EQ(lines[2],
              "value changed: dataset 9, observation " + std::to_string(obs1) + ", variable " + std::to_string(var1));
    EXPECT_EQ(log.Count("deleted"), 2);
    positions = Positions({1});
    user->AddAnswer(0);
    dataset->RemoveVariable(&positions, true, false);
    EXPECT_EQ(log.Count("deleted"), 2) << "a refused removal raises nothing";
}

}  // namespace
