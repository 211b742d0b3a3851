#pragma once
// SANE for the tests: a configuration folder of the test program's own,
// whose dll.conf names only SANE's own test and pnm backends, so that no
// scanner of the machine's is ever asked. SANE reads the folder's name once
// per process; each test writes the files it needs and starts SANE anew.
#include "scan/scanner_module.h"

#include <QStringList>

namespace mx::test {

// Settings of the test backend's configuration file by name, for scans
// whose request cannot name them (a scan the window starts).
using TTestBackendSettings = QList<QPair<QString, QString>>;

// Writes dll.conf naming backends and a test.conf of fixed values, some
// of them replaced by settings.
void WriteSaneConfig(const QStringList& backends, const TTestBackendSettings& settings = {});
// The same, then starts SANE anew and gives the scanners it finds.
QList<TScannerInfo> UseSaneBackends(const QStringList& backends, const TTestBackendSettings& settings = {});

// A request for test:0 over an area, with the test backend's own settings.
TScanRequest TestScan(int dpi, TScanColour colour, QSizeF areaMm,
                      const QList<QPair<QString, QString>>& testOptions = {});

} // namespace mx::test
