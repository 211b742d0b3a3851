#pragma once
// A scan that cannot be read for what it was taken for: no sheet on it, a
// sheet cut off, no marks, a sheet turned over. The message says what the
// user can do about it.
#include "platform/exception.h"

namespace mx {

class EScanReading : public Exception {
public:
    using Exception::Exception;
};

} // namespace mx
