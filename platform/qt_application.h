#pragma once
// The Qt application object: an exception escaping any event handler is
// shown by the default error handler and the loop goes on.
#include <QApplication>

namespace mx {

class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace mx
