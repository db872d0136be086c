// The local calculation dialog (validation, options, calculation, the
// result question and the report) and printing (page arithmetic, the
// dialog's buttons, the printed PDF and the drawing on a paint device).

#include <QCheckBox>
#include <QComboBox>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <cmath>
#include <sstream>

#include "MainWindowFixture.h"
#include "tests/TestSchemes.h"
#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "dialogs/CalculationDialog.h"
#include "dialogs/PrintDialog.h"
#include "dialogs/PrintSheets.h"
#include "model/SchemeBuilder.h"
#include "examples/ExampleProjects.h"
#include "model/NumberText.h"
#include "model/UserFolders.h"
#include "drawing/DeviceDrawing.h"
#include "calc/FlowResults.h"
#include "drawing/ResultsDrawing.h"
#include "drawing/SchemeDrawing.h"

using namespace stelmar;

namespace {

TPipeLine Example(const std::string& fileName)
{
    for (examples::ExampleProject& example : examples::ExampleProjects())
        if (example.FileName == fileName) return std::move(example.Scheme);
    qFatal("no example %s", fileName.c_str());
}

// The corridor of the tests on a canvas of 300 × 200 pixels.
TPipeLine Corridor(double firstLength, int people)
{
    TPipeLine s = test::Corridor(firstLength, people);
    s.WSpaceG = 300;
    s.WSpaceV = 200;
    return s;
}

QColor TextColor(const QPlainTextEdit* box) { return box->palette().color(QPalette::Text); }

// Whether x is a whole number of 10^-decimals.
bool HasAtMostDecimals(double x, int decimals)
{
    const double scaled = x * std::pow(10.0, decimals);
    return std::abs(scaled - std::nearbyint(scaled)) < 1e-4;
}

// Every value the calculation rounds, from its steps and its total time.
QList<double> RoundedValues(const TPipeLine& s)
{
    QList<double> values{s.EvacuationTime};
    for (int i = 1; i <= ReportCount(s); ++i) {
        const TReport& r = s.Reports[i];
        values << r.Density << r.Speed << r.Intensity << r.AreaTime << r.DelayTime << r.AccumTime << r.TotalTime
               << r.ProjArea;
    }
    return values;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ReportPath() { return QString::fromStdString(TempFolder()) + kReportFileName; }

// Floor 1: eight rooms along a corridor 1,600 pixels long; floor 2: one
// room down a stair; 2.5 cm a pixel.
TPipeLine WideFloors()
{
    TPipeLine s;
    s.EtagCount = 2;
    s.ShowNumbers = true;
    s.FileName = "/проекты/Коридор.stm";
    SchemeBuilder b(s);
    int next = b.Exit({.X = 1720, .Y = 300});
    for (int i = 7; i >= 0; --i) {
        const int j = b.Junction({.X = 120 + 200 * i, .Y = 300});
        b.Area(j, next, 5, 2);
        b.Area(b.Input({.X = 120 + 200 * i, .Y = 120, .Name = "П" + std::to_string(i + 1), .People = 20}), j, 4.5, 1.2);
        next = j;
    }
    b.OnFloor(2);
    const int landing = b.Junction({.X = 120, .Y = 160});
    b.Area(b.Input({.X = 320, .Y = 160, .People = 15}), landing, 5, 1.2);
    b.Area(landing, next, 6, 1.2, kStairsDown);
    s.Plans[1].Scale = s.Plans[2].Scale = 0.025;
    return s;
}

// The frame of the drawing on a sheet rendered at 72 dpi: the outermost
// columns and rows with a long run of grey.
QRect FrameOf(const QImage& image)
{
    const auto grey = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.red() < 235 && std::abs(c.red() - c.green()) < 12 && std::abs(c.red() - c.blue()) < 12;
    };
    int left = image.width(), right = -1;
    for (int x = 0; x < image.width(); ++x) {
        int run = 0, longest = 0;
        for (int y = 0; y < image.height(); ++y) longest = std::max(longest, run = grey(x, y) ? run + 1 : 0);
        if (longest > 60) left = std::min(left, x), right = std::max(right, x);
    }
    return QRect(QPoint(left, 0), QPoint(right, image.height() - 1));
}

// A plan of 400 × 300 units with one line across it at x = 100 units,
// one device pixel wide at whatever scale it is drawn.
class OneLinePlan : public PlanPicture {
public:
    QSizeF Size() const override { return {400, 300}; }
    QImage Render(double scale, const QRect& clip) const override
    {
        QImage image(clip.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        const int x = int(std::lround(100 * scale)) - clip.left();
        if (x >= 0 && x < image.width())
            for (int y = 0; y < image.height(); ++y) image.setPixel(x, y, qRgb(0, 0, 0));
        return image;
    }
};

// The words of page `page` of a PDF with their boxes in points, read by
// pdftotext -bbox.
std::vector<std::pair<QString, QRectF>> PdfWordBoxes(const QString& path, int page)
{
    QProcess pdftotext;
    pdftotext.start(QStandardPaths::findExecutable("pdftotext"),
                    {"-bbox", "-f", QString::number(page), "-l", QString::number(page), path, "-"});
    pdftotext.waitForFinished();
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
    std::vector<std::pair<QString, QRectF>> words;
    for (auto i = word.globalMatch(html); i.hasNext();) {
        const QRegularExpressionMatch m = i.next();
        words.emplace_back(m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                                 QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return words;
}

// The words of page `page` of a PDF, read by pdftotext.
QStringList PdfWords(const QString& path, int page)
{
    QProcess pdftotext;
    pdftotext.start(QStandardPaths::findExecutable("pdftotext"),
                    {"-f", QString::number(page), "-l", QString::number(page), path, "-"});
    pdftotext.waitForFinished();
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

}  // namespace

class CalculationPrintTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_;

    struct Calculation {
        TPipeLine Scheme;
        std::unique_ptr<TFcalc> Dialog;
        std::shared_ptr<test::ScriptedPrompts> Prompts = std::make_shared<test::ScriptedPrompts>();

        QSpinBox* Precision() { return Dialog->findChild<QSpinBox*>("SpinEdit1"); }
        QPlainTextEdit* Messages() { return Dialog->findChild<QPlainTextEdit*>("ProcCalc"); }
        QPushButton* Calculate() { return Dialog->findChild<QPushButton*>("btnCalc"); }
        QCheckBox* Box(const char* name) { return Dialog->findChild<QCheckBox*>(name); }
    };

    // The dialog shown on `scheme`, its questions answered by a script.
    static std::unique_ptr<Calculation> ShowCalculation(TPipeLine scheme)
    {
        auto c = std::make_unique<Calculation>();
        c->Scheme = std::move(scheme);
        c->Dialog = std::make_unique<TFcalc>(c->Scheme, c->Prompts, nullptr, nullptr);
        c->Dialog->show();
        return c;
    }

    struct Printing {
        TPipeLine Scheme;
        std::unique_ptr<TForm3> Dialog;
        std::shared_ptr<test::ScriptedPrompts> Prompts = std::make_shared<test::ScriptedPrompts>();

        void Click(const char* button) { Dialog->findChild<QPushButton*>(button)->click(); }
    };

    // The print dialog on a PDF printer for the drawing of `scheme`.
    static std::unique_ptr<Printing> ShowPrint(TPipeLine scheme)
    {
        auto p = std::make_unique<Printing>();
        p->Scheme = std::move(scheme);
        p->Dialog = std::make_unique<TForm3>(p->Prompts, nullptr);
        p->Dialog->Printer().setOutputFormat(QPrinter::PdfFormat);
        p->Dialog->Printer().setPageOrientation(QPageLayout::Portrait);
        p->Dialog->SetScheme(p->Scheme);
        p->Dialog->show();
        return p;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    }

    void init() { QFile::remove(ReportPath()); }

    // ---- the calculation dialog ----

    void validationShowsFindingsOrSuccess_data()
    {
        QTest::addColumn<double>("firstLength");
        QTest::addColumn<int>("people");
        QTest::addColumn<bool>("passes");
        QTest::newRow("valid") << 10.0 << 30 << true;
        QTest::newRow("zero length") << 0.0 << 30 << false;
        QTest::newRow("no people") << 10.0 << 0 << false;
        QTest::newRow("both") << 0.0 << 0 << false;
    }

    void validationShowsFindingsOrSuccess()
    {
        QFETCH(double, firstLength);
        QFETCH(int, people);
        QFETCH(bool, passes);
        auto c = ShowCalculation(Corridor(firstLength, people));
        QCOMPARE(c->Dialog->windowTitle(), QString("Расчет"));
        const std::vector<std::string> findings = ValidateScheme(c->Scheme);
        QCOMPARE(findings.empty(), passes);
        if (passes) {
            QCOMPARE(c->Messages()->toPlainText(), QString(kValidationPassed));
            QCOMPARE(TextColor(c->Messages()), QColor(0, 0x80, 0));
        } else {
            QStringList lines;
            for (const std::string& finding : findings) lines << QString::fromStdString(finding);
            QCOMPARE(c->Messages()->toPlainText(), lines.join('\n'));
            QCOMPARE(TextColor(c->Messages()), QColor(0xFF, 0, 0));
        }
        QVERIFY(c->Messages()->isReadOnly());
        QCOMPARE(c->Calculate()->isEnabled(), passes);
        QCOMPARE(c->Calculate()->text(), QString("Рассчитать"));
    }

    // Every showing re-reads the scheme: a mended scheme enables the
    // button, a broken one disables it again.
    void validationRunsEachTimeTheDialogIsShown()
    {
        auto c = ShowCalculation(Corridor(0, 30));
        QVERIFY(!c->Calculate()->isEnabled());
        c->Dialog->hide();
        c->Scheme.Areas[1].Length = 10;
        c->Dialog->show();
        QVERIFY(c->Calculate()->isEnabled());
        c->Dialog->hide();
        c->Scheme.Nodes[1].F = 0;
        c->Dialog->show();
        QVERIFY(!c->Calculate()->isEnabled());
        QVERIFY(c->Messages()->toPlainText().contains("площадь горизонтальной проекции"));
    }

    void optionsFollowTheScheme()
    {
        TPipeLine s = Corridor(10, 30);
        s.Precision = 7;
        s.RazVr = true;
        s.VrSk = false;
        s.FullReport = false;
        auto c = ShowCalculation(std::move(s));
        QCOMPARE(c->Precision()->value(), 7);
        QVERIFY(c->Box("CheckBox2")->isChecked());
        QVERIFY(!c->Box("CBVrSk")->isChecked());
        QVERIFY(!c->Box("CBFullReport")->isChecked());
        QCOMPARE(c->Box("CheckBox2")->text(), QString("Учитывать различное время подхода к точке слияния потоков."));
        QCOMPARE(c->Box("CBVrSk")->text(), QString("Рассчитывать время скопления"));
        QCOMPARE(c->Box("CBFullReport")->text(), QString("Формировать полный отчет"));

        c->Precision()->setValue(4);
        c->Box("CheckBox2")->click();
        c->Box("CBVrSk")->click();
        c->Box("CBFullReport")->click();
        QCOMPARE(int(c->Scheme.Precision), 4);
        QVERIFY(!c->Scheme.RazVr);
        QVERIFY(c->Scheme.VrSk);
        QVERIFY(c->Scheme.FullReport);

        // A precision out of range (from a settings file) is brought into it.
        c->Dialog->hide();
        c->Scheme.Precision = 0;
        c->Dialog->show();
        QCOMPARE(c->Precision()->value(), 1);
        QCOMPARE(int(c->Scheme.Precision), 1);
    }

    void precisionBoundsTheDecimalsOfEveryValue()
    {
        auto c = ShowCalculation(Example("school-wing.stm"));
        QVERIFY(c->Calculate()->isEnabled());
        // At nine decimals some value needs more than five: the bound below
        // is the precision's doing.
        c->Precision()->setValue(9);
        c->Calculate()->click();
        const QList<double> fine = RoundedValues(c->Scheme);
        QVERIFY(!std::all_of(fine.begin(), fine.end(), [](double x) { return HasAtMostDecimals(x, 5); }));

        c->Dialog->show();
        c->Precision()->setValue(5);
        c->Calculate()->click();
        QCOMPARE(int(c->Scheme.Precision), 5);
        const QList<double> values = RoundedValues(c->Scheme);
        QVERIFY(values.size() > 10);
        for (double x : values) QVERIFY2(HasAtMostDecimals(x, 5), qPrintable(QString::number(x, 'g', 17)));
    }

    void answeringNoWritesNoReport()
    {
        auto c = ShowCalculation(Example("office-floor.stm"));
        c->Calculate()->click();
        QVERIFY(!c->Dialog->isVisible());
        QCOMPARE(c->Prompts->Captions, QStringList{"Результаты расчета"});
        const QString question = c->Prompts->Questions.value(0);
        QVERIFY(question.startsWith("Итак, общее расчетное время эвакуации = "));
        QVERIFY(question.endsWith(" мин.\nНажмите \"Да\" чтобы открыть отчет."));
        QVERIFY(!QFile::exists(ReportPath()));
        QVERIFY(c->Prompts->Opened.isEmpty());
        QVERIFY(c->Prompts->Warnings.isEmpty());
        // The results stay in the scheme.
        QVERIFY(ReportCount(c->Scheme) > 0);
        QVERIFY(c->Scheme.EvacuationTime > 0);
    }

    void answeringYesWritesAndOpensTheReport_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("full report") << true;
        QTest::newRow("summary report") << false;
    }

    void answeringYesWritesAndOpensTheReport()
    {
        QFETCH(bool, full);
        TPipeLine s = Example("care-home.stm");
        s.FullReport = !full;  // changed through the dialog below
        auto c = ShowCalculation(std::move(s));
        c->Prompts->Answers = {Answer::Yes};
        c->Box("CBFullReport")->click();
        c->Calculate()->click();

        const QString path = ReportPath();
        QVERIFY(path.startsWith(runtime_.path() + "/"));
        QCOMPARE(c->Prompts->Opened, QStringList{path});
        QVERIFY(c->Prompts->Warnings.isEmpty());
        std::ostringstream expected;
        const char separator = DecimalSeparatorFromEnvironment();
        if (full)
            BuildFullReport(c->Scheme, separator, expected);
        else
            BuildSummaryReport(c->Scheme, separator, expected);
        QCOMPARE(ReadAll(path), QByteArray::fromStdString(expected.str()));
    }

    // A report that cannot be written is reported and not opened. One that
    // no program opens used to sit unannounced in the temporary folder: the
    // user is told which file it is and may save a copy elsewhere.
    void reportFailuresAreShown_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("cannot be written") << false;
        QTest::newRow("cannot be opened") << true;
    }

