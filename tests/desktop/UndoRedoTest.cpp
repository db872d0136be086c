// Every change through the real widgets is one undo step that marks the
// project modified, redo returns exactly to what was undone, and the
// status bar tells when undo and redo come back to the saved state.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "dialogs/AreaParamsDialog.h"
#include "dialogs/NodeParamsDialog.h"
#include "dialogs/SettingsDialog.h"
#include "model/ProjectFile.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

const QString kNewQuestion = "Возможно перед созданием нового проекта\nвы хотите сохранить старый?";

void Retype(QWidget* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

template <class T>
T* Child(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(name);
    if (!child) qFatal("no control %s", name);
    return child;
}

}  // namespace

class UndoRedoTest : public QObject, public CanvasDriver {
    Q_OBJECT

    std::unique_ptr<Session> session_;
    TF* tf_ = nullptr;
    TPipeLine* s_ = nullptr;
    QString path_;

    QString Saved() { return session_->Panel(1); }
    bool CanUndo() { return session_->Enabled("TBUndo") && session_->Enabled("Nundo"); }
    bool CanRedo() { return session_->Enabled("TBRendo") && session_->Enabled("Nrendo"); }
    void Undo() { QTest::keyClick(tf_, Qt::Key_Z, Qt::ControlModifier); }
    void Redo() { QTest::keyClick(tf_, Qt::Key_Y, Qt::ControlModifier); }
    QString UndoText() { return session_->Action("Nundo")->text().remove('&'); }
    QString RedoText() { return session_->Action("Nrendo")->text().remove('&'); }

    // Double-clicks the element at (x, y) and, in its dialog, retypes the
    // field and presses the button.
    template <class Dialog>
    void EditInDialog(int x, int y, const char* field, const QString& text, const char* button)
    {
        OnModal<Dialog>([&](Dialog* dialog) {
            if (field) Retype(Child<QWidget>(dialog, field), text);
            QTest::mouseClick(Child<QToolButton>(dialog, button), Qt::LeftButton);
        });
        DoubleClick(x, y);
    }

private slots:
    // The corridor of the tests, saved: input (40, 60) -> junction
    // (140, 60) -> exit (240, 120).
    void init()
    {
        session_ = std::make_unique<Session>();
        path_ = session_->File("corridor.stm");
        QVERIFY(!SaveProjectFile(Corridor(), path_.toStdString(), ','));
        tf_ = &session_->Start(path_);
        s_ = &tf_->Scheme();
        Attach(*tf_);
        QCOMPARE(Saved(), QString("Сохранено"));
        QVERIFY(!CanUndo() && !CanRedo());
    }
    void cleanup() { session_.reset(); }

    // A width typed into the area dialog used to be written without the
    // modified mark: a new project then asked nothing and the width was lost.
    void areaDialogIsOneStepAndAsksBeforeItIsLost()
    {
        EditInDialog<TFpar>(90, 60, "Dedit", "2.5", "SpeedButton2");
        QCOMPARE(s_->Areas[1].Width, 2.5);
        QCOMPARE(Saved(), QString("Изменено"));
        QVERIFY(CanUndo());

        session_->Prompts().Answers = {Answer::Cancel};
        session_->Action("TBNew")->trigger();
        QCOMPARE(session_->Prompts().Questions, QStringList{kNewQuestion});
        QCOMPARE(s_->Areas[1].Width, 2.5);

        Undo();
        QCOMPARE(s_->Areas[1].Width, 1.5);
        QCOMPARE(Saved(), QString("Сохранено"));
        QVERIFY(!CanUndo() && CanRedo());
        Redo();
        QCOMPARE(s_->Areas[1].Width, 2.5);
        QCOMPARE(Saved(), QString("Изменено"));
    }

    void nodeDialogIsOneStep()
    {
        EditInDialog<TFuzel>(40, 60, "EditH", "55", "SpeedButton3");
        QCOMPARE(s_->Nodes[1].People, 55);
        QCOMPARE(Saved(), QString("Изменено"));
        Undo();
        QCOMPARE(s_->Nodes[1].People, 40);
        QVERIFY(!CanUndo());
        Redo();
        QCOMPARE(s_->Nodes[1].People, 55);
    }

