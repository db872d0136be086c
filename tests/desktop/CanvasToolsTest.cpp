// The drawing tools driven with mouse and key events on the canvas: nodes,
// areas and their splitting, snapping, selection, dragging, deleting, the
// hover texts, the pop-up menu, scrolling, and a two-floor scheme drawn and
// saved as a user does it.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "calc/FlowCalculation.h"
#include "calc/Validation.h"
#include "dialogs/NodeParamsDialog.h"
#include "editor/CanvasTools.h"
#include "editor/CanvasWidget.h"
#include "editor/Cursors.h"
#include "model/NumberText.h"
#include "model/ProjectFile.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// Positions of the nodes and ends of the areas, e.g. "(12,22) (52,52) | 1-2".
QString Layout(const TPipeLine& s)
{
    QStringList parts;
    for (int i = 1; i <= NodeCount(s); ++i) parts << QString("(%1,%2)").arg(s.Nodes[i].X).arg(s.Nodes[i].Y);
    parts << "|";
    for (int i = 1; i <= AreaCount(s); ++i) parts << QString("%1-%2").arg(s.Areas[i].Node1).arg(s.Areas[i].Node2);
    return parts.join(' ');
}

QList<int> SelectedNodes(const TPipeLine& s)
{
    QList<int> selected;
    for (int i = 1; i <= NodeCount(s); ++i)
        if (s.Nodes[i].Selected) selected << i;
    return selected;
}

QString Real(double x)
{
    return QString::fromStdString(FormatReal(x, DecimalSeparatorFromEnvironment()));
}

// Rejects the modal dialog that the next event loop runs and remembers it.
class DialogCatcher {
public:
    DialogCatcher()
    {
        QTimer::singleShot(0, &guard_, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                shown_ = dialog;
                dialog->reject();
            }
        });
    }
    QWidget* Shown() const { return shown_; }

private:
    QObject guard_;
    QWidget* shown_ = nullptr;
};

}  // namespace

class CanvasToolsTest : public QObject, public CanvasDriver {
    Q_OBJECT

    std::unique_ptr<Session> session_;
    TF* tf_ = nullptr;
    TPipeLine* s_ = nullptr;
    CanvasWidget* canvas_ = nullptr;

private slots:
    void init()
    {
        session_ = std::make_unique<Session>();
        tf_ = &session_->Start();
        s_ = &tf_->Scheme();
        canvas_ = tf_->findChild<CanvasWidget*>("img");
        Attach(*tf_);
    }
    void cleanup() { session_.reset(); }

    void nodeToolsPlaceSnappedNodesOnce()
    {
        Nodes("TBNode", {{13, 24}, {14, 25}});  // the second press picks the node up
        Use("N9");                              // snapping off
        Nodes("TBNodeOut", {{113, 124}});
        Use("TBNodeIn");
        DoubleClick(300, 300);  // its second press adds nothing
        QCOMPARE(Layout(*s_), QString("(12,22) (113,124) (300,300) |"));
        QCOMPARE(QList<int>({s_->Nodes[1].Kind, s_->Nodes[2].Kind, s_->Nodes[3].Kind}),
                 QList<int>({kJunction, kExit, kInput}));
    }

    void areaToolJoinsSuitableNodesOnce()
    {
        Nodes("TBNode", {{102, 102}, {302, 102}});
        Nodes("TBNodeIn", {{102, 202}, {302, 202}});
        Nodes("TBNodeOut", {{102, 302}, {302, 302}});
        Chain({{102, 102}, {302, 102}});
        const TArea& a = s_->Areas[1];
        QCOMPARE(QList<double>({double(a.Kind), a.Length, a.Width}), QList<double>({kHorizontal, 0, 0}));
        QCOMPARE(s_->AreaFrom, 0);

        // The reverse of an existing area, the same node twice, two inputs
        // and two exits: nothing, and the area stays pending.
        Chain({{302, 102}, {102, 102}});
        Click(302, 102);
        QCOMPARE(s_->AreaFrom, 2);
        for (int y : {202, 302}) {
            QTest::keyClick(tf_, Qt::Key_Escape);
            QCOMPARE(s_->AreaFrom, 0);
            QCOMPARE(int(s_->Tool), 0);
            Chain({{102, y}, {302, y}});
            QCOMPARE(s_->AreaFrom, y == 202 ? 3 : 5);
        }
        Click(102, 202);  // exit 5 to input 3
        QCOMPARE(Layout(*s_).section('|', 1), QString(" 1-2 5-3"));
    }