    void reportFailuresAreShown()
    {
        QFETCH(bool, writable);
        if (!writable) QVERIFY(QDir().mkpath(ReportPath()));  // a folder where the file should go
        QTemporaryDir elsewhere;
        auto c = ShowCalculation(Corridor(10, 30));
        c->Scheme.FileName = (elsewhere.path() + "/коридор.stm").toStdString();
        c->Prompts->Answers = {Answer::Yes, Answer::Yes};
        c->Prompts->OpenSucceeds = false;
        c->Prompts->RtfName = elsewhere.path() + "/копия.rtf";
        c->Calculate()->click();
        if (!writable) {
            QCOMPARE(c->Prompts->Warnings.size(), 1);
            QVERIFY(c->Prompts->Warnings[0].contains(ReportPath()));
            QVERIFY(c->Prompts->Opened.isEmpty());
            QDir(ReportPath()).removeRecursively();
            return;
        }
        QCOMPARE(c->Prompts->Opened, QStringList{ReportPath()});
        QCOMPARE(c->Prompts->Questions.constLast(),
                 "Не удалось открыть отчет \"" + ReportPath() +
                     "\": не найдена программа для файлов RTF.\nСохранить отчет в другом месте?");
        QCOMPARE(c->Prompts->SuggestedRtf, elsewhere.path() + "/коридор.rtf");
        QCOMPARE(ReadAll(elsewhere.path() + "/копия.rtf"), ReadAll(ReportPath()));
        QVERIFY(c->Prompts->Warnings.isEmpty());
    }

