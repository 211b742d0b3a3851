#include "platform/profile_file.h"

#include "platform/exception.h"
#include "platform/integer_text.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringView>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace mx {

namespace {

TIniFile::ReplaceHook& TestReplaceHook() {
    static TIniFile::ReplaceHook hook;
    return hook;
}

// One line of the file: its bytes without the line end, and the line end
// itself ("\r\n", "\n" or nothing for a last line without one).
struct Line {
    QByteArray text;
    QByteArray eol;
};

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    QString name;    // section or key name, trimmed
    int valueAt = 0; // key lines: byte offset of the value
};

// Names and values from the file's bytes. fromUtf8 would drop a U+FEFF at
// their start as a byte order mark, and a name written with one would then
// never be found again (each write adding another copy).
QString Decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

Parsed ParseLine(const QByteArray& text) {
    Parsed p;
    int i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && text[i] == '[') {
        const int close = text.indexOf(']', i + 1);
        if (close < 0) return p;
        p.kind = Kind::Section;
        p.name = Decode(text.mid(i + 1, close - i - 1)).trimmed();
        return p;
    }
    const int eq = text.indexOf('=', i);
    if (eq < 0) return p;
    p.kind = Kind::Key;
    p.name = Decode(text.mid(i, eq - i)).trimmed();
    p.valueAt = eq + 1;
    while (p.valueAt < text.size() && (text[p.valueAt] == ' ' || text[p.valueAt] == '\t')) ++p.valueAt;
    return p;
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The file as lines. Unchanged lines are written back as they were read.
struct Document {
    QByteArray bom;
    std::vector<Line> lines;

    static Document fromBytes(const QByteArray& data) {
        Document d;
        int pos = 0;
        if (data.startsWith("\xEF\xBB\xBF")) {
            d.bom = data.left(3);
            pos = 3;
        }
        while (pos < data.size()) {
            const int nl = data.indexOf('\n', pos);
            Line line;
            if (nl < 0) {
                line.text = data.mid(pos);
                pos = data.size();
            } else {
                line.text = data.mid(pos, nl - pos);
                line.eol = "\n";
                if (line.text.endsWith('\r')) {
                    line.text.chop(1);
                    line.eol = "\r\n";
                }
                pos = nl + 1;
            }
            d.lines.push_back(std::move(line));
        }
        return d;
    }

    QByteArray ToBytes() const {
        QByteArray out = bom;
        for (const Line& l : lines) out += l.text + l.eol;
        return out;
    }

    QByteArray lineEnd() const {
        for (const Line& l : lines)
            if (!l.eol.isEmpty()) return l.eol;
        return "\n";
    }

    // Index of the first header of the section from line `from` on, or -1.
    int FindSection(const QString& section, int from = 0) const {
        for (int i = from; i < int(lines.size()); ++i) {
            const Parsed p = ParseLine(lines[i].text);
            if (p.kind == Kind::Section && SameName(p.name, section)) return i;
        }
        return -1;
    }

    // Index one past the last line of the section whose header is at head.
    int sectionEnd(int head) const {
        int i = head + 1;
        while (i < int(lines.size()) && ParseLine(lines[i].text).kind != Kind::Section) ++i;
        return i;
    }

    // The first line of the key in the first section of that name, or -1.
    int FindKey(const QString& section, const QString& key, Parsed* parsed = nullptr) const {
        const int head = FindSection(section);
        if (head < 0) return -1;
        const int end = sectionEnd(head);
        for (int i = head + 1; i < end; ++i) {
            const Parsed p = ParseLine(lines[i].text);
            if (p.kind == Kind::Key && SameName(p.name, key)) {
                if (parsed) *parsed = p;
                return i;
            }
        }
        return -1;
    }

    void InsertLine(int at, QByteArray text) {
        if (at > 0 && lines[at - 1].eol.isEmpty()) lines[at - 1].eol = lineEnd();
        lines.insert(lines.begin() + at, Line{std::move(text), lineEnd()});
    }

    // False when there was no such section.
    bool erase(const QString& section) {
        bool found = false;
        for (int head = FindSection(section); head >= 0; head = FindSection(section)) {
            lines.erase(lines.begin() + head, lines.begin() + sectionEnd(head));
            found = true;
        }
        return found;
    }

