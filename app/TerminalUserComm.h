#pragma once
// TerminalUserComm: user communication on a terminal. A question is printed with its caption and
// "[y/n]"; a line starting with y or Y is yes (1), any other line or the end of input is no (0).

#include <iostream>

#include "interfaces/utility/UserComm.h"

class TerminalUserComm : public UserComm {
public:
    // Reads answers from `in` and writes questions and messages to `out` (both must outlive this).
    explicit TerminalUserComm(std::istream& in = std::cin, std::ostream& out = std::cout) : mIn(in), mOut(out) {}

    int AskQuestion(const char* question, const char* caption) override;
    int AskQuestionWithExplanation(const char* question, const char* explanation, const char* caption,
                                   int flag) override;
    void ShowMessage(const char* message, const char* caption) override;

private:
    int ReadAnswer();

    std::istream& mIn;
    std::ostream& mOut;
};
