#include "interfaces/utility/LanguageString.h"

#include <mutex>
#include <utility>

namespace {

// Texts with a placeholder keep it: 10149 and 10153 take one string, 10155 one integer.
std::map<int, std::string> DefaultTable()
{
    return {
        {10127, "Obs"},
        {10128, "Removing observations deletes every model of the project that uses them.\n"
                "Do you want to remove them anyway?"},
        {10129, "Do you want to remove the selected observations?"},
        {10132, "Removing variables deletes every model of the project that uses them.\n"
                "Do you want to remove them anyway?"},
        {10133, "Do you want to remove the selected variables?"},
        {10140, "Finding trimmed values..."},
        {10141, "Undoing the trimming changes the data and deletes every model of the project that uses it.\n"
                "Do you want to undo the trimming anyway?"},
        {10145, "Sorting the dataset deletes every model of the project that uses it.\n"
                "Do you want to sort it anyway?"},
        {10146, "Do you want to sort the dataset?"},
        {10148, "Primary observation ID"},
        {10149, "Observation ID: %s"},
        {10151, "Constant"},
        {10152, "Primary variable ID"},
        {10153, "Variable ID: %s"},
        {10154, "Primary ID"},
        {10155, "ID %i"},
    };
}

struct Table {
    std::mutex lock;
    std::map<int, std::string> texts = DefaultTable();
};

Table& TheTable()
{
    static Table table;
    return table;
}

}  // namespace

CString LanguageString::Get(int id)
{
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto found = table.texts.find(id);
    return found == table.texts.end() ? CString() : CString(found->second);
}

void LanguageString::SetText(int id, const char* text)
{
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.texts[id] = text ? text : "";
}

void LanguageString::SetTable(std::map<int, std::string> texts)
{
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    table.texts = std::move(texts);
}

void LanguageString::ResetToDefaults()
{
    SetTable(DefaultTable());
}
