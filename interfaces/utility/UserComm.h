#pragma once
// UserComm: how the library puts questions and messages to the user. The application installs
// its own implementation; until it does, a built-in one answers no to every question and shows
// nothing, so that nothing that needs the user's consent ever happens without it.

#include <memory>

class UserComm {
public:
    virtual ~UserComm();

    // A yes/no question; 1 means yes, anything else no.
    virtual int AskQuestion(const char* question, const char* caption) = 0;
    // A question with an explanation; the library passes flag 1. 1 means go on.
    virtual int AskQuestionWithExplanation(const char* question, const char* explanation, const char* caption,
                                           int flag) = 0;
    // A message that needs no answer.
    virtual void ShowMessage(const char* message, const char* caption) = 0;

    // Never null: the installed object, else the built-in default. The pointer stays valid until
    // the next SetUserComm; thread-safe.
    static UserComm* GetUserComm();
    // Installs `comm`; null restores the built-in default. Thread-safe.
    static void SetUserComm(std::shared_ptr<UserComm> comm);
};
