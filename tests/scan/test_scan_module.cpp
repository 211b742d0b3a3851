// The scanning module: loaded with the first use of a scanner, never at
// start, and its absence told in German. Each case in a process of its own
// (where no other test has loaded the module yet).
#include "scan/scanner.h"
#include "tests/scan/sane_test_setup.h"
#include "tests/support/mapped_libraries.h"
#include "tests/support/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace mx;

class ScanModule : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ScanModule, SaneIsLoadedOnlyWithTheFirstSearch) {
    EXPECT_EXIT(
        {
            if (test::IsLibraryMapped("libsane.so") || test::IsLibraryMapped("libmarbelux-sane")) std::exit(1);
            test::UseSaneBackends({});
            std::exit(test::IsLibraryMapped("libsane.so") ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(ScanModule, MissingModuleIsToldInGerman) {
    EXPECT_EXIT(
        {
            qputenv("MARBELUX_MODULE_DIR", "/nonexistent");
            const QString message = test::MessageOfError<EScan>([] { ListScanners(false); });
            std::fputs(message.toUtf8().constData(), stderr);
            std::exit(message.isEmpty() ? 1 : 0);
        },
        testing::ExitedWithCode(0),
        "Marbelux kann nicht scannen: die Scanner-Unterst.*tzung \\(libmarbelux-sane\\.so\\) ist nicht installiert");
}
