#include "tests/scan/sane_test_setup.h"

#include "scan/scanner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mx::test {

namespace {

// The test backend's settings at its start; the tests change them per scan.
// It offers a descriptor to wait on for data; the pnm backend offers none, so
// both ways of reading a device are used.
constexpr const char* TestBackendConfig = R"(number_of_devices 2
mode Gray
depth 8
hand-scanner false
three-pass false
three-pass-order RGB
resolution_min 1.0
resolution_max 1200.0
resolution_quant 1.0
resolution 75.0
test-picture "Grid"
invert-endianess false
read-limit false
read-limit-size 1
read-delay false
read-delay-duration 1000
read-status-code "Default"
fuzzy-parameters false
ppl-loss 0
non-blocking false
select-fd true
enable-test-options false
geometry_min 0.0
geometry_max 200.0
geometry_quant 1.0
tl_x 0.0
tl_y 0.0
br_x 80.0
br_y 100.0
)";

QDir ConfigFolder() {
    static QTemporaryDir folder;
    static const bool set = [] {
        // Without a trailing colon SANE looks in no other folder.
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(folder.path()));
        return folder.isValid();
    }();
    EXPECT_TRUE(set);
    return QDir(folder.path());
}

void Write(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(text), text.size());
}

} // namespace

void WriteSaneConfig(const QStringList& backends, const TTestBackendSettings& settings) {
    const QDir folder = ConfigFolder();
    Write(folder.filePath("dll.conf"), (backends.join('\n') + '\n').toUtf8());
    QByteArrayList lines = QByteArray(TestBackendConfig).split('\n');
    for (const auto& [name, value] : settings) {
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const QByteArray& l) { return l.startsWith(name.toUtf8() + ' '); });
        ASSERT_NE(line, lines.end()) << "the test backend has no setting " << name.toStdString();
        *line = (name + ' ' + value).toUtf8();
    }
    Write(folder.filePath("test.conf"), lines.join('\n'));
}

QList<TScannerInfo> UseSaneBackends(const QStringList& backends, const TTestBackendSettings& settings) {
    WriteSaneConfig(backends, settings);
    return ListScanners(true);
}

TScanRequest TestScan(int dpi, TScanColour colour, QSizeF areaMm, const QList<QPair<QString, QString>>& testOptions) {
    TScanRequest request;
    request.Device = "test:0";
    request.Dpi = dpi;
    request.Colour = colour;
    request.AreaMm = areaMm;
    request.DeviceOptions = testOptions;
    return request;
}

} // namespace mx::test
