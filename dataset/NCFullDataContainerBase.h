#pragma once
// NCFullDataContainerBase: a container that also has values. Callers read the values through
// GetData, which always hands out a matrix that the caller owns; derived classes supply them by
// overriding DoGetData.

#include <string>

#include <boost/shared_ptr.hpp>

#include "dataset/NCDataContainerBase.h"
#include "interfaces/containers/NCDataMatrix.h"

class DefaultCenterValues;

class NCFullDataContainerBase : public NCDataContainerBase {
public:
    explicit NCFullDataContainerBase(boost::shared_ptr<NCProjectBase> project);
    ~NCFullDataContainerBase() override;

    // The value at (obs, var) as text, decoded by the variable's record; "" when the variable has
    // no record. The caller passes valid positions.
    virtual std::string GetStrValue(int obs, int var) const;

    // The values, uncentred (`centred` false) or with the project's local centering subtracted;
    // `defaults` (may be empty) are passed on to that subtraction. A copy owned by the caller.
    NCDataMatrix<float> GetData(bool centred, boost::shared_ptr<DefaultCenterValues const> defaults) const;

protected:
    virtual NCDataMatrix<float> DoGetData(bool centred,
                                          boost::shared_ptr<DefaultCenterValues const> defaults) const = 0;
};
