#pragma once

// The field of the node dialog that offers the projection areas of the
// common kinds of people in a drop-down table while still taking a typed
// value.

#include <QFrame>
#include <QWidget>

#include "model/ProjectionAreas.h"

class QLineEdit;
class QTableWidget;
class QToolButton;

namespace stelmar {

// The drop-down of the field: the table with its titles, 10 rows high and
// 400 pixels wide at first, resizable by its corner.
class ProjectionAreaPopup : public QFrame {
    Q_OBJECT
public:
    explicit ProjectionAreaPopup(QWidget* parent);

    QTableWidget* Table() const { return table_; }
    // Shows the table below `field` with the row whose value is `current`
    // chosen, when there is one.
    void Open(const QWidget* field, double current);

signals:
    void Chosen(double s);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Choose(int row);

    QTableWidget* table_;
};

// A text field with a button that opens the table; choosing a row puts its
// value into the field.
class ProjectionAreaField : public QWidget {
    Q_OBJECT
public:
    explicit ProjectionAreaField(QWidget* parent);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* Edit() const { return edit_; }
    QToolButton* DropButton() const { return button_; }
    ProjectionAreaPopup* Popup() const { return popup_; }
    void OpenTable();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    QToolButton* button_;
    ProjectionAreaPopup* popup_;
};

}  // namespace stelmar
