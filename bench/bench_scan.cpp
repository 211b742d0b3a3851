// Reading scans of printed sheets, on a worker thread in the program: the
// calibration page's sheet and marks in a 300-dpi A4 scan (from memory and
// from a file), the sheet alone, and the coverage check of one area in a
// colour scan.
#include "calibration/scan_calibration.h"
#include "calibration/scan_image.h"
#include "coverage/coverage_check.h"
#include "sheetscan/find_sheet.h"
#include "tests/support/scan_simulator.h"

#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace mx;
using namespace mx::test;

namespace {

const PrinterGeometry Printer = A4Printer(600);

// A calibration page printed a little off, lying turned on the glass; in
// grey or in colour, as the scanner delivers it.
QImage CalibrationScan(bool colour = false) {
    TScanSetup setup = ScanSetupFor(Printer);
    setup.SheetRotationDeg = 1.2;
    setup.Colour = colour;
    return SimulateScan({{RenderCalibrationPage(Printer, false),
                          Printer.Dpi,
                          {Printer.OffsetX, Printer.OffsetY},
                          {1.1, -0.6, 1.002, 0.998, 0.2}}},
                        setup);
}

// Goal: 1 s for the whole detection.
void CalibrateFromA4Scan(benchmark::State& state) {
    const QImage scan = CalibrationScan(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(CalibrateFromScan(scan, 300, Printer, false));
    state.counters["scan_px"] = double(scan.width()) * scan.height();
    state.SetLabel("goal <= 1 s");
}
BENCHMARK(CalibrateFromA4Scan)->Arg(0)->Arg(1)->ArgName("colour")->Unit(benchmark::kMillisecond);

// What the dialog's worker thread does for "Scan-Datei öffnen...": the PNG
// file read with its resolution, then the page measured.
void CalibrateFromA4ScanFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath("scan.png");
    if (!SaveScanFile(CalibrationScan(state.range(0)), 300, file)) state.SkipWithError("cannot write the scan");
    for (auto _ : state) {
        const TScanImage scan = ReadScanFile(file);
        benchmark::DoNotOptimize(CalibrateFromScan(scan.Image, scan.Dpi, Printer, false));
    }
    state.SetLabel("goal <= 1 s");
}
BENCHMARK(CalibrateFromA4ScanFile)->Arg(0)->Arg(1)->ArgName("colour")->Unit(benchmark::kMillisecond);

void FindSheetInA4Scan(benchmark::State& state) {
    const QImage scan = CalibrationScan();
    for (auto _ : state) benchmark::DoNotOptimize(FindSheet(scan, 300, PaperMm(Printer)));
}
BENCHMARK(FindSheetInA4Scan)->Unit(benchmark::kMillisecond);

// A black area of 80 x 30 mm over a letter, shifted by 1 mm, colour scan.
void CheckCoverageOfOneArea(benchmark::State& state) {
    const Area area{40, 120, 60, 90};
    QImage fill(MmToDevice(80, 600), MmToDevice(30, 600), QImage::Format_RGB32);
    fill.fill(Qt::black);
    TScanSetup setup = ScanSetupFor(Printer);
    setup.Colour = true;
    const QImage scan = SimulateScan({{RenderTextPage(PaperMm(Printer), 300), 300, {0, 0}, {}},
                                      {fill, 600, {MmToDevice(40, 600), MmToDevice(60, 600)}, {1, 0, 1, 1, 0}}},
                                     setup);
    const TCoverageJob job{PaperMm(Printer), false, {area}, {}};
    for (auto _ : state) benchmark::DoNotOptimize(CheckCoverage(scan, 300, job));
}
BENCHMARK(CheckCoverageOfOneArea)->Unit(benchmark::kMillisecond);

} // namespace
