#include "dialogs/SettingsDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cmath>

#include "dialogs/ColorButton.h"
#include "dialogs/LabelFontDialog.h"

namespace stelmar {
namespace {

QSpinBox* NewSpin(const char* name, int low, int high, int value, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
}

// Label and control rows of a frame; controls keep their natural width.
QFormLayout* NewRows(QGroupBox* frame)
{
    auto* rows = new QFormLayout(frame);
    rows->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return rows;
}

QCheckBox* NewCheckBox(const char* name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

TFParams::TFParams(PromptsRef prompts, SchemeChanges& changes, QWidget* parent)
    : QDialog(parent), prompts_(std::move(prompts)), changes_(changes)
{
    setObjectName("FParams");
    setWindowTitle("Параметры");

    auto* areaFrame = new QGroupBox(" Параметры участка ", this);
    areaWidth_ = NewSpin("SpinEdit1", 1, 15, 5, areaFrame);
    horizontalColor_ = new ColorButton("ImgColorGUch", areaFrame);
    doorwayColor_ = new ColorButton("ImgColorDUch", areaFrame);
    stairsDownColor_ = new ColorButton("ImgColorLDownUch", areaFrame);
    stairsUpColor_ = new ColorButton("ImgColorLUpUch", areaFrame);
    questionMark_ = NewCheckBox("CheckBox3", "Показывать знак вопроса", areaFrame);
    questionMark_->setToolTip("Показывать знак вопроса при отсутствии достаточных исходных данных");
    arrows_ = NewCheckBox("CheckBox1", "Отображать стрелку", areaFrame);
    arrows_->setToolTip("Отображать стрелку на участках");
    arrowLength_ = NewSpin("SPdl", 1, 25, 15, areaFrame);
    arrowAngle_ = NewSpin("SPangl", 1, 90, 28, areaFrame);
    auto* areaRows = NewRows(areaFrame);
    areaRows->addRow("Ширина участка (пикселей)", areaWidth_);
    areaRows->addRow("Цвет гориз-го участка:", horizontalColor_);
    areaRows->addRow("Цвет дверного проема:", doorwayColor_);
    areaRows->addRow("Цвет лестницы вниз:", stairsDownColor_);
    areaRows->addRow("Цвет лестницы вверх:", stairsUpColor_);
    areaRows->addRow(questionMark_);
    areaRows->addRow(arrows_);
    areaRows->addRow("Длина стрелки (пикселей)", arrowLength_);
    areaRows->addRow("Угол ", arrowAngle_);

    auto* nodeFrame = new QGroupBox(" Параметры узла ", this);
    nodeWidth_ = NewSpin("SpinEdit2", 3, 20, 7, nodeFrame);
    labelOffset_ = NewSpin("SpinEdit3", 0, 20, 1, nodeFrame);
    nodeColor_ = new ColorButton("Image2", nodeFrame);
    auto* fontButton = new QPushButton("...", nodeFrame);
    fontButton->setObjectName("Button3");
    fontButton->setAutoDefault(false);
    peopleCounts_ = NewCheckBox("CBShowNumChl", "Отображать количество людей", nodeFrame);
    resetLabels_ = NewCheckBox("CBSetDefault", "Номера всех узлов по умолчанию", nodeFrame);
    auto* nodeRows = NewRows(nodeFrame);
    nodeRows->addRow("Диаметр узла (пикселей)", nodeWidth_);
    nodeRows->addRow("Растояние до номера (пикселей)", labelOffset_);
    nodeRows->addRow("Цвет узла:", nodeColor_);
    nodeRows->addRow("Шрифт:", fontButton);
    nodeRows->addRow(peopleCounts_);
    nodeRows->addRow(resetLabels_);

    auto* sizeFrame = new QGroupBox(" Размер рабочей области ", this);
    canvasWidth_ = NewSpin("SpinEditG", 500, 4000, 500, sizeFrame);
    canvasHeight_ = NewSpin("SpinEditV", 500, 4000, 500, sizeFrame);
    auto* sizeRows = NewRows(sizeFrame);
    sizeRows->addRow("По горизонтали", canvasWidth_);
    sizeRows->addRow("По вертикали", canvasHeight_);

    auto* accept = new QPushButton("Принять", this);
    accept->setObjectName("Button1");
    accept->setDefault(true);
    auto* cancel = new QPushButton("Отмена", this);
    cancel->setObjectName("Button2");
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(accept);
    buttons->addWidget(cancel);

    auto* layout = new QGridLayout(this);
    layout->addWidget(areaFrame, 0, 0, 2, 1);
    layout->addWidget(nodeFrame, 0, 1);
    layout->addWidget(sizeFrame, 1, 1, Qt::AlignTop);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fontDialog_ = new LabelFontDialog(this);

    connect(fontButton, &QPushButton::clicked, this, &TFParams::ChooseFont);
    connect(arrows_, &QCheckBox::toggled, this, &TFParams::EnableArrowSizes);
    connect(resetLabels_, &QCheckBox::clicked, this, &TFParams::WarnLabelReset);
    connect(accept, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFParams::ShowSettings(TPipeLine& s)
{
    Load(s);
    if (exec() != QDialog::Accepted) return false;
    Store(s);
    const auto numbered = [](const TNode& n) { return n.Name == kDefaultNodeName; };
    if (resetLabels_->isChecked() && !std::all_of(s.Nodes.begin() + 1, s.Nodes.end(), numbered))
        changes_.Apply("номера узлов вместо подписей", [](TPipeLine& scheme) { ResetNodeNames(scheme); });
    return true;
}

// Every control but the label reset, which keeps its state from the last
// showing.
void TFParams::Load(const TPipeLine& s)
{
    areaWidth_->setValue(s.AreaWidth);
    nodeWidth_->setValue(s.NodeWidth);
    labelOffset_->setValue(s.LNum);
    horizontalColor_->SetColor(s.Color);
    doorwayColor_->SetColor(s.DColor);
    stairsDownColor_->SetColor(s.LdownDColor);
    stairsUpColor_->SetColor(s.LupColor);
    nodeColor_->SetColor(s.NodeColor);
    arrows_->setChecked(s.StrV);
    EnableArrowSizes();
    arrowLength_->setValue(s.DlStr);
    arrowAngle_->setValue(static_cast<int>(std::nearbyint(s.AngleStr * 100)));
    labelFont_ = s.Font;
    questionMark_->setChecked(s.QuestionMark);
    canvasHeight_->setValue(s.WSpaceV);
    canvasWidth_->setValue(s.WSpaceG);
    peopleCounts_->setChecked(s.ShowNumPeople);
}

void TFParams::Store(TPipeLine& s) const
{
    s.AreaWidth = static_cast<std::uint8_t>(areaWidth_->value());
    s.NodeWidth = static_cast<std::uint8_t>(nodeWidth_->value());
    s.LNum = static_cast<std::uint8_t>(labelOffset_->value());
    s.Color = horizontalColor_->Color();
    s.DColor = doorwayColor_->Color();
    s.LdownDColor = stairsDownColor_->Color();
    s.LupColor = stairsUpColor_->Color();
    s.NodeColor = nodeColor_->Color();
    s.Font = labelFont_;
    s.StrV = arrows_->isChecked();
    s.DlStr = static_cast<std::uint8_t>(arrowLength_->value());
    s.AngleStr = arrowAngle_->value() / 100.0;
    s.QuestionMark = questionMark_->isChecked();
    s.WSpaceV = canvasHeight_->value();
    s.WSpaceG = canvasWidth_->value();
    s.ShowNumPeople = peopleCounts_->isChecked();
}

void TFParams::ChooseFont()
{
    fontDialog_->Choose(labelFont_);
}

// The arrow sizes only matter while arrows are drawn; their values are
// kept and stored either way.
void TFParams::EnableArrowSizes()
{
    arrowLength_->setEnabled(arrows_->isChecked());
    arrowAngle_->setEnabled(arrows_->isChecked());
}

void TFParams::WarnLabelReset()
{
    prompts_->ShowMessage(kLabelResetWarning);
}

}  // namespace stelmar
