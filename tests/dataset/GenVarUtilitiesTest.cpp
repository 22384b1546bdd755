#include <climits>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dataset/GenVarUtilities.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "tests/dataset/DatasetTestProject.h"
#include "varobs/NCVariables.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

using IDs = NCIntegralVector<unsigned long, 0>;

std::vector<int> Numbers(const char* recipe) {
    const std::unique_ptr<NCIntegralVector<int, -99>> numbers(GenVarUtilities::GetIndexInDatasetForRecipe(recipe));
    if (!numbers) return {-1};  // null, told apart from an empty list
    return std::vector<int>(numbers->begin(), numbers->end());
}

// Variables A, B, C, … with unique IDs 11, 12, 13, … at positions 1, 2, 3, … of `ids`; recipes as given.
class Recipes : public ::testing::Test {
protected:
    void Define(const std::vector<const char*>& recipes) {
        for (std::size_t i = 0; i < recipes.size(); ++i) {
            const unsigned long id = 11 + i;
            const std::string name(1, static_cast<char>('A' + i));
            variables.Add(std::make_unique<QuantitativeVariableInfo>(CString(name), id, CString(recipes[i]), -1, -1,
                                                                     eVarTypeDefault),
                          nullptr);
            ids.push_back(id);
        }
    }
    std::string Expand(const char* recipe) const {
        return GenVarUtilities::ExpandRecipe(recipe, &ids, &variables).GetString();
    }
    std::vector<unsigned long> Sources(unsigned long varID) const {
        const std::unique_ptr<IDs> sources(GenVarUtilities::GetSourceOfGeneratedVariable(varID, &ids, &variables));
        if (!sources) return {0};  // null
        return std::vector<unsigned long>(sources->begin(), sources->end());
    }

    NCVariables variables;
    IDs ids;
};

TEST(GenVarTokens, TokensAreVAfterANonLetterFollowedByDigits) {
    EXPECT_EQ(Numbers("2*v1+lev3+v12"), (std::vector<int>{1, 12}));
    EXPECT_EQ(Numbers("v1*v1+(v2)-v1v3"), (std::vector<int>{1, 1, 2, 1, 3}));
    EXPECT_EQ(Numbers("v007+Va2+_v4"), (std::vector<int>{7, 4}));
    EXPECT_EQ(Numbers("v99999999999"), (std::vector<int>{INT_MAX}));
    for (const char* none : {"", "v", "1+v", "vx+v 2", "lev3", "Xv1"})
        EXPECT_EQ(Numbers(none), (std::vector<int>{-1})) << none;
}

TEST_F(Recipes, ExpansionInsertsRecipesOfGeneratedVariablesAndScansThemToo) {
    Define({"", "v3*2", "log(v4)", "", "v1+v1"});
    EXPECT_EQ(Expand("v1+v2"), "v1+((log(v4))*2)");
    EXPECT_EQ(Expand("v5/v5"), "(v1+v1)/(v1+v1)");
    EXPECT_EQ(Expand("lev2+v"), "lev2+v");
    EXPECT_EQ(Expand(""), "");
    // Ordinary variables, positions outside the list and missing inputs leave tokens as they are.
    EXPECT_EQ(Expand("v0+v4+v9"), "v0+v4+v9");
    EXPECT_EQ(GenVarUtilities::ExpandRecipe("v2", nullptr, &variables).GetString(), "v2");
    EXPECT_EQ(GenVarUtilities::ExpandRecipe("v2", &ids, nullptr).GetString(), "v2");
}

TEST_F(Recipes, RecipesReferringToEachOtherInACycleFailNamingTheVariable) {
    Define({"v2+1", "v1*2", "v3", "v5+v5", "v6-v6", ""});  // A <-> B; C refers to itself; D reaches E twice
    const auto expectCycle = [](const std::function<void()>& call, const std::string& name) {
        try {
            call();
            ADD_FAILURE() << "no error for the cycle through " << name;
        } catch (const NCError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "The recipe of the generated variable \"" + name + "\" refers back to that variable.");
            EXPECT_EQ(error.GetLevel(), NCError::Error);
        }
    };
    expectCycle([&] { Expand("v1"); }, "A");
    expectCycle([&] { Expand("1+v2"); }, "B");
    expectCycle([&] { Expand("v3"); }, "C");
    expectCycle([&] { Sources(11); }, "B");
    expectCycle([&] { GenVarUtilities::GetParsedRecipeAndOriginalVariable("v3", &ids, &variables); }, "C");
    // A variable reached twice on different paths is no cycle.
    EXPECT_NO_THROW(Expand("v4"));
}