    // "Сохранить отчет как..." beside the PDF one: the RTF report of a
    // calculation with the options shown, where the user chooses.
    void rtfButtonSavesTheReportOfTheOptionsShown()
    {
        QTemporaryDir work;
        auto broken = ShowCalculation(Corridor(0, 30));
        QVERIFY(!broken->Dialog->findChild<QPushButton*>("btnRtf")->isEnabled());

        TPipeLine scheme = Corridor(10, 30);
        scheme.FileName = (work.path() + "/коридор.stm").toStdString();
        auto c = ShowCalculation(std::move(scheme));
        QPushButton* button = c->Dialog->findChild<QPushButton*>("btnRtf");
        QCOMPARE(button->text(), QString("Сохранить отчет как..."));
        QVERIFY(button->isEnabled());
        c->Box("CBFullReport")->click();
        c->Prompts->RtfName = work.path() + "/отчет.rtf";
        button->click();
        QCOMPARE(c->Prompts->SuggestedRtf, work.path() + "/коридор.rtf");
        TPipeLine expected = c->Scheme;
        Calculate(expected, DecimalSeparatorFromEnvironment());
        std::ostringstream report;
        BuildReport(expected, DecimalSeparatorFromEnvironment(), report);
        QCOMPARE(ReadAll(work.path() + "/отчет.rtf"), QByteArray::fromStdString(report.str()));
        QCOMPARE(c->Prompts->Opened, QStringList{work.path() + "/отчет.rtf"});
        QVERIFY(c->Prompts->Warnings.isEmpty());
        QVERIFY(c->Dialog->isVisible());
        QVERIFY(c->Scheme.Reports.empty());
    }

