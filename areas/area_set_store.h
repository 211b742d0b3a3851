#pragma once
// Saved sets of areas ("Vorlagen"), for documents that come back with the
// same things in the same places: one section of the settings file per set
// ("Vorlage <name>"), numbers written with a dot whatever the locale.
// Nothing else of the file is touched.
//
//   [Vorlage Kontoauszug]
//   Seite=210;297                  (optional: the page it was made on, mm)
//   Bereich1=20;95.5;40;46         (left;right;top;bottom, mm)
#include "geometry/sheet_math.h"

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>

namespace mx {

class TIniFile;

// Longest name of a set, in characters.
inline constexpr int MaxAreaSetNameLength = 100;

struct TAreaSet {
    QString Name;
    QList<Area> Areas;
    // The size of the backdrop page (or sheet) the set was made on.
    std::optional<QSizeF> PageMm;
};

// A set as read, with the entries left out because they were damaged
// ("Bereich 3", "Seitengröße").
struct TAreaSetRead {
    TAreaSet Set;
    QStringList Damaged;
};

class TAreaSetStore {
public:
    explicit TAreaSetStore(const QString& fileName = QStringLiteral("marbelux.INI"));

    // The stored sets' names, in alphabetical order.
    QStringList Names() const;
    bool Exists(const QString& name) const;
    // The set, nothing when there is none of that name. Damaged entries are
    // left out and reported once per store and set, so keep one store for
    // the run. Raises EAreas for a set of more than MaxAreas areas.
    std::optional<TAreaSet> Load(const QString& name);
    // Stores the set under its name in one atomic write, replacing a set
    // of that name (the case of letters aside). Raises EAreas for a name
    // NameProblem refuses or too many areas, EIniFileError when the file
    // cannot be written.
    void Save(const TAreaSet& set);
    // Raises EIniFileError.
    void Remove(const QString& name);

    // Why a name cannot be a set's name (German, for the user); empty
    // when it can.
    static QString NameProblem(const QString& name);
    static QString SectionName(const QString& name);
    // The set of that name in the file, without reporting anything.
    // Raises EAreas like Load.
    static std::optional<TAreaSetRead> Read(const TIniFile& ini, const QString& name);

    const QString& FileName() const { return fileName_; }

private:
    QString fileName_;
    QStringList reported_;
};

// The set was made on a page of another size (more than 1 mm off in
// width or height): the caller asks the user before using it.
bool MadeForOtherPage(const TAreaSet& set, const QSizeF& pageMm);

} // namespace mx
