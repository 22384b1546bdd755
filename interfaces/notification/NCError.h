#pragma once
// NCError: the exception that stops an operation with a message for the user.

#include <exception>
#include <string>
#include <utility>

class NCError : public std::exception {
public:
    // How serious the stop is; a message without a level is Unspecified.
    enum Level { Unspecified = 0, Information = 1, Warning = 2, Error = 3, Critical = 4 };

    explicit NCError(std::string message) : mMessage(std::move(message)) {}
    NCError(std::string message, Level level) : mMessage(std::move(message)), mLevel(level) {}

    Level GetLevel() const { return mLevel; }
    // The message given at construction.
    const char* what() const noexcept override { return mMessage.c_str(); }

private:
    std::string mMessage;
    Level mLevel = Unspecified;
};