    // "Сохранить отчет в PDF..." is there when the scheme passes, and
    // writes the report of a calculation with the options shown without
    // closing the dialog or touching the scheme's results.
    void pdfButtonSavesTheReportOfTheOptionsShown()
    {
        QTemporaryDir work;
        auto broken = ShowCalculation(Corridor(0, 30));
        QPushButton* button = broken->Dialog->findChild<QPushButton*>("btnPdf");
        QVERIFY(button);
        QCOMPARE(button->text(), QString("Сохранить отчет в PDF..."));
        QVERIFY(!button->isEnabled());

        TPipeLine scheme = Corridor(10, 30);
        scheme.FileName = (work.path() + "/коридор.stm").toStdString();
        auto c = ShowCalculation(std::move(scheme));
        button = c->Dialog->findChild<QPushButton*>("btnPdf");
        QVERIFY(button->isEnabled());
        c->Box("CBVrSk")->click();
        c->Prompts->PdfName = work.path() + "/отчет.pdf";
        button->click();
        QCOMPARE(c->Prompts->SuggestedPdf, work.path() + "/коридор.pdf");
        QCOMPARE(ReadAll(work.path() + "/отчет.pdf").left(5), QByteArray("%PDF-"));
        QCOMPARE(c->Prompts->Opened, QStringList{work.path() + "/отчет.pdf"});
        QVERIFY(c->Prompts->Warnings.isEmpty());
        QVERIFY(c->Dialog->isVisible());
        QVERIFY(c->Scheme.Reports.empty());
        QVERIFY(c->Scheme.VrSk);

        // A cancelled file choice writes nothing; an unwritable file is
        // reported.
        c->Prompts->Opened.clear();
        c->Prompts->PdfName.clear();
        button->click();
        QVERIFY(c->Prompts->Opened.isEmpty());
        c->Prompts->PdfName = work.path() + "/нет/отчет.pdf";
        button->click();
        QCOMPARE(c->Prompts->Warnings.size(), 1);
        QVERIFY(c->Prompts->Warnings[0].startsWith("Не удалось записать отчет в файл \"" + work.path() + "/нет/отчет.pdf\""));
        QVERIFY(c->Prompts->Opened.isEmpty());
    }

