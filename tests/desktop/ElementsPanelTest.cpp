// The panel "Элементы" through its real widgets: typing a value over a
// cell with the dialogs' checks, many rows at once as one undo step,
// pasting a column from a spreadsheet and copying rows to one, the
// selection shared with the drawing, the filters, and the labels after a
// deletion on the drawing.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "editor/ElementsPanel.h"
#include "model/ElementTable.h"
#include "model/SchemeBuilder.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

constexpr int kDoorways = 20;

// Floor 1: input 1 at (40, 100) and junctions 2..22 in a row, joined by
// a horizontal path 1-2 and the doorways 2-3 .. 21-22 (0.9 m wide); 4
// horizontal paths from junction 22 to junctions 23..26 below it; floor 2:
// exit 27, joined by stairs to junction 26.
void BuildSchool(TPipeLine& s)
{
    s.EtagCount = 2;
    SchemeBuilder b(s);
    const int input = b.Input({.X = 40, .Y = 100, .People = 30});
    int previous = b.Junction({.X = 80, .Y = 100});
    b.Area(input, previous, 4, 2);
    for (int i = 0; i < kDoorways; ++i) {
        const int next = b.Junction({.X = 120 + 40 * i, .Y = 100});
        b.Area(previous, next, 0, 0.9, kDoorway);
        previous = next;
    }
    for (int i = 0; i < 4; ++i) b.Area(previous, b.Junction({.X = 200 + 60 * i, .Y = 300}), 10, 2);
    const int exit = b.OnFloor(2).Exit({.X = 400, .Y = 400});
    b.Area(NodeCount(s) - 1, exit, 6, 1.5, kStairsDown);
}

}  // namespace

class ElementsPanelTest : public QObject, public CanvasDriver {
    Q_OBJECT

    std::unique_ptr<Session> session_;
    TF* tf_ = nullptr;
    TPipeLine* s_ = nullptr;
    QDockWidget* panel_ = nullptr;
    QTableView* nodes_ = nullptr;
    QTableView* areas_ = nullptr;

