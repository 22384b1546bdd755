// A program that links ncdataset needs one include and nothing else.
#include <ncdataset.h>

#include <gtest/gtest.h>

#include <memory>

// A caller's own names at global scope: this file compiles only while the library keeps its
// constants out of the global namespace.
constexpr unsigned long kNoUniqueID = 7;
constexpr float kMissingValue = 0.5f;

TEST(UmbrellaHeader, GivesTheWholeLibraryWithoutTakingGlobalNames) {
    NCObservations observations;
    EXPECT_EQ(observations.GetLastUsedID(), nc::kNoUniqueID);
    observations.Add(std::make_unique<ObservationInfo>("B1-01", kNoUniqueID), nullptr);
    EXPECT_EQ(observations.GetLastUsedID(), kNoUniqueID);
    EXPECT_NE(nc::kMissingValue, kMissingValue);
}
