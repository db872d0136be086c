#include "dialogs/FindingsBox.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>
#include <QTextBlock>

namespace stelmar {
namespace {

const QColor kFindingsColor(0xFF, 0, 0);
const QColor kPassedColor(0, 0x80, 0);
constexpr int kFloorWidth = 64;

QString FloorText(const Finding& f) { return f.Element.Floor > 0 ? QString("этаж %1").arg(f.Element.Floor) : QString(); }

}  // namespace

// The column to the right of the text with the floor of each finding.
class FindingsBox::FloorColumn : public QWidget {
public:
    explicit FloorColumn(FindingsBox* box) : QWidget(box), box_(box) {}

protected:
    void paintEvent(QPaintEvent* event) override { box_->PaintFloors(event); }

private:
    FindingsBox* box_;
};

FindingsBox::FindingsBox(QWidget* parent) : QPlainTextEdit(parent), floors_(new FloorColumn(this))
{
    setReadOnly(true);
    connect(this, &QPlainTextEdit::updateRequest, floors_, [this](const QRect&, int) { floors_->update(); });
}

bool FindingsBox::Show(const std::vector<Finding>& findings, const QString& passedText)
{
    findings_ = findings;
    QStringList lines;
    for (const Finding& f : findings) lines << QString::fromStdString(f.Message);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, findings.empty() ? kPassedColor : kFindingsColor);
    setPalette(colours);
    // The floor column takes room only when some finding has a floor.
    const bool floors = std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.Element.Floor > 0; });
    setViewportMargins(0, 0, floors ? kFloorWidth : 0, 0);
    floors_->setVisible(floors);
    setPlainText(findings.empty() ? passedText : lines.join('\n'));
    // A finding about an element can be chosen: the pointer says so.
    viewport()->setCursor(findings.empty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
    floors_->update();
    return findings.empty();
}

void FindingsBox::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect inside = contentsRect();
    floors_->setGeometry(inside.right() - kFloorWidth - verticalScrollBar()->sizeHint().width() + 1, inside.top(),
                         kFloorWidth, inside.height());
}

void FindingsBox::PaintFloors(QPaintEvent* event)
{
    QPainter painter(floors_);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF where = blockBoundingGeometry(block).translated(contentOffset());
        if (where.top() > floors_->height()) break;
        const int line = block.blockNumber();
        if (line >= int(findings_.size())) break;
        const QString text = FloorText(findings_[std::size_t(line)]);
        if (!text.isEmpty())
            painter.drawText(QRectF(0, where.top(), kFloorWidth - 4, fontMetrics().height()),
                             Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

const Finding* FindingsBox::FindingAt(const QPoint& at) const
{
    const int line = cursorForPosition(at).blockNumber();
    if (line < 0 || line >= int(findings_.size())) return nullptr;
    const Finding& f = findings_[std::size_t(line)];
    return f.Element.Kind == ElementKind::None ? nullptr : &f;
}

void FindingsBox::mousePressEvent(QMouseEvent* event)
{
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !chooser_) return;
    if (const Finding* f = FindingAt(event->position().toPoint())) chooser_(*f, false);
}

void FindingsBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton || !chooser_) return;
    if (const Finding* f = FindingAt(event->position().toPoint())) chooser_(*f, true);
}

}  // namespace stelmar