    // A large scheme: the progress box appears, the program keeps handling
    // events while the report is written, and stopping it leaves no file.
    void largePdfShowsProgressAndCanBeStopped()
    {
        QTemporaryDir work;
        auto c = ShowCalculation(test::RandomTree(5, 2500, 2500));
        c->Prompts->PdfName = work.path() + "/большой.pdf";
        QString label;
        int ticks = 0;
        QTimer watcher;
        watcher.setInterval(20);
        connect(&watcher, &QTimer::timeout, [&] {
            ++ticks;
            QProgressDialog* progress = c->Dialog->findChild<QProgressDialog*>();
            if (progress && progress->isVisible() && label.isEmpty()) {
                label = progress->labelText();
                progress->cancel();
            }
        });
        watcher.start();
        c->Dialog->findChild<QPushButton*>("btnPdf")->click();
        watcher.stop();
        QCOMPARE(label, QString("Запись отчета в PDF..."));
        QVERIFY(ticks >= 3);
        QVERIFY(!QFile::exists(work.path() + "/большой.pdf"));
        QVERIFY(c->Prompts->Warnings.isEmpty());
        QVERIFY(c->Prompts->Opened.isEmpty());
    }

    void mainWindowCommandShowsTheDialog()
    {
        test::Session session;
        session.Start();
        QAction* command = session.Action("MMCalcLocal");
        QVERIFY(command);
        QCOMPARE(command->text().remove('&'), QString("Расчет на этом компьютере..."));
        QCOMPARE(command->shortcut(), QKeySequence("Shift+F5"));
        const QList<QAction*> operations = session.Window().findChild<QMenu*>("MMOperations")->actions();
        QCOMPARE(operations.indexOf(command), operations.indexOf(session.Action("MMCalc")) + 1);

        QAction* button = session.Action("TBRunLocal");
        QCOMPARE(button->toolTip(), QString("Расчет на этом компьютере"));
        QCOMPARE(button->statusTip(), QString("Рассчитать время эвакуации на этом компьютере"));
        const QList<QAction*> tools = session.Window().findChild<QToolBar*>("TBcalculate")->actions();
        QCOMPARE(tools.indexOf(button), tools.indexOf(session.Action("TBRun")) + 1);

        for (QAction* action : {command, button}) {
            QString shown;
            QTimer::singleShot(0, [&shown] {
                if (QWidget* dialog = QApplication::activeModalWidget()) {
                    shown = dialog->objectName();
                    dialog->close();
                }
            });
            action->trigger();
            QCOMPARE(shown, QString("Fcalc"));
        }
    }

