#include "calibration/calibration_text.h"
#include "coverage/coverage_check.h"

#include <algorithm>

namespace mx {

namespace {

// Below this share an area shows no fill at all.
constexpr double NoFillShare = 0.05;
constexpr double FullShare = 0.99;
constexpr int MostWordsNamed = 8;

const char* EdgeName(int edge) {
    static const char* names[4] = {"links", "oben", "rechts", "unten"};
    return names[edge];
}

QString Mm(double mm) { return DecimalText(mm, 1) + " mm"; }

QString AreaLine(const TAreaCoverage& area, const QString& head) {
    const Area& a = area.OnSide;
    if (a.Right - a.Left <= 0 || a.Bottom - a.Top <= 0) return head + "leer";
    const QString share = DecimalText(area.CoveredShare * 100, 1) + " %";
    if (area.CoveredShare < NoFillShare) return head + "nicht bedeckt (" + share + ")";
    QStringList findings;
    for (int e = 0; e < 4; ++e)
        if (area.UncoveredMm[e] >= LeastStripMm)
            findings << QString(EdgeName(e)) + ' ' + Mm(area.UncoveredMm[e]) + " nicht bedeckt";
    if (FullyCovered(area)) return head + "vollständig bedeckt (" + share + ")";
    return head + share + " bedeckt" + (findings.isEmpty() ? QString() : " – " + findings.join(", "));
}

} // namespace

bool FullyCovered(const TAreaCoverage& area) {
    return area.CoveredShare >= FullShare &&
           std::all_of(area.UncoveredMm.begin(), area.UncoveredMm.end(), [](double mm) { return mm < LeastStripMm; });
}

QStringList DescribeCoverage(const TCoverageReport& report) {
    QStringList lines;
    if (report.Turned) lines << "Das Blatt lag verkehrt herum auf dem Glas; der Scan wurde gedreht ausgewertet.";
    bool anyFill = false;
    for (size_t i = 0; i < report.Areas.size(); ++i) {
        const TAreaCoverage& area = report.Areas[i];
        anyFill = anyFill || area.CoveredShare >= NoFillShare;
        lines << AreaLine(area, report.Areas.size() > 1 ? QString("Bereich %1: ").arg(i + 1) : QString("Bereich: "));
        if (area.ReadableWords.isEmpty()) continue;
        QStringList quoted;
        for (const QString& word : area.ReadableWords.mid(0, MostWordsNamed)) quoted << "„" + word + "“";
        lines << "Text noch lesbar: " + quoted.join(", ") + (area.ReadableWords.size() > MostWordsNamed ? " …" : "");
    }
    if (!report.Areas.empty() && !anyFill)
        lines << "In keinem Bereich ist Füllung zu sehen. Ist die bedruckte Seite des Blattes gescannt?";
    return lines;
}

} // namespace mx
