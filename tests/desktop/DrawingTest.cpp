// Pixels of the scheme drawing on an offscreen canvas.

#include <QGuiApplication>
#include <QtTest>

#include <QPaintEngine>

#include "calc/FlowCalculation.h"
#include "calc/FlowResults.h"
#include "model/SchemeBuilder.h"
#include "drawing/Canvas.h"
#include "drawing/DeviceDrawing.h"
#include "drawing/DrawingExport.h"
#include "drawing/FloorExtent.h"
#include "drawing/FloorPainting.h"
#include "drawing/ResultsDrawing.h"
#include "drawing/SchemeDrawing.h"

using namespace stelmar;

namespace {

constexpr TColor kGreen = 0x008000;
constexpr TColor kBlueC = 0xFF0000;
constexpr TColor kRedC = 0x0000FF;
constexpr QRgb kWhiteRgb = 0xFFFFFFFF;

QRgb Rgb(TColor c) { return ToQColor(c).rgb(); }

// An open scheme on a 400 x 300 canvas, seen whole, without labels.
TPipeLine Scheme()
{
    TPipeLine s;
    s.WSpaceG = 400;
    s.WSpaceV = 300;
    s.ShowNumbers = false;
    s.AreaWidth = 1;
    return s;
}

TNode& AddNode(TPipeLine& s, int x, int y, std::uint8_t kind = kJunction, std::uint8_t floor = 1)
{
    return s.Nodes[SchemeBuilder(s).OnFloor(floor).Node(kind, {.X = x, .Y = y, .F = 0})];
}

TArea& AddArea(TPipeLine& s, int n1, int n2, double width = 1, std::uint8_t kind = kHorizontal)
{
    return s.Areas[SchemeBuilder(s).Area(n1, n2, 0, width, kind)];
}

// A paint device that paints nothing but keeps the box and the text of
// every text written on it, in its pixels.
class TextRecorder : public QPaintDevice, public QPaintEngine {
public:
    struct Text {
        QRectF Box;
        QString Words;
    };

    explicit TextRecorder(const QSize& size) : QPaintEngine(QPaintEngine::AllFeatures), size_(size) {}

    const std::vector<Text>& Texts() const { return texts_; }

    QPaintEngine* paintEngine() const override { return const_cast<TextRecorder*>(this); }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawLines(const QLineF*, int) override {}
    void drawRects(const QRectF*, int) override {}
    void drawEllipse(const QRectF&) override {}
    void drawPoints(const QPointF*, int) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        const QFontMetricsF metrics(item.font(), this);
        const QRectF box(p.x(), p.y() - metrics.ascent(), metrics.horizontalAdvance(item.text()), metrics.height());
        texts_.push_back({painter()->transform().mapRect(box), item.text()});
    }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return size_.width();
        case PdmHeight: return size_.height();
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        case PdmWidthMM: return size_.width() * 254 / 960;
        case PdmHeightMM: return size_.height() * 254 / 960;
        default: return 1;
        }
    }

private:
    QSize size_;
    std::vector<Text> texts_;
};

const CanvasView kWhole{0, 0, 400, 300};

QImage Render(TPipeLine& s, const CanvasView& view = kWhole, bool exportMode = false)
{
    QImage canvas(s.WSpaceG, s.WSpaceV, QImage::Format_RGB32);
    canvas.fill(Qt::gray);
    Draw(s, canvas, view, exportMode);
    return canvas;
}

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y); }

// Number of pixels in the rectangle that are neither white nor gray.
int Inked(const QImage& img, const QRect& r)
{
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != kWhiteRgb && img.pixel(x, y) != QColor(Qt::gray).rgb()) ++count;
    return count;
}

}  // namespace

