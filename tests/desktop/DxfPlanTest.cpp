// DXF plans brought in through the real window: the drawing placed to scale
// as the floor's plan with the layers its file switches off hidden, the
// floor's picture rendered from it for earlier readers, the layer panel
// hiding layers in one step, kept through save and reopening beside the
// project; nodes snapping to the plan's crossings and end points however
// they are placed or moved; DWG files refused and drawings without units
// asked about; the example's pictures rendered from its plans.

#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <cmath>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "dialogs/PlanPlacementDialog.h"
#include "model/PictureFile.h"
#include "model/ProjectFile.h"
#include "plans/PlanFiles.h"
#include "plans/DxfReader.h"
#include "tests/plans/DxfFiles.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// Two walls crossing at (5000, 0) on layer "Стены", furniture on a layer
// switched off in the file, and a dimension, which is not drawn.
QByteArray CrossingWalls(int units)
{
    DxfText f;
    f.Header("AC1021", units).Section("TABLES")(0, "TABLE")(2, "LAYER").Layer("Стены", 1).Layer("Мебель", -3);
    f(0, "ENDTAB").End();
    f.Section("ENTITIES").Line(0, 0, 10000, 0, "Стены").Line(5000, -3000, 5000, 3000, "Стены");
    f.Line(100, 100, 200, 200, "Мебель")(0, "DIMENSION")(8, "Стены");
    return QByteArray::fromStdString(f.End().Done());
}

// The same walls and a vault: an arc about (5000, -1000) of radius 2000
// from 0 to 180 degrees, which crosses the long wall at 5000 ± √3·1000.
QByteArray WallsAndVault()
{
    DxfText f;
    f.Header("AC1021", 4).Section("ENTITIES").Line(0, 0, 10000, 0, "Стены").Line(5000, -3000, 5000, 3000, "Стены");
    f(0, "ARC")(8, "Стены")(10, 5000.0)(20, -1000.0)(40, 2000.0)(50, 0.0)(51, 180.0);
    return QByteArray::fromStdString(f.End().Done());
}

// The canvas point of a point of the drawing above (its extent's top-left
// corner is (0, 3000)).
QPoint CanvasOf(const TFloorPlan& plan, double x, double y)
{
    return QPoint(int(std::lround(plan.OriginX + plan.OffsetX + x * plan.PixelsPerUnit)),
                  int(std::lround(plan.OriginY + plan.OffsetY + (3000 - y) * plan.PixelsPerUnit)));
}

// A line passes through pixel `p` or beside it (antialiased, it may share
// its ink between two pixels).
bool Dark(const Bitmap& b, QPoint p)
{
    int least = 255;
    for (int y = p.y() - 1; y <= p.y() + 1; ++y)
        for (int x = p.x() - 1; x <= p.x() + 1; ++x)
            least = std::min(least, qGray(b.Pixels[std::size_t(y) * b.Width + x]));
    return least < 200;
}

