#pragma once

// The browser page of the service dialog: its file field opens a file
// chooser that starts at the open project.

#include <QWebEnginePage>
#include <functional>

namespace stelmar {

class SubmitWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    using Chooser = std::function<QStringList(const QString& start)>;
    using StartFile = std::function<QString()>;

    SubmitWebPage(QWebEngineProfile* profile, StartFile start, QObject* parent);

    void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

protected:
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;

private:
    StartFile start_;
    Chooser chooser_;
};

}  // namespace stelmar
