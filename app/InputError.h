#pragma once
// InputError: what the user gave the application cannot be used: a data file that cannot be read
// or does not make sense, or a dataset or variable that the project does not have. The message
// says what is wrong and, where there is one, where.

#include <stdexcept>
#include <string>

class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};
