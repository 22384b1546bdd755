#pragma once
// ZoStreamError: raised by the field readers when a required field cannot be read.

#include "interfaces/utility/Exception.h"

class ZoStreamError : public Exception {
public:
    using Exception::Exception;
};