    // The menu items and the buttons' hints name the step they take back or
    // do again; the toolbar keeps its icons.
    void commandsNameTheirSteps()
    {
        QCOMPARE(UndoText(), QString("Отменить"));
        EditInDialog<TFpar>(90, 60, "Dedit", "2.5", "SpeedButton2");
        QCOMPARE(UndoText(), QString("Отменить: ширина участка 1-2"));
        QCOMPARE(session_->Action("TBUndo")->toolTip(), QString("Отменить: ширина участка 1-2"));
        Undo();
        QCOMPARE(UndoText(), QString("Отменить"));
        QCOMPARE(RedoText(), QString("Вернуть: ширина участка 1-2"));
        QCOMPARE(session_->Action("TBRendo")->toolTip(), QString("Вернуть: ширина участка 1-2"));
        QVERIFY(!session_->Action("TBRendo")->icon().isNull());
        Redo();
        QCOMPARE(RedoText(), QString("Вернуть"));
        QCOMPARE(session_->Action("TBRendo")->toolTip(), QString("Вернуть"));
    }

    // Delete by the key, from "Правка" and from the pop-up menu takes the
    // selection as one step: the first undo brings all of it back.
    void deleteIsOneStep_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("key") << "key";
        QTest::newRow("menu") << "menu";
        QTest::newRow("pop-up") << "popup";
    }
    void deleteIsOneStep()
    {
        QFETCH(QString, way);
        Click(140, 60);  // the junction, with its two areas
        QVERIFY(s_->Nodes[2].Selected);
        QVERIFY(!CanUndo());  // a click is no edit
        if (way == "key") {
            QTest::keyClick(tf_, Qt::Key_Delete);
        } else if (way == "menu") {
            session_->Action("Ndel")->trigger();
        } else {
            RightClick(140, 60);
            PopupItem("NPMDel")->trigger();
        }
        QCOMPARE(NodeCount(*s_), 2);
        QCOMPARE(AreaCount(*s_), 0);
        QCOMPARE(UndoText(), QString("Отменить: удаление 3 элементов"));
        Undo();
        QCOMPARE(NodeCount(*s_), 3);
        QCOMPARE(AreaCount(*s_), 2);
        QCOMPARE((std::pair{s_->Areas[2].Node1, s_->Areas[2].Node2}), (std::pair{2, 3}));
        QVERIFY(!CanUndo());
        QCOMPARE(Saved(), QString("Сохранено"));
        QCOMPARE(RedoText(), QString("Вернуть: удаление 3 элементов"));
        Redo();
        QCOMPARE(NodeCount(*s_), 2);
        QVERIFY(!CanRedo());
    }

    // The delete tool on an area takes that area alone, as a step.
    void deleteToolOnAnAreaIsOneStep()
    {
        Use("TBDel");
        Click(90, 60);
        QCOMPARE(AreaCount(*s_), 1);
        QCOMPARE(NodeCount(*s_), 3);
        QCOMPARE(UndoText(), QString("Отменить: удаление участка 1-2"));
        Undo();
        QCOMPARE(AreaCount(*s_), 2);
        QCOMPARE((std::pair{s_->Areas[1].Node1, s_->Areas[1].Node2}), (std::pair{1, 2}));
        QCOMPARE(s_->Areas[1].Length, 12.5);
        QVERIFY(!CanUndo());
    }

    // Commands that change nothing record no step, leave the project as
    // saved and keep what can be redone: a delete with nothing selected, a
    // drag back to where it began, dialogs accepted unchanged, a click.
    void commandsThatChangeNothingLeaveNoTrace()
    {
        EditInDialog<TFpar>(90, 60, "Dedit", "2.5", "SpeedButton2");
        Undo();
        auto unchanged = [this](const char* what) {
            QVERIFY2(Saved() == "Сохранено", what);
            QVERIFY2(!CanUndo(), what);
            QVERIFY2(CanRedo(), what);
            QVERIFY2(RedoText() == "Вернуть: ширина участка 1-2", what);
        };
        MoveTo(400, 400);
        QTest::keyClick(tf_, Qt::Key_Delete);
        session_->Action("Ndel")->trigger();
        unchanged("delete of nothing");

        session_->Action("N9")->trigger();  // no snapping: the node returns exactly
        Press(140, 60);
        MoveTo(170, 90, Qt::LeftButton);
        MoveTo(140, 60, Qt::LeftButton);
        Release(140, 60);
        QCOMPARE(QPoint(s_->Nodes[2].X, s_->Nodes[2].Y), QPoint(140, 60));
        unchanged("move by 0 pixels");

        EditInDialog<TFuzel>(40, 60, nullptr, {}, "SpeedButton3");
        EditInDialog<TFpar>(90, 60, "Ledit", "12.5", "SpeedButton2");
        unchanged("dialogs accepted unchanged");

        Redo();
        QCOMPARE(s_->Areas[1].Width, 2.5);
    }

    void labelResetIsOneStep()
    {
        const std::string exitName = s_->Nodes[3].Name;
        QCOMPARE(exitName, std::string("Выход"));
        OnModal<TFParams>([](TFParams* dialog) {
            QTest::mouseClick(Child<QCheckBox>(dialog, "CBSetDefault"), Qt::LeftButton, {}, QPoint(6, 6));
            QTest::mouseClick(Child<QWidget>(dialog, "Button1"), Qt::LeftButton);
        });
        session_->Action("MMParams")->trigger();
        QCOMPARE(s_->Nodes[3].Name, std::string(kDefaultNodeName));
        QCOMPARE(Saved(), QString("Изменено"));
        Undo();
        QCOMPARE(s_->Nodes[3].Name, exitName);
        QCOMPARE(Saved(), QString("Сохранено"));
    }

    void dragIsOneStep()
    {
        Press(140, 60);
        for (int x = 150; x <= 200; x += 10) MoveTo(x, 100, Qt::LeftButton);
        Release(200, 100);
        QCOMPARE(s_->Nodes[2].X, 202);
        Undo();
        QCOMPARE(QPoint(s_->Nodes[2].X, s_->Nodes[2].Y), QPoint(140, 60));
        QVERIFY(!CanUndo());
        Redo();
        QCOMPARE(QPoint(s_->Nodes[2].X, s_->Nodes[2].Y), QPoint(202, 102));
        QVERIFY(!CanRedo());
    }

    // Ending an area on another area adds a junction, splits that area and
    // adds the new one: one click, one step.
    void areaEndingOnAnAreaIsOneStep()
    {
        Use("TBArea");
        Click(402, 302);  // a new junction starts the area: one step
        Click(90, 60);    // a junction splitting 1-2, and the area to it
        QCOMPARE(NodeCount(*s_), 5);
        QCOMPARE(AreaCount(*s_), 4);
        Undo();
        QCOMPARE(NodeCount(*s_), 4);
        QCOMPARE(AreaCount(*s_), 2);
        QCOMPARE(s_->Areas[1].Node2, 2);
        Undo();
        QCOMPARE(NodeCount(*s_), 3);
        QVERIFY(!CanUndo());
        Redo();
        Redo();
        QCOMPARE(AreaCount(*s_), 4);
    }

    void floorDeletionAndCutAreOneStepEach()
    {
        session_->Action("TBAddEtag")->trigger();
        tf_->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);
        Nodes("TBNode", {{300, 300}});
        session_->Prompts().Answers = {Answer::Yes};
        session_->Action("TBDelEtag")->trigger();
        QCOMPARE(int(s_->EtagCount), 1);
        Undo();
        QCOMPARE(int(s_->EtagCount), 2);
        QCOMPARE(NodeCount(*s_), 4);

        Use("TBcursor");
        tf_->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(0);
        for (TNode& n : s_->Nodes) n.Selected = n.Etag == 1;
        session_->Action("NCut")->trigger();
        QCOMPARE(NodeCount(*s_), 1);
        Undo();
        QCOMPARE(NodeCount(*s_), 4);
        QCOMPARE(AreaCount(*s_), 2);
    }

    // Alternating undo and redo used to walk further back each time: a
    // node deleted before the last save came back.
    void alternatingUndoAndRedoStaysOnTwoStates()
    {
        Use("TBDel");
        Click(240, 120);  // the exit goes, with its area
        QCOMPARE(NodeCount(*s_), 2);
        session_->Action("TBSave")->trigger();
        QCOMPARE(Saved(), QString("Сохранено"));
        Use("TBNode");
        Click(400, 400);
        QCOMPARE(NodeCount(*s_), 3);
        for (int i = 0; i < 4; ++i) {
            Undo();
            QCOMPARE(NodeCount(*s_), 2);
            QCOMPARE(Saved(), QString("Сохранено"));
            Redo();
            QCOMPARE(NodeCount(*s_), 3);
            QCOMPARE(Saved(), QString("Изменено"));
        }
        Undo();
        Undo();
        QCOMPARE(NodeCount(*s_), 3);  // the exit is back
        QCOMPARE(Saved(), QString("Изменено"));
    }

    void backgroundLoadAndDeleteAreSteps()
    {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        QVERIFY(picture.save(session_->File("plan.png")));
        session_->Prompts().PictureName = session_->File("plan.png");
        session_->Action("TBLoadIm")->trigger();
        QVERIFY(s_->Backgrounds[1]);
        QCOMPARE(Saved(), QString("Изменено"));
        session_->Prompts().Answers = {Answer::Yes};
        session_->Action("TBDelIm")->trigger();
        QVERIFY(!s_->Backgrounds[1]);
        Undo();
        QVERIFY(s_->Backgrounds[1]);
        Undo();
        QVERIFY(!s_->Backgrounds[1]);
        QCOMPARE(Saved(), QString("Сохранено"));
    }
};

QTEST_MAIN(UndoRedoTest)
#include "UndoRedoTest.moc"
