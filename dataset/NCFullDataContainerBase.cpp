#include "dataset/NCFullDataContainerBase.h"

#include <utility>

#include "varobs/VariableInfo.h"

NCFullDataContainerBase::NCFullDataContainerBase(boost::shared_ptr<NCProjectBase> project)
    : NCDataContainerBase(std::move(project)) {}

NCFullDataContainerBase::~NCFullDataContainerBase() = default;

std::string NCFullDataContainerBase::GetStrValue(int obs, int var) const {
    const VariableInfo* record = GetVariableInfo(var);
    if (!record) return std::string();
    const NCDataMatrix<float> data = GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    return record->Decode(data(obs, var));
}

NCDataMatrix<float> NCFullDataContainerBase::GetData(bool centred,
                                                     boost::shared_ptr<DefaultCenterValues const> defaults) const {
    return DoGetData(centred, std::move(defaults));
}
