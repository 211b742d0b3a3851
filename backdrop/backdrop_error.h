#pragma once
// A backdrop file that cannot be loaded or shown: missing, unreadable, of
// no known kind, damaged, locked, too large, or a page it does not have.
#include "platform/exception.h"

namespace mx {

class EBackdrop : public Exception {
public:
    using Exception::Exception;
};

// The file's name in German quotes, for the messages: „Angebot.pdf“.
QString QuotedFileName(const QString& path);

} // namespace mx
