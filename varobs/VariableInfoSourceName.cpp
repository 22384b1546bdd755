#include "varobs/NCVariables.h"
#include "varobs/VariableInfo.h"

CString VariableInfo::GetSourceName(const NCVariables& vars, const std::vector<int>& aliases) const {
    const int position = vars.GetSourceID(aliases);
    if (position < 1) return CString();
    return CString(GetUserID(aliases[static_cast<std::size_t>(position) - 1]));
}
