// A program that links ncdataset needs one include and nothing else.
#include <ncdataset.h>

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

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
