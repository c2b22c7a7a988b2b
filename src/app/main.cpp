#include "app/recordonexit.h"
#include "app/startup.h"
#include "layout/flatbuttonstyle.h"
#include "layout/formhost.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kHelp[] = "Uso: velmora [OPZIONE]\n"
                     "Esercizi di ortografia italiana per la scuola primaria, da svolgere con il mouse,\n"
                     "con la tastiera oppure con uno o due sensori (switch).\n"
                     "\n"
                     "  -h, --help       mostra questo aiuto ed esce\n"
                     "  -V, --version    mostra la versione ed esce\n"
                     "\n"
                     "Senza opzioni apre il programma a tutto schermo. Il manuale si apre dal menu\n"
                     "«Informazioni», voce «documentazione».\n";

bool isOption(const char *argument, const char *shortName, const char *longName)
{
    return std::strcmp(argument, shortName) == 0 || std::strcmp(argument, longName) == 0;
}

// Answers the command line before anything needs a display: the exit code
// when the program should end here, -1 when it should start.
int answerCommandLine(int argc, char **argv)
{
    if (argc < 2)
        return -1;
    if (argc == 2 && isOption(argv[1], "-h", "--help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && isOption(argv[1], "-V", "--version")) {
        std::fputs("Velmora " VELMORA_VERSION "\n", stdout);
        return 0;
    }
    // The first argument that is unknown, or known but not alone; one line,
    // so that a launcher's log shows it whole.
    const auto known = [](const char *argument) {
        return isOption(argument, "-h", "--help") || isOption(argument, "-V", "--version");
    };
    int wrong = 1;
    while (wrong < argc - 1 && known(argv[wrong]))
        ++wrong;
    const char *argument = argv[wrong];
    const char *what = known(argument) ? "opzione da usare da sola"
        : argument[0] == '-'           ? "opzione sconosciuta"
                                       : "argomento non previsto";
    std::fprintf(stderr, "velmora: %s «%s»; per l'elenco delle opzioni: velmora --help\n", what, argument);
    return 2;
}

// Without a display Qt would abort with a platform-plugin error; say what to do instead.
bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// The window of the program while its event loop runs.
const FormHost *g_running = nullptr;

// Ending through the window saves the pupil's work first. The event loop may
// end without it, and when the display goes away (the X server of a session
// that logs out) Qt ends the program with exit() from inside the loop: the
// work is saved then, a failure written to stderr, as no window is left.
void saveWhatTheWindowDidNot()
{
    if (g_running && !g_running->isEnding())
        saveUnsavedRecordOrTell(nullptr);
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

int main(int argc, char **argv)
{
    if (const int code = answerCommandLine(argc, argv); code >= 0)
        return code;
    if (!displayAvailable()) {
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
    useItalianDialogs(app);
    FlatButtonStyle::install();
    KeyRepeatGuard::install();
    // The program names the fonts of its design; these are the installed faces that match them.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));

    appState().ApplicationFolder = findApplicationFolder(QCoreApplication::applicationDirPath());

    Velmora velmora;
    if (!velmora.Main())
        return 0;
    g_running = velmora.host();
    std::atexit(saveWhatTheWindowDidNot);
    const int code = app.exec();
    saveWhatTheWindowDidNot();
    g_running = nullptr;
    return code;
}