    void areaToolBetweenEmptyPlacesAddsJunctions()
    {
        Use("TBArea");
        Click(100, 100);
        MoveTo(150, 130);  // the pending line follows the pointer
        Click(200, 100);
        QCOMPARE(Layout(*s_), QString("(102,102) (202,102) | 1-2"));
        QCOMPARE(int(s_->Nodes[2].Kind), int(kJunction));
        QCOMPARE(s_->AreaFrom, 0);
        QCOMPARE(int(s_->Tool), int(kAreaTool));
    }

    void areaToolSplitsAnArea()
    {
        Nodes("TBNodeIn", {{52, 52}});
        Chain({{102, 202}, {302, 202}});
        s_->Areas[1].Kind = kStairsDown;
        s_->Areas[1].Length = 5;
        s_->Areas[1].Width = 2;
        Chain({{52, 52}, {201, 203}});
        // J exactly at the pointer; C-J keeps the area's values, J-D is new.
        QCOMPARE(Layout(*s_), QString("(52,52) (102,202) (302,202) (201,203) | 2-4 4-3 1-4"));
        QCOMPARE(QList<double>({double(s_->Areas[1].Kind), s_->Areas[1].Length, s_->Areas[1].Width}),
                 QList<double>({kStairsDown, 5, 2}));
        QCOMPARE(QList<double>({double(s_->Areas[2].Kind), s_->Areas[2].Length, s_->Areas[2].Width}),
                 QList<double>({kHorizontal, 0, 0}));

        // An area that already touches the pending node is no end for it.
        Chain({{102, 202}, {150, 202}});
        QCOMPARE(AreaCount(*s_), 3);
        QCOMPARE(s_->AreaFrom, 2);
    }

    void clickAndBandSelect()
    {
        Chain({{52, 52}, {102, 102}, {152, 152}});
        Nodes("TBNode", {{122, 77}});  // on the band's edge
        s_->EtagCount = 2;
        s_->ActiveEtag = 2;
        Nodes("TBNode", {{102, 102}});  // under the band, on floor 2
        s_->ActiveEtag = 1;

        Use("TBcursor");
        Press(40, 40);
        MoveTo(122, 140, Qt::LeftButton);
        QVERIFY(s_->Banding);
        Release(122, 140);
        QVERIFY(!s_->Banding);
        QCOMPARE(SelectedNodes(*s_), QList<int>({1, 2}));
        QCOMPARE(QList<bool>({s_->Areas[1].Selected, s_->Areas[2].Selected}), QList<bool>({true, false}));

        Click(102, 102);  // selected: the selection stays for dragging
        QCOMPARE(SelectedNodes(*s_), QList<int>({1, 2}));
        Click(152, 152);
        QCOMPARE(SelectedNodes(*s_), QList<int>({3}));
        Click(400, 400);
        QVERIFY(SelectedNodes(*s_).isEmpty());
    }

    void dragMovesAndRotatesAndUndoTakesItBack()
    {
        Nodes("TBNode", {{52, 52}});
        Use("TBcursor");
        Drag({52, 52}, {103, 78});
        QCOMPARE(Layout(*s_), QString("(102,77) |"));
        QCOMPARE(QPoint(s_->Nodes[1].SavedX, s_->Nodes[1].SavedY), QPoint(102, 77));
        Use("Nundo");
        QCOMPARE(Layout(*s_), QString("(52,52) |"));
        Use("Nundo");
        QCOMPARE(NodeCount(*s_), 0);

        // A click that moves nothing is no edit.
        Use("Nrendo");
        tf_->SetModified(false);
        Click(52, 52);
        QVERIFY(!s_->Modified);

        // With Alt a quarter turn clockwise about the press point.
        Chain({{52, 52}, {102, 52}});
        for (int i : {1, 2}) s_->Nodes[i].Selected = true;
        Use("TBcursor");
        Drag({52, 52}, {52, 102}, Qt::AltModifier);
        QCOMPARE(Layout(*s_), QString("(52,52) (52,102) | 1-2"));
    }

