#include "plans/PdfPlan.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QPainter>
#include <QPdfDocument>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <mutex>

namespace stelmar {

struct PdfPlan::Document {
    PlanSourceRef Source;  // the bytes the buffer reads
    QByteArray Bytes;
    QBuffer Buffer;
    QPdfDocument Pdf;
    std::mutex Mutex;
};

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
    auto document = std::make_shared<Document>();
    document->Source = source;
    // The buffer reads the scheme's bytes in place: the source never changes
    // and the document keeps it alive.
    document->Bytes =
        QByteArray::fromRawData(source->Bytes.data(), static_cast<qsizetype>(source->Bytes.size()));
    document->Buffer.setData(document->Bytes);
    document->Buffer.open(QIODevice::ReadOnly);
    document->Pdf.load(&document->Buffer);
    if (document->Pdf.status() != QPdfDocument::Status::Ready) {
        *reason = LoadFailure(document->Pdf.error());
        return nullptr;
    }
    if (document->Pdf.pageCount() < 1) {
        *reason = "в документе нет страниц";
        return nullptr;
    }
    // Read on a worker, the document belongs to the program's own thread
    // from now on, so that it outlives the worker.
    const QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() != application->thread()) {
        document->Buffer.moveToThread(application->thread());
        document->Pdf.moveToThread(application->thread());
    }
    std::shared_ptr<PdfPlan> plan(new PdfPlan);
    plan->document_ = std::move(document);
    plan->page_ = std::clamp(page, 1, plan->document_->Pdf.pageCount());
    return plan;
}

int PdfPlan::PageCount() const
{
    const std::lock_guard lock(document_->Mutex);
    return document_->Pdf.pageCount();
}

std::shared_ptr<PdfPlan> PdfPlan::OnPage(int page) const
{
    std::shared_ptr<PdfPlan> plan(new PdfPlan);
    plan->document_ = document_;
    plan->page_ = std::clamp(page, 1, PageCount());
    return plan;
}

QImage PdfPlan::Thumbnail(int page, int side) const
{
    const std::lock_guard lock(document_->Mutex);
    const QSizeF points = document_->Pdf.pagePointSize(page - 1);
    if (points.isEmpty()) return OnWhite({}, QSize(side, side));
    const QSize size = points.scaled(side, side, Qt::KeepAspectRatio).toSize().expandedTo(QSize(1, 1));
    return OnWhite(document_->Pdf.render(page - 1, size), size);
}

QSizeF PdfPlan::Size() const
{
    const std::lock_guard lock(document_->Mutex);
    return document_->Pdf.pagePointSize(page_ - 1);
}

QImage PdfPlan::Render(double scale, const QRect& clip) const
{
    const std::lock_guard lock(document_->Mutex);
    const QSizeF points = document_->Pdf.pagePointSize(page_ - 1);
    QPdfDocumentRenderOptions options;
    options.setRenderFlags(QPdfDocumentRenderOptions::RenderFlag::Annotations);
    options.setScaledSize(QSize(static_cast<int>(std::lround(points.width() * scale)),
                                static_cast<int>(std::lround(points.height() * scale))));
    // QtPdf scales a part by the distance from its first to its last pixel
    // over the image's size: asked one pixel wider and taller than the
    // image, the part keeps the page's scale, so that parts rendered apart
    // join without a seam.
    options.setScaledClipRect(QRect(clip.topLeft(), clip.size() + QSize(1, 1)));
    return OnWhite(document_->Pdf.render(page_ - 1, clip.size(), options), clip.size());
}

}  // namespace stelmar
