#include "dialogs/PrintDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "drawing/DeviceDrawing.h"

namespace stelmar {
namespace {

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QGroupBox* NewFrame(QWidget* parent, const char* name, const QString& title)
{
    auto* frame = new QGroupBox(title, parent);
    frame->setObjectName(name);
    return frame;
}

QRadioButton* NewChoice(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

TForm3::TForm3(PromptsRef prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      printer_(QPrinter::HighResolution), prompts_(std::move(prompts))
{
    setObjectName("Form3");
    setWindowTitle("Печать");
    // Without a printer the sheets go into a PDF file.
    if (QPrinterInfo::availablePrinters().isEmpty()) printer_.setOutputFormat(QPrinter::PdfFormat);

    auto* printerFrame = NewFrame(this, "GroupBox1", " Выберите принтер ");
    printerName_ = new QLineEdit(printerFrame);
    printerName_->setObjectName("Edit1");
    printerName_->setReadOnly(true);
    printerName_->setMinimumWidth(180);
    auto* choose = NewButton(printerFrame, "Button10", "Выбрать");
    auto* printerRow = new QHBoxLayout(printerFrame);
    printerRow->addWidget(printerName_, 1);
    printerRow->addWidget(choose);

    auto* orientationFrame = NewFrame(this, "GroupBox2", " Ориентация ");
    byShape_ = NewChoice(orientationFrame, "RadioButton0", "По форме этажа");
    portrait_ = NewChoice(orientationFrame, "RadioButton1", "Вертикальная");
    landscape_ = NewChoice(orientationFrame, "RadioButton2", "Горизонтальная");
    byShape_->setChecked(true);
    auto* orientationColumn = new QVBoxLayout(orientationFrame);
    for (QRadioButton* b : {byShape_, portrait_, landscape_}) orientationColumn->addWidget(b);

    // The scale: fitting each floor to its sheet, or one of the usual
    // scales; "+" and "-" step through them.
    auto* scaleFrame = NewFrame(this, "GroupBox3", " Масштаб ");
    scale_ = new QComboBox(scaleFrame);
    scale_->setObjectName("ScaleBox");
    auto* grow = NewButton(scaleFrame, "Button1", "+");
    auto* shrink = NewButton(scaleFrame, "Button2", "-");
    for (QPushButton* button : {grow, shrink}) button->setFixedSize(32, 28);
    auto* scaleRow = new QHBoxLayout(scaleFrame);
    scaleRow->addWidget(scale_, 1);
    scaleRow->addWidget(grow);
    scaleRow->addWidget(shrink);

    auto* floorsFrame = NewFrame(this, "GroupBox5", " Этажи ");
    activeFloor_ = NewChoice(floorsFrame, "RBActiveFloor", "Текущий этаж");
    allFloors_ = NewChoice(floorsFrame, "RBAllFloors", "Все этажи");
    activeFloor_->setChecked(true);
    auto* floorsColumn = new QVBoxLayout(floorsFrame);
    floorsColumn->addWidget(activeFloor_);
    floorsColumn->addWidget(allFloors_);

    withResults_ = new QCheckBox("С результатами расчета", this);
    withResults_->setObjectName("CBResults");
    withResults_->setChecked(true);
    withResults_->hide();

    auto* previewFrame = NewFrame(this, "GroupBox4", " Предварительный просмотр");
    preview_ = new QPrintPreviewWidget(&printer_, previewFrame);
    preview_->setObjectName("Preview");
    preview_->setViewMode(QPrintPreviewWidget::AllPagesView);
    preview_->setZoomMode(QPrintPreviewWidget::FitInView);
    preview_->setMinimumSize(380, 420);
    sheetCount_ = new QLabel(previewFrame);
    sheetCount_->setObjectName("SheetCount");
    auto* previewColumn = new QVBoxLayout(previewFrame);
    previewColumn->addWidget(preview_, 1);
    previewColumn->addWidget(sheetCount_);

    auto* cancel = NewButton(this, "Button6", "Отменить");
    auto* print = NewButton(this, "Button7", "Печать");
    print->setDefault(true);

    auto* settings = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{printerFrame, orientationFrame, scaleFrame, floorsFrame, withResults_})
        settings->addWidget(w);
    settings->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(settings);
    columns->addWidget(previewFrame, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(print);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);

    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &TForm3::PaintSheets);
    for (QRadioButton* b : {byShape_, portrait_, landscape_}) connect(b, &QRadioButton::clicked, this, &TForm3::Replan);
    for (QRadioButton* b : {activeFloor_, allFloors_})
        connect(b, &QRadioButton::clicked, this, [this] {
            FillScales();
            Replan();
        });
    connect(scale_, &QComboBox::activated, this, &TForm3::Replan);
    connect(withResults_, &QCheckBox::toggled, this, &TForm3::Replan);
    connect(grow, &QPushButton::clicked, this, [this] { StepScale(1); });
    connect(shrink, &QPushButton::clicked, this, [this] { StepScale(-1); });
    connect(choose, &QPushButton::clicked, this, &TForm3::ChoosePrinterClick);
    connect(print, &QPushButton::clicked, this, &TForm3::PrintClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TForm3::~TForm3() = default;

const SchemeOverlay* TForm3::Overlay() const { return results_ && withResults_->isChecked() ? results_ : nullptr; }

void TForm3::SetScheme(TPipeLine& scheme, const SchemeOverlay* results, FloorPlanPictures plans)
{
    scheme_ = &scheme;
    results_ = results;
    plans_ = std::move(plans);
    withResults_->setVisible(results != nullptr);
    FillScales();
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TForm3::FormActivate()
{
    printerName_->setText(printer_.outputFormat() == QPrinter::PdfFormat ? QString(kPdfPrinterName)
                                                                           : printer_.printerName());
    if (!printer_.isValid() || printer_.pageLayout().paintRectPoints().isEmpty())
        prompts_->ShowMessage(kPrinterReadFailure);
    Replan();
}

PrintChoice TForm3::Choice() const
{
    PrintChoice choice;
    choice.AllFloors = allFloors_->isChecked();
    if (scale_->currentIndex() > 0) {
        const QVariantList value = scale_->currentData().toList();
        choice.Scale = DrawingScale{value.value(0).toBool(), value.value(1).toDouble()};
    }
    if (portrait_->isChecked()) choice.Turn = QPageLayout::Portrait;
    if (landscape_->isChecked()) choice.Turn = QPageLayout::Landscape;
    return choice;
}

void TForm3::FillScales()
{
    if (scheme_ == nullptr) return;
    const QString chosen = scale_->currentText();
    const bool metric = MetricFloors(*scheme_, PrintedFloors(*scheme_, allFloors_->isChecked()));
    const QSignalBlocker quiet(scale_);
    scale_->clear();
    scale_->addItem(kFitToSheet);
    for (const DrawingScale& s : StandardScales(metric)) scale_->addItem(s.Text(), QVariantList{s.Metric, s.Value});
    scale_->setCurrentIndex(std::max(0, scale_->findText(chosen)));
}

void TForm3::StepScale(int step)
{
    if (scheme_ == nullptr || scale_->count() < 2) return;
    // Where the current scale lies among the listed ones, by the size it
    // prints a canvas pixel at.
    const auto size = [this](const DrawingScale& s) {
        return s.PointsPerPixel(s.Metric ? scheme_->Plans[std::size_t(sheets_.empty() ? 1 : sheets_[0].Floor)].Scale : 0);
    };
    const double now = sheets_.empty() ? 0 : size(sheets_[0].Scale);
    int pick = -1;
    for (int i = 1; i < scale_->count(); ++i) {
        const QVariantList v = scale_->itemData(i).toList();
        const double listed = size({v.value(0).toBool(), v.value(1).toDouble()});
        // The list runs from large to small.
        if (step > 0 && listed > now * 1.0001) pick = i;
        if (step < 0 && listed < now * 0.9999 && pick < 0) pick = i;
    }
    if (pick < 0) return;
    scale_->setCurrentIndex(pick);
    Replan();
}

QSizeF TForm3::Printable() const { return printer_.pageLayout().paintRect(QPageLayout::Point).size(); }

void TForm3::Replan()
{
    if (scheme_ == nullptr) return;
    const PrintChoice choice = Choice();
    const QPageLayout::Orientation turn =
        choice.Turn.value_or(SheetOrientation(*scheme_, PrintedFloors(*scheme_, choice.AllFloors)));
    printer_.setPageOrientation(turn);
    sheets_ = PlanSheets(*scheme_, choice, Printable());
    sheetCount_->setText(QStringLiteral("Листов: %1").arg(sheets_.size()));
    preview_->updatePreview();
    preview_->fitInView();
}

void TForm3::PaintSheets(QPrinter* printer) const
{
    if (scheme_ == nullptr) return;
    QPainter painter;
    if (!painter.begin(printer)) return;
    TPipeLine view = PrintoutCopy(*scheme_);
    const double unitsPerPoint = printer->resolution() / 72.0;
    const QSizeF printable = printer->pageLayout().paintRect(QPageLayout::Point).size();
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        if (i > 0) printer->newPage();
        PaintSheet(painter, unitsPerPoint, printable, view, sheets_[i], int(i) + 1, int(sheets_.size()), Overlay(),
                   ProjectName(), PlanOf(plans_, sheets_[i].Floor));
    }
    painter.end();
}

QImage TForm3::RenderSheet(int index, int dpi) const
{
    const QSizeF printable = Printable();
    QImage image((printable * dpi / 72.0).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (scheme_ == nullptr || index < 0 || index >= int(sheets_.size())) return image;
    QPainter painter(&image);
    TPipeLine view = PrintoutCopy(*scheme_);
    PaintSheet(painter, dpi / 72.0, printable, view, sheets_[std::size_t(index)], index + 1, int(sheets_.size()),
               Overlay(), ProjectName(), PlanOf(plans_, sheets_[std::size_t(index)].Floor));
    return image;
}

void TForm3::ChoosePrinterClick()
{
    prompts_->ChoosePrinter(printer_);
    FormActivate();
}

void TForm3::PrintClick()
{
    if (printer_.outputFormat() == QPrinter::PdfFormat) {
        const QString name = prompts_->PdfFileName(SuggestedPdfName());
        if (name.isEmpty()) return;
        printer_.setOutputFileName(name);
    }
    QPainter probe;
    const bool started = probe.begin(&printer_);
    if (started) probe.end();
    if (!started) {
        prompts_->ShowWarning(printer_.outputFormat() == QPrinter::PdfFormat
                                  ? "Не удалось записать файл \"" + printer_.outputFileName() +
                                        "\". Возможно, у вас нет прав на запись в эту папку."
                                  : "Не удалось начать печать на принтере \"" + printer_.printerName() + "\".");
        return;
    }
    PaintSheets(&printer_);
    accept();
}

QString TForm3::ProjectName() const
{
    const QString base = scheme_ != nullptr ? QFileInfo(QString::fromStdString(scheme_->FileName)).completeBaseName()
                                            : QString();
    return base.isEmpty() ? QString(kNewProjectName) : base;
}

QString TForm3::SuggestedPdfName() const
{
    if (!printer_.outputFileName().isEmpty()) return printer_.outputFileName();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    const QString project = scheme_ != nullptr ? QString::fromStdString(scheme_->FileName) : QString();
    const QString base = QFileInfo(project).completeBaseName();
    return folder + "/" + (base.isEmpty() ? QString("Схема") : base) + ".pdf";
}

}  // namespace stelmar
