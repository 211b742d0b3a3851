// The colour box's HTML colour text: any text is either taken, leaving the
// colour as its #RRGGBB digits say, or ignored, leaving the box unchanged.
#include "controls/color_combo_box.h"

#include <QApplication>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {
// Kept until the process ends: destroyed during exit, after Qt's own
// globals, they would crash.
mx::TTavelColorComboBox* box = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    box = new mx::TTavelColorComboBox;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    box->setColorValue(mx::clBlack); // each input starts from the same box
    const QString before = box->HTMLcolor();
    box->setHTMLcolor(text);
    const QString after = box->HTMLcolor();
    if (after == before && box->ColorValue() != mx::clBlack) std::abort();
    // A taken text is stored as given, and its digits are the colour.
    const auto bgr = static_cast<std::uint32_t>(box->ColorValue());
    const std::uint32_t rgb = (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
    if (after != before && after.size() >= 7 && after.mid(1, 6).toUInt(nullptr, 16) != rgb) std::abort();
    return 0;
}
