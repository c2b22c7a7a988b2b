#include "privatehome.h"

#include <QDir>
#include <QFile>

namespace {

// The system's shared data folders as the process found them, before any
// private home was entered: each home puts its own before these.
QString systemDataFolders()
{
    static const QString folders = qEnvironmentVariableIsEmpty("XDG_DATA_DIRS")
        ? QStringLiteral("/usr/local/share:/usr/share")
        : qEnvironmentVariable("XDG_DATA_DIRS");
    return folders;
}

} // namespace

PrivateHome::PrivateHome(const QString &name)
    : m_folder(QDir::tempPath() + u'/' + name + QStringLiteral("-XXXXXX"))
{
    if (!isValid())
        return;
    for (const QString &folder : {dataHome(), configHome(), cacheHome(), runtimeDir()})
        QDir().mkpath(folder);
    QFile::setPermissions(
        runtimeDir(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString PrivateHome::path() const
{
    return m_folder.path();
}

QString PrivateHome::dataHome() const
{
    return path() + QStringLiteral("/.local/share");
}

QString PrivateHome::configHome() const
{
    return path() + QStringLiteral("/.config");
}

QString PrivateHome::cacheHome() const
{
    return path() + QStringLiteral("/.cache");
}

QString PrivateHome::runtimeDir() const
{
    return path() + QStringLiteral("/run");
}

QString PrivateHome::fontsFolder() const
{
    return dataHome() + QStringLiteral("/fonts");
}

QString PrivateHome::sharedDataFolder() const
{
    return path() + QStringLiteral("/share");
}

QString PrivateHome::usersFolder() const
{
    return dataHome() + QStringLiteral("/ImpostazioniProgrammiZerla/Velmora/utenti/");
}

QString PrivateHome::recordsFolder() const
{
    return dataHome() + QStringLiteral("/ImpostazioniProgrammiZerla/Velmora/dati/");
}

QProcessEnvironment PrivateHome::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("HOME"), path());
    base.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    base.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    base.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome());
    base.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
    base.insert(QStringLiteral("XDG_DATA_DIRS"), sharedDataFolder() + u':' + systemDataFolders());
    return base;
}

void PrivateHome::enter() const
{
    const QProcessEnvironment here = environment(QProcessEnvironment());
    for (const QString &name : here.keys())
        qputenv(name.toLocal8Bit().constData(), here.value(name).toLocal8Bit());
}
