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
#include "dialogs/PlanPageDialog.h"
#include "dialogs/PlanPlacementDialog.h"
#include "model/PlanPlacement.h"
#include "pictures/PictureFiles.h"
#include "plans/PdfPlan.h"
#include "plans/PlanFiles.h"

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
    if (IsPlanFile(path)) {
        LoadPlan(path);
        return;
    }
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
    ForgetPlan(scheme_.Plans[scheme_.ActiveEtag]);
}

// A file that cannot be read or drawn is reported, naming it and the
// reason, and the floor keeps its background. A PDF of several pages asks
// which page; the plan is placed at the canvas's top-left corner at the
// pixels per metre the user states (as large as fits the canvas at first),
// and the floor's scale follows. Placing it is one step, which also makes
// the floor's picture of the plan.
void TF::LoadPlan(const QString& path)
{
    QString error;
    const std::optional<PlanSourceRef> source = ReadPlanSource(path, &error);
    if (!source) {
        prompts_->ShowWarning(error);
        return;
    }
    TFloorPlan plan = scheme_.Plans[scheme_.ActiveEtag];
    plan.Source = *source;
    plan.Page = 1;
    plan.HiddenLayers.clear();
    PlanPictureRef picture = OpenPlanPicture(plan, &error);
    if (!picture) {
        prompts_->ShowWarning(PlanFailureText(path, error));
        return;
    }
    const auto* pdf = dynamic_cast<const PdfPlan*>(picture.get());
    if (pdf && pdf->PageCount() > 1 && dialogs_.PlanPage) {
        QList<QImage> thumbnails;
        for (int page = 1; page <= pdf->PageCount(); ++page) thumbnails << pdf->Thumbnail(page, 160);
        const std::optional<int> page = dialogs_.PlanPage->AskPage(path, thumbnails);
        if (!page) return;
        if (*page != 1) {
            plan.Page = *page;
            picture = OpenPlanPicture(plan, &error);
            if (!picture) {
                prompts_->ShowWarning(PlanFailureText(path, error));
                return;
            }
        }
    }
    const QSizeF size = picture->Size();
    if (size.isEmpty()) {
        prompts_->ShowWarning(PlanFailureText(path, "план не имеет размеров"));
        return;
    }
    // A page on paper is taken as drawn at 1:100 until the user says
    // otherwise; placed as large as fits the canvas when the dialog is not
    // there.
    const std::optional<double> groundUnit = picture->MetresPerUnit();
    PlanPlacement placement;
    const double defaultUnit = groundUnit.value_or(MetresPerPdfPoint(placement.Denominator));
    placement.PixelsPerMetre = FittingPixelsPerMetre(size.width() * defaultUnit, size.height() * defaultUnit,
                                                     scheme_.WSpaceG, scheme_.WSpaceV);
    if (dialogs_.PlanPlacement) {
        const std::optional<PlanPlacement> asked = dialogs_.PlanPlacement->AskPlacement(
            size, !groundUnit, groundUnit.value_or(0), QSize(scheme_.WSpaceG, scheme_.WSpaceV));
        if (!asked) return;
        placement = *asked;
    }
    const double metresPerUnit = groundUnit.value_or(MetresPerPdfPoint(placement.Denominator));
    plan.SourceName = QFileInfo(path).fileName().toStdString();
    plan.OriginX = 0;
    plan.OriginY = 0;
    plan.PixelsPerUnit = placement.PixelsPerMetre * metresPerUnit;
    plan.Scale = 1 / placement.PixelsPerMetre;
    plans_->Adopt(plan, picture);
    const SchemeEdit edit(*this, "план этажа " + std::to_string(scheme_.ActiveEtag));
    scheme_.Plans[scheme_.ActiveEtag] = std::move(plan);
}

void TF::ForgetPlan(TFloorPlan& plan)
{
    plan.Source.reset();
    plan.SourceName.clear();
    plan.Page = 1;
    plan.HiddenLayers.clear();
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
    ForgetPlan(scheme_.Plans[scheme_.ActiveEtag]);
}

void TF::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// Only the first dropped file is used: a project is opened, a picture or a
// plan becomes the background of the active floor.
void TF::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) return;
    event->acceptProposedAction();
    const QString path = urls.constFirst().toLocalFile();
    const QString extension = "." + QFileInfo(path).suffix().toLower();
    if (extension == ".stm") OpenProject(path);
    if (scheme_.Opened && (ReadablePictureExtensions().contains(extension) || IsPlanFile(path))) LoadBackground(path);
}

}  // namespace stelmar
