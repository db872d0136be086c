#include "pictures/PictureFiles.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "model/FileErrors.h"
#include "model/RegularFile.h"
#include "model/SafeFile.h"

namespace stelmar {

namespace {

// Pictures larger than this are refused before any memory is taken for
// them: four bytes a pixel, held twice while being converted.
constexpr qint64 kMaxPicturePixels = 400'000'000;

// The formats offered for floor plans and exports, in the order the file
// dialogs list them; each is offered only when the Qt plug-ins on the
// machine handle it. The first extension of a format is its usual one.
struct PictureFormat {
    const char* Title;
    QStringList Extensions;
};

const QList<PictureFormat>& KnownFormats()
{
    static const QList<PictureFormat> formats = {
        {"JPEG", {"jpg", "jpeg"}},
        {"PNG", {"png"}},
        {"BMP", {"bmp"}},
        {"GIF", {"gif"}},
        {"TIFF", {"tif", "tiff"}},
        {"WebP", {"webp"}},
    };
    return formats;
}

// The known formats the given plug-in list supports, each with only the
// extensions that are supported.
QList<PictureFormat> AvailableFormats(const QList<QByteArray>& supported)
{
    QList<PictureFormat> result;
    for (const PictureFormat& format : KnownFormats()) {
        PictureFormat available{format.Title, {}};
        for (const QString& ext : format.Extensions)
            if (supported.contains(ext.toLatin1())) available.Extensions << ext;
        if (!available.Extensions.isEmpty()) result << available;
    }
    return result;
}

QString Patterns(const QStringList& extensions)
{
    QStringList patterns;
    for (const QString& ext : extensions) patterns << "*." + ext;
    return patterns.join(' ');
}

QString FormatEntries(const QList<PictureFormat>& formats)
{
    QStringList entries;
    for (const PictureFormat& format : formats)
        entries << QString("%1 (%2)").arg(format.Title, Patterns(format.Extensions));
    return entries.join(";;");
}

QString ShownName(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString ReadFailureReason(const QImageReader& reader)
{
    switch (reader.error()) {
    case QImageReader::DeviceError:
        return "файл не удалось прочитать (ошибка диска)";
    case QImageReader::UnsupportedFormatError:
        return "формат файла не поддерживается";
    default:
        return "файл поврежден или не является изображением";
    }
}

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// JPEG and BMP keep no transparency: transparent parts of a drawing are
// laid on white instead of the black the encoders would leave.
QImage Opaque(const QImage& image)
{
    QImage result(image.size(), QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(0, 0, image);
    return result;
}

}  // namespace

std::optional<Bitmap> LoadPicture(const QString& path, QString* error)
{
    const auto fail = [&](const QString& reason) -> std::optional<Bitmap> {
        if (error) *error = QString("Не удалось загрузить изображение \"%1\": %2.").arg(ShownName(path), reason);
        return std::nullopt;
    };

    // Opened by the engine's rules: only a regular file, never waiting on a
    // pipe or a device.
    int openError = 0;
    const int fd = OpenRegularFile(NativePath(path), openError);
    if (fd < 0) return fail(QString::fromStdString(FileErrorText(openError)));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(QString::fromStdString(FileErrorText(EIO)));
    }
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        return fail(QString("изображение слишком большое (%1 × %2 точек); уменьшите его до %3 млн точек")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(kMaxPicturePixels / 1'000'000));
    // Qt's own limit (256 MB) is lower than ours; ours has been checked above.
    reader.setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);

    QImage image = reader.read();
    if (image.isNull()) return fail(ReadFailureReason(reader));
    image.convertTo(QImage::Format_ARGB32);  // in place, so only one copy more is made
    return FromQImage(image);
}

bool SavePicture(const QImage& image, const QString& path, QString* error)
{
    const auto fail = [&](const QString& reason) {
        if (error) *error = QString("Не удалось сохранить изображение \"%1\": %2.").arg(ShownName(path), reason);
        return false;
    };

    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) return fail("в имени файла нет расширения, по которому выбирается формат");
    if (!QImageWriter::supportedImageFormats().contains(suffix.toLatin1()))
        return fail(QString("формат \"%1\" не поддерживается").arg(suffix));
    if (image.isNull()) return fail("нет изображения");

    const bool keepsAlpha = suffix != "jpg" && suffix != "jpeg" && suffix != "bmp";
    const QImage written = image.hasAlphaChannel() && !keepsAlpha ? Opaque(image) : image;

    // Encoded completely first, then written by the engine beside the
    // target and renamed over it, so a failure leaves an existing file as
    // it was.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, suffix.toLatin1());
    if (suffix == "jpg" || suffix == "jpeg") writer.setQuality(95);  // thin lines and text
    if (!writer.write(written))
        return fail(QString("в формате \"%1\" это изображение записать нельзя (возможно, оно слишком большое для него)")
                        .arg(suffix));
    buffer.close();
    if (const auto failure = WriteFilesAtomically({{NativePath(path), bytes.toStdString()}}))
        return fail(QString::fromStdString(*failure));
    return true;
}

QString ReadablePictureFilter()
{
    const QList<PictureFormat> formats = AvailableFormats(QImageReader::supportedImageFormats());
    QStringList all;
    for (const PictureFormat& format : formats) all << format.Extensions;
    return QString("Изображения (%1);;%2;;Все файлы (*)").arg(Patterns(all), FormatEntries(formats));
}

QString WritablePictureFilter()
{
    return FormatEntries(AvailableFormats(QImageWriter::supportedImageFormats()));
}

QStringList ReadablePictureExtensions()
{
    QStringList extensions;
    for (const PictureFormat& format : AvailableFormats(QImageReader::supportedImageFormats()))
        for (const QString& ext : format.Extensions) extensions << "." + ext;
    return extensions;
}

QImage ToQImage(const Bitmap& b)
{
    if (b.Width <= 0 || b.Height <= 0 || b.Pixels.size() < std::size_t(b.Width) * b.Height) return {};
    QImage image(b.Width, b.Height, QImage::Format_ARGB32);
    if (image.isNull()) return image;
    for (int y = 0; y < b.Height; ++y)
        std::memcpy(image.scanLine(y), b.Pixels.data() + std::size_t(y) * b.Width, std::size_t(b.Width) * 4);
    return image;
}

Bitmap FromQImage(const QImage& image)
{
    Bitmap b;
    if (image.isNull()) return b;
    const QImage argb = image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
    b.Width = argb.width();
    b.Height = argb.height();
    b.Pixels.resize(std::size_t(b.Width) * b.Height);
    for (int y = 0; y < b.Height; ++y)
        std::memcpy(b.Pixels.data() + std::size_t(y) * b.Width, argb.constScanLine(y), std::size_t(b.Width) * 4);
    return b;
}

}  // namespace stelmar
