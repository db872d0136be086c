#include "plans/PdfPlan.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace stelmar {
namespace {

QString LoadFailure(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::IncorrectPassword: return "документ защищен паролем";
    case QPdfDocument::Error::UnsupportedSecurityScheme: return "документ зашифрован неизвестным способом";
    default: return "файл поврежден или не является документом PDF";
    }
}

// A render of QtPdf (transparent where the page draws nothing) laid on white.
QImage OnWhite(const QImage& rendered, const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!rendered.isNull()) {
        QPainter painter(&image);
        painter.drawImage(0, 0, rendered);
    }
    return image;
}

}  // namespace

std::shared_ptr<PdfPlan> PdfPlan::Load(const PlanSourceRef& source, int page, QString* reason)
{
    std::shared_ptr<PdfPlan> plan(new PdfPlan);
    plan->source_ = source;
    // The buffer reads the scheme's bytes in place: the source never changes
    // and the plan keeps it alive.
    plan->bytes_ = QByteArray::fromRawData(source->Bytes.data(), static_cast<qsizetype>(source->Bytes.size()));
    plan->buffer_.setData(plan->bytes_);
    plan->buffer_.open(QIODevice::ReadOnly);
    plan->document_.load(&plan->buffer_);
    if (plan->document_.status() != QPdfDocument::Status::Ready) {
        *reason = LoadFailure(plan->document_.error());
        return nullptr;
    }
    if (plan->document_.pageCount() < 1) {
        *reason = "в документе нет страниц";
        return nullptr;
    }
    plan->page_ = std::clamp(page, 1, plan->document_.pageCount());
    return plan;
}

int PdfPlan::PageCount() const
{
    const std::lock_guard lock(mutex_);
    return document_.pageCount();
}

QImage PdfPlan::Thumbnail(int page, int side) const
{
    const std::lock_guard lock(mutex_);
    const QSizeF points = document_.pagePointSize(page - 1);
    if (points.isEmpty()) return OnWhite({}, QSize(side, side));
    const QSize size = points.scaled(side, side, Qt::KeepAspectRatio).toSize().expandedTo(QSize(1, 1));
    return OnWhite(document_.render(page - 1, size), size);
}

QSizeF PdfPlan::Size() const
{
    const std::lock_guard lock(mutex_);
    return document_.pagePointSize(page_ - 1);
}

QImage PdfPlan::Render(double scale, const QRect& clip) const
{
    const std::lock_guard lock(mutex_);
    const QSizeF points = document_.pagePointSize(page_ - 1);
    QPdfDocumentRenderOptions options;
    options.setRenderFlags(QPdfDocumentRenderOptions::RenderFlag::Annotations);
    options.setScaledSize(QSize(static_cast<int>(std::lround(points.width() * scale)),
                                static_cast<int>(std::lround(points.height() * scale))));
    // QtPdf scales a part by the distance from its first to its last pixel
    // over the image's size: asked one pixel wider and taller than the
    // image, the part keeps the page's scale, so that parts rendered apart
    // join without a seam.
    options.setScaledClipRect(QRect(clip.topLeft(), clip.size() + QSize(1, 1)));
    return OnWhite(document_.render(page_ - 1, clip.size(), options), clip.size());
}

}  // namespace stelmar
