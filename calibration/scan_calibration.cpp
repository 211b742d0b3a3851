#include "calibration/scan_calibration.h"

#include "calibration/calibration_text.h"
#include "calibration/mark_finder.h"
#include "print/overprint_rect.h"
#include "sheetscan/find_sheet.h"
#include "sheetscan/grey_image.h"
#include "sheetscan/scan_error.h"

#include <QImage>
#include <bit>
#include <cmath>
#include <numbers>

namespace mx {

namespace {

// A mark is looked for this far around its place: the largest offset a
// correction takes on and a scale error across the sheet.
constexpr double SearchMm = MaxOffsetMm + 2;
// Marks that miss the fitted printer by more did not all print where the
// printer puts things, or one of them was misread.
constexpr double MostResidualMm = 0.25;

QString SideName(bool back) { return back ? "Rückseite" : "Vorderseite"; }

// How the scan shows the page: the code squares of every mark turn and
// mirror with it.
enum class TView { Upright, Turned, Mirrored, MirroredTurned };

unsigned Viewed(unsigned code, TView view) {
    unsigned out = 0;
    for (int i = 0; i < CodeSlotCount; ++i) {
        if (!(code >> i & 1)) continue;
        const int j = view == TView::Upright    ? i
                      : view == TView::Turned   ? (i + 4) % 8
                      : view == TView::Mirrored ? (8 - i) % 8
                                                : (12 - i) % 8;
        out |= 1u << j;
    }
    return out;
}

// The view of the expected side that the code squares of the found marks
// agree with best. Raises for the other side's page, a mirrored scan and
// squares that cannot be read.
TView ReadView(const std::vector<unsigned>& codes, bool back) {
    struct TReading {
        bool Back;
        TView View;
        int Misses = 0;
    };
    std::vector<TReading> readings;
    for (const bool side : {false, true})
        for (const TView view : {TView::Upright, TView::Turned, TView::Mirrored, TView::MirroredTurned}) {
            TReading r{side, view};
            for (const unsigned code : codes) r.Misses += std::popcount(code ^ Viewed(MarkCode(side), view));
            readings.push_back(r);
        }
    const TReading* best = &readings[0];
    bool tie = false;
    for (const TReading& r : readings) {
        if (&r == best) continue;
        if (r.Misses < best->Misses)
            best = &r, tie = false;
        else if (r.Misses == best->Misses)
            tie = true;
    }
    // More than one square in two marks misread, or two readings alike:
    // nothing can be told.
    if (tie || best->Misses * 2 > int(codes.size()))
        throw EScanReading("Die Kennzeichen neben den Kalibriermarken sind im Scan nicht zu lesen. Ist der Scan "
                           "scharf und das Blatt sauber?");
    if (best->View == TView::Mirrored || best->View == TView::MirroredTurned)
        throw EScanReading("Der Scan zeigt die Kalibrierseite spiegelverkehrt. Scannen oder öffnen Sie ihn ohne "
                           "Spiegelung");
    if (best->Back != back)
        throw EScanReading(QString("Im Scan ist die Kalibrierseite der %1 zu sehen, kalibriert wird die %2. Scannen "
                                   "Sie die Kalibrierseite der %2")
                               .arg(SideName(best->Back), SideName(back)));
    return best->View;
}

// measured = [a b; d e] (nominal - centroid) + (c, f), least squares.
struct TAffine {
    double A = 1, B = 0, C = 0, D = 0, E = 1, F = 0;
    QPointF Centroid;
    QPointF Apply(QPointF n) const {
        const QPointF d = n - Centroid;
        return {A * d.x() + B * d.y() + C, D * d.x() + E * d.y() + F};
    }
};

std::optional<TAffine> FitAffine(const std::vector<QPointF>& nominal, const std::vector<QPointF>& measured) {
    const double n = double(nominal.size());
    TAffine t;
    QPointF mean;
    for (size_t i = 0; i < nominal.size(); ++i) t.Centroid += nominal[i] / n, mean += measured[i] / n;
    double sxx = 0, sxy = 0, syy = 0, sxu = 0, syu = 0, sxv = 0, syv = 0;
    for (size_t i = 0; i < nominal.size(); ++i) {
        const QPointF d = nominal[i] - t.Centroid, m = measured[i] - mean;
        sxx += d.x() * d.x(), sxy += d.x() * d.y(), syy += d.y() * d.y();
        sxu += d.x() * m.x(), syu += d.y() * m.x(), sxv += d.x() * m.y(), syv += d.y() * m.y();
    }
    const double det = sxx * syy - sxy * sxy;
    if (std::abs(det) < 1e-9) return std::nullopt;
    t.A = (sxu * syy - syu * sxy) / det;
    t.B = (syu * sxx - sxu * sxy) / det;
    t.D = (sxv * syy - syv * sxy) / det;
    t.E = (syv * sxx - sxv * sxy) / det;
    t.C = mean.x();
    t.F = mean.y();
    return t;
}

double WorstResidual(const TAffine& t, const std::vector<QPointF>& nominal, const std::vector<QPointF>& measured) {
    double worst = 0;
    for (size_t i = 0; i < nominal.size(); ++i) {
        const QPointF r = measured[i] - t.Apply(nominal[i]);
        worst = std::max({worst, std::abs(r.x()), std::abs(r.y())});
    }
    return worst;
}

// "oben links", "in der Mitte": where a mark lies on the printed side.
QString PlaceName(const TCalibrationMark& mark, QSizeF paper) {
    const double dx = mark.XMm - paper.width() / 2, dy = mark.YMm - paper.height() / 2;
    if (std::abs(dx) < 20 && std::abs(dy) < 20) return "in der Mitte";
    return QString(dy < 0 ? "oben " : "unten ") + (dx < 0 ? "links" : "rechts");
}

QString Signed(double value, int decimals) {
    const QString digits = DecimalText(std::abs(value), decimals);
    if (digits == DecimalText(0, decimals)) return digits;
    return (value > 0 ? QChar('+') : QChar(0x2212)) + digits;
}

// Why a correction is not usable, as the manual way says it.
QString BeyondLimits(const TSideCorrection& side) {
    const QString again = " – ist es die Kalibrierseite dieses Druckers?";
    for (const bool vertical : {false, true}) {
        const TAxisCorrection& axis = vertical ? side.Y : side.X;
        const QString name = vertical ? "in der Höhe" : "in der Breite";
        if (IsUsable(axis)) continue;
        if (!(std::abs(axis.Scale - 1) <= MaxScaleDeviation))
            return "Der Scan ergibt eine Verzerrung von " +
                   DecimalTextBeyond(std::abs(axis.Scale - 1) * 100, MaxScaleDeviation * 100) + " % " + name +
                   ". Mehr als " + DecimalText(MaxScaleDeviation * 100, 0) + " % kann nicht ausgeglichen werden" +
                   again;
        return "Der Scan ergibt eine Verschiebung von " + DecimalTextBeyond(std::abs(axis.OffsetMm), MaxOffsetMm) +
               " mm " + name + ". Mehr als " + DecimalText(MaxOffsetMm, 0) + " mm kann nicht ausgeglichen werden" +
               again;
    }
    return {};
}

} // namespace

TScanCalibration CalibrateFromScan(const QImage& scan, double dpi, const PrinterGeometry& g, bool back) {
    const std::array<TCalibrationMark, 5> marks = CalibrationMarks(g, back);
    const QSizeF paper(DeviceToMm(g.PaperWidth, g.Dpi), DeviceToMm(g.PaperHeight, g.Dpi));
    const TGreyImage grey(scan);
    const TSheetScan sheet = FindSheet(grey, dpi, paper);
    TSheetFrame frame = sheet.Frame;

    TScanCalibration result;
    result.Back = back;
    result.ScanScaleX = sheet.ScanScaleX;
    result.ScanScaleY = sheet.ScanScaleY;
    std::vector<double> markErrors;
    const auto measure = [&] {
        result.Marks.clear();
        markErrors.clear();
        std::vector<unsigned> codes;
        for (const TCalibrationMark& mark : marks) {
            TMarkMeasurement m;
            m.Nominal = mark;
            if (const auto found = FindMark(grey, frame, {mark.XMm, mark.YMm}, SearchMm)) {
                m.Found = true;
                m.MeasuredMm = found->CentreMm;
                m.ScanPosition = frame.ToScan(found->CentreMm);
                codes.push_back(found->Code);
                markErrors.push_back(found->CentreErrorMm);
            }
            result.Marks.push_back(m);
        }
        if (codes.empty())
            throw EScanReading("Auf dem Blatt sind keine Kalibriermarken zu finden. Scannen Sie die gedruckte "
                               "Kalibrierseite der " +
                               SideName(back));
        if (codes.size() < 4)
            throw EScanReading(QString("Im Scan sind nur %1 der fünf Kalibriermarken zu finden. Liegt das Blatt ganz "
                                       "und glatt auf dem Glas?")
                                   .arg(codes.size()));
        return ReadView(codes, back);
    };
    if (measure() == TView::Turned) {
        // A sheet lying across the glass may lie either way round; one
        // standing on its head is put upright by the user.
        const double turn = std::abs(frame.RotationDeg());
        if (turn < 45 || turn > 135)
            throw EScanReading("Das Blatt liegt im Scan auf dem Kopf. Drehen Sie es auf dem Glas um eine halbe Drehung "
                               "und scannen Sie noch einmal");
        frame = frame.Turned();
        if (measure() != TView::Upright)
            throw EScanReading("Die Kennzeichen neben den Kalibriermarken sind im Scan nicht zu lesen. Ist der Scan "
                               "scharf und das Blatt sauber?");
    }
    result.SheetRotationDeg = frame.RotationDeg();
    result.SheetOutline = frame.Outline();

    // The printer from the marks found; one mark that does not fit the
    // others is left out when the rest agree closely.
    std::vector<int> used;
    for (int i = 0; i < int(result.Marks.size()); ++i)
        if (result.Marks[i].Found) used.push_back(i);
    const auto fit = [&](const std::vector<int>& which, std::vector<QPointF>& n, std::vector<QPointF>& m) {
        n.clear(), m.clear();
        for (const int i : which)
            n.push_back({result.Marks[i].Nominal.XMm, result.Marks[i].Nominal.YMm}),
                m.push_back(result.Marks[i].MeasuredMm);
        return FitAffine(n, m);
    };
    std::vector<QPointF> nominal, measured;
    std::optional<TAffine> model = fit(used, nominal, measured);
    const QString misplaced = "Die Kalibriermarken liegen im Scan nicht so zueinander, wie sie gedruckt wurden. "
                              "Liegt das Blatt glatt auf dem Glas?";
    if (!model) throw EScanReading(misplaced);
    if (WorstResidual(*model, nominal, measured) > MostResidualMm) {
        if (used.size() < 5) throw EScanReading(misplaced);
        std::optional<TAffine> bestModel;
        int left = -1;
        double bestWorst = INFINITY;
        for (size_t skip = 0; skip < used.size(); ++skip) {
            std::vector<int> rest = used;
            rest.erase(rest.begin() + skip);
            const auto candidate = fit(rest, nominal, measured);
            if (!candidate) continue;
            const double worst = WorstResidual(*candidate, nominal, measured);
            if (worst < bestWorst) bestWorst = worst, bestModel = candidate, left = used[skip];
        }
        if (!bestModel || bestWorst > MostResidualMm / 2) throw EScanReading(misplaced);
        model = bestModel;
        used.erase(std::find(used.begin(), used.end(), left));
        result.Warnings.append(QString("Die Marke %1 passt nicht zu den anderen und wurde nicht berücksichtigt")
                                   .arg(PlaceName(result.Marks[left].Nominal, paper)));
        fit(used, nominal, measured);
    }

    // Per axis the straight line that the model gives through the marks'
    // middle: a turn of the print cannot be corrected, only reported.
    const TAffine& t = *model;
    result.Correction.X = {t.C - t.A * t.Centroid.x(), t.A};
    result.Correction.Y = {t.F - t.E * t.Centroid.y(), t.E};
    result.RotationDeg = std::atan2(t.D - t.B, t.A + t.E) * 180 / std::numbers::pi;
    for (TMarkMeasurement& m : result.Marks)
        if (m.Found) m.ResidualMm = m.MeasuredMm - t.Apply({m.Nominal.XMm, m.Nominal.YMm});
    if (!IsUsable(result.Correction)) throw EScanReading(BeyondLimits(result.Correction));

    // The uncertainty: the marks' scatter about the model (at least what
    // their own edge fits say), the paper edges' fits, a tenth of a scan
    // pixel for what a straight edge at that resolution leaves open, and a
    // third of one because the marks lie on one grid of half inches: they
    // all sit alike against the scan's pixels, so what that leaves of a
    // mark's centre does not average out over the marks.
    const double n = double(used.size());
    double rssX = 0, rssY = 0, sxx = 0, syy = 0, markVariance = 0;
    for (const int i : used) {
        const TMarkMeasurement& m = result.Marks[i];
        rssX += m.ResidualMm.x() * m.ResidualMm.x();
        rssY += m.ResidualMm.y() * m.ResidualMm.y();
        sxx += std::pow(m.Nominal.XMm - t.Centroid.x(), 2);
        syy += std::pow(m.Nominal.YMm - t.Centroid.y(), 2);
    }
    for (const double e : markErrors) markVariance += e * e / double(markErrors.size());
    const double scatterX = std::max(std::sqrt(rssX / (n - 3)), std::sqrt(markVariance));
    const double scatterY = std::max(std::sqrt(rssY / (n - 3)), std::sqrt(markVariance));
    const double pixelMm = MmPerInch / dpi, resolution = pixelMm / 10, gridPhase = pixelMm / 3;
    const auto& e = sheet.EdgeErrorMm;
    const double edgeOffset = std::max({e[0], e[1], e[2], e[3]});
    const double offsetError = std::hypot(std::hypot(std::max(scatterX, scatterY) / std::sqrt(n), edgeOffset),
                                          std::hypot(resolution, gridPhase));
    const double scaleError = std::max({std::hypot(scatterX / std::sqrt(sxx), std::hypot(e[0], e[2]) / paper.width()),
                                        std::hypot(scatterY / std::sqrt(syy), std::hypot(e[1], e[3]) / paper.height()),
                                        resolution / std::min(std::sqrt(sxx), std::sqrt(syy))});
    result.OffsetUncertaintyMm = 2 * offsetError;
    result.ScaleUncertainty = 2 * scaleError;

    if (std::abs(result.RotationDeg) > RotationWarningDeg)
        result.Warnings.append(QString("Der Druck liegt um %1° schräg auf dem Papier. Das gleicht die Kalibrierung "
                                       "nicht aus; prüfen Sie, ob der Drucker das Papier gerade einzieht")
                                   .arg(DecimalText(std::abs(result.RotationDeg), 2)));
    return result;
}

QString DescribeScanCalibration(const TScanCalibration& r) {
    const auto percent = [](double scale) { return DecimalText(scale * 100, 2) + " %"; };
    // An uncertainty is rounded up, to a hundredth at least.
    const auto upTo = [](double value) { return DecimalText(std::max(0.01, std::ceil(value * 100 - 1e-9) / 100), 2); };
    const auto& c = r.Correction;
    int found = 0;
    for (const TMarkMeasurement& m : r.Marks) found += m.Found;
    QStringList lines;
    lines << QString("%1, gemessen an %2 Marken").arg(SideName(r.Back)).arg(found);
    lines << QString("Verschiebung: %1 mm in der Breite, %2 mm in der Höhe")
                 .arg(Signed(c.X.OffsetMm, 2), Signed(c.Y.OffsetMm, 2));
    lines << QString("Maßstab: %1 in der Breite, %2 in der Höhe").arg(percent(c.X.Scale), percent(c.Y.Scale));
    lines << QString("Drehung des Drucks gegen das Papier: %1°").arg(Signed(r.RotationDeg, 2));
    lines << QString("Genauigkeit dieses Scans: ±%1 mm, Maßstab ±%2 %")
                 .arg(upTo(r.OffsetUncertaintyMm), upTo(r.ScaleUncertainty * 100));
    lines
        << QString("Maßstab des Scanners (herausgerechnet): %1 / %2").arg(percent(r.ScanScaleX), percent(r.ScanScaleY));
    lines << r.Warnings;
    return lines.join('\n');
}

} // namespace mx
