#include "editor/ScenariosPanel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "calc/SafetyReport.h"
#include "editor/MainWindow.h"
#include "editor/ScenarioTableModels.h"
#include "model/NumberText.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

constexpr const char* kMessageStyle = "color: #c00000;";
constexpr const char* kWrongFieldStyle = "QLineEdit { border: 1px solid #c00000; }";

QLabel* MessageLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setStyleSheet(kMessageStyle);
    label->setWordWrap(true);
    label->hide();
    return label;
}

void ShowMessage(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
}

QTableView* Table(QWidget* parent, const char* name)
{
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

}  // namespace

ScenariosPanel::ScenariosPanel(TF& window) : QDockWidget("Сценарии", &window), tf_(window)
{
    setObjectName("ScenariosPanel");
    setAllowedAreas(Qt::AllDockWidgetAreas);
    auto* body = new QWidget(this);

    listView_ = Table(body, "ScenarioList");
    list_ = new ScenarioListModel(tf_, [this](const QString& m) { ShowMessage(timeMessage_, m); }, this);
    listView_->setModel(list_);
    listView_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    listView_->horizontalHeader()->resizeSection(ScenarioListModel::kName, 200);
    listView_->horizontalHeader()->resizeSection(ScenarioListModel::kTime, 70);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& caption, const QString& tip, void (ScenariosPanel::*act)()) {
        auto* b = new QPushButton(caption, body);
        b->setObjectName(name);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, act);
        buttons->addWidget(b);
        return b;
    };
    button("AddScenario", "Добавить", "Новый сценарий, который ничего не исключает", &ScenariosPanel::AddScenario);
    button("CopyScenario", "Копировать", "Копия активного сценария", &ScenariosPanel::CopyScenario);
    button("RenameScenario", "Переименовать", "Изменить имя активного сценария", &ScenariosPanel::RenameScenario);
    delete_ = button("DeleteScenario", "Удалить", "Удалить активный сценарий", &ScenariosPanel::DeleteScenario);
    buttons->addStretch();

    startDelay_ = new QLineEdit(body);
    startDelay_->setObjectName("ScenarioStartDelay");
    startDelay_->setToolTip("Время от начала пожара до начала эвакуации, мин");
    blockTime_ = new QLineEdit(body);
    blockTime_->setObjectName("ScenarioBlockTime");
    blockTime_->setToolTip("Время блокирования путей эвакуации опасными факторами пожара, мин; пусто — не задано");
    blockTime_->setPlaceholderText("не задано");
    timeMessage_ = MessageLabel(body, "ScenarioTimeMessage");
    auto* times = new QFormLayout;
    times->addRow("t_нэ, мин:", startDelay_);
    times->addRow("t_бл, мин:", blockTime_);
    times->addRow(timeMessage_);
    connect(startDelay_, &QLineEdit::editingFinished, this, [this] { CommitTime(false); });
    connect(blockTime_, &QLineEdit::editingFinished, this, [this] { CommitTime(true); });

    excluded_ = new QLabel(body);
    excluded_->setObjectName("ScenarioExcluded");
    excluded_->setWordWrap(true);

    nodesView_ = Table(body, "ScenarioNodes");
    tableMessage_ = MessageLabel(body, "ScenarioTableMessage");
    nodes_ = new ScenarioNodesModel(tf_, [this](const QString& m) { ShowMessage(tableMessage_, m); }, this);
    nodesView_->setModel(nodes_);
    nodesView_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                                QAbstractItemView::DoubleClicked);
    nodesView_->horizontalHeader()->resizeSection(ScenarioNodesModel::kNode, 130);
    for (int c = ScenarioNodesModel::kStartDelay; c < ScenarioNodesModel::kVerdict; ++c)
        nodesView_->horizontalHeader()->resizeSection(c, 72);

    notes_ = new QLabel(body);
    notes_->setObjectName("ScenarioNotes");
    notes_->setWordWrap(true);
    clearNotes_ = new QPushButton("Убрать примечания", body);
    clearNotes_->setObjectName("ClearScenarioNotes");
    connect(clearNotes_, &QPushButton::clicked, this, &ScenariosPanel::ClearNotes);
    auto* notesRow = new QHBoxLayout;
    notesRow->addWidget(notes_, 1);
    notesRow->addWidget(clearNotes_, 0, Qt::AlignTop);

    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(listView_, 1);
    layout->addLayout(buttons);
    layout->addLayout(times);
    layout->addWidget(excluded_);
    layout->addWidget(new QLabel("Входы, выходы и контрольные точки активного сценария:", body));
    layout->addWidget(nodesView_, 3);
    layout->addWidget(tableMessage_);
    layout->addLayout(notesRow);
    setWidget(body);

    connect(listView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_ == 0 && current.isValid()) tf_.SetActiveScenario(current.row());
            });
    connect(&tf_, &TF::SchemeChanged, this, &ScenariosPanel::Refresh);
    connect(&tf_, &TF::ResultsChanged, this, &ScenariosPanel::Refresh);
    // A refused text belongs to the scenario it was typed for.
    connect(&tf_, &TF::ActiveScenarioChanged, this, [this] {
        for (QLineEdit* field : {startDelay_, blockTime_}) {
            field->setProperty("wrong", false);
            field->setStyleSheet({});
        }
        ShowMessage(timeMessage_, {});
        ShowMessage(tableMessage_, {});
        Refresh();
    });
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) Refresh();
    });
}

