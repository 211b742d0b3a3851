// Profile files: any file content can be read, and a key written into it
// reads back as written. The input holds a section name, a key name and a
// value, then the file's bytes.
#include "platform/exception.h"
#include "platform/profile_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringView>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder;

QString Text(const std::string& bytes) { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); }

// A name that a header or key line can hold and give back unchanged.
bool Plain(const QString& name) {
    if (name.isEmpty() || name != name.trimmed()) return false;
    for (const QChar c : name)
        if (c == u'[' || c == u']' || c == u'=' || c.unicode() < 32) return false;
    return true;
}

// What a read gives back for a written value.
QString ReadBack(QString value) {
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    value = value.trimmed();
    if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
        value = value.mid(1, value.size() - 2);
    return value.left(mx::MaxProfileValueLength);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where possible: every write syncs the file to disk.
    const QString shm = QStringLiteral("/dev/shm");
    folder = QDir(shm).exists() ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/marbelux-fuzz-XXXXXX"))
                                : std::make_unique<QTemporaryDir>();
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QString section = Text(in.ConsumeRandomLengthString(64));
    const QString key = Text(in.ConsumeRandomLengthString(64));
    const QString value = Text(in.ConsumeRandomLengthString(4096));
    const std::string content = in.ConsumeRemainingBytesAsString();

    const QString path = folder->filePath(QStringLiteral("fuzz.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(content.data(), qint64(content.size()));
    }

    mx::TIniFile ini(path);
    const QString read = ini.ReadString(section, key, QStringLiteral("\x01"));
    if (read.size() > mx::MaxProfileValueLength) std::abort();
    ini.ReadInteger(section, key, 0);
    ini.SectionExists(section);
    mx::ParseProfileInt(QStringView(read));

    if (!Plain(section) || !Plain(key)) return 0;
    try {
        ini.WriteString(section, key, value);
    } catch (const mx::EIniFileError&) {
        std::abort(); // the folder is ours and writable
    }
    const QString back = ini.ReadString(section, key, QString());
    if (!ini.SectionExists(section) || back != ReadBack(value)) {
        std::fprintf(stderr, "[%s] %s=%s reads back as %s\n", qPrintable(section), qPrintable(key), qPrintable(value),
                     qPrintable(back));
        std::abort();
    }
    return 0;
}
