// Whole sections of a profile file: their names, their lines, and a
// section replaced in one write with the rest of the file kept.
#include "platform/exception.h"
#include "platform/profile_file.h"
#include "tests/support/settings_file_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mx {
namespace {

using TEntries = QList<std::pair<QString, QString>>;

using ProfileSections = mx::test::SettingsFileTest;

} // namespace

TEST_F(ProfileSections, NamesAndLinesAsReadsGiveThem) {
    Put("; comment\r\n[Eins]\r\na = \"quoted\" \r\nno equals sign\r\nb=2\r\n  [ Zwei ]  \r\nc=3\r\n[eins]\r\nd=4\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.SectionNames(), (QStringList{"Eins", "Zwei"}));
    EXPECT_EQ(ini.ReadSection("EINS"), (TEntries{{"a", "quoted"}, {"b", "2"}})); // the first of that name
    EXPECT_EQ(ini.ReadSection("Zwei"), (TEntries{{"c", "3"}}));
    EXPECT_TRUE(ini.ReadSection("Drei").isEmpty());
    EXPECT_TRUE(TIniFile(dir.filePath("none.INI")).SectionNames().isEmpty());
}

TEST_F(ProfileSections, WriteReplacesTheSectionInItsPlace) {
    const QByteArray before = "[A]\r\nx=1\r\n\r\n", after = "[C]\r\nz=3\r\n";
    Put(before + "[B]\r\nold=1\r\nold=2\r\n\r\n" + after + "[b]\r\nagain=1\r\n");
    TIniFile(path).WriteSection("B", {{"k1", "v1"}, {"k2", "line\nbreak"}});
    // The header spelt as given, blank lines after the section kept, the
    // later section of that name gone.
    EXPECT_EQ(Bytes(), before + "[B]\r\nk1=v1\r\nk2=line break\r\n\r\n" + after);

    TIniFile(path).WriteSection("New", {{"n", "1"}});
    EXPECT_EQ(Bytes(), before + "[B]\r\nk1=v1\r\nk2=line break\r\n\r\n" + after + "\r\n[New]\r\nn=1\r\n");
    TIniFile(path).WriteSection("new", {});
    EXPECT_EQ(Bytes(), before + "[B]\r\nk1=v1\r\nk2=line break\r\n\r\n" + after + "\r\n[new]\r\n");
}

TEST_F(ProfileSections, WriteKeepsALastLineWithoutItsEnd) {
    Put("[A]\nx=1");
    TIniFile(path).WriteSection("A", {{"y", "2"}});
    EXPECT_EQ(Bytes(), "[A]\ny=2");
    TIniFile(path).WriteSection("B", {{"z", "3"}});
    EXPECT_EQ(Bytes(), "[A]\ny=2\n\n[B]\nz=3\n");
    TIniFile(dir.filePath("fresh.INI")).WriteSection("S", {{"k", "v"}});
    EXPECT_EQ(TIniFile(dir.filePath("fresh.INI")).ReadSection("S"), (TEntries{{"k", "v"}}));
}

TEST_F(ProfileSections, HeldBackWritesAndFailures) {
    Put("[A]\nx=1\n");
    TIniFile ini(path);
    ini.BeginUpdate();
    ini.WriteSection("B", {{"y", "2"}});
    EXPECT_EQ(ini.ReadSection("B"), (TEntries{{"y", "2"}}));
    EXPECT_EQ(ini.SectionNames(), (QStringList{"A", "B"}));
    EXPECT_EQ(Bytes(), "[A]\nx=1\n");
    ini.UpdateFile();
    EXPECT_EQ(Bytes(), "[A]\nx=1\n\n[B]\ny=2\n");

    TIniFile::SetReplaceHookForTests([](const QString&) { return false; });
    EXPECT_THROW(TIniFile(path).WriteSection("A", {}), EIniFileError);
    EXPECT_EQ(Bytes(), "[A]\nx=1\n\n[B]\ny=2\n");
}

} // namespace mx