void ScenariosPanel::Refresh()
{
    if (isHidden()) return;
    ++syncing_;
    const TPipeLine& s = tf_.Scheme();
    widget()->setEnabled(s.Opened);
    list_->Refresh();
    nodes_->Refresh();
    const int active = ActiveScenarioIndex(s);
    if (s.Opened) listView_->setCurrentIndex(list_->index(active, ScenarioListModel::kName));
    delete_->setEnabled(!s.Scenarios.empty());
    ShowActive();
    --syncing_;
}

void ScenariosPanel::ShowActive()
{
    const TPipeLine& s = tf_.Scheme();
    const TScenario& sc = ScenarioAt(s, ActiveScenarioIndex(s));
    const char separator = DecimalSeparatorFromEnvironment();
    // A field being typed in, or holding a text that was refused, keeps
    // its text whatever else changed.
    const auto keeps = [](const QLineEdit* field) { return field->hasFocus() || field->property("wrong").toBool(); };
    if (!keeps(startDelay_)) startDelay_->setText(QString::fromStdString(FormatReal(sc.StartDelay, separator)));
    if (!keeps(blockTime_))
        blockTime_->setText(sc.BlockTime ? QString::fromStdString(FormatReal(*sc.BlockTime, separator)) : QString());
    const std::string excluded = ExcludedText(s, sc);
    excluded_->setText(QString::fromStdString(excluded.empty() ? "Пожар не блокирует ни одного элемента."
                                                               : "Заблокировано пожаром: " + excluded + "."));
    QString notes;
    for (const std::string& note : sc.Notes) notes += QString::fromStdString(note) + "\n";
    notes_->setText(notes.trimmed());
    notes_->setVisible(!sc.Notes.empty());
    clearNotes_->setVisible(!sc.Notes.empty());
}

