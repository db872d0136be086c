#include "editor/ScenarioTableModels.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "editor/MainWindow.h"
#include "model/NumberText.h"
#include "model/Scenarios.h"

namespace stelmar {

namespace {

// The row of the scenario that comes nearest to failing, or fails most.
const QColor kWorstBackground(255, 221, 204);
const QColor kFailedText(200, 0, 0);
const QColor kMetText(0, 128, 0);
// A time the node takes from its scenario rather than giving its own.
const QColor kInheritedText(128, 128, 128);

QVariant VerdictColor(Verdict v)
{
    if (v == Verdict::Failed) return QBrush(kFailedText);
    if (v == Verdict::Met) return QBrush(kMetText);
    return {};
}

const char* KindWord(std::uint8_t kind)
{
    switch (kind) {
    case kInput: return "вход";
    case kExit: return "выход";
    default: return "узел";
    }
}

}  // namespace

const ScenarioRun* CurrentRun(TF& window)
{
    if (!window.RunsCurrent()) return nullptr;
    const std::vector<ScenarioRun>& runs = *window.ScenarioRuns();
    const int run = RunOf(runs, ActiveScenarioIndex(window.Scheme()));
    return run >= 0 ? &runs[static_cast<std::size_t>(run)] : nullptr;
}

ScenarioListModel::ScenarioListModel(TF& window, ScenarioMessage message, QObject* parent)
    : QAbstractTableModel(parent), tf_(window), message_(std::move(message))
{
}

// The same rows are only told to show their values anew: the view keeps
// its current row, which a reset would move.
void ScenarioListModel::Refresh()
{
    const int rows = tf_.Scheme().Opened ? ScenarioCount(tf_.Scheme()) : 0;
    if (rows == rows_) {
        if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, kColumns - 1));
        return;
    }
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

int ScenarioListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int ScenarioListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant ScenarioListModel::data(const QModelIndex& index, int role) const
{
    const TPipeLine& s = tf_.Scheme();
    if (!index.isValid() || index.row() >= rows_ || index.row() >= ScenarioCount(s)) return {};
    const int row = index.row();
    const std::vector<ScenarioRun>* runs = tf_.RunsCurrent() ? tf_.ScenarioRuns().get() : nullptr;
    const int run = runs ? RunOf(*runs, row) : -1;
    const ScenarioRun* result = run >= 0 ? &(*runs)[static_cast<std::size_t>(run)] : nullptr;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() == kName) return QString::fromStdString(ScenarioName(s, row));
        if (!result) return {};
        if (index.column() == kTime)
            return QString::fromStdString(FormatReal(result->Built.Scheme.EvacuationTime, DecimalSeparatorFromEnvironment()));
        return QString(VerdictText(result->Check.Result));
    case Qt::FontRole:
        if (row == ActiveScenarioIndex(s)) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::BackgroundRole:
        if (runs && run >= 0 && run == WorstScenario(*runs)) return QBrush(kWorstBackground);
        return {};
    case Qt::ForegroundRole:
        return result && index.column() == kVerdict ? VerdictColor(result->Check.Result) : QVariant();
    case Qt::ToolTipRole:
        if (runs && run >= 0 && run == WorstScenario(*runs)) return QString("Наиболее опасный сценарий");
        return {};
    default: return {};
    }
}

QVariant ScenarioListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeaders[kColumns] = {"Сценарий", "t_р, мин", "Условие"};
    return section >= 0 && section < kColumns ? QString(kHeaders[section]) : QVariant();
}

Qt::ItemFlags ScenarioListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() == kName) flags |= Qt::ItemIsEditable;
    return flags;
}

bool ScenarioListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != kName) return false;
    const TPipeLine& s = tf_.Scheme();
    const int row = index.row();
    const std::string name = value.toString().trimmed().toStdString();
    const std::string old = ScenarioName(s, row);
    if (name == old) return false;
    if (name.empty()) {
        message_("Имя сценария не может быть пустым.");
        return false;
    }
    for (int i = 0; i < ScenarioCount(s); ++i)
        if (i != row && ScenarioName(s, i) == name) {
            message_(QString::fromStdString("Сценарий «" + name + "» уже есть: имена сценариев не должны повторяться."));
            return false;
        }
    tf_.Apply("переименование сценария «" + old + "» в «" + name + "»",
              [row, name](TPipeLine& scheme) { EditScenario(scheme, row).Name = name; });
    return true;
}

