#include "platform/module_loader.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>
#include <QStringList>

namespace mx {

namespace {

QStringList ModuleFolders() {
    QStringList folders;
    if (qEnvironmentVariableIsSet("MARBELUX_MODULE_DIR")) folders << qEnvironmentVariable("MARBELUX_MODULE_DIR");
    // The program's own folder works without an application object.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!program.isEmpty()) {
        const QDir dir = QFileInfo(program).dir();
        folders << dir.path() << QDir::cleanPath(dir.filePath(QStringLiteral(MARBELUX_MODULE_SUBDIR)));
    }
    return folders;
}

} // namespace

QFunctionPointer ResolveModuleSymbol(const QString& moduleFileName, const char* symbol) {
    static QMutex mutex;
    static QHash<QString, QFunctionPointer> resolved;
    const QMutexLocker lock(&mutex);
    const QString key = moduleFileName + QLatin1Char(':') + QLatin1String(symbol);
    if (const auto it = resolved.constFind(key); it != resolved.constEnd()) return *it;
    QFunctionPointer function = nullptr;
    for (const QString& folder : ModuleFolders()) {
        QLibrary library(QDir(folder).filePath(moduleFileName));
        if (library.load() && (function = library.resolve(symbol))) break;
    }
    resolved.insert(key, function);
    return function;
}

} // namespace mx