void AcceptPlacement()
{
    OnModal<PlanPlacementDialog>([](PlanPlacementDialog* dialog) {
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
}

// Loads the drawing `bytes` as file `name` onto the active floor.
void LoadDrawing(Session& session, TF& tf, const QString& name, const QByteArray& bytes)
{
    const QString path = session.File(name);
    session.WriteFile(path, bytes);
    AcceptPlacement();
    tf.LoadBackground(path);
}

}  // namespace

class DxfPlanTest : public QObject {
    Q_OBJECT

private slots:
    void aDrawingBecomesTheFloorsPlanAndPictureInOneStep()
    {
        Session session;
        TF& tf = session.Start();
        const TPipeLine& s = tf.Scheme();
        LoadDrawing(session, tf, "этаж.dxf", CrossingWalls(4));

        const TFloorPlan& plan = s.Plans[1];
        QVERIFY(plan.Source && plan.Source->Kind == "dxf");
        QCOMPARE(plan.SourceName, std::string("этаж.dxf"));
        QVERIFY(plan.Scale > 0);
        QCOMPARE(plan.PixelsPerUnit * 1000, 1 / plan.Scale);  // millimetres
        QVERIFY(CanvasOf(plan, 10000, 0).x() <= s.WSpaceG);
        QCOMPARE(plan.HiddenLayers, std::vector<std::string>{"Мебель"});
        QCOMPARE(session.Prompts().Warnings,
                 QStringList{"Часть объектов чертежа \"этаж.dxf\" не показана, программа их не рисует: DIMENSION — 1."});

        // The floor's picture is the drawing at 100 %: the walls, not the
        // hidden furniture.
        const BitmapRef picture = s.Backgrounds[1];
        QVERIFY(picture);
        QVERIFY(Dark(*picture, CanvasOf(plan, 5000, 1500)));
        QVERIFY(Dark(*picture, CanvasOf(plan, 2500, 0)));
        QVERIFY(!Dark(*picture, CanvasOf(plan, 2500, 1500)));
        QVERIFY(!Dark(*picture, CanvasOf(plan, 150, 150)));

        // Undone, the floor is bare; redone, it has the plan and its panel.
        auto* dock = tf.findChild<QDockWidget*>("PlanLayersDock");
        QVERIFY(dock->isVisible());
        session.Action("Nundo")->trigger();
        QVERIFY(!s.Plans[1].Source);
        QVERIFY(!s.Backgrounds[1]);
        QCOMPARE(s.Plans[1].Scale, 0.0);
        QVERIFY(!dock->isVisible());
        session.Action("Nrendo")->trigger();
        QVERIFY(s.Plans[1].Source);
        QVERIFY(dock->isVisible());
    }

    void hiddenLayersAreOneStepAndSurviveSaveAndReopening()
    {
        Session session;
        TF& tf = session.Start();
        const TPipeLine& s = tf.Scheme();
        const QByteArray dxf = CrossingWalls(4);
        LoadDrawing(session, tf, "этаж.dxf", dxf);
        const TFloorPlan& plan = s.Plans[1];

        auto* list = tf.findChild<QListWidget*>("PlanLayers");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->findItems("Мебель", Qt::MatchExactly).value(0)->checkState(), Qt::Unchecked);
        list->findItems("Стены", Qt::MatchExactly).value(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(plan.HiddenLayers, (std::vector<std::string>{"Мебель", "Стены"}));
        QVERIFY(!Dark(*s.Backgrounds[1], CanvasOf(plan, 5000, 1500)));  // the picture follows
        session.Action("Nundo")->trigger();
        QCOMPARE(plan.HiddenLayers, std::vector<std::string>{"Мебель"});
        QCOMPARE(list->findItems("Стены", Qt::MatchExactly).value(0)->checkState(), Qt::Checked);
        QVERIFY(Dark(*s.Backgrounds[1], CanvasOf(plan, 5000, 1500)));

        // Walls hidden and furniture shown, saved and opened again.
        list->findItems("Стены", Qt::MatchExactly).value(0)->setCheckState(Qt::Unchecked);
        list->findItems("Мебель", Qt::MatchExactly).value(0)->setCheckState(Qt::Checked);
        session.Prompts().SaveNames << session.File("school.stm");
        QVERIFY(tf.SaveAsCommand());
        QFile copy(session.File("school.pl1.dxf"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), dxf);
        const Bitmap saved = *s.Backgrounds[1];

        QVERIFY(tf.OpenProject(session.File("school.stm")));
        QVERIFY(s.Plans[1].Source && s.Plans[1].Source->Kind == "dxf" && s.Plans[1].Source->Bytes == dxf.toStdString());
        QCOMPARE(s.Plans[1].HiddenLayers, std::vector<std::string>{"Стены"});
        QCOMPARE(s.Backgrounds[1]->Pixels, saved.Pixels);  // the picture earlier readers show
        QVERIFY(Dark(saved, CanvasOf(s.Plans[1], 150, 150)));
        QVERIFY(session.Prompts().Warnings.size() == 1);  // only the entities not drawn, at the import
        tf.Draw();
        QCOMPARE(list->findItems("Стены", Qt::MatchExactly).value(0)->checkState(), Qt::Unchecked);
        QCOMPARE(list->findItems("Мебель", Qt::MatchExactly).value(0)->checkState(), Qt::Checked);
    }

    void nodesSnapToCrossingsAndEndPointsOfThePlan()
    {
        Session session;
        TF& tf = session.Start();
        CanvasDriver canvas(tf);
        const TPipeLine& s = tf.Scheme();
        LoadDrawing(session, tf, "этаж.dxf", CrossingWalls(4));
        const TFloorPlan& plan = s.Plans[1];

        const QPoint crossing = CanvasOf(plan, 5000, 0);
        canvas.Use("N21");
        canvas.Click(crossing.x() + 4, crossing.y() - 3);
        QCOMPARE(QPoint(s.Nodes[1].X, s.Nodes[1].Y), crossing);

        // Dragged near the wall's end, it lands on it.
        const QPoint end = CanvasOf(plan, 10000, 0);
        canvas.Use("N13");
        canvas.Press(crossing.x(), crossing.y());
        canvas.MoveTo(end.x() - 3, end.y() + 4, Qt::LeftButton);
        canvas.Release(end.x() - 3, end.y() + 4);
        QCOMPARE(QPoint(s.Nodes[1].X, s.Nodes[1].Y), end);

        // Without snapping to the plan a node stays where it is put.
        session.Action("NPlanSnap")->trigger();
        canvas.Use("N21");
        canvas.Click(crossing.x() + 5, crossing.y() + 5);
        QVERIFY(QPoint(s.Nodes[2].X, s.Nodes[2].Y) != crossing);
    }

    // A junction inserted into an area near a crossing goes onto it; an
    // area dragged by its middle snaps by its end nearest the pointer and
    // takes its other end along, one step undone at once.
    void insertedNodesAndAreasDraggedByTheirEndsSnapToThePlan()
    {
        Session session;
        TF& tf = session.Start();
        CanvasDriver canvas(tf);
        const TPipeLine& s = tf.Scheme();
        LoadDrawing(session, tf, "этаж.dxf", CrossingWalls(4));
        const TFloorPlan& plan = s.Plans[1];

        const QPoint crossing = CanvasOf(plan, 5000, 0);
        canvas.Chain({CanvasOf(plan, 2000, 0) + QPoint(0, 4), CanvasOf(plan, 8000, 0) + QPoint(0, 4)});
        QCOMPARE(AreaCount(s), 1);
        canvas.Use("N13");
        canvas.RightClick(crossing.x() + 3, s.Nodes[1].Y);
        canvas.PopupItem("NPMInputNode")->trigger();
        QCOMPARE(NodeCount(s), 3);
        QCOMPARE(QPoint(s.Nodes[3].X, s.Nodes[3].Y), crossing);
        QCOMPARE(s.Areas[1].Node2, 3);
        QCOMPARE(s.Areas[2].Node1, 3);

        // An area well inside the quarter above the long wall, taken nearer
        // its east end and dropped with that end beside the wall's end.
        canvas.Chain({CanvasOf(plan, 1000, 2000), CanvasOf(plan, 3000, 2000)});
        QCOMPARE(AreaCount(s), 3);
        const QPoint west(s.Nodes[4].X, s.Nodes[4].Y), east(s.Nodes[5].X, s.Nodes[5].Y);
        const QPoint taken = west + (east - west) * 3 / 4;
        const QPoint end = CanvasOf(plan, 10000, 0);
        canvas.Use("N13");
        canvas.Drag(taken, taken + (end - east) + QPoint(-2, 3));
        QCOMPARE(QPoint(s.Nodes[5].X, s.Nodes[5].Y), end);
        QCOMPARE(QPoint(s.Nodes[4].X, s.Nodes[4].Y), end - (east - west));
        session.Action("Nundo")->trigger();
        QCOMPARE(QPoint(s.Nodes[4].X, s.Nodes[4].Y), west);
        QCOMPARE(QPoint(s.Nodes[5].X, s.Nodes[5].Y), east);
        QCOMPARE(AreaCount(s), 3);
    }

    void nodesSnapToTheCrossingsOfLinesAndArcs()
    {
        Session session;
        TF& tf = session.Start();
        CanvasDriver canvas(tf);
        const TPipeLine& s = tf.Scheme();
        LoadDrawing(session, tf, "этаж.dxf", WallsAndVault());
        const QPoint crossing = CanvasOf(s.Plans[1], 5000 + 1000 * std::sqrt(3.0), 0);
        canvas.Use("N21");
        canvas.Click(crossing.x() + 2, crossing.y() - 3);
        QCOMPARE(QPoint(s.Nodes[1].X, s.Nodes[1].Y), crossing);
    }

    // Earlier readers of the example drawn over plans show the floors'
    // plans exactly as the program renders them.
    void theExamplesPicturesAreItsPlansAsTheProgramRendersThem()
    {
        const ProjectReadResult read = ReadProjectFile(STELMAR_EXAMPLES_DIR "/office-plans.stm");
        QVERIFY(read.Scheme);
        for (const int floor : {1, 2}) {
            const TFloorPlan& plan = read.Scheme->Plans[floor];
            QString reason;
            const PlanPictureRef picture = OpenPlanPicture(plan, &reason);
            QVERIFY2(picture, qPrintable(reason));
            const Bitmap rendered = PlanBitmap(*picture, plan);
            const BitmapRef& saved = read.Scheme->Backgrounds[floor];
            QVERIFY(saved);
            QCOMPARE(QSize(saved->Width, saved->Height), QSize(rendered.Width, rendered.Height));
            QVERIFY2(saved->Pixels == rendered.Pixels, "out of date: build/examples/make_examples examples");
        }
    }

    void dwgFilesAreRefusedAndDrawingsWithoutUnitsAskForThem()
    {
        Session session;
        TF& tf = session.Start();
        const TPipeLine& s = tf.Scheme();
        const QString dwg = session.File("план.dwg");
        session.WriteFile(dwg, QByteArray("AC1032\0\0\0\0", 10));
        tf.LoadBackground(dwg);
        QCOMPARE(session.Prompts().Warnings, QStringList{kDwgRefused});
        QVERIFY(!s.Plans[1].Source);

        const QString unitless = session.File("план.dxf");
        session.WriteFile(unitless, CrossingWalls(0));
        tf.LoadBackground(unitless);  // the question cancelled
        QVERIFY(session.Prompts().Questions.last().contains("не указаны единицы"));
        QVERIFY(!s.Plans[1].Source);
        session.Prompts().Chosen = {2};
        AcceptPlacement();
        tf.LoadBackground(unitless);
        QCOMPARE(session.Prompts().Choices.last().value(2), QString("метры"));
        QVERIFY(s.Plans[1].Source);
        QCOMPARE(s.Plans[1].PixelsPerUnit, 1 / s.Plans[1].Scale);
    }
};

QTEST_MAIN(DxfPlanTest)
#include "DxfPlanTest.moc"
