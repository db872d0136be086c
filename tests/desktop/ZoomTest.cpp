// The canvas at any zoom: the tools give the same scheme at 25 %, 100 % and
// 400 %, picking keeps its size on the screen, the zoom keeps the point
// under the pointer, 100 % and the fit to the window, the wheel, stacked
// elements in the pop-up menu, and the keyboard.

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QSignalSpy>
#include <QWheelEvent>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "dialogs/AreaParamsDialog.h"
#include "dialogs/NodeParamsDialog.h"
#include "model/SchemeBuilder.h"
#include "model/SchemePicking.h"
#include "drawing/SchemeDrawing.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

QString Layout(const TPipeLine& s)
{
    QStringList parts;
    for (int i = 1; i <= NodeCount(s); ++i)
        parts << QString("%1(%2,%3)").arg(s.Nodes[i].Kind).arg(s.Nodes[i].X).arg(s.Nodes[i].Y);
    parts << "|";
    for (int i = 1; i <= AreaCount(s); ++i) parts << QString("%1-%2").arg(s.Areas[i].Node1).arg(s.Areas[i].Node2);
    return parts.join(' ');
}

QList<int> Selected(const TPipeLine& s)
{
    QList<int> selected;
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Selected) selected << i;
    return selected;
}

}  // namespace

class ZoomTest : public QObject, public CanvasDriver {
    Q_OBJECT

    std::unique_ptr<Session> session_;
    TF* tf_ = nullptr;
    TPipeLine* s_ = nullptr;

    QScrollBar* H() { return tf_->findChild<QScrollArea*>("ScrollBox1")->horizontalScrollBar(); }
    QScrollBar* V() { return tf_->findChild<QScrollArea*>("ScrollBox1")->verticalScrollBar(); }
    // A canvas point in the canvas widget's pixels.
    QPoint W(int x, int y) { return Canvas()->ToWidget(x, y); }
    void ClickAt(int x, int y)
    {
        const QPoint w = W(x, y);
        Click(w.x(), w.y());
    }
    void SetZoom(double zoom) { tf_->ZoomTo(zoom, QPointF(0, 0)); }
    void Wheel(QPoint at, QPoint delta, Qt::KeyboardModifiers keys)
    {
        QWheelEvent wheel(at, Canvas()->mapToGlobal(at), {}, delta, Qt::NoButton, keys, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Canvas(), &wheel);
    }

private slots:
    void init()
    {
        session_ = std::make_unique<Session>();
        tf_ = &session_->Start();
        s_ = &tf_->Scheme();
        Attach(*tf_);
        tf_->resize(900, 700);
    }
    void cleanup() { session_.reset(); }

