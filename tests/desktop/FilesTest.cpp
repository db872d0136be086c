// Files in the desktop program: every background it accepts is read back
// with the project, pipes never make it wait, and a calculation whose
// values overflow is refused in the calculation dialog.

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <sys/stat.h>

#include "MainWindowFixture.h"
#include "calc/FlowCalculation.h"
#include "calc/ResultCheck.h"
#include "dialogs/CalculationDialog.h"
#include "model/PictureFile.h"
#include "model/ProjectFile.h"
#include "tests/TestSchemes.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

const QString kShrinkQuestion = "Размер изображения превышает размер рабочей области\nуменьшить изображение?";
const QString kNotRegular = "это не обычный файл (устройство, канал или сокет)";

QString Picture(const QString& path, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(path);
    return path;
}

QSize SizeOf(const BitmapRef& b) { return b ? QSize(b->Width, b->Height) : QSize(); }

bool MakeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }

}  // namespace

class FilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_;

private slots:
    void initTestCase()
    {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    }

    // A picture wider than the project's picture file holds was kept when
    // the user did not shrink it, saved, and refused when the project was
    // opened again.
    void backgroundAboveTheLimitIsShrunkOrRefused_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("yes") << int(Answer::Yes) << true;
        QTest::newRow("no") << int(Answer::No) << false;
        QTest::newRow("cancel") << int(Answer::Cancel) << false;
    }

    void backgroundAboveTheLimitIsShrunkOrRefused()
    {
        QFETCH(int, answer);
        QFETCH(bool, loaded);
        Session session;
        TF& tf = session.Start();  // canvas 2000 × 2000
        tf.LoadBackground(Picture(session.File("small.png"), 40, 30));
        const BitmapRef before = tf.Scheme().Backgrounds[1];
        const QString wide = Picture(session.File("wide.png"), kMaxPictureSide + 1, 2);
        session.Prompts().Answers = {Answer(answer)};
        tf.LoadBackground(wide);
        QCOMPARE(session.Prompts().Questions, QStringList{kShrinkQuestion});
        if (loaded) {
            QCOMPARE(SizeOf(tf.Scheme().Backgrounds[1]), QSize(2000, 1));
            QVERIFY(session.Prompts().Warnings.isEmpty());
            return;
        }
        QCOMPARE(tf.Scheme().Backgrounds[1], before);
        QCOMPARE(session.Prompts().Warnings,
                 QStringList{QString("Изображение \"%1\" (30001 × 2 точек) не загружено: в файле проекта можно "
                                     "сохранить изображение не больше 30000 точек по каждой стороне. Уменьшите "
                                     "изображение при загрузке.")
                                 .arg(wide)});
    }

    void backgroundAtTheLimitIsReadBackWithTheProject()
    {
        Session session;
        TF& tf = session.Start();
        session.Prompts().Answers = {Answer::No, Answer::Yes};
        tf.LoadBackground(Picture(session.File("wide.png"), kMaxPictureSide, 2));
        session.Action("TBAddEtag")->trigger();
        tf.Scheme().ActiveEtag = 2;
        tf.LoadBackground(Picture(session.File("tall.png"), 3, kMaxPictureSide + 500));
        QCOMPARE(SizeOf(tf.Scheme().Backgrounds[1]), QSize(kMaxPictureSide, 2));
        QCOMPARE(SizeOf(tf.Scheme().Backgrounds[2]), QSize(1, 2000));

        const QString path = session.File("plan.stm");
        session.Prompts().SaveNames = {path};
        session.Action("N4")->trigger();
        QVERIFY(session.Prompts().Warnings.isEmpty());
        const ProjectReadResult read = ReadProjectFile(path.toStdString());
        QVERIFY(read.Scheme);
        QCOMPARE(read.Warnings.size(), std::size_t(0));
        QCOMPARE(SizeOf(read.Scheme->Backgrounds[1]), QSize(kMaxPictureSide, 2));
        QCOMPARE(SizeOf(read.Scheme->Backgrounds[2]), QSize(1, 2000));
    }

    // A pipe in place of a picture or of the project made the program wait
    // forever for data.
    void pipesAreReportedNotWaitedFor()
    {
        Session session;
        const QString project = session.CopyExample("office-floor.stm", "plan.stm");
        QVERIFY(MakeFifo(session.File("plan.im1")));
        TF& tf = session.Start(project);
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), project);
        QVERIFY(!tf.Scheme().Backgrounds[1]);
        QCOMPARE(session.Prompts().Warnings,
                 QStringList{"Не удалось загрузить фон этажа №1 из файла \"" + session.File("plan.im1") +
                             "\": " + kNotRegular + "."});

        const QString fifoProject = session.File("fifo.stm");
        QVERIFY(MakeFifo(fifoProject));
        session.Prompts().OpenName = fifoProject;
        session.Action("N3")->trigger();
        QCOMPARE(QString::fromStdString(tf.Scheme().FileName), project);
        QCOMPARE(session.Prompts().Warnings.value(1),
                 "Не удалось прочитать файл \"" + fifoProject + "\": " + kNotRegular + ".");

        const QString fifoPicture = session.File("fifo.png");
        QVERIFY(MakeFifo(fifoPicture));
        session.Prompts().PictureName = fifoPicture;
        session.Action("TBLoadIm")->trigger();
        QVERIFY(!tf.Scheme().Backgrounds[1]);
        QCOMPARE(session.Prompts().Warnings.value(2),
                 "Не удалось загрузить изображение \"" + fifoPicture + "\": " + kNotRegular + ".");
    }

    // A length of 1e308 passes the checks of the data, and the result
    // "= INF мин." was offered as the evacuation time.
    void overflowingCalculationIsShownAsAFinding()
    {
        TPipeLine scheme = Corridor();
        scheme.Areas[1].Length = 1e308;
        auto prompts = std::make_shared<ScriptedPrompts>();
        TFcalc dialog(scheme, prompts, nullptr, nullptr);
        dialog.show();
        auto* calculate = dialog.findChild<QPushButton*>("btnCalc");
        QVERIFY(calculate->isEnabled());
        calculate->click();

        QVERIFY(dialog.isVisible());
        QVERIFY(!calculate->isEnabled());
        auto* messages = dialog.findChild<QPlainTextEdit*>("ProcCalc");
        // The scheme itself keeps no results of a failed calculation.
        TPipeLine calculated = scheme;
        Calculate(calculated, ',');
        QCOMPARE(messages->toPlainText(), QString::fromStdString(*CheckResults(calculated)));
        QVERIFY(!CheckResults(scheme));
        QVERIFY(messages->toPlainText().contains("на участке №1-2"));
        QCOMPARE(messages->palette().color(QPalette::Text), QColor(0xFF, 0, 0));
        QVERIFY(prompts->Captions.isEmpty());
        QVERIFY(prompts->Questions.isEmpty());
        QVERIFY(prompts->Opened.isEmpty());
    }
};

QTEST_MAIN(FilesTest)
#include "FilesTest.moc"
