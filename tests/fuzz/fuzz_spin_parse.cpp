// The numeric field's text handling for every value type: parsing never
// fails hard, and for the integer types the text written for a parsed value
// reads back as that value.
#include "controls/number_text.h"

#include <QChar>
#include <QLocale>
#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what, const QString& text, const QString& written) {
    std::fprintf(stderr, "%s: text \"%s\" written \"%s\"\n", what, qPrintable(text), qPrintable(written));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The field's users type in German: "," is the decimal separator.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto type = static_cast<mx::TValueType>(in.ConsumeIntegralInRange(0, 2));
    const int decimals = in.ConsumeIntegralInRange(0, 20);
    const double minValue = in.ConsumeFloatingPoint<double>();
    const QChar typed(in.ConsumeIntegral<char16_t>());
    const bool editorEnabled = in.ConsumeBool();
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    mx::AcceptsChar(typed, text, type, editorEnabled);

    const double value = mx::ParseNumber(text, type, minValue);
    const QString written = mx::FormatNumber(value, type, decimals);
    if (written.isEmpty()) Fail("nothing written", text, written);
    if (type == mx::vtFloat) {
        // Text the field writes itself must always parse.
        if (std::isfinite(value) && mx::ParseNumber(written, type, NAN) != mx::ParseNumber(written, type, 0))
            Fail("written text does not parse", text, written);
        return 0;
    }
    const double parsed = mx::ParseNumber(text, type, NAN);
    if (!std::isnan(parsed) && mx::ParseNumber(written, type, NAN) != parsed)
        Fail("written text reads back differently", text, written);
    return 0;
}
