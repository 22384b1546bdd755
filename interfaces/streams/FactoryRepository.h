#pragma once
// Class factories by name. The process-wide repository maps a product type's name to the
// factory of that product; a product factory maps registered class names to creators. The
// repository also remembers, for each registered class, its run-time type name against its
// registered name, which writers use to put a class name in front of a polymorphic object.
//
// Thread safe: registration and look-ups are guarded by one lock.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "interfaces/utility/Exception.h"

namespace OBJCREAT_Details {

class ProductFactoryBase {
public:
    virtual ~ProductFactoryBase() = default;
};

// Creates products by registered class name. `Product` is a pointer to the products' base class
// (the factory is known by that product type); each product is handed out as the caller's own.
template <typename Product>
class ProductFactory : public ProductFactoryBase {
    static_assert(std::is_pointer_v<Product>, "a product factory makes pointers to a base class");

public:
    using Object = std::remove_pointer_t<Product>;
    using Creator = std::function<std::unique_ptr<Object>()>;

    // Enters `creator` under `className`; a creator already registered under that name is
    // replaced, so registering the same class twice (a second library load) is harmless.
    void Register(const std::string& className, Creator creator) {
        const std::lock_guard<std::mutex> lock(mMutex);
        mCreators[className] = std::move(creator);
    }
    // True when a creator is registered under exactly `className`.
    bool IsRegistered(const std::string& className) const {
        const std::lock_guard<std::mutex> lock(mMutex);
        return mCreators.count(className) != 0;
    }
    // The creator registered as `className` (exact, case-sensitive look-up), for a caller that
    // creates many products of one class without looking the name up each time; throws Exception
    // when the name is not registered.
    Creator GetCreator(const std::string& className) const {
        const std::lock_guard<std::mutex> lock(mMutex);
        const auto found = mCreators.find(className);
        if (found == mCreators.end())
            throw Exception("Internal error: Could not find a factory method for '" + className + "'.");
        return found->second;
    }
    // A new product of the class registered as `className`; throws as GetCreator. The creator runs
    // outside the lock.
    std::unique_ptr<Object> Create(const std::string& className) const { return GetCreator(className)(); }

private:
    mutable std::mutex mMutex;
    std::map<std::string, Creator> mCreators;
};

class FactoryRepositoryBase {
public:
    // The one repository of the process, made on first use (thread safe); it lives until the
    // process ends, so factories and names registered in it stay valid for every caller.
    static FactoryRepositoryBase& Instance();

    // The factory registered for a product type's name, or null.
    ProductFactoryBase* GetFactory(const std::string& productTypeName) const;
    // The factory for the name, created and entered by the first caller that finds none. The
    // factory stays at the same address for the life of the process. Every caller must use the
    // same `Product` for one name.
    template <typename Product>
    ProductFactory<Product>& GetOrAddFactory(const std::string& productTypeName) {
        const std::lock_guard<std::mutex> lock(mMutex);
        auto& slot = mFactories[productTypeName];
        if (!slot) slot = std::make_unique<ProductFactory<Product>>();
        return static_cast<ProductFactory<Product>&>(*slot);
    }

    // The registered class name of a run-time type name (typeid(...).name()); empty when none.
    std::string GetRealName(const std::string& runtimeTypeName) const;
    // Records `registeredName` as the class name written for objects of the run-time type;
    // a later call for the same run-time type replaces the name.
    void SetRealName(const std::string& runtimeTypeName, const std::string& registeredName);

private:
    FactoryRepositoryBase() = default;

    mutable std::mutex mMutex;
    std::map<std::string, std::unique_ptr<ProductFactoryBase>> mFactories;
    std::map<std::string, std::string> mRealNames;
};

// The product factory registered for the product type's name; throws Exception "Internal error: No
// factory found that produces '<product type>'." when there is none. It lives as long as the process.
template <typename Product>
const ProductFactory<Product>& FindFactory(const std::string& productTypeName) {
    auto* factory =
        dynamic_cast<ProductFactory<Product>*>(FactoryRepositoryBase::Instance().GetFactory(productTypeName));
    if (!factory) throw Exception("Internal error: No factory found that produces '" + productTypeName + "'.");
    return *factory;
}

// Creates a product by class name: finds the product factory (FindFactory), then creates through it.
template <typename Product>
std::unique_ptr<std::remove_pointer_t<Product>> CreateByName(const std::string& productTypeName,
                                                             const std::string& className) {
    return FindFactory<Product>(productTypeName).Create(className);
}

}  // namespace OBJCREAT_Details
