#pragma once

// Acting on modal dialogs from inside the event loop that waits for them.

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace stelmar::test {

// Runs `action` on the next modal dialog of type T as soon as it shows,
// from inside the event loop that is waiting for it. A dialog that never
// shows within five seconds leaves the action undone and sets *missed;
// whatever modal dialog is open then is rejected so the test goes on.
template <typename T>
inline void OnModal(std::function<void(T*)> action, bool* missed = nullptr)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, missed, tries] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (++*tries < 1000) return;
            timer->deleteLater();
            timer->stop();
            if (missed) *missed = true;
            if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) open->reject();
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(dialog);
        // A failed check inside the action must not leave the dialog waiting.
        if (QTest::currentTestFailed() && dialog->isVisible()) dialog->reject();
    });
    timer->start();
}

}  // namespace stelmar::test
