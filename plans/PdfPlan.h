#pragma once

// A page of a PDF file as a floor's plan, drawn by QtPdf: its size in PDF
// points and any part of it rendered at any scale, so that it stays sharp
// at every zoom. The size and the renders are the page as a viewer shows
// it, turned by the page's /Rotate. The document is read once and shared by
// the plans of its pages; QtPdf's document is not thread-safe, so every use
// of it holds the document's lock, and plans may be loaded, rendered and
// dropped on any thread.

#include <QImage>
#include <QString>
#include <memory>

#include "model/Scheme.h"
#include "drawing/PlanPicture.h"

namespace stelmar {

class PdfPlan : public PlanPicture {
public:
    // The document in `source`, its page `page` (from 1) chosen; null with
    // `reason` set (in Russian, lower case, no full stop) when the document
    // cannot be read: protected by a password, encrypted in a way QtPdf
    // does not know, damaged or not a PDF, without pages.
    static std::shared_ptr<PdfPlan> Load(const PlanSourceRef& source, int page, QString* reason);

    int PageCount() const;
    int Page() const { return page_; }
    // The plan of page `page` (from 1, within PageCount) of the same
    // document, without reading it again.
    std::shared_ptr<PdfPlan> OnPage(int page) const;
    // Page `page` (from 1) whole within a square of `side` pixels, on white.
    QImage Thumbnail(int page, int side) const;

    QSizeF Size() const override;
    QImage Render(double scale, const QRect& clip) const override;

private:
    struct Document;

    PdfPlan() = default;

    std::shared_ptr<Document> document_;
    int page_ = 1;
};

}  // namespace stelmar
