#include "run.h"

#include "app/commandline.h"
#include "app/programmodule.h"
#include "app/startup.h"
#include "layout/flatbuttonstyle.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"
#include "state/startuptrace.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

const char kHelp[] = "Uso: velmora [OPZIONE]\n"
                     "Esercizi di ortografia italiana per la scuola primaria, da svolgere con il mouse,\n"
                     "con la tastiera oppure con uno o due sensori (switch).\n"
                     "\n"
                     "  -h, --help       mostra questo aiuto ed esce\n"
                     "  -V, --version    mostra la versione ed esce\n"
                     "\n"
                     "Accetta anche le opzioni dei programmi Qt, come -platform, -display, -style,\n"
                     "-reverse e -geometry.\n"
                     "\n"
                     "Senza opzioni apre il programma a tutto schermo. Il manuale si apre dal menu\n"
                     "«Informazioni», voce «documentazione».\n";

// Answers the command line before anything needs a display: the exit code
// when the program should end here, -1 when it should start.
int answerCommandLine(const CommandLine::Reading &reading)
{
    switch (reading.request) {
    case CommandLine::Request::Start:
        return -1;
    case CommandLine::Request::Help:
        std::fputs(kHelp, stdout);
        return 0;
    case CommandLine::Request::Version:
        std::fputs("Velmora " VELMORA_VERSION "\n", stdout);
        return 0;
    case CommandLine::Request::Refuse:
        break;
    }
    std::fprintf(stderr, "%s\n", qPrintable(reading.refusal));
    return 2;
}

// Without a display Qt would abort with a platform-plugin error; say what to do instead.
bool displayAvailable(const CommandLine::Reading &reading)
{
    return reading.namesDisplay || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void useItalianDialogs(QApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

} // namespace

int runVelmora(int argc, char **argv)
{
    StartupTrace::mark("main entered");
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Reading reading = CommandLine::read(arguments);
    if (const int code = answerCommandLine(reading); code >= 0)
        return code;
    if (!displayAvailable(reading)) {
        std::fputs("Velmora needs a graphical display and none was found (DISPLAY is not set); "
                   "to run it without one, start it under a virtual display: xvfb-run -a ",
            stderr);
        std::fputs(argv[0], stderr);
        std::fputs("\n", stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMORA_APP_ID));
    StartupTrace::mark("Qt application made");
    useItalianDialogs(app);
    StartupTrace::mark("Italian dialogs");
    FlatButtonStyle::install();
    KeyRepeatGuard::install();
    StartupTrace::mark("button style and key repeat");
    // The program names the fonts of its design; these are the installed faces that match them.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));

    appState().ApplicationFolder = findApplicationFolder(QCoreApplication::applicationDirPath());

    Velmora velmora(&ProgramModule::load);
    if (!velmora.start())
        return 0;
    const int code = app.exec();
    // Ending through the window saves the pupil's work first; the event
    // loop may end without it.
    velmora.saveUnsavedWork();
    return code;
}
