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
#include "dialogs/BackgroundWork.h"
#include "dialogs/PlanPageDialog.h"
#include "dialogs/PlanPlacementDialog.h"
#include "model/PlanPlacement.h"
#include "pictures/PictureFiles.h"
#include "plans/DxfPlan.h"
#include "plans/DxfReader.h"
#include "plans/PdfPlan.h"
#include "plans/PlanFiles.h"

namespace stelmar {
namespace {

constexpr const char* kShrinkQuestion = "Размер изображения превышает размер рабочей области\nуменьшить изображение?";
constexpr const char* kUnitsQuestion = "В чертеже \"%1\" не указаны единицы ($INSUNITS 0). В каких единицах он начерчен?";
constexpr const char* kPlanReading = "Чтение плана \"%1\"...";
constexpr int kThumbnailSide = 160;  // pixels
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

// A plan file read and opened on a worker: its bytes, its picture (of
// its first page) and the picture's size; without a picture, the message
// for the user.
struct ImportedPlan {
    PlanSourceRef Source;
    PlanPictureRef Picture;
    QSizeF Size;
    QString Error;
};

ImportedPlan ImportPlan(const QString& path, TFloorPlan plan)
{
    ImportedPlan imported;
    const std::optional<PlanSourceRef> source = ReadPlanSource(path, &imported.Error);
    if (!source) return imported;
    plan.Source = *source;
    imported.Source = *source;
    imported.Picture = ImportPlanPicture(plan, path, &imported.Error);
    if (imported.Picture) imported.Size = imported.Picture->Size();
    return imported;
}

// The units a drawing that states none may be drawn in, with their
// $INSUNITS codes.
struct DrawingUnit {
    const char* Name;
    int Units;
};
constexpr DrawingUnit kDrawingUnits[] = {
    {"миллиметры", 4}, {"сантиметры", 5}, {"метры", 6}, {"дюймы", 1}, {"футы", 2}};

// The layers a drawing's file switches off or freezes, sorted.
std::vector<std::string> LayersOff(const PlanDrawing& drawing)
{
    std::vector<std::string> off;
    for (const PlanLayer& layer : drawing.Layers)
        if (layer.Off) off.push_back(layer.Name);
    std::sort(off.begin(), off.end());
    return off;
}

}  // namespace

// The metres in a unit of drawing `name`, asked of the user; nullopt when
// the user cancels.
std::optional<double> TF::AskDrawingUnit(const std::string& name)
{
    QStringList units;
    for (const DrawingUnit& unit : kDrawingUnits) units << unit.Name;
    const int chosen = prompts_->ChooseItem(QString(kUnitsQuestion).arg(QString::fromStdString(name)), units);
    if (chosen < 0) return std::nullopt;
    return MetresPerUnit(kDrawingUnits[chosen].Units);
}

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
// which page; a DXF drawing without units asks for them and starts with the
// layers its file switches off hidden. The plan is placed at the canvas's
// top-left corner at the pixels per metre the user states (as large as
// fits the canvas at first), and the floor's scale follows. Placing it is
// one step, which also makes the floor's picture of the plan. The entities
// of a drawing that are not drawn are named after it. The file is read and
// the floor's picture rendered on a worker, the window painting; a cancel
// leaves the floor as it was.
void TF::LoadPlan(const QString& path)
{
    TFloorPlan plan = scheme_.Plans[scheme_.ActiveEtag];
    plan.SourceName = QFileInfo(path).fileName().toStdString();
    plan.Page = 1;
    plan.HiddenLayers.clear();
    const QString reading = QString(kPlanReading).arg(QFileInfo(path).fileName());
    const std::optional<ImportedPlan> imported =
        WorkInBackground<ImportedPlan>(this, reading, [path, plan] { return ImportPlan(path, plan); });
    if (!imported) return;
    if (!imported->Picture) {
        prompts_->ShowWarning(imported->Error);
        return;
    }
    plan.Source = imported->Source;
    PlanPictureRef picture = imported->Picture;
    QSizeF size = imported->Size;
    const auto pdf = std::dynamic_pointer_cast<const PdfPlan>(picture);
    if (pdf && pdf->PageCount() > 1 && dialogs_.PlanPage) {
        const std::optional<int> page = dialogs_.PlanPage->AskPage(
            path, pdf->PageCount(), [pdf](int page) { return pdf->Thumbnail(page, kThumbnailSide); });
        if (!page) return;
        plan.Page = *page;
        picture = pdf->OnPage(*page);
        // The page's size waits for the thumbnail still being rendered.
        const std::optional<QSizeF> pageSize =
            WorkInBackground<QSizeF>(this, reading, [picture] { return picture->Size(); });
        if (!pageSize) return;
        size = *pageSize;
    }
    std::optional<double> groundUnit = picture->MetresPerUnit();
    std::shared_ptr<const DxfPlan> dxf = std::dynamic_pointer_cast<const DxfPlan>(picture);
    if (dxf) {
        plan.HiddenLayers = LayersOff(dxf->Drawing());
        dxf = dxf->WithHidden(plan.HiddenLayers);
        picture = dxf;
        size = picture->Size();
        if (!groundUnit) groundUnit = AskDrawingUnit(plan.SourceName);
        if (!groundUnit) return;
    }
    if (size.isEmpty()) {
        prompts_->ShowWarning(PlanFailureText(path, "план не имеет размеров"));
        return;
    }
    // A page on paper is taken as drawn at 1:100 until the user says
    // otherwise; placed as large as fits the canvas when the dialog is not
    // there.
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
    plan.OriginX = 0;
    plan.OriginY = 0;
    plan.PixelsPerUnit = placement.PixelsPerMetre * metresPerUnit;
    plan.Scale = 1 / placement.PixelsPerMetre;
    const std::optional<BitmapRef> floorPicture = WorkInBackground<BitmapRef>(
        this, kFloorPictureRendering,
        [picture, plan] { return std::make_shared<const Bitmap>(PlanBitmap(*picture, plan)); });
    if (!floorPicture) return;
    plans_->Adopt(plan, picture);
    plans_->KeepBitmap(plan, *floorPicture);
    {
        const SchemeEdit edit(*this, "план этажа " + std::to_string(scheme_.ActiveEtag));
        scheme_.Plans[scheme_.ActiveEtag] = std::move(plan);
    }
    if (dxf) {
        const std::string skipped = SkippedMessage(dxf->Drawing(), QFileInfo(path).fileName().toStdString());
        if (!skipped.empty()) prompts_->ShowWarning(QString::fromStdString(skipped));
    }
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

FloorPlanPictures TF::PlanPictures()
{
    FloorPlanPictures pictures;
    for (int floor = 1; floor <= scheme_.EtagCount; ++floor)
        if (scheme_.Plans[std::size_t(floor)].Source)
            if (PlanPictureRef picture = plans_->Picture(scheme_.Plans[std::size_t(floor)]))
                pictures.emplace(floor, std::move(picture));
    return pictures;
}

}  // namespace stelmar