    // ---- printing ----

    void dialogStartsFittingTheActiveFloor()
    {
        auto p = ShowPrint(Corridor(10, 30));
        QCOMPARE(p->Dialog->windowTitle(), QString("Печать"));
        QCOMPARE(p->Dialog->findChild<QLineEdit*>("Edit1")->text(), QString(kPdfPrinterName));
        QVERIFY(p->Dialog->findChild<QRadioButton*>("RadioButton0")->isChecked());
        QVERIFY(p->Dialog->findChild<QRadioButton*>("RBActiveFloor")->isChecked());
        QCOMPARE(p->Dialog->findChild<QComboBox*>("ScaleBox")->currentText(), QString(kFitToSheet));
        QCOMPARE(p->Dialog->Sheets().size(), std::size_t(1));
        QCOMPARE(p->Dialog->findChild<QPrintPreviewWidget*>("Preview")->pageCount(), 1);
        QCOMPARE(p->Dialog->findChild<QLabel*>("SheetCount")->text(), QString("Листов: 1"));
        QVERIFY(p->Prompts->Messages.isEmpty());
    }

    // By default the whole floor fills the sheet's width between the
    // margins, on a sheet turned to the floor's shape, every label inside
    // the frame; the title block names project, floor, scale and sheet.
    void fitToSheetFillsTheWidth()
    {
        QTemporaryDir work;
        auto p = ShowPrint(WideFloors());
        QCOMPARE(p->Dialog->Printer().pageLayout().orientation(), QPageLayout::Landscape);
        const PrintSheet& sheet = p->Dialog->Sheets().at(0);
        QVERIFY(sheet.Scale.Metric);
        const QImage image = p->Dialog->RenderSheet(0, 72);
        const QRectF room = SheetRoom(p->Dialog->Printer().pageLayout().paintRect(QPageLayout::Point).size());
        const QRect frame = FrameOf(image);
        QVERIFY2(std::abs(frame.left() - room.left()) <= 2 && std::abs(frame.right() - room.right()) <= 2,
                 qPrintable(QString("frame %1..%2, room %3..%4").arg(frame.left()).arg(frame.right())
                                .arg(room.left()).arg(room.right())));

        p->Prompts->PdfName = work.filePath("sheets.pdf");
        p->Click("Button7");
        const QStringList words = PdfWords(p->Prompts->PdfName, 1);
        const QString text = words.join(' ');
        QVERIFY2(text.contains("Проект: Коридор"), qPrintable(text));
        QVERIFY(text.contains("Этаж 1"));
        QVERIFY(text.contains("Масштаб " + sheet.Scale.Text()));
        QVERIFY(text.contains("Лист 1 из 1"));
        QVERIFY(text.contains("П8"));
    }

