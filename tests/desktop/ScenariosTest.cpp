// The fire scenarios in the window: the "Сценарии" panel (each change one
// named undo step, bad times refused at their field), elements excluded
// from the pop-up menu and from the element table, the crosses on the
// drawing, the note left by deleting an excluded element, and the
// calculation of every scenario with the active one shown.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTimer>

#include "CanvasDriver.h"
#include "MainWindowFixture.h"
#include "dialogs/CalculationDialog.h"
#include "editor/CanvasWidget.h"
#include "editor/ElementsPanel.h"
#include "editor/ScenarioTableModels.h"
#include "editor/ScenariosPanel.h"
#include "model/Scenarios.h"
#include "model/SchemeSelection.h"
#include "model/SchemeBuilder.h"

using namespace stelmar;
using namespace stelmar::test;

namespace {

// Red as the drawing crosses out excluded elements.
bool Red(const QColor& c) { return c.red() > 180 && c.green() < 60 && c.blue() < 60; }

// Chooses the item named `name` of the next pop-up menu that opens, as a
// click on it would.
void OnMenu(const char* name)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, name] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        timer->stop();
        timer->deleteLater();
        menu->setActiveAction(menu->findChild<QAction*>(name));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    timer->start();
}

}  // namespace

class ScenariosTest : public QObject, public CanvasDriver {
    Q_OBJECT

    std::unique_ptr<Session> session_;
    TF* tf_ = nullptr;

    ScenariosPanel* Panel() { return tf_->findChild<ScenariosPanel*>("ScenariosPanel"); }
    template <typename T>
    T* In(const char* name) { return Panel()->findChild<T*>(name); }
    QAbstractItemModel* List() { return In<QTableView>("ScenarioList")->model(); }
    auto* Nodes() { return static_cast<ScenarioNodesModel*>(In<QTableView>("ScenarioNodes")->model()); }
    QString UndoText() { return session_->Action("Nundo")->text().remove('&'); }
    const TScenario& Active() { return ScenarioAt(tf_->Scheme(), ActiveScenarioIndex(tf_->Scheme())); }

    void Type(const char* field, const QString& text)
    {
        auto* edit = In<QLineEdit>(field);
        edit->setText(text);
        emit edit->editingFinished();
    }

    int RowOf(int node)
    {
        for (int r = 0; r < Nodes()->rowCount(); ++r)
            if (Nodes()->NodeAt(r) == node) return r;
        return -1;
    }

    void Start(const QString& project = QString())
    {
        tf_ = &session_->Start(project);
        Attach(*tf_);
        tf_->resize(1200, 800);
        session_->Action("NScenarios")->trigger();
        QCoreApplication::processEvents();
    }

private slots:
    void init() { session_ = std::make_unique<Session>(); }
    void cleanup() { session_.reset(); }

