// Saved sets: any settings file is read as sets without a crash, within
// the limits (at most 999 areas, finite edges, a positive page size, usable
// names). Each set that reads is saved again under its name: it then reads
// back whole and without damage, and every other section stays as it was.
#include "areas/area_error.h"
#include "areas/area_list.h"
#include "areas/area_set_store.h"
#include "platform/exception.h"
#include "platform/profile_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

std::unique_ptr<QTemporaryDir> folder;

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_area_sets: %s\n", what);
    std::abort();
}

bool Finite(const mx::Area& a) {
    return std::isfinite(a.Left) && std::isfinite(a.Right) && std::isfinite(a.Top) && std::isfinite(a.Bottom);
}

// Every section but the set's, as reads give it.
std::map<QString, QList<std::pair<QString, QString>>> OtherSections(const mx::TIniFile& ini, const QString& name) {
    std::map<QString, QList<std::pair<QString, QString>>> sections;
    for (const QString& section : ini.SectionNames())
        if (section.compare(mx::TAreaSetStore::SectionName(name), Qt::CaseInsensitive) != 0)
            sections[section.toCaseFolded()] = ini.ReadSection(section);
    return sections;
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
    const QString path = folder->filePath(QStringLiteral("fuzz.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    mx::TAreaSetStore store(path);
    const QStringList names = store.Names();
    for (const QString& name : names) {
        Check(mx::TAreaSetStore::NameProblem(name).isEmpty(), "a listed name is unusable");
        std::optional<mx::TAreaSetRead> read;
        try {
            read = mx::TAreaSetStore::Read(mx::TIniFile(path), name);
        } catch (const mx::EAreas&) {
            continue; // too many areas
        }
        Check(read.has_value(), "a listed set does not read");
        const mx::TAreaSet& set = read->Set;
        Check(set.Areas.size() <= mx::MaxAreas, "more areas than allowed");
        for (const mx::Area& a : set.Areas) Check(Finite(a), "an edge is not a finite number");
        if (set.PageMm)
            Check(std::isfinite(set.PageMm->width()) && std::isfinite(set.PageMm->height()) &&
                      set.PageMm->width() > 0 && set.PageMm->height() > 0,
                  "an unusable page size");

        const auto others = OtherSections(mx::TIniFile(path), name);
        try {
            store.Save(set);
        } catch (const mx::Exception&) {
            Check(false, "a set that was read cannot be saved");
        }
        const std::optional<mx::TAreaSetRead> again = mx::TAreaSetStore::Read(mx::TIniFile(path), name);
        Check(again && again->Damaged.isEmpty(), "a saved set reads back damaged");
        Check(again->Set.Areas.size() == set.Areas.size(), "a saved set reads back with another number of areas");
        Check(again->Set.PageMm.has_value() == set.PageMm.has_value(), "a saved page size is lost");
        Check(OtherSections(mx::TIniFile(path), name) == others, "saving a set changed another section");
    }
    return 0;
}
