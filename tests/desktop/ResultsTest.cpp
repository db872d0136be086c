// The results of a calculation on the drawing and in the "Результаты"
// panel, and the findings of the checks that lead to their elements: the
// colours of a known bottleneck at pixel level, the path of t_p, results
// that an edit makes stale, the marks of findings, a finding clicked on
// another floor, the panel following the drawing, and its CSV.

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "calc/FlowCalculation.h"
#include "dialogs/CalculationDialog.h"
#include "dialogs/NodeParamsDialog.h"
#include "dialogs/ServiceCalculationDialog.h"
#include "dialogs/FindingsBox.h"
#include "drawing/ResultsDrawing.h"
#include "editor/ResultTableModels.h"
#include "editor/ResultsPanel.h"
#include "model/ElementTable.h"
#include "model/NumberText.h"
#include "model/SchemeBuilder.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// The colours as the drawing paints them.
const QColor kBottleneckRed(0xD0, 0x00, 0x00);
const QColor kSlowedOrange(0xE6, 0x95, 0x00);
const QColor kPathBlue(0x80, 0xC0, 0xFF);
const QColor kFindingRed(0xFF, 0x00, 0x00);

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 30;
}

// Half way to white, as old results are drawn.
// "t_p = 1,11 мин" with the separator of the user's numbers.
QString EvacuationTime(const char* integer, const char* fraction)
{
    return QString("t_p = %1%2%3 мин").arg(integer).arg(DecimalSeparatorFromEnvironment()).arg(fraction);
}

QColor Faded(const QColor& c) { return QColor((c.red() + 255) / 2, (c.green() + 255) / 2, (c.blue() + 255) / 2); }

// Three inputs of 40 people over 20 m x 2 m meet at a junction and leave
// over 10 m x 2 m: q = 24 there is above the peak of a horizontal path, so
// the last area (number 4, from (400, 300) to (700, 300)) is a bottleneck.
void ThreeInputsMerge(TPipeLine& s)
{
    s.Precision = 2;
    SchemeBuilder b(s);
    const int j = b.Junction({.X = 400, .Y = 300});
    for (int y : {100, 300, 500}) b.Area(b.Input({.X = 100, .Y = y, .People = 40}), j, 20, 2);
    b.Area(j, b.Exit({.X = 700, .Y = 300}), 10, 2);
}

