#include "editor/ElementTableModels.h"

#include <QFont>
#include <algorithm>
#include <array>
#include <limits>

#include "dialogs/NumberFields.h"
#include "model/MobilityGroups.h"
#include "model/PathKinds.h"
#include "model/Scenarios.h"
#include "model/StepNames.h"

namespace stelmar {
namespace {

// Node kinds 1..3 at index 0..2, as the tool buttons name them.
constexpr std::array<const char*, 3> kNodeKindCaptions = {"Вход", "Выход", "Узел"};

// The mark "по чертежу" as the area table shows it.
constexpr std::array<const char*, 2> kDrawnChoices = {"нет", "да"};

const char* NodeKindCaption(int kind)
{
    return kind >= kInput && kind <= kJunction ? kNodeKindCaptions[kind - 1] : "";
}

NodeColumn AsNode(int column) { return static_cast<NodeColumn>(column); }
AreaColumn AsArea(int column) { return static_cast<AreaColumn>(column); }

}  // namespace

ElementTableModel::ElementTableModel(const TPipeLine& scheme, SchemeChanges& changes, QObject* parent)
    : QAbstractTableModel(parent), s_(scheme), changes_(changes)
{
}

void ElementTableModel::Refresh()
{
    const int count = Count();
    if (count != count_) {
        beginResetModel();
        count_ = count;
        endResetModel();
    } else if (count > 0) {
        emit dataChanged(index(0, 0), index(count - 1, columnCount() - 1));
    }
}

void ElementTableModel::Empty()
{
    beginResetModel();
    count_ = 0;
    endResetModel();
}

int ElementTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

// Between a change of the scheme and the Refresh that follows it the rows
// may name elements that are gone; they show nothing.
QVariant ElementTableModel::data(const QModelIndex& index, int role) const
{
    const int element = Element(index.row());
    if (!index.isValid() || element > Count()) return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: return Text(element, column);
    case Qt::EditRole: return EditText(element, column);
    case Qt::ToolTipRole: return Choices(column).isEmpty() ? QVariant() : QVariant(Text(element, column));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (Numeric(column) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::FontRole:
        if (Excluded(element)) {
            QFont font;
            font.setStrikeOut(true);
            return font;
        }
        return {};
    case kSortRole: return SortKey(element, column);
    case kChoicesRole: return Choices(column);
    default: return {};
    }
}

Qt::ItemFlags ElementTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const int element = Element(index.row());
    if (index.isValid() && element <= Count() && Writable(element, index.column())) flags |= Qt::ItemIsEditable;
    return flags;
}

ElementTableModel::Outcome ElementTableModel::Write(int column, const std::vector<int>& elements,
                                                    const QStringList& texts)
{
    Q_ASSERT(texts.size() == 1 || texts.size() == static_cast<qsizetype>(elements.size()));
    Outcome out;
    std::vector<CellValue> values;
    values.reserve(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        FieldReader read;
        std::optional<CellValue> value = Read(read, column, texts[i]);
        if (!value) {
            out.FailedAt = static_cast<int>(i);
            out.Message = read.Message();
            return out;
        }
        values.push_back(std::move(*value));
    }

    std::vector<std::pair<int, std::size_t>> writes;  // element, value
    for (std::size_t k = 0; k < elements.size(); ++k) {
        const int element = elements[k];
        const std::size_t value = values.size() == 1 ? 0 : k;
        if (!Writable(element, column))
            ++out.Skipped;
        else if (Differs(element, column, values[value]))
            writes.emplace_back(element, value);
    }
    if (writes.empty()) return out;
    const int floors = s_.EtagCount;
    std::vector<int> written;
    for (const auto& write : writes) written.push_back(write.first);
    changes_.Apply(StepName(column, written), [&](TPipeLine& s) {
        for (const auto& [element, value] : writes) Set(s, element, column, values[value]);
    });
    out.Written = static_cast<int>(writes.size());
    out.FloorsAdded = s_.EtagCount > floors;
    return out;
}

