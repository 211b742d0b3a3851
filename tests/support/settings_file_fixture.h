#pragma once
// A settings file of its own for a test: written and read back byte for
// byte, the replace hook reset after every test.
#include "platform/profile_file.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mx::test {

class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { TIniFile::SetReplaceHookForTests({}); }
    void Put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // "<missing>" when there is no file.
    QByteArray Bytes() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QString path = dir.filePath("marbelux.INI");
};

} // namespace mx::test
