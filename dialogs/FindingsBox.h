#pragma once

// The message box of the calculation dialogs ("ProcCalc"): the findings of
// the checks one per line in red, each with its floor beside it, or the
// text of a passed check in green, then the warnings in orange. A click on
// a finding or a warning brings its element into view, a double click
// opens its parameters.

#include <QPlainTextEdit>
#include <functional>
#include <vector>

#include "calc/Validation.h"

namespace stelmar {

class FindingsBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit FindingsBox(QWidget* parent);

    // Shows the findings, or `passedText` when there are none, and the
    // warnings after them; true when the scheme passed (whatever the
    // warnings).
    bool Show(const std::vector<Finding>& findings, const QString& passedText,
              const std::vector<Finding>& warnings = {});
    // What each line shows, in line order (an empty finding for a line of
    // the passed text).
    const std::vector<Finding>& Findings() const { return findings_; }

    // The finding of a line clicked (`open` false) or double-clicked.
    void SetChooser(std::function<void(const Finding&, bool open)> chooser) { chooser_ = std::move(chooser); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    class FloorColumn;
    void PaintFloors(QPaintEvent* event);
    const Finding* FindingAt(const QPoint& at) const;

    std::vector<Finding> findings_;
    std::function<void(const Finding&, bool)> chooser_;
    QWidget* floors_;
};

}  // namespace stelmar