    void panelChangesAreNamedStepsAndBadTimesStayAtTheirField()
    {
        Start(session_->CopyExample("two-exits.stm", "a.stm"));
        const TPipeLine& s = tf_->Scheme();
        QCOMPARE(List()->rowCount(), 3);

        Panel()->AddScenario();
        QCOMPARE(ScenarioCount(s), 4);
        QCOMPARE(ActiveScenarioIndex(s), 3);
        QCOMPARE(UndoText(), QString("Отменить: добавление сценария «Сценарий 4»"));
        Panel()->CopyScenario();
        QCOMPARE(ScenarioName(s, 4), std::string("Сценарий 4 (копия)"));

        // Renaming in place: an empty name or a taken one is refused.
        QVERIFY(!List()->setData(List()->index(0, 0), "  "));
        QCOMPARE(In<QLabel>("ScenarioTimeMessage")->text(), QString("Имя сценария не может быть пустым."));
        QVERIFY(!List()->setData(List()->index(0, 0), "Выход 1 заблокирован"));
        QVERIFY(List()->setData(List()->index(0, 0), "Норма"));
        QCOMPARE(UndoText(), QString("Отменить: переименование сценария «Нормальная эвакуация» в «Норма»"));

        session_->Prompts().Answers = {Answer::Yes};
        Panel()->DeleteScenario();
        QCOMPARE(ScenarioCount(s), 4);
        QCOMPARE(session_->Prompts().Questions.back(), QString("Удалить сценарий «Сценарий 4 (копия)»?"));

        // The active scenario's times: refused with a message beside the
        // field, the scheme unchanged; a valid time is one step.
        tf_->SetActiveScenario(0);
        const std::optional<double> blockTime = Active().BlockTime;
        for (const auto& [text, message] :
             {std::pair<QString, QString>{"0", "Поле t_бл: время блокирования t_бл должно быть больше нуля."},
              {"шесть", "Поле t_бл: «шесть» не является числом."}}) {
            Type("ScenarioBlockTime", text);
            QCOMPARE(In<QLabel>("ScenarioTimeMessage")->text(), message);
            QVERIFY(In<QLabel>("ScenarioTimeMessage")->isVisibleTo(Panel()));
            QCOMPARE(Active().BlockTime, blockTime);
        }
        Type("ScenarioStartDelay", "-1");
        QCOMPARE(In<QLabel>("ScenarioTimeMessage")->text(),
                 QString("Поле t_нэ: время начала эвакуации t_нэ не может быть отрицательным."));
        Type("ScenarioBlockTime", "6,5");
        QCOMPARE(Active().BlockTime, std::optional<double>(6.5));
        QVERIFY(In<QLabel>("ScenarioTimeMessage")->isHidden());
        QCOMPARE(UndoText(), QString("Отменить: t_бл сценария «Норма»"));

        // A node's own times in the table, refused or taken the same way.
        const int row = RowOf(9);  // the input "102"
        QVERIFY(row >= 0);
        const QModelIndex cell = Nodes()->index(row, ScenarioNodesModel::kBlockTime);
        QVERIFY(!Nodes()->setData(cell, "0"));
        QCOMPARE(In<QLabel>("ScenarioTableMessage")->text(),
                 QString("Вход №102: время блокирования t_бл должно быть больше нуля."));
        QVERIFY(Nodes()->setData(cell, "3"));
        QCOMPARE(NodeTimesOf(Active(), 9)->BlockTime, std::optional<double>(3));
        QVERIFY(Nodes()->setData(Nodes()->index(RowOf(9), ScenarioNodesModel::kBlockTime), ""));
        QVERIFY(NodeTimesOf(Active(), 9) == nullptr);
        session_->Action("Nundo")->trigger();
        QCOMPARE(NodeTimesOf(Active(), 9)->BlockTime, std::optional<double>(3));
    }

