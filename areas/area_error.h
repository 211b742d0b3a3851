#pragma once
// Errors of the further areas and their saved sets; the message is for the
// user.
#include "platform/exception.h"

namespace mx {

class EAreas : public Exception {
public:
    using Exception::Exception;
};

} // namespace mx
