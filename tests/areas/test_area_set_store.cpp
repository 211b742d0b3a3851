// Saved sets in the settings file: round trip, the rest of the file kept
// byte for byte, names that would break the file, damaged entries.
#include "areas/area_error.h"
#include "areas/area_list.h"
#include "areas/area_set_store.h"
#include "platform/exception.h"
#include "platform/profile_file.h"
#include "tests/support/settings_file_fixture.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

const QByteArray WindowSection = "[TMainForm]\r\nFormVersion=0\r\nfillBox_ItemIndex=3\r\n\r\n";
const QByteArray CalibrationSection = "[Kalibrierung PDF]\r\nFrontOffsetX=1.0000\r\n";

std::vector<std::vector<double>> EdgesOf(const QList<Area>& areas) {
    std::vector<std::vector<double>> all;
    for (const Area& a : areas) all.push_back({a.Left, a.Right, a.Top, a.Bottom});
    return all;
}

class AreaSetStore : public SettingsFileTest {
protected:
    TAreaSetStore store{path};
};

} // namespace

TEST_F(AreaSetStore, SetsComeBackAsSavedAndTheRestOfTheFileStays) {
    Put(WindowSection + CalibrationSection);
    const TAreaSet statement{
        "Kontoauszug", {Area{20, 95.5, 40, 46}, Area{0.125, 1e-3, 296.9999, 297}}, QSizeF(210, 297)};
    store.Save(statement);
    store.Save({"Brief", {Area{1, 2, 3, 4}}, std::nullopt});
    EXPECT_EQ(Bytes(), WindowSection + CalibrationSection +
                           "\r\n[Vorlage Kontoauszug]\r\nSeite=210;297\r\nBereich1=20;95.5;40;46\r\n"
                           "Bereich2=0.125;0.001;296.9999;297\r\n\r\n[Vorlage Brief]\r\nBereich1=1;2;3;4\r\n");
    EXPECT_EQ(store.Names(), (QStringList{"Brief", "Kontoauszug"}));

    const std::optional<TAreaSet> loaded = store.Load("kontoauszug"); // names ignore case, as sections do
    ASSERT_TRUE(loaded);
    EXPECT_EQ(EdgesOf(loaded->Areas), EdgesOf(statement.Areas));
    EXPECT_EQ(loaded->PageMm, QSizeF(210, 297));
    EXPECT_FALSE(store.Load("Brief")->PageMm);
    EXPECT_FALSE(store.Load("Rechnung"));

    // Saving again replaces the set in its place; removing takes it away.
    store.Save({"KONTOAUSZUG", {Area{5, 6, 7, 8}}, std::nullopt});
    EXPECT_EQ(Bytes(),
              WindowSection + CalibrationSection +
                  "\r\n[Vorlage KONTOAUSZUG]\r\nBereich1=5;6;7;8\r\n\r\n[Vorlage Brief]\r\nBereich1=1;2;3;4\r\n");
    store.Remove("Brief");
    store.Remove("Gibt es nicht");
    EXPECT_EQ(Bytes(), WindowSection + CalibrationSection + "\r\n[Vorlage KONTOAUSZUG]\r\nBereich1=5;6;7;8\r\n\r\n");
    EXPECT_EQ(store.Names(), QStringList{"KONTOAUSZUG"});
    EXPECT_TRUE(store.Exists("Kontoauszug"));
    EXPECT_FALSE(store.Exists("Brief"));
    EXPECT_TRUE(Answers().Errors().isEmpty());
}

TEST_F(AreaSetStore, NumbersAreWrittenWithADotWhateverTheLocale) {
    store.Save({"Dezimal", {Area{12.75, 100.5, 0.5, 1.25}}, QSizeF(215.9, 279.4)});
    EXPECT_TRUE(Bytes().contains("Seite=215.9;279.4\nBereich1=12.75;100.5;0.5;1.25\n")) << Bytes().toStdString();
}

TEST_F(AreaSetStore, NamesThatWouldBreakTheFileAreRefused) {
    Put(WindowSection);
    const QString tooLong(MaxAreaSetNameLength + 1, u'x');
    const std::pair<QString, QString> refused[] = {
        {"", "Bitte geben Sie einen Namen für die Vorlage ein"},
        {"   ", "Bitte geben Sie einen Namen für die Vorlage ein"},
        {" Brief", "Der Name der Vorlage darf nicht mit Leerraum beginnen oder enden"},
        {"Brief\t", "Der Name der Vorlage darf nicht mit Leerraum beginnen oder enden"},
        {tooLong, "Der Name der Vorlage ist zu lang: höchstens 100 Zeichen sind möglich"},
        {QString(10240, u'x'), "Der Name der Vorlage ist zu lang: höchstens 100 Zeichen sind möglich"},
    };
    for (const auto& [name, message] : refused) {
        EXPECT_EQ(TAreaSetStore::NameProblem(name), message);
        EXPECT_EQ(MessageOfError<EAreas>([&] { store.Save({name, {}, std::nullopt}); }), message);
    }
    const QString breaking[] = {"a]b",
                                "[TMainForm",
                                "a=b",
                                "Zeile\nzwei",
                                "Zeile\rzwei",
                                "Glocke\a",
                                QStringLiteral("Null\u0000x"),
                                QStringLiteral("Richtung\u202Ex"),
                                QStringLiteral("Absatz\u2029x"),
                                QString(QChar(0xD800)) + "x"};
    for (const QString& name : breaking) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(MessageOfError<EAreas>([&] {
                      store.Save({name, {}, std::nullopt});
                  }),
                  "Der Name der Vorlage darf weder [ ] = noch Zeilenumbrüche oder Steuerzeichen enthalten");
        EXPECT_FALSE(store.Load(name));
    }
    EXPECT_EQ(Bytes(), WindowSection);
    // What may be in a name.
    const QString fine[] = {QString(MaxAreaSetNameLength, u'x'), "Rechnung (Müller & Söhne) 2024 – „Kopie“",
                            "Konto: 1/2; Seite 3"};
    for (const QString& name : fine) store.Save({name, {Area{1, 2, 3, 4}}, std::nullopt});
    EXPECT_EQ(store.Names().size(), 3);
    for (const QString& name : fine) EXPECT_EQ(store.Load(name)->Areas.size(), 1);
    EXPECT_TRUE(Bytes().startsWith(WindowSection));
}