// Splits a CSV line of ";"-separated fields, quotes undone.
QStringList CsvFields(const QString& line)
{
    QStringList fields{QString()};
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            fields << QString();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

class ResultsTest : public QObject, public CanvasDriver {
    Q_OBJECT

    std::unique_ptr<Session> session_;
    TF* tf_ = nullptr;
    TPipeLine* s_ = nullptr;

    // The canvas as the user sees it, and the colour at a canvas point.
    QImage Shot() { return Canvas()->grab().toImage(); }
    QColor At(const QImage& image, int x, int y) { return image.pixelColor(Canvas()->ToWidget(x, y)); }

    ResultsPanel* Panel() { return tf_->findChild<ResultsPanel*>("ResultsPanel"); }
    QTableView* AreaTable() { return Panel()->findChild<QTableView*>("ResultsAreas"); }

    // Calculates on this computer as the dialog does, its result shown.
    void CalculateHere()
    {
        Calculate(*s_, ',');
        tf_->ShowResults();
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        session_ = std::make_unique<Session>();
        tf_ = &session_->Start();
        s_ = &tf_->Scheme();
        Attach(*tf_);
        tf_->resize(1000, 760);
    }
    void cleanup() { session_.reset(); }

    // The bottleneck after the merge is red, the slowed input areas are
    // orange, and the whole way of the flow of t_p lies on light blue.
    void overlayColoursOfABottleneck()
    {
        ThreeInputsMerge(*s_);
        tf_->Draw();
        const QImage before = Shot();
        QVERIFY(!Near(At(before, 460, 300), kBottleneckRed));
        QVERIFY(!Near(At(before, 550, 300 + s_->AreaWidth / 2 + 3), kPathBlue));

        CalculateHere();
        const QImage after = Shot();
        QVERIFY2(Near(At(after, 460, 300), kBottleneckRed), qPrintable(At(after, 460, 300).name()));
        QVERIFY2(Near(At(after, 250, 300), kSlowedOrange), qPrintable(At(after, 250, 300).name()));
        // Beside the line, within the wider light blue underneath it.
        QVERIFY2(Near(At(after, 550, 300 + s_->AreaWidth / 2 + 3), kPathBlue),
                 qPrintable(At(after, 550, 300 + s_->AreaWidth / 2 + 3).name()));
        QVERIFY(Near(At(after, 250, 300 - s_->AreaWidth / 2 - 3), kPathBlue));
        QCOMPARE(session_->Panel(6), EvacuationTime("1", "11"));

        // Hidden from the "Вид" menu, the drawing is as before.
        session_->Action("NResults")->trigger();
        QVERIFY(!Near(At(Shot(), 460, 300), kBottleneckRed));
        session_->Action("NResults")->trigger();
        QVERIFY(Near(At(Shot(), 460, 300), kBottleneckRed));
    }

    // "Вид → Легенда" hides and shows the legend; at a low zoom it stands in
    // a corner clear of the drawing; it names the path of t_p as the PDF's
    // legend does.
    void legendFromTheViewMenuKeepsOffTheDrawing()
    {
        ThreeInputsMerge(*s_);
        CalculateHere();
        tf_->ZoomTo(0.5, QPointF(0, 0));
        QCoreApplication::processEvents();
        QAction* legend = session_->Action("NLegend");
        QVERIFY(legend->isChecked());
        const QImage shown = Shot();
        legend->trigger();
        const QImage hidden = Shot();
        const QRect drawing(Canvas()->ToWidget(100, 100), Canvas()->ToWidget(700, 500));
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) == hidden.pixel(x, y)) continue;
                ++differing;
                QVERIFY2(!drawing.contains(x, y), qPrintable(QString("legend at %1, %2").arg(x).arg(y)));
            }
        QVERIFY(differing > 500);
        legend->trigger();
        QCOMPARE(Shot(), shown);

        const std::vector<LegendEntry> entries = ResultsLegend();
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [](const LegendEntry& e) { return e.Caption == kCriticalPathCaption; }));
    }

    // An edit after the calculation keeps the results, faded and marked as
    // old in the status bar and the panel, until the next calculation.
    void editMakesTheResultsStale()
    {
        ThreeInputsMerge(*s_);
        CalculateHere();
        tf_->Apply("правка", [](TPipeLine& s) { s.Areas[4].Width = 3; });
        QCoreApplication::processEvents();
        QVERIFY(tf_->Results().Stale());
        QVERIFY2(Near(At(Shot(), 460, 300), Faded(kBottleneckRed)), qPrintable(At(Shot(), 460, 300).name()));
        QCOMPARE(session_->Panel(6), EvacuationTime("1", "11") + " (устарело)");
        QVERIFY(Panel()->findChild<QLabel*>("ResultsNote")->text().contains("Результаты устарели"));

        // Undo back to the calculated scheme makes its results current
        // again, on the drawing, in the status bar and in the panel; redo
        // makes them old again.
        session_->Action("Nundo")->trigger();
        QVERIFY(!tf_->Results().Stale());
        QCOMPARE(session_->Panel(6), EvacuationTime("1", "11"));
        QVERIFY(!Panel()->findChild<QLabel*>("ResultsNote")->text().contains("устарели"));
        QVERIFY(Near(At(Shot(), 460, 300), kBottleneckRed));
        session_->Action("Nrendo")->trigger();
        QVERIFY(tf_->Results().Stale());
        QCOMPARE(session_->Panel(6), EvacuationTime("1", "11") + " (устарело)");
        // An edit that changes nothing keeps them as they are.
        session_->Action("Nundo")->trigger();
        tf_->Apply("правка", [](TPipeLine& s) { s.Areas[4].Width = 2; });
        QVERIFY(!tf_->Results().Stale());
        QVERIFY(session_->Enabled("Nrendo"));
        tf_->Apply("правка", [](TPipeLine& s) { s.Areas[4].Width = 4; });
        QVERIFY(tf_->Results().Stale());
        session_->Action("Nundo")->trigger();

        CalculateHere();
        QVERIFY(!tf_->Results().Stale());
        QCOMPARE(session_->Panel(6), EvacuationTime("1", "11"));
        QVERIFY(Near(At(Shot(), 460, 300), kBottleneckRed));
    }

    // A finding clicked in the dialog shows its floor and selects its
    // element in view; the drawing marks every element found at fault.
    void findingOnTheThirdFloor()
    {
        int lost = 0;
        tf_->Apply("правка", [&](TPipeLine& s) {
            s.EtagCount = 3;
            SchemeBuilder b(s);
            for (int floor = 1; floor <= 2; ++floor) {
                b.OnFloor(floor);
                b.Area(b.Input({.X = 100, .Y = 100, .People = 10}), b.Exit({.X = 300, .Y = 100}), 10, 1);
            }
            b.OnFloor(3);
            lost = b.Input({.X = 1800, .Y = 1700, .People = 0});
            b.Area(lost, b.Exit({.X = 1600, .Y = 1700}), 10, 1);
        });
        tf_->RebuildFloorList();
        QCOMPARE(int(s_->ActiveEtag), 1);

        bool missed = false;
        bool clicked = false;
        OnModal<TFcalc>(
            [&](TFcalc* dialog) {
                auto* box = dialog->findChild<FindingsBox*>("ProcCalc");
                QVERIFY(box);
                int line = -1;
                for (std::size_t i = 0; i < box->Findings().size(); ++i)
                    if (box->Findings()[i].Element == ElementRef{ElementKind::Node, lost, 3}) line = int(i);
                QVERIFY2(line >= 0, "the finding names the input on floor 3");
                const QTextCursor cursor(box->document()->findBlockByNumber(line));
                QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->cursorRect(cursor).center());
                clicked = true;
                dialog->reject();
            },
            &missed);
        session_->Action("MMCalcLocal")->trigger();
        QVERIFY(!missed);
        QVERIFY(clicked);

        QCOMPARE(int(s_->ActiveEtag), 3);
        QVERIFY(s_->Nodes[lost].Selected);
        const QRect visible = Canvas()->visibleRegion().boundingRect();
        QVERIFY2(visible.contains(Canvas()->ToWidget(1800, 1700)), "the input is scrolled into view");
        // A red ring around it.
        const QImage image = Shot();
        const int r = std::max(10, s_->NodeWidth / 2 + 5);
        bool ring = false;
        for (int dx = -1; dx <= 1 && !ring; ++dx) ring = Near(At(image, 1800 + r + dx, 1700), kFindingRed);
        QVERIFY(ring);
    }

    // A finding clicked in either calculation dialog leaves its element in
    // view: the dialog moves off it. A double click opens the element's
    // parameters in front of the dialog, ready for typing.
    void findingIsNotHiddenByTheDialog_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("local") << "MMCalcLocal";
        QTest::newRow("service") << "MMCalc";
    }
    void findingIsNotHiddenByTheDialog()
    {
        QFETCH(QString, command);
        int input = 0;
        tf_->Apply("правка", [&](TPipeLine& s) {
            SchemeBuilder b(s);
            input = b.Input({.X = 300, .Y = 250, .People = 0});
            b.Area(input, b.Exit({.X = 500, .Y = 250}), 10, 1);
        });
        tf_->SetModified(false);
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), qPrintable(window->objectName()));

        bool opened = false;
        auto check = [&](QDialog* dialog) {
            auto* box = dialog->findChild<FindingsBox*>("ProcCalc");
            int line = -1;
            for (std::size_t i = 0; i < box->Findings().size(); ++i)
                if (box->Findings()[i].Element.Number == input) line = int(i);
            QVERIFY(line >= 0);
            const QPoint at = box->cursorRect(QTextCursor(box->document()->findBlockByNumber(line))).center();
            // The dialog opens over the middle of the window, where the
            // element is brought.
            dialog->move(Canvas()->mapToGlobal(Canvas()->ToWidget(300, 250)) - QPoint(100, 100));
            QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
            const QPoint node = Canvas()->mapToGlobal(Canvas()->ToWidget(s_->Nodes[input].X, s_->Nodes[input].Y));
            QVERIFY2(!dialog->frameGeometry().intersects(QRect(node - QPoint(8, 8), QSize(16, 16))),
                     "the dialog covers the element");
            QVERIFY(Canvas()->visibleRegion().contains(Canvas()->mapFromGlobal(node)));
            OnModal<TFuzel>([&](TFuzel* params) {
                opened = true;
                QCOMPARE(QApplication::activeModalWidget(), params);
                QTRY_VERIFY(params->isActiveWindow());
                auto* people = params->findChild<QLineEdit*>("EditH");
                people->setFocus();
                QTest::keyClick(people, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(people, "12");
                QTest::mouseClick(params->findChild<QToolButton*>("SpeedButton3"), Qt::LeftButton);
            });
            QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
            dialog->reject();
        };
        bool missed = false;
        if (command == "MMCalcLocal")
            OnModal<TFcalc>([&](TFcalc* dialog) { check(dialog); }, &missed);
        else
            OnModal<TFcalcNet>([&](TFcalcNet* dialog) { check(dialog); }, &missed);
        session_->Action(qPrintable(command))->trigger();
        QVERIFY(!missed);
        QVERIFY(opened);
        QCOMPARE(s_->Nodes[input].People, 12);
    }

    // Rows chosen in the panel select their areas in the drawing, and the
    // drawing's selection chooses the rows.
    void panelFollowsTheDrawing()
    {
        ThreeInputsMerge(*s_);
        CalculateHere();
        session_->Action("NResultsPanel")->trigger();
        QTableView* table = AreaTable();
        QCOMPARE(table->model()->rowCount(), 4);

        table->selectRow(3);
        QCoreApplication::processEvents();
        QVERIFY(s_->Areas[4].Selected);
        QVERIFY(!s_->Areas[1].Selected);

        const QPoint middle = Canvas()->ToWidget(250, 100 + (300 - 100) / 2);
        Use("TBcursor");
        Click(middle.x(), middle.y());
        QCoreApplication::processEvents();
        QVERIFY(s_->Areas[1].Selected);
        const QModelIndexList rows = table->selectionModel()->selectedRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].data().toString(), table->model()->index(0, 0).data().toString());

        // Only the bottlenecks: the area after the merge.
        Panel()->findChild<QCheckBox*>("ResultsBottlenecks")->setChecked(true);
        QCOMPARE(table->model()->rowCount(), 1);
    }

    // The table saved as CSV reads back cell for cell, the way the panel
    // shows it.
    void csvRoundTrip()
    {
        ThreeInputsMerge(*s_);
        CalculateHere();
        session_->Action("NResultsPanel")->trigger();
        const QString path = session_->File("участки.csv");
        session_->Prompts().CsvName = path;
        Panel()->findChild<QPushButton*>("ResultsCsv")->click();
        QCOMPARE(session_->Prompts().Warnings, QStringList());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n");
        QCOMPARE(lines.takeLast(), QString());
        const QAbstractItemModel* model = AreaTable()->model();
        QCOMPARE(lines.size(), model->rowCount() + 1);
        for (int c = 0; c < model->columnCount(); ++c)
            QCOMPARE(CsvFields(lines[0]).value(c), model->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < model->rowCount(); ++r) {
            const QStringList fields = CsvFields(lines[r + 1]);
            QCOMPARE(fields.size(), model->columnCount());
            for (int c = 0; c < model->columnCount(); ++c)
                QCOMPARE(fields[c], model->index(r, c).data().toString());
        }
    }

    // A stair from floor 2 down to floor 1 reads alike in "Результаты" and
    // "Элементы" (its label and its floors as AreaLabel orders them);
    // numbers stand right-aligned; the exits have their table, and the
    // workbook holds all three.
    void panelsNameAreasAlikeAndSaveAWorkbook()
    {
        s_->EtagCount = 2;
        SchemeBuilder b(*s_);
        b.OnFloor(2);
        const int stairTop = b.Junction({.X = 300, .Y = 300});
        b.Area(b.Input({.X = 100, .Y = 300, .People = 30}), stairTop, 12, 1.5);
        b.OnFloor(1);
        const int stairFoot = b.Junction({.X = 300, .Y = 300});
        b.Area(stairTop, stairFoot, 6, 1.2, kStairsDown);
        b.Area(stairFoot, b.Exit({.X = 500, .Y = 300}), 4, 1.2);
        CalculateHere();
        session_->Action("NResultsPanel")->trigger();
        session_->Action("NElements")->trigger();
        tf_->findChild<QCheckBox*>("AllFloors")->setChecked(true);
        const QAbstractItemModel* results = AreaTable()->model();
        const QAbstractItemModel* elements = tf_->findChild<QTableView*>("AreaTable")->model();
        QCOMPARE(results->index(1, AreaResultsModel::Floor).data().toString(), QString("2-1"));
        for (int area = 0; area < 3; ++area) {
            QCOMPARE(elements->index(area, int(AreaColumn::Label)).data().toString(),
                     results->index(area, AreaResultsModel::Label).data().toString());
            QCOMPARE(elements->index(area, int(AreaColumn::Floors)).data().toString(),
                     results->index(area, AreaResultsModel::Floor).data().toString());
        }
        const auto alignment = [](const QAbstractItemModel* m, int row, int column) {
            return Qt::Alignment(m->index(row, column).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(results, 0, AreaResultsModel::Length), Qt::AlignRight);
        QCOMPARE(alignment(results, 0, AreaResultsModel::Label), Qt::AlignLeft);
        QCOMPARE(alignment(elements, 0, int(AreaColumn::Length)), Qt::AlignRight);

        const QAbstractItemModel* exits = Panel()->ExitsView()->model();
        QCOMPARE(exits->rowCount(), 1);
        QCOMPARE(exits->index(0, int(ExitTableColumn::People)).data().toString(), QString("30"));
        QCOMPARE(exits->index(0, int(ExitTableColumn::Time)).data().toString(),
                 QString::fromStdString(FormatReal(s_->EvacuationTime, DecimalSeparatorFromEnvironment())));

        session_->Prompts().XlsxName = session_->File("результаты.xlsx");
        Panel()->findChild<QPushButton*>("ResultsXlsx")->click();
        QCOMPARE(session_->Prompts().Warnings, QStringList());
        QFile workbook(session_->Prompts().XlsxName);
        QVERIFY(workbook.open(QIODevice::ReadOnly));
        QVERIFY(workbook.read(2) == "PK");
    }
};

QTEST_MAIN(ResultsTest)
#include "ResultsTest.moc"
