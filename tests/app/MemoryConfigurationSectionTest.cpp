#include <gtest/gtest.h>

#include "app/MemoryConfigurationSection.h"

namespace {

TEST(MemoryConfigurationSection, SubSectionsAndValuesReadBackAsStored) {
    MemoryConfigurationSection root;
    EXPECT_EQ(nullptr, root.GetSubSection("LCI", false));
    ConfigurationSection* lci = root.GetSubSection("LCI", true);
    ASSERT_NE(nullptr, lci);
    EXPECT_EQ(lci, root.GetSubSection("LCI", true));
    lci->AddSubSection("Entry")->SetText("Name", "first");
    lci->AddSubSection("Entry")->SetDouble("Value", 0.1);
    lci->SetDouble("Big", -1.2345678901234567e300);

    ASSERT_EQ(2, lci->CountSubSections("Entry"));
    EXPECT_EQ(nullptr, lci->GetSubSection("Entry", 2));
    CString name;
    EXPECT_TRUE(lci->GetSubSection("Entry", 0)->GetText("Name", name));
    EXPECT_STREQ("first", name);
    double value = 5;
    EXPECT_TRUE(lci->GetSubSection("Entry", 1)->GetDouble("Value", value));
    EXPECT_EQ(0.1, value);
    EXPECT_TRUE(lci->GetDouble("Big", value));
    EXPECT_EQ(-1.2345678901234567e300, value);

    value = 5;
    EXPECT_FALSE(lci->GetSubSection("Entry", 0)->GetDouble("Name", value));  // text, not a number
    EXPECT_FALSE(lci->GetDouble("Missing", value));
    EXPECT_EQ(5, value);
}

}  // namespace
