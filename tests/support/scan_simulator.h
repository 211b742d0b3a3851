#pragma once
// Scans made by the tests: pages rendered as a printer renders them, put on
// paper by a printer with a known shift, scale and turn, laid on a
// scanner's glass in front of a grey lid, and read back with the scanner's
// own scale error, blur, noise and JPEG compression.
#include "print/overprint_rect.h"

#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <vector>

namespace mx::test {

// Where a printer puts things: a point it is told to put at n millimetres
// lands at c + R(RotationDeg) (Scale * n + Offset - c) per axis, c the
// paper's middle, the turn clockwise as the printed side is seen.
struct TPrinterModel {
    double OffsetXMm = 0, OffsetYMm = 0;
    double ScaleX = 1, ScaleY = 1;
    double RotationDeg = 0;
};

// One print on the sheet: a page image (white is no ink) whose top-left
// pixel is the device pixel `At` counted from the paper's top-left corner.
struct TPrintLayer {
    QImage Page;
    int Dpi = 600;
    QPoint At;
    TPrinterModel Printer;
};

struct TScanSetup {
    QSizeF PaperMm{210, 297};
    QSizeF BedMm{228, 316};
    QPointF SheetCentreMm{114, 158};       // on the glass
    double SheetRotationDeg = 0;           // on the glass, clockwise; 180 is on its head
    bool Mirror = false;                   // the image flipped left to right
    double ScaleX = 1.003, ScaleY = 0.997; // the scanner's own error
    int Dpi = 300;
    double Lid = 0.56; // the lid's reflectance; paper has 0.93
    bool Colour = false;
    double NoiseLevel = 2.5; // grey levels, standard deviation
    int JpegQuality = 75;    // 0 for none
    quint64 Seed = 1;
};

QImage SimulateScan(const std::vector<TPrintLayer>& layers, const TScanSetup& setup);
// Writes a scan to a file whose kind the name's ending says, stating the
// resolution where the kind can (PNG, JPEG); dpi 0 states none. False
// when it cannot be written.
bool SaveScanFile(const QImage& scan, double dpi, const QString& path);
// A sheet of the geometry's paper lying straight in the middle of the bed.
TScanSetup ScanSetupFor(const PrinterGeometry& g);
// Where the simulated scan shows a point of the sheet (millimetres from its
// top-left corner).
QPointF ScanPositionOf(const TScanSetup& setup, QPointF sheetMm);

// A4 on a 600-dpi printer with 4 mm margins.
PrinterGeometry A4Printer(int dpi = 600);
// The paper size of a geometry in millimetres.
QSizeF PaperMm(const PrinterGeometry& g);
// The calibration page as the printer gets it (the printable area): the
// side's marks, with them or without, and lines of text as the page has.
QImage RenderCalibrationPage(const PrinterGeometry& g, bool back, bool marks = true);
// The whole paper as a letter: lines of text from edge to edge of the
// printable area, at the given resolution.
QImage RenderTextPage(QSizeF paperMm, int dpi);

// Deterministic random numbers for the tests' scans and distortions.
class TRandom {
public:
    explicit TRandom(quint64 seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    quint64 Next();
    double Uniform(double low, double high);
    // About normal, mean 0 and standard deviation 1.
    double Normal();
    // -1 or 1.
    int Sign() { return Next() & 1 ? 1 : -1; }

private:
    quint64 state_;
};

// A sheet laid on the glass by hand: up to 2 degrees turned, a few
// millimetres off the middle, and a scanner 0.3 % off along each axis.
TScanSetup RandomPlacement(TRandom& random, const PrinterGeometry& g);

// Scans that show no sheet: all white, all black, noise, and a "photo" (a
// smooth gradient with blurred shapes), all the size of a scan of the bed.
enum class THostile { Blank, Black, Noise, Photo };
QImage HostileScan(THostile kind, quint64 seed = 1);

} // namespace mx::test
