// PDF plans brought in through the real window: the page chosen among
// thumbnails, the plan placed to fit the canvas with the floor's scale,
// shown from its vector renders at the zoom, kept as a copy beside the
// project with a floor picture of it for earlier readers, one undo step,
// and files that cannot be drawn reported by name and reason.

#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <atomic>

#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "PlanPdfs.h"
#include "dialogs/BackgroundWork.h"
#include "dialogs/PlanPageDialog.h"
#include "dialogs/PlanPlacementDialog.h"
#include "drawing/PlanTiles.h"
#include "editor/CanvasWidget.h"
#include "model/PictureFile.h"
#include "plans/PlanFiles.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

bool Dark(QRgb pixel) { return qGray(pixel) < 100; }

QRgb At(const Bitmap& b, int x, int y) { return b.Pixels[std::size_t(y) * b.Width + x]; }

// Chooses page `page` and accepts the placement dialog as it stands.
void ChoosePageAndPlace(int page, int* pagesShown)
{
    OnModal<PlanPageDialog>([page, pagesShown](PlanPageDialog* dialog) {
        auto* pages = dialog->findChild<QListWidget*>("PlanPages");
        *pagesShown = pages->count();
        pages->setCurrentRow(page - 1);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        OnModal<PlanPlacementDialog>([](PlanPlacementDialog* placement) {
            placement->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
    });
}

}  // namespace

class PlanImportTest : public QObject {
    Q_OBJECT

private slots:
    void aPdfPageBecomesTheFloorsPlanToScale()
    {
        Session session;
        TF& tf = session.Start();
        const TPipeLine& s = tf.Scheme();
        const QByteArray pdf = PlanPdf(3);
        const QString path = session.File("Этаж 1.pdf");
        session.WriteFile(path, pdf);

        int pagesShown = 0;
        ChoosePageAndPlace(3, &pagesShown);
        tf.LoadBackground(path);
        QCOMPARE(pagesShown, 3);
        QVERIFY(session.Prompts().Warnings.isEmpty());
        const TFloorPlan& plan = s.Plans[1];
        QVERIFY(plan.Source && plan.Source->Bytes == pdf.toStdString());
        QCOMPARE(plan.SourceName, std::string("Этаж 1.pdf"));
        QCOMPARE(plan.Page, 3);
        // 600 points at 1:100 are 21.17 m: 94.4 pixels per metre fit the
        // 2000-pixel canvas.
        QCOMPARE(plan.Scale, 1 / 94.4);
        QCOMPARE(plan.PixelsPerUnit, 94.4 * 100 * 0.0254 / 72);
        QCOMPARE(plan.OriginX, 0.0);
        const BitmapRef picture = s.Backgrounds[1];
        QVERIFY(picture);
        QCOMPARE(picture->Width, 1999);
        QVERIFY(Dark(At(*picture, 999, 666)));   // the 30-point square of page 3
        QVERIFY(Dark(At(*picture, 999, 666 + 45)));
        QVERIFY(!Dark(At(*picture, 999, 666 + 55)));

        // On the screen at 800 % the plan is its vector render at that zoom.
        tf.ZoomTo(8, QPointF(0, 0));
        auto* canvas = tf.findChild<CanvasWidget*>("img");
        PlanTiles* tiles = canvas->Backgrounds().Plan();
        QVERIFY(tiles);
        for (const double zoom : {8.0, 5.96}) {
            tf.ZoomTo(zoom, QPointF(0, 0));
            tiles->WaitIdle();
            QTest::qWait(50);
            const QImage render = tiles->Picture()->Render(plan.PixelsPerUnit * zoom, QRect(0, 0, 300, 300));
            int differing = 0;  // beyond the antialiasing of edges rendered in other parts
            for (int y = 0; y < render.height(); ++y)
                for (int x = 0; x < render.width(); ++x)
                    differing += std::abs(qGray(canvas->Image().pixel(x, y)) - qGray(render.pixel(x, y))) > 40;
            QCOMPARE(differing, 0);
        }

        // Saved: the file's copy and the floor's picture beside the project.
        session.Prompts().SaveNames << session.File("school.stm");
        QVERIFY(tf.SaveAsCommand());
        QFile copy(session.File("school.pl1.pdf"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), pdf);
        ProjectReadResult read = ReadProjectFile(session.File("school.stm").toStdString());
        QVERIFY(read.Scheme);
        QCOMPARE(read.Scheme->Plans[1].Page, 3);
        QVERIFY(read.Scheme->Backgrounds[1]);
        QCOMPARE(read.Scheme->Backgrounds[1]->Pixels, picture->Pixels);

        // Placing the plan was one step: undone, the floor is bare again.
        QTest::keyClick(&tf, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!s.Plans[1].Source);
        QVERIFY(!s.Backgrounds[1]);
        QCOMPARE(s.Plans[1].Scale, 0.0);

        // Opened again, the floor has its plan, not only its picture.
        session.Prompts().Answers << Answer::No;  // the undone change is not saved
        QVERIFY(tf.OpenProject(session.File("school.stm")));
        QVERIFY(s.Plans[1].Source && s.Plans[1].Source->Bytes == pdf.toStdString());
        QCOMPARE(s.Plans[1].Page, 3);
    }

    // The dialog is there before any thumbnail is rendered, shows each as
    // it arrives, and a page chosen early stops the rendering of the rest.
    void thePageChoiceOpensAtOnceAndFillsInItsThumbnails()
    {
        Session session;
        TF& tf = session.Start();
        PlanPageDialog dialog(&tf);
        std::atomic<bool> go = false;
        std::atomic<int> rendered = 0;
        const auto thumbnail = [&go, &rendered](int) {
            while (!go) QThread::msleep(1);
            ++rendered;
            QThread::msleep(20);
            QImage image(160, 100, QImage::Format_RGB32);
            image.fill(Qt::gray);
            return image;
        };
        int shownAtOpen = -1;
        int shownLater = -1;
        OnModal<PlanPageDialog>([&](PlanPageDialog* open) {
            shownAtOpen = open->ThumbnailsShown();
            go = true;
            QTRY_COMPARE_WITH_TIMEOUT(open->ThumbnailsShown(), 3, 5000);
            shownLater = open->ThumbnailsShown();
            open->findChild<QListWidget*>("PlanPages")->setCurrentRow(2);
            open->accept();
        });
        QCOMPARE(dialog.AskPage("план.pdf", 3, thumbnail), std::optional<int>(3));
        QCOMPARE(shownAtOpen, 0);
        QCOMPARE(shownLater, 3);

        go = false;
        rendered = 0;
        OnModal<PlanPageDialog>([&](PlanPageDialog* open) {
            go = true;
            QTRY_VERIFY_WITH_TIMEOUT(open->ThumbnailsShown() >= 1, 5000);
            open->accept();
        });
        QCOMPARE(dialog.AskPage("план.pdf", 200, thumbnail), std::optional<int>(1));
        QTest::qWait(200);
        const int stoppedAt = rendered;
        QTest::qWait(200);
        QCOMPARE(rendered.load(), stoppedAt);
        QVERIFY2(stoppedAt < 20, qPrintable(QString::number(stoppedAt)));
    }

    // The window goes on handling its events while a plan's floor picture
    // is rendered and while the plans of a project it opens are read.
    void plansAreReadWhileTheWindowGoesOn()
    {
        Session session;
        TF& tf = session.Start();
        const QString path = session.File("план.pdf");
        session.WriteFile(path, PlanPdf(1));
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(0);
        OnModal<PlanPlacementDialog>([&ticks](PlanPlacementDialog* placement) {
            ticks = 0;
            placement->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        tf.LoadBackground(path);
        QVERIFY(tf.Scheme().Plans[1].Source && tf.Scheme().Backgrounds[1]);
        QVERIFY(ticks > 0);

        session.Prompts().SaveNames << session.File("school.stm");
        QVERIFY(tf.SaveAsCommand());
        tf.CloseProject();
        ticks = 0;
        QVERIFY(tf.OpenProject(session.File("school.stm")));
        QVERIFY(ticks > 0);
        QVERIFY(session.Prompts().Warnings.isEmpty());
        auto* canvas = tf.findChild<CanvasWidget*>("img");
        QVERIFY(canvas->Backgrounds().Plan());  // opened already for the screen
    }

    // Work that lasts shows its box; a cancel returns at once, nothing
    // taken, while the work runs to its end on its own.
    void aLongWaitShowsItsBoxAndCanBeCancelled()
    {
        Session session;
        TF& tf = session.Start();
        auto release = std::make_shared<std::atomic<bool>>(false);
        auto finished = std::make_shared<std::atomic<bool>>(false);
        QString text;
        OnModal<QProgressDialog>([&text](QProgressDialog* box) {
            text = box->labelText();
            box->findChild<QPushButton*>()->click();
        });
        const std::optional<int> result = WorkInBackground<int>(
            &tf, "Чтение плана \"план.pdf\"...",
            [release, finished] {
                while (!*release) QThread::msleep(1);
                *finished = true;
                return 1;
            });
        QVERIFY(!result);
        QCOMPARE(text, QString("Чтение плана \"план.pdf\"..."));
        QVERIFY(!*finished);
        *release = true;
        QTRY_VERIFY(*finished);
        QVERIFY(!QApplication::activeModalWidget());

        // Quick work passes unseen.
        QCOMPARE(WorkInBackground<int>(&tf, "—", [] { return 2; }), std::optional<int>(2));
    }

    void filesThatCannotBeDrawnAreReportedByName()
    {
        Session session;
        TF& tf = session.Start();
        const QString damaged = session.File("план.pdf");
        session.WriteFile(damaged, "%PDF-1.7\n1 0 obj broken");
        tf.LoadBackground(damaged);
        QCOMPARE(session.Prompts().Warnings,
                 QStringList{PlanFailureText(damaged, "файл поврежден или не является документом PDF")});
        const QString empty = session.File("пусто.pdf");
        session.WriteFile(empty, "");
        tf.LoadBackground(empty);
        QCOMPARE(session.Prompts().Warnings.last(), PlanFailureText(empty, "файл пуст"));
        QVERIFY(!tf.Scheme().Plans[1].Source);
        QVERIFY(!tf.Scheme().Backgrounds[1]);
        QVERIFY(!session.Enabled("TBUndo"));
    }
};

QTEST_MAIN(PlanImportTest)
#include "PlanImportTest.moc"
