#pragma once

// The page of a multi-page PDF that becomes the floor's plan, chosen among
// the pages' thumbnails. The dialog opens at once; the thumbnails are
// rendered on a worker thread, one page after another, and each shows as it
// arrives. Closing the dialog stops the rendering of the rest.

#include <QDialog>
#include <QImage>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class QListWidget;

namespace stelmar {

class PlanPageDialog : public QDialog {
    Q_OBJECT
public:
    explicit PlanPageDialog(QWidget* parent);
    ~PlanPageDialog() override;

    // The page chosen (from 1) among the `pages` pages of the file `name`,
    // or nullopt when the user cancels. `thumbnail` renders the thumbnail
    // of a page (from 1) on the worker thread. The first page is chosen at
    // first; a double click chooses and closes.
    std::optional<int> AskPage(const QString& name, int pages, std::function<QImage(int page)> thumbnail);
    // How many of the pages show their thumbnails.
    int ThumbnailsShown() const;

private:
    void ShowThumbnail(int generation, int page, const QImage& image);
    void StopRendering();

    QListWidget* pages_ = nullptr;
    std::thread renderer_;
    std::shared_ptr<std::atomic<bool>> stop_;
    int generation_ = 0;  // of the file asked about, so that a late thumbnail of another is dropped
};

}  // namespace stelmar
