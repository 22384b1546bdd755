#pragma once
// ZoSystemInfo: facts about the running application that the library shows to the user.

#include "interfaces/utility/CString.h"

class ZoSystemInfo {
public:
    // The application's name, the caption of the library's questions; "ncds" until set. Thread-safe.
    static CString GetApplicationName();
    // Null is stored as "".
    static void SetApplicationName(const char* name);
};