    // The same clicks in canvas pixels give the same scheme at every zoom.
    void drawingGivesTheSameSchemeAtEveryZoom_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::newRow("25 %") << 0.25;
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("400 %") << 4.0;
    }
    void drawingGivesTheSameSchemeAtEveryZoom()
    {
        QFETCH(double, zoom);
        SetZoom(zoom);
        QCOMPARE(tf_->Zoom(), zoom);
        QCOMPARE(session_->Panel(5), QString("%1 %").arg(qRound(zoom * 100)));
        Use("TBNodeIn");
        ClickAt(101, 203);
        Use("TBNode");
        ClickAt(301, 203);
        Use("TBNodeOut");
        ClickAt(501, 403);
        Use("TBArea");
        ClickAt(102, 202);
        ClickAt(302, 202);
        ClickAt(302, 202);
        ClickAt(502, 402);
        QCOMPARE(Layout(*s_), QString("1(102,202) 3(302,202) 2(502,402) | 1-2 2-3"));
    }

    // The pick square is a size on the screen: 13 pixels wide at 100 %, the
    // same at 400 % (a few canvas pixels), and the same at 25 %.
    void pickingKeepsItsScreenSize()
    {
        SchemeBuilder(*s_).Junction({.X = 200, .Y = 200});
        SchemeBuilder(*s_).Junction({.X = 240, .Y = 200});
        for (double zoom : {0.25, 1.0, 4.0}) {
            SetZoom(zoom);
            const QPoint node = W(200, 200);
            for (int dx : {-8, 8}) {
                MoveTo(node.x() + dx, node.y());
                QVERIFY2(!s_->Nodes[1].Hot, qPrintable(QString("zoom %1 dx %2").arg(zoom).arg(dx)));
            }
            MoveTo(node.x() + 5, node.y() - 5);
            QVERIFY2(s_->Nodes[1].Hot, qPrintable(QString("zoom %1").arg(zoom)));
            QCOMPARE(NodeAt(*s_), 1);
        }
        // At 25 % the two nodes 40 canvas pixels apart are 10 screen pixels
        // apart: the pointer between them takes the lower number.
        SetZoom(0.25);
        const QPoint between = W(220, 200);
        MoveTo(between.x() + 1, between.y());
        QCOMPARE(NodeAt(*s_), 1);
    }

    void bandSelectsAtEveryZoom()
    {
        SchemeBuilder b(*s_);
        b.Junction({.X = 100, .Y = 100});
        b.Junction({.X = 200, .Y = 150});
        b.Junction({.X = 400, .Y = 400});
        for (double zoom : {0.25, 4.0}) {
            SetZoom(zoom);
            const QPoint from = W(50, 50);
            const QPoint to = W(250, 250);
            Press(from.x(), from.y());
            MoveTo(to.x(), to.y(), Qt::LeftButton);
            QVERIFY(s_->Banding);
            Release(to.x(), to.y());
            QCOMPARE(Selected(*s_), (QList<int>{1, 2}));
            ClickAt(700, 700);  // empty: the selection goes
            QVERIFY(Selected(*s_).isEmpty());
        }
    }

    void dragSnapsToTheCanvasGrid()
    {
        SchemeBuilder(*s_).Junction({.X = 102, .Y = 102});
        SetZoom(4);
        const QPoint from = W(102, 102);
        const QPoint to = W(160, 131);  // 58, 29 canvas pixels away: (160, 131) snaps to (162, 132)
        Drag(from, to);
        QCOMPARE(QPoint(s_->Nodes[1].X, s_->Nodes[1].Y), QPoint(162, 132));
        QTest::keyClick(tf_, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(QPoint(s_->Nodes[1].X, s_->Nodes[1].Y), QPoint(102, 102));
    }

    // Zooming keeps the canvas point under the pointer where it is.
    void zoomKeepsThePointUnderThePointer()
    {
        tf_->ZoomTo(2, QPointF(0, 0));
        H()->setValue(300);
        V()->setValue(200);
        const QPoint pointer(150, 100);  // in the visible box
        const QPointF before = (QPointF(H()->value(), V()->value()) + pointer) / tf_->Zoom();
        Wheel(QPoint(H()->value(), V()->value()) + pointer, {0, 120}, Qt::ControlModifier);
        QCOMPARE(tf_->Zoom(), 2.5);
        const QPointF after = (QPointF(H()->value(), V()->value()) + pointer) / tf_->Zoom();
        QVERIFY2((before - after).manhattanLength() < 1, qPrintable(QString("%1,%2 -> %3,%4")
                                                                        .arg(before.x()).arg(before.y())
                                                                        .arg(after.x()).arg(after.y())));
        Wheel(QPoint(H()->value(), V()->value()) + pointer, {0, -240}, Qt::ControlModifier);
        QCOMPARE(tf_->Zoom(), 1.6);
    }

    void zoomStaysInItsRange()
    {
        for (int i = 0; i < 20; ++i) session_->Action("NZoomIn")->trigger();
        QCOMPARE(tf_->Zoom(), 8.0);
        for (int i = 0; i < 40; ++i) session_->Action("NZoomOut")->trigger();
        QCOMPARE(tf_->Zoom(), 0.1);
        QTest::keyClick(tf_, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(tf_->Zoom(), 1.0);
        QTest::keyClick(tf_, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(tf_->Zoom(), 1.25);
        QTest::keyClick(tf_, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(tf_->Zoom(), 1.0);
    }

    void fitShowsTheWholeFloor()
    {
        SchemeBuilder b(*s_);
        b.Junction({.X = 1000, .Y = 800});
        b.Junction({.X = 1900, .Y = 1700});
        session_->Action("NZoomFit")->trigger();
        const QSize box = tf_->findChild<QScrollArea*>("ScrollBox1")->viewport()->size();
        for (const QPoint& node : {W(1000, 800), W(1900, 1700)}) {
            const QPoint inBox = node - QPoint(H()->value(), V()->value());
            QVERIFY2(QRect(QPoint(0, 0), box).contains(inBox), qPrintable(QString("%1,%2").arg(inBox.x()).arg(inBox.y())));
        }
        QVERIFY(tf_->Zoom() < 1);
        // An empty floor: the whole canvas.
        tf_->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(0);
        session_->Action("TBAddEtag")->trigger();
        tf_->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);
        session_->Action("NZoomFit")->trigger();
        QVERIFY(Canvas()->width() <= box.width() && Canvas()->height() <= box.height());
    }

    void wheelScrollsByScreenSteps()
    {
        SetZoom(2);
        V()->setValue(500);
        H()->setValue(500);
        Wheel(QPoint(600, 600), {0, -120}, Qt::NoModifier);
        QCOMPARE(V()->value(), 525);
        Wheel(QPoint(600, 600), {0, -120}, Qt::ShiftModifier);
        QCOMPARE(H()->value(), 525);
        QCOMPARE(V()->value(), 525);
        Wheel(QPoint(600, 600), {120, 0}, Qt::NoModifier);
        QCOMPARE(H()->value(), 500);
    }

    // The zoom stays for the next project and the next start.
    void zoomIsKept()
    {
        SetZoom(1.25 * 1.25);
        session_->Prompts().Answers = {Answer::No};
        session_->Action("TBNew")->trigger();
        QCOMPARE(tf_->Zoom(), 1.5625);
        tf_->close();
        TF& again = session_->Start();
        QCOMPARE(again.Zoom(), 1.56);
        QCOMPARE(session_->Panel(5), QString("156 %"));
    }

    // Export and printing draw the canvas at its own scale.
    void exportIsUnaffectedByTheZoom()
    {
        SchemeBuilder(*s_).Junction({.X = 300, .Y = 300});
        session_->Prompts().ExportName = session_->File("at100.png");
        session_->Action("Nexport")->trigger();
        SetZoom(4);
        session_->Prompts().ExportName = session_->File("at400.png");
        session_->Action("Nexport")->trigger();
        const QImage a(session_->File("at100.png"));
        const QImage b(session_->File("at400.png"));
        QVERIFY(!a.isNull());
        QCOMPARE(a, b);
    }

    // An element on another floor is brought into view, selected alone.
    void showElementSwitchesFloorAndCentres()
    {
        SchemeBuilder b(*s_);
        s_->EtagCount = 3;
        tf_->ZoomTo(0.1, QPointF(0, 0));
        b.Junction({.X = 100, .Y = 100});
        b.OnFloor(3);
        const int far = b.Junction({.X = 1800, .Y = 1500});
        const int near = b.Junction({.X = 1700, .Y = 1500});
        b.Area(far, near, 3, 1);
        s_->Nodes[1].Selected = true;
        QSignalSpy selection(tf_, &TF::SelectionChanged);
        QSignalSpy floors(tf_, &TF::ActiveFloorChanged);
        tf_->ShowElement(false, 1);
        QCOMPARE(int(s_->ActiveEtag), 3);
        QCOMPARE(floors.count(), 1);
        QVERIFY(selection.count() >= 1);
        QVERIFY(s_->Areas[1].Selected && !s_->Nodes[1].Selected);
        QVERIFY(tf_->Zoom() >= 0.5);
        const QSize box = tf_->findChild<QScrollArea*>("ScrollBox1")->viewport()->size();
        for (const QPoint& end : {W(1800, 1500), W(1700, 1500)})
            QVERIFY(QRect(QPoint(H()->value(), V()->value()), box).contains(end));
        tf_->ShowElement(true, 1);
        QCOMPARE(int(s_->ActiveEtag), 1);
        QVERIFY(s_->Nodes[1].Selected && !s_->Areas[1].Selected);
    }

    // Both ends of a stair lie on one spot: the menu reaches both the node
    // and the area under it.
    void popupListsStackedElements()
    {
        SchemeBuilder b(*s_);
        const int top = b.Junction({.X = 200, .Y = 200});
        b.Junction({.X = 202, .Y = 201});
        const int far = b.Junction({.X = 400, .Y = 200});
        b.Area(far, top, 5, 1, kStairsDown);
        SetZoom(2);
        const QPoint at = W(200, 200);
        RightClick(at.x(), at.y());
        emit Tools().PopupMenu().aboutToShow();
        QStringList titles;
        for (QAction* item : Tools().PopupMenu().actions())
            if (item->menu()) titles << item->text();
        QCOMPARE(titles, (QStringList{"Узел № 1", "Узел № 2", "Участок № 3-1 (Лестница вниз)", "Элементы"}));
        QMenu* area = Tools().PopupMenu().actions()[2]->menu();
        area->actions()[1]->trigger();  // "Выделить"
        QVERIFY(s_->Areas[1].Selected);
        QVERIFY(Selected(*s_).isEmpty());
    }

    // Shift with a double click opens the area even where a node lies on it.
    void shiftDoubleClickOpensTheAreaUnderANode()
    {
        SchemeBuilder b(*s_);
        const int a = b.Junction({.X = 100, .Y = 100});
        const int c = b.Junction({.X = 300, .Y = 100});
        b.Junction({.X = 200, .Y = 100});  // on the area
        b.Area(a, c, 5, 1);
        QString title;
        OnModal<TFpar>([&title](TFpar* dialog) {
            title = dialog->windowTitle();
            dialog->reject();
        });
        const QPoint at = W(200, 100);
        DoubleClick(at.x(), at.y(), Qt::ShiftModifier);
        QCOMPARE(title, QString("Участок №1-2"));
        OnModal<TFuzel>([&title](TFuzel* dialog) {
            title = dialog->windowTitle();
            dialog->reject();
        });
        DoubleClick(at.x(), at.y());
        QCOMPARE(title, QString("Узел №3"));
    }

    // The node dialog ignored Enter; Enter on its buttons presses them.
    void nodeDialogTakesEnterAndEsc()
    {
        SchemeBuilder(*s_).Input({.X = 100, .Y = 100, .People = 5});
        bool closed = false;
        OnModal<TFuzel>([&](TFuzel* dialog) {
            QWidget* people = dialog->findChild<QWidget*>("EditH");
            people->setFocus();
            QTest::keyClick(people, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(people, "12");
            QTest::keyClick(people, Qt::Key_Return);
            closed = !dialog->isVisible();
        });
        const QPoint at = W(100, 100);
        DoubleClick(at.x(), at.y());
        QVERIFY(closed);
        QCOMPARE(s_->Nodes[1].People, 12);

        OnModal<TFuzel>([&](TFuzel* dialog) {
            QTest::keyClicks(dialog->findChild<QWidget*>("EditH"), "9");
            QTest::keyClick(dialog, Qt::Key_Escape);
            closed = !dialog->isVisible();
        });
        DoubleClick(at.x(), at.y());
        QVERIFY(closed);
        QCOMPARE(s_->Nodes[1].People, 12);

        OnModal<TFuzel>([&](TFuzel* dialog) {
            auto* cancel = dialog->findChild<QToolButton*>("SpeedButton2");
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Return);
            closed = !dialog->isVisible();
        });
        DoubleClick(at.x(), at.y());
        QVERIFY(closed);
    }

    // Every menu and item has its underlined letter, unique in its menu,
    // and F10 takes the keyboard to the menu bar.
    void menusAreReachableFromTheKeyboard()
    {
        QMenuBar* bar = tf_->menuBar();
        QStringList letters;
        for (QAction* menu : bar->actions()) {
            const QString text = menu->text();
            QVERIFY2(text.count('&') == 1, qPrintable(text));
            letters << text.mid(text.indexOf('&') + 1, 1).toLower();
            QStringList inner;
            for (QAction* item : menu->menu()->actions()) {
                if (item->isSeparator()) continue;
                const QString caption = item->text();
                const int amp = caption.indexOf('&');
                QVERIFY2(amp >= 0, qPrintable(caption));
                inner << caption.mid(amp + 1, 1).toLower();
            }
            QCOMPARE(QSet<QString>(inner.begin(), inner.end()).size(), inner.size());
        }
        QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
        QCOMPARE(bar->actions()[0]->text(), QString("&Файл"));
        QCOMPARE(bar->actions()[5]->text().remove('&'), QString("Помощь"));

        QTest::keyClick(tf_, Qt::Key_F10);
        QCOMPARE(bar->activeAction(), bar->actions()[0]);
        if (QMenu* open = bar->actions()[0]->menu(); open->isVisible()) open->close();
    }
};

QTEST_MAIN(ZoomTest)
#include "ZoomTest.moc"