ScenarioNodesModel::ScenarioNodesModel(TF& window, ScenarioMessage message, QObject* parent)
    : QAbstractTableModel(parent), tf_(window), message_(std::move(message))
{
}

void ScenarioNodesModel::Refresh()
{
    beginResetModel();
    nodes_.clear();
    const TPipeLine& s = tf_.Scheme();
    if (s.Opened) {
        const TScenario& sc = ScenarioAt(s, ActiveScenarioIndex(s));
        for (int n = 1; n <= NodeCount(s); ++n)
            if (s.Nodes[n].Kind == kInput || s.Nodes[n].Kind == kExit) nodes_.push_back(n);
        for (const TNodeTimes& t : sc.NodeTimes)
            if (t.Node >= 1 && t.Node <= NodeCount(s) && s.Nodes[t.Node].Kind == kJunction) nodes_.push_back(t.Node);
    }
    endResetModel();
}

int ScenarioNodesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(nodes_.size());
}

int ScenarioNodesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QString ScenarioNodesModel::Figure(double x) const
{
    return QString::fromStdString(FormatReal(x, DecimalSeparatorFromEnvironment()));
}

QVariant ScenarioNodesModel::Display(int node, int column) const
{
    const TPipeLine& s = tf_.Scheme();
    const TScenario& sc = ScenarioAt(s, ActiveScenarioIndex(s));
    const TNodeTimes* own = NodeTimesOf(sc, node);
    const bool input = s.Nodes[node].Kind == kInput;
    switch (column) {
    case kNode: return QString::fromStdString(NodeLabel(s, node) + " (" + KindWord(s.Nodes[node].Kind) + ")");
    case kStartDelay:
        if (!input) return {};
        return Figure(own && own->StartDelay ? *own->StartDelay : sc.StartDelay);
    case kBlockTime:
        if (own && own->BlockTime) return Figure(*own->BlockTime);
        return input && sc.BlockTime ? QVariant(Figure(*sc.BlockTime)) : QVariant();
    default: break;
    }
    if (ExcludesNode(sc, node)) return column == kVerdict ? QVariant(QString("заблокирован пожаром")) : QVariant();
    const ScenarioRun* run = CurrentRun(tf_);
    if (!run) return {};
    if (input) {
        for (const InputCheck& c : run->Check.Inputs) {
            if (c.Node != node) continue;
            const bool checked = c.BlockTime.has_value() && c.Result != Verdict::NotChecked;
            switch (column) {
            case kTime: return Figure(c.EvacuationTime);
            case kTotal: return Figure(c.Total);
            case kAllowed: return checked ? QVariant(Figure(c.Allowed)) : QVariant();
            case kAccum: return Figure(c.AccumTime);
            default: return QString(VerdictText(c.Result));
            }
        }
        return {};
    }
    // A check point: the flow that comes nearest to its limit.
    const PointCheck* worst = nullptr;
    for (const PointCheck& p : run->Check.Points)
        if (p.Node == node && (!worst || p.Total - p.Allowed > worst->Total - worst->Allowed)) worst = &p;
    if (!worst) return {};
    switch (column) {
    case kTime: return Figure(worst->PassTime);
    case kTotal: return Figure(worst->Total);
    case kAllowed: return Figure(worst->Allowed);
    case kAccum: return {};
    default: return QString(VerdictText(worst->Result));
    }
}

