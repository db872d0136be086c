#include "dialogs/NodeParamsDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "dialogs/NumberFields.h"
#include "dialogs/ProjectionAreaTable.h"
#include "model/TextCodec.h"

namespace stelmar {
namespace {

// The mobility groups by index as the node stores them.
constexpr const char* kMobilityGroups[] = {
    "Без ограничений мобильности",
    "M2",
    "M3",
    "M4",
    "Дети дошкольного возраста (здания детских дошкольных образовательных учреждений)",
    "Дети с ограниченными возможностями (специализированные дома инвалидов)",
    "Люди трудоспособного возраста стационары больниц)",
    "Престарелые люди специализированные дома престарелых)",
    "Слепые и слабовидящие люди(специализированные дома инвалидов)",
    "Глухие и слабослышащие люди (специализированные дома инвалидов)",
};

constexpr int kMinClientWidth = 284;
constexpr int kMinClientHeight = 183;

}  // namespace

TFuzel::TFuzel(PromptsRef prompts, QWidget* parent) : ParamsWindow("FUzel", std::move(prompts), parent)
{
    setWindowTitle("Узел");
    GroupBox1 = new QGroupBox(" Параметры начала пути ", this);

    // Created in tab order.
    EditH = new QLineEdit("0", GroupBox1);
    EditH->setObjectName("EditH");
    EditPlCh = new ProjectionAreaField(GroupBox1);
    EditPlCh->setObjectName("EditPlCh");
    EditEtag = new QSpinBox(GroupBox1);
    EditEtag->setObjectName("EditEtag");
    EditEtag->setRange(1, kMaxFloors);
    EditEtag->setValue(1);
    EditNumber = new QLineEdit("0", GroupBox1);
    EditNumber->setObjectName("EditNumber");
    CBMM = new QComboBox(GroupBox1);
    CBMM->setObjectName("CBMM");
    for (const char* group : kMobilityGroups) {
        CBMM->addItem(group);
        CBMM->setItemData(CBMM->count() - 1, group, Qt::ToolTipRole);
    }
    // The long group names fit the open list; the closed box shows their start.
    CBMM->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CBMM->setMinimumContentsLength(24);
    CBMM->view()->setMinimumWidth(CBMM->view()->sizeHintForColumn(0) + 24);
    connect(CBMM, &QComboBox::currentTextChanged, CBMM, &QWidget::setToolTip);
    SpeedButton1 = FlatButton(QString(), QStyle::SP_DialogResetButton, GroupBox1);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setToolTip("Номер по умолчанию");
    SpeedButton2 = FlatButton("Отменить", QStyle::SP_DialogCancelButton, GroupBox1);
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton3 = FlatButton("Принять", QStyle::SP_DialogApplyButton, GroupBox1);
    SpeedButton3->setObjectName("SpeedButton3");

    auto* projectionLabel = new QLabel("Средняя площадь горизонталь-<br>ной проекции человека, м<sup>2</sup>:", GroupBox1);
    projectionLabel->setTextFormat(Qt::RichText);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Количество человек:", GroupBox1), 0, 0);
    grid->addWidget(EditH, 0, 1, 1, 2);
    grid->addWidget(projectionLabel, 1, 0);
    grid->addWidget(EditPlCh, 1, 1, 1, 2);
    grid->addWidget(new QLabel("Этаж №", GroupBox1), 2, 0);
    grid->addWidget(EditEtag, 2, 1, 1, 2);
    grid->addWidget(new QLabel("Узел №", GroupBox1), 3, 0);
    grid->addWidget(EditNumber, 3, 1);
    grid->addWidget(SpeedButton1, 3, 2);
    grid->addWidget(new QLabel("Группа маломобильности:", GroupBox1), 4, 0, 1, 3);
    grid->addWidget(CBMM, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    LayOut(GroupBox1, grid, SpeedButton2, SpeedButton3, QSize(kMinClientWidth, kMinClientHeight));

    connect(SpeedButton1, &QToolButton::clicked, this, &TFuzel::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &QDialog::reject);
    connect(SpeedButton3, &QToolButton::clicked, this, &TFuzel::SpeedButton3Click);
    DragByBody();
}

bool TFuzel::ShowNodeParams(TPipeLine& s, int node, const QPoint& globalPointer)
{
    if (node < 1 || node > NodeCount(s)) return false;
    PlaceNear(globalPointer);
    scheme_ = &s;
    node_ = node;
    const TNode& n = s.Nodes[std::size_t(node)];
    const QString label = QString::fromStdString(NodeLabel(s, node));
    setWindowTitle("Узел №" + label);
    GroupBox1->setTitle(" Параметры узла №" + label);

    EditEtag->setValue(n.Etag);
    EditNumber->setText(QString::fromStdString(n.Name));
    const bool input = IsInput();
    for (QWidget* field : {static_cast<QWidget*>(EditH), static_cast<QWidget*>(CBMM), static_cast<QWidget*>(EditPlCh)})
        field->setEnabled(input);
    CBMM->setCurrentIndex(n.Mobility < CBMM->count() ? n.Mobility : 0);
    if (input) {
        EditH->setText(QString::number(n.People));
        EditPlCh->setText(NumberText(n.F));
        EditH->setFocus();
        EditH->selectAll();
    } else {
        EditH->setText("-");
        EditPlCh->setText("-");
        EditEtag->setFocus();
        EditEtag->selectAll();
    }

    const bool accepted = exec() == QDialog::Accepted;
    scheme_ = nullptr;
    return accepted;
}

bool TFuzel::IsInput() const { return scheme_ && scheme_->Nodes[std::size_t(node_)].Kind == kInput; }

void TFuzel::SpeedButton1Click() { EditNumber->setText(kDefaultNodeName); }

// Every field is read before anything is written, so a field that does not
// hold a valid value leaves the node as it was.
void TFuzel::SpeedButton3Click()
{
    FieldReader read;
    const bool input = IsInput();
    std::optional<int> people;
    std::optional<double> f;
    if (input) {
        people = read.Integer(EditH, EditH->text(), "Количество человек", 0, std::numeric_limits<int>::max());
        f = read.Real(EditPlCh, EditPlCh->text(), "Средняя площадь горизонтальной проекции человека, м²");
    }
    const std::optional<int> floor = read.Integer(EditEtag, EditEtag->text(), "Этаж №", 1, kMaxFloors);
    const QString name = EditNumber->text();
    if (name.contains('\n') || name.contains('\r'))
        read.Fail(EditNumber, "Узел №: обозначение узла не может содержать перевод строки.");
    else if (!FitsCp1251(name.toStdString()))
        read.Fail(EditNumber, "Узел №: обозначение узла содержит символы, которые нельзя сохранить в файле проекта "
                              "(кодировка Windows-1251).");
    if (read.Failed()) {
        Refuse(read);
        return;
    }

    TNode& n = scheme_->Nodes[std::size_t(node_)];
    if (input) {
        n.People = *people;
        n.F = *f;
        n.Mobility = static_cast<std::uint8_t>(CBMM->currentIndex());
    }
    n.Etag = static_cast<std::uint8_t>(*floor);
    if (n.Etag > scheme_->EtagCount) scheme_->EtagCount = n.Etag;
    n.Name = name.toStdString();
    emit FloorsChanged();
    accept();
}

}  // namespace stelmar
