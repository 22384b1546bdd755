#pragma once
// Identifiers of the user texts that the library takes from the application's language table
// (LanguageString::Get). The application may translate the texts; a text with a placeholder must
// keep it, as noted.

namespace nc {
namespace LanguageText {

// Prefix of the names given to new observations of a dataset; a number follows it.
constexpr int kNewObservationPrefix = 10127;
// Questions before observations are removed from a dataset, when the project has models and when not.
constexpr int kRemoveObservationsWithModels = 10128;
constexpr int kRemoveObservations = 10129;
// Questions before variables are removed from a dataset, when the project has models and when not.
constexpr int kRemoveVariablesWithModels = 10132;
constexpr int kRemoveVariables = 10133;
// Progress text while the trimmed values of a dataset are found.
constexpr int kFindingTrimmedValues = 10140;
// Question before the trimming of a dataset is undone in a project with models.
constexpr int kUndoTrimmingWithModels = 10141;
// Questions before a dataset is sorted, when the project has models and when not.
constexpr int kSortWithModels = 10145;
constexpr int kSort = 10146;
// Description of the observations' primary ID column, and of any other (one string: its label).
constexpr int kObservationPrimaryIDDescription = 10148;
constexpr int kObservationIDDescription = 10149;
// Primary ID of the variables' constant pseudo-variable.
constexpr int kConstantVariableName = 10151;
// Description of the variables' primary ID column, and of any other (one string: its label).
constexpr int kVariablePrimaryIDDescription = 10152;
constexpr int kVariableIDDescription = 10153;
// Label of a collection's primary ID column, and the default label of any other (one integer:
// the column number).
constexpr int kPrimaryIDLabel = 10154;
constexpr int kDefaultIDLabel = 10155;

}  // namespace LanguageText
}  // namespace nc
