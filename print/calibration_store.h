#pragma once
// The corrections per printer in the settings file, one section per
// printer ("Kalibrierung <name>"), numbers written with a dot whatever the
// locale. Nothing else of the file is touched.
#include "print/correction.h"

#include <QString>
#include <QStringList>

namespace mx {

class TCalibrationStore {
public:
    explicit TCalibrationStore(const QString& fileName = QStringLiteral("marbelux.INI"));

    // The printer's corrections. A side whose entries are damaged (not a
    // number, out of range, part of them missing) is left out and
    // reported once per store and printer, so keep one store for the run.
    TPrinterCalibration Load(const QString& printer);
    // Replaces the printer's section in one atomic write; a calibration
    // with neither side removes it. Raises EIniFileError.
    void Save(const QString& printer, const TPrinterCalibration& calibration);
    void Remove(const QString& printer);
    // Whether anything, usable or not, is stored for the printer.
    bool Exists(const QString& printer) const;

    static QString SectionName(const QString& printer);
    const QString& FileName() const { return fileName_; }

private:
    QString fileName_;
    QStringList reported_;
};

} // namespace mx