    void deleteToolAndDeleteKey()
    {
        Chain({{52, 52}, {152, 52}, {252, 52}, {352, 52}});
        Use("TBDel");
        Click(202, 53);  // area 2-3
        Click(352, 52);  // node 4 with its area
        QCOMPARE(Layout(*s_), QString("(52,52) (152,52) (252,52) | 1-2"));

        // The Delete key with nothing selected, the pointer on empty space.
        Use("TBcursor");
        MoveTo(300, 300);
        QTest::keyClick(tf_, Qt::Key_Delete);
        QCOMPARE(Layout(*s_), QString("(52,52) (152,52) (252,52) | 1-2"));
        // With one node selected it goes, with its areas.
        Click(152, 52);
        MoveTo(300, 300);
        QTest::keyClick(tf_, Qt::Key_Delete);
        QCOMPARE(Layout(*s_), QString("(52,52) (252,52) |"));
        // The key's release alone deletes the selection too.
        Click(52, 52);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(tf_, &release);
        QCOMPARE(Layout(*s_), QString("(252,52) |"));
    }

    // Deleting nodes renumbers the others; a pending area keeps its start.
    void pendingAreaFollowsDeletedNodes()
    {
        Nodes("TBNode", {{52, 52}, {152, 52}, {252, 52}});
        Use("TBArea");
        Click(152, 52);
        Nodes("TBDel", {{52, 52}});
        QCOMPARE(s_->AreaFrom, 1);
        Nodes("TBArea", {{252, 52}, {152, 52}});
        QCOMPARE(Layout(*s_), QString("(152,52) (252,52) | 1-2"));
        Nodes("TBDel", {{152, 52}});
        QCOMPARE(s_->AreaFrom, 0);
    }

    void doubleClickOpensParametersWithNoElementToolOnly()
    {
        Nodes("TBNode", {{102, 102}});
        Use("TBcursor");
        {
            DialogCatcher catcher;
            DoubleClick(102, 102);
            QCOMPARE(catcher.Shown(), static_cast<QWidget*>(tf_->DialogSet().NodeParams));
        }
        QCOMPARE(NodeCount(*s_), 1);
        QVERIFY(s_->Nodes[1].Selected);

        Use("TBNode");
        DialogCatcher catcher;
        DoubleClick(102, 102);
        QVERIFY(!catcher.Shown());
        QCOMPARE(NodeCount(*s_), 1);
    }

