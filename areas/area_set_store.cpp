#include "areas/area_set_store.h"

#include "areas/area_error.h"
#include "areas/area_list.h"
#include "platform/application.h"
#include "platform/profile_file.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace mx {

namespace {

const QString SectionPrefix = QStringLiteral("Vorlage ");
const QString PageKey = QStringLiteral("Seite");
const QString AreaKey = QStringLiteral("Bereich");
// The damaged entries a report names; the rest are counted.
constexpr int NamedInReport = 5;

// The shortest text that reads back as the same number.
QString Number(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

// Numbers separated by ";", each finite; nothing unless there are count.
std::optional<QList<double>> Numbers(const QString& value, int count) {
    const QStringList parts = value.split(u';');
    if (parts.size() != count) return std::nullopt;
    QList<double> numbers;
    for (const QString& part : parts) {
        bool ok = false;
        const double number = part.trimmed().toDouble(&ok); // always with a dot
        if (!ok || !std::isfinite(number)) return std::nullopt;
        numbers.append(number);
    }
    return numbers;
}

// The number of a "Bereich<n>" key; 0 for a damaged one.
int AreaNumber(const QString& key) {
    bool ok = false;
    const QStringView digits = QStringView(key).mid(AreaKey.size());
    const int number = digits.toInt(&ok);
    const bool plain = std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return ok && plain && number > 0 ? number : 0;
}

QString Listed(const QStringList& damaged) {
    if (damaged.size() <= NamedInReport) return damaged.join(QStringLiteral(", "));
    return QStringLiteral("%1 und %2 weitere")
        .arg(damaged.mid(0, NamedInReport).join(QStringLiteral(", ")))
        .arg(damaged.size() - NamedInReport);
}

void CheckAreas(const QString& name, const QList<Area>& areas) {
    if (areas.size() > MaxAreas)
        throw EAreas(QStringLiteral("Die Vorlage „%1“ hat %2 Bereiche; höchstens %3 sind möglich")
                         .arg(name)
                         .arg(areas.size())
                         .arg(MaxAreas));
}

} // namespace

TAreaSetStore::TAreaSetStore(const QString& fileName) : fileName_(fileName) {}

QString TAreaSetStore::NameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) return QStringLiteral("Bitte geben Sie einen Namen für die Vorlage ein");
    if (name.size() > MaxAreaSetNameLength)
        return QStringLiteral("Der Name der Vorlage ist zu lang: höchstens %1 Zeichen sind möglich")
            .arg(MaxAreaSetNameLength);
    if (name != name.trimmed())
        return QStringLiteral("Der Name der Vorlage darf nicht mit Leerraum beginnen oder enden");
    // Each of these would break the section's header line or not come
    // back from the file as written.
    const bool unusable = !name.isValidUtf16() || std::any_of(name.begin(), name.end(), [](QChar c) {
        const QChar::Category category = c.category();
        return c == u'[' || c == u']' || c == u'=' || category == QChar::Other_Control ||
               category == QChar::Other_Format || category == QChar::Separator_Line ||
               category == QChar::Separator_Paragraph;
    });
    if (unusable)
        return QStringLiteral("Der Name der Vorlage darf weder [ ] = noch Zeilenumbrüche oder Steuerzeichen enthalten");
    return {};
}

QString TAreaSetStore::SectionName(const QString& name) { return SectionPrefix + name; }

