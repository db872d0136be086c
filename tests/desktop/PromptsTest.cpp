// The real message boxes open above the window the user works in: a box
// asked from a modal dialog being shown (the calculation dialogs) belongs
// to that dialog, not to the main window under it. Opening a document
// counts only when the desktop's opener did not fail.

#include <QDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
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

    // xdg-open ends with status 3 when it finds no program for the file:
    // starting it is no success. An opener still running after a while has
    // opened the document in its own window.
    void openerThatFailsOpensNothing()
    {
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ":" + path);
        auto opener = [&](const QByteArray& script) {
            QFile file(bin.path() + "/xdg-open");
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n" + script + "\n");
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        QtPrompts prompts;
        opener("echo \"$1\" > " + bin.path().toUtf8() + "/opened; exit 3");
        QVERIFY(!prompts.OpenDocument("/tmp/отчет.rtf"));
        QFile opened(bin.path() + "/opened");
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(opened.readAll()).trimmed(), QString("/tmp/отчет.rtf"));
        opener("exit 0");
        QVERIFY(prompts.OpenDocument("/tmp/отчет.rtf"));
        opener("sleep 10");
        QVERIFY(prompts.OpenDocument("/tmp/отчет.rtf"));
        qputenv("PATH", path);
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
