// The names of the generated variables: their treatment code, the report of what was created, and
// removing the variables generated from one source.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "batch/Smooth.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfo.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "varobs/NCVariables.h"
#include "varobs/VariableInfo.h"

namespace {

// The description line of each treatment code; the name stands for %s.
const char* DescriptionLine(int treatment) {
    switch (treatment) {
        case Smooth::eTime:
            return "%s - relative time starting at 0, interval 1, by phase.";
        case Smooth::eSmoothed:
            return "%s - Input maturity variable smoothed.";
        case Smooth::eRelative:
            return "%s - Input time or maturity variable made relative (start at 0, by phase).";
        case Smooth::eRelativeSmoothed:
            return "%s - Input maturity variable smoothed and made relative (start at 0, by phase).";
        default:
            return "%s";
    }
}

}  // namespace

namespace Smooth {

int GetVariableTreatment(const char* primaryID) {
    if (!primaryID || primaryID[0] != '$') return eNotGenerated;
    if (std::strcmp(primaryID, BatchInfo::GetGeneratedTimeVariableName()) == 0) return eTime;
    std::string lower(primaryID);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower.find("[smoothed]") != std::string::npos) return eSmoothed;
    if (lower.find("[relative]") != std::string::npos) return eRelative;
    if (lower.find("[rel.smoothed]") != std::string::npos) return eRelativeSmoothed;
    return eNotGenerated;
}

std::string FormatSmoothedVarsMessage(const std::vector<CString>& names, bool /*flag*/) {
    if (names.empty()) return std::string();
    const bool several = names.size() > 1;
    CString text;
    text.Format("The following variable%s %s been created:\n\n", several ? "s" : "", several ? "have" : "has");
    std::string message = text.GetString();
    for (const CString& name : names) {
        text.Format(DescriptionLine(GetVariableTreatment(name)), name.c_str());
        message += text.GetString();
        message += '\n';
    }
    return message;
}

NCIntegralVector<unsigned long, 0> RemoveSmoothedVars(boost::shared_ptr<NCDataSet> ds, const VariableInfo* source,
                                                      BatchImportSettings* settings, bool flag) {
    NCIntegralVector<unsigned long, 0> removed;
    if (!ds || !source) return removed;
    const std::string prefix = std::string("$") + source->GetPrimaryAlias() + " [";
    NCIntegralVector<int, -99> positions;
    for (int var = 1; var <= ds->SizeVariables(); ++var) {
        const VariableInfo* info = ds->GetVariableInfo(var);
        if (info && std::strncmp(info->GetPrimaryAlias(), prefix.c_str(), prefix.size()) == 0) {
            positions.push_back(var);
            removed.push_back(ds->GetVarID(var));
        }
    }
    if (positions.empty()) return removed;
    ds->RemoveVariable(&positions, flag, false);
    if (positions.empty()) return NCIntegralVector<unsigned long, 0>();
    const auto project = ds->GetProject();
    if (settings && project)
        for (const unsigned long id : removed) settings->ExcludeVar(id, &project->GetVariables());
    return removed;
}

}  // namespace Smooth
