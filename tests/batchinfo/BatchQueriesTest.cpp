// Questions about the batches and phases of lists and of a dataset's observations.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <memory>
#include <string>
#include <vector>

#include "batchinfo/BatchQueries.h"
#include "interfaces/constants/NCConstants.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

using nc::kConstantVariableUniqueID;
using nc::kNoUniqueID;

namespace {

std::vector<std::string> Texts(const NCStringVector& texts) {
    std::vector<std::string> out;
    for (int i = 1; i <= texts.Size(); ++i) out.emplace_back(texts[i]);
    return out;
}

template <typename T, T D>
std::vector<T> Values(const NCIntegralVector<T, D>* values) {
    return values ? std::vector<T>(values->begin(), values->end()) : std::vector<T>();
}

// Nine observations: B1 (P1, P1, P2), B2 (P1, P2, P2), B3 (P1, P1, P1); the phase number is the
// observation's default class.
class BatchQueriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<CString> labels{"", "Batch", "Phase"};
        obs.Set_ID_Labels(&labels);
        obs.SetBatchID(2);
        obs.SetPhaseID(3);
        const char* rows[][2] = {{"B1", "P1"}, {"B1", "P1"}, {"B1", "P2"}, {"B2", "P1"}, {"B2", "P2"},
                                 {"B2", "P2"}, {"B3", "P1"}, {"B3", "P1"}, {"B3", "P1"}};
        unsigned long id = 1;
        for (const auto& row : rows) {
            const std::string name = "o" + std::to_string(id);
            ObservationInfo* record =
                obs.Add(new ObservationInfo(std::vector<CString>{name.c_str(), row[0], row[1]}, id), nullptr);
            record->SetDefaultClass(row[1][1] - '0');
            ids.push_back(id++);
        }
    }

    std::vector<int> Rows(const char* batch, int phase) {
        return Values(
            std::unique_ptr<NCIntegralVector<int, -99>>(BatchUtilities::FindBatchPhaseIndexes(&obs, ids, batch, phase))
                .get());
    }

    int Monotonic(std::vector<float> values) {
        NCDataVector<float> vector;
        for (const float value : values) vector.push_back(value);
        return BatchUtilities::IsMonotonic(&obs, &vector, &ids);
    }

    NCObservations obs;
    NCIntegralVector<unsigned long, 0> ids;
};

