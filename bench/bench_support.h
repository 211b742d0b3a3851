#pragma once
// What the benchmarks share: a main window set up as a user first sees it,
// event processing, and the process's resident memory.
#include <QByteArray>
#include <QString>
#include <memory>

namespace mx {
class TMainForm;
}

namespace bench {

enum class TWindow { Design, Maximised };

// Handles everything posted, including the pending paints.
void Flush();

// The main window on the test printer, with no stored settings, shown at
// its design size or maximised, after its first complete preview paint.
std::unique_ptr<mx::TMainForm> MakeForm(TWindow window);

// Sets the zoom field and waits for the repaint it causes.
void SetZoom(mx::TMainForm& form, int zoom);

// True once the preview has drawn the sheet (not only laid itself out).
bool PreviewDrawn(mx::TMainForm& form);

// The process's resident set, in MiB.
double ResidentMiB();

// An A4 business letter as a PDF document: letterhead, address block,
// 45 lines of text and a ruled table, as the sheets a user overprints are.
QByteArray LetterPdf();
// The same in a file that lasts as long as the process.
QString LetterPdfFile();
// The modules (PDF, scanning, text recognition) lie next to the program,
// not next to the benchmarks.
void UseTheBuildsModules();
// Opens a file as the window's backdrop and waits until it is read.
void OpenBackdrop(mx::TMainForm& form, const QString& file);

} // namespace bench
