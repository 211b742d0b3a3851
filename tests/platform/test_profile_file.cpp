#include "platform/exception.h"
#include "platform/profile_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/support/settings_file_fixture.h"

namespace mx {
namespace {

class ProfileFile : public test::SettingsFileTest {
protected:
    QStringList folderEntries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST(ProfileInt, DecimalHexadecimalAndRejects) {
    EXPECT_EQ(ParseProfileInt(u"42"), 42);
    EXPECT_EQ(ParseProfileInt(u"  -17 "), -17);
    EXPECT_EQ(ParseProfileInt(u"+5"), 5);
    EXPECT_EQ(ParseProfileInt(u"0x1F"), 31);
    EXPECT_EQ(ParseProfileInt(u"0X1f"), 31);
    EXPECT_EQ(ParseProfileInt(u"$ff"), 255);
    EXPECT_EQ(ParseProfileInt(u"-$10"), -16);
    EXPECT_EQ(ParseProfileInt(u"$FFFFFFFF"), -1);
    EXPECT_EQ(ParseProfileInt(u"0x80000005"), int(0x80000005u));
    EXPECT_EQ(ParseProfileInt(u"2147483647"), 2147483647);
    EXPECT_EQ(ParseProfileInt(u"-2147483648"), int(-2147483647 - 1));

    for (const char16_t* bad : {u"", u" ", u"abc", u"12a", u"1 2", u"0x", u"$", u"-", u"2147483648", u"-2147483649",
                                u"$100000000", u"1.5", u"\uff11"})
        EXPECT_FALSE(ParseProfileInt(bad).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST_F(ProfileFile, ReadsWithTheProfileRules) {
    Put("[Other]\nKey=other\n"
        "[tmainform]\n"
        "  Flags  =  8  \n"
        "Quoted=\"\"x\"\"\n"
        "Single='y'\n"
        "Unbalanced=\"z'\n"
        "Lone=\"\n"
        "Empty=\n"
        "flags=second\n"
        "[TMainForm]\n"
        "Later=hidden\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("TMAINFORM", "FLAGS", "d"), "8");
    EXPECT_EQ(ini.ReadInteger("TMainForm", "Flags", 0), 8);
    EXPECT_EQ(ini.ReadString("TMainForm", "Quoted", "d"), "\"x\""); // one pair only
    EXPECT_EQ(ini.ReadString("TMainForm", "Single", "d"), "y");
    EXPECT_EQ(ini.ReadString("TMainForm", "Unbalanced", "d"), "\"z'");
    EXPECT_EQ(ini.ReadString("TMainForm", "Lone", "d"), "\"");
    EXPECT_EQ(ini.ReadString("TMainForm", "Empty", "d"), "");
    // Only the first section of a name and the first key in it count.
    EXPECT_EQ(ini.ReadString("TMainForm", "Later", "d"), "d");
    EXPECT_EQ(ini.ReadString("TMainForm", "Missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("Nowhere", "Key", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("TMainForm", "Quoted", -3), -3);
    EXPECT_TRUE(ini.SectionExists("other"));
    EXPECT_FALSE(ini.SectionExists("Nowhere"));
    EXPECT_EQ(TIniFile(dir.filePath("none.INI")).ReadString("TMainForm", "Flags", "d"), "d");
}

TEST_F(ProfileFile, LongValuesAreCut) {
    Put("[S]\nK=" + QByteArray(3000, 'a') + "\nQ=\"" + QByteArray(2047, 'b') + "\"\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "K", {}), QString(2047, u'a'));
    EXPECT_EQ(ini.ReadString("S", "Q", {}), QString(2047, u'b'));
}

TEST_F(ProfileFile, LineEndsByteOrderMarkAndKeysOutsideSections) {
    Put("\xEF\xBB\xBFOrphan=1\r\n[S]\r\nA=1\r\nB = 2\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "A", {}), "1");
    EXPECT_EQ(ini.ReadString("S", "B", {}), "2");
    ini.WriteString("S", "B", "3");
    ini.WriteString("S", "C", "4");
    ini.WriteString("T", "D", "5");
    EXPECT_EQ(Bytes(), QByteArray("\xEF\xBB\xBFOrphan=1\r\n[S]\r\nA=1\r\nB = 3\r\nC=4\r\n\r\n[T]\r\nD=5\r\n"));
}

TEST_F(ProfileFile, NamesAndValuesStartingWithU_FEFFReadBack) {
    // Only the file's first three bytes are a byte order mark.
    const QString zwnbsp(QChar(0xFEFF));
    TIniFile ini(path);
    ini.WriteString(zwnbsp + "S", zwnbsp + "K", zwnbsp + "v");
    ini.WriteString(zwnbsp + "S", zwnbsp + "K", zwnbsp + "w");
    EXPECT_EQ(ini.ReadString(zwnbsp + "S", zwnbsp + "K", {}), zwnbsp + "w");
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_EQ(Bytes(), QByteArray("[\xEF\xBB\xBFS]\n\xEF\xBB\xBFK=\xEF\xBB\xBFw\n"));
}

TEST_F(ProfileFile, WritesChangeOnlyTheirLine) {
    const QByteArray before = "; comment kept\n[A]\nx=1\n\n\n[B]\ny=2\nno equals sign\n[A]\nx=dup\n";
    Put(before);
    TIniFile ini(path);
    ini.WriteString("a", "X", "7");
    ini.WriteString("A", "z", "8"); // new key: after the section's last line, before the blanks
    EXPECT_EQ(Bytes(), QByteArray("; comment kept\n[A]\nx=7\nz=8\n\n\n[B]\ny=2\nno equals sign\n[A]\nx=dup\n"));
}

TEST_F(ProfileFile, EraseSectionTakesEveryCopyAndKeepsTheRest) {
    Put("; head\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n[a]\r\nx=dup\r\n[C]\r\nz=3");
    int replacements = 0;
    TIniFile::SetReplaceHookForTests([&](const QString&) { return ++replacements > 0; });
    TIniFile ini(path);
    ini.EraseSection("A");
    EXPECT_EQ(Bytes(), QByteArray("; head\r\n[B]\r\ny=2\r\n[C]\r\nz=3"));
    ini.EraseSection("missing"); // nothing to do: the file is not rewritten
    EXPECT_EQ(replacements, 1);
    ini.BeginUpdate();
    ini.EraseSection("C");
    ini.WriteString("C", "n", "4"); // erase and rewrite in one replacement
    ini.UpdateFile();
    EXPECT_EQ(replacements, 2);
    EXPECT_EQ(Bytes(), QByteArray("; head\r\n[B]\r\ny=2\r\n\r\n[C]\r\nn=4\r\n"));
}

TEST_F(ProfileFile, NewFileAndLastLineWithoutEnd) {
    TIniFile fresh(dir.filePath("sub/folder/new.INI"));
    fresh.WriteString("TMainForm", "FormVersion", "0");
    fresh.WriteInteger("TMainForm", "Colour", -2147483643);
    QFile f(fresh.FileName());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[TMainForm]\nFormVersion=0\nColour=-2147483643\n"));

    Put("[S]\nA=1");
    TIniFile(path).WriteString("S", "B", "line\nbreak\r");
    EXPECT_EQ(Bytes(), QByteArray("[S]\nA=1\nB=line break \n"));
}

TEST_F(ProfileFile, HostileContentNeverBreaksReadsOrWrites) {
    QByteArray garbage;
    QRandomGenerator rng(7);
    for (int i = 0; i < 200000; ++i) garbage.append(char(rng.bounded(256)));
    garbage.append(QByteArray("\0\0[S]\0\n", 7));
    garbage.append(QByteArray("\n[S]\nK=\xc3\x28\x00zz\n", 13));
    garbage.append("Big=" + QByteArray(10 * 1024 * 1024, 'x') + "\n");
    Put(garbage);

    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("S", "K", 5), 5);
    EXPECT_EQ(ini.ReadString("S", "Big", "d").size(), MaxProfileValueLength);
    ini.WriteString("Mine", "Key", "v");
    EXPECT_EQ(ini.ReadString("Mine", "Key", "d"), "v");
    const QByteArray after = Bytes();
    EXPECT_TRUE(after.startsWith(garbage));
    EXPECT_TRUE(after.endsWith("[Mine]\nKey=v\n"));
}

TEST_F(ProfileFile, FailureBeforeReplacingLeavesTheOldFile) {
    const QByteArray before = "[S]\nA=old\nOther=kept\n";
    Put(before);
    QByteArray seen;
    TIniFile::SetReplaceHookForTests([&](const QString& temp) {
        QFile f(temp);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        seen = f.readAll();
        return false;
    });
    TIniFile ini(path);
    try {
        ini.WriteString("S", "A", "new");
        ADD_FAILURE() << "no error raised";
    } catch (const EIniFileError& e) {
        EXPECT_EQ(e.Message(), "nach " + path + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(seen, QByteArray("[S]\nA=new\nOther=kept\n")); // complete before replacing
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(folderEntries(), QStringList{"marbelux.INI"}); // no temporary file left

    TIniFile::SetReplaceHookForTests({});
    ini.WriteString("S", "A", "new");
    EXPECT_EQ(Bytes(), seen);
}

// A write killed between writing and renaming leaves a hidden temporary
// file; the next write removes such leftovers once they have settled.
TEST_F(ProfileFile, AWriteRemovesLeftoversOfKilledWrites) {
    Put("[S]\nA=1\n");
    const auto make = [&](const QString& name, int ageSeconds) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1 << 20, 'x'));
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    };
    make(".marbelux.INI.Ab12Cd", 3600);
    make(".marbelux.INI.zzzzzz", 120);
    make(".marbelux.INI.fresh1", 0);       // perhaps another writer's, in the making
    make(".marbelux.INI.long-name", 3600); // not a temporary file of ours
    make(".andere.INI.Ab12Cd", 3600);      // another file's
    TIniFile(path).WriteString("S", "A", "2");
    EXPECT_EQ(folderEntries(),
              (QStringList{".andere.INI.Ab12Cd", ".marbelux.INI.fresh1", ".marbelux.INI.long-name", "marbelux.INI"}));
    EXPECT_EQ(Bytes(), "[S]\nA=2\n");
}

TEST_F(ProfileFile, UpdateWritesOnceWithAllChanges) {
    Put("[S]\nA=1\n");
    int replacements = 0;
    TIniFile::SetReplaceHookForTests([&](const QString&) { return ++replacements > 0; });
    {
        TIniFile ini(path);
        ini.BeginUpdate();
        ini.WriteString("S", "A", "2");
        ini.WriteString("T", "B", "3");
        EXPECT_EQ(ini.ReadString("S", "A", "d"), "2"); // reads see held-back writes
        EXPECT_EQ(Bytes(), QByteArray("[S]\nA=1\n"));
        ini.UpdateFile();
        EXPECT_EQ(replacements, 1);
        EXPECT_EQ(Bytes(), QByteArray("[S]\nA=2\n\n[T]\nB=3\n"));
    }
    {
        TIniFile dropped(path); // released before UpdateFile: nothing written
        dropped.BeginUpdate();
        dropped.WriteString("S", "A", "9");
    }
    EXPECT_EQ(replacements, 1);
    EXPECT_EQ(TIniFile(path).ReadString("S", "A", "d"), "2");
}

TEST_F(ProfileFile, UnwritablePlacesRaiseAndKeepEverything) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("marbelux.INI")); // the file's name is taken by a folder
    EXPECT_THROW(TIniFile(path).WriteString("S", "A", "1"), EIniFileError);
    EXPECT_EQ(TIniFile(path).ReadString("S", "A", "d"), "d");

    QFile blocker(dir.filePath("plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(TIniFile(dir.filePath("plain/x.INI")).WriteString("S", "A", "1"), EIniFileError);
    EXPECT_EQ(folderEntries(), (QStringList{"marbelux.INI", "plain"}));
}

TEST_F(ProfileFile, KeepsPermissionsAndWritesThroughLinks) {
    Put("[S]\nA=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString link = dir.filePath("link.INI");
    ASSERT_TRUE(QFile::link(path, link));
    TIniFile(link).WriteString("S", "A", "2");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Bytes(), QByteArray("[S]\nA=2\n"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(ProfileFolder, FollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/some/where/");
    EXPECT_EQ(ConfigFolder(), "/some/where");
    EXPECT_EQ(TIniFile("marbelux.INI").FileName(), "/some/where/marbelux.INI");
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(ConfigFolder(), QDir::homePath() + "/.config");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ConfigFolder(), QDir::homePath() + "/.config");
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

} // namespace
} // namespace mx
