// Reading a scanned letter: the words of four or more characters found
// with boxes within 1 mm of the words' ink, the IBAN and the e-mail address
// read; a blank page, one upside down and noise give "Kein Text gefunden".
#include "ocr/text_recognition.h"
#include "platform/background_job.h"
#include "tests/ocr/letter_scan.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>

using namespace mx;
using mx::test::MessageOfError;

namespace {

TTextWords Read(const QImage& page, double dpi) {
    TJobControl control;
    return RecogniseText(page, dpi, control);
}

QString NoText(const QImage& page) {
    return MessageOfError<EOcr>([&] { Read(page, 300); });
}

QImage BlankPage() {
    QImage page(2480, 3508, QImage::Format_Grayscale8);
    page.fill(236);
    return page;
}

} // namespace

TEST(TextRecognition, LetterScannedAt300DpiIsReadWithItsBoxes) {
    const test::TLetterScan scan = test::ScanOfLetter(300);
    ASSERT_TRUE(scan.Error.isEmpty()) << scan.Error.toStdString();
    const TTextWords words = Read(scan.Image, scan.Dpi);
    const test::TAccuracy accuracy = test::MeasureAccuracy(words, scan);
    std::cout << "300 dpi: " << accuracy.Found << " of " << accuracy.Words << " words ("
              << QString::number(accuracy.Percent(), 'f', 1).toStdString() << " %) within 1 mm of the PDF's box, "
              << accuracy.FoundAtInk << " within 1 mm of their ink (worst edge "
              << QString::number(accuracy.WorstInkEdgeMm, 'f', 2).toStdString() << " mm)\n";
    EXPECT_GE(accuracy.Percent(), 95.0) << "missed: " << accuracy.Missed.join(", ").toStdString();
    EXPECT_GE(accuracy.PercentAtInk(), 95.0);
    EXPECT_TRUE(test::LineContains(words, test::LetterIban));
    EXPECT_TRUE(
        std::any_of(words.begin(), words.end(), [](const TTextWord& w) { return w.Text == test::LetterEmail; }));
}

// Lines are numbered from the top, words of a line from the left.
TEST(TextRecognition, WordsComeInReadingOrder) {
    const test::TLetterScan scan = test::ScanOfLetter(300, 0);
    ASSERT_TRUE(scan.Error.isEmpty()) << scan.Error.toStdString();
    const TTextWords words = Read(scan.Image, scan.Dpi);
    ASSERT_FALSE(words.isEmpty());
    EXPECT_EQ(words.front().Line, 0);
    for (qsizetype i = 1; i < words.size(); ++i) {
        const TTextWord &before = words[i - 1], &w = words[i];
        ASSERT_TRUE(w.Line == before.Line || w.Line == before.Line + 1) << w.Text.toStdString();
        if (w.Line == before.Line) {
            EXPECT_GT(w.Box.left(), before.Box.right()) << w.Text.toStdString();
        }
    }
    const auto lineOf = [&](const QString& text) {
        const auto it = std::find_if(words.begin(), words.end(), [&](const TTextWord& w) { return w.Text == text; });
        return it == words.end() ? -1 : it->Line;
    };
    EXPECT_LT(lineOf("Herrn"), lineOf("Kastanienallee"));
    EXPECT_LT(lineOf("Kastanienallee"), lineOf("Erstattung"));
    EXPECT_LT(lineOf("vielen"), lineOf("Unterlagen"));
    EXPECT_EQ(lineOf("Sehr"), lineOf("geehrter"));
}

TEST(TextRecognition, PageWithoutReadableTextGivesNoWords) {
    EXPECT_EQ(NoText(BlankPage()), "Kein Text gefunden");

    const test::TLetterScan scan = test::ScanOfLetter(300);
    ASSERT_TRUE(scan.Error.isEmpty()) << scan.Error.toStdString();
    EXPECT_EQ(NoText(scan.Image.mirrored(true, true)), "Kein Text gefunden") << "upside down";

    QImage noise(1240, 1754, QImage::Format_Grayscale8);
    QRandomGenerator random(22);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) noise.scanLine(y)[x] = uchar(random.bounded(256));
    EXPECT_EQ(NoText(noise), "Kein Text gefunden") << "noise";

    EXPECT_EQ(NoText(QImage()), "Kein Text gefunden");
}

// A page of another resolution is read at 300 dpi; the boxes come back in
// the page's own pixels.
TEST(TextRecognition, BoxesAreInThePagesPixelsAtAnyResolution) {
    const test::TLetterScan scan = test::ScanOfLetter(300, 0);
    ASSERT_TRUE(scan.Error.isEmpty()) << scan.Error.toStdString();
    const QImage doubled = scan.Image.scaled(scan.Image.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const TTextWords words = Read(doubled, 600);
    const auto it =
        std::find_if(words.begin(), words.end(), [](const TTextWord& w) { return w.Text == "Kastanienallee"; });
    ASSERT_NE(it, words.end());
    const auto truth = std::find_if(scan.Words.begin(), scan.Words.end(),
                                    [](const test::TTrueWord& w) { return w.Text == "Kastanienallee"; });
    ASSERT_NE(truth, scan.Words.end());
    const QRectF expected(truth->InkBox.topLeft() * 2, truth->InkBox.size() * 2);
    const double millimetre = 600 / 25.4;
    EXPECT_NEAR(it->Box.left(), expected.left(), millimetre);
    EXPECT_NEAR(it->Box.top(), expected.top(), millimetre);
    EXPECT_NEAR(it->Box.right(), expected.right(), millimetre);
    EXPECT_NEAR(it->Box.bottom(), expected.bottom(), millimetre);
}

TEST(TextRecognition, LanguageDataIsFoundThroughTessdataPrefix) {
    const QString system = TessdataFolder();
    ASSERT_FALSE(system.isEmpty()) << "tesseract-ocr-deu and tesseract-ocr-eng are installed";
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("tessdata"));
    for (const char* language : {"deu", "eng"}) {
        const QString file = QString("%1.traineddata").arg(language);
        ASSERT_TRUE(QFile::link(QDir(system).filePath(file), dir.filePath("tessdata/" + file)));
    }
    qputenv("TESSDATA_PREFIX", QFile::encodeName(dir.path()));
    EXPECT_EQ(TessdataFolder(), QDir(dir.filePath("tessdata")).path()) << "the prefix's tessdata/";
    qputenv("TESSDATA_PREFIX", QFile::encodeName(dir.filePath("tessdata")));
    EXPECT_EQ(TessdataFolder(), QDir(dir.filePath("tessdata")).path()) << "the prefix itself";
    qputenv("TESSDATA_PREFIX", QFile::encodeName(dir.filePath("nowhere")));
    EXPECT_EQ(TessdataFolder(), system) << "Debian's folder when the prefix has no data";
    qunsetenv("TESSDATA_PREFIX");
}