class DrawingTest : public QObject {
    Q_OBJECT

private slots:
    void closedProjectDrawsNothing()
    {
        TPipeLine s = Scheme();
        s.Opened = false;
        AddNode(s, 50, 50);
        QImage canvas(400, 300, QImage::Format_RGB32);
        canvas.fill(Qt::gray);
        const QImage before = canvas;
        DrawCounters counters;
        counters.Nodes = "unchanged";
        QVERIFY(!Draw(s, canvas, kWhole, false, &counters));
        QCOMPARE(canvas, before);
        QCOMPARE(counters.Nodes, QString("unchanged"));

        s.Opened = true;
        s.EtagCount = 3;
        AddNode(s, 90, 50);
        AddArea(s, 1, 2);
        AddArea(s, 1, 7);  // a broken reference is skipped, not followed
        s.AreaFrom = 9;
        QVERIFY(Draw(s, canvas, kWhole, false, &counters));
        QCOMPARE(counters.Nodes, QString("Узлов 2"));
        QCOMPARE(counters.Areas, QString("Участков 2"));
        QCOMPARE(counters.Floors, QString("Этажей 3"));
    }

    void colours()
    {
        QCOMPARE(ToQColor(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(ToQColor(0xF0CAA6), QColor(0xA6, 0xCA, 0xF0));
        QCOMPARE(ToQColor(0x0000FF + 70), QColor(0x45, 1, 0));  // the sum carries into green
        TPipeLine s;
        s.Color = 1;
        s.LdownDColor = 2;
        s.LupColor = 3;
        s.DColor = 4;
        const TColor expected[] = {1, 1, 2, 3, 4, 1, 1};
        for (int kind = 0; kind <= 6; ++kind) QCOMPARE(KindColor(s, kind), expected[kind]);

        // A drawn ramp and a highlighted area.
        s = Scheme();
        s.Color = kGreen;
        s.LdownDColor = kRedC;
        for (int y : {50, 150}) AddNode(s, 20, y), AddNode(s, 120, y);
        AddArea(s, 1, 2, 1, kRampDown);
        AddArea(s, 3, 4, 1, kStairsDown).Hot = true;
        const QImage img = Render(s);
        QCOMPARE(At(img, 70, 50), Rgb(kGreen));
        for (int y : {149, 150, 151}) QCOMPARE(At(img, 70, y), qRgb(70, 128, 0));  // Color + 70, width 3
    }

    void arrowhead()
    {
        TPipeLine s = Scheme();
        s.StrV = true;
        s.DlStr = 13;
        AddNode(s, 100, 100, 0);
        AddNode(s, 200, 100, 0);
        AddArea(s, 1, 2);
        QImage img = Render(s);
        // Tip at (156, 100), barbs ending at (143, 97) and (143, 103).
        QCOMPARE(At(img, 143, 97), Rgb(kGreen));
        QCOMPARE(At(img, 143, 103), Rgb(kGreen));
        QCOMPARE(At(img, 152, 99), Rgb(kGreen));
        QCOMPARE(Inked(img, QRect(157, 90, 50, 9)), 0);
        QCOMPARE(Inked(img, QRect(90, 90, 52, 9)), 0);
        QCOMPARE(At(img, 148, 100), kWhiteRgb);  // filled with the white brush over the line

        s.StrV = false;
        QCOMPARE(Inked(Render(s), QRect(90, 90, 120, 9)), 0);

        // Lines shorter than DlStr + 5 in both directions get no head.
        s.StrV = true;
        s.Nodes[2].X = 117;
        s.Nodes[2].Y = 117;
        QCOMPARE(Inked(Render(s), QRect(100, 90, 30, 9)), 0);
        s.Nodes[2].Y = 100;
        s.Nodes[2].X = 118;
        QVERIFY(Inked(Render(s), QRect(100, 90, 30, 9)) > 0);

        // A vertical line downwards points down: the barbs lie above the tip.
        s.Nodes[2].X = 100;
        s.Nodes[2].Y = 200;
        img = Render(s);
        QCOMPARE(At(img, 97, 143), Rgb(kGreen));
        QCOMPARE(At(img, 103, 143), Rgb(kGreen));
        QCOMPARE(Inked(img, QRect(101, 157, 9, 40)), 0);
    }

    void questionMark()
    {
        TPipeLine s = Scheme();
        AddNode(s, 100, 100, 0);
        AddNode(s, 201, 100, 0);
        AddArea(s, 1, 2, 0);
        // Midpoint 100 - (-101) / 2 = 150; circle from (143, 93) to (150 + 7, 107).
        QImage img = Render(s);
        QCOMPARE(At(img, 150, 93), Rgb(kGreen));
        QCOMPARE(At(img, 150, 107), Rgb(kGreen));
        QCOMPARE(At(img, 143, 100), Rgb(kGreen));
        QCOMPARE(At(img, 150, 92), kWhiteRgb);
        QVERIFY(Inked(img, QRect(146, 94, 9, 5)) > 0);  // the "?"

        s.Areas[1].Width = 0.01;
        QCOMPARE(Inked(Render(s), QRect(140, 90, 20, 9)), 0);
        s.Areas[1].Width = 0;
        s.QuestionMark = false;
        QCOMPARE(Inked(Render(s), QRect(140, 90, 20, 9)), 0);
    }

    void areaBetweenFloors()
    {
        TPipeLine s = Scheme();
        s.EtagCount = 2;
        AddNode(s, 50, 50, kJunction, 1);
        AddNode(s, 150, 50, kJunction, 2);
        AddArea(s, 1, 2, 1, kDoorway);
        QCOMPARE(At(Render(s), 100, 50), Rgb(kBlueC));
        s.ActiveEtag = 2;
        QImage img = Render(s);
        QCOMPARE(At(img, 100, 50), Rgb(kRedC));
        QCOMPARE(At(img, 53, 50), Rgb(kRedC));  // the node of floor 1 is not drawn
    }

    void nodeSymbols()
    {
        TPipeLine s = Scheme();
        s.NodeWidth = 7;
        AddNode(s, 50, 50, kJunction);
        AddNode(s, 150, 50, kInput);
        AddNode(s, 250, 50, kExit);
        QImage img = Render(s);
        for (QPoint p : {QPoint(47, 50), QPoint(53, 50), QPoint(50, 47), QPoint(50, 53)})
            QCOMPARE(At(img, p.x(), p.y()), Rgb(kGreen));
        QCOMPARE(Inked(img, QRect(40, 40, 20, 20)), Inked(img, QRect(47, 47, 7, 7)));
        for (int x : {150, 250}) {
            const QRgb colour = Rgb(x == 150 ? kBlueC : kRedC);
            QCOMPARE(At(img, x, 45), colour);
            QCOMPARE(At(img, x, 55), colour);
            QCOMPARE(Inked(img, QRect(x - 12, 40, 30, 5)), 0);
            QCOMPARE(Inked(img, QRect(x - 12, 56, 30, 5)), 0);
        }
        QCOMPARE(At(img, 145, 49), Rgb(kBlueC));  // circle of 11 pixels
        QCOMPARE(At(img, 155, 49), Rgb(kBlueC));
        QCOMPARE(At(img, 144, 49), kWhiteRgb);
        QCOMPARE(At(img, 156, 49), kWhiteRgb);
        QCOMPARE(At(img, 142, 50), Rgb(kBlueC));  // the arrow into the input
        QCOMPARE(At(img, 259, 50), Rgb(kRedC));   // the arrow out of the exit

        // Inputs keep their size whatever NodeWidth is.
        s.NodeWidth = 15;
        img = Render(s);
        QCOMPARE(At(img, 150, 44), kWhiteRgb);
        QCOMPARE(At(img, 150, 45), Rgb(kBlueC));
        QCOMPARE(At(img, 43, 50), Rgb(kGreen));
    }

    void selectionMarks()
    {
        TPipeLine s = Scheme();
        AddNode(s, 100, 100).Selected = true;
        AddNode(s, 200, 200);
        AddNode(s, 300, 100);
        AddArea(s, 2, 3).Selected = true;
        const QImage img = Render(s);
        // Dotted square from (94, 94) to (106, 106) around the node.
        const int dots = Inked(img, QRect(94, 94, 13, 1));
        QVERIFY(dots > 3 && dots < 13);
        QCOMPARE(Inked(img, QRect(94, 94, 13, 13)), Inked(img, QRect(95, 95, 11, 11)) + 4 * dots);
        QCOMPARE(Inked(img, QRect(90, 93, 20, 1)) + Inked(img, QRect(90, 107, 20, 1)), 0);
        // Solid blue squares at the second end and the middle of the area.
        QCOMPARE(At(img, 297, 97), Rgb(kBlueC));
        QCOMPARE(At(img, 302, 102), Rgb(kBlueC));
        QCOMPARE(At(img, 303, 100), Rgb(kGreen));  // right and bottom edges left out
        QCOMPARE(At(img, 250, 152), Rgb(kBlueC));
    }

    void nodesKeptInsideTheCanvas()
    {
        TPipeLine s = Scheme();
        AddNode(s, -20, 50);
        AddNode(s, 500, 301);
        AddNode(s, 400, 300);
        Render(s);
        QCOMPARE(QPoint(s.Nodes[1].X, s.Nodes[1].Y), QPoint(5, 50));
        QCOMPARE(QPoint(s.Nodes[2].X, s.Nodes[2].Y), QPoint(390, 290));
        QCOMPARE(QPoint(s.Nodes[3].X, s.Nodes[3].Y), QPoint(400, 300));
    }

    void visiblePartOnly()
    {
        TPipeLine s = Scheme();
        AddNode(s, 150, 100);
        AddNode(s, 250, 100);
        AddNode(s, 300, 250);
        AddArea(s, 2, 3);
        const CanvasView view{100, 50, 100, 100};
        QImage img = Render(s, view);
        QCOMPARE(At(img, 100, 50), kWhiteRgb);
        QCOMPARE(At(img, 199, 149), kWhiteRgb);
        QCOMPARE(At(img, 200, 150), QColor(Qt::gray).rgb());
        QCOMPARE(At(img, 153, 100), Rgb(kGreen));
        QCOMPARE(At(img, 253, 100), QColor(Qt::gray).rgb());  // outside the view
        QCOMPARE(Inked(img, QRect(0, 0, 400, 300)), Inked(img, QRect(100, 50, 100, 100)));

        img = Render(s, view, true);
        QCOMPARE(At(img, 0, 0), kWhiteRgb);
        QCOMPARE(At(img, 253, 100), Rgb(kGreen));
        QCOMPARE(At(img, 275, 175), Rgb(kGreen));

        // A box larger than the canvas widens it.
        QImage canvas(400, 300, QImage::Format_RGB32);
        Draw(s, canvas, CanvasView{0, 0, 500, 200}, false);
        QCOMPARE(canvas.size(), QSize(500, 300));
    }

    void backgroundPicture()
    {
        TPipeLine s = Scheme();
        auto picture = std::make_shared<Bitmap>();
        picture->Width = 60;
        picture->Height = 40;
        for (int i = 0; i < 60 * 40; ++i) picture->Pixels.push_back(0xFF000000u | (i * 2654435761u >> 8));
        picture->Pixels[0] = 0x00123456;  // the fourth byte is ignored
        s.Backgrounds[1] = picture;

        QImage img = Render(s, CanvasView{10, 10, 300, 300});
        QCOMPARE(At(img, 5, 5), QColor(Qt::gray).rgb());
        for (int y = 10; y < 40; ++y)
            for (int x = 10; x < 60; ++x) QCOMPARE(At(img, x, y), 0xFF000000u | picture->Pixels[y * 60 + x]);
        QCOMPARE(At(img, 60, 20), kWhiteRgb);

        img = Render(s, kWhole, true);
        QCOMPARE(At(img, 0, 0), 0xFF123456u);
        QCOMPARE(At(img, 59, 39), picture->Pixels.back());
        s.ActiveEtag = 2;
        QCOMPARE(At(Render(s), 0, 0), kWhiteRgb);
    }

    void areaBeingDrawn()
    {
        TPipeLine s = Scheme();
        AddNode(s, 50, 50);
        s.AreaFrom = 1;
        s.MouseX = 149;
        s.MouseY = 53;
        QImage img = Render(s);
        QCOMPARE(s.MouseX, 147);
        QCOMPARE(s.MouseY, 52);
        const int dots = Inked(img, QRect(60, 50, 60, 3));
        QVERIFY(dots > 10 && dots < 50);  // dotted lime line

        AddNode(s, 150, 50);
        s.MouseX = 150;
        s.MouseY = 50;
        img = Render(s);
        QCOMPARE(s.MouseX, 150);
        QCOMPARE(At(img, 100, 50), QColor(Qt::green).rgb());
        QCOMPARE(At(img, 101, 50), QColor(Qt::green).rgb());
    }

    void labels()
    {
        TPipeLine s = Scheme();
        s.ShowNumbers = true;
        s.LNum = 4;
        AddNode(s, 100, 100, 0);
        AddNode(s, 200, 100, kInput).People = 25;
        QImage img = Render(s);
        // Text is placed by its top-left corner.
        QVERIFY(Inked(img, QRect(104, 104, 12, 14)) > 5);
        QCOMPARE(Inked(img, QRect(90, 85, 40, 19)), 0);
        QCOMPARE(Inked(img, QRect(90, 85, 14, 40)), 0);

        // People below the label, 1.2 x 9 points = 11 pixels lower.
        s.ShowNumbers = false;
        s.ShowNumPeople = true;
        img = Render(s);
        QCOMPARE(Inked(img, QRect(206, 90, 60, 25)), 0);
        QVERIFY(Inked(img, QRect(204, 115, 60, 14)) > 20);
    }

    // Numbers are drawn from cached digit glyphs; they must look exactly
    // like laid-out text.
    void digitLabelsMatchLaidOutText()
    {
        QFont serif("DejaVu Serif");
        serif.setPixelSize(17);
        QFont arial("arial");
        arial.setPixelSize(15);
        arial.setBold(true);
        arial.setItalic(true);
        QFont struck = serif;
        struck.setStrikeOut(true);
        for (const QFont& font : {arial, serif, struck}) {
            QImage fast(200, 40, QImage::Format_RGB32);
            fast.fill(Qt::white);
            QImage laidOut = fast;
            {
                const TextFont text(font, &fast);
                Canvas canvas(fast);
                canvas.SetFont(text, 0x0000FF);
                canvas.TextOut(10, 5, "1234567890");
                QPainter painter(&laidOut);
                painter.setFont(font);
                painter.setPen(Qt::red);
                painter.drawText(10, 5 + text.Ascent, "1234567890");
            }
            QCOMPARE(fast, laidOut);
            QVERIFY(Inked(fast, fast.rect()) > 50);
        }
    }
    // A dense comb of areas with their results, seen as the window shows it
    // at 50 %, 100 % and 200 %: no figure or exit time covers another text,
    // and at 50 % some are left out for want of room.
    void resultsLabelsNeverOverprintAtAnyZoom()
    {
        TPipeLine s;
        s.ShowNumbers = true;
        SchemeBuilder b(s);
        int next = b.Exit({.X = 900, .Y = 400});
        for (int x = 870; x >= 60; x -= 30) {
            const int j = b.Junction({.X = x, .Y = 400});
            b.Area(j, next, 1.5, 2.4);
            b.Area(b.Input({.X = x, .Y = 340, .People = 5}), j, 1.5, 1.2);
            next = j;
        }
        QVERIFY(!Calculate(s, ',').empty());
        SchemeOverlay overlay;
        PutResults(ResultsOf(s), {}, AreaFigure::TotalTime, ',', s, overlay);
        for (double zoom : {0.5, 1.0, 2.0}) {
            TextRecorder device(QSize(1000, 700));
            LabelTally tally;
            {
                QPainter painter(&device);
                Canvas canvas(painter);
                PaintFloor(s, canvas, &device, QSize(s.WSpaceG, s.WSpaceV), CanvasView{0, int(200 * zoom), 1000, 700, zoom, true},
                           false, nullptr, &overlay, &tally);
            }
            const std::vector<TextRecorder::Text>& texts = device.Texts();
            int figures = 0;
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const bool figure = texts[i].Words.contains("мин");
                figures += figure;
                for (std::size_t k = i + 1; k < texts.size(); ++k) {
                    if (!figure && !texts[k].Words.contains("мин")) continue;
                    QVERIFY2(!texts[i].Box.adjusted(1, 1, -1, -1).intersects(texts[k].Box.adjusted(1, 1, -1, -1)),
                             qPrintable(QString("%1 over %2 at %3").arg(texts[i].Words, texts[k].Words).arg(zoom)));
                }
            }
            QVERIFY2(figures > 5, qPrintable(QString::number(zoom)));
            if (zoom < 1) QVERIFY2(tally.LeftOut > 0, qPrintable(QString::number(zoom)));
        }
    }

    // An exported drawing with its results: the legend lies clear of every
    // element, and the time of an exit reached from above, whose name takes
    // the place under it, keeps off the line into it.
    void exportKeepsTheLegendAndExitTimesOffTheDrawing()
    {
        TPipeLine s;
        s.ShowNumbers = true;
        SchemeBuilder b(s);
        const int exit = b.Exit({.X = 60, .Y = 420, .Name = "Выход 1"});
        const int hall = b.Junction({.X = 60, .Y = 300});
        b.Area(hall, exit, 6, 1.5);
        b.Area(b.Input({.X = 60, .Y = 40, .People = 40}), hall, 12, 1.2);
        b.Area(b.Input({.X = 500, .Y = 300, .People = 60}), hall, 20, 1.5);
        QVERIFY(!Calculate(s, ',').empty());
        SchemeOverlay overlay;
        PutResults(ResultsOf(s), {}, AreaFigure::TotalTime, ',', s, overlay);
        overlay.Legend = MovementLegend();

        const QRect extent = ExportExtent(s, &overlay);
        TextRecorder device(extent.size());
        {
            QPainter painter(&device);
            TPipeLine copy = PrintoutCopy(s);
            DrawPrintout(copy, 1, painter, extent, 1.0, &overlay);
        }
        const QRectF elements = QRectF(ElementsExtent(s, 1)).translated(-extent.topLeft());
        const QLineF into(QPointF(60, 300) - extent.topLeft(), QPointF(60, 420) - extent.topLeft());
        bool legend = false;
        bool exitTime = false;
        for (const TextRecorder::Text& text : device.Texts()) {
            if (text.Words == overlay.Legend.front().Caption) {
                legend = true;
                QVERIFY2(!text.Box.intersects(elements), qPrintable(QString("legend at %1,%2")
                                                                        .arg(text.Box.left()).arg(text.Box.top())));
            }
            if (text.Words == overlay.NodeLabels[exit]) {
                exitTime = true;
                QVERIFY2(text.Box.right() < into.x1() - 1 || text.Box.left() > into.x1() + 1 ||
                             text.Box.top() > into.y2() || text.Box.bottom() < into.y1(),
                         qPrintable(QString("%1 at %2,%3").arg(text.Words).arg(text.Box.left()).arg(text.Box.top())));
            }
        }
        QVERIFY(legend);
        QVERIFY(exitTime);
    }
};

QTEST_MAIN(DrawingTest)
#include "DrawingTest.moc"
