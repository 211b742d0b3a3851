#include "scan/scanner.h"

#include "platform/background_job.h"
#include "platform/module_loader.h"

namespace mx {

namespace {

const QString AskConnected = QStringLiteral("prüfen Sie, ob er angeschlossen und eingeschaltet ist");

TScannerAccess& Access() {
    const auto access = reinterpret_cast<TScannerAccessFunction>(
        ResolveModuleSymbol(QStringLiteral(MARBELUX_SCAN_MODULE), ScannerAccessSymbol));
    if (!access)
        throw EScan(QStringLiteral("Marbelux kann nicht scannen: die Scanner-Unterstützung (%1) ist nicht installiert")
                        .arg(QStringLiteral(MARBELUX_SCAN_MODULE)));
    return *access();
}

// SANE's reasons in words for the user.
QString Reason(TScanStatus status) {
    switch (status) {
    case TScanStatus::Unsupported: return QStringLiteral("der Scanner unterstützt diesen Vorgang nicht");
    case TScanStatus::DeviceBusy:
        return QStringLiteral("der Scanner ist belegt – vielleicht benutzt ihn gerade ein anderes Programm");
    case TScanStatus::Invalid: return QStringLiteral("der Scanner hat die Einstellungen nicht angenommen");
    case TScanStatus::EndOfFile: return QStringLiteral("der Scanner hat kein Bild geliefert");
    case TScanStatus::Jammed: return QStringLiteral("Papierstau im Scanner");
    case TScanStatus::NoDocuments: return QStringLiteral("im Scanner liegt kein Blatt");
    case TScanStatus::CoverOpen: return QStringLiteral("der Deckel des Scanners ist offen");
    case TScanStatus::IoError:
        return QStringLiteral("die Verbindung zum Scanner ist abgebrochen; %1").arg(AskConnected);
    case TScanStatus::NoMemory: return QStringLiteral("der Arbeitsspeicher reicht nicht");
    case TScanStatus::AccessDenied:
        return QStringLiteral("Marbelux hat keine Rechte für den Scanner; sie kommen meist mit der Gruppe "
                              "„scanner“ oder „lp“");
    case TScanStatus::UnknownFormat:
        return QStringLiteral("der Scanner liefert das Bild in einer Form, die Marbelux nicht lesen kann");
    case TScanStatus::TooLarge: return QStringLiteral("das Bild wäre größer als jedes Blatt");
    case TScanStatus::Good:
    case TScanStatus::Cancelled: break;
    }
    return QStringLiteral("unbekannter Fehler");
}

QString Quoted(const QString& device) { return QStringLiteral("„%1“").arg(device); }

QString Failure(const QString& device, const TScanOutcome& outcome) {
    if (outcome.Step == TScanStep::Open && outcome.Status == TScanStatus::Invalid)
        return QStringLiteral("Der Scanner %1 ist nicht erreichbar; %2").arg(Quoted(device), AskConnected);
    return QStringLiteral("Der Scan mit %1 ist fehlgeschlagen: %2").arg(Quoted(device), Reason(outcome.Status));
}

} // namespace

QList<TScannerInfo> ListScanners(bool refresh) {
    QList<TScannerInfo> scanners;
    const TScanStatus status = Access().List(refresh, scanners);
    if (status != TScanStatus::Good)
        throw EScan(QStringLiteral("Die Suche nach Scannern ist fehlgeschlagen: %1").arg(Reason(status)));
    return scanners;
}

TScannedPage ScanPage(const TScanRequest& request, TJobControl& control) {
    // SANE would take an empty name for its first device, whichever it is.
    if (request.Device.isEmpty()) throw EScan(NoScannerMessage());
    TScanOutcome outcome = Access().Scan(
        request, [&control](int percent) { control.Progress(percent); }, control.CancelFlag());
    if (outcome.Status == TScanStatus::Cancelled) return {};
    if (outcome.Status != TScanStatus::Good) throw EScan(Failure(request.Device, outcome));
    if (outcome.Dpi.isEmpty())
        throw EScan(QStringLiteral("Der Scanner %1 nennt die Auflösung seines Bildes nicht; so lässt sich der Scan "
                                   "nicht in wahrer Größe zeigen")
                        .arg(Quoted(request.Device)));
    return {outcome.Image, outcome.Dpi};
}

QString NoScannerMessage() {
    return QStringLiteral("Kein Scanner gefunden. Bitte %1. Ob das System ihn sieht, zeigt der Befehl "
                          "„sane-find-scanner“; sieht es ihn, fehlen Marbelux vielleicht die Rechte der Gruppe "
                          "„scanner“ oder „lp“")
        .arg(AskConnected);
}

QString ScannerLabel(const TScannerInfo& scanner) {
    const QString model = QStringList{scanner.Vendor, scanner.Model}.join(QLatin1Char(' ')).simplified();
    return model.isEmpty() ? scanner.Name : QStringLiteral("%1 (%2)").arg(model, scanner.Name);
}

} // namespace mx
