#include "editor/LengthsPreview.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/NumberText.h"

namespace stelmar {

QStringList LeftOutLines(const LeftOutAreas& left)
{
    const std::pair<int, const char*> reasons[] = {
        {left.AcrossFloors, "концы на разных этажах"},
        {left.Ramps, "пандусы"},
        {left.KindNotTicked, "тип не отмечен"},
        {left.OtherFloor, "на другом этаже"},
        {left.HasLength, "длина не равна 0"},
        {left.Unchanged, "длина уже такая"},
    };
    QStringList lines;
    for (const auto& [count, why] : reasons)
        if (count > 0) lines << QString("%1: %2").arg(why).arg(count);
    return lines;
}

LengthsPreview::LengthsPreview(const TPipeLine& s, const ScaleResult& result, QWidget* parent) : QDialog(parent)
{
    setObjectName("LengthsPreview");
    setWindowTitle("Расчет длин участков");
    const bool changes = !result.Lengths.empty();
    auto* heading = new QLabel(changes ? QString("Будут изменены длины участков (%1):").arg(result.Lengths.size())
                                       : QString("Длина ни одного участка не изменится."),
                               this);
    heading->setObjectName("PreviewHeading");

    const char separator = DecimalSeparatorFromEnvironment();
    auto number = [separator](double x) {
        auto* item = new QTableWidgetItem(QString::fromStdString(FormatReal(x, separator)));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    auto* table = new QTableWidget(static_cast<int>(result.Lengths.size()), 3, this);
    table->setObjectName("PreviewLengths");
    table->setHorizontalHeaderLabels({"Участок", "Было, м", "Станет, м"});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int row = 0; row < table->rowCount(); ++row) {
        const ScaledLength& l = result.Lengths[std::size_t(row)];
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(AreaLabel(s, s.Areas[std::size_t(l.Area)]))));
        table->setItem(row, 1, number(l.OldLength));
        table->setItem(row, 2, number(l.Length));
    }
    table->setVisible(changes);

    const QStringList left = LeftOutLines(result.LeftOut);
    auto* leftOut = new QLabel(left.isEmpty() ? QString()
                                              : QString("Оставлены без изменения (%1):\n  %2")
                                                    .arg(result.LeftOut.Total())
                                                    .arg(left.join("\n  ")),
                               this);
    leftOut->setObjectName("PreviewLeftOut");
    leftOut->setVisible(!left.isEmpty());

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* apply = buttons->addButton("Применить", QDialogButtonBox::AcceptRole);
    apply->setObjectName("PreviewApply");
    apply->setEnabled(changes);
    QPushButton* back = buttons->addButton("Назад", QDialogButtonBox::RejectRole);
    back->setObjectName("PreviewBack");
    (changes ? apply : back)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(table, 1);
    layout->addWidget(leftOut);
    layout->addWidget(buttons);
    resize(420, changes ? 360 : 160);
}

}  // namespace stelmar
