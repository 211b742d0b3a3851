#include "tests/support/mapped_libraries.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

namespace mx::test {

bool IsLibraryMapped(const QString& prefix) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    // Each line ends with the mapped file's path, if any.
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const int path = line.indexOf('/');
        if (path >= 0 && QFileInfo(QString::fromLocal8Bit(line.mid(path))).fileName().startsWith(prefix)) return true;
    }
    return false;
}

} // namespace mx::test
