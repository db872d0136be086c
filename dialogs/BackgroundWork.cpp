#include "dialogs/BackgroundWork.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace stelmar {
namespace {

// How long the work runs before its box shows, ms: most plans are read
// before it would.
constexpr int kWaitDelay = 400;

}  // namespace

bool WaitForWork(QWidget* parent, const QString& text, std::function<void()> work, bool cancellable)
{
    // The thread deletes itself when done, also after a cancel has left it
    // running on its own.
    QThread* worker = QThread::create(std::move(work));
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    QEventLoop loop;
    bool done = false;
    QObject::connect(worker, &QThread::finished, &loop, [&done, &loop] {
        done = true;
        loop.quit();
    });
    QTimer delay;
    delay.setSingleShot(true);
    QObject::connect(&delay, &QTimer::timeout, &loop, &QEventLoop::quit);
    worker->start();
    delay.start(kWaitDelay);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (done) return true;

    QProgressDialog box(text, cancellable ? "Отмена" : QString(), 0, 0, parent);
    box.setWindowTitle("Подождите");
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(0);
    box.setAutoReset(false);
    box.setAutoClose(false);
    if (cancellable)
        QObject::connect(&box, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    else
        box.setCancelButton(nullptr);
    box.show();
    // Work that cannot be cancelled keeps the user's input waiting.
    loop.exec(cancellable ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return done;
}

}  // namespace stelmar
