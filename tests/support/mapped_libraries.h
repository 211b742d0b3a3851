#pragma once
// Whether the test process has a library mapped: the optional modules and
// what they link must be loaded on first use, never at start.
class QString;

namespace mx::test {

// True when a mapped file's name starts with prefix ("libsane.so").
bool IsLibraryMapped(const QString& prefix);

} // namespace mx::test
