#include "interfaces/utility/LanguageString.h"

#include <mutex>
#include <utility>

#include "interfaces/constants/LanguageTextIDs.h"

namespace {

// Texts with a placeholder keep it: the two ID descriptions take one string, the default ID
// label one integer.
std::map<int, std::string> DefaultTable() {
    using namespace nc::LanguageText;
    return {
        {kNewObservationPrefix, "Obs"},
        {kRemoveObservationsWithModels,
         "Removing observations deletes every model of the project that uses them.\n"
         "Do you want to remove them anyway?"},
        {kRemoveObservations, "Do you want to remove the selected observations?"},
        {kRemoveVariablesWithModels,
         "Removing variables deletes every model of the project that uses them.\n"
         "Do you want to remove them anyway?"},
        {kRemoveVariables, "Do you want to remove the selected variables?"},
        {kFindingTrimmedValues, "Finding trimmed values..."},
        {kUndoTrimmingWithModels,
         "Undoing the trimming changes the data and deletes every model of the project that uses it.\n"
         "Do you want to undo the trimming anyway?"},
        {kSortWithModels,
         "Sorting the dataset deletes every model of the project that uses it.\n"
         "Do you want to sort it anyway?"},
        {kSort, "Do you want to sort the dataset?"},
        {kObservationPrimaryIDDescription, "Primary observation ID"},
        {kObservationIDDescription, "Observation ID: %s"},
        {kConstantVariableName, "Constant"},
        {kVariablePrimaryIDDescription, "Primary variable ID"},
        {kVariableIDDescription, "Variable ID: %s"},
        {kPrimaryIDLabel, "Primary ID"},
        {kDefaultIDLabel, "ID %i"},
    };
}

struct Table {
    std::mutex lock;
    std::map<int, std::string> texts = DefaultTable();
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

CString LanguageString::Get(int id) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.texts.find(id);
    return found == table.texts.end() ? CString() : CString(found->second);
}

void LanguageString::SetText(int id, const char* text) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.texts[id] = text ? text : "";
}

void LanguageString::SetTable(std::map<int, std::string> texts) {
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.texts = std::move(texts);
}

void LanguageString::ResetToDefaults() { SetTable(DefaultTable()); }
