#pragma once
// CompoundDatasetTestAccess: gives a compound a chosen identifier, so that its bytes can be
// pinned (golden files) and compared.

#include <boost/uuid/uuid.hpp>

#include "compound/CompoundDataset.h"

struct CompoundDatasetTestAccess {
    static void SetID(CompoundDataset& compound, const boost::uuids::uuid& id) { compound.mID = id; }
};
