#include "dialogs/NodeParamsDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "dialogs/NumberFields.h"
#include "dialogs/ProjectionAreaTable.h"
#include "model/MobilityGroups.h"
#include "model/StepNames.h"

namespace stelmar {
namespace {

constexpr int kMinClientWidth = 284;
constexpr int kMinClientHeight = 183;

}  // namespace

TFuzel::TFuzel(PromptsRef prompts, SchemeChanges& changes, QWidget* parent)
    : ParamsWindow("FUzel", std::move(prompts), parent), changes_(changes)
{
    setWindowTitle("Узел");
    frame_ = new QGroupBox(" Параметры начала пути ", this);

    // Created in tab order.
    people_ = new QLineEdit("0", frame_);
    people_->setObjectName("EditH");
    projectionArea_ = new ProjectionAreaField(frame_);
    projectionArea_->setObjectName("EditPlCh");
    floor_ = new QSpinBox(frame_);
    floor_->setObjectName("EditEtag");
    floor_->setRange(1, kMaxFloors);
    floor_->setValue(1);
    label_ = new QLineEdit("0", frame_);
    label_->setObjectName("EditNumber");
    mobility_ = new QComboBox(frame_);
    mobility_->setObjectName("CBMM");
    for (const MobilityGroup& group : kMobilityGroups) {
        mobility_->addItem(group.DialogCaption);
        mobility_->setItemData(mobility_->count() - 1, group.DialogCaption, Qt::ToolTipRole);
    }
    // The long group names fit the open list; the closed box shows their start.
    mobility_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    mobility_->setMinimumContentsLength(24);
    mobility_->view()->setMinimumWidth(mobility_->view()->sizeHintForColumn(0) + 24);
    connect(mobility_, &QComboBox::currentTextChanged, mobility_, &QWidget::setToolTip);
    defaultLabelButton_ = FlatButton(QString(), QStyle::SP_DialogResetButton, frame_);
    defaultLabelButton_->setObjectName("SpeedButton1");
    defaultLabelButton_->setToolTip("Номер по умолчанию");
    cancelButton_ = FlatButton("Отменить", QStyle::SP_DialogCancelButton, frame_);
    cancelButton_->setObjectName("SpeedButton2");
    acceptButton_ = FlatButton("Принять", QStyle::SP_DialogApplyButton, frame_);
    acceptButton_->setObjectName("SpeedButton3");

    auto* projectionLabel = new QLabel("Средняя площадь горизонталь-<br>ной проекции человека, м<sup>2</sup>:", frame_);
    projectionLabel->setTextFormat(Qt::RichText);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Количество человек:", frame_), 0, 0);
    grid->addWidget(people_, 0, 1, 1, 2);
    grid->addWidget(projectionLabel, 1, 0);
    grid->addWidget(projectionArea_, 1, 1, 1, 2);
    grid->addWidget(new QLabel("Этаж №", frame_), 2, 0);
    grid->addWidget(floor_, 2, 1, 1, 2);
    grid->addWidget(new QLabel("Узел №", frame_), 3, 0);
    grid->addWidget(label_, 3, 1);
    grid->addWidget(defaultLabelButton_, 3, 2);
    grid->addWidget(new QLabel("Группа маломобильности:", frame_), 4, 0, 1, 3);
    grid->addWidget(mobility_, 5, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    LayOut(frame_, grid, cancelButton_, acceptButton_, QSize(kMinClientWidth, kMinClientHeight));

    connect(defaultLabelButton_, &QToolButton::clicked, this, &TFuzel::SpeedButton1Click);
    connect(cancelButton_, &QToolButton::clicked, this, &QDialog::reject);
    connect(acceptButton_, &QToolButton::clicked, this, &TFuzel::SpeedButton3Click);
    DragByBody();
}

bool TFuzel::ShowNodeParams(const TPipeLine& s, int node, const QPoint& globalPointer)
{
    if (node < 1 || node > NodeCount(s)) return false;
    PlaceNear(globalPointer);
    scheme_ = &s;
    node_ = node;
    const TNode& n = s.Nodes[std::size_t(node)];
    const QString label = QString::fromStdString(NodeLabel(s, node));
    setWindowTitle("Узел №" + label);
    frame_->setTitle(" Параметры узла №" + label);

    floor_->setValue(n.Etag);
    label_->setText(QString::fromStdString(n.Name));
    const bool input = IsInput();
    for (QWidget* field : {static_cast<QWidget*>(people_), static_cast<QWidget*>(mobility_), static_cast<QWidget*>(projectionArea_)})
        field->setEnabled(input);
    mobility_->setCurrentIndex(n.Mobility < mobility_->count() ? n.Mobility : 0);
    if (input) {
        people_->setText(QString::number(n.People));
        projectionArea_->setText(NumberText(n.F));
        people_->setFocus();
        people_->selectAll();
    } else {
        people_->setText("-");
        projectionArea_->setText("-");
        floor_->setFocus();
        floor_->selectAll();
    }

    const bool accepted = exec() == QDialog::Accepted;
    scheme_ = nullptr;
    return accepted;
}

bool TFuzel::IsInput() const { return scheme_ && scheme_->Nodes[std::size_t(node_)].Kind == kInput; }

void TFuzel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        ParamsWindow::keyPressEvent(event);
        return;
    }
    if (auto* button = qobject_cast<QToolButton*>(focusWidget()))
        button->click();
    else
        SpeedButton3Click();
}

void TFuzel::SpeedButton1Click() { label_->setText(kDefaultNodeName); }

// Every field is read before anything is written, so a field that does not
// hold a valid value leaves the node as it was.
void TFuzel::SpeedButton3Click()
{
    FieldReader read;
    const bool input = IsInput();
    std::optional<int> people;
    std::optional<double> f;
    if (input) {
        people = read.Integer(people_, people_->text(), "Количество человек", 0, std::numeric_limits<int>::max());
        f = read.Real(projectionArea_, projectionArea_->text(), "Средняя площадь горизонтальной проекции человека, м²");
    }
    const std::optional<int> floor = read.Integer(floor_, floor_->text(), "Этаж №", 1, kMaxFloors);
    const QString name = label_->text();
    read.NodeName(label_, name);
    if (read.Failed()) {
        Refuse(read);
        return;
    }

    TNode edited = scheme_->Nodes[std::size_t(node_)];
    if (input) {
        edited.People = *people;
        edited.F = *f;
        edited.Mobility = static_cast<std::uint8_t>(mobility_->currentIndex());
    }
    edited.Etag = static_cast<std::uint8_t>(*floor);
    edited.Name = name.toStdString();
    const TNode& n = scheme_->Nodes[std::size_t(node_)];
    if (edited.People != n.People || edited.F != n.F || edited.Mobility != n.Mobility || edited.Etag != n.Etag ||
        edited.Name != n.Name) {
        changes_.Apply("параметры " + NodeGenitive(*scheme_, node_), [node = node_, edited](TPipeLine& s) {
            TNode& target = s.Nodes[std::size_t(node)];
            target.People = edited.People;
            target.F = edited.F;
            target.Mobility = edited.Mobility;
            target.Etag = edited.Etag;
            target.Name = edited.Name;
            if (target.Etag > s.EtagCount) s.EtagCount = target.Etag;
        });
        emit FloorsChanged();
    }
    accept();
}

}  // namespace stelmar