    // Replaces the lines of the section's first occurrence, or appends it;
    // blank lines closing the old section stay, later occurrences go.
    void replace(const QString& section, const std::vector<QByteArray>& entries) {
        std::vector<Line> block{{'[' + section.toUtf8() + ']', lineEnd()}};
        for (const QByteArray& entry : entries) block.push_back({entry, lineEnd()});
        int head = FindSection(section);
        if (head < 0) {
            if (!lines.empty() && !lines.back().text.trimmed().isEmpty()) InsertLine(int(lines.size()), QByteArray());
            head = int(lines.size());
            if (head > 0 && lines[head - 1].eol.isEmpty()) lines[head - 1].eol = lineEnd();
            lines.insert(lines.end(), block.begin(), block.end());
        } else {
            int end = sectionEnd(head);
            while (end > head + 1 && lines[end - 1].text.trimmed().isEmpty()) --end;
            if (end == int(lines.size()) && lines[end - 1].eol.isEmpty()) block.back().eol.clear();
            lines.erase(lines.begin() + head, lines.begin() + end);
            lines.insert(lines.begin() + head, block.begin(), block.end());
        }
        const int after = head + int(block.size());
        for (int later = FindSection(section, after); later >= 0; later = FindSection(section, after))
            lines.erase(lines.begin() + later, lines.begin() + sectionEnd(later));
    }

    void set(const QString& section, const QString& key, const QByteArray& value) {
        Parsed p;
        const int at = FindKey(section, key, &p);
        if (at >= 0) {
            lines[at].text = lines[at].text.left(p.valueAt) + value;
            return;
        }
        const QByteArray entry = key.toUtf8() + '=' + value;
        const int head = FindSection(section);
        if (head >= 0) {
            int end = sectionEnd(head);
            while (end > head + 1 && lines[end - 1].text.trimmed().isEmpty()) --end;
            InsertLine(end, entry);
            return;
        }
        if (!lines.empty() && !lines.back().text.trimmed().isEmpty()) InsertLine(int(lines.size()), QByteArray());
        InsertLine(int(lines.size()), '[' + section.toUtf8() + ']');
        InsertLine(int(lines.size()), entry);
    }
};

// A missing file reads as empty; false when the file is there but cannot
// be read (writing would then lose its content).
bool Load(const QString& path, Document& d) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        d = {};
        return !f.exists();
    }
    const QByteArray data = f.readAll();
    d = Document::fromBytes(data);
    return f.error() == QFileDevice::NoError;
}

Document Load(const QString& path) {
    Document d;
    Load(path, d);
    return d;
}

bool WriteAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

void SyncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes data to a temporary file in the target's folder, syncs it and
// renames it over the target. On any failure the temporary file is removed
// and the target is left alone.
// A write killed between writing and renaming leaves its temporary file
// behind: a later write removes those of the same file, once they are old
// enough not to be another writer's file in the making.
void RemoveLeftovers(const QFileInfo& target) {
    const QDir folder(target.absolutePath());
    const QString prefix = '.' + target.fileName() + '.';
    const QDateTime settled = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo& file : folder.entryInfoList({prefix + "??????"}, QDir::Files | QDir::Hidden)) {
        if (file.fileName().size() != prefix.size() + 6 || file.lastModified().toUTC() > settled) continue;
        QFile::remove(file.absoluteFilePath());
    }
}

bool ReplaceFile(const QString& target, const QByteArray& data) {
    const QFileInfo info(target);
    if (!QDir().mkpath(info.absolutePath())) return false;
    const QByteArray path = QFile::encodeName(target);
    struct stat old {};
    const bool exists = ::stat(path.constData(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || ::access(path.constData(), W_OK) != 0)) return false;

    QByteArray temp = QFile::encodeName(info.absolutePath() + "/." + info.fileName() + ".XXXXXX");
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    mode_t mode;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && TestReplaceHook()) ok = TestReplaceHook()(QFile::decodeName(temp));
    if (ok) ok = ::rename(temp.constData(), path.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    SyncFolder(QFile::encodeName(info.absolutePath()));
    RemoveLeftovers(info);
    return true;
}

// The value of a key line as a read gives it.
QString ValueOf(const Line& line, const Parsed& p) {
    QString value = Decode(line.text.mid(p.valueAt)).trimmed();
    if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
        value = value.mid(1, value.size() - 2);
    return value.left(MaxProfileValueLength);
}

QByteArray OneLine(const QString& value) {
    QByteArray bytes = value.toUtf8();
    bytes.replace('\r', ' ').replace('\n', ' ');
    return bytes;
}

} // namespace

