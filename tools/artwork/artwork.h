#pragma once
// The groups of artwork; each writes its files into the output folder.
class QDir;

namespace artwork {

void MakeColumnPictures(const QDir& pictures);
void MakePictureButtons(const QDir& pictures);
void MakeSmallPictures(const QDir& pictures); // tab images, homepage glyph
void MakeAboutPicture(const QDir& pictures);
void MakeIcon(const QDir& icons);
void MakeGlyphs(const QDir& glyphs);

} // namespace artwork
