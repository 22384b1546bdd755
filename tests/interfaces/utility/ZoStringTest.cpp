#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <string>

#include "interfaces/utility/ZoString.h"

namespace {

TEST(ZoString, ToFloatAcceptsOnlyWholeFiniteNumbers) {
    const struct {
        const char* text;
        float expected;
    } good[] = {{" 12 ", 12.0f}, {"1e3", 1000.0f}, {"-0.5", -0.5f}, {"+3", 3.0f}, {"3.4028235e38", 3.4028235e38f}};
    for (const auto& c : good) {
        float value = -99.0f;
        EXPECT_TRUE(ZoString::ToFloat(c.text, value)) << c.text;
        EXPECT_EQ(c.expected, value) << c.text;
    }
    for (const char* text : {"12a", "", " ", "1,5", "nan", "inf", "1e999", "0x10", "1e", "-", "."}) {
        float value = 7.0f;
        EXPECT_FALSE(ZoString::ToFloat(text, value)) << text;
        EXPECT_EQ(7.0f, value) << text;
    }
    float value = 7.0f;
    EXPECT_FALSE(ZoString::ToFloat(nullptr, value));
}

TEST(ZoString, NumberConversionIgnoresTheProcessLocale) {
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
            found = name;
            break;
        }
    }
    if (!found) {
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    char* end = nullptr;
    const char* text = "2.5x";
    const double number = zostrtod(text, &end);
    float value = 0.0f;
    const bool dotAccepted = ZoString::ToFloat("2.5", value);
    const bool commaAccepted = ZoString::ToFloat("2,5", value);
    const std::string formatted = ZoString::Format("%.1f", 2.5);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ("2.5", formatted);
    EXPECT_EQ(2.5, number);
    EXPECT_EQ(text + 3, end);
    EXPECT_TRUE(dotAccepted);
    EXPECT_FALSE(commaAccepted);
}

TEST(ZoString, StringHelpers) {
    const std::string longText(5000, 'x');
    EXPECT_EQ("<" + longText + ">7", ZoString::Format("<%s>%d", longText.c_str(), 7));
    EXPECT_EQ("a, b, c", ZoString::FormatStringVector(", ", {"a", "b", "c"}));
    EXPECT_EQ("", ZoString::FormatStringVector(", ", {}));

    std::unique_ptr<char[]> copy(zostrdup("abc"));
    EXPECT_STREQ("abc", copy.get());
    EXPECT_EQ(nullptr, zostrdup(nullptr));
}

}  // namespace
