#include <gtest/gtest.h>

#include "app/MemoryConfigurationSection.h"

namespace {

// Storing and finding sub-sections, texts and values is what the local centering configuration
// relies on (LocalCenteringInfoTest); these are doubles at full precision and failed look-ups.
TEST(MemoryConfigurationSection, DoublesKeepEveryDigitAndFailedLookupsLeaveTheValue) {
    MemoryConfigurationSection root;
    EXPECT_EQ(nullptr, root.GetSubSection("LCI", false));
    ConfigurationSection* lci = root.GetSubSection("LCI", true);
    ASSERT_NE(nullptr, lci);
    lci->AddSubSection("Entry")->SetText("Name", "first");
    lci->SetDouble("Big", -1.2345678901234567e300);
    double value = 5;
    EXPECT_TRUE(lci->GetDouble("Big", value));
    EXPECT_EQ(-1.2345678901234567e300, value);

    value = 5;
    EXPECT_FALSE(lci->GetSubSection("Entry", 0)->GetDouble("Name", value));  // text, not a number
    EXPECT_FALSE(lci->GetDouble("Missing", value));
    EXPECT_EQ(5, value);
    EXPECT_EQ(nullptr, lci->GetSubSection("Entry", 1));
}

}  // namespace