    QTableView* Areas()
    {
        panel_->findChild<QTabWidget*>("ElementTabs")->setCurrentIndex(1);
        areas_->setFocus();
        return areas_;
    }
    QTableView* Nodes()
    {
        panel_->findChild<QTabWidget*>("ElementTabs")->setCurrentIndex(0);
        nodes_->setFocus();
        return nodes_;
    }
    QString Cell(QTableView* view, int row, int column) { return view->model()->index(row, column).data().toString(); }
    QStringList Column(QTableView* view, int column)
    {
        QStringList cells;
        for (int row = 0; row < view->model()->rowCount(); ++row) cells << Cell(view, row, column);
        return cells;
    }
    // Selects rows `first`..`last` as a click and a Shift+click in
    // `column` do, which makes it the column typed into.
    void SelectRows(QTableView* view, int first, int last, int column)
    {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(view, first, column));
        if (last != first)
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(view, last, column));
    }
    QPoint CellCentre(QTableView* view, int row, int column)
    {
        view->scrollTo(view->model()->index(row, column));
        return view->visualRect(view->model()->index(row, column)).center();
    }
    // Types over the current cell: the first key opens the editor, the
    // rest go into it, Enter accepts; the value is written once the editor
    // has closed.
    void TypeOver(QTableView* view, const QString& text)
    {
        QTest::keyClick(view, text.at(0).toLatin1());
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && editor != view);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
    }
    // The editor commits after its key, and the panel writes after that.
    void Settle()
    {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    // Opens the current cell's editor by F2 and accepts `text` in it.
    void EditText(QTableView* view, const QString& text)
    {
        QTest::keyClick(view, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
    }
    void Key(QTableView* view, QKeySequence::StandardKey key)
    {
        const QKeySequence sequence(key);
        QTest::keySequence(view, sequence);
        QCoreApplication::processEvents();
    }
    QList<double> Widths()
    {
        QList<double> widths;
        for (int i = 1; i <= AreaCount(*s_); ++i) widths << s_->Areas[i].Width;
        return widths;
    }
    QList<int> SelectedAreas()
    {
        QList<int> selected;
        for (int i = 1; i <= AreaCount(*s_); ++i)
            if (s_->Areas[i].Selected) selected << i;
        return selected;
    }
    QList<int> SelectedNodes()
    {
        QList<int> selected;
        for (int i = 1; i <= NodeCount(*s_); ++i)
            if (s_->Nodes[i].Selected) selected << i;
        return selected;
    }
    QStringList& Warnings() { return session_->Prompts().Warnings; }

private slots:
    void initTestCase() { qputenv("LC_ALL", "ru_RU.UTF-8"); }

    void init()
    {
        session_ = std::make_unique<Session>();
        tf_ = &session_->Start();
        s_ = &tf_->Scheme();
        Attach(*tf_);
        tf_->resize(1100, 800);
        panel_ = tf_->findChild<QDockWidget*>("ElementsPanel");
        QVERIFY(panel_);
        QVERIFY(panel_->isHidden());
        tf_->Apply("правка", BuildSchool);
        tf_->RebuildFloorList();
        session_->Action("NElements")->trigger();
        QVERIFY(panel_->isVisible());
        nodes_ = panel_->findChild<QTableView*>("NodeTable");
        areas_ = panel_->findChild<QTableView*>("AreaTable");
        panel_->findChild<QCheckBox*>("AllFloors")->setChecked(true);
        tf_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(tf_));
    }
    void cleanup() { session_.reset(); }

    void panelIsADockOfTheViewMenu()
    {
        QCOMPARE(panel_->windowTitle(), QString("Элементы"));
        QAction* toggle = session_->Action("NElements");
        QCOMPARE(toggle->text().remove('&'), QString("Таблица элементов"));
        QVERIFY(tf_->findChild<QMenu*>("N7")->actions().contains(toggle));
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QVERIFY(panel_->isHidden());
        QVERIFY(!toggle->isChecked());
        // Hidden, it still catches up with edits when shown again.
        tf_->Apply("правка", [](TPipeLine& s) { s.Areas[1].Length = 7; });
        toggle->trigger();
        QCOMPARE(Cell(Areas(), 0, int(AreaColumn::Length)), QString("7"));
    }

    void tablesShowEveryElementAsTheDialogsDo()
    {
        QCOMPARE(nodes_->model()->rowCount(), 27);
        QCOMPARE(areas_->model()->rowCount(), 26);
        QCOMPARE(Cell(nodes_, 0, int(NodeColumn::Kind)), QString("Вход"));
        QCOMPARE(Cell(nodes_, 0, int(NodeColumn::People)), QString("30"));
        QCOMPARE(Cell(nodes_, 0, int(NodeColumn::F)), QString("0,1"));
        QCOMPARE(Cell(nodes_, 0, int(NodeColumn::Mobility)), QString("Без ограничений мобильности"));
        // People, f and the group belong to inputs only.
        QCOMPARE(Cell(nodes_, 1, int(NodeColumn::People)), QString());
        QVERIFY(!(nodes_->model()->index(1, int(NodeColumn::People)).flags() & Qt::ItemIsEditable));
        QCOMPARE(Cell(nodes_, 26, int(NodeColumn::Kind)), QString("Выход"));
        QCOMPARE(Cell(nodes_, 26, int(NodeColumn::Floor)), QString("2"));
        QCOMPARE(Cell(areas_, 1, int(AreaColumn::Label)), QString("2-3"));
        QCOMPARE(Cell(areas_, 1, int(AreaColumn::Kind)), QString("Дверной проем"));
        QCOMPARE(Cell(areas_, 1, int(AreaColumn::Width)), QString("0,9"));
        QCOMPARE(Cell(areas_, 25, int(AreaColumn::Floors)), QString("1-2"));
    }

    void typedWidthIsOneStepWithTheModifiedMark()
    {
        QTableView* view = Areas();
        SelectRows(view, 0, 0, int(AreaColumn::Width));
        TypeOver(view, "1.75");
        QCOMPARE(s_->Areas[1].Width, 1.75);
        QCOMPARE(Cell(view, 0, int(AreaColumn::Width)), QString("1,75"));
        QCOMPARE(session_->Panel(1), QString("Изменено"));
        QVERIFY(Warnings().isEmpty());
        session_->Action("Nundo")->trigger();
        QCOMPARE(s_->Areas[1].Width, 2.0);
        QCOMPARE(Cell(view, 0, int(AreaColumn::Width)), QString("2"));
        session_->Action("Nrendo")->trigger();
        QCOMPARE(Cell(view, 0, int(AreaColumn::Width)), QString("1,75"));
    }

    // "abc" is refused with the area dialog's message; the scheme and the
    // history stay as they were: one undo takes away the whole scheme.
    void refusedValueLeavesTheSchemeAlone()
    {
        QTableView* view = Areas();
        SelectRows(view, 1, 1, int(AreaColumn::Width));
        TypeOver(view, "abc");
        QCOMPARE(Warnings(), QStringList{"Ширина, м: введите число без знака, например 0,5"});
        QCOMPARE(s_->Areas[2].Width, 0.9);
        QCOMPARE(Cell(view, 1, int(AreaColumn::Width)), QString("0,9"));
        session_->Action("Nundo")->trigger();
        QCOMPARE(AreaCount(*s_), 0);
        QVERIFY(!session_->Enabled("Nundo"));

        // A node label takes what the node dialog takes.
        session_->Action("Nrendo")->trigger();
        view = Nodes();
        SelectRows(view, 1, 1, int(NodeColumn::Label));
        EditText(view, QString::fromUtf8("Узел \xF0\x9F\x98\x80"));
        QCOMPARE(Warnings().size(), 2);
        QVERIFY(Warnings().last().startsWith("Узел №: обозначение узла содержит символы"));
        QCOMPARE(s_->Nodes[2].Name, std::string(kDefaultNodeName));
        SelectRows(view, 0, 0, int(NodeColumn::People));
        TypeOver(view, "-5");
        QCOMPARE(Warnings().size(), 3);
        QCOMPARE(Warnings().last(), QString("Количество человек: введите целое число без знака"));
        QCOMPARE(s_->Nodes[1].People, 30);
    }

    void twentyDoorwaysAtOnceAreOneStep()
    {
        QTableView* view = Areas();
        panel_->findChild<QComboBox*>("AreaKinds")->setCurrentText("Дверной проем");
        QCOMPARE(view->model()->rowCount(), kDoorways);
        QCOMPARE(panel_->findChild<QLabel*>("AreasShown")->text(), QString("Показано 20 из 26"));
        SelectRows(view, 0, kDoorways - 1, int(AreaColumn::Width));
        QCOMPARE(SelectedAreas().size(), kDoorways);
        const QList<double> before = Widths();
        TypeOver(view, "1,2");
        QList<double> expected = before;
        for (int i = 1; i <= kDoorways; ++i) expected[i] = 1.2;
        QCOMPARE(Widths(), expected);
        QCOMPARE(Column(view, int(AreaColumn::Width)), QStringList(QList<QString>(kDoorways, "1,2")));
        QCOMPARE(session_->Panel(1), QString("Изменено"));
        session_->Action("Nundo")->trigger();
        QCOMPARE(Widths(), before);
        QCOMPARE(AreaCount(*s_), 26);
        session_->Action("Nrendo")->trigger();
        QCOMPARE(Widths(), expected);

        // A list column: every selected row gets the kind chosen.
        SelectRows(view, 0, 2, int(AreaColumn::Kind));
        QTest::keyClick(view, Qt::Key_F2);
        auto* list = qobject_cast<QComboBox*>(QApplication::focusWidget());
        QVERIFY(list);
        list->setCurrentText("Горизонтальный путь");
        QTest::keyClick(list, Qt::Key_Return);
        Settle();
        for (int i = 2; i <= 4; ++i) QCOMPARE(s_->Areas[i].Kind, kHorizontal);
        QCOMPARE(s_->Areas[5].Kind, kDoorway);
        // The rows of other kinds leave the filtered table.
        QCOMPARE(view->model()->rowCount(), kDoorways - 3);
    }

    // The mark "по чертежу" set on many rows at once gives them their drawn
    // lengths in the same step; a stair between floors cannot take it.
    void drawnMarkOnManyRowsIsOneStep()
    {
        tf_->Apply("масштаб", [](TPipeLine& s) { s.Plans[1].Scale = 0.1; });
        QTableView* view = Areas();
        QCOMPARE(Cell(view, 1, int(AreaColumn::Drawn)), QString("нет"));
        QVERIFY(!(view->model()->index(25, int(AreaColumn::Drawn)).flags() & Qt::ItemIsEditable));
        SelectRows(view, 1, 3, int(AreaColumn::Drawn));
        QTest::keyClick(view, Qt::Key_F2);
        auto* list = qobject_cast<QComboBox*>(QApplication::focusWidget());
        QVERIFY(list);
        list->setCurrentText("да");
        QTest::keyClick(list, Qt::Key_Return);
        Settle();
        for (int i = 2; i <= 4; ++i) {
            QVERIFY(s_->Areas[i].Drawn);
            QCOMPARE(s_->Areas[i].Length, 4.0);  // 40 points of 0.1 m
        }
        QCOMPARE(Cell(view, 1, int(AreaColumn::Drawn)), QString("да"));
        QVERIFY(!s_->Areas[5].Drawn);
        session_->Action("Nundo")->trigger();
        QVERIFY(!s_->Areas[2].Drawn);
        QCOMPARE(s_->Areas[2].Length, 0.0);
    }

    // An editor opened over many rows and left without a change writes
    // nothing: the other rows keep their own values, no step is recorded.
    void editorLeftUnchangedWritesNothing()
    {
        QTableView* view = Areas();
        SelectRows(view, 0, 4, int(AreaColumn::Width));
        const QList<double> before = Widths();
        QTest::keyClick(view, Qt::Key_F2);
        QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        nodes_->setFocus();
        Settle();
        QCOMPARE(Widths(), before);
        session_->Action("Nundo")->trigger();
        QCOMPARE(AreaCount(*s_), 0);
    }

    // A selection of inputs and other nodes: people go to the inputs only;
    // nodes moved to a new floor add it to the floor list.
    void nodeColumnsWriteWhereTheyBelong()
    {
        QTableView* view = Nodes();
        SelectRows(view, 3, 0, int(NodeColumn::People));
        TypeOver(view, "45");
        QCOMPARE(s_->Nodes[1].People, 45);
        QCOMPARE(s_->Nodes[2].People, 0);
        SelectRows(view, 1, 2, int(NodeColumn::Floor));
        TypeOver(view, "3");
        QCOMPARE(s_->Nodes[2].Etag, 3);
        QCOMPARE(s_->Nodes[3].Etag, 3);
        QCOMPARE(s_->EtagCount, 3);
        QCOMPARE(tf_->findChild<QComboBox*>("ComboBox1")->count(), 3);
        // Tool letters type into the table instead of choosing a tool.
        SelectRows(view, 4, 4, int(NodeColumn::Label));
        TypeOver(view, "A5");
        QCOMPARE(s_->Nodes[5].Name, std::string("A5"));
        QCOMPARE(s_->Tool, kPointerTool);
        QCOMPARE(Cell(areas_, 4, int(AreaColumn::Label)), QString("A5-6"));
    }

    void columnPastedFromASpreadsheet()
    {
        QTableView* view = Areas();
        SelectRows(view, 21, 23, int(AreaColumn::Length));
        QApplication::clipboard()->setText("12,5\r\n8\r\n3.25\r\n");
        Key(view, QKeySequence::Paste);
        QVERIFY(Warnings().isEmpty());
        QCOMPARE(s_->Areas[22].Length, 12.5);
        QCOMPARE(s_->Areas[23].Length, 8.0);
        QCOMPARE(s_->Areas[24].Length, 3.25);
        QCOMPARE(s_->Areas[25].Length, 10.0);
        // Undo, as on the drawing, leaves nothing selected.
        session_->Action("Nundo")->trigger();
        for (int i = 22; i <= 24; ++i) QCOMPARE(s_->Areas[i].Length, 10.0);
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());

        // A bad value anywhere refuses the whole column, naming its line.
        SelectRows(view, 21, 23, int(AreaColumn::Length));
        QApplication::clipboard()->setText("1\nabc\n3\n");
        Key(view, QKeySequence::Paste);
        QCOMPARE(Warnings(), QStringList{"Строка 2 из буфера обмена (участок №22-24): Длина, м: введите число без "
                                         "знака, например 0,5"});
        for (int i = 22; i <= 24; ++i) QCOMPARE(s_->Areas[i].Length, 10.0);
        QApplication::clipboard()->setText("1\n2\n");
        Key(view, QKeySequence::Paste);
        QCOMPARE(Warnings().size(), 2);
        QVERIFY(Warnings().last().startsWith("В буфере обмена 2 значений, а выделено 3 строк"));
        QApplication::clipboard()->setText("1\t2\n");
        Key(view, QKeySequence::Paste);
        QVERIFY(Warnings().last().startsWith("В буфере обмена несколько столбцов"));

        // With one row selected the column goes downwards from it; one
        // value goes into every selected row.
        SelectRows(view, 1, 1, int(AreaColumn::Width));
        QApplication::clipboard()->setText("1,1\n1,3\n");
        Key(view, QKeySequence::Paste);
        QCOMPARE(s_->Areas[2].Width, 1.1);
        QCOMPARE(s_->Areas[3].Width, 1.3);
        SelectRows(view, 5, 9, int(AreaColumn::Width));
        QApplication::clipboard()->setText("1,4\n");
        Key(view, QKeySequence::Paste);
        for (int i = 6; i <= 10; ++i) QCOMPARE(s_->Areas[i].Width, 1.4);
        QCOMPARE(Warnings().size(), 3);

        // People pasted over nodes that are not inputs.
        view = Nodes();
        SelectRows(view, 1, 2, int(NodeColumn::Label));
        view->selectionModel()->setCurrentIndex(view->model()->index(2, int(NodeColumn::People)),
                                                QItemSelectionModel::NoUpdate);
        QApplication::clipboard()->setText("5\n");
        Key(view, QKeySequence::Paste);
        QCOMPARE(Warnings().last(),
                 QString("Количество человек, площадь проекции и группа маломобильности задаются только для входов."));
    }

    // Copy gives the rows as a spreadsheet takes them, and leaves the
    // drawing's clipboard alone.
    void rowsCopiedForASpreadsheet()
    {
        QTableView* view = Areas();
        SelectRows(view, 0, 1, int(AreaColumn::Label));
        Key(view, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("1-2\t1\tГоризонтальный путь\t4\t2\tнет\n2-3\t1\tДверной проем\t0\t0,9\tнет\n"));
        QVERIFY(s_->ClipNodes.size() <= 1 && s_->ClipAreas.size() <= 1);
        QCOMPARE(SelectedAreas(), (QList<int>{1, 2}));
    }

    void selectionIsSharedWithTheDrawing()
    {
        QTableView* view = Nodes();
        SelectRows(view, 2, 4, int(NodeColumn::Label));
        QCOMPARE(SelectedNodes(), (QList<int>{3, 4, 5}));
        // Ctrl+click in the other table adds to the selection; a plain
        // click replaces all of it.
        view = Areas();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, CellCentre(view, 6, 0));
        QCOMPARE(SelectedAreas(), QList<int>{7});
        QCOMPARE(SelectedNodes(), (QList<int>{3, 4, 5}));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(view, 8, 0));
        QCOMPARE(SelectedAreas(), QList<int>{9});
        QCOMPARE(SelectedNodes(), QList<int>{});
        QVERIFY(nodes_->selectionModel()->selectedRows().isEmpty());

        // Elements selected on the drawing select their rows.
        Use("TBcursor");
        Click(40, 100);
        QCOMPARE(SelectedNodes(), QList<int>{1});
        QCOMPARE(nodes_->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(nodes_->selectionModel()->selectedRows().front().row(), 0);
        QVERIFY(areas_->selectionModel()->selectedRows().isEmpty());
        session_->Action("NSelectAll")->trigger();
        QCOMPARE(nodes_->selectionModel()->selectedRows().size(), 26);

        // A double click shows the element on its floor, alone selected.
        const QPoint exit = CellCentre(nodes_, 26, 0);
        QTest::mouseClick(nodes_->viewport(), Qt::LeftButton, {}, exit);
        QTest::mouseDClick(nodes_->viewport(), Qt::LeftButton, {}, exit);
        QCOMPARE(int(s_->ActiveEtag), 2);
        QCOMPARE(SelectedNodes(), QList<int>{27});
        QCOMPARE(tf_->findChild<QComboBox*>("ComboBox1")->currentIndex(), 1);
        QCOMPARE(nodes_->selectionModel()->selectedRows().size(), 1);
    }

    void filtersFollowTheFloorAndTheControls()
    {
        auto* allFloors = panel_->findChild<QCheckBox*>("AllFloors");
        allFloors->setChecked(false);
        QCOMPARE(nodes_->model()->rowCount(), 26);
        QCOMPARE(areas_->model()->rowCount(), 26);
        tf_->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);
        QCOMPARE(Column(nodes_, 0), QStringList{"27"});
        QCOMPARE(Column(areas_, 0), QStringList{"26-27"});
        allFloors->setChecked(true);
        QCOMPARE(nodes_->model()->rowCount(), 27);

        panel_->findChild<QComboBox*>("NodeKinds")->setCurrentText("Вход");
        QCOMPARE(Column(nodes_, 0), QStringList{"1"});
        panel_->findChild<QComboBox*>("NodeKinds")->setCurrentIndex(0);

        // Doorways have no length, which is allowed; a path of no width is
        // both of zero size and an error.
        auto* zero = panel_->findChild<QCheckBox*>("ZeroOnly");
        zero->setChecked(true);
        QCOMPARE(areas_->model()->rowCount(), kDoorways);
        tf_->Apply("правка", [](TPipeLine& s) { s.Areas[24].Width = 0; });
        QCOMPARE(areas_->model()->rowCount(), kDoorways + 1);
        zero->setChecked(false);

        auto* errors = panel_->findChild<QCheckBox*>("ErrorsOnly");
        errors->setChecked(true);
        QCOMPARE(Column(areas_, 0), QStringList{"22-25"});
        // Junctions 23..25 end the flow.
        QCOMPARE(Column(nodes_, 0), (QStringList{"23", "24", "25"}));
        // The filter follows the edits: a width typed in clears the error.
        QTableView* view = Areas();
        SelectRows(view, 0, 0, int(AreaColumn::Width));
        TypeOver(view, "1");
        QCOMPARE(view->model()->rowCount(), 0);
        session_->Action("Nundo")->trigger();
        QCOMPARE(Column(areas_, 0), QStringList{"22-25"});
    }

    // Labels and areas renumber as on the drawing, and come back by undo.
    void deletionOnTheDrawingRenumbers()
    {
        Use("TBDel");
        Click(40, 100);
        QCOMPARE(NodeCount(*s_), 26);
        QCOMPARE(nodes_->model()->rowCount(), 26);
        QCOMPARE(Cell(nodes_, 0, int(NodeColumn::Kind)), QString("Узел"));
        QCOMPARE(Cell(nodes_, 0, 0), QString("1"));
        QCOMPARE(Cell(areas_, 0, 0), QString("1-2"));
        QCOMPARE(Cell(areas_, 0, int(AreaColumn::Kind)), QString("Дверной проем"));
        QCOMPARE(areas_->model()->rowCount(), 25);
        session_->Action("Nundo")->trigger();
        QCOMPARE(nodes_->model()->rowCount(), 27);
        QCOMPARE(Cell(nodes_, 0, int(NodeColumn::Kind)), QString("Вход"));
        QCOMPARE(Cell(areas_, 0, int(AreaColumn::Kind)), QString("Горизонтальный путь"));
    }

    // Del deletes the elements of the selected rows (a node with its
    // areas), not the element under the pointer on the drawing.
    void deleteKeyDeletesTheSelectedRows()
    {
        MoveTo(40, 100);
        QTableView* view = Areas();
        SelectRows(view, 2, 3, 0);
        Key(view, QKeySequence::Delete);
        QCOMPARE(AreaCount(*s_), 24);
        QCOMPARE(NodeCount(*s_), 27);
        QCOMPARE(Cell(view, 2, 0), QString("5-6"));
        session_->Action("Nundo")->trigger();
        QCOMPARE(AreaCount(*s_), 26);
    }

    void closedProjectEmptiesTheTables()
    {
        session_->Prompts().Answers << Answer::No;
        QVERIFY(tf_->CloseProject());
        QCOMPARE(nodes_->model()->rowCount(), 0);
        QCOMPARE(areas_->model()->rowCount(), 0);
        QVERIFY(!panel_->widget()->isEnabled());
        QVERIFY(tf_->NewProject());
        QVERIFY(panel_->widget()->isEnabled());
    }
};

QTEST_MAIN(ElementsPanelTest)
#include "ElementsPanelTest.moc"
