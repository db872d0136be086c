#pragma once

// Reading pictures for floor backgrounds and writing the exported drawing,
// in the formats the Qt image plug-ins on the machine support (BMP, JPEG and
// PNG at least).

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

#include "model/Bitmap.h"

namespace stelmar {

// A picture file as a scheme bitmap; nullopt with `error` set (in Russian)
// when it cannot be read. Only a regular file is read: a pipe or a device
// is refused at once, never waited for.
std::optional<Bitmap> LoadPicture(const QString& path, QString* error);

// Saves an image in the format named by the file's extension, by the
// engine's rules for writing files (SafeFile.h); false with `error` set
// when it cannot be written.
bool SavePicture(const QImage& image, const QString& path, QString* error);

// Filter texts for the file dialogs in Qt's ";;"-separated syntax. Readable:
// "Изображения (*.jpg *.jpeg *.png *.bmp ...)", one entry per format, then
// "Все файлы (*)". Writable: one entry per format, "JPEG (*.jpg *.jpeg);;...".
QString ReadablePictureFilter();
QString WritablePictureFilter();
// Lower-case extensions with their dot (".bmp", ".png", ...).
QStringList ReadablePictureExtensions();

// Both copy the pixels: the image and the bitmap never share memory.
// ToQImage gives a Format_ARGB32 image (null for an empty or inconsistent
// bitmap); FromQImage converts any format to 0xAARRGGBB.
QImage ToQImage(const Bitmap& b);
Bitmap FromQImage(const QImage& image);

}  // namespace stelmar
