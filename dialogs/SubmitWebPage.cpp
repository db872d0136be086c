#include "dialogs/SubmitWebPage.h"

#include <QFileDialog>
#include <QWidget>

namespace stelmar {

SubmitWebPage::SubmitWebPage(QWebEngineProfile* profile, StartFile start, QObject* parent)
    : QWebEnginePage(profile, parent), start_(std::move(start))
{
    chooser_ = [this](const QString& startFile) {
        const QString file = QFileDialog::getOpenFileName(qobject_cast<QWidget*>(this->parent()), "Открыть",
                                                          startFile, "Схема эвакуации (*.stm);;Все файлы (*)");
        return file.isEmpty() ? QStringList() : QStringList{file};
    };
}

QStringList SubmitWebPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&)
{
    return chooser_(start_());
}

}  // namespace stelmar
