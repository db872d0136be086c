#include "editor/SplashScreen.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/Icons.h"

namespace stelmar {

TFstart::TFstart() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName("Fstart");
    setAttribute(Qt::WA_QuitOnClose, false);  // the program goes on after the picture
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setCursor(Qt::BusyCursor);

    auto* picture = new QLabel(this);
    picture->setPixmap(SplashPicture());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect box = rect();
        box.moveCenter(screen->geometry().center());
        move(box.topLeft());
    }
}

void TFstart::Run()
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &TFstart::Done, &loop, &QEventLoop::quit);
    show();
    timer.start(kShowMs);
    loop.exec();
    close();
}

void TFstart::mousePressEvent(QMouseEvent*)
{
    emit Done();
}

}  // namespace stelmar
