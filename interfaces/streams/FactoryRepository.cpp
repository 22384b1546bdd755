#include "interfaces/streams/FactoryRepository.h"

namespace OBJCREAT_Details {

FactoryRepositoryBase& FactoryRepositoryBase::Instance() {
    static FactoryRepositoryBase repository;
    return repository;
}

ProductFactoryBase* FactoryRepositoryBase::GetFactory(const std::string& productTypeName) const {
    const std::lock_guard<std::mutex> lock(mMutex);
    const auto found = mFactories.find(productTypeName);
    return found == mFactories.end() ? nullptr : found->second.get();
}

std::string FactoryRepositoryBase::GetRealName(const std::string& runtimeTypeName) const {
    const std::lock_guard<std::mutex> lock(mMutex);
    const auto found = mRealNames.find(runtimeTypeName);
    return found == mRealNames.end() ? std::string() : found->second;
}

void FactoryRepositoryBase::SetRealName(const std::string& runtimeTypeName, const std::string& registeredName) {
    const std::lock_guard<std::mutex> lock(mMutex);
    mRealNames[runtimeTypeName] = registeredName;
}

}  // namespace OBJCREAT_Details
