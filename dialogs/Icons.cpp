#include "dialogs/Icons.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// The resources are compiled into a static library; initialising them by
// name keeps the linker from dropping them. Must stay outside a namespace.
static void InitResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace stelmar {

namespace {

constexpr QSize kSplashSize(465, 249);

QImage Render(QSvgRenderer& renderer, QSize size, const QColor& background)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

// Rendered icons, kept for the life of the application object: the pixmaps
// are released with it rather than after it.
QHash<QString, QIcon>& IconCache()
{
    static QHash<QString, QIcon> cache;
    static const bool cleared = [] {
        qAddPostRoutine([] { IconCache().clear(); });
        return true;
    }();
    (void)cleared;
    return cache;
}

}  // namespace

QIcon ToolIcon(const QString& name)
{
    QHash<QString, QIcon>& cache = IconCache();
    if (const auto found = cache.constFind(name); found != cache.cend()) return *found;

    InitResources();
    QIcon icon;
    QSvgRenderer renderer(":/icons/" + name + ".svg");
    if (renderer.isValid()) {
        for (const int side : {16, 20, 24, 32, 48, 64, 128, 256})
            icon.addPixmap(QPixmap::fromImage(Render(renderer, QSize(side, side), Qt::transparent)));
    } else {
        qWarning("No icon named \"%s\"", qPrintable(name));
    }
    cache.insert(name, icon);
    return icon;
}

QPixmap SplashPicture()
{
    InitResources();
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QSvgRenderer renderer(QStringLiteral(":/splash.svg"));
    QPixmap picture = QPixmap::fromImage(Render(renderer, kSplashSize * ratio, Qt::white));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

}  // namespace stelmar
