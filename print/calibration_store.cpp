#include "print/calibration_store.h"

#include "platform/application.h"
#include "platform/profile_file.h"

#include <array>

namespace mx {

namespace {

struct TKeys {
    QString OffsetX, ScaleX, OffsetY, ScaleY;
};

TKeys KeysOf(bool back) {
    const QString side = back ? "Back" : "Front";
    return {side + "OffsetX", side + "ScaleX", side + "OffsetY", side + "ScaleY"};
}

enum class TRead { Missing, Usable, Damaged };

// One side: missing when none of its keys has a value, damaged unless all
// four are numbers that make a usable correction.
TRead ReadSide(const TIniFile& ini, const QString& section, bool back, TSideCorrection& side) {
    const TKeys keys = KeysOf(back);
    const std::array<QString, 4> names{keys.OffsetX, keys.ScaleX, keys.OffsetY, keys.ScaleY};
    std::array<double, 4> values{};
    int present = 0, numbers = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const QString text = ini.ReadString(section, names[i], QString());
        if (text.isEmpty()) continue;
        ++present;
        bool ok = false;
        values[i] = text.toDouble(&ok);
        if (ok) ++numbers;
    }
    if (present == 0) return TRead::Missing;
    if (numbers < 4) return TRead::Damaged;
    side = {{values[0], values[1]}, {values[2], values[3]}};
    return IsUsable(side) ? TRead::Usable : TRead::Damaged;
}

void WriteSide(TIniFile& ini, const QString& section, bool back, const TSideCorrection& side) {
    const TKeys keys = KeysOf(back);
    ini.WriteString(section, keys.OffsetX, QString::number(side.X.OffsetMm, 'f', 4));
    ini.WriteString(section, keys.ScaleX, QString::number(side.X.Scale, 'f', 6));
    ini.WriteString(section, keys.OffsetY, QString::number(side.Y.OffsetMm, 'f', 4));
    ini.WriteString(section, keys.ScaleY, QString::number(side.Y.Scale, 'f', 6));
}

} // namespace

TCalibrationStore::TCalibrationStore(const QString& fileName) : fileName_(fileName) {}

QString TCalibrationStore::SectionName(const QString& printer) {
    // Brackets and line breaks would end the section's header early.
    QString name = printer.trimmed();
    for (QChar& c : name)
        if (c == u'[' || c == u']' || c.category() == QChar::Other_Control) c = u'_';
    return "Kalibrierung " + name;
}

TPrinterCalibration TCalibrationStore::Load(const QString& printer) {
    TIniFile ini(fileName_);
    ini.BeginUpdate(); // one read of the file for all keys; nothing is written
    const QString section = SectionName(printer);
    TPrinterCalibration calibration;
    QStringList damaged;
    for (const bool back : {false, true}) {
        TSideCorrection side;
        switch (ReadSide(ini, section, back, side)) {
        case TRead::Missing: break;
        case TRead::Usable: (back ? calibration.Back : calibration.Front) = side; break;
        case TRead::Damaged: damaged.append(back ? "Rückseite" : "Vorderseite"); break;
        }
    }
    if (!damaged.isEmpty() && !reported_.contains(printer)) {
        reported_.append(printer);
        Application()->ShowException(
            QString("Die gespeicherte Kalibrierung für den Drucker „%1“ ist beschädigt (%2) und wird nicht verwendet. "
                    "Bitte kalibrieren Sie den Drucker neu")
                .arg(printer, damaged.join(" und ")));
    }
    return calibration;
}

void TCalibrationStore::Save(const QString& printer, const TPrinterCalibration& calibration) {
    TIniFile ini(fileName_);
    const QString section = SectionName(printer);
    ini.BeginUpdate();
    ini.EraseSection(section);
    if (calibration.Front) WriteSide(ini, section, false, *calibration.Front);
    if (calibration.Back) WriteSide(ini, section, true, *calibration.Back);
    ini.UpdateFile();
    // What is stored now is new: damage found later is worth telling again.
    reported_.removeAll(printer);
}

void TCalibrationStore::Remove(const QString& printer) { Save(printer, {}); }

bool TCalibrationStore::Exists(const QString& printer) const {
    return TIniFile(fileName_).SectionExists(SectionName(printer));
}

} // namespace mx
