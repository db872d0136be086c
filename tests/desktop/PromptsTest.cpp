// The real message boxes open above the window the user works in: a box
// asked from a dialog kept on top (the calculation dialogs) belongs to that
// dialog, not to the main window under it.

#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "ModalDialogs.h"
#include "dialogs/Prompts.h"

using namespace stelmar;
using namespace stelmar::test;

class PromptsTest : public QObject {
    Q_OBJECT

    // The parent of the box `ask` opens, closing it with `button`.
    static QWidget* OwnerOfTheBox(const std::function<void()>& ask, QMessageBox::StandardButton button)
    {
        QWidget* owner = nullptr;
        OnModal<QMessageBox>([&](QMessageBox* box) {
            owner = box->parentWidget();
            if (QAbstractButton* b = box->button(button)) b->click();
            else box->reject();
        });
        ask();
        return owner;
    }

private slots:
    void boxesBelongToTheModalDialogBeingShown()
    {
        QMainWindow main;
        main.show();
        QtPrompts prompts;
        QCOMPARE(OwnerOfTheBox([&] { prompts.ShowWarning("x"); }, QMessageBox::Ok),
                 QApplication::activeWindow());

        QDialog calculation(&main);
        calculation.setModal(true);
        calculation.show();
        QCOMPARE(OwnerOfTheBox([&] { prompts.ShowWarning("Не удалось открыть отчет"); }, QMessageBox::Ok),
                 &calculation);
        QCOMPARE(OwnerOfTheBox([&] { QCOMPARE(prompts.AskYesNoCancel("?"), Answer::No); }, QMessageBox::No),
                 &calculation);
        calculation.hide();
    }

    void boxesBelongToTheOpenModalDialog()
    {
        QMainWindow main;
        main.show();
        QtPrompts prompts;
        QDialog modal(&main);
        QWidget* owner = nullptr;
        QTimer::singleShot(0, &modal, [&] {
            owner = OwnerOfTheBox([&] { prompts.ShowMessage("m"); }, QMessageBox::Ok);
            modal.accept();
        });
        modal.exec();
        QCOMPARE(owner, &modal);
    }
};

QTEST_MAIN(PromptsTest)
#include "PromptsTest.moc"
