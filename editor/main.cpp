// Program start: the start picture, then the main window with every dialog,
// then the event loop until the main window closes.

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <unistd.h>

#include "editor/Forms.h"
#include "editor/SplashScreen.h"

int main(int argc, char* argv[])
{
    // The embedded browser refuses to start as root unless its sandbox is
    // off, and shares its drawing contexts with the window system.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(stelmar::kAppTitle);
    // Russian texts for the standard dialogs of the toolkit, when installed.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    QCommandLineParser parser;
    parser.setApplicationDescription(stelmar::kAppTitle);
    const QCommandLineOption noSplash("no-splash", "Запуск без заставки.");
    // Saves a picture of the main window once it has started, then quits.
    QCommandLineOption screenshot("screenshot", "Снимок главного окна в файл.", "файл");
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({noSplash, screenshot});
    parser.addPositionalArgument("проект", "Файл проекта (.stm), открываемый при запуске.");
    parser.process(app);

    if (!parser.isSet(noSplash)) stelmar::TFstart().Run();

    const QStringList projects = parser.positionalArguments();
    const std::unique_ptr<stelmar::TF> window = stelmar::CreateForms(projects.isEmpty() ? QString() : projects.first(), std::make_shared<stelmar::QtPrompts>());
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QObject::connect(window.get(), &stelmar::TF::Started, window.get(), [&window, file] {
            QTimer::singleShot(500, window.get(), [&window, file] {
                window->grab().save(file);
                QApplication::quit();
            });
        });
    }
    window->show();
    return QApplication::exec();
}