TEST_F(Recipes, AnExpansionThatDoublesAtEveryLevelStopsAtItsLimit) {
    // v1 = v2+v2, v2 = v3+v3, …: 2^k copies at depth k. Sixteen levels stay below the limit, forty
    // would not fit in memory.
    std::vector<std::string> recipes;
    for (int level = 1; level < 40; ++level)
        recipes.push_back("v" + std::to_string(level + 1) + "+v" + std::to_string(level + 1));
    recipes.push_back("1");
    std::vector<const char*> texts;
    for (const std::string& recipe : recipes) texts.push_back(recipe.c_str());
    Define(texts);
    std::size_t length = 3;                                              // "(1)", the last variable's token expanded
    for (int level = 39; level >= 25; --level) length = 2 * length + 3;  // "(" E "+" E ")"
    EXPECT_EQ(Expand("v25").size(), length);
    try {
        Expand("v1");
        ADD_FAILURE() << "no error";
    } catch (const NCError& error) {
        EXPECT_EQ(std::string(error.what()), "The recipe \"v1\" expands to more than 1048576 characters.");
    }
}

TEST_F(Recipes, SourcesAreTheOrdinaryVariablesOnceEachInOrderOfFirstUse) {
    Define({"", "", "v1+v1*v2", "v2+v3", "2*3", "v9"});
    EXPECT_EQ(Sources(13), (std::vector<unsigned long>{11, 12}));
    EXPECT_EQ(Sources(14), (std::vector<unsigned long>{12, 11}));
    EXPECT_EQ(Sources(11), (std::vector<unsigned long>{11}));
    EXPECT_EQ(Sources(999), (std::vector<unsigned long>{999}));  // no record: its own source
    EXPECT_EQ(Sources(nc::kNoUniqueID), (std::vector<unsigned long>{0}));
    EXPECT_EQ(Sources(15), (std::vector<unsigned long>{0}));  // no token
    EXPECT_EQ(Sources(16), (std::vector<unsigned long>{0}));  // no position of the list

    const std::map<CString, unsigned long> parsed =
        GenVarUtilities::GetParsedRecipeAndOriginalVariable("v4*v1+v7", &ids, &variables);
    // Expanded: (v2+(v1+v1*v2))*v1+v7; every number once, v7 naming no position.
    EXPECT_EQ(parsed, (std::map<CString, unsigned long>{{"v1", 11}, {"v2", 12}, {"v7", nc::kNoUniqueID}}));
}

class GeneratedVariablesOfDataset : public DatasetTest {};

TEST_F(GeneratedVariablesOfDataset, ListsTheVariablesWithARecipeInListOrder) {
    const unsigned long plain = AddVariableRecord("Plain");
    const unsigned long first = AddVariableRecord("First");
    const unsigned long second = AddVariableRecord("Second");
    project->GetVariables()[first]->SetRecipe("v1*2");
    project->GetVariables()[second]->SetRecipe("log(v1)");
    IDs ids;
    ids.push_back(plain);
    ids.push_back(nc::kNoUniqueID);  // no record
    EXPECT_FALSE(NCDataSet::HasGeneratedVariables(*project, IDs()));
    EXPECT_FALSE(NCDataSet::HasGeneratedVariables(*project, ids));
    EXPECT_FALSE(NCDataSet::GetGenVarList(*project, ids));
    ids.push_back(second);
    ids.push_back(first);
    EXPECT_TRUE(NCDataSet::HasGeneratedVariables(*project, ids));
    const auto list = NCDataSet::GetGenVarList(*project, ids);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, (std::list<DSGenVarData>{{"log(v1)", second}, {"v1*2", first}}));
}

}  // namespace
