// Recovery copies in the running program: a program killed after an edit
// leaves a copy that the next start offers and restores; a running program's
// copy is never offered; saving, "Нет" at the save question and a clean end
// remove the copy; a copy put off is offered again, a deleted one is gone.
//
// The killed program is this test binary started again with --edit-and-wait.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "editor/RecoveryCopies.h"
#include "model/ProjectFile.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

constexpr const char* kChildMode = "--edit-and-wait";

bool HasCopy(TF& tf) { return QFileInfo::exists(tf.Recovery().Folder() + "copy.info"); }

// Starts the program on `project` with copies written at once.
TF& StartQuickly(Session& session, const QString& project)
{
    TF& tf = session.Start(project);
    tf.Recovery().SetTimes(10, 20);
    return tf;
}

void AddJunctionAt(TF& tf, int x, int y)
{
    CanvasDriver driver(tf);
    driver.Use("TBNode");
    driver.Click(x, y);
}

// The child: opens the project, adds a junction with the mouse, waits
// until the copy is on disk, says so and waits to be killed.
int EditAndWait(const QString& project)
{
    Session session;
    qputenv("XDG_STATE_HOME", qgetenv("STELMAR_TEST_STATE"));
    TF& tf = StartQuickly(session, project);
    AddJunctionAt(tf, 302, 302);
    if (!QTest::qWaitFor([&] { return HasCopy(tf); }, 10000)) return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    QTest::qWait(60000);
    return 2;
}

// Runs the child on `project` with the recovery folder under `state`,
// waits until its copy is written and kills it.
bool KilledAfterAnEdit(const QString& project, const QString& state)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("STELMAR_TEST_STATE", state);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {kChildMode, project});
    QByteArray said;
    while (!said.contains("ready") && child.waitForReadyRead(20000)) said += child.readAllStandardOutput();
    if (!said.contains("ready")) {
        qWarning("the child did not write its copy: %s", said.constData());
        return false;
    }
    child.kill();  // SIGKILL: no chance to clean up
    return child.waitForFinished();
}

}  // namespace

class RecoveryTest : public QObject {
    Q_OBJECT

    QTemporaryDir state_;
    QTemporaryDir files_;
    QString project_;

    // A session sharing this test's recovery folder.
    std::unique_ptr<Session> NewSession()
    {
        auto session = std::make_unique<Session>();
        qputenv("XDG_STATE_HOME", state_.path().toUtf8());
        return session;
    }

    QStringList Slots() const
    {
        return QDir(state_.path() + "/stelmar/recovery").entryList({"slot-*"}, QDir::Dirs);
    }

private slots:
    void init()
    {
        QVERIFY(state_.isValid() && files_.isValid());
        QDir(state_.path()).removeRecursively();
        QDir().mkpath(state_.path());
        project_ = files_.path() + "/коридор.stm";
        QVERIFY(!SaveProjectFile(Corridor(), project_.toStdString(), ','));
    }

    void killedProgramLeavesACopyThatTheNextStartRestores()
    {
        QVERIFY(KilledAfterAnEdit(project_, state_.path()));
        QCOMPARE(Slots().size(), 1);

        auto session = NewSession();
        session->Prompts().RecoveryChoices = {RecoveryChoice::Restore};
        TF& tf = session->Start();
        QCOMPARE(session->Prompts().Questions.size(), 1);
        QVERIFY2(session->Prompts().Questions[0].contains(project_), qPrintable(session->Prompts().Questions[0]));
        QCOMPARE(NodeCount(tf.Scheme()), 4);
        QCOMPARE(tf.Scheme().Nodes[4].X, 302);
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), project_);
        QCOMPARE(session->Panel(1), QString("Изменено"));
        QVERIFY(tf.windowTitle().contains(project_));
        // The left copy goes once this program's own copy holds the work.
        QTRY_COMPARE(Slots().size(), 1);
        QTRY_VERIFY(HasCopy(tf));

        // "Сохранить" writes to the original file without asking for a name.
        session->Action("TBSave")->trigger();
        QCOMPARE(session->Prompts().SaveDialogs, 0);
        QCOMPARE(NodeCount(*ReadProjectFile(project_.toStdString()).Scheme), 4);
        QVERIFY(!HasCopy(tf));
    }

    void aRunningProgramsCopyIsNotOffered()
    {
        auto first = NewSession();
        TF& tf = StartQuickly(*first, project_);
        AddJunctionAt(tf, 302, 302);
        QTRY_VERIFY(HasCopy(tf));

        auto second = NewSession();
        second->Start();
        QVERIFY(second->Prompts().Questions.isEmpty());
    }

    void saveAndDiscardRemoveTheCopy()
    {
        auto session = NewSession();
        TF& tf = StartQuickly(*session, project_);
        AddJunctionAt(tf, 302, 302);
        QTRY_VERIFY(HasCopy(tf));
        session->Action("TBSave")->trigger();
        QVERIFY(!HasCopy(tf));

        AddJunctionAt(tf, 402, 302);
        QTRY_VERIFY(HasCopy(tf));
        session->Prompts().Answers = {Answer::No};
        session->Action("TBNew")->trigger();
        QVERIFY(!HasCopy(tf));
        QTest::qWait(50);
        QVERIFY(!HasCopy(tf));  // an empty new project gets no copy

        // Undo back to the saved state needs no copy either.
        // A drawing in the new project is worth a copy.
        AddJunctionAt(tf, 402, 302);
        QTRY_VERIFY(HasCopy(tf));
        session->Prompts().Answers = {Answer::No};
        QVERIFY(tf.OpenProject(project_));
        QVERIFY(!HasCopy(tf));
        AddJunctionAt(tf, 402, 402);
        QTRY_VERIFY(HasCopy(tf));
        QTest::keyClick(&tf, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(session->Panel(1), QString("Сохранено"));
        QVERIFY(!HasCopy(tf));
    }

    void aCleanEndRemovesTheSlot()
    {
        {
            auto session = NewSession();
            TF& tf = StartQuickly(*session, project_);
            AddJunctionAt(tf, 302, 302);
            QTRY_VERIFY(HasCopy(tf));
        }
        QVERIFY(Slots().isEmpty());
    }

    // A copy put off is offered at every start until it is deleted.
    void laterKeepsTheCopyAndDeleteRemovesIt()
    {
        QVERIFY(KilledAfterAnEdit(project_, state_.path()));

        for (RecoveryChoice choice : {RecoveryChoice::Later, RecoveryChoice::Discard}) {
            auto session = NewSession();
            session->Prompts().RecoveryChoices = {choice};
            TF& tf = session->Start();
            QCOMPARE(session->Prompts().Questions.size(), 1);
            QCOMPARE(NodeCount(tf.Scheme()), 0);
        }
        auto last = NewSession();
        last->Start();
        QVERIFY(last->Prompts().Questions.isEmpty());
        QVERIFY(Slots().size() == 1);  // only the slot of the running program
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kChildMode) == 0) return EditAndWait(QString::fromLocal8Bit(argv[2]));
    RecoveryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RecoveryTest.moc"
