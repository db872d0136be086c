#pragma once

// The page of a multi-page PDF that becomes the floor's plan, chosen among
// the pages' thumbnails.

#include <QDialog>
#include <QImage>
#include <QList>
#include <optional>

class QListWidget;

namespace stelmar {

class PlanPageDialog : public QDialog {
    Q_OBJECT
public:
    explicit PlanPageDialog(QWidget* parent);

    // One thumbnail per page of the file `name`; the page chosen (from 1),
    // or nullopt when the user cancels. The first page is chosen at first;
    // a double click chooses and closes.
    std::optional<int> AskPage(const QString& name, const QList<QImage>& thumbnails);

private:
    QListWidget* pages_ = nullptr;
};

}  // namespace stelmar
