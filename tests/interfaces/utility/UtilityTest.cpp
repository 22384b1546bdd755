#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/MemoryConfigurationSection.h"
#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/notification/NCProgress.h"
#include "interfaces/notification/NCSignals.h"
#include "interfaces/utility/LanguageString.h"
#include "interfaces/utility/UserComm.h"
#include "interfaces/utility/ZoString.h"

namespace {

TEST(UtilityTest, ToFloatAcceptsOnlyWholeFiniteNumbers) {
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

TEST(UtilityTest, NumberConversionIgnoresTheProcessLocale) {
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

TEST(UtilityTest, StringHelpers) {
    const std::string longText(5000, 'x');
    EXPECT_EQ("<" + longText + ">7", ZoString::Format("<%s>%d", longText.c_str(), 7));
    EXPECT_EQ("a, b, c", ZoString::FormatStringVector(", ", {"a", "b", "c"}));
    EXPECT_EQ("", ZoString::FormatStringVector(", ", {}));

    std::unique_ptr<char[]> copy(zostrdup("abc"));
    EXPECT_STREQ("abc", copy.get());
    EXPECT_EQ(nullptr, zostrdup(nullptr));
}

TEST(UtilityTest, LanguageTextsCanBeReplacedAndReset) {
    const CString original = LanguageString::Get(nc::LanguageText::kDefaultIDLabel);
    EXPECT_EQ("ID 3", ZoString::Format(original.c_str(), 3));
    EXPECT_TRUE(LanguageString::Get(-12345).IsEmpty());

    LanguageString::SetText(nc::LanguageText::kDefaultIDLabel, "Kennung %i");
    EXPECT_STREQ("Kennung %i", LanguageString::Get(nc::LanguageText::kDefaultIDLabel));
    LanguageString::SetTable({{1, "one"}});
    EXPECT_STREQ("one", LanguageString::Get(1));
    EXPECT_TRUE(LanguageString::Get(nc::LanguageText::kPrimaryIDLabel).IsEmpty());

    LanguageString::ResetToDefaults();
    EXPECT_EQ(original, LanguageString::Get(nc::LanguageText::kDefaultIDLabel));
    EXPECT_TRUE(LanguageString::Get(1).IsEmpty());
}

class ScriptedUserComm : public UserComm {
public:
    int answer = 1;
    std::vector<std::string> asked;
    int AskQuestion(const char* question, const char*) override {
        asked.push_back(question);
        return answer;
    }
    int AskQuestionWithExplanation(const char* question, const char*, const char*, int) override {
        asked.push_back(question);
        return answer;
    }
    void ShowMessage(const char* message, const char*) override { asked.push_back(message); }
};

TEST(UtilityTest, UserCommDefaultsToNoUntilOneIsInstalled) {
    ASSERT_NE(nullptr, UserComm::GetUserComm());
    EXPECT_EQ(0, UserComm::GetUserComm()->AskQuestion("Remove?", "ncds"));
    EXPECT_EQ(0, UserComm::GetUserComm()->AskQuestionWithExplanation("Go on?", "why", "ncds", 1));

    auto scripted = std::make_shared<ScriptedUserComm>();
    UserComm::SetUserComm(scripted);
    EXPECT_EQ(1, UserComm::GetUserComm()->AskQuestion("Remove?", "ncds"));
    UserComm::GetUserComm()->ShowMessage("Done", "ncds");
    EXPECT_EQ((std::vector<std::string>{"Remove?", "Done"}), scripted->asked);

    UserComm::SetUserComm(nullptr);
    EXPECT_EQ(0, UserComm::GetUserComm()->AskQuestion("Remove?", "ncds"));
    EXPECT_EQ(2u, scripted->asked.size());
}

TEST(UtilityTest, SignalsReachConnectedHandlers) {
    // Handlers only pass the references on, so any address of the right type serves.
    alignas(16) static char storage[16];
    NCDataSet& dataset = *reinterpret_cast<NCDataSet*>(storage);
    std::vector<unsigned long> seen;
    int added = 0;
    boost::signals2::scoped_connection value =
        NCSignals::DataSetValueChanged().connect([&](NCDataSet& d, unsigned long obs, unsigned long var) {
            EXPECT_EQ(&dataset, &d);
            seen = {obs, var};
        });
    boost::signals2::scoped_connection add = NCSignals::VarObsAdded().connect([&](NCDataSet&) { ++added; });

    NCSignals::RaiseDataSetValueChanged(dataset, 11, 22);
    NCSignals::RaiseVarObsAdded(dataset);
    NCSignals::RaiseVarObsDeleted(dataset);
    EXPECT_EQ((std::vector<unsigned long>{11, 22}), seen);
    EXPECT_EQ(1, added);

    add.disconnect();
    NCSignals::RaiseVarObsAdded(dataset);
    EXPECT_EQ(1, added);
}

class CancellingSink : public NCProgressSink {
public:
    double cancelAt = 3;
    std::vector<std::string> calls;
    void Begin(const char* text, const char*, double, double) override {
        calls.push_back(std::string("Begin ") + text);
    }
    bool Update(double value) override {
        calls.push_back("Update");
        return value >= cancelAt;
    }
    void End() override { calls.push_back("End"); }
};

TEST(UtilityTest, ProgressReportsCancellationFromTheSink) {
    auto sink = std::make_shared<CancellingSink>();
    NCProgress::SetSink(sink);
    {
        NCProgress progress("Working", 1, 5, true, true, true);
        EXPECT_FALSE(progress.SetValue(2));
        EXPECT_FALSE(progress.NextSpin());
        EXPECT_TRUE(progress.SetValue(3));
        EXPECT_TRUE(progress.IsCancelled());
        sink->cancelAt = 100;
        EXPECT_TRUE(progress.SetValue(4));  // cancellation is not withdrawn
        NCProgress::SetSink(nullptr);       // the running display keeps its sink
    }
    EXPECT_EQ((std::vector<std::string>{"Begin Working", "Update", "Update", "Update", "End"}), sink->calls);

    NCProgress silent("Silent", 0, 1);
    EXPECT_FALSE(silent.SetValue(1));
}

TEST(UtilityTest, NCErrorKeepsMessageAndLevel) {
    try {
        throw NCError("Merge of datasets aborted.", static_cast<NCError::Level>(4));
    } catch (const std::exception& e) {
        EXPECT_STREQ("Merge of datasets aborted.", e.what());
        EXPECT_EQ(NCError::Critical, dynamic_cast<const NCError&>(e).GetLevel());
    }
    EXPECT_EQ(NCError::Unspecified, NCError("x").GetLevel());
}

TEST(UtilityTest, MemoryConfigurationSectionRoundTrip) {
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