QStringList TAreaSetStore::Names() const {
    QStringList names;
    for (const QString& section : TIniFile(fileName_).SectionNames()) {
        if (!section.startsWith(SectionPrefix, Qt::CaseInsensitive)) continue;
        const QString name = section.mid(SectionPrefix.size());
        if (NameProblem(name).isEmpty()) names.append(name);
    }
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

bool TAreaSetStore::Exists(const QString& name) const {
    return NameProblem(name).isEmpty() && TIniFile(fileName_).SectionExists(SectionName(name));
}

std::optional<TAreaSetRead> TAreaSetStore::Read(const TIniFile& ini, const QString& name) {
    if (!NameProblem(name).isEmpty() || !ini.SectionExists(SectionName(name))) return std::nullopt;
    TAreaSetRead read;
    read.Set.Name = name;
    QList<std::pair<int, Area>> numbered;
    for (const auto& [key, value] : ini.ReadSection(SectionName(name))) {
        if (key.compare(PageKey, Qt::CaseInsensitive) == 0) {
            const std::optional<QList<double>> size = Numbers(value, 2);
            if (size && (*size)[0] > 0 && (*size)[1] > 0 && !read.Set.PageMm)
                read.Set.PageMm = QSizeF((*size)[0], (*size)[1]);
            else
                read.Damaged.append(QStringLiteral("Seitengröße"));
        } else if (key.startsWith(AreaKey, Qt::CaseInsensitive)) {
            const int number = AreaNumber(key);
            const std::optional<QList<double>> edges = Numbers(value, 4);
            if (number > 0 && edges)
                numbered.append({number, Area{(*edges)[0], (*edges)[1], (*edges)[2], (*edges)[3]}});
            else
                read.Damaged.append(number > 0 ? QStringLiteral("Bereich %1").arg(number)
                                               : QStringLiteral("„%1“").arg(key));
        }
    }
    // In the order of their numbers; of two with one number the first.
    std::stable_sort(numbered.begin(), numbered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = 0; i < numbered.size(); ++i) {
        if (i > 0 && numbered[i].first == numbered[i - 1].first)
            read.Damaged.append(QStringLiteral("Bereich %1").arg(numbered[i].first));
        else
            read.Set.Areas.append(numbered[i].second);
    }
    CheckAreas(name, read.Set.Areas);
    return read;
}

std::optional<TAreaSet> TAreaSetStore::Load(const QString& name) {
    TIniFile ini(fileName_);
    ini.BeginUpdate(); // one read of the file; nothing is written
    std::optional<TAreaSetRead> read = Read(ini, name);
    if (!read) return std::nullopt;
    if (!read->Damaged.isEmpty() && !reported_.contains(name, Qt::CaseInsensitive)) {
        reported_.append(name);
        Application()->ShowException(
            QStringLiteral("In der Vorlage „%1“ sind Einträge beschädigt (%2); sie werden nicht verwendet")
                .arg(name, Listed(read->Damaged)));
    }
    return std::move(read->Set);
}

void TAreaSetStore::Save(const TAreaSet& set) {
    const QString problem = NameProblem(set.Name);
    if (!problem.isEmpty()) throw EAreas(problem);
    CheckAreas(set.Name, set.Areas);
    QList<std::pair<QString, QString>> entries;
    const auto finite = [](std::initializer_list<double> values) {
        return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
    };
    if (set.PageMm && finite({set.PageMm->width(), set.PageMm->height()}))
        entries.append({PageKey, Number(set.PageMm->width()) + u';' + Number(set.PageMm->height())});
    for (int i = 0; i < set.Areas.size(); ++i) {
        const Area& a = set.Areas[i];
        if (!finite({a.Left, a.Right, a.Top, a.Bottom}))
            throw EAreas(
                QStringLiteral("Bereich %1 der Vorlage „%2“ hat keine gültigen Maße").arg(i + 1).arg(set.Name));
        entries.append({AreaKey + QString::number(i + 1),
                        QStringList{Number(a.Left), Number(a.Right), Number(a.Top), Number(a.Bottom)}.join(u';')});
    }
    TIniFile(fileName_).WriteSection(SectionName(set.Name), entries);
    // What is stored now is new: damage found later is worth telling again.
    reported_.removeIf([&](const QString& n) { return n.compare(set.Name, Qt::CaseInsensitive) == 0; });
}

void TAreaSetStore::Remove(const QString& name) {
    if (NameProblem(name).isEmpty()) TIniFile(fileName_).EraseSection(SectionName(name));
}

bool MadeForOtherPage(const TAreaSet& set, const QSizeF& pageMm) {
    constexpr double ToleranceMm = 1.0;
    return set.PageMm && (std::abs(set.PageMm->width() - pageMm.width()) > ToleranceMm ||
                          std::abs(set.PageMm->height() - pageMm.height()) > ToleranceMm);
}

} // namespace mx