void ScenariosPanel::CommitTime(bool block)
{
    TPipeLine& s = tf_.Scheme();
    if (!s.Opened) return;
    QLineEdit* field = block ? blockTime_ : startDelay_;
    const QString text = field->text().trimmed();
    std::optional<double> time;
    if (!text.isEmpty() || !block) {
        std::string error;
        time = ReadScenarioTime(text.isEmpty() ? "0" : text.toStdString(), block, error);
        if (!time) {
            ShowMessage(timeMessage_, QString::fromStdString((block ? "Поле t_бл: " : "Поле t_нэ: ") + error + "."));
            field->setProperty("wrong", true);
            field->setStyleSheet(kWrongFieldStyle);
            return;
        }
    }
    ShowMessage(timeMessage_, {});
    field->setProperty("wrong", false);
    field->setStyleSheet({});
    const int active = ActiveScenarioIndex(s);
    const TScenario& sc = ScenarioAt(s, active);
    if (block ? sc.BlockTime == time : sc.StartDelay == *time) return;
    const std::string name = std::string(block ? "t_бл" : "t_нэ") + " сценария «" + ScenarioName(s, active) + "»";
    tf_.Apply(name, [block, time, active](TPipeLine& scheme) {
        TScenario& edited = EditScenario(scheme, active);
        if (block)
            edited.BlockTime = time;
        else
            edited.StartDelay = *time;
    });
}

std::string ScenariosPanel::UniqueName(const std::string& base) const
{
    const TPipeLine& s = tf_.Scheme();
    const auto taken = [&s](const std::string& name) {
        for (int i = 0; i < ScenarioCount(s); ++i)
            if (ScenarioName(s, i) == name) return true;
        return false;
    };
    if (!taken(base)) return base;
    for (int n = 2;; ++n) {
        const std::string name = base + " " + std::to_string(n);
        if (!taken(name)) return name;
    }
}

void ScenariosPanel::AddScenario()
{
    TPipeLine& s = tf_.Scheme();
    if (!s.Opened || ScenarioCount(s) >= kMaxScenarios) return;
    const std::string name = UniqueName("Сценарий " + std::to_string(ScenarioCount(s) + 1));
    tf_.Apply("добавление сценария «" + name + "»", [name](TPipeLine& scheme) {
        EditScenario(scheme, 0);  // a project without scenarios keeps its own as the first
        scheme.Scenarios.push_back(TScenario{.Name = name});
    });
    tf_.SetActiveScenario(ScenarioCount(s) - 1);
}

void ScenariosPanel::CopyScenario()
{
    TPipeLine& s = tf_.Scheme();
    if (!s.Opened || ScenarioCount(s) >= kMaxScenarios) return;
    const int active = ActiveScenarioIndex(s);
    const std::string name = UniqueName(ScenarioName(s, active) + " (копия)");
    tf_.Apply("копирование сценария «" + ScenarioName(s, active) + "»", [name, active](TPipeLine& scheme) {
        TScenario copy = EditScenario(scheme, active);
        copy.Name = name;
        copy.Notes.clear();
        scheme.Scenarios.push_back(std::move(copy));
    });
    tf_.SetActiveScenario(ScenarioCount(s) - 1);
}

void ScenariosPanel::RenameScenario()
{
    if (!tf_.Scheme().Opened) return;
    const QModelIndex name = list_->index(ActiveScenarioIndex(tf_.Scheme()), ScenarioListModel::kName);
    listView_->setCurrentIndex(name);
    listView_->edit(name);
}

// The last scenario deleted leaves the project without scenarios: its
// drawn scheme is calculated again as it is.
void ScenariosPanel::DeleteScenario()
{
    TPipeLine& s = tf_.Scheme();
    if (!s.Opened || s.Scenarios.empty()) return;
    const int active = ActiveScenarioIndex(s);
    const std::string name = ScenarioName(s, active);
    if (tf_.Prompter()->AskYesNo(QString::fromStdString("Удалить сценарий «" + name + "»?")) != Answer::Yes) return;
    tf_.Apply("удаление сценария «" + name + "»", [active](TPipeLine& scheme) {
        scheme.Scenarios.erase(scheme.Scenarios.begin() + active);
    });
    tf_.SetActiveScenario(std::max(0, active - 1));
}

void ScenariosPanel::ClearNotes()
{
    TPipeLine& s = tf_.Scheme();
    const int active = ActiveScenarioIndex(s);
    tf_.Apply("примечания сценария «" + ScenarioName(s, active) + "»",
              [active](TPipeLine& scheme) { EditScenario(scheme, active).Notes.clear(); });
}

}  // namespace stelmar
