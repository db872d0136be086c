// The project commands of the main window: the save questions of "Создать",
// "Закрыть" and closing the window with every answer, opening (also a file
// that cannot be read), saving, and the recent-files menu.

#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "editor/SchemeEdit.h"
#include "model/RecentFiles.h"
#include "model/SchemeEditing.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

const QString kTitle = "Stelmar: расчет времени эвакуации";
const QString kNewQuestion = "Возможно перед созданием нового проекта\nвы хотите сохранить старый?";
const QString kCloseQuestion = "Возможно перед закрытием\nвы хотите сохранить работу?";
const QString kExitQuestion = "Возможно перед закрытием приложения\nвы хотите сохранить работу?";

// A new project with one junction, not yet saved.
TF& StartWithUnsavedWork(Session& session)
{
    TF& tf = session.Start();
    const SchemeEdit edit(tf, "правка");
    AddNode(tf.Scheme(), kJunction);
    return tf;
}

QStringList MenuTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) texts << action->text();
    return texts;
}

}  // namespace

class ProjectCommandsTest : public QObject {
    Q_OBJECT

private:
    // The answers and what follows from them, shared by the three commands
    // that ask before the work is dropped.
    void addAnswerRows()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("dialogConfirmed");  // the save dialog returns a name
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("saved");
        QTest::newRow("yes, saved") << int(Answer::Yes) << true << true << true;
        QTest::newRow("yes, save cancelled") << int(Answer::Yes) << false << false << false;
        QTest::newRow("no") << int(Answer::No) << true << true << false;
        QTest::newRow("cancel") << int(Answer::Cancel) << true << false << false;
    }

    static QString SaveName(Session& session) { return session.File("kept.stm"); }

    void answer(Session& session)
    {
        QFETCH(int, answer);
        QFETCH(bool, dialogConfirmed);
        session.Prompts().Answers = {Answer(answer)};
        session.Prompts().SaveNames = {dialogConfirmed ? SaveName(session) : QString()};
    }