std::optional<CellValue> ElementTableModel::ReadChoice(FieldReader& read, int column, const QString& text, int first,
                                                       const QString& message) const
{
    const QStringList choices = Choices(column);
    for (qsizetype i = 0; i < choices.size(); ++i)
        if (choices[i].compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return CellValue{.Integer = static_cast<int>(i) + first};
    read.Fail(nullptr, message);
    return std::nullopt;
}

// Nodes.

int NodeTableModel::Count() const { return s_.Opened ? NodeCount(s_) : 0; }

bool NodeTableModel::Excluded(int element) const
{
    return ExcludesNode(ScenarioAt(s_, ActiveScenarioIndex(s_)), element);
}

int NodeTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kNodeColumnCount; }

QVariant NodeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<const char*, kNodeColumnCount> kTitles = {"№", "Этаж", "Тип", "Людей", "f, м²",
                                                                      "Группа мобильности"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kNodeColumnCount)
        return QString(kTitles[section]);
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && AsNode(section) == NodeColumn::F)
        return QString("Средняя площадь горизонтальной проекции человека, м²");
    return QAbstractTableModel::headerData(section, orientation, role);
}

QStringList NodeTableModel::Choices(int column) const
{
    QStringList choices;
    if (AsNode(column) == NodeColumn::Kind)
        for (const char* caption : kNodeKindCaptions) choices << caption;
    if (AsNode(column) == NodeColumn::Mobility)
        for (const MobilityGroup& group : kMobilityGroups) choices << group.DialogCaption;
    return choices;
}

bool NodeTableModel::Writable(int element, int column) const
{
    return NodeCellWritable(s_.Nodes[element], AsNode(column));
}

QString NodeTableModel::ElementName(int element) const
{
    return "узел №" + QString::fromStdString(NodeLabel(s_, element));
}

std::string NodeTableModel::StepName(int column, const std::vector<int>& elements) const
{
    static const std::array<const char*, kNodeColumnCount> kNouns = {
        "подпись", "этаж", "тип", "количество человек", "площадь проекции", "группа мобильности"};
    const int count = static_cast<int>(elements.size());
    return std::string(kNouns[column]) + " " +
           (count == 1 ? NodeGenitive(s_, elements[0]) : CountGenitive(count, "узла", "узлов"));
}

QString NodeTableModel::Text(int element, int column) const
{
    const TNode& n = s_.Nodes[element];
    const bool input = n.Kind == kInput;
    switch (AsNode(column)) {
    case NodeColumn::Label: return QString::fromStdString(NodeLabel(s_, element));
    case NodeColumn::Floor: return QString::number(n.Etag);
    case NodeColumn::Kind: return NodeKindCaption(n.Kind);
    case NodeColumn::People: return input ? QString::number(n.People) : QString();
    case NodeColumn::F: return input ? NumberText(n.F) : QString();
    case NodeColumn::Mobility:
        return input ? QString(kMobilityGroups[n.Mobility < kGroupCount ? n.Mobility : 0].DialogCaption) : QString();
    }
    return {};
}

// The label is edited as the node dialog edits it: the node's own name,
// "<По умолчанию>" for a node labelled by its number.
QString NodeTableModel::EditText(int element, int column) const
{
    if (AsNode(column) == NodeColumn::Label) return QString::fromStdString(s_.Nodes[element].Name);
    return Text(element, column);
}

QVariant NodeTableModel::SortKey(int element, int column) const
{
    const TNode& n = s_.Nodes[element];
    const bool input = n.Kind == kInput;
    switch (AsNode(column)) {
    case NodeColumn::Label: return element;
    case NodeColumn::Floor: return n.Etag;
    case NodeColumn::Kind: return n.Kind;
    case NodeColumn::People: return input ? n.People : -1;
    case NodeColumn::F: return input ? n.F : -1.0;
    case NodeColumn::Mobility: return input ? n.Mobility : -1;
    }
    return {};
}

