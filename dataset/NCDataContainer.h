#pragma once
// NCDataContainer: a container with values and a phase list; the base of datasets and full
// compound datasets.

#include <utility>

#include <boost/shared_ptr.hpp>

#include "dataset/NCFullDataContainerBase.h"

class ClassInfoVector;

class NCDataContainer : public NCFullDataContainerBase {
public:
    explicit NCDataContainer(boost::shared_ptr<NCProjectBase> project) : NCFullDataContainerBase(std::move(project)) {}
    ~NCDataContainer() override = default;

    // The phase list; empty when the container has none.
    virtual boost::shared_ptr<ClassInfoVector const> GetPhaseInfoVector() const = 0;
};
