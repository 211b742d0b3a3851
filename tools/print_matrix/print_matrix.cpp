// Writes what the program prints for a matrix of jobs into a folder, through
// the real window and the real PDF output: areas, all seven fills, front
// and back, with and without a stored calibration, 1 and 100 copies, and
// the test page and the calibration page of each side. Built against two
// versions of the program (scripts/compare-print-output.sh), it shows that
// a change to the print path leaves every page as it was.
#include "app/application_setup.h"
#include "app/main_form.h"
#include "calibration/calibration_page.h"
#include "calibration/test_page.h"
#include "controls/color_combo_box.h"
#include "controls/num_spin_edit.h"
#include "controls/radio_group.h"
#include "platform/application.h"
#include "platform/qt_application.h"
#include "platform/qt_printer.h"
#include "ui_main_form.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <cstdio>

namespace {

// Yes to every question; each file goes where the matrix says.
class TMatrixAnswerer : public mx::TAnswerer {
public:
    QString NextFile;
    int MessageBox(const QString&, const QString&, int) override { return mx::IDYES; }
    std::optional<mx::TColor> ChooseColor(mx::TColor) override { return std::nullopt; }
    bool PrinterSetup(QPrinter&) override { return false; }
    std::optional<QString> SaveFileName(const QString&, const QString&) override { return NextFile; }
};

// A calibration of the PDF output, written as the program stores it.
void StoreCalibration(const QString& folder, bool present) {
    QFile ini(folder + "/marbelux.INI");
    ini.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (present)
        ini.write("[Kalibrierung PDF]\nFrontOffsetX=1.2000\nFrontScaleX=1.003000\nFrontOffsetY=-0.7000\n"
                  "FrontScaleY=0.998000\nBackOffsetX=-2.0000\nBackScaleX=0.996000\nBackOffsetY=0.4000\n"
                  "BackScaleY=1.001000\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s output-folder\n", argv[0]);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    const QString settings = out + "/settings";
    QDir().mkpath(settings);
    qputenv("XDG_CONFIG_HOME", settings.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    mx::TQtApplication app(argc, argv);
    mx::SetUpApplication();
    auto answerer = std::make_unique<TMatrixAnswerer>();
    TMatrixAnswerer* answers = answerer.get();
    mx::Application()->SetAnswerer(std::move(answerer));

    struct TArea {
        double l, r, t, b;
    };
    const TArea areas[] = {{12.49, 87.9, 20.1, 276.98}, {0, 209.9, 0, 296.9}, {100.05, 100.05, 50, 60}};
    int files = 0;
    for (const bool calibrated : {false, true}) {
        StoreCalibration(settings, calibrated);
        mx::SetPrinter(std::make_unique<mx::TQtPrinter>(mx::TQtPrinter::TOutput::Pdf));
        auto form = std::make_unique<mx::TMainForm>();
        form->show();
        QTest::qWaitForWindowExposed(form.get());
        QCoreApplication::processEvents();
        Ui::TMainForm& ui = form->Controls();
        for (size_t a = 0; a < std::size(areas); ++a)
            for (int fill = 0; fill < 7; ++fill)
                for (const bool back : {false, true})
                    for (const int copies : {1, 100}) {
                        if (copies == 100 && a != 0) continue;
                        form->AreaLeftMm = areas[a].l;
                        form->AreaRightMm = areas[a].r;
                        form->AreaTopMm = areas[a].t;
                        form->AreaBottomMm = areas[a].b;
                        ui.fillBox->setItemIndex(fill);
                        ui.TavelColorComboBox2->setColorValue(0x2726A4);
                        ui.TavelColorComboBox1->setColorValue(0x69EFF3);
                        ui.CopiesED->setValue(copies);
                        answers->NextFile = QString("%1/job-%2-a%3-f%4-%5-%6.pdf")
                                                .arg(out, calibrated ? "cal" : "plain")
                                                .arg(a)
                                                .arg(fill)
                                                .arg(back ? "back" : "front")
                                                .arg(copies);
                        if (back)
                            form->BackBtnClick(ui.BackBtn);
                        else
                            form->PrintBtnClick(ui.PrintBtn);
                        ++files;
                    }
        form.reset();
    }
    for (const bool back : {false, true}) {
        answers->NextFile = QString("%1/test-page-%2.pdf").arg(out, back ? "back" : "front");
        const mx::Area area{12.49, 87.9, 20.1, 276.98};
#if __has_include("areas/areas_panel.h")
        mx::PrintTestPage(*mx::Printer(), {area}, back, {});
#else
        mx::PrintTestPage(*mx::Printer(), area, back, {});
#endif
        answers->NextFile = QString("%1/calibration-page-%2.pdf").arg(out, back ? "back" : "front");
        mx::PrintCalibrationPage(*mx::Printer(), back);
        files += 2;
    }
    std::printf("%d files in %s\n", files, qPrintable(out));
    return 0;
}
