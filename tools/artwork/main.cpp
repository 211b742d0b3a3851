// marbelux-artwork OUTPUT_FOLDER: draws every picture, glyph and icon of the
// program into OUTPUT_FOLDER/{pictures,icons,glyphs}.
#include "artwork.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: marbelux-artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    try {
        for (const char* sub : {"pictures", "icons", "glyphs"})
            if (!out.mkpath(QString::fromLatin1(sub))) throw std::runtime_error(std::string("cannot create ") + sub);
        const QDir pictures(out.filePath("pictures"));
        artwork::MakeColumnPictures(pictures);
        artwork::MakePictureButtons(pictures);
        artwork::MakeSmallPictures(pictures);
        artwork::MakeAboutPicture(pictures);
        artwork::MakeIcon(QDir(out.filePath("icons")));
        artwork::MakeGlyphs(QDir(out.filePath("glyphs")));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "marbelux-artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
