#pragma once
// ScriptedUserComm: user communication that answers from a script instead of a person. Answers
// are taken in order from a queue (an empty queue answers no, 0); every question and message is
// recorded with its caption, so that a caller can check what the user would have seen.

#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "interfaces/utility/UserComm.h"

class ScriptedUserComm : public UserComm {
public:
    enum Kind { eQuestion, eQuestionWithExplanation, eMessage };

    struct Exchange {
        Kind kind;
        std::string text;
        std::string explanation;  // only for eQuestionWithExplanation
        std::string caption;
        int answer;  // 0 for messages
    };

    ScriptedUserComm() = default;
    // A script of answers, used in order.
    explicit ScriptedUserComm(std::initializer_list<int> answers) : mAnswers(answers) {}

    // Queues one answer (1 yes, anything else no).
    void AddAnswer(int answer) { mAnswers.push_back(answer); }
    void AddAnswers(int count, int answer) { mAnswers.insert(mAnswers.end(), static_cast<std::size_t>(count), answer); }
    std::size_t AnswersLeft() const { return mAnswers.size(); }

    const std::vector<Exchange>& GetExchanges() const { return mExchanges; }
    // The number of questions asked (of either kind).
    int QuestionCount() const;
    void ClearExchanges() { mExchanges.clear(); }

    int AskQuestion(const char* question, const char* caption) override;
    int AskQuestionWithExplanation(const char* question, const char* explanation, const char* caption,
                                   int flag) override;
    void ShowMessage(const char* message, const char* caption) override;

private:
    int NextAnswer();

    std::deque<int> mAnswers;
    std::vector<Exchange> mExchanges;
};
