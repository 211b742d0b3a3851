#pragma once
// A scan of a German letter whose every word and box is known: the letter
// is made as a PDF document with Qt, its words and their boxes read back
// with pdftotext, the page rendered in grey with pdftoppm, then given light
// noise and a skew as a scanner would. Shared by the tests and the
// benchmarks; needs no test framework.
#include "platform/text_word.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace mx::test {

struct TTrueWord {
    QString Text;
    // In the scan's pixels, through the skew: the box pdftotext gives (the
    // font's height, the glyphs' advance) and the word's ink.
    QRectF PdfBox;
    QRectF InkBox;
};

struct TLetterScan {
    // Eight-bit grey.
    QImage Image;
    int Dpi = 300;
    QList<TTrueWord> Words;
    // Why the scan could not be made; empty when it was.
    QString Error;
};

// The letter scanned at dpi with a skew of degrees (clockwise).
TLetterScan ScanOfLetter(int dpi, double degrees = 0.5);

// How well the recognition read the letter's words of four or more
// characters.
struct TAccuracy {
    int Words = 0;
    // Read with the same text and a box within the tolerance of the PDF's
    // box: its left and right edges near the PDF's, its top and bottom not
    // beyond (the PDF's box spans the font's whole height).
    int Found = 0;
    // Of the found words, those whose every edge lies within the tolerance
    // of the word's ink, and the largest distance of an edge from it.
    int FoundAtInk = 0;
    double WorstInkEdgeMm = 0;
    // Words not read, or read with a box off ("Betrag (box)").
    QStringList Missed;
    double Percent() const { return Words ? 100.0 * Found / Words : 0; }
    double PercentAtInk() const { return Words ? 100.0 * FoundAtInk / Words : 0; }
};

TAccuracy MeasureAccuracy(const TTextWords& found, const TLetterScan& scan, double toleranceMm = 1.0);

// True when the words of one line, put together without spaces, contain
// text (an IBAN read as groups of four).
bool LineContains(const TTextWords& words, const QString& text);

// The letter's IBAN and e-mail address.
inline const QString LetterIban = QStringLiteral("DE89370400440532013000");
inline const QString LetterEmail = QStringLiteral("anna.beispielfrau@example.de");

} // namespace mx::test
