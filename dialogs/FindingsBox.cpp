#include "dialogs/FindingsBox.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>

namespace stelmar {
namespace {

const QColor kFindingsColor(0xFF, 0, 0);
const QColor kPassedColor(0, 0x80, 0);
const QColor kWarningColor(0xB0, 0x60, 0);
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

bool FindingsBox::Show(const std::vector<Finding>& findings, const QString& passedText,
                       const std::vector<Finding>& warnings)
{
    findings_.clear();
    clear();
    // The text colour says at a glance whether the scheme passed; each
    // line carries its own colour too.
    QPalette colours = palette();
    colours.setColor(QPalette::Text, findings.empty() ? kPassedColor : kFindingsColor);
    setPalette(colours);
    QTextCursor cursor(document());
    auto add = [&](const QString& text, const QColor& colour, const Finding& finding) {
        if (!findings_.empty()) cursor.insertBlock();
        QTextCharFormat format;
        format.setForeground(colour);
        cursor.insertText(text, format);
        findings_.push_back(finding);
    };
    for (const Finding& f : findings) add(QString::fromStdString(f.Message), kFindingsColor, f);
    if (findings.empty())
        for (const QString& line : passedText.split('\n')) add(line, kPassedColor, {});
    for (const Finding& w : warnings) add(QString::fromStdString(w.Message), kWarningColor, w);
    // The floor column takes room only when some finding has a floor.
    const bool floors =
        std::any_of(findings_.begin(), findings_.end(), [](const Finding& f) { return f.Element.Floor > 0; });
    setViewportMargins(0, 0, floors ? kFloorWidth : 0, 0);
    floors_->setVisible(floors);
    moveCursor(QTextCursor::Start);
    // A finding about an element can be chosen: the pointer says so.
    viewport()->setCursor(findings.empty() && warnings.empty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
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
