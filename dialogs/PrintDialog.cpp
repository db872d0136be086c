#include "dialogs/PrintDialog.h"

#include <QDir>
#include <QCheckBox>
#include <QFrame>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <optional>

#include "drawing/DeviceDrawing.h"
#include "drawing/SchemeDrawing.h"

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

// The printable page of the printer in its current orientation; none when
// the printer cannot tell it.
std::optional<PageGeometry> ReadPage(const QPrinter& printer)
{
    if (!printer.isValid()) return std::nullopt;
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    if (page.isEmpty()) return std::nullopt;
    return PageGeometry{page.width(), page.height(), page.left() - paper.left(), page.top() - paper.top(),
                        printer.pageLayout().orientation() == QPageLayout::Landscape};
}

}  // namespace

TForm3::TForm3(PromptsRef prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      printer_(QPrinter::HighResolution), prompts_(std::move(prompts))
{
    setObjectName("Form3");
    setWindowTitle("Печать");
    // Without a printer the page goes into a PDF file.
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
    portrait_ = new QRadioButton("Вертикальная", orientationFrame);
    portrait_->setObjectName("RadioButton1");
    landscape_ = new QRadioButton("Горизонтальная", orientationFrame);
    landscape_->setObjectName("RadioButton2");
    auto* orientationColumn = new QVBoxLayout(orientationFrame);
    orientationColumn->addWidget(portrait_);
    orientationColumn->addWidget(landscape_);

    // The arrows stand where a keypad has them, "+" and "-" beside them.
    auto* positionFrame = NewFrame(this, "GroupBox3", " Настройка позиции ");
    auto* grow = NewButton(positionFrame, "Button1", "+");
    auto* shrink = NewButton(positionFrame, "Button2", "-");
    auto* up = NewButton(positionFrame, "Button9", QStringLiteral("▲"));
    auto* left = NewButton(positionFrame, "Button3", QStringLiteral("◀"));
    auto* down = NewButton(positionFrame, "Button5", QStringLiteral("▼"));
    auto* right = NewButton(positionFrame, "Button4", QStringLiteral("▶"));
    auto* centre = NewButton(positionFrame, "Button8", "По центру");
    for (QPushButton* button : {grow, shrink, up, left, down, right}) button->setFixedSize(32, 28);
    auto* positionGrid = new QGridLayout(positionFrame);
    positionGrid->addWidget(grow, 0, 0);
    positionGrid->addWidget(shrink, 1, 0);
    positionGrid->setColumnMinimumWidth(1, 12);
    positionGrid->addWidget(up, 0, 3);
    positionGrid->addWidget(left, 1, 2);
    positionGrid->addWidget(down, 1, 3);
    positionGrid->addWidget(right, 1, 4);
    positionGrid->addWidget(centre, 2, 0, 1, 5);

    auto* previewFrame = NewFrame(this, "GroupBox4", " Предварительный просмотр");
    previewFrame->setFixedSize(231, 211);
    pagePanel_ = new QFrame(previewFrame);
    pagePanel_->setObjectName("Panel1");
    pagePanel_->setFrameShape(QFrame::Box);
    pagePanel_->setLineWidth(1);
    pageImage_ = new QLabel(pagePanel_);
    pageImage_->setObjectName("Image1");

    withResults_ = new QCheckBox("С результатами расчета", this);
    withResults_->setObjectName("CBResults");
    withResults_->setChecked(true);
    withResults_->hide();
    connect(withResults_, &QCheckBox::toggled, this, &TForm3::UpdatePreview);

    auto* cancel = NewButton(this, "Button6", "Отменить");
    auto* print = NewButton(this, "Button7", "Печать");
    print->setDefault(true);

    auto* settings = new QVBoxLayout;
    settings->addWidget(printerFrame);
    settings->addWidget(orientationFrame);
    settings->addWidget(positionFrame);
    settings->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(settings, 1);
    columns->addWidget(previewFrame, 0, Qt::AlignTop);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(withResults_);
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(print);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(grow, &QPushButton::clicked, this, [this] { Adjust(&PrintLayout::Grow); });
    connect(shrink, &QPushButton::clicked, this, [this] { Adjust(&PrintLayout::Shrink); });
    connect(up, &QPushButton::clicked, this, [this] { Adjust(&PrintLayout::MoveUp); });
    connect(down, &QPushButton::clicked, this, [this] { Adjust(&PrintLayout::MoveDown); });
    connect(left, &QPushButton::clicked, this, [this] { Adjust(&PrintLayout::MoveLeft); });
    connect(right, &QPushButton::clicked, this, [this] { Adjust(&PrintLayout::MoveRight); });
    connect(centre, &QPushButton::clicked, this, [this] { Adjust(&PrintLayout::Centre); });
    connect(portrait_, &QRadioButton::clicked, this, &TForm3::OrientationClick);
    connect(landscape_, &QRadioButton::clicked, this, &TForm3::OrientationClick);
    connect(choose, &QPushButton::clicked, this, &TForm3::ChoosePrinterClick);
    connect(print, &QPushButton::clicked, this, &TForm3::PrintClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TForm3::~TForm3() = default;

const SchemeOverlay* TForm3::Overlay() const { return results_ && withResults_->isChecked() ? results_ : nullptr; }

void TForm3::SetPicture(TPipeLine& scheme, const QSize& canvasSize, const SchemeOverlay* results)
{
    scheme_ = &scheme;
    results_ = results;
    withResults_->setVisible(results != nullptr);
    picture_ = QImage(canvasSize, QImage::Format_RGB32);
    layout_.Picture = canvasSize;
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TForm3::FormActivate()
{
    layout_.BeginReading();
    printerName_->setText(printer_.outputFormat() == QPrinter::PdfFormat ? QString(kPdfPrinterName)
                                                                           : printer_.printerName());
    const bool landscape = printer_.pageLayout().orientation() == QPageLayout::Landscape;
    (landscape ? landscape_ : portrait_)->setChecked(true);
    if (const std::optional<PageGeometry> page = ReadPage(printer_)) {
        layout_.SetPage(*page);
    } else {
        prompts_->ShowMessage(kPrinterReadFailure);
    }
    UpdatePreview();
}

void TForm3::UpdatePreview()
{
    const bool landscape = landscape_->isChecked();
    const QRect panel = PreviewPanelRect(landscape);
    pagePanel_->setGeometry(panel);
    const QSize size = panel.size() - QSize(2, 2);
    pageImage_->setGeometry(QRect(QPoint(1, 1), size));

    QImage preview(size, QImage::Format_RGB32);
    preview.fill(Qt::white);
    if (scheme_ != nullptr && !picture_.isNull()) {
        // The whole canvas, not only the part the main window shows.
        Draw(*scheme_, picture_, CanvasView{}, true, nullptr, nullptr, Overlay());
        layout_.Picture = picture_.size();
        const QRect target = layout_.PreviewRect(size);
        if (target.width() > 0 && target.height() > 0) {
            QPainter painter(&preview);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, picture_);
        }
    }
    pageImage_->setPixmap(QPixmap::fromImage(preview));
}

void TForm3::Adjust(void (PrintLayout::*change)())
{
    (layout_.*change)();
    UpdatePreview();
}

void TForm3::OrientationClick()
{
    printer_.setPageOrientation(portrait_->isChecked() ? QPageLayout::Portrait : QPageLayout::Landscape);
    FormActivate();
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
    if (!PrintPicture()) {
        prompts_->ShowWarning(printer_.outputFormat() == QPrinter::PdfFormat
                                  ? "Не удалось записать файл \"" + printer_.outputFileName() +
                                        "\". Возможно, у вас нет прав на запись в эту папку."
                                  : "Не удалось начать печать на принтере \"" + printer_.printerName() + "\".");
        return;
    }
    accept();
}

// The picture is painted as shapes and text, scaled to its place on the
// page, so that the print is sharp at any scale.
bool TForm3::PrintPicture()
{
    QPainter painter;
    if (!painter.begin(&printer_)) return false;
    const QRect target = layout_.PageRect();
    if (scheme_ != nullptr && !picture_.isNull() && target.width() > 0 && target.height() > 0) {
        painter.translate(target.topLeft());
        painter.scale(static_cast<double>(target.width()) / picture_.width(),
                      static_cast<double>(target.height()) / picture_.height());
        DrawOnDevice(*scheme_, painter, picture_.size(), Overlay());
    }
    return painter.end();
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
