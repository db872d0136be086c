// The dialog that submits the project to the calculation service: the
// upload form it builds, its validation messages and save question, the
// in-process service, and a whole submission through the embedded browser.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTcpSocket>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <sstream>

#include "MainWindowFixture.h"
#include "tests/TestSchemes.h"
#include "calc/FlowCalculation.h"
#include "calc/ReportWriter.h"
#include "calc/Validation.h"
#include "dialogs/ServiceCalculationDialog.h"
#include "dialogs/SubmitPage.h"
#include "dialogs/EmbeddedService.h"
#include "model/ProjectFile.h"
#include "model/NumberText.h"
#include "model/TextCodec.h"
#include "model/UserFolders.h"
#include "service/CalculationService.h"

using namespace stelmar;
using stelmar::test::Corridor;

namespace {

// Runs `script` in the page and waits for its value.
QVariant RunScript(QWebEnginePage* page, const QString& script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000)) qWarning("no answer to %s", qPrintable(script));
    return result;
}

// Waits until the page holds the upload form and returns the value of
// one of its fields.
QString FieldValue(QWebEnginePage* page, const QString& name)
{
    const QString script = QString("(function(){var f=document.querySelector('input[name=%1]');"
                                   "return f ? f.value : '';})()")
                               .arg(name);
    QString value;
    // An empty value after the wait is what the caller checks.
    (void)QTest::qWaitFor([&] { return !(value = RunScript(page, script).toString()).isEmpty(); }, 15000);
    return value;
}

