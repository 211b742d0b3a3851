#pragma once
// Errors raised by the platform layer and by handlers. An exception escaping
// a handler reaches the application's default error handler.
#include <QString>
#include <stdexcept>

namespace mx {

class Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

private:
    QString message_;
};

// A printer that cannot be had or is busy.
class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// Picture data that cannot be decoded.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A profile (settings) file that cannot be written.
class EIniFileError : public Exception {
public:
    using Exception::Exception;
};

} // namespace mx
