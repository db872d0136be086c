// Program start: the start picture, then the main window with every dialog,
// then the event loop until the main window closes.

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <string_view>
#include <unistd.h>

#include "editor/Forms.h"
#include "editor/SplashScreen.h"

namespace {

// The command line of the program.
struct CommandLine {
    QCommandLineParser Parser;
    QCommandLineOption NoSplash{"no-splash", "Запуск без заставки."};
    // Saves a picture of the main window once it has started, then quits.
    QCommandLineOption Screenshot{"screenshot", "Снимок главного окна в файл.", "файл"};

    CommandLine()
    {
        Parser.setApplicationDescription(stelmar::kAppTitle);
        Parser.addHelpOption();
        Screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
        Parser.addOptions({NoSplash, Screenshot});
        Parser.addPositionalArgument("проект", "Файл проекта (.stm), открываемый при запуске.");
    }
};

// The help needs no display: it is answered before the windowing system is
// asked for one.
bool AsksForHelp(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all") return true;
    }
    return false;
}

// Russian texts of the toolkit (standard dialogs, the help of the command
// line), when installed.
void InstallToolkitTexts(QTranslator& texts)
{
    if (texts.load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_",
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&texts);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (AsksForHelp(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(stelmar::kAppTitle);
        QTranslator toolkitTexts;
        InstallToolkitTexts(toolkitTexts);
        CommandLine().Parser.process(app);  // prints the help and ends the program
        return 0;
    }
    // The embedded browser refuses to start as root unless its sandbox is
    // off, and shares its drawing contexts with the window system.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(stelmar::kAppTitle);
    QTranslator toolkitTexts;
    InstallToolkitTexts(toolkitTexts);

    CommandLine line;
    line.Parser.process(app);

    if (!line.Parser.isSet(line.NoSplash)) stelmar::TFstart().Run();

    const QStringList projects = line.Parser.positionalArguments();
    const std::unique_ptr<stelmar::TF> window = stelmar::CreateForms(projects.isEmpty() ? QString() : projects.first(), std::make_shared<stelmar::QtPrompts>());
    if (line.Parser.isSet(line.Screenshot)) {
        const QString file = line.Parser.value(line.Screenshot);
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
