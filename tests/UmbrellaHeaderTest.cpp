// A program that links ncdataset needs one include and nothing else.
#include <ncdataset.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

// A caller's own names at global scope: this file compiles only while the library keeps its
// constants out of the global namespace.
constexpr unsigned long kNoUniqueID = 7;
constexpr float kMissingValue = 0.5f;

TEST(UmbrellaHeader, GivesTheWholeLibrary) {
    EXPECT_STREQ(NCDatasetLibraryVersion(), "0.1.0");
    NCObservations observations;
    observations.Add(std::make_unique<ObservationInfo>("B1-01", 7), nullptr);
    std::stringstream stream;
    stream << observations;
    NCObservations copy;
    stream >> copy;
    ASSERT_TRUE(stream.good());
    EXPECT_EQ(copy.GetNumberOfVarObs(), 1);
}

TEST(UmbrellaHeader, CallerNamesDoNotClashWithTheLibrarysConstants) {
    NCObservations observations;
    EXPECT_EQ(observations.GetLastUsedID(), nc::kNoUniqueID);
    EXPECT_NE(nc::kNoUniqueID, kNoUniqueID);
    EXPECT_NE(nc::kMissingValue, kMissingValue);
}
