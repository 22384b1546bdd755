#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "interfaces/utility/UserComm.h"

namespace {

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

TEST(UserComm, DefaultsToNoUntilOneIsInstalled) {
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

}  // namespace