    // A scheme without scenarios: excluding from the pop-up menu gives it
    // its first scenario, the drawing crosses the element out, the element
    // table excludes many rows as one step, and deleting an excluded
    // element leaves a note.
    void excludeFromThePopupMenuAndTheElementTable()
    {
        Start();
        tf_->Apply("схема", [](TPipeLine& s) {
            SchemeBuilder b(s);
            const int input = b.Input({.X = 100, .Y = 200, .People = 20});
            const int corridor = b.Junction({.X = 300, .Y = 200});
            b.Area(input, corridor, 10, 2);
            b.Area(corridor, b.Exit({.X = 500, .Y = 200}), 10, 2);
            b.Area(corridor, b.Exit({.X = 300, .Y = 400}), 10, 2);
        });
        const TPipeLine& s = tf_->Scheme();
        QVERIFY(s.Scenarios.empty());

        const QPoint middle = Canvas()->ToWidget(400, 200);
        MoveTo(middle.x(), middle.y());
        RightClick(middle.x(), middle.y());
        QAction* exclude = PopupItem("NPMExclude");
        QVERIFY(exclude->text().contains("«Основной»"));
        QVERIFY(!exclude->isChecked());
        exclude->trigger();
        QCOMPARE(s.Scenarios.size(), std::size_t(1));
        QCOMPARE(Active().ExcludedAreas, std::vector<int>{2});
        QCOMPARE(UndoText(), QString("Отменить: исключение участка 2-3 из сценария «Основной»"));
        QVERIFY(Red(Canvas()->grab().toImage().pixelColor(middle)));
        QVERIFY(In<QLabel>("ScenarioExcluded")->text().contains("участок №2-3"));

        // Both exits' areas selected in the table: one step for the two.
        session_->Action("NElements")->trigger();
        auto* areas = tf_->findChild<QTableView*>("AreaTable");
        areas->selectRow(1);
        areas->selectionModel()->select(areas->model()->index(2, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        OnMenu("IncludeRows");
        emit areas->customContextMenuRequested(areas->visualRect(areas->model()->index(2, 0)).center());
        QCOMPARE(UndoText(), QString("Отменить: возврат 2 элементов в сценарий «Основной»"));
        QVERIFY(Active().ExcludedAreas.empty());
        OnMenu("ExcludeRows");
        emit areas->customContextMenuRequested(areas->visualRect(areas->model()->index(2, 0)).center());
        QCOMPARE(Active().ExcludedAreas, (std::vector<int>{2, 3}));
        QVERIFY(areas->model()->index(1, 0).data(Qt::FontRole).value<QFont>().strikeOut());

        // Exit 4, the end of area 3, deleted: the area leaves the scenario,
        // with a note.
        tf_->Apply("выделение", [](TPipeLine& scheme) {
            ClearSelection(scheme);
            scheme.Nodes[4].Selected = true;
        });
        const QPoint away = Canvas()->ToWidget(700, 600);
        MoveTo(away.x(), away.y());
        session_->Action("Ndel")->trigger();
        QCOMPARE(Active().ExcludedAreas, std::vector<int>{2});
        QCOMPARE(In<QLabel>("ScenarioNotes")->text(), QString("Участок №2-4, исключенный в сценарии, удален из схемы."));
        session_->Action("Nundo")->trigger();
        QVERIFY(In<QLabel>("ScenarioNotes")->isHidden());
        QCOMPARE(Active().ExcludedAreas, (std::vector<int>{2, 3}));
    }

    // The local calculation calculates every scenario; the panel gives
    // each one's t_р and verdict with the worst one marked, and a click on
    // a scenario shows its results on the drawing.
    void everyScenarioCalculatedAndTheActiveOneShown()
    {
        Start(session_->CopyExample("two-exits.stm", "b.stm"));
        TFcalc& dialog = *tf_->DialogSet().LocalCalculation;
        dialog.FormActivate();
        dialog.btnCalcClick();
        QCOMPARE(session_->Prompts().Questions.size(), qsizetype(1));
        QVERIFY(session_->Prompts().Questions[0].contains(
            "Сценарий «Лестница заблокирована»: Итак, общее расчетное время эвакуации"));
        QVERIFY(session_->Prompts().Questions[0].contains("Условие безопасной эвакуации не выполняется."));
        QVERIFY(tf_->ScenarioRuns() && tf_->ScenarioRuns()->size() == 3);

        QCOMPARE(List()->index(2, ScenarioListModel::kVerdict).data().toString(), QString("не выполняется"));
        QVERIFY(List()->index(2, 0).data(Qt::BackgroundRole).isValid());
        QVERIFY(!List()->index(0, 0).data(Qt::BackgroundRole).isValid());
        const QString normal = session_->Panel(6);

        In<QTableView>("ScenarioList")->setCurrentIndex(List()->index(2, 0));
        QCOMPARE(ActiveScenarioIndex(tf_->Scheme()), 2);
        QVERIFY(session_->Panel(6) != normal);
        QCOMPARE(tf_->Results().Results().EvacuationTime, (*tf_->ScenarioRuns())[2].Built.Scheme.EvacuationTime);
        QCOMPARE(Nodes()->index(RowOf(14), ScenarioNodesModel::kVerdict).data().toString(), QString("не выполняется"));

        // After an edit the results of another scenario are not shown.
        tf_->Apply("правка", [](TPipeLine& s) { s.Areas[1].Width = 2.5; });
        In<QTableView>("ScenarioList")->setCurrentIndex(List()->index(1, 0));
        QVERIFY(!tf_->Results().HasResults());
        QVERIFY(List()->index(1, ScenarioListModel::kTime).data().toString().isEmpty());
    }
};

QTEST_MAIN(ScenariosTest)
#include "ScenariosTest.moc"
