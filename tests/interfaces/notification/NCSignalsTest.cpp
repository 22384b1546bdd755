#include <gtest/gtest.h>

#include <vector>

#include "interfaces/notification/NCSignals.h"

namespace {

TEST(NCSignals, ReachConnectedHandlers) {
    // Handlers only pass the references on, so any address of the right type serves.
    alignas(16) static char storage[16];
    NCDataSet& dataset = *reinterpret_cast<NCDataSet*>(storage);
    std::vector<unsigned long> seen;
    int added = 0;
    boost::signals2::scoped_connection value = NCSignals::DataSetValueChanged().connect(
        [&](NCDataSet& d, unsigned long obs, unsigned long var) {
            EXPECT_EQ(&dataset, &d);
            seen = {obs, var};
        });
    boost::signals2::scoped_connection add =
        NCSignals::VarObsAdded().connect([&](NCDataSet&) { ++added; });

    NCSignals::RaiseDataSetValueChanged(dataset, 11, 22);
    NCSignals::RaiseVarObsAdded(dataset);
    NCSignals::RaiseVarObsDeleted(dataset);
    EXPECT_EQ((std::vector<unsigned long>{11, 22}), seen);
    EXPECT_EQ(1, added);

    add.disconnect();
    NCSignals::RaiseVarObsAdded(dataset);
    EXPECT_EQ(1, added);
}

}  // namespace