private slots:
    void newProjectAsksAboutUnsavedWork_data() { addAnswerRows(); }
    void newProjectAsksAboutUnsavedWork()
    {
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        QFETCH(int, answer);
        Session session;
        TF& tf = StartWithUnsavedWork(session);
        this->answer(session);
        session.Action("N2")->trigger();
        QCOMPARE(session.Prompts().Questions, QStringList{kNewQuestion});
        QCOMPARE(session.Prompts().SaveDialogs, answer == int(Answer::Yes) ? 1 : 0);
        QCOMPARE(QFileInfo::exists(SaveName(session)), saved);
        QCOMPARE(NodeCount(tf.Scheme()), goesOn ? 0 : 1);
        QCOMPARE(tf.Scheme().Modified, !goesOn);  // the new project has nothing to lose
        QCOMPARE(tf.windowTitle(), kTitle + " (Новый)");
    }

    void newProjectOverSavedWorkAsksNothing()
    {
        Session session;
        TF& tf = session.Start(session.CopyExample("office-floor.stm", "office.stm"));
        session.Action("TBNew")->trigger();
        QVERIFY(session.Prompts().Questions.isEmpty());
        QCOMPARE(NodeCount(tf.Scheme()), 0);
        QCOMPARE(session.Panel(1), QString("Сохранено"));
    }

    // A new project that nobody has touched holds nothing to lose: another
    // new project, an opened file and closing the window ask nothing. Undo
    // back to it makes it untouched again.
    void untouchedNewProjectAsksNothing()
    {
        Session session;
        TF& tf = session.Start();
        QVERIFY(!tf.Scheme().Modified);
        QTest::keyClick(&tf, Qt::Key_N, Qt::ControlModifier);
        session.Prompts().OpenName = session.CopyExample("office-floor.stm", "office.stm");
        QTest::keyClick(&tf, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(tf.windowTitle(), kTitle + " (" + session.Prompts().OpenName + ")");
        QTest::keyClick(&tf, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(NodeCount(tf.Scheme()), 0);
        {
            const SchemeEdit edit(tf, "правка");
            AddNode(tf.Scheme(), kJunction);
        }
        QCOMPARE(session.Panel(1), QString("Изменено"));
        QTest::keyClick(&tf, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session.Panel(1), QString("Сохранено"));
        QVERIFY(tf.close());
        QCOMPARE(session.Prompts().Questions, QStringList{});
    }

    void closeProjectAsksAboutUnsavedWork_data() { addAnswerRows(); }
    void closeProjectAsksAboutUnsavedWork()
    {
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        Session session;
        TF& tf = StartWithUnsavedWork(session);
        answer(session);
        session.Action("no1")->trigger();
        QCOMPARE(session.Prompts().Questions, QStringList{kCloseQuestion});
        QCOMPARE(QFileInfo::exists(SaveName(session)), saved);
        QCOMPARE(tf.Scheme().Opened, !goesOn);
        QCOMPARE(session.Enabled("TBSave"), !goesOn);
        QCOMPARE(NodeCount(tf.Scheme()), 1);  // a closed project stays in memory
        QCOMPARE(tf.windowTitle(), kTitle + " (" + (saved ? SaveName(session) : "Новый") + ")");
    }

    void closingWindowAsksAndAlwaysWritesSettings_data() { addAnswerRows(); }
    void closingWindowAsksAndAlwaysWritesSettings()
    {
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        Session session;
        TF& tf = StartWithUnsavedWork(session);
        answer(session);
        QCOMPARE(tf.close(), goesOn);
        QCOMPARE(session.Prompts().Questions, QStringList{kExitQuestion});
        QCOMPARE(QFileInfo::exists(SaveName(session)), saved);
        QCOMPARE(tf.isVisible(), !goesOn);
        QVERIFY(QFileInfo::exists(session.ConfigFile("settings.ini")));
    }

    void closingWindowWithoutUnsavedWorkAsksNothing()
    {
        Session session;
        TF& tf = session.Start(session.CopyExample("office-floor.stm", "office.stm"));
        QVERIFY(tf.close());
        QVERIFY(session.Prompts().Questions.isEmpty());
        QVERIFY(QFileInfo::exists(session.ConfigFile("settings.ini")));
    }

    void unreadableFileLeavesProjectAsItWas()
    {
        Session session;
        const QString good = session.CopyExample("school-wing.stm", "school.stm");
        TF& tf = session.Start(good);
        session.Action("TBXItem1")->trigger();  // unsaved work
        const QString broken = session.File("broken.stm");
        session.WriteFile(broken, "v4\r\nКоличество узлов:\r\n2\r\nКоличество участков:\r\n");
        session.Prompts().OpenName = broken;
        session.Action("N3")->trigger();

        QCOMPARE(session.Prompts().Warnings.size(), 1);
        QVERIFY(session.Prompts().Warnings[0].contains("broken.stm"));
        QVERIFY(session.Prompts().Questions.isEmpty());  // nothing to save: nothing is replaced
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), good);
        QCOMPARE(NodeCount(tf.Scheme()), 27);
        QCOMPARE(tf.Scheme().Nodes[5].Name, std::string("5"));
        QVERIFY(tf.Scheme().Modified);
        QCOMPARE(tf.windowTitle(), kTitle + " (" + good + ")");
        QCOMPARE(session.Panel(1), QString("Изменено"));

        // A missing file is reported the same way.
        session.Prompts().OpenName = session.File("missing.stm");
        session.Action("TBOpen")->trigger();
        QCOMPARE(session.Prompts().Warnings.size(), 2);
        QCOMPARE(NodeCount(tf.Scheme()), 27);
    }

    void openingAsksBeforeReplacingUnsavedWork()
    {
        Session session;
        TF& tf = StartWithUnsavedWork(session);
        const QString path = session.CopyExample("office-floor.stm", "office.stm");
        session.Prompts().OpenName = path;
        session.Action("N3")->trigger();  // Cancel
        QCOMPARE(session.Prompts().Questions, QStringList{kNewQuestion});
        QCOMPARE(NodeCount(tf.Scheme()), 1);
        QCOMPARE(tf.windowTitle(), kTitle + " (Новый)");

        session.Prompts().Answers = {Answer::No};
        session.Action("N3")->trigger();
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), path);
        QCOMPARE(tf.windowTitle(), kTitle + " (" + path + ")");
        QCOMPARE(session.Panel(1), QString("Сохранено"));
        QVERIFY(!session.Enabled("TBUndo"));
    }

    void saveAsksForNameOnlyOnce()
    {
        Session session;
        TF& tf = StartWithUnsavedWork(session);
        session.Prompts().SaveNames = {session.File("plan")};
        session.Action("N4")->trigger();
        const QString saved = session.File("plan.stm");  // the extension is added
        QVERIFY(QFileInfo::exists(saved));
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), saved);
        QCOMPARE(tf.windowTitle(), kTitle + " (" + saved + ")");
        QCOMPARE(session.Panel(1), QString("Сохранено"));

        AddNode(tf.Scheme(), kExit);
        session.Action("TBSave")->trigger();
        QCOMPARE(session.Prompts().SaveDialogs, 1);
        QVERIFY(!tf.Scheme().Modified);
        QCOMPARE(QString::fromStdString(ReadRecent(session.ConfigFile("").toStdString())[0]), saved);
    }

    void saveAsAlwaysAsksAndReportsSaved()
    {
        Session session;
        TF& tf = session.Start(session.CopyExample("office-floor.stm", "office.stm"));
        // A name like a picture file of its own project is kept apart.
        session.Prompts().SaveNames = {session.File("copy.im1")};
        session.Action("NSaveAs")->trigger();
        QCOMPARE(session.Prompts().SaveDialogs, 1);
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), session.File("copy.im1.stm"));
        QCOMPARE(session.Panel(0), QString("Сохранено"));
        QCOMPARE(session.Panel(1), QString("Сохранено"));
    }

    void failedSaveKeepsProjectUnsaved()
    {
        Session session;
        TF& tf = StartWithUnsavedWork(session);
        session.Prompts().SaveNames = {session.File("no-such-folder/plan.stm")};
        session.Action("N4")->trigger();
        QCOMPARE(session.Prompts().Warnings.size(), 1);
        QVERIFY(session.Prompts().Warnings[0].startsWith("Ошибка сохранения проекта!"));
        QVERIFY(tf.Scheme().Modified);
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), QString("Новый"));
        QCOMPARE(tf.windowTitle(), kTitle + " (Новый)");
        QCOMPARE(session.Panel(1), QString("Изменено"));
    }

    void recentMenuListsExistingFilesAndOpensThem()
    {
        Session session;
        const QString first = session.CopyExample("office-floor.stm", "first.stm");
        const QString third = session.CopyExample("care-home.stm", "third & last.stm");
        session.WriteConfig("reopen.ini", QString("[PATH]\r\npath_1=%1\r\npath_2=%2\r\npath_3=%3\r\n")
                                              .arg(first, session.File("gone.stm"), third)
                                              .toUtf8());
        TF& tf = session.Start();
        auto* menu = tf.findChild<QMenu*>("N26");
        const QStringList expected{"1 " + first, "2 " + QString(third).replace("&", "&&")};
        QCOMPARE(MenuTexts(menu), expected);
        auto* openButton = tf.findChild<QToolButton*>("TBOpen");
        QCOMPARE(MenuTexts(openButton->menu()), expected);

        session.Prompts().Answers = {Answer::No};
        menu->actions().at(1)->trigger();
        QTRY_COMPARE(QString::fromStdString(tf.Scheme().FileName), third);
        QCOMPARE(tf.windowTitle(), kTitle + " (" + third + ")");
        // Opening puts the file first.
        QCOMPARE(MenuTexts(menu).first(), "1 " + QString(third).replace("&", "&&"));
        QCOMPARE(MenuTexts(menu).size(), 2);
    }
};

QTEST_MAIN(ProjectCommandsTest)
#include "ProjectCommandsTest.moc"
