#include "app/ScriptedUserComm.h"

#include <algorithm>

namespace {

std::string Text(const char* text) { return text ? text : ""; }

}  // namespace

int ScriptedUserComm::NextAnswer() {
    if (mAnswers.empty()) return 0;
    const int answer = mAnswers.front();
    mAnswers.pop_front();
    return answer;
}

int ScriptedUserComm::QuestionCount() const {
    return static_cast<int>(
        std::count_if(mExchanges.begin(), mExchanges.end(), [](const Exchange& e) { return e.kind != eMessage; }));
}

int ScriptedUserComm::AskQuestion(const char* question, const char* caption) {
    const int answer = NextAnswer();
    mExchanges.push_back({eQuestion, Text(question), std::string(), Text(caption), answer});
    return answer;
}

int ScriptedUserComm::AskQuestionWithExplanation(const char* question, const char* explanation, const char* caption,
                                                 int) {
    const int answer = NextAnswer();
    mExchanges.push_back({eQuestionWithExplanation, Text(question), Text(explanation), Text(caption), answer});
    return answer;
}

void ScriptedUserComm::ShowMessage(const char* message, const char* caption) {
    mExchanges.push_back({eMessage, Text(message), std::string(), Text(caption), 0});
}
