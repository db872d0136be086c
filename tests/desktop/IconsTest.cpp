// The pictures compiled into the program: every icon the windows ask for
// exists and renders, and the splash picture has its size.

#include <QtTest>

#include "dialogs/Icons.h"

using namespace stelmar;

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void everyIconRenders()
    {
        for (const char* name : {"new", "open", "save", "load-picture", "delete-picture", "print", "settings", "undo",
                                 "redo", "area-lengths", "calculate", "calculate-local", "add-floor", "delete-floor",
                                 "help", "about", "cursor", "input", "junction", "exit", "area", "delete", "stelmar", "scale",
                                 "align-floors", "plan-layers"}) {
            const QIcon icon = ToolIcon(name);
            QVERIFY2(!icon.isNull(), name);
            const QImage image = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), QSize(24, 24));
            int painted = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x) painted += qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(painted > 20, name);
        }
        QVERIFY(ToolIcon("no-such-icon").isNull());
    }

    void splashHasItsSize()
    {
        const QPixmap splash = SplashPicture();
        QCOMPARE(splash.deviceIndependentSize().toSize(), QSize(465, 249));
        const QImage image = splash.toImage();
        QVERIFY(image.pixelColor(image.width() / 2, 5) != image.pixelColor(image.width() / 4, image.height() / 2));
    }
};

QTEST_MAIN(IconsTest)
#include "IconsTest.moc"
