#pragma once
// Profile files: key=value lines in named sections, read and written with
// the rules of the Windows profile functions. Section and key names compare
// without regard to case; a read removes one enclosing pair of quotes and
// returns at most 2047 characters; a write changes one line and keeps the
// rest of the file byte for byte. Every access opens the file anew; no
// handle is held between accesses.
//
// A write builds the complete new file next to the old one, syncs it to
// disk and only then renames it over the old one, so a failure at any
// point leaves the previous file as it was. Between BeginUpdate() and
// UpdateFile() the file is read once and all writes go out together.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QStringView;

namespace mx {

// Longest value a read returns, in characters.
constexpr int MaxProfileValueLength = 2047;

// A profile integer: decimal, or hexadecimal after "$", "0x" or "0X", with
// an optional sign; blanks around it are allowed. Hexadecimal takes the
// full 32 bits (0xFFFFFFFF is -1). Nothing for anything else.
std::optional<int> ParseProfileInt(QStringView text);

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute
// path, else ~/.config.
QString ConfigFolder();

class TIniFile {
public:
    // A name without a folder is placed in ConfigFolder(); an absolute or
    // relative path with a folder is used as given.
    explicit TIniFile(const QString& fileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    // The full path of the file.
    const QString& FileName() const { return path_; }

    // The value, or def when the file, the section or the key is missing.
    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // ParseProfileInt of the value, or def when missing or malformed.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool SectionExists(const QString& section) const;
    // The sections' names in file order, each once (in its first spelling).
    QStringList SectionNames() const;
    // The key lines of the first section of that name in file order, each
    // value as ReadString gives it.
    QList<std::pair<QString, QString>> ReadSection(const QString& section) const;

    // Sets the key, adding the key or the section when missing. Line breaks
    // in the value become blanks. Raises EIniFileError
    // ("nach %s kann nicht geschrieben werden") when the file cannot be
    // written; the file is then unchanged.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // Removes every section of that name with all its lines; no write when
    // there is none. Raises EIniFileError like WriteString.
    void EraseSection(const QString& section);
    // Makes the section hold exactly these keys (its header spelt as
    // given): in the place of its first header, else at the end; further
    // sections of that name go. Raises EIniFileError like WriteString.
    void WriteSection(const QString& section, const QList<std::pair<QString, QString>>& entries);

    // Reads the file once; reads and writes then use that copy, and writes
    // are held back until UpdateFile().
    void BeginUpdate();
    // Writes the held-back changes in one replacement and ends the update,
    // also when it raises EIniFileError. Changes never written (the object
    // released first) are dropped.
    void UpdateFile();

    // Tests: called with the complete, synced temporary file just before it
    // replaces the old one; returning false makes the write fail there.
    using ReplaceHook = std::function<bool(const QString& tempPath)>;
    static void SetReplaceHookForTests(ReplaceHook hook);

private:
    struct Pending;
    // Reads and changes go to the held copy during an update, else to the
    // file as it is now.
    struct Access;
    QString WriteTarget() const;
    [[noreturn]] void RaiseWriteError() const;

    QString path_;
    std::unique_ptr<Pending> pending_;
};

} // namespace mx
