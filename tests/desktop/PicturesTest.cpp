// Picture files: round trips through the encoders, failures reported as
// Russian messages, and the filter texts of the file dialogs.

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "pictures/PictureFiles.h"

using namespace stelmar;

namespace {

// A picture with distinct colours in every corner and a gradient, so that
// swapped channels, flipped rows or shifted columns all show.
QImage Pattern(bool translucent)
{
    QImage image(37, 23, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 6, y * 10, 255 - x * 3, translucent ? 40 + x * 5 : 255));
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(36, 0, qRgba(0, 255, 0, 255));
    image.setPixel(0, 22, qRgba(0, 0, 255, 255));
    return image;
}

// Mean absolute difference per colour channel.
double MeanDifference(const Bitmap& a, const Bitmap& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.Pixels.size(); ++i)
        for (int shift : {0, 8, 16}) sum += std::abs(int((a.Pixels[i] >> shift) & 0xFF) - int((b.Pixels[i] >> shift) & 0xFF));
    return sum / (a.Pixels.size() * 3.0);
}

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(bytes);
    return file.fileName();
}

}  // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void bitmapLayoutIsArgbTopRowFirst()
    {
        const Bitmap b = FromQImage(Pattern(false).convertToFormat(QImage::Format_RGB888));
        QCOMPARE(b.Width, 37);
        QCOMPARE(b.Height, 23);
        QCOMPARE(b.Pixels.size(), std::size_t(37 * 23));
        QCOMPARE(b.Pixels[0], 0xFFFF0000u);
        QCOMPARE(b.Pixels[36], 0xFF00FF00u);
        QCOMPARE(b.Pixels[22 * 37], 0xFF0000FFu);

        const QImage back = ToQImage(b);
        QCOMPARE(back.format(), QImage::Format_ARGB32);
        QCOMPARE(back, Pattern(false));

        Bitmap broken = b;
        broken.Pixels.resize(10);
        QVERIFY(ToQImage(broken).isNull());
        QVERIFY(ToQImage(Bitmap{}).isNull());
        QCOMPARE(FromQImage(QImage()).Pixels.size(), std::size_t(0));
    }

    void losslessRoundTrips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("translucent");
        QTest::newRow("png") << "plan.png" << true;
        QTest::newRow("bmp") << "plan.bmp" << false;
        QTest::newRow("upper-case suffix") << "PLAN.PNG" << true;
    }

    void losslessRoundTrips()
    {
        QFETCH(QString, name);
        QFETCH(bool, translucent);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QString error;
        QVERIFY2(SavePicture(Pattern(translucent), path, &error), qPrintable(error));

        const auto loaded = LoadPicture(path, &error);
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(loaded->Pixels, FromQImage(Pattern(translucent)).Pixels);
    }

    void jpegRoundTripIsClose()
    {
        QTemporaryDir dir;
        QString error;
        for (const QString name : {"plan.jpg", "plan.jpeg"}) {
            QVERIFY2(SavePicture(Pattern(false), dir.filePath(name), &error), qPrintable(error));
            const auto loaded = LoadPicture(dir.filePath(name), &error);
            QVERIFY2(loaded, qPrintable(error));
            QCOMPARE(loaded->Width, 37);
            QCOMPARE(loaded->Height, 23);
            QVERIFY(MeanDifference(*loaded, FromQImage(Pattern(false))) < 8);
        }
    }

    void transparencyBecomesWhiteWhereItCannotBeKept()
    {
        QImage clear(20, 20, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QTemporaryDir dir;
        QString error;
        for (const QString name : {"clear.jpg", "clear.bmp"}) {
            QVERIFY2(SavePicture(clear, dir.filePath(name), &error), qPrintable(error));
            const auto loaded = LoadPicture(dir.filePath(name), &error);
            QVERIFY2(loaded, qPrintable(error));
            QVERIFY2((loaded->Pixels[210] & 0xFFFFFF) >= 0xF0F0F0, qPrintable(name));
        }
    }

    void unreadableFilesGiveMessages()
    {
        QTemporaryDir dir;
        QString error;
        const QString missing = dir.filePath("нет-такого.png");
        QVERIFY(!LoadPicture(missing, &error));
        QVERIFY(error.contains("нет-такого.png"));
        QVERIFY(error.contains("не найден"));

        const QString garbage = Write(dir, "текст.png", "это не рисунок");
        QVERIFY(!LoadPicture(garbage, &error));
        QVERIFY(error.contains("текст.png"));
        QVERIFY(error.startsWith("Не удалось загрузить изображение"));

        const QString truncated = Write(dir, "обрезан.png", QByteArray("\x89PNG\r\n\x1a\n", 8));
        QVERIFY(!LoadPicture(truncated, &error));
        QVERIFY(error.contains("обрезан.png"));

        QVERIFY(!LoadPicture(missing, nullptr));  // the message is optional
    }

    void hugePicturesAreRefusedBeforeReading()
    {
        // A PNG announcing 30000 × 20000 pixels (600 million) and holding none.
        const auto chunk = [](const QByteArray& type, const QByteArray& data) {
            QByteArray bytes;
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << quint32(data.size());
            out.writeRawData(type.constData(), 4);
            out.writeRawData(data.constData(), data.size());
            out << Crc32(type + data);
            return bytes;
        };
        QByteArray header;
        QDataStream(&header, QIODevice::WriteOnly) << quint32(30000) << quint32(20000) << quint8(8) << quint8(2)
                                                   << quint8(0) << quint8(0) << quint8(0);
        const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", {}) +
                               chunk("IEND", {});
        QTemporaryDir dir;
        QString error;
        QVERIFY(!LoadPicture(Write(dir, "huge.png", png), &error));
        QVERIFY2(error.contains("слишком большое"), qPrintable(error));
        QVERIFY(error.contains("30000 × 20000"));
    }

    void failedSavesGiveMessages()
    {
        QTemporaryDir dir;
        QString error;
        const QString unwritable = dir.filePath("нет-папки/plan.png");
        QVERIFY(!SavePicture(Pattern(false), unwritable, &error));
        QVERIFY(error.startsWith("Не удалось сохранить изображение"));
        QVERIFY(error.contains("plan.png"));
        QVERIFY(!QFile::exists(unwritable));

        QVERIFY(!SavePicture(Pattern(false), dir.filePath("plan.xyz"), &error));
        QVERIFY(error.contains("xyz"));
        QVERIFY(!SavePicture(Pattern(false), dir.filePath("plan"), &error));
        QVERIFY(error.contains("расширени"));
        QVERIFY(!SavePicture(QImage(), dir.filePath("empty.png"), &error));
        QVERIFY(!QFile::exists(dir.filePath("empty.png")));
    }

    // Pictures are read and written by the engine's rules for files: a pipe
    // is refused at once, a link is written through, a read-only file is
    // kept, and the reasons are Russian.
    void picturesFollowTheRulesForFiles()
    {
        QTemporaryDir dir;
        QString error;
        const QString fifo = dir.filePath("канал.png");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(!LoadPicture(fifo, &error));
        QCOMPARE(error, "Не удалось загрузить изображение \"" + fifo +
                            "\": это не обычный файл (устройство, канал или сокет).");

        QVERIFY(QDir(dir.path()).mkdir("real"));
        QVERIFY(QFile::link("real/plan.png", dir.filePath("plan.png")));
        QVERIFY2(SavePicture(Pattern(false), dir.filePath("plan.png"), &error), qPrintable(error));
        QVERIFY(QFileInfo(dir.filePath("plan.png")).isSymLink());
        QVERIFY(LoadPicture(dir.filePath("real/plan.png"), &error));

        const QString locked = dir.filePath("locked.png");
        QVERIFY(SavePicture(Pattern(false), locked, &error));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner));
        QVERIFY(!SavePicture(Pattern(true), locked, &error));
        QCOMPARE(error, "Не удалось сохранить изображение \"" + locked + "\": нет прав доступа к файлу или папке.");
    }

    void failedEncodingKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("plan.jpg");
        QString error;
        QVERIFY(SavePicture(Pattern(false), path, &error));
        QFile before(path);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();

        // JPEG sides end at 65500 pixels.
        QImage tooWide(70000, 1, QImage::Format_RGB32);
        tooWide.fill(Qt::white);
        QVERIFY(!SavePicture(tooWide, path, &error));
        QVERIFY2(error.startsWith("Не удалось сохранить изображение"), qPrintable(error));
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), bytes);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plan.jpg"});
    }

    void filtersListTheCommonFormats()
    {
        const QStringList readable = ReadablePictureFilter().split(";;");
        QVERIFY(readable.first().startsWith("Изображения ("));
        for (const char* pattern : {"*.bmp", "*.jpg", "*.jpeg", "*.png"}) QVERIFY(readable.first().contains(pattern));
        QCOMPARE(readable.last(), QString("Все файлы (*)"));
        QVERIFY(readable.contains("BMP (*.bmp)"));
        QVERIFY(readable.contains("JPEG (*.jpg *.jpeg)"));
        QVERIFY(readable.contains("PNG (*.png)"));

        const QStringList writable = WritablePictureFilter().split(";;");
        QVERIFY(writable.contains("BMP (*.bmp)"));
        QVERIFY(writable.contains("JPEG (*.jpg *.jpeg)"));
        QVERIFY(writable.contains("PNG (*.png)"));
        const QRegularExpression entry(R"(^\w+ \(\*\.[a-z0-9]+( \*\.[a-z0-9]+)*\)$)");
        for (const QString& e : writable) QVERIFY2(entry.match(e).hasMatch(), qPrintable(e));

        // Every extension a dropped file is recognised by is one the open dialog offers.
        const QStringList extensions = ReadablePictureExtensions();
        for (const char* ext : {".bmp", ".jpg", ".jpeg", ".png"}) QVERIFY(extensions.contains(ext));
        for (const QString& ext : extensions) {
            QVERIFY(ext.startsWith('.'));
            QCOMPARE(ext, ext.toLower());
            QVERIFY(readable.first().contains("*" + ext));
        }
    }
};

QTEST_MAIN(PicturesTest)
#include "PicturesTest.moc"