QString ReportPath() { return QString::fromStdString(TempFolder()) + "report.rtf"; }

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ServiceDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir runtime_;

    struct Submission {
        TPipeLine Scheme;
        std::unique_ptr<TFcalcNet> Dialog;
        std::shared_ptr<test::ScriptedPrompts> Prompts = std::make_shared<test::ScriptedPrompts>();

        QWebEnginePage* Page() { return Dialog->Browser()->page(); }
        QPlainTextEdit* Messages() { return Dialog->findChild<QPlainTextEdit*>("ProcCalc"); }
        QTabWidget* Pages() { return Dialog->findChild<QTabWidget*>("PageControl1"); }
    };

    // The dialog on `scheme`, posting to `base`, shown.
    static std::unique_ptr<Submission> Show(TPipeLine scheme, const QString& base)
    {
        auto s = std::make_unique<Submission>();
        s->Scheme = std::move(scheme);
        s->Dialog = std::make_unique<TFcalcNet>(s->Scheme, s->Prompts, nullptr, nullptr);
        s->Dialog->SetServiceAddress([base] { return base; });
        s->Dialog->show();
        return s;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
        // A locale with a decimal point, for the whole run.
        qputenv("LC_ALL", "C");
    }

    void submitPageCarriesTheOptionsInWindows1251()
    {
        TPipeLine s;
        s.RazVr = false;
        s.VrSk = true;
        s.FullReport = false;
        s.Precision = 3;
        const std::string expected =
            "<head><title>Расчет времени эвакуации</title><meta http-equiv=\"Content-Type\" "
            "content=\"text/html; charset=cp1251\" /></head><body><TABLE width=80% align = center><TR><TD align = "
            "center><form enctype=\"multipart/form-data\" action=\"http://calc.example:8080/obe/StelmarCalc_3000.php\" "
            "method=\"post\">Файл: <input type=file name=\"userfile\"><input name=\"raz_vr\" type=\"hidden\" "
            "value=0><input name=\"vr_sk\" type=\"hidden\" value=1><input name=\"full_report\" type=\"hidden\" "
            "value=0><input name=\"prec\" type=\"hidden\" value=3></TD></TR><TR><TD align = center> <BR><input "
            "type=\"submit\" value=\"Отправить\"></TD></TR></form></body>";
        QCOMPARE(BuildSubmitPage(s, "http://calc.example:8080"), *Utf8ToCp1251(expected));
        // A trailing separator of the configured address is not doubled.
        QCOMPARE(BuildSubmitPage(s, "http://calc.example:8080/"), *Utf8ToCp1251(expected));

        s.RazVr = true;
        s.VrSk = false;
        s.FullReport = true;
        s.Precision = 9;
        const std::string page = BuildSubmitPage(s, "http://h");
        QVERIFY(page.find("name=\"raz_vr\" type=\"hidden\" value=1>") != std::string::npos);
        QVERIFY(page.find("name=\"vr_sk\" type=\"hidden\" value=0>") != std::string::npos);
        QVERIFY(page.find("name=\"full_report\" type=\"hidden\" value=1>") != std::string::npos);
        QVERIFY(page.find("name=\"prec\" type=\"hidden\" value=9>") != std::string::npos);
    }

    // The file field said "Choose File" / "No file chosen" under an English
    // session locale: the engine runs in Russian.
    void browserSpeaksRussian()
    {
        auto s = Show(Corridor(), "http://127.0.0.1:1");
        QVERIFY(!FieldValue(s->Page(), "prec").isEmpty());
        QCOMPARE(RunScript(s->Page(), "navigator.language").toString(), QString("ru"));
        QVERIFY(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--disable-gpu"));  // the other flags are kept
    }

    void optionsAreShownWrittenAndReachThePage()
    {
        TPipeLine scheme = Corridor();
        scheme.Precision = 4;
        scheme.VrSk = true;
        auto s = Show(std::move(scheme), "http://127.0.0.1:1");
        QCOMPARE(s->Dialog->findChild<QSpinBox*>("SpinEdit1")->value(), 4);
        QVERIFY(s->Dialog->findChild<QCheckBox*>("CBVrSk")->isChecked());
        QCOMPARE(FieldValue(s->Page(), "prec"), QString("4"));
        QCOMPARE(FieldValue(s->Page(), "vr_sk"), QString("1"));

        s->Pages()->setCurrentIndex(1);
        s->Dialog->findChild<QSpinBox*>("SpinEdit1")->setValue(7);
        s->Dialog->findChild<QCheckBox*>("CBVrSk")->setChecked(false);
        s->Dialog->findChild<QCheckBox*>("CheckBox2")->setChecked(true);
        s->Dialog->findChild<QCheckBox*>("CBFullReport")->setChecked(false);
        QCOMPARE(int(s->Scheme.Precision), 7);
        QVERIFY(!s->Scheme.VrSk && s->Scheme.RazVr && !s->Scheme.FullReport);

        s->Pages()->setCurrentIndex(0);
        QTRY_COMPARE_WITH_TIMEOUT(FieldValue(s->Page(), "prec"), QString("7"), 15000);
        QCOMPARE(FieldValue(s->Page(), "vr_sk"), QString("0"));
        QCOMPARE(FieldValue(s->Page(), "raz_vr"), QString("1"));
        QCOMPARE(FieldValue(s->Page(), "full_report"), QString("0"));
        QCOMPARE(RunScript(s->Page(), "document.forms[0].action").toString(),
                 QString("http://127.0.0.1:1/obe/StelmarCalc_3000.php"));
    }

    void validationInformsWithoutBlockingTheForm()
    {
        auto passed = Show(Corridor(), "http://127.0.0.1:1");
        QCOMPARE(passed->Messages()->toPlainText(), QString(kValidationPassed) + "\n" + kServiceHint);
        QCOMPARE(passed->Messages()->palette().color(QPalette::Text), QColor(0, 0x80, 0));

        TPipeLine noAreas = Corridor();
        noAreas.Areas.resize(1);
        noAreas.Nodes.resize(1);
        auto failed = Show(std::move(noAreas), "http://127.0.0.1:1");
        QCOMPARE(failed->Messages()->toPlainText(), QString("Ошибка: не найдено ни одного участка;"));
        QCOMPARE(failed->Messages()->palette().color(QPalette::Text), QColor(0xFF, 0, 0));
        QCOMPARE(FieldValue(failed->Page(), "prec"), QString::number(failed->Scheme.Precision));
        QCOMPARE(RunScript(failed->Page(), "document.querySelector('input[type=submit]').value").toString(),
                 QString("Отправить"));
    }

    void modifiedSchemeIsOfferedForSaving()
    {
        test::Session session;
        const QString path = session.File("corridor.stm");
        QVERIFY(!SaveProjectFile(Corridor(), path.toStdString(), ','));
        TF& tf = session.Start(path);
        auto* dialog = tf.DialogSet().ServiceCalculation;
        dialog->SetServiceAddress([] { return QString("http://127.0.0.1:1"); });
        QVERIFY(!tf.Scheme().Modified);

        dialog->show();
        QVERIFY(session.Prompts().Questions.isEmpty());
        dialog->close();

        tf.Scheme().Nodes[1].People = 55;
        tf.SetModified(true);
        session.Prompts().Answers = {Answer::Yes};
        dialog->show();
        QCOMPARE(session.Prompts().Questions,
                 QStringList{"Сохранить открытую схему?\nОтветьте \"Да\", если вы хотите отправить на расчет "
                             "проект,\nкоторый открыт на данный момент."});
        QVERIFY(!tf.Scheme().Modified);
        QCOMPARE(ReadProjectFile(path.toStdString()).Scheme->Nodes[1].People, 55);
        dialog->close();
    }

    void embeddedServiceListensOnALoopbackPort()
    {
        QCOMPARE(ServiceBaseAddress("http://calc.example").Base, QString("http://calc.example"));
        const ServiceAddress first = ServiceBaseAddress(QString());
        QVERIFY2(first.Error.isEmpty(), qPrintable(first.Error));
        const QUrl url(first.Base);
        QCOMPARE(url.host(), QString("127.0.0.1"));
        QVERIFY(url.port() > 0);
        QCOMPARE(ServiceBaseAddress(QString()).Base, first.Base);
        QTcpSocket socket;
        socket.connectToHost(url.host(), quint16(url.port()));
        QVERIFY(socket.waitForConnected(5000));
    }

    void projectIsCalculatedThroughTheBrowser()
    {
        test::Session session;
        const QString path = session.File("corridor.stm");
        TPipeLine saved = Corridor();
        QVERIFY(!SaveProjectFile(saved, path.toStdString(), ','));
        saved.Modified = false;
        saved.FileName = path.toStdString();
        saved.FullReport = false;
        saved.VrSk = true;
        saved.Precision = 3;

        auto s = std::make_unique<Submission>();
        s->Scheme = saved;
        s->Dialog = std::make_unique<TFcalcNet>(s->Scheme, s->Prompts, nullptr, nullptr);
        QString chooserStart;
        s->Dialog->SetFileChooser([&](const QString& start) {
            chooserStart = start;
            return QStringList{path};
        });
        QFile::remove(ReportPath());
        s->Dialog->show();
        QCOMPARE(FieldValue(s->Page(), "prec"), QString("3"));
        const QString shots = qEnvironmentVariable("STELMAR_SCREENSHOTS");
        if (!shots.isEmpty()) s->Dialog->grab().save(shots + "/service-form.png");

        // The file field takes the file only from the chooser, which the
        // browser opens only for a click of the user.
        const QVariantList box =
            RunScript(s->Page(), "(function(){var r=document.querySelector('input[type=file]')"
                                 ".getBoundingClientRect();return [r.left+r.width/2, r.top+r.height/2];})()")
                .toList();
        QCOMPARE(box.size(), 2);
        const QPoint centre(int(box[0].toDouble()), int(box[1].toDouble()));
        QWidget* surface = s->Dialog->Browser()->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, centre);
        QTRY_COMPARE_WITH_TIMEOUT(chooserStart, path, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(
            RunScript(s->Page(), "document.querySelector('input[type=file]').files.length").toInt(), 1, 15000);

        QPushButton* pdfButton = s->Dialog->findChild<QPushButton*>("btnPdf");
        QVERIFY(pdfButton);
        QCOMPARE(pdfButton->text(), QString("Сохранить отчет в PDF..."));
        QVERIFY2(!pdfButton->isEnabled(), "no answer yet");
        QSignalSpy answered(s->Page(), &QWebEnginePage::loadFinished);
        RunScript(s->Page(), "document.forms[0].submit()");
        TPipeLine expected = *ReadProjectFile(path.toStdString(), false).Scheme;
        expected.FullReport = false;
        expected.VrSk = true;
        expected.RazVr = false;
        expected.Precision = 3;
        // The service inside the program writes numbers with the separator
        // of the program's own calculation: a point here (see initTestCase),
        // where a service on its own writes a comma.
        const char separator = DecimalSeparatorFromEnvironment();
        QCOMPARE(separator, '.');
        const QString resultLine = QString::fromStdString(Calculate(expected, separator));
        QTRY_VERIFY_WITH_TIMEOUT(RunScript(s->Page(), "document.body ? document.body.innerText : ''")
                                     .toString()
                                     .contains(resultLine),
                                 30000);
        if (!shots.isEmpty()) s->Dialog->grab().save(shots + "/service-answer.png");

        QSignalSpy saved_(s->Dialog.get(), &TFcalcNet::ReportSaved);
        RunScript(s->Page(), "document.querySelector('a[download]').click()");
        QVERIFY(saved_.wait(30000) || saved_.count() == 1);
        QCOMPARE(saved_.first().first().toString(), ReportPath());
        QCOMPARE(s->Prompts->Opened, QStringList{ReportPath()});

        std::ostringstream report;
        BuildSummaryReport(expected, separator, report);
        QFile file(ReportPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::fromStdString(report.str()));

        // The answer's PDF link: the service's PDF, kept beside the RTF one.
        const QString pdfPath = QString::fromStdString(TempFolder()) + "report.pdf";
        QFile::remove(pdfPath);
        RunScript(s->Page(), "document.querySelector('a[href$=\"report.pdf\"]').click()");
        QVERIFY(saved_.wait(30000) || saved_.count() == 2);
        QCOMPARE(saved_.last().first().toString(), pdfPath);
        QCOMPARE(ReadAll(pdfPath).left(5), QByteArray("%PDF-"));
        QCOMPARE(s->Prompts->Opened.last(), pdfPath);

        // The dialog's own button, once the service has answered: the same
        // calculation on the embedded engine.
        QTRY_VERIFY(pdfButton->isEnabled());
        s->Prompts->PdfName = session.File("отчет.pdf");
        QSignalSpy written(s->Dialog.get(), &TFcalcNet::PdfSaved);
        pdfButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(written.count(), 1, 30000);
        QCOMPARE(written.first().first().toString(), session.File("отчет.pdf"));
        QCOMPARE(ReadAll(session.File("отчет.pdf")).left(5), QByteArray("%PDF-"));
        QCOMPARE(s->Prompts->SuggestedPdf, session.File("corridor.pdf"));
        QVERIFY(s->Prompts->Warnings.isEmpty());

        // A new form takes the answer away, and the button with it.
        s->Dialog->TabSheet1Show();
        QVERIFY(!pdfButton->isEnabled());
    }

    void cleanupTestCase() { StopEmbeddedService(); }
};

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ServiceDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ServiceDialogTest.moc"
