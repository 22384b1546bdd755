#include "dataset/GenVarUtilities.h"

#include <cctype>
#include <climits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "varobs/NCVariables.h"
#include "varobs/VariableInfo.h"

namespace GenVarUtilities {
namespace {

struct Token {
    std::size_t end;  // the position after its last digit
    int number;
};

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// The token starting at `pos` of `text`, if one does (see the token rule in the header).
bool TokenAt(const std::string& text, std::size_t pos, Token& token) {
    if (text[pos] != 'v' || (pos > 0 && IsLetter(text[pos - 1]))) return false;
    std::size_t end = pos + 1;
    if (end >= text.size() || !IsDigit(text[end])) return false;
    long long number = 0;
    for (; end < text.size() && IsDigit(text[end]); ++end)
        if (number <= INT_MAX) number = number * 10 + (text[end] - '0');
    token.end = end;
    token.number = number > INT_MAX ? INT_MAX : static_cast<int>(number);
    return true;
}

// The token numbers of `text`, in order of appearance.
std::vector<int> TokenNumbers(const std::string& text) {
    std::vector<int> numbers;
    Token token{};
    for (std::size_t pos = 0; pos < text.size();) {
        if (TokenAt(text, pos, token)) {
            numbers.push_back(token.number);
            pos = token.end;
        } else {
            ++pos;
        }
    }
    return numbers;
}

// Recipes that use a variable on many paths grow exponentially with their depth: v1 = v2+v2,
// v2 = v3+v3, … doubles at every level. Expansion stops with an error at this length.
constexpr std::size_t kMaxExpandedRecipeLength = std::size_t(1) << 20;

bool IsPosition(int number, const NCIntegralVector<unsigned long, 0>* ids) {
    return ids && number >= 1 && number <= ids->size();
}

// The record of the generated variable at position `number` of `ids`; null for an ordinary
// variable, a variable without a record or a number that is no position.
const VariableInfo* GeneratedVariableAt(int number, const NCIntegralVector<unsigned long, 0>* ids,
                                        const NCVariables* variables) {
    if (!variables || !IsPosition(number, ids)) return nullptr;
    const VariableInfo* record = (*variables)[(*ids)[number]];
    return record && record->IsGenerated() ? record : nullptr;
}

}  // namespace

NCIntegralVector<int, -99>* GetIndexInDatasetForRecipe(CString recipe) {
    const std::vector<int> numbers = TokenNumbers(recipe.GetString());
    if (numbers.empty()) return nullptr;
    auto positions = std::make_unique<NCIntegralVector<int, -99>>();
    positions->reserve(static_cast<int>(numbers.size()));
    for (const int number : numbers) positions->push_back(number);
    return positions.release();
}

// Expanding a recipe inserts the recipes of its generated variables in place and scans each
// inserted recipe in turn. Done with an explicit stack of the recipes being scanned, so that
// neither a long chain of generated variables nor a cycle can exhaust the call stack; the
// variables on the stack are the path from the outer recipe, and meeting one of them again is a
// cycle.
CString ExpandRecipe(CString recipe, const NCIntegralVector<unsigned long, 0>* ids, const NCVariables* variables) {
    if (recipe.IsEmpty()) return recipe;
    struct Frame {
        std::string text;
        std::size_t pos;
        unsigned long uniqueID;
    };
    std::vector<Frame> frames;
    frames.push_back({recipe.GetString(), 0, nc::kNoUniqueID});
    std::set<unsigned long> onPath;
    std::string expanded;
    expanded.reserve(recipe.GetString().size());
    Token token{};
    while (!frames.empty()) {
        if (expanded.size() > kMaxExpandedRecipeLength) {
            CString message;
            message.Format("The recipe \"%s\" expands to more than %d characters.", recipe.GetString().c_str(),
                           static_cast<int>(kMaxExpandedRecipeLength));
            throw NCError(message.GetString(), NCError::Error);
        }
        Frame& frame = frames.back();
        if (frame.pos >= frame.text.size()) {
            onPath.erase(frame.uniqueID);
            frames.pop_back();
            if (!frames.empty()) expanded += ')';
            continue;
        }
        const std::size_t start = frame.pos;
        if (!TokenAt(frame.text, start, token)) {
            expanded += frame.text[frame.pos++];
            continue;
        }
        frame.pos = token.end;
        const VariableInfo* generated = GeneratedVariableAt(token.number, ids, variables);
        if (!generated) {
            expanded.append(frame.text, start, token.end - start);
            continue;
        }
        const unsigned long uniqueID = (*ids)[token.number];
        if (!onPath.insert(uniqueID).second) {
            CString message;
            message.Format("The recipe of the generated variable \"%s\" refers back to that variable.",
                           generated->GetPrimaryAlias());
            throw NCError(message.GetString(), NCError::Error);
        }
        expanded += '(';
        frames.push_back({generated->GetRecipe().GetString(), 0, uniqueID});  // `frame` is not used again
    }
    return CString(std::move(expanded));
}

NCIntegralVector<unsigned long, 0>* GetSourceOfGeneratedVariable(unsigned long varID,
                                                                 const NCIntegralVector<unsigned long, 0>* ids,
                                                                 const NCVariables* variables) {
    if (varID == nc::kNoUniqueID) return nullptr;
    const VariableInfo* record = variables ? (*variables)[varID] : nullptr;
    auto sources = std::make_unique<NCIntegralVector<unsigned long, 0>>();
    if (!record || !record->IsGenerated()) {
        sources->push_back(varID);
        return sources.release();
    }
    const CString expanded = ExpandRecipe(record->GetRecipe(), ids, variables);
    std::set<unsigned long> seen;
    for (const int number : TokenNumbers(expanded.GetString())) {
        if (!IsPosition(number, ids)) continue;
        const unsigned long source = (*ids)[number];
        if (seen.insert(source).second) sources->push_back(source);
    }
    if (sources->empty()) return nullptr;
    return sources.release();
}

std::map<CString, unsigned long> GetParsedRecipeAndOriginalVariable(CString recipe,
                                                                    const NCIntegralVector<unsigned long, 0>* ids,
                                                                    const NCVariables* variables) {
    std::map<CString, unsigned long> tokens;
    const CString expanded = ExpandRecipe(recipe, ids, variables);
    for (const int number : TokenNumbers(expanded.GetString())) {
        CString name;
        name.Format("v%d", number);
        tokens.emplace(name, IsPosition(number, ids) ? (*ids)[number] : nc::kNoUniqueID);
    }
    return tokens;
}

}  // namespace GenVarUtilities
