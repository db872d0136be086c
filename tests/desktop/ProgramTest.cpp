// The program started as a user starts it: its help without a display,
// and a start without a project that ends by itself after its screenshot.

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    // "stelmar --help" needed a display and then did not know the option.
    void helpNeedsNoDisplay()
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
        program.setProcessEnvironment(env);
        program.start(STELMAR_PROGRAM, {"--help"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QString help = QString::fromUtf8(program.readAllStandardOutput());
        QVERIFY2(help.contains("--no-splash") && help.contains("проект"), qPrintable(help));
        QVERIFY(!help.contains("--screenshot"));
    }

    // A new project nobody touched is no unsaved work: the program quits
    // after its screenshot without asking anything (it used to wait for an
    // answer for ever).
    void screenshotOfANewProjectEnds()
    {
        QTemporaryDir home;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_STATE_HOME", home.path() + "/state");
        program.setProcessEnvironment(env);
        const QString shot = home.path() + "/shot.png";
        program.start(STELMAR_PROGRAM, {"--no-splash", "--screenshot", shot});
        const bool ended = program.waitForFinished(60000);
        if (!ended) program.kill();
        QVERIFY(ended);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QImage(shot).width() > 0);
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "ProgramTest.moc"
