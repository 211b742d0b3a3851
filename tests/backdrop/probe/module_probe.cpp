// A process that links the backdrop as the program does and checks that
// poppler is mapped only once a PDF document is opened. Exit code 0 when
// so; otherwise the step at which it was wrong.
#include "backdrop/backdrop.h"
#include "tests/backdrop/backdrop_files.h"

#include <QFile>
#include <QGuiApplication>

namespace {

bool PopplerMapped() {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libpoppler");
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (PopplerMapped()) return 1;
    const auto scan = mx::TBackdrop::FromBytes(mx::test::MakeImage({40, 40}, {}, "png", 300), "scan.png");
    if (PopplerMapped()) return 2;
    const auto pdf = mx::TBackdrop::FromBytes(mx::test::MakePdf({mx::test::TTestPage()}), "brief.pdf");
    if (!PopplerMapped()) return 3;
    return 0;
}