QVariant ScenarioNodesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TPipeLine& s = tf_.Scheme();
    const int node = NodeAt(index.row());
    if (node > NodeCount(s)) return {};
    const TScenario& sc = ScenarioAt(s, ActiveScenarioIndex(s));
    const TNodeTimes* own = NodeTimesOf(sc, node);
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: return Display(node, column);
    case Qt::EditRole:
        if (column == kStartDelay && own && own->StartDelay) return Figure(*own->StartDelay);
        if (column == kBlockTime && own && own->BlockTime) return Figure(*own->BlockTime);
        return QString();
    case Qt::ForegroundRole:
        if ((column == kStartDelay && !(own && own->StartDelay)) || (column == kBlockTime && !(own && own->BlockTime)))
            return QBrush(kInheritedText);
        if (column == kVerdict) {
            const QString verdict = Display(node, column).toString();
            if (verdict == VerdictText(Verdict::Failed)) return VerdictColor(Verdict::Failed);
            if (verdict == VerdictText(Verdict::Met)) return VerdictColor(Verdict::Met);
        }
        return {};
    case Qt::FontRole:
        if (ExcludesNode(sc, node)) {
            QFont font;
            font.setStrikeOut(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (column == kNode || column == kVerdict ? Qt::AlignLeft : Qt::AlignRight));
    case Qt::ToolTipRole: {
        if (column == kStartDelay || column == kBlockTime)
            return QString("Пусто: время сценария. Введите время в минутах, чтобы задать свое для этого узла.");
        const ScenarioRun* run = CurrentRun(tf_);
        if (!run || column != kVerdict) return {};
        const char separator = DecimalSeparatorFromEnvironment();
        QStringList reasons;
        for (const InputCheck& c : run->Check.Inputs)
            if (c.Node == node) reasons << QString::fromStdString(ReasonText(c, separator));
        for (const PointCheck& p : run->Check.Points)
            if (p.Node == node)
                reasons << QString("Поток №%1: ").arg(p.Flow) + QString::fromStdString(ReasonText(p, separator));
        return reasons.join('\n');
    }
    default: return {};
    }
}

QVariant ScenarioNodesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return {};
    static const char* const kHeaders[kColumns] = {"Узел",          "t_нэ, мин", "t_бл, мин", "t_р, мин",
                                                   "t_р + t_нэ", "0,8·t_бл",  "t_ск, мин", "Условие"};
    static const char* const kTips[kColumns] = {
        "Входы и выходы схемы и контрольные точки сценария",
        "Время от начала пожара до начала эвакуации",
        "Время блокирования путей эвакуации",
        "Расчетное время эвакуации людей входа; для узла — время прохода потока",
        "",
        "",
        "Наибольшее время существования скопления людей на пути",
        "Условие безопасной эвакуации"};
    if (section < 0 || section >= kColumns) return {};
    if (role == Qt::DisplayRole) return QString(kHeaders[section]);
    if (role == Qt::ToolTipRole && *kTips[section]) return QString(kTips[section]);
    return {};
}

Qt::ItemFlags ScenarioNodesModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!index.isValid() || index.row() >= rowCount()) return flags;
    const TPipeLine& s = tf_.Scheme();
    const int node = NodeAt(index.row());
    if (node > NodeCount(s)) return flags;
    if (index.column() == kBlockTime || (index.column() == kStartDelay && s.Nodes[node].Kind == kInput))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ScenarioNodesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const TPipeLine& s = tf_.Scheme();
    const int node = NodeAt(index.row());
    const bool block = index.column() == kBlockTime;
    const QString text = value.toString().trimmed();
    const std::string where = std::string(s.Nodes[node].Kind == kInput ? "Вход" : "Узел") + " №" + NodeLabel(s, node);
    std::optional<double> time;
    if (!text.isEmpty()) {
        std::string error;
        time = ReadScenarioTime(text.toStdString(), block, error);
        if (!time) {
            message_(QString::fromStdString(where + ": " + error + "."));
            return false;
        }
    }
    const int active = ActiveScenarioIndex(s);
    const TNodeTimes* own = NodeTimesOf(ScenarioAt(s, active), node);
    const std::optional<double> before = own ? (block ? own->BlockTime : own->StartDelay) : std::nullopt;
    if (before == time) return false;
    message_({});
    const std::string name = std::string(block ? "t_бл" : "t_нэ") + " узла " + NodeLabel(s, node) + " в сценарии «" +
                             ScenarioName(s, active) + "»";
    tf_.Apply(name, [node, block, time, active](TPipeLine& scheme) {
        TScenario& sc = EditScenario(scheme, active);
        TNodeTimes& times = EditNodeTimes(sc, node);
        (block ? times.BlockTime : times.StartDelay) = time;
        if (!times.BlockTime && !times.StartDelay) EraseNodeTimes(sc, node);
    });
    return true;
}

}  // namespace stelmar
