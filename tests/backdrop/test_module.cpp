// The PDF module: loaded with the first PDF document, never before.
#include <QProcess>
#include <gtest/gtest.h>

TEST(BackdropModule, PopplerIsLoadedOnlyWithTheFirstPdfDocument) {
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedChannels);
    probe.start(MARBELUX_MODULE_PROBE, {});
    ASSERT_TRUE(probe.waitForFinished(60000));
    ASSERT_EQ(probe.exitStatus(), QProcess::NormalExit);
    switch (probe.exitCode()) {
    case 0: break;
    case 1: FAIL() << "poppler is mapped at start"; break;
    case 2: FAIL() << "opening an image loaded poppler"; break;
    case 3: FAIL() << "opening a PDF document did not load the module"; break;
    default: FAIL() << "probe exit code " << probe.exitCode();
    }
}