TEST_F(BatchQueriesTest, RowsOfBatchesAndPhases) {
    EXPECT_EQ(Rows(nullptr, 0), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Rows("", 0).size(), 9u);
    EXPECT_EQ(Rows("B2", 0), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(Rows("B2", 2), (std::vector<int>{5, 6}));
    EXPECT_EQ(Rows(nullptr, 1), (std::vector<int>{1, 2, 4, 7, 8, 9}));
    EXPECT_TRUE(Rows("b2", 0).empty());

    int maxPhase = -1;
    const std::unique_ptr<NCIntegralVector<int, -99>> phases(BatchUtilities::GetObsPhases(maxPhase, &obs, ids));
    EXPECT_EQ(Values(phases.get()), (std::vector<int>{1, 1, 2, 1, 2, 2, 1, 1, 1}));
    EXPECT_EQ(maxPhase, 2);
    obs.SetPhaseID(-1);
    EXPECT_EQ(BatchUtilities::GetObsPhases(maxPhase, &obs, ids), nullptr);
}

TEST_F(BatchQueriesTest, MonotonicityPerBatchAndItsDirection) {
    EXPECT_EQ(Monotonic({1, 2, 3, 5, 4, 4, 1, 2, 3}), 0);
    EXPECT_EQ(Monotonic({1, 2, 3, 5, 7, 4, 1, 2, 3}), 2);
    EXPECT_EQ(Monotonic({1, 2, 3, 5, 4, 4, 1, 3, 2}), 3);
    EXPECT_EQ(Monotonic({3, 1, 2, 5, 7, 4, 1, 2, 3}), 1);
}

TEST_F(BatchQueriesTest, BatchIndexesAmongTheIncludedBatches) {
    BatchInfoVector batches;
    for (const char* name : {"B1", "B2", "B3"}) batches.push_back(boost::make_shared<BatchInfo>(name));
    batches[1]->SetIncluded(false);
    const std::unique_ptr<NCIntegralVector<int, -99>> indexes(BatchUtilities::GetBatchIndexes(&obs, &ids, batches));
    EXPECT_EQ(Values(indexes.get()), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(Texts(*std::unique_ptr<NCStringVector>(BatchUtilities::GetBatchNames(&batches, true))),
              (std::vector<std::string>{"B1", "B3"}));
    EXPECT_EQ(std::unique_ptr<NCStringVector>(BatchUtilities::GetBatchNames(&batches, false))->Size(), 3);
}

TEST(BatchQueries, PhaseNamesOnceIgnoringCase) {
    ClassInfoVector phases;
    for (const char* name : {"Heat", "Cool", "HEAT"}) phases.push_back(boost::make_shared<ClassInfo>(name));
    phases[0]->SetIncluded(false);
    EXPECT_EQ(Texts(*std::unique_ptr<NCStringVector>(BatchUtilities::GetPhaseNames(&phases, false))),
              (std::vector<std::string>{"Heat", "Cool"}));
    EXPECT_EQ(Texts(*std::unique_ptr<NCStringVector>(BatchUtilities::GetPhaseNames(&phases, true))),
              (std::vector<std::string>{"Cool", "HEAT"}));
}

// Variables X (1), Y (2), $Time (3, Y block), Z (4, Y block); phases P1 (Y 2), P2 (no Y, X
// excluded), P3 (Y 2, excluded), P4 (the constant as Y), p1 (Y 2).
class PhaseVariablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* names[] = {"X", "Y", "$Time", "Z"};
        for (unsigned long id = 1; id <= 4; ++id) {
            VariableInfo* var =
                variables.Add(new QuantitativeVariableInfo(names[id - 1], id, "", -1, -1, eVarTypeDefault), nullptr);
            var->SetVariableBlock(id == 1 ? eBlockX : eBlockY);
            ids.push_back(id);
        }
        const struct {
            const char* name;
            unsigned long y;
        } rows[] = {{"P1", 2}, {"P2", kNoUniqueID}, {"P3", 2}, {"P4", kConstantVariableUniqueID}, {"p1", 2}};
        for (const auto& row : rows) {
            auto phase = boost::make_shared<ClassInfo>(row.name);
            phase->SetYVariableID(row.y);
            phases.push_back(phase);
        }
        phases[1]->SetIncluded(1UL, false);
        phases[2]->SetIncluded(false);
    }

    std::vector<std::string> Classes(unsigned long id) {
        return Texts(BatchUtilities::GetDefaultVarClasses(&phases, variables[id]));
    }
    std::vector<int> Block(bool y, const ClassInfoVector* list, const char* phase) {
        return Values(std::unique_ptr<NCIntegralVector<int, -99>>(
                          BatchUtilities::GetBlockVariables(&variables, &ids, list, y, phase))
                          .get());
    }

    NCVariables variables;
    NCIntegralVector<unsigned long, 0> ids;
    ClassInfoVector phases;
};

TEST_F(PhaseVariablesTest, DefaultClassesOfAVariable) {
    EXPECT_EQ(Classes(1), (std::vector<std::string>{"P1", "P4"}));
    EXPECT_EQ(Classes(2), (std::vector<std::string>{"P1"}));
    EXPECT_EQ(Classes(3), (std::vector<std::string>{"P2", "P4"}));
    EXPECT_TRUE(Classes(4).empty());
}

TEST_F(PhaseVariablesTest, BlockVariablesWithAndWithoutPhases) {
    EXPECT_EQ(Block(false, nullptr, nullptr), (std::vector<int>{1}));
    EXPECT_EQ(Block(true, nullptr, nullptr), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(Block(false, &phases, "p1"), (std::vector<int>{1}));
    EXPECT_EQ(Block(true, &phases, "P1"), (std::vector<int>{2}));
    EXPECT_TRUE(Block(false, &phases, "P2").empty());
    EXPECT_TRUE(Block(true, &phases, "P2").empty());
    EXPECT_EQ(Block(true, &phases, nullptr), (std::vector<int>{2}));
}

TEST_F(PhaseVariablesTest, QualitativeSettingsOfABatchCondition) {
    NCStringVector colours;
    colours.push_back("red");
    colours.push_back("blue");
    variables.Add(new QualitativeVariableInfo("Colour", 5, &colours, ""), nullptr);
    BatchInfoVector batches;
    NCIntegralVector<unsigned long, 0> conditions;
    conditions.push_back(1UL);
    conditions.push_back(5UL);
    batches.SetBCVariableIDs(conditions);

    std::vector<CString> settings{"old"};
    EXPECT_FALSE(BatchUtilities::GetBatchConditionQualitativeSettings(&batches, "X", settings, &variables));
    EXPECT_FALSE(BatchUtilities::GetBatchConditionQualitativeSettings(&batches, "colour", settings, &variables));
    EXPECT_EQ(settings, std::vector<CString>{"old"});
    ASSERT_TRUE(BatchUtilities::GetBatchConditionQualitativeSettings(&batches, "Colour", settings, &variables));
    EXPECT_EQ(settings, (std::vector<CString>{"red", "blue"}));
}

}  // namespace
