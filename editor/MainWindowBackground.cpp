// Background pictures of the floors and files dropped on the main window.

#include <QDragEnterEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "editor/MainWindow.h"
#include "editor/SchemeEdit.h"
#include "model/PictureFile.h"
#include "pictures/PictureFiles.h"

namespace stelmar {
namespace {

constexpr const char* kShrinkQuestion = "Размер изображения превышает размер рабочей области\nуменьшить изображение?";
constexpr const char* kDeleteBackgroundQuestion = "Вы действительно хотите удалить подложку?";
constexpr const char* kTooLargeForProject =
    "Изображение \"%1\" (%2 × %3 точек) не загружено: в файле проекта можно сохранить изображение "
    "не больше %4 точек по каждой стороне. Уменьшите изображение при загрузке.";

// The largest size of the same proportions that fits the canvas; the side
// that does not reach the canvas edge is rounded (ties to even). The
// proportions are kept on a canvas that is not square too, so that lengths
// measured on the plan stay true in both directions.
Bitmap ShrunkToFit(const Bitmap& picture, int width, int height)
{
    const double scale = std::min(double(width) / picture.Width, double(height) / picture.Height);
    const QSize size(std::max(1, int(std::nearbyint(picture.Width * scale))),
                     std::max(1, int(std::nearbyint(picture.Height * scale))));
    return FromQImage(ToQImage(picture).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

// A picture that cannot be read is reported and the floor keeps its
// background. So is one that the project's picture file could not hold
// (a side above kMaxPictureSide) and that the user does not let shrink.
void TF::LoadBackground(const QString& path)
{
    QString error;
    std::optional<Bitmap> picture = LoadPicture(path, &error);
    if (!picture) {
        prompts_->ShowWarning(error);
        return;
    }
    const bool tooLarge = picture->Width > kMaxPictureSide || picture->Height > kMaxPictureSide;
    if (tooLarge || picture->Width > scheme_.WSpaceG || picture->Height > scheme_.WSpaceV) {
        if (prompts_->AskYesNoCancel(kShrinkQuestion) == Answer::Yes) {
            *picture = ShrunkToFit(*picture, std::min(scheme_.WSpaceG, kMaxPictureSide),
                                   std::min(scheme_.WSpaceV, kMaxPictureSide));
        } else if (tooLarge) {
            prompts_->ShowWarning(QString(kTooLargeForProject)
                                      .arg(QDir::toNativeSeparators(path))
                                      .arg(picture->Width)
                                      .arg(picture->Height)
                                      .arg(kMaxPictureSide));
            return;
        }
    }
    const SchemeEdit edit(*this, "изображение этажа " + std::to_string(scheme_.ActiveEtag));
    scheme_.Backgrounds[scheme_.ActiveEtag] = std::make_shared<const Bitmap>(std::move(*picture));
}

void TF::LoadBackgroundCommand()
{
    const QString path = prompts_->OpenPictureName();
    if (!path.isEmpty()) LoadBackground(path);
}

void TF::DeleteBackgroundCommand()
{
    if (prompts_->AskYesNoCancel(kDeleteBackgroundQuestion) != Answer::Yes) return;
    if (!scheme_.Backgrounds[scheme_.ActiveEtag]) return;
    const SchemeEdit edit(*this, "удаление изображения этажа " + std::to_string(scheme_.ActiveEtag));
    scheme_.Backgrounds[scheme_.ActiveEtag].reset();
}

void TF::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// Only the first dropped file is used: a project is opened, a picture
// becomes the background of the active floor.
void TF::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) return;
    event->acceptProposedAction();
    const QString path = urls.constFirst().toLocalFile();
    const QString extension = "." + QFileInfo(path).suffix().toLower();
    if (extension == ".stm") OpenProject(path);
    if (scheme_.Opened && ReadablePictureExtensions().contains(extension)) LoadBackground(path);
}

}  // namespace stelmar
