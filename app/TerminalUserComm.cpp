#include "app/TerminalUserComm.h"

#include <string>

namespace {

const char* Text(const char* text) { return text ? text : ""; }

}  // namespace

int TerminalUserComm::ReadAnswer() {
    mOut << " [y/n] " << std::flush;
    std::string line;
    if (!std::getline(mIn, line)) return 0;
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string::npos && (line[first] == 'y' || line[first] == 'Y') ? 1 : 0;
}

int TerminalUserComm::AskQuestion(const char* question, const char* caption) {
    mOut << Text(caption) << ": " << Text(question);
    return ReadAnswer();
}

int TerminalUserComm::AskQuestionWithExplanation(const char* question, const char* explanation, const char* caption,
                                                 int) {
    mOut << Text(caption) << ": " << Text(question) << '\n' << Text(explanation);
    return ReadAnswer();
}

void TerminalUserComm::ShowMessage(const char* message, const char* caption) {
    mOut << Text(caption) << ": " << Text(message) << std::endl;
}
