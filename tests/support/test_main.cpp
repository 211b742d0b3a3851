// Test entry point: a real Qt application on the offscreen platform with
// the German locale, and a fresh scripted answerer before every test.
#include "platform/application.h"
#include "platform/qt_application.h"
#include "tests/support/test_support.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace mx::test {
void InstallFreshAnswerer();
}

namespace {

class FreshAnswerer : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        mx::test::InstallFreshAnswerer();
        mx::Application()->BeepCount = 0;
        mx::Application()->ShellHook = [](const QString&) { return true; };
    }
};

} // namespace

int main(int argc, char** argv) {
    // The resources live in a static library: pull them in.
    Q_INIT_RESOURCE(resources);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    mx::TQtApplication app(argc, argv);
    mx::Application()->Title = "Marbelux 1.0";
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshAnswerer);
    return RUN_ALL_TESTS();
}