    // A chosen scale cuts a floor larger than a sheet into sheets in rows
    // and columns, each at that scale and numbered; "+" and "-" step
    // through the scales.
    void chosenScaleTilesTheFloor()
    {
        QTemporaryDir work;
        auto p = ShowPrint(WideFloors());
        auto* scale = p->Dialog->findChild<QComboBox*>("ScaleBox");
        const DrawingScale fit = p->Dialog->Sheets().at(0).Scale;
        p->Click("Button1");
        QVERIFY(p->Dialog->Sheets().at(0).Scale.Value < fit.Value);
        p->Click("Button2");
        p->Click("Button2");
        QVERIFY(p->Dialog->Sheets().at(0).Scale.Value > fit.Value);

        const int index = scale->findText("1:50");
        QVERIFY(index > 0);
        scale->setCurrentIndex(index);
        emit scale->activated(index);
        const std::vector<PrintSheet>& sheets = p->Dialog->Sheets();
        QVERIFY(sheets.size() >= 3);
        QCOMPARE(int(sheets.size()), sheets[0].Rows * sheets[0].Columns);
        for (const PrintSheet& sheet : sheets) QCOMPARE(sheet.Scale.Text(), QString("1:50"));
        QCOMPARE(p->Dialog->findChild<QPrintPreviewWidget*>("Preview")->pageCount(), int(sheets.size()));

        p->Prompts->PdfName = work.filePath("tiles.pdf");
        p->Click("Button7");
        const QString second = PdfWords(p->Prompts->PdfName, 2).join(' ');
        QVERIFY2(second.contains(QString("Лист 2 из %1").arg(sheets.size())), qPrintable(second));
        QVERIFY(second.contains("Масштаб 1:50"));
    }

    // Sheets of a floor tiled at a chosen scale with the results drawn: every
    // text lies wholly inside the drawing's frame or wholly outside it (the
    // title block), and a sheet marks where its overlap with the sheet on its
    // left begins with a dashed line down the frame, the first sheet of a
    // row has none.
    void tiledSheetsKeepTextsInsideTheFrameAndMarkTheOverlap()
    {
        QTemporaryDir work;
        auto p = ShowPrint(WideFloors());
        QVERIFY(!Calculate(p->Scheme, ',').empty());
        SchemeOverlay results;
        PutResults(ResultsOf(p->Scheme), {}, AreaFigure::TotalTime, ',', p->Scheme, results);
        p->Dialog->SetScheme(p->Scheme, &results);
        auto* scale = p->Dialog->findChild<QComboBox*>("ScaleBox");
        const int index = scale->findText("1:50");
        scale->setCurrentIndex(index);
        emit scale->activated(index);
        const std::vector<PrintSheet>& sheets = p->Dialog->Sheets();
        QVERIFY(sheets.size() >= 3);

        const QRectF printable = p->Dialog->Printer().pageLayout().paintRect(QPageLayout::Point);
        const QRectF room = SheetRoom(printable.size());
        const QRectF frame = room.translated(printable.topLeft());
        p->Prompts->PdfName = work.filePath("tiles.pdf");
        p->Click("Button7");
        int inside = 0;
        int figures = 0;
        for (int page = 1; page <= int(sheets.size()); ++page) {
            for (const auto& [text, box] : PdfWordBoxes(p->Prompts->PdfName, page)) {
                const QRectF core = box.adjusted(0.3, 0.3, -0.3, -0.3);
                QVERIFY2(frame.contains(core) || !frame.intersects(core),
                         qPrintable(QString("\"%1\" on sheet %2 crosses the frame").arg(text).arg(page)));
                inside += frame.contains(core);
                figures += text == "мин";
            }
        }
        QVERIFY(inside > 10);
        QVERIFY(figures > 3);

        const auto dashes = [&](int sheet) {
            const QImage image = p->Dialog->RenderSheet(sheet, 72);
            const int x = int(std::lround(room.left() + 28.35));
            int grey = 0;
            for (int y = int(room.top()) + 2; y < int(room.bottom()) - 2; ++y)
                for (int dx = -1; dx <= 1; ++dx) {
                    const QColor c = image.pixelColor(x + dx, y);
                    if (c.red() < 200 && std::abs(c.red() - c.blue()) < 12) {
                        ++grey;
                        break;
                    }
                }
            return double(grey) / (room.height() - 4);
        };
        QCOMPARE(sheets[0].Column, 0);
        QVERIFY2(dashes(0) < 0.2, qPrintable(QString::number(dashes(0))));
        QCOMPARE(sheets[1].Column, 1);
        QVERIFY2(dashes(1) > 0.3 && dashes(1) < 0.95, qPrintable(QString::number(dashes(1))));
    }