bool NodeTableModel::Numeric(int column) const
{
    const NodeColumn c = AsNode(column);
    return c == NodeColumn::Floor || c == NodeColumn::People || c == NodeColumn::F;
}

// The checks and messages of the node dialog's fields.
std::optional<CellValue> NodeTableModel::Read(FieldReader& read, int column, const QString& text) const
{
    switch (AsNode(column)) {
    case NodeColumn::Label:
        if (!read.NodeName(nullptr, text)) return std::nullopt;
        return CellValue{.Text = text.toStdString()};
    case NodeColumn::Floor:
        if (auto floor = read.Integer(nullptr, text, "Этаж №", 1, kMaxFloors)) return CellValue{.Integer = *floor};
        return std::nullopt;
    case NodeColumn::Kind: return ReadChoice(read, column, text, kInput, "Тип узла: выберите тип из списка.");
    case NodeColumn::People:
        if (auto people = read.Integer(nullptr, text, "Количество человек", 0, std::numeric_limits<int>::max()))
            return CellValue{.Integer = *people};
        return std::nullopt;
    case NodeColumn::F:
        if (auto f = read.Real(nullptr, text, "Средняя площадь горизонтальной проекции человека, м²"))
            return CellValue{.Real = *f};
        return std::nullopt;
    case NodeColumn::Mobility:
        return ReadChoice(read, column, text, 0, "Группа маломобильности: выберите группу из списка.");
    }
    return std::nullopt;
}

bool NodeTableModel::Differs(int element, int column, const CellValue& value) const
{
    return NodeCellDiffers(s_.Nodes[element], AsNode(column), value);
}

void NodeTableModel::Set(TPipeLine& s, int element, int column, const CellValue& value) const
{
    SetNodeCell(s, element, AsNode(column), value);
}

// Areas.

int AreaTableModel::Count() const { return s_.Opened ? AreaCount(s_) : 0; }

bool AreaTableModel::Excluded(int element) const
{
    return ExcludesArea(ScenarioAt(s_, ActiveScenarioIndex(s_)), element);
}

int AreaTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kAreaColumnCount; }

QVariant AreaTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const std::array<const char*, kAreaColumnCount> kTitles = {"Участок",   "Этаж",     "Тип", "Длина, м",
                                                                      "Ширина, м", "По чертежу"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kAreaColumnCount)
        return QString(kTitles[section]);
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && AsArea(section) == AreaColumn::Floors)
        return QString("Этажи концов участка");
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && AsArea(section) == AreaColumn::Drawn)
        return QString("Длина берется с чертежа по масштабу этажа");
    return QAbstractTableModel::headerData(section, orientation, role);
}

QStringList AreaTableModel::Choices(int column) const
{
    QStringList choices;
    if (AsArea(column) == AreaColumn::Kind)
        for (const char* caption : kPathKindCaptions) choices << caption;
    if (AsArea(column) == AreaColumn::Drawn) choices << kDrawnChoices[0] << kDrawnChoices[1];
    return choices;
}

bool AreaTableModel::Writable(int element, int column) const
{
    return AreaCellWritable(s_, s_.Areas[element], AsArea(column));
}

QString AreaTableModel::ElementName(int element) const
{
    return "участок №" + QString::fromStdString(AreaLabel(s_, s_.Areas[element]));
}

std::string AreaTableModel::StepName(int column, const std::vector<int>& elements) const
{
    static const std::array<const char*, kAreaColumnCount> kNouns = {"подпись", "этажи",  "тип",
                                                                     "длина",   "ширина", "длина по чертежу"};
    const int count = static_cast<int>(elements.size());
    return std::string(kNouns[column]) + " " +
           (count == 1 ? AreaGenitive(s_, elements[0]) : CountGenitive(count, "участка", "участков"));
}

