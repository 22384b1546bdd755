#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "varobs/NCVariables.h"
#include "varobs/VariableInfo.h"

namespace {
const VariableInfo* GeneratedVariable(const NCVariables& variables, unsigned long uniqueID) {
    const VariableInfo* record = variables[uniqueID];
    return record && record->IsGenerated() ? record : nullptr;
}
}  // namespace

bool NCDataSet::HasGeneratedVariables(const NCProjectBase& project, const NCIntegralVector<unsigned long, 0>& ids) {
    const NCVariables& variables = project.GetVariables();
    for (const unsigned long id : ids)
        if (GeneratedVariable(variables, id)) return true;
    return false;
}

boost::shared_ptr<std::list<DSGenVarData>> NCDataSet::GetGenVarList(const NCProjectBase& project,
                                                                    const NCIntegralVector<unsigned long, 0>& ids) {
    const NCVariables& variables = project.GetVariables();
    boost::shared_ptr<std::list<DSGenVarData>> generated;
    for (const unsigned long id : ids) {
        const VariableInfo* record = GeneratedVariable(variables, id);
        if (!record) continue;
        if (!generated) generated.reset(new std::list<DSGenVarData>());
        generated->emplace_back(record->GetRecipe(), id);
    }
    return generated;
}
