#pragma once

// A page of a PDF file as a floor's plan, drawn by QtPdf: its size in PDF
// points and any part of it rendered at any scale, so that it stays sharp
// at every zoom.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPdfDocument>
#include <QString>
#include <memory>
#include <mutex>

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
    // Chooses the page (from 1, within PageCount) before the plan is shown.
    void ChoosePage(int page) { page_ = page; }
    // Page `page` (from 1) whole within a square of `side` pixels, on white.
    QImage Thumbnail(int page, int side) const;

    QSizeF Size() const override;
    QImage Render(double scale, const QRect& clip) const override;

private:
    PdfPlan() = default;

    PlanSourceRef source_;  // the bytes the buffer reads
    QByteArray bytes_;
    QBuffer buffer_;
    mutable QPdfDocument document_;
    mutable std::mutex mutex_;
    int page_ = 1;
};

}  // namespace stelmar