QString AreaTableModel::Text(int element, int column) const
{
    const TArea& a = s_.Areas[element];
    switch (AsArea(column)) {
    case AreaColumn::Label: return QString::fromStdString(AreaLabel(s_, a));
    case AreaColumn::Floors: return QString::fromStdString(AreaFloorsLabel(s_, a));
    case AreaColumn::Kind: return PathKindCaption(a.Kind);
    case AreaColumn::Length: return NumberText(a.Length);
    case AreaColumn::Width: return NumberText(a.Width);
    case AreaColumn::Drawn: return kDrawnChoices[a.Drawn ? 1 : 0];
    }
    return {};
}

QVariant AreaTableModel::SortKey(int element, int column) const
{
    const TArea& a = s_.Areas[element];
    switch (AsArea(column)) {
    case AreaColumn::Label: return element;
    case AreaColumn::Floors: {
        const int f1 = s_.Nodes[a.Node1].Etag;
        const int f2 = s_.Nodes[a.Node2].Etag;
        return std::min(f1, f2) * 256 + std::max(f1, f2);
    }
    case AreaColumn::Kind: return a.Kind;
    case AreaColumn::Length: return a.Length;
    case AreaColumn::Width: return a.Width;
    case AreaColumn::Drawn: return a.Drawn ? 1 : 0;
    }
    return {};
}

bool AreaTableModel::Numeric(int column) const
{
    const AreaColumn c = AsArea(column);
    return c == AreaColumn::Floors || c == AreaColumn::Length || c == AreaColumn::Width;
}

// The checks and messages of the area dialog's fields.
std::optional<CellValue> AreaTableModel::Read(FieldReader& read, int column, const QString& text) const
{
    switch (AsArea(column)) {
    case AreaColumn::Kind: return ReadChoice(read, column, text, kHorizontal, "Тип участка: выберите тип из списка.");
    case AreaColumn::Length:
        if (auto length = read.Real(nullptr, text, "Длина, м")) return CellValue{.Real = *length};
        return std::nullopt;
    case AreaColumn::Width:
        if (auto width = read.Real(nullptr, text, "Ширина, м")) return CellValue{.Real = *width};
        return std::nullopt;
    case AreaColumn::Drawn: return ReadChoice(read, column, text, 0, "По чертежу: выберите «да» или «нет».");
    default:
        read.Fail(nullptr, "Этаж участка: участок лежит на этажах своих концов; измените этаж узла.");
        return std::nullopt;
    }
}

bool AreaTableModel::Differs(int element, int column, const CellValue& value) const
{
    return AreaCellDiffers(s_.Areas[element], AsArea(column), value);
}

void AreaTableModel::Set(TPipeLine& s, int element, int column, const CellValue& value) const
{
    SetAreaCell(s, element, AsArea(column), value);
}

// The filter.

ElementFilterModel::ElementFilterModel(const TPipeLine& scheme, bool nodes, QObject* parent)
    : QSortFilterProxyModel(parent), s_(scheme), nodes_(nodes)
{
    setSortRole(kSortRole);
    setDynamicSortFilter(true);
}

void ElementFilterModel::SetFilter(const ElementFilter& filter)
{
    beginResetModel();
    filter_ = filter;
    endResetModel();
}

void ElementFilterModel::Refilter(const ElementFilter& filter)
{
    filter_ = filter;
    invalidateRowsFilter();
}

int ElementFilterModel::ElementAt(int row) const
{
    return ElementTableModel::Element(mapToSource(index(row, 0)).row());
}

bool ElementFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    const int element = ElementTableModel::Element(sourceRow);
    if (element > (nodes_ ? NodeCount(s_) : AreaCount(s_))) return false;
    return nodes_ ? NodePasses(s_, element, filter_) : AreaPasses(s_, element, filter_);
}

}  // namespace stelmar