std::optional<int> ParseProfileInt(QStringView text) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        negative = text[0] == u'-';
        text = text.mid(1);
    }
    int base = 10;
    if (text.startsWith(u'$')) {
        base = 16;
        text = text.mid(1);
    } else if (text.startsWith(u"0x") || text.startsWith(u"0X")) {
        base = 16;
        text = text.mid(2);
    }
    return IntegerFromDigits(text, base, negative);
}

QString ConfigFolder() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    return QDir::homePath() + "/.config";
}

struct TIniFile::Pending {
    Document doc;
    bool readable = true;
    bool changed = false;
};

TIniFile::TIniFile(const QString& fileName) {
    path_ = fileName.contains(u'/') ? QFileInfo(fileName).absoluteFilePath() : ConfigFolder() + u'/' + fileName;
}

TIniFile::~TIniFile() = default;

struct TIniFile::Access {
    template <class TRead>
    static auto Read(const TIniFile& ini, TRead read) {
        if (ini.pending_) return read(ini.pending_->doc);
        return read(Load(ini.path_));
    }
    // change returns whether it changed the document; only then is the
    // file written (or, during an update, marked for writing).
    template <class TChange>
    static void Change(TIniFile& ini, TChange change) {
        if (ini.pending_) {
            if (!ini.pending_->readable) ini.RaiseWriteError();
            if (change(ini.pending_->doc)) ini.pending_->changed = true;
            return;
        }
        const QString target = ini.WriteTarget();
        Document d;
        if (!Load(target, d)) ini.RaiseWriteError();
        if (change(d) && !ReplaceFile(target, d.ToBytes())) ini.RaiseWriteError();
    }
};

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    return Access::Read(*this, [&](const Document& d) {
        Parsed p;
        const int at = d.FindKey(section, key, &p);
        return at < 0 ? def : ValueOf(d.lines[at], p);
    });
}

QStringList TIniFile::SectionNames() const {
    return Access::Read(*this, [](const Document& d) {
        QStringList names;
        for (const Line& line : d.lines) {
            const Parsed p = ParseLine(line.text);
            if (p.kind == Kind::Section && !names.contains(p.name, Qt::CaseInsensitive)) names.append(p.name);
        }
        return names;
    });
}

QList<std::pair<QString, QString>> TIniFile::ReadSection(const QString& section) const {
    return Access::Read(*this, [&](const Document& d) {
        QList<std::pair<QString, QString>> entries;
        const int head = d.FindSection(section);
        if (head < 0) return entries;
        for (int i = head + 1, end = d.sectionEnd(head); i < end; ++i) {
            const Parsed p = ParseLine(d.lines[i].text);
            if (p.kind == Kind::Key) entries.append({p.name, ValueOf(d.lines[i], p)});
        }
        return entries;
    });
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    return ParseProfileInt(ReadString(section, key, QString())).value_or(def);
}

bool TIniFile::SectionExists(const QString& section) const {
    return Access::Read(*this, [&](const Document& d) { return d.FindSection(section) >= 0; });
}

// Writes go through a symbolic link to the file it names.
QString TIniFile::WriteTarget() const {
    const QFileInfo info(path_);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path_;
}

void TIniFile::RaiseWriteError() const {
    throw EIniFileError(QStringLiteral("nach %1 kann nicht geschrieben werden").arg(path_));
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    Access::Change(*this, [&](Document& d) {
        d.set(section, key, OneLine(value));
        return true;
    });
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::EraseSection(const QString& section) {
    Access::Change(*this, [&](Document& d) { return d.erase(section); });
}

void TIniFile::WriteSection(const QString& section, const QList<std::pair<QString, QString>>& entries) {
    std::vector<QByteArray> lines;
    for (const auto& [key, value] : entries) lines.push_back(key.toUtf8() + '=' + OneLine(value));
    Access::Change(*this, [&](Document& d) {
        d.replace(section, lines);
        return true;
    });
}

void TIniFile::BeginUpdate() {
    pending_ = std::make_unique<Pending>();
    pending_->readable = Load(WriteTarget(), pending_->doc);
}

void TIniFile::UpdateFile() {
    const std::unique_ptr<Pending> pending = std::move(pending_);
    if (pending && pending->changed && !ReplaceFile(WriteTarget(), pending->doc.ToBytes())) RaiseWriteError();
}

void TIniFile::SetReplaceHookForTests(ReplaceHook hook) { TestReplaceHook() = std::move(hook); }

} // namespace mx
