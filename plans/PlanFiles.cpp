#include "plans/PlanFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/FileErrors.h"
#include "model/PictureFile.h"
#include "model/RegularFile.h"
#include "pictures/PictureFiles.h"
#include "plans/DxfPlan.h"
#include "plans/DxfReader.h"
#include "plans/PdfPlan.h"

namespace stelmar {
namespace {

// As large as a plan file beside a project may be when the project is read.
constexpr std::int64_t kMaxPlanFileSize = std::int64_t{1} << 30;

QString Kind(const QString& path) { return QFileInfo(path).suffix().toLower(); }

}  // namespace

QStringList PlanExtensions() { return {".pdf", ".dxf", ".dwg"}; }

QString PlanFilter() { return "Планы PDF и DXF (*.pdf *.dxf *.dwg)"; }

bool IsPlanFile(const QString& path) { return PlanExtensions().contains("." + Kind(path)); }

QString BackgroundFilter()
{
    QStringList patterns;
    for (const QString& extension : ReadablePictureExtensions() + PlanExtensions()) patterns << "*" + extension;
    return QString("Изображения и планы (%1);;%2;;%3").arg(patterns.join(' '), PlanFilter(), ReadablePictureFilter());
}

std::optional<PlanSourceRef> ReadPlanSource(const QString& path, QString* error)
{
    if (Kind(path) == "dwg") {
        *error = kDwgRefused;
        return std::nullopt;
    }
    std::string bytes;
    const int failure = ReadRegularFile(QFile::encodeName(path).toStdString(), kMaxPlanFileSize, bytes);
    if (failure != 0 || bytes.empty()) {
        *error = PlanFailureText(path, failure ? QString::fromStdString(FileErrorText(failure)) : "файл пуст");
        return std::nullopt;
    }
    return std::make_shared<const TPlanSource>(TPlanSource{Kind(path).toStdString(), std::move(bytes)});
}

PlanPictureRef OpenPlanPicture(const TFloorPlan& plan, QString* reason)
{
    if (!plan.Source || plan.Source->Bytes.empty()) {
        *reason = "файл плана не загружен";
        return nullptr;
    }
    if (plan.Source->Kind == "pdf") return PdfPlan::Load(plan.Source, plan.Page, reason);
    if (plan.Source->Kind == "dxf") {
        QString message;
        PlanPictureRef picture = DxfPlan::Load(plan.Source, plan.SourceName, plan.HiddenLayers, &message);
        // The reader's sentence as a reason: lower case, without its full stop.
        if (message.endsWith('.')) message.chop(1);
        if (!message.isEmpty()) message[0] = message[0].toLower();
        *reason = message;
        return picture;
    }
    *reason = "неизвестный вид плана";
    return nullptr;
}

FloorPlanPictures OpenFloorPlans(const TPipeLine& s)
{
    FloorPlanPictures pictures;
    for (int floor = 1; floor <= s.EtagCount; ++floor) {
        const TFloorPlan& plan = s.Plans[std::size_t(floor)];
        QString reason;
        if (plan.Source)
            if (PlanPictureRef picture = OpenPlanPicture(plan, &reason)) pictures.emplace(floor, std::move(picture));
    }
    return pictures;
}

PlanPictureRef ImportPlanPicture(const TFloorPlan& plan, const QString& path, QString* message)
{
    if (plan.Source && plan.Source->Kind == "dxf") {
        const std::string name = QFileInfo(path).fileName().toStdString();
        return DxfPlan::Load(plan.Source, name, plan.HiddenLayers, message);
    }
    QString reason;
    PlanPictureRef picture = OpenPlanPicture(plan, &reason);
    if (!picture) *message = PlanFailureText(path, reason);
    return picture;
}

QString PlanFailureText(const QString& name, const QString& reason)
{
    return QString("Не удалось открыть план \"%1\": %2.").arg(QDir::toNativeSeparators(name), reason);
}

Bitmap PlanBitmap(const PlanPicture& picture, const TFloorPlan& plan)
{
    const QSizeF size = picture.Size() * plan.PixelsPerUnit;
    const QPointF corner(plan.OriginX + plan.OffsetX, plan.OriginY + plan.OffsetY);
    const auto side = [](double far) { return std::clamp(static_cast<int>(std::ceil(far)), 1, kMaxPictureSide); };
    QImage image(side(corner.x() + size.width()), side(corner.y() + size.height()), QImage::Format_RGB32);
    image.fill(Qt::white);
    const QPoint at(static_cast<int>(std::lround(corner.x())), static_cast<int>(std::lround(corner.y())));
    const QRect clip = QRect(QPoint(0, 0), image.size()).translated(-at).intersected(
        QRect(0, 0, static_cast<int>(std::ceil(size.width())), static_cast<int>(std::ceil(size.height()))));
    if (!clip.isEmpty()) {
        QPainter painter(&image);
        painter.drawImage(clip.topLeft() + at, picture.Render(plan.PixelsPerUnit, clip));
    }
    return FromQImage(image);
}

}  // namespace stelmar
