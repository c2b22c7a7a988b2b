#include "commandline.h"

#include <algorithm>

namespace CommandLine {

namespace {

// The options QApplication takes out of the command line on X11 (Qt 6.4),
// each also with two dashes.
const QStringList kWithValue = {QStringLiteral("platform"), QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"), QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"),
    QStringLiteral("geometry"), QStringLiteral("qwindowtitle"), QStringLiteral("title"),
    QStringLiteral("qwindowicon"), QStringLiteral("icon"), QStringLiteral("display"), QStringLiteral("name"),
    QStringLiteral("visual"), QStringLiteral("style"), QStringLiteral("stylesheet"),
    QStringLiteral("session"), QStringLiteral("qmljsdebugger"),
    // The X toolkit's font option: Qt 6 no longer reads it, but launchers
    // written for older Qt programs still pass it.
    QStringLiteral("font")};
const QStringList kWithAttachedValue
    = {QStringLiteral("style="), QStringLiteral("stylesheet="), QStringLiteral("qmljsdebugger=")};
const QStringList kAlone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
    QStringLiteral("testability"), QStringLiteral("nograb"), QStringLiteral("dograb"),
    QStringLiteral("qdebug"), QStringLiteral("qdevel")};

QString refusal(const QString &what, const QString &argument)
{
    return QStringLiteral("velmora: %1 «%2»; per l'elenco delle opzioni: velmora --help").arg(what, argument);
}

Reading refused(const QString &what, const QString &argument)
{
    Reading reading;
    reading.request = Request::Refuse;
    reading.refusal = refusal(what, argument);
    return reading;
}

Request ownOption(const QString &argument)
{
    if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
        return Request::Help;
    if (argument == QLatin1String("-V") || argument == QLatin1String("--version"))
        return Request::Version;
    return Request::Refuse;
}

} // namespace

Reading read(const QStringList &arguments)
{
    Reading reading;
    QStringList own;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (ownOption(argument) != Request::Refuse) {
            own << argument;
            continue;
        }
        if (!argument.startsWith(u'-'))
            return refused(QStringLiteral("argomento non previsto"), argument);
        const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        if (kWithValue.contains(name)) {
            if (++i == arguments.size())
                return refused(QStringLiteral("manca il valore dell'opzione"), argument);
            if (name == QLatin1String("platform") || name == QLatin1String("display"))
                reading.namesDisplay = true;
        } else if (!kAlone.contains(name)
            && std::none_of(kWithAttachedValue.cbegin(), kWithAttachedValue.cend(),
                [&name](const QString &option) { return name.startsWith(option); })) {
            return refused(QStringLiteral("opzione sconosciuta"), argument);
        }
    }
    if (own.size() > 1)
        return refused(QStringLiteral("opzione da usare da sola"), own.constLast());
    if (!own.isEmpty())
        reading.request = ownOption(own.constFirst());
    return reading;
}

} // namespace CommandLine
