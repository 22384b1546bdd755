#pragma once
// Exception: the library's general exception with a message.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : mMessage(std::move(message)) {}
    const char* what() const noexcept override { return mMessage.c_str(); }

private:
    std::string mMessage;
};
