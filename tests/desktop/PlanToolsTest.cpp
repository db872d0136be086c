// The floor's scale and the lengths taken from the drawing, driven through
// the real window: two points and a distance give the scale, a drawn area
// gets its length, a node move updates it in one undo step, a typed length
// clears the mark, and a new scale carries the marked lengths along; the
// floors lined up by a point picked on each; the kinds that take their
// length from the drawing.

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "dialogs/AreaParamsDialog.h"
#include "dialogs/DrawnKindsDialog.h"
#include "dialogs/ScaleDialog.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// Picks two canvas points with "Масштаб по двум точкам" and answers the
// distance dialog with `metres` (empty: cancels it).
void PickScale(const CanvasDriver& canvas, QPoint a, QPoint b, const QString& metres, bool* asked = nullptr)
{
    OnModal<TFscale>([metres, asked](TFscale* dialog) {
        if (asked) *asked = true;
        if (metres.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* field = dialog->findChild<QLineEdit*>("DistanceEdit");
        field->setText(metres);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    canvas.Use("MMScale");
    canvas.Click(a.x(), a.y());
    canvas.Click(b.x(), b.y());
}

// Picks `fixed` on floor `fixedFloor`, then `moved` on floor `movedFloor`
// with "Совместить этажи", showing each floor through the floor list.
void PickAlignment(TF& tf, const CanvasDriver& canvas, int fixedFloor, QPoint fixed, int movedFloor, QPoint moved)
{
    auto* floors = tf.findChild<QComboBox*>("ComboBox1");
    floors->setCurrentIndex(fixedFloor - 1);
    canvas.Use("MMAlignFloors");
    canvas.Click(fixed.x(), fixed.y());
    floors->setCurrentIndex(movedFloor - 1);
    canvas.Click(moved.x(), moved.y());
}

QPoint At(const TNode& n) { return {n.X, n.Y}; }

}  // namespace

class PlanToolsTest : public QObject {
    Q_OBJECT

private slots:
    void twoPointsAndADistanceGiveTheScale()
    {
        Session session;
        TF& tf = session.Start();
        CanvasDriver canvas(tf);
        const TPipeLine& s = tf.Scheme();
        QCOMPARE(session.Panel(7), QString("Масштаб не задан"));

        bool asked = false;
        PickScale(canvas, {100, 100}, {300, 100}, "", &asked);
        QVERIFY(asked);
        QCOMPARE(s.Plans[1].Scale, 0.0);  // cancelled: nothing changes, nothing to undo
        QVERIFY(!session.Enabled("TBUndo"));

        PickScale(canvas, {100, 100}, {300, 100}, "10");
        QCOMPARE(s.Plans[1].Scale, 0.05);
        QCOMPARE(session.Panel(7), QString("Масштаб: 1 м = 20 точек"));
        session.Action("Nundo")->trigger();
        QCOMPARE(s.Plans[1].Scale, 0.0);
        session.Action("Nrendo")->trigger();
        QCOMPARE(s.Plans[1].Scale, 0.05);

        // Two points on one spot give no scale; a distance of 0 is refused in
        // the dialog, which stays open for a right one.
        canvas.Use("MMScale");
        canvas.Click(100, 100);
        canvas.Click(100, 100);
        QCOMPARE(session.Prompts().Warnings.last(), QString("Точки совпадают: укажите две разные точки на плане."));
        OnModal<TFscale>([&session](TFscale* dialog) {
            dialog->findChild<QLineEdit*>("DistanceEdit")->setText("0");
            auto* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            ok->click();
            QVERIFY(dialog->isVisible());
            QVERIFY(session.Prompts().Warnings.last().contains("больше нуля"));
            dialog->findChild<QLineEdit*>("DistanceEdit")->setText("2,5");
            ok->click();
        });
        canvas.Use("MMScale");
        canvas.Click(100, 100);
        canvas.Click(100, 150);
        QCOMPARE(s.Plans[1].Scale, 0.05);

        // Another tool gives the picking up: the next presses draw again.
        canvas.Use("MMScale");
        canvas.Click(100, 100);
        canvas.Use("TBNode");
        canvas.Click(400, 400);
        QCOMPARE(NodeCount(s), 1);
    }

    void aDrawnAreaFollowsItsNodesAndTheScale()
    {
        Session session;
        TF& tf = session.Start();
        CanvasDriver canvas(tf);
        const TPipeLine& s = tf.Scheme();
        PickScale(canvas, {100, 100}, {300, 100}, "10");

        // Junctions snap to (102, 102) and (302, 102): 200 points, 10 m.
        canvas.Chain({{100, 100}, {300, 100}});
        QCOMPARE(AreaCount(s), 1);
        QCOMPARE(s.Areas[1].Length, 10.0);
        QVERIFY(s.Areas[1].Drawn);

        canvas.Use("TBcursor");
        canvas.Drag({302, 102}, {402, 102});
        QCOMPARE(s.Nodes[2].X, 402);
        QCOMPARE(s.Areas[1].Length, 15.0);
        session.Action("Nundo")->trigger();  // the move and its length: one step
        QCOMPARE(s.Nodes[2].X, 302);
        QCOMPARE(s.Areas[1].Length, 10.0);
        session.Action("Nrendo")->trigger();
        QCOMPARE(s.Areas[1].Length, 15.0);

        // A new scale carries the marked lengths along, in the same step.
        PickScale(canvas, {100, 300}, {200, 300}, "10");  // 100 points: 0.1 m each
        QCOMPARE(s.Areas[1].Length, 30.0);
        session.Action("Nundo")->trigger();
        QCOMPARE(s.Areas[1].Length, 15.0);
        QCOMPARE(s.Plans[1].Scale, 0.05);

        // A typed length clears the mark; the length then stays as typed.
        OnModal<TFpar>([](TFpar* dialog) {
            dialog->findChild<QLineEdit*>("Ledit")->setText("12");
            dialog->findChild<QToolButton*>("SpeedButton2")->click();
        });
        canvas.DoubleClick(250, 102);
        QCOMPARE(s.Areas[1].Length, 12.0);
        QVERIFY(!s.Areas[1].Drawn);
        canvas.Drag({402, 102}, {452, 102});
        QCOMPARE(s.Areas[1].Length, 12.0);
    }

    // The floor of the second point moves onto the first, in one step; when
    // it has no room towards zero, the first floor moves the other way.
    void floorsAreAlignedByAPointOnEach()
    {
        Session session;
        TF& tf = session.Start();
        CanvasDriver canvas(tf);
        const TPipeLine& s = tf.Scheme();
        canvas.Use("MMAlignFloors");
        QCOMPARE(session.Prompts().Warnings.last(), QString("В проекте один этаж: совмещать не с чем."));

        canvas.Nodes("TBNode", {{100, 100}});
        session.Action("TBAddEtag")->trigger();
        canvas.Nodes("TBNode", {{150, 130}});
        const QPoint first = At(s.Nodes[1]);
        const QPoint second = At(s.Nodes[2]);
        QCOMPARE(int(s.Nodes[2].Etag), 2);

        PickAlignment(tf, canvas, 2, second, 1, first);
        QCOMPARE(At(s.Nodes[1]), second);
        QCOMPARE(At(s.Nodes[2]), second);
        QCOMPARE(s.Plans[1].OffsetX, second.x() - first.x());
        QCOMPARE(session.Action("Nundo")->text(), QString("&Отменить: совмещение этажей №2 и №1"));
        session.Action("Nundo")->trigger();
        QCOMPARE(At(s.Nodes[1]), first);
        QCOMPARE(s.Plans[1].OffsetX, 0);

        // Floor 2 would go below zero: floor 1 moves up to it instead.
        PickAlignment(tf, canvas, 1, first, 2, second);
        QCOMPARE(At(s.Nodes[1]), second);
        QCOMPARE(At(s.Nodes[2]), second);
        QCOMPARE(s.Plans[2], TFloorPlan{});
        QCOMPARE(s.Plans[1].OffsetY, second.y() - first.y());
    }

    // The kinds are the project's: a change is one step, and a new area of
    // a kind no longer ticked keeps the length it is given.
    void drawnKindsAreChosenInTheirDialog()
    {
        Session session;
        TF& tf = session.Start();
        CanvasDriver canvas(tf);
        const TPipeLine& s = tf.Scheme();
        PickScale(canvas, {100, 100}, {300, 100}, "10");
        OnModal<TFdrawnKinds>([](TFdrawnKinds* dialog) {
            QVERIFY(dialog->findChild<QCheckBox*>("DrawnKind1")->isChecked());
            QVERIFY(!dialog->findChild<QCheckBox*>("DrawnKind4")->isChecked());
            QVERIFY(dialog->findChild<QCheckBox*>("DrawnKind6")->isChecked());
            dialog->findChild<QCheckBox*>("DrawnKind1")->setChecked(false);
            dialog->findChild<QCheckBox*>("DrawnKind4")->setChecked(true);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        session.Action("MMDrawnKinds")->trigger();
        QCOMPARE(int(s.DrawnKinds), 1 << kDoorway | 1 << kRampDown | 1 << kRampUp);
        QCOMPARE(session.Action("Nundo")->text(), QString("&Отменить: виды участков с длиной по чертежу"));
        session.Action("Nundo")->trigger();
        QCOMPARE(int(s.DrawnKinds), int(kDefaultDrawnKinds));
        session.Action("Nrendo")->trigger();
        canvas.Chain({{100, 100}, {300, 100}});
        QCOMPARE(AreaCount(s), 1);
        QVERIFY(!s.Areas[1].Drawn);
    }
};

QTEST_MAIN(PlanToolsTest)
#include "PlanToolsTest.moc"
