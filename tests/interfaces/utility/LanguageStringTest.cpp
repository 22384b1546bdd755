#include <gtest/gtest.h>

#include "interfaces/utility/LanguageString.h"
#include "interfaces/utility/ZoString.h"

namespace {

TEST(LanguageString, TextsCanBeReplacedAndReset) {
    const CString original = LanguageString::Get(10155);
    EXPECT_EQ("ID 3", ZoString::Format(original.c_str(), 3));
    EXPECT_TRUE(LanguageString::Get(-12345).IsEmpty());

    LanguageString::SetText(10155, "Kennung %i");
    EXPECT_STREQ("Kennung %i", LanguageString::Get(10155));
    LanguageString::SetTable({{1, "one"}});
    EXPECT_STREQ("one", LanguageString::Get(1));
    EXPECT_TRUE(LanguageString::Get(10154).IsEmpty());

    LanguageString::ResetToDefaults();
    EXPECT_EQ(original, LanguageString::Get(10155));
    EXPECT_TRUE(LanguageString::Get(1).IsEmpty());
}

}  // namespace
