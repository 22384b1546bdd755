#pragma once
// GenVarUtilities: the recipes of generated variables, traced to the variables they are made of.
//
// A recipe is the formula, kept in a variable's record (VariableInfo::GetRecipe), by which the
// application computes a generated variable. It names other variables by tokens "v<number>",
// where the number is a 1-based position in an ID list that the caller passes with the recipe
// (normally the variable IDs of the dataset the recipe was written for).
//
// Token rule, the same in every function here: scanning from left to right, a 'v' starts a token
// when it is the first character or follows a character that is not a letter, and a digit
// follows it. The token's number is the whole run of digits after the 'v', read as a decimal
// number (a run too large for an int counts as the largest int). Scanning goes on after the
// token. So 2*v1+lev3+v12 holds the tokens v1 and v12, and a "v" at the end or before a
// non-digit is no token.
//
// What these functions do with what callers should not pass:
// - A token whose number is not a position in the ID list (0, or beyond its end), whose ID has
//   no record, or whose record has no recipe, is an ordinary variable: it stays as it is when a
//   recipe is expanded. A null ID list or collection leaves every token so.
// - Recipes that refer to each other in a cycle (a generated variable that reaches itself
//   through the recipes of the variables it is made of) cannot be expanded: the expansion
//   throws NCError (level Error) "The recipe of the generated variable "<name>" refers back to
//   that variable.", naming the primary ID of the first variable met again. A variable used
//   several times on different paths (a diamond) is no cycle and is expanded each time.
// - A recipe whose expansion grows beyond 1,048,576 characters (recipes that use variables on
//   many paths, nested deeply, double at every level) is refused the same way: NCError (level
//   Error) "The recipe "<recipe>" expands to more than 1048576 characters.", so that a hostile
//   project can neither exhaust the memory nor hang the caller.
// Vectors returned through a pointer are new objects owned by the caller.

#include <map>

#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/utility/CString.h"

class NCVariables;

namespace GenVarUtilities {

// The numbers of all tokens of `recipe`, in order of appearance, repeats kept; null when the
// recipe is empty or holds no token.
NCIntegralVector<int, -99>* GetIndexInDatasetForRecipe(CString recipe);

// `recipe` with each token of a generated variable replaced by "(" + that variable's recipe +
// ")", itself expanded the same way (its tokens refer to the same `ids`). v1+v2, where the
// variable at position 2 has the recipe v3*2, gives v1+(v3*2). Throws NCError on a cycle (above).
CString ExpandRecipe(CString recipe, const NCIntegralVector<unsigned long, 0>* ids, const NCVariables* variables);

// The unique IDs of the ordinary variables that variable `varID` is made of: the `ids` elements at
// the token numbers of its expanded recipe, each once, in order of first appearance. For a
// variable without a recipe (or without a record) a vector holding `varID` only. Null for the
// no-unique-ID value (3262240001) and for a recipe whose expansion names no position of `ids`.
// Throws NCError on a cycle (above).
NCIntegralVector<unsigned long, 0>* GetSourceOfGeneratedVariable(unsigned long varID,
                                                                 const NCIntegralVector<unsigned long, 0>* ids,
                                                                 const NCVariables* variables);

// For every token of the expanded `recipe`, the entry "v<number>" -> the `ids` element at that
// number (one entry per number, however often it occurs); a number that is no position of `ids`
// maps to the no-unique-ID value (3262240001). Throws NCError on a cycle (above).
std::map<CString, unsigned long> GetParsedRecipeAndOriginalVariable(CString recipe,
                                                                    const NCIntegralVector<unsigned long, 0>* ids,
                                                                    const NCVariables* variables);

}  // namespace GenVarUtilities
