// Test entry point: a real Qt application on the offscreen platform with
// the German locale, and a fresh scripted answerer before every test.
#include "app/application_setup.h"
#include "platform/application.h"
#include "platform/qt_application.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    // A home of the test's own: nothing of the developer's per-user settings
    // (a default queue in ~/.cups/lpoptions, ~/.config, the documents
    // folder) reaches the tests. Set before any library reads it.
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DOCUMENTS_DIR", "CUPS_SERVER",
                             "PRINTER", "LPDEST"})
        qunsetenv(name);
    const QString runtime = home.path() + "/runtime";
    if (!QDir().mkpath(runtime) ||
        !QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return 2;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    // The resources live in a static library: pull them in.
    Q_INIT_RESOURCE(resources);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    mx::TQtApplication app(argc, argv);
    mx::SetUpApplication();
    mx::SetApplicationIcon();
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshAnswerer);
    return RUN_ALL_TESTS();
}
