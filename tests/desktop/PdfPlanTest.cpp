// PDF plans: pages rendered by parts at any scale as sharp as whole, the
// screen's tiles rendered once and within their memory, the floor picture
// at the plan's place, and files that cannot be drawn named with the reason.

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>

#include "drawing/PlanTiles.h"
#include "plans/PdfPlan.h"
#include "plans/PlanFiles.h"
#include "PlanPdfs.h"

using namespace stelmar;

namespace {

PlanSourceRef Source(const QByteArray& bytes)
{
    return std::make_shared<const TPlanSource>(TPlanSource{"pdf", bytes.toStdString()});
}

bool Dark(QRgb pixel) { return qGray(pixel) < 100; }

// A document protected by the standard security handler with a user
// password: its check value matches no empty password.
QByteArray ProtectedPdf()
{
    QByteArray pdf = "%PDF-1.4\n";
    QList<int> offsets;
    const QByteArray check(32, '\x5A');
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>",
        "<< /Filter /Standard /V 1 /R 2 /O <" + check.toHex() + "> /U <" + check.toHex() + "> /P -4 >>",
    };
    for (int i = 0; i < objects.size(); ++i) {
        offsets << int(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const int xref = int(pdf.size());
    pdf += "xref\n0 5\n0000000000 65535 f \n";
    for (const int at : offsets) pdf += QByteArray::number(at).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 5 /Root 1 0 R /Encrypt 4 0 R /ID [<00112233445566778899AABBCCDDEEFF> "
           "<00112233445566778899AABBCCDDEEFF>] >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// A portrait page of 400 x 600 points with a black mark of 100 x 50
// points at its top-left corner, turned a quarter clockwise by /Rotate 90
// as a scanner or a plotter driver writes it. pdfium finds the objects
// again after the entry shifts them.
QByteArray RotatedPdf()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(400, 600), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    painter.fillRect(QRectF(0, 0, 100, 50), Qt::black);
    painter.end();
    const qsizetype at = bytes.indexOf("/Type /Page\n");
    Q_ASSERT(at >= 0);
    bytes.insert(at + 12, "/Rotate 90\n");
    return bytes;
}

// A plan of 1000 x 600 units, white, that counts its renders.
class CountingPicture : public PlanPicture {
public:
    QSizeF Size() const override { return {1000, 600}; }
    QImage Render(double, const QRect& clip) const override
    {
        ++renders;
        QImage image(clip.size(), QImage::Format_RGB32);
        image.fill(Qt::gray);
        return image;
    }
    mutable std::atomic<int> renders = 0;
};

}  // namespace

class PdfPlanTest : public QObject {
    Q_OBJECT

private slots:
    void pagesAreChosenAndRenderedSharpByParts()
    {
        QString reason;
        const std::shared_ptr<PdfPlan> plan = PdfPlan::Load(Source(PlanPdf(3)), 3, &reason);
        QVERIFY2(plan, qPrintable(reason));
        QCOMPARE(plan->PageCount(), 3);
        QCOMPARE(plan->Page(), 3);
        QCOMPARE(plan->Size(), QSizeF(600, 400));

        // At 8 pixels per point the page is 4800 x 3200 pixels: a part
        // rendered alone matches the same part of the whole render, and the
        // 30-point square of page 3 has sharp edges (240 pixels, no blur).
        const QImage whole = plan->Render(2, QRect(0, 0, 1200, 800));
        const QImage part = plan->Render(2, QRect(500, 300, 300, 200));
        QCOMPARE(part.size(), QSize(300, 200));
        int differing = 0;
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                differing += Dark(part.pixel(x, y)) != Dark(whole.pixel(500 + x, 300 + y));
        QVERIFY2(differing < 20, qPrintable(QString::number(differing)));
        const QImage left = plan->Render(2, QRect(500, 300, 150, 200));
        const QImage right = plan->Render(2, QRect(650, 300, 150, 200));
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                differing += Dark(part.pixel(x, y)) != Dark(x < 150 ? left.pixel(x, y) : right.pixel(x - 150, y));
        QVERIFY2(differing < 20, qPrintable(QString::number(differing)));

        const QImage close = plan->Render(8, QRect(2200, 1400, 240, 240));  // the square from (80, 80)
        QVERIFY(Dark(close.pixel(100, 100)));
        QVERIFY(!Dark(close.pixel(78, 150)) && Dark(close.pixel(81, 150)));  // its left edge, not blurred
        QVERIFY(!Dark(close.pixel(150, 20)));  // above it, away from the diagonal

        const QImage thumbnail = plan->Thumbnail(1, 120);
        QCOMPARE(thumbnail.size(), QSize(120, 80));
    }

    void filesThatCannotBeDrawnAreNamedWithTheReason()
    {
        QString reason;
        QVERIFY(!PdfPlan::Load(Source(ProtectedPdf()), 1, &reason));
        QCOMPARE(reason, QString("документ защищен паролем"));
        QVERIFY(!PdfPlan::Load(Source("%PDF-1.4\nnot really a document"), 1, &reason));
        QCOMPARE(reason, QString("файл поврежден или не является документом PDF"));
        QByteArray truncated = PlanPdf(1);
        truncated.truncate(truncated.size() / 3);
        QVERIFY(!PdfPlan::Load(Source(truncated), 1, &reason));
        QCOMPARE(reason, QString("файл поврежден или не является документом PDF"));

        QTemporaryDir dir;
        QString error;
        QVERIFY(!ReadPlanSource(dir.filePath("нет.pdf"), &error));
        QVERIFY2(error.startsWith("Не удалось открыть план \"" + dir.filePath("нет.pdf") + "\": "), qPrintable(error));
        QCOMPARE(PlanFailureText("/a/b.pdf", "документ защищен паролем"),
                 QString("Не удалось открыть план \"/a/b.pdf\": документ защищен паролем."));
    }

    void floorPictureShowsThePlanAtItsPlace()
    {
        QString reason;
        const std::shared_ptr<PdfPlan> pdf = PdfPlan::Load(Source(PlanPdf(1)), 1, &reason);
        TFloorPlan plan;
        plan.OriginX = 20;
        plan.OriginY = 10;
        plan.OffsetX = 30;
        plan.OffsetY = 40;
        plan.PixelsPerUnit = 2;  // 1200 x 800 pixels from (50, 50)
        const Bitmap b = PlanBitmap(*pdf, plan);
        QCOMPARE(b.Width, 1250);
        QCOMPARE(b.Height, 850);
        const auto at = [&b](int x, int y) { return QRgb(b.Pixels[std::size_t(y) * b.Width + x]); };
        QVERIFY(!Dark(at(45, 45)) && !Dark(at(48, 300)));  // left of and above the plan: white
        QVERIFY(Dark(at(52, 300)));                         // the frame's left edge
        QVERIFY(Dark(at(650, 450)));                        // the square at the middle
        QVERIFY(!Dark(at(700, 300)));                       // inside the frame, away from the lines
    }

    // A viewer shows the page landscape, the mark at its top-right corner,
    // 50 points wide and 100 tall: so do the plan's size, its renders by
    // parts, the thumbnail and the floor picture.
    void aRotatedPageIsDrawnAsAViewerShowsIt()
    {
        QString reason;
        const std::shared_ptr<PdfPlan> pdf = PdfPlan::Load(Source(RotatedPdf()), 1, &reason);
        QVERIFY2(pdf, qPrintable(reason));
        QCOMPARE(pdf->Size(), QSizeF(600, 400));

        // At 2 pixels a point: the right half holds the mark at its top
        // right, the left half nothing.
        const QImage right = pdf->Render(2, QRect(600, 0, 600, 800));
        QVERIFY(Dark(right.pixel(510, 5)) && Dark(right.pixel(595, 195)));
        QVERIFY(!Dark(right.pixel(490, 100)) && !Dark(right.pixel(550, 210)));
        const QImage left = pdf->Render(2, QRect(0, 0, 600, 800));
        QVERIFY(!Dark(left.pixel(5, 5)) && !Dark(left.pixel(100, 50)));

        const QImage thumbnail = pdf->Thumbnail(1, 120);
        QCOMPARE(thumbnail.size(), QSize(120, 80));
        QVERIFY(Dark(thumbnail.pixel(115, 5)) && !Dark(thumbnail.pixel(5, 5)));

        TFloorPlan plan;
        plan.PixelsPerUnit = 1;
        const Bitmap b = PlanBitmap(*pdf, plan);
        QCOMPARE(b.Width, 600);
        QCOMPARE(b.Height, 400);
        const auto at = [&b](int x, int y) { return QRgb(b.Pixels[std::size_t(y) * b.Width + x]); };
        QVERIFY(Dark(at(575, 50)) && !Dark(at(540, 50)) && !Dark(at(575, 110)));
    }

    void tilesAreRenderedOnceForAZoomWithinTheirMemory()
    {
        auto picture = std::make_shared<CountingPicture>();
        std::atomic<int> ready = 0;
        PlanTiles tiles(picture, [&ready] { ++ready; }, std::size_t(8) * kPlanTileSide * kPlanTileSide * 4);
        TFloorPlan plan;
        plan.PixelsPerUnit = 2;  // 2000 x 1200 pixels at 100 %
        QImage image(800, 600, QImage::Format_RGB32);
        const auto paint = [&](double zoom, QPoint origin) {
            Canvas c(image);
            int missing = 0;
            tiles.Paint(c, image.rect(), ViewMap{zoom, origin.x(), origin.y()}, plan,
                        [&missing](const QRect&) { ++missing; });
            return missing;
        };
        QCOMPARE(paint(1, {0, 0}), 4);  // 800 x 600 pixels: 2 x 2 tiles
        tiles.WaitIdle();
        QCOMPARE(picture->renders.load(), 4);
        QCOMPARE(ready.load(), 4);
        QCOMPARE(paint(1, {0, 0}), 0);
        QCOMPARE(image.pixel(700, 500), QColor(Qt::gray).rgb());
        QCOMPARE(picture->renders.load(), 4);

        // Zooming in and out renders each zoom's tiles; memory never passes
        // the budget of eight tiles, the oldest going first.
        for (const double zoom : {2.0, 4.0, 8.0, 0.25, 1.0}) {
            paint(zoom, {100, 100});
            tiles.WaitIdle();
            QVERIFY(tiles.CachedBytes() <= std::size_t(8) * kPlanTileSide * kPlanTileSide * 4);
        }
        QCOMPARE(paint(1, {100, 100}), 0);  // the last zoom's tiles are kept
        QVERIFY(paint(8, {100, 100}) > 0);  // an early one's are gone
        tiles.WaitIdle();
    }
};

QTEST_MAIN(PdfPlanTest)
#include "PdfPlanTest.moc"
