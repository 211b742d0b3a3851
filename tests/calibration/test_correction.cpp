// The correction of a job's device rectangle and the fit of a printer's
// deviation from two measured crosses.
#include "calibration/axis_fit.h"
#include "platform/exception.h"
#include "print/correction.h"
#include "print/overprint_rect.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

using namespace mx;

namespace {

std::optional<TSideCorrection> Side(double offsetX, double scaleX, double offsetY, double scaleY) {
    return TSideCorrection{{offsetX, scaleX}, {offsetY, scaleY}};
}

QString FitError(double n1, double m1, double n2, double m2) {
    try {
        FitAxis(TAxis::Horizontal, n1, m1, n2, m2);
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

} // namespace

TEST(CorrectedRect, WithoutCorrectionEveryRectangleIsTheJobsOwn) {
    QRandomGenerator random(7);
    const std::optional<TSideCorrection> identity = Side(0, 1, 0, 1);
    for (const int dpi : {72, 150, 300, 360, 600, 720, 1200, 2400}) {
        for (int i = 0; i < 400; ++i) {
            PrinterGeometry g;
            g.Dpi = dpi;
            g.OffsetX = random.bounded(0, dpi / 2);
            g.OffsetY = random.bounded(0, dpi / 2);
            g.PaperWidth = random.bounded(dpi * 3, dpi * 17);
            g.PaperHeight = random.bounded(dpi * 3, dpi * 17);
            const double w = DeviceToMm(g.PaperWidth, dpi), h = DeviceToMm(g.PaperHeight, dpi);
            const Area a{random.bounded(w), random.bounded(w), random.bounded(h), random.bounded(h)};
            for (const TRect& job : {FrontRect(a, g), BackRect(a, g)}) {
                EXPECT_EQ(CorrectedRect(job, g, std::nullopt), job);
                ASSERT_EQ(CorrectedRect(job, g, identity), job) << dpi << " dpi, area " << a.Left << " " << a.Top;
            }
        }
    }
}

TEST(CorrectedRect, OffsetsMoveByTheTruncatedDistance) {
    // 600 dpi, offsets 100/150: the job's rectangle is 372, 558, 1081, 794,
    // on the paper 472, 708, 1181, 944. A printer landing 1 mm right and
    // 0.5 mm high gets (p - 23.62) and (p + 11.81), truncated.
    const PrinterGeometry g{600, 100, 150, 5100, 6600};
    const TRect job = FrontRect({20, 50, 30, 40}, g);
    ASSERT_EQ(job, (TRect{372, 558, 1081, 794}));
    EXPECT_EQ(CorrectedRect(job, g, Side(1.0, 1, -0.5, 1)), (TRect{348, 569, 1057, 805}));
    // 0.2 % stretch: every paper position divided by 1.002, truncated.
    EXPECT_EQ(CorrectedRect(job, g, Side(0, 1.002, 0, 1)), (TRect{371, 558, 1078, 794}));
    // The paper's edge moved off the paper is truncated toward zero:
    // -11.81 becomes -11, not -12.
    EXPECT_EQ(CorrectedRect({-100, -150, 0, 0}, g, Side(0.5, 1, 0.5, 1)).Left, -111);
    EXPECT_EQ(CorrectedPoint({0, 0}, g, Side(1.0, 1, -0.5, 1)), QPoint(-24, 11));
}

TEST(CorrectedRect, PrinterDeviationAfterTheCorrectionLandsWhereTheMillimetresSay) {
    QRandomGenerator random(11);
    for (int i = 0; i < 2000; ++i) {
        const int dpi = (i % 2) ? 600 : 300;
        const PrinterGeometry g{dpi, random.bounded(0, 200), random.bounded(0, 200), 5100, 6600};
        const TAxisCorrection x{random.bounded(20.0) - 10, 0.99 + random.bounded(0.02)};
        const TAxisCorrection y{random.bounded(20.0) - 10, 0.99 + random.bounded(0.02)};
        const TRect job{random.bounded(300, 4000), random.bounded(300, 5000), random.bounded(300, 4000),
                        random.bounded(300, 5000)};
        const TRect c = CorrectedRect(job, g, TSideCorrection{x, y});
        // The printer puts device position n at S * n + Offset (pixels).
        const auto lands = [dpi](int paper, const TAxisCorrection& a) {
            return a.Scale * paper + a.OffsetMm / MmPerInch * dpi;
        };
        const auto near = [](double landed, int wanted) {
            return landed > wanted - 1.01 - 1e-9 && landed <= wanted + 1e-9;
        };
        EXPECT_TRUE(near(lands(c.Left + g.OffsetX, x), job.Left + g.OffsetX)) << i;
        EXPECT_TRUE(near(lands(c.Right + g.OffsetX, x), job.Right + g.OffsetX)) << i;
        EXPECT_TRUE(near(lands(c.Top + g.OffsetY, y), job.Top + g.OffsetY)) << i;
        EXPECT_TRUE(near(lands(c.Bottom + g.OffsetY, y), job.Bottom + g.OffsetY)) << i;
    }
}

TEST(CorrectedRect, UnusableCorrectionsChangeNothing) {
    const PrinterGeometry g{600, 100, 150, 5100, 6600};
    const TRect job{372, 558, 1081, 794};
    for (const auto& side : {Side(NAN, 1, 0, 1), Side(0, INFINITY, 0, 1), Side(0, 1.02, 0, 1), Side(0, 1, 10.5, 1),
                             Side(0, 0, 0, 1), Side(0, -1, 0, 1)}) {
        EXPECT_FALSE(IsUsable(*side));
        EXPECT_EQ(CorrectedRect(job, g, side), job);
    }
    EXPECT_TRUE(IsUsable(*Side(-10, 0.99, 10, 1.01)));
}

TEST(FitAxis, RecoversTheDeviationFromTwoCrosses) {
    for (const auto& [scale, offset] : {std::pair{1.0, 0.0}, {1.002, 1.0}, {0.995, -3.25}, {1.01, 0.4}, {0.99, 10.0}}) {
        const double n1 = 24, n2 = 192;
        const TAxisCorrection fitted = FitAxis(TAxis::Vertical, n1, scale * n1 + offset, n2, scale * n2 + offset);
        EXPECT_NEAR(fitted.Scale, scale, 1e-12);
        EXPECT_NEAR(fitted.OffsetMm, offset, 1e-9);
    }
    // The back's crosses run from right to left: the order of the two
    // nominals does not matter.
    const TAxisCorrection back = FitAxis(TAxis::Horizontal, 195.9, 197.2, 27.9, 28.9);
    EXPECT_NEAR(back.Scale, (197.2 - 28.9) / (195.9 - 27.9), 1e-12);
}

TEST(FitAxis, RefusesWhatNoCorrectionShouldTakeOn) {
    EXPECT_EQ(FitError(20, 20, 120, 121.8),
              "Die gemessenen Werte ergeben eine Verzerrung von 1,8 % in der Breite. Mehr als 1 % kann nicht "
              "ausgeglichen werden – bitte messen Sie noch einmal nach.");
    // Just beyond the limit never reads as "1,0 %".
    EXPECT_TRUE(FitError(0, 0, 100, 101.001).contains("von 1,001 %")) << FitError(0, 0, 100, 101.001).toStdString();
    EXPECT_EQ(FitError(20, 30.5, 120, 130.5),
              "Die gemessenen Werte ergeben eine Verschiebung von 10,5 mm in der Breite. Mehr als 10 mm kann nicht "
              "ausgeglichen werden – bitte messen Sie noch einmal nach.");
    EXPECT_TRUE(FitError(20, 120, 120, 20).contains("Kreuz 1 und Kreuz 2 vertauscht"));
    EXPECT_FALSE(FitError(20, 20, 120, NAN).isEmpty());
    EXPECT_FALSE(FitError(20, 20, 20, 21).isEmpty());
    try {
        FitAxis(TAxis::Vertical, 20, 20, 120, 118);
        ADD_FAILURE() << "2 % accepted";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains("2,0 % in der Höhe"));
    }
}
