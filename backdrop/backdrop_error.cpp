#include "backdrop/backdrop_error.h"

#include <QFileInfo>

namespace mx {

QString QuotedFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return QStringLiteral("„%1“").arg(name.isEmpty() ? path : name);
}

} // namespace mx