    void hoverTextsAndPointers()
    {
        Nodes("TBNodeIn", {{52, 52}});
        Nodes("TBNodeOut", {{252, 52}});
        Chain({{52, 52}, {252, 52}});
        TNode& input = s_->Nodes[1];
        input.People = 25;
        input.F = 0.125;
        input.Mobility = 2;
        s_->Nodes[2].Name = "В1";
        s_->Areas[1].Length = 12.5;
        s_->Areas[1].Width = 1.2;
        Use("TBcursor");

        const QString& hint = Tools().Hint();
        SendMove(52, 52);
        if (hint.isEmpty()) SendMove(52, 52);
        SendMove(253, 53);  // skipped: it follows a handled movement
        QVERIFY(input.Hot);
        SendMove(52, 52);
        QCOMPARE(hint, "Узел № 1\nЭтаж № 1\nЛюдей: 25 чел.\nСредняя площадь: " + Real(0.125) +
                           " м²\nГруппа маломобильности: М3");
        QCOMPARE(QToolTip::text(), hint);
        QCOMPARE(canvas_->PointerShape(), kHandPointer);
        MoveTo(253, 53);
        QCOMPARE(hint, QString("Узел № В1\nЭтаж № 1"));
        MoveTo(150, 52);
        QCOMPARE(hint, "Участок № 1-В1 (Горизонтальный путь)\nДлина: " + Real(12.5) + " м\nШирина: " + Real(1.2) + " м");
        QCOMPARE(QList<bool>({s_->Areas[1].Hot, s_->Nodes[2].Hot}), QList<bool>({true, false}));
        MoveTo(400, 400);
        QVERIFY(hint.isEmpty());
        QVERIFY(!s_->Areas[1].Hot);
        QCOMPARE(canvas_->PointerShape(), 0);

        // A stair to floor 2, seen from both floors.
        s_->Areas[1].Kind = kStairsDown;
        s_->EtagCount = 2;
        s_->Nodes[2].Etag = 2;
        MoveTo(150, 52);
        QCOMPARE(hint.section('\n', 0, 1), QString("Участок № 1-В1 (Лестница вниз)\nСпуск с 2-го этажа"));
        s_->ActiveEtag = 2;
        MoveTo(151, 52);
        QCOMPARE(hint.section('\n', 1, 1), QString("Спуск на 1-й этаж"));

        // The tool pointers are pictures with the hot spot at their cross;
        // over a node the delete tool keeps its own.
        s_->ActiveEtag = 1;
        const char* tools[] = {"TBcursor", "TBNodeIn", "TBNodeOut", "TBNode", "TBArea", "TBDel"};
        for (int tool = 0; tool < 6; ++tool) {
            Use(tools[tool]);
            QCOMPARE(canvas_->PointerShape(), tool);
            QCOMPARE(canvas_->cursor().hotSpot(), tool == 0 ? QPoint(0, 0) : QPoint(8, 8));
        }
        MoveTo(52, 52);
        QCOMPARE(canvas_->PointerShape(), int(kDeleteTool));
    }

    void popupMenuFollowsThePointer()
    {
        Chain({{52, 52}, {252, 52}});
        Use("TBArea");
        Click(52, 52);
        auto enabled = [this] {
            QStringList on;
            for (const char* name : {"NPMCopy", "NPMCut", "NPMPaste", "NPMDel", "NParams", "NPMInputNode"})
                if (PopupItem(name)->isEnabled()) on << name;
            return on.join(' ');
        };
        Press(300, 300, Qt::RightButton);
        QVERIFY(Tools().PopupMenu().isVisible());
        Tools().PopupMenu().close();
        Release(300, 300, Qt::RightButton);
        QCOMPARE(QList<int>({s_->Tool, s_->AreaFrom}), QList<int>({0, 0}));
        QCOMPARE(enabled(), QString());
        RightClick(52, 52);
        QCOMPARE(enabled(), QString("NPMCopy NPMCut NPMDel NParams"));
        s_->Nodes[1].Selected = true;
        tf_->CopyCommand();
        RightClick(150, 53);
        QCOMPARE(enabled(), QString("NPMCopy NPMCut NPMPaste NPMDel NParams NPMInputNode"));

        // "Вставить узел" splits the area under the pointer exactly there.
        PopupItem("NPMInputNode")->trigger();
        QCOMPARE(Layout(*s_), QString("(52,52) (252,52) (150,53) | 1-3 3-2"));
    }

    void popupDeleteTakesTheElementUnderThePointer()
    {
        Use("N9");  // snapping off
        Chain({{52, 52}, {152, 52}});
        Chain({{155, 10}, {155, 100}});  // passes beside node 2
        RightClick(152, 52);
        PopupItem("NPMDel")->trigger();
        QCOMPARE(Layout(*s_), QString("(52,52) (155,10) (155,100) | 2-3"));
        RightClick(155, 30);
        PopupItem("NPMDel")->trigger();
        QCOMPARE(AreaCount(*s_), 0);
    }

