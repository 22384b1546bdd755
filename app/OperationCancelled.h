#pragma once
// OperationCancelled: thrown by the application's long operations (import, batch processing,
// export) when their progress display reports that the user asked to cancel. Whatever the
// operation would have changed is left as it was before it began.

#include <stdexcept>

class OperationCancelled : public std::runtime_error {
public:
    OperationCancelled() : std::runtime_error("cancelled") {}
};
