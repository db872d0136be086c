// The main window: start with and without a project, settings and toolbar
// placement, commands and their enabled states, tools, undo and redo,
// dropped files and background pictures.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMimeData>
#include <QScrollArea>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "MainWindowFixture.h"
#include "editor/SchemeEdit.h"
#include "editor/CanvasWidget.h"
#include "model/Settings.h"
#include "model/RecentFiles.h"
#include "model/SchemeEditing.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

const QString kTitle = "Stelmar: расчет времени эвакуации";

QStringList FloorEntries(TF& window)
{
    auto* list = window.findChild<QComboBox*>("ComboBox1");
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    return entries;
}

int FloorIndex(TF& window)
{
    return window.findChild<QComboBox*>("ComboBox1")->currentIndex();
}

void Drop(TF& window, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    // The drop goes to the widget that accepted the drag entering it.
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
}

QString SavePicture(const QString& path, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    picture.save(path);
    return path;
}

// An edit as the drawing tools make it: snapshot, change, modified mark.
void AddJunction(TF& window)
{
    const SchemeEdit edit(window, "правка");
    AddNode(window.Scheme(), kJunction);
}

const char* const kProjectCommands[] = {"no1", "ComboBox1", "TBToolbar7", "NSaveAs", "TBLoadIm", "TBDelIm",
                                        "N4", "MMPrint", "TBPrint", "TBSave", "TBItem2", "Nexport",
                                        "TBcursor", "TBNodeIn", "TBNode", "TBNodeOut", "TBArea", "TBDel",
                                        "Ndel", "TBRun", "N8", "N7", "N25", "MMOperations"};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startWithoutProjectCreatesNewOne()
    {
        Session session;
        auto window = CreateForms(QString(), std::make_shared<ScriptedPrompts>());
        QCOMPARE(window->windowTitle(), kTitle);  // before the first activation
        window.reset();

        TF& tf = session.Start();
        QCOMPARE(tf.windowTitle(), kTitle + " (Новый)");
        QCOMPARE(FloorEntries(tf), QStringList{"Этаж №1"});
        QCOMPARE(session.Panel(1), QString("Сохранено"));  // nothing to lose yet
        QCOMPARE(session.Panel(2), QString("Узлов 0"));
        QCOMPARE(session.Panel(3), QString("Участков 0"));
        QCOMPARE(session.Panel(4), QString("Этажей 1"));
        QVERIFY(session.Action("TBcursor")->isChecked());
        QVERIFY(!session.Enabled("TBUndo") && !session.Enabled("Nundo"));
        QVERIFY(!session.Enabled("TBRendo") && !session.Enabled("Nrendo"));
        QVERIFY(session.Prompts().Questions.isEmpty());
    }

    void startOpensCommandLineProject()
    {
        Session session;
        const QString path = session.CopyExample("school-wing.stm", "school.stm");
        TF& tf = session.Start(path);
        QCOMPARE(tf.windowTitle(), kTitle + " (" + path + ")");
        QCOMPARE(FloorEntries(tf), (QStringList{"Этаж №1", "Этаж №2"}));
        QCOMPARE(FloorIndex(tf), tf.Scheme().ActiveEtag - 1);
        QCOMPARE(session.Panel(1), QString("Сохранено"));
        QCOMPARE(session.Panel(2), QString("Узлов 27"));
        QVERIFY(session.Prompts().Warnings.isEmpty());

    }

    void commandLineProjectGoesFirstInRecentList()
    {
        // Unlike the other ways of opening, the command line moves the list
        // down without removing an older entry of the same path.
        Session session;
        const QString path = session.CopyExample("school-wing.stm", "school.stm");
        session.WriteConfig("reopen.ini", QString("[PATH]\r\npath_1=%1\r\n").arg(path).toUtf8());
        session.Start(path);
        const auto recent = ReadRecent(session.ConfigFile("").toStdString());
        QCOMPARE(QString::fromStdString(recent[0]), path);
        QCOMPARE(QString::fromStdString(recent[1]), path);
    }

    void startWithUnreadableProjectReportsAndCreatesNewOne()
    {
        Session session;
        const QString path = session.File("broken.stm");
        session.WriteFile(path, "v4\r\nКоличество узлов:\r\nмного\r\n");
        TF& tf = session.Start(path);
        QCOMPARE(session.Prompts().Warnings.size(), 1);
        QVERIFY(session.Prompts().Warnings[0].contains("broken.stm"));
        QCOMPARE(tf.windowTitle(), kTitle + " (Новый)");
        QVERIFY(tf.Scheme().Opened);
    }

    void startAppliesSettingsAndToolbarPlacement()
    {
        Session session;
        session.WriteConfig("settings.ini",
                            "[PARAMS]\r\nWSpaceG=2400\r\nWSpaceV=1800\r\n"
                            "[PANELS]\r\nmain_dock=TBDockleft\r\nelements_dock=nil\r\n"
                            "calculate_row=1\r\ncalculate_pos=0\r\nHelp_dock=tbdocktop\r\n");
        TF& tf = session.Start();
        QCOMPARE(tf.findChild<CanvasWidget*>("img")->size(), QSize(2400, 1800));
        auto* mainBar = tf.findChild<QToolBar*>("TBMain");
        auto* elements = tf.findChild<QToolBar*>("TBElements");
        auto* calculate = tf.findChild<QToolBar*>("TBcalculate");
        auto* help = tf.findChild<QToolBar*>("TBHelp");
        QCOMPARE(tf.toolBarArea(mainBar), Qt::LeftToolBarArea);
        QCOMPARE(tf.toolBarArea(elements), Qt::LeftToolBarArea);
        QCOMPARE(tf.toolBarArea(help), Qt::TopToolBarArea);
        QVERIFY(calculate->y() > help->y());

        // Closing writes the placement back, even when the close is cancelled.
        AddJunction(tf);
        session.Prompts().Answers = {Answer::Cancel};
        QVERIFY(!tf.close());
        WindowLayout layout;
        TPipeLine scheme;
        LoadSettings(scheme, layout, session.ConfigFile("").toStdString());
        QCOMPARE(layout.Toolbars[kTBMain].Dock, std::string("TBDockleft"));
        QCOMPARE(layout.Toolbars[kTBcalculate].Row, 1);
        QCOMPARE(layout.Toolbars[kTBcalculate].Pos, 0);
        QCOMPARE(layout.Toolbars[kTBHelp].Dock, std::string("TBDockTop"));
        QCOMPARE(layout.Toolbars[kTBHelp].Row, 0);
        QCOMPARE(scheme.WSpaceG, 2400);
    }

    void hintsSplitIntoTooltipAndStatusText()
    {
        Session session;
        TF& tf = session.Start();
        QAction* create = session.Action("TBNew");
        QCOMPARE(create->toolTip(), QString("Создать"));
        QCOMPARE(create->statusTip(), QString("Создать новый план эвакуации"));
        QCOMPARE(session.Action("TBNodeIn")->toolTip(), QString("Элемент \"Вход\""));
        QCOMPARE(session.Action("TBNodeIn")->statusTip(), QString("Элемент \"Вход\""));
        QStatusTipEvent tip(create->statusTip());
        QCoreApplication::sendEvent(&tf, &tip);
        QCOMPARE(session.Panel(0), QString("Создать новый план эвакуации"));
        QCOMPARE(session.Panel(1), QString("Сохранено"));
    }

    void dialogCommandsShowTheirDialogs_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::newRow("print") << "MMPrint" << "Печать";
        QTest::newRow("print button") << "TBPrint" << "Печать";
        QTest::newRow("settings") << "TBParams" << "Параметры";
        QTest::newRow("calculation") << "MMCalc" << "Расчет";
        QTest::newRow("calculation button") << "TBRun" << "Расчет";
        QTest::newRow("about") << "N12" << "О программе";
    }

    void dialogCommandsShowTheirDialogs()
    {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        Session session;
        session.Start();
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                shown = dialog->windowTitle();
                dialog->close();
            }
        });
        session.Action(command.toLatin1().constData())->trigger();
        QCOMPARE(shown, caption);
    }

    void areaLengthsDialogBlocksTheWindowWhileOpen()
    {
        Session session;
        TF& tf = session.Start();
        session.Action("MMCalcL")->trigger();
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Расчет длин участков"));
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        dialog->reject();
        QVERIFY(tf.isEnabled());
    }

    void toolCommandsSelectToolAndButton_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("tool");
        QTest::addColumn<QString>("button");
        QTest::newRow("input") << "N19" << 1 << "TBNodeIn";
        QTest::newRow("exit") << "TBNodeOut" << 2 << "TBNodeOut";
        QTest::newRow("junction") << "N21" << 3 << "TBNode";
        QTest::newRow("area") << "N23" << 4 << "TBArea";
        QTest::newRow("delete") << "TBDel" << 5 << "TBDel";
        QTest::newRow("none") << "N13" << 0 << "TBcursor";
    }

    void toolCommandsSelectToolAndButton()
    {
        QFETCH(QString, command);
        QFETCH(int, tool);
        QFETCH(QString, button);
        Session session;
        TF& tf = session.Start();
        session.Action("N22")->trigger();  // start from another tool
        session.Action(command.toLatin1().constData())->trigger();
        QCOMPARE(int(tf.Scheme().Tool), tool);
        QCOMPARE(int(tf.Scheme().CursorIndex), tool);
        for (const char* name : {"TBcursor", "TBNodeIn", "TBNode", "TBNodeOut", "TBArea", "TBDel"})
            QCOMPARE(session.Action(name)->isChecked(), button == name);
    }

    void viewOptionsFollowTheirCheckMarks()
    {
        Session session;
        TF& tf = session.Start();
        QVERIFY(tf.Scheme().Snap && tf.Scheme().ShowNumbers);
        session.Action("N9")->trigger();
        session.Action("N18")->trigger();
        QVERIFY(!tf.Scheme().Snap);
        QVERIFY(!tf.Scheme().ShowNumbers);
        session.Action("N2")->trigger();  // a new project takes the menu's choice
        QVERIFY(!tf.Scheme().ShowNumbers);
    }

    void closeProjectDisablesEditingUntilNewProject()
    {
        Session session;
        const QString path = session.CopyExample("office-floor.stm", "office.stm");
        TF& tf = session.Start(path);
        session.Action("no1")->trigger();
        QVERIFY(session.Prompts().Questions.isEmpty());  // nothing unsaved
        QVERIFY(!tf.Scheme().Opened);
        for (const char* name : kProjectCommands) QVERIFY2(!session.Enabled(name), name);
        QVERIFY(!session.Enabled("TBUndo") && !session.Enabled("TBRendo"));
        QVERIFY(FloorEntries(tf).isEmpty());
        QVERIFY(tf.findChild<QScrollArea*>("ScrollBox1")->isHidden());
        QCOMPARE(tf.windowTitle(), kTitle + " (" + path + ")");
        for (const char* name : {"N2", "N3", "TBNew", "TBOpen", "MMParams", "N11", "N12", "N6"})
            QVERIFY2(session.Enabled(name), name);

        session.Action("TBNew")->trigger();
        for (const char* name : kProjectCommands) QVERIFY2(session.Enabled(name), name);
        QVERIFY(!tf.findChild<QScrollArea*>("ScrollBox1")->isHidden());
        QCOMPARE(tf.windowTitle(), kTitle + " (Новый)");
    }

    void undoAndRedoFollowTheHistory()
    {
        Session session;
        TF& tf = session.Start();
        AddJunction(tf);
        AddJunction(tf);
        QVERIFY(session.Enabled("TBUndo") && session.Enabled("Nundo"));
        QVERIFY(!session.Enabled("TBRendo") && !session.Enabled("Nrendo"));
        QCOMPARE(session.Panel(2), QString("Узлов 2"));

        session.Action("Nundo")->trigger();  // back to the state after the first edit
        QCOMPARE(NodeCount(tf.Scheme()), 1);
        QCOMPARE(session.Panel(2), QString("Узлов 1"));
        QVERIFY(session.Enabled("TBRendo") && session.Enabled("Nrendo"));
        session.Action("TBUndo")->trigger();  // back to the empty project
        QCOMPARE(NodeCount(tf.Scheme()), 0);
        QVERIFY(!session.Enabled("TBUndo") && !session.Enabled("Nundo"));
        session.Action("TBRendo")->trigger();
        QCOMPARE(NodeCount(tf.Scheme()), 1);
        session.Action("TBRendo")->trigger();  // the last edit comes back too
        QCOMPARE(NodeCount(tf.Scheme()), 2);
        QVERIFY(!session.Enabled("TBRendo") && !session.Enabled("Nrendo"));
        QVERIFY(session.Enabled("TBUndo"));

        session.Prompts().Answers = {Answer::No};
        session.Action("N2")->trigger();
        QVERIFY(!session.Enabled("TBUndo") && !session.Enabled("Nundo"));
    }

    // Help used to do nothing at all when the desktop had no program for
    // PDF documents.
    void helpSaysWhyItDoesNotOpen()
    {
        Session session;
        session.Start();
        const QString help = QCoreApplication::applicationDirPath() + "/help.pdf";
        QFile::remove(help);
        session.Action("N11")->trigger();
        QCOMPARE(session.Prompts().Warnings,
                 QStringList{"Не найден файл справки \"" + help + "\". Переустановите программу."});

        session.WriteFile(help, "%PDF-1.4");
        session.Prompts().Warnings.clear();
        session.Prompts().OpenSucceeds = false;
        session.Prompts().Answers = {Answer::Yes};
        session.Prompts().PdfName = session.File("справка.pdf");
        session.Action("TBXItemHelp")->trigger();
        QCOMPARE(session.Prompts().Opened, QStringList{help});
        QCOMPARE(session.Prompts().Questions,
                 QStringList{"Не удалось открыть справку \"" + help +
                             "\": не найдена программа для просмотра документов PDF.\nСохранить справку в другом месте?"});
        QFile copy(session.File("справка.pdf"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("%PDF-1.4"));
        QVERIFY(session.Prompts().Warnings.isEmpty());
        session.Prompts().OpenSucceeds = true;
        session.Prompts().Warnings.clear();
        session.Action("N11")->trigger();
        QVERIFY(session.Prompts().Warnings.isEmpty());
        QFile::remove(help);
    }

    void undoRebuildsFloorListKeepingTheEntry()
    {
        Session session;
        TF& tf = session.Start(session.CopyExample("school-wing.stm", "school.stm"));
        tf.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);
        QCOMPARE(int(tf.Scheme().ActiveEtag), 2);
        SchemeEdit(tf, "правка").Scheme().EtagCount = 3;
        SchemeEdit(tf, "правка").Scheme().EtagCount = 4;

        session.Action("Nundo")->trigger();
        QCOMPARE(FloorEntries(tf), (QStringList{"Этаж №1", "Этаж №2", "Этаж №3"}));
        QCOMPARE(FloorIndex(tf), 1);
        session.Action("Nundo")->trigger();
        QCOMPARE(FloorEntries(tf), (QStringList{"Этаж №1", "Этаж №2"}));
        QCOMPARE(FloorIndex(tf), 1);
        QCOMPARE(int(tf.Scheme().ActiveEtag), 2);
        QCOMPARE(session.Panel(4), QString("Этажей 2"));
    }

    void numberingInCreationOrderIsAnEdit()
    {
        Session session;
        TF& tf = session.Start(session.CopyExample("school-wing.stm", "school.stm"));
        session.Action("TBXItem1")->trigger();
        for (int i = 1; i <= NodeCount(tf.Scheme()); ++i)
            QCOMPARE(tf.Scheme().Nodes[i].Name, std::to_string(i));
        QVERIFY(tf.Scheme().Modified);
        QCOMPARE(session.Panel(1), QString("Изменено"));
        session.Action("Nundo")->trigger();
        QCOMPARE(tf.Scheme().Nodes[1].Name, std::string("201"));
    }

    void droppedProjectOpensWhateverTheCaseOfItsExtension()
    {
        Session session;
        TF& tf = session.Start();
        const QString project = session.CopyExample("office-floor.stm", "OFFICE.STM");
        const QString picture = SavePicture(session.File("plan.png"), 40, 30);
        session.Prompts().Answers = {Answer::No};  // the new project is not kept
        Drop(tf, {project, picture});
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), project);
        QCOMPARE(tf.windowTitle(), kTitle + " (" + project + ")");
        QVERIFY(!tf.Scheme().Modified);
        QVERIFY(!tf.Scheme().Backgrounds[tf.Scheme().ActiveEtag]);  // only the first file counts
    }

    void droppedPictureBecomesFloorBackground()
    {
        Session session;
        TF& tf = session.Start();
        const QString picture = SavePicture(session.File("plan.PNG"), 40, 30);
        Drop(tf, {picture, session.CopyExample("office-floor.stm", "office.stm")});
        const BitmapRef background = tf.Scheme().Backgrounds[1];
        QVERIFY(background);
        QCOMPARE(background->Width, 40);
        QCOMPARE(background->Height, 30);
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), QString("Новый"));

        // A picture that cannot be read is reported and the old one stays.
        const QString broken = session.File("broken.png");
        session.WriteFile(broken, "not a picture");
        Drop(tf, {broken});
        QCOMPARE(session.Prompts().Warnings.size(), 1);
        QCOMPARE(tf.Scheme().Backgrounds[1], background);
    }

    void largePictureShrinksOnlyWhenTheUserAgrees()
    {
        Session session;
        TF& tf = session.Start();  // canvas 2000 × 2000
        const QString picture = SavePicture(session.File("wide.png"), 3000, 1000);
        session.Prompts().Answers = {Answer::Yes, Answer::No};
        tf.LoadBackground(picture);
        QCOMPARE(tf.Scheme().Backgrounds[1]->Width, 2000);
        QCOMPARE(tf.Scheme().Backgrounds[1]->Height, 667);
        tf.LoadBackground(picture);
        QCOMPARE(tf.Scheme().Backgrounds[1]->Width, 3000);
        QCOMPARE(session.Prompts().Questions.size(), 2);
        QCOMPARE(session.Prompts().Questions[0],
                 QString("Размер изображения превышает размер рабочей области\nуменьшить изображение?"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