TEST_F(AreaSetStore, DamagedEntriesAreLeftOutAndReportedOnce) {
    Put(WindowSection + "[Vorlage Brief]\n"
                        "Seite=210;abc\n"
                        "Bereich1=1;2;3;4\n"
                        "Bereich2=1,5;2;3;4\n"    // a comma
                        "Bereich3=nan;2;3;4\n"    // not a number
                        "Bereich4=1;2;3\n"        // a part missing
                        "Bereich5=1;2;3;4;5\n"    // one too many
                        "Bereich6=inf;2;3;4\n"    // infinite
                        "Bereich7=\n"             // empty
                        "Bereich0=1;2;3;4\n"      // no such number
                        "Bereich-1=1;2;3;4\n"     // nor this
                        "Bereichx=1;2;3;4\n"      // nor this
                        "Bereich1=9;9;9;9\n"      // a second first
                        "Bereich10= 5 ; 6 ;7;8\n" // blanks are fine
                        "Farbe=rot\n");           // not ours: left alone
    const std::optional<TAreaSet> loaded = store.Load("Brief");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(EdgesOf(loaded->Areas), (std::vector<std::vector<double>>{{1, 2, 3, 4}, {5, 6, 7, 8}}));
    EXPECT_FALSE(loaded->PageMm);
    store.Load("Brief");
    store.Load("BRIEF");
    ASSERT_EQ(Answers().Errors().size(), 1);
    EXPECT_EQ(Answers().Errors()[0], "In der Vorlage „Brief“ sind Einträge beschädigt (Seitengröße, Bereich 2, "
                                     "Bereich 3, Bereich 4, Bereich 5 und 6 weitere); sie werden nicht verwendet.");

    // Saved anew, the set is sound; damaged again, it is told again.
    store.Save({"Brief", {Area{1, 2, 3, 4}}, std::nullopt});
    EXPECT_EQ(store.Load("Brief")->Areas.size(), 1);
    TIniFile(path).WriteString("Vorlage Brief", "Bereich2", "x");
    store.Load("Brief");
    EXPECT_EQ(Answers().Errors().size(), 2);
    EXPECT_EQ(Answers().Errors()[1], "In der Vorlage „Brief“ sind Einträge beschädigt (Bereich 2); sie werden nicht "
                                     "verwendet.");
    EXPECT_TRUE(Bytes().startsWith(WindowSection));
}

TEST_F(AreaSetStore, SectionsWithUnusableNamesAreNotListed) {
    Put("[Vorlage  Zwei Blanks]\nBereich1=1;2;3;4\n[Vorlage]\n[Vorlage Gut]\nBereich1=1;2;3;4\n[Vorlagen]\n");
    EXPECT_EQ(store.Names(), QStringList{"Gut"});
}

TEST_F(AreaSetStore, AThousandAreasAreRefused) {
    QList<Area> areas(MaxAreas, Area{1, 2, 3, 4});
    store.Save({"Voll", areas, std::nullopt});
    EXPECT_EQ(store.Load("Voll")->Areas.size(), MaxAreas);
    areas.append(Area{1, 2, 3, 4});
    const QByteArray before = Bytes();
    EXPECT_EQ(MessageOfError<EAreas>([&] {
                  store.Save({"Voll", areas, std::nullopt});
              }),
              "Die Vorlage „Voll“ hat 1000 Bereiche; höchstens 999 sind möglich");
    EXPECT_EQ(Bytes(), before);

    // Written by hand: refused when loaded, before anything is drawn.
    TIniFile(path).WriteString("Vorlage Voll", "Bereich1000", "5;6;7;8");
    EXPECT_EQ(MessageOfError<EAreas>([&] { store.Load("Voll"); }),
              "Die Vorlage „Voll“ hat 1000 Bereiche; höchstens 999 sind möglich");
}

TEST_F(AreaSetStore, PageOfAnotherSizeIsToldToTheCaller) {
    const TAreaSet a4{"A4", {}, QSizeF(210, 297)};
    EXPECT_FALSE(MadeForOtherPage(a4, QSizeF(210.4, 296.5)));
    EXPECT_TRUE(MadeForOtherPage(a4, QSizeF(215.9, 279.4)));
    EXPECT_TRUE(MadeForOtherPage(a4, QSizeF(297, 210))); // turned
    EXPECT_FALSE(MadeForOtherPage({"Ohne", {}, std::nullopt}, QSizeF(100, 100)));
}

TEST_F(AreaSetStore, UnwritableFileRaisesAndKeepsWhatWasThere) {
    store.Save({"Brief", {Area{1, 2, 3, 4}}, std::nullopt});
    const QByteArray before = Bytes();
    TIniFile::SetReplaceHookForTests([](const QString&) { return false; });
    EXPECT_THROW(store.Save({"Brief", {}, std::nullopt}), EIniFileError);
    EXPECT_THROW(store.Remove("Brief"), EIniFileError);
    TIniFile::SetReplaceHookForTests({});
    EXPECT_EQ(Bytes(), before);
}
