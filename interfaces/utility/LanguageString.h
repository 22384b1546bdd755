#pragma once
// LanguageString: the application's table of user texts, looked up by numeric identifier.
// The table starts with English texts for every identifier the library uses; the application
// may replace single texts or the whole table (e.g. with a translation). All members are thread-safe.

#include <map>
#include <string>

#include "interfaces/utility/CString.h"

class LanguageString {
public:
    // The text for the identifier; the empty string when the table has none.
    static CString Get(int id);
    // Sets (or adds) the text of one identifier; null text is stored as "".
    static void SetText(int id, const char* text);
    // Replaces the whole table: identifiers absent from `table` then have no text.
    static void SetTable(std::map<int, std::string> table);
    // Restores the built-in English table.
    static void ResetToDefaults();
};