    // A floor's vector plan prints at the printer's resolution, not from
    // the floor's picture at one pixel a canvas pixel: at 1:50 and 288 dpi
    // a canvas pixel is about six device pixels, and the plan's line stays
    // one or two wide.
    void vectorPlanPrintsSharp()
    {
        TPipeLine s = WideFloors();
        s.Plans[1].PixelsPerUnit = 2;
        auto p = ShowPrint(std::move(s));
        p->Dialog->SetScheme(p->Scheme, nullptr, {{1, std::make_shared<OneLinePlan>()}});
        auto* scale = p->Dialog->findChild<QComboBox*>("ScaleBox");
        const int index = scale->findText("1:50");
        scale->setCurrentIndex(index);
        emit scale->activated(index);
        QCOMPARE(p->Dialog->Sheets().at(0).Column, 0);

        const QImage sheet = p->Dialog->RenderSheet(0, 288);
        // Columns with a long run of grey ink: the plan's line, the
        // frame's sides.
        const auto inked = [&](int x) {
            int run = 0, longest = 0;
            for (int y = 0; y < sheet.height(); ++y) {
                const QColor c = sheet.pixelColor(x, y);
                const bool grey = c.red() < 200 && std::abs(c.red() - c.green()) < 12 && std::abs(c.red() - c.blue()) < 12;
                longest = std::max(longest, run = grey ? run + 1 : 0);
            }
            return longest > 400;
        };
        int line = -1;
        for (int x = 0; x < sheet.width() && line < 0; ++x)
            if (qGray(sheet.pixel(x, sheet.height() / 3)) < 60 && inked(x)) line = x;
        QVERIFY(line >= 0);
        int wide = 0;
        for (int x = line - 12; x <= line + 12; ++x) wide += inked(x);
        QVERIFY2(wide <= 2, qPrintable(QString("%1 columns at %2").arg(wide).arg(line)));
    }

    void allFloorsInOneJob()
    {
        QTemporaryDir work;
        auto p = ShowPrint(WideFloors());
        p->Dialog->findChild<QRadioButton*>("RBAllFloors")->click();
        QCOMPARE(p->Dialog->Sheets().size(), std::size_t(2));
        QCOMPARE(p->Dialog->Sheets()[1].Floor, 2);
        p->Prompts->PdfName = work.filePath("floors.pdf");
        p->Click("Button7");
        QVERIFY(PdfWords(p->Prompts->PdfName, 1).join(' ').contains("Лист 1 из 2"));
        QVERIFY(PdfWords(p->Prompts->PdfName, 2).join(' ').contains("Этаж 2"));
    }

    // ---- the drawing on a paint device ----

    void deviceDrawingMatchesTheCanvas()
    {
        TPipeLine s = Example("school-wing.stm");
        s.Nodes[2].Selected = true;
        s.Areas[1].Width = 0;
        QImage canvas(s.WSpaceG, s.WSpaceV, QImage::Format_RGB32);
        QVERIFY(Draw(s, canvas, CanvasView{}, true));

        QImage device(canvas.size(), QImage::Format_RGB32);
        device.fill(Qt::gray);
        QPainter painter(&device);
        QVERIFY(DrawOnDevice(s, painter, canvas.size()));
        painter.end();
        QCOMPARE(device, canvas);
    }

    void deviceDrawingIsScaledAndClipped()
    {
        TPipeLine s = Corridor(10, 30);
        QImage page(1000, 1000, QImage::Format_RGB32);
        page.fill(Qt::gray);
        QPainter painter(&page);
        painter.translate(100, 50);
        painter.scale(2, 2);
        QVERIFY(DrawOnDevice(s, painter, QSize(s.WSpaceG, s.WSpaceV)));
        painter.end();
        // The canvas rectangle is white on the page, twice its size, and
        // nothing lies outside it.
        QCOMPARE(page.pixel(100, 50), qRgb(255, 255, 255));
        QCOMPARE(page.pixel(100 + 599, 50 + 399), qRgb(255, 255, 255));
        QCOMPARE(page.pixel(100 + 600, 50 + 400), QColor(Qt::gray).rgb());
        // The exit's red circle around (240, 120).
        QCOMPARE(page.pixel(100 + 2 * 240, 50 + 2 * 115), qRgb(255, 0, 0));

        s.Opened = false;
        QVERIFY(!DrawOnDevice(s, painter, QSize(10, 10)));
    }
};

QTEST_MAIN(CalculationPrintTest)
#include "CalculationPrintTest.moc"