    void undoAndRedoKeys()
    {
        Nodes("TBNode", {{52, 52}, {152, 52}, {252, 52}});
        // Ctrl+Z is the menu's shortcut; its release does not undo again.
        QTest::keyClick(tf_, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(NodeCount(*s_), 2);
        QTest::keyClick(tf_, Qt::Key_Z);
        QCOMPARE(NodeCount(*s_), 1);
        QTest::keyClick(tf_, Qt::Key_Y);
        QCOMPARE(NodeCount(*s_), 2);
    }

    void panningWheelAndBandScrolling()
    {
        auto* box = tf_->findChild<QScrollArea*>("ScrollBox1");
        QScrollBar& h = *box->horizontalScrollBar();
        QScrollBar& v = *box->verticalScrollBar();
        Press(300, 300, Qt::MiddleButton);
        MoveTo(200, 250, Qt::MiddleButton);
        Release(200, 250, Qt::MiddleButton);
        QCOMPARE(QPoint(h.value(), v.value()), QPoint(100, 50));
        QCOMPARE(NodeCount(*s_), 0);

        QWheelEvent down({300, 300}, canvas_->mapToGlobal(QPointF(300, 300)), {}, {0, -120}, Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas_, &down);
        QCOMPARE(v.value(), 75);

        // Near an edge the view follows the band.
        const int right = h.value() + box->viewport()->width();
        Press(right - 100, 200);
        MoveTo(right - 5, 200, Qt::LeftButton);
        Release(right - 5, 200);
        QCOMPARE(h.value(), 110);
    }

    // A two-floor building drawn with the mouse, saved with the save
    // command, read back and calculated.
    void twoFloorSchemeIsDrawnSavedAndCalculated()
    {
        auto* floors = tf_->findChild<QComboBox*>("ComboBox1");
        Use("TBAddEtag");
        floors->setCurrentIndex(1);
        // Floor 2: two rooms to the stair head 4, then the stair down to 6.
        Nodes("TBNodeIn", {{102, 102}, {102, 302}});
        Chain({{102, 102}, {302, 102}, {502, 202}});
        Chain({{102, 302}, {302, 302}, {502, 202}});
        Click(502, 202);
        floors->setCurrentIndex(0);
        Click(552, 252);
        // Floor 1: the stair foot and a room to the exit.
        Nodes("TBNodeIn", {{102, 402}});
        Nodes("TBNodeOut", {{752, 402}});
        Chain({{552, 252}, {552, 402}, {752, 402}});
        Chain({{102, 402}, {552, 402}});
        QCOMPARE(Layout(*s_).section('|', 1), QString(" 1-3 3-4 2-5 5-4 4-6 6-9 9-8 7-9"));
        QCOMPARE(QList<int>({s_->Nodes[4].Etag, s_->Nodes[6].Etag}), QList<int>({2, 1}));

        // What the parameter dialogs would enter.
        for (int i : {1, 2, 7}) s_->Nodes[i].People = 20 + 5 * i;
        for (int i = 1; i <= AreaCount(*s_); ++i) {
            s_->Areas[i].Length = 10 + i;
            s_->Areas[i].Width = 1.5;
        }
        s_->Areas[5].Kind = kStairsDown;
        s_->Areas[7].Kind = kDoorway;
        Use("TBcursor");
        MoveTo(527, 227);
        QVERIFY(Tools().Hint().contains("Спуск с 2-го этажа"));

        const QString shots = qEnvironmentVariable("STELMAR_SCREENSHOTS");
        if (!shots.isEmpty()) {
            tf_->grab().save(shots + "/canvas-floor1.png");
            floors->setCurrentIndex(1);
            tf_->grab().save(shots + "/canvas-floor2.png");
        }
        const QString path = shots.isEmpty() ? session_->File("building.stm") : shots + "/building.stm";
        session_->Prompts().SaveNames << path;
        Use("N4");
        QVERIFY(!s_->Modified);
        ProjectReadResult read = ReadProjectFile(path.toStdString());
        QVERIFY(read.Scheme);
        QCOMPARE(Layout(*read.Scheme), Layout(*s_));
        QCOMPARE(ValidateScheme(*read.Scheme), std::vector<std::string>());
        Calculate(*read.Scheme, '.');
        QVERIFY(read.Scheme->EvacuationTime > 0);
    }
};

QTEST_MAIN(CanvasToolsTest)
#include "CanvasToolsTest.moc"
