#include "app/startup.h"
#include "layout/flatbuttonstyle.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace {

// Without a display Qt would abort with a platform-plugin error; say what to do instead.
bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
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
    useItalianDialogs(app);
    FlatButtonStyle::install();
    KeyRepeatGuard::install();
    // The program names the fonts of its design; these are the installed faces that match them.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));

    appState().ApplicationFolder = findApplicationFolder(QCoreApplication::applicationDirPath());

    Velmora velmora;
    if (!velmora.Main())
        return 0;
    return app.exec();
}
