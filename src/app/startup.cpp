#include "startup.h"

#include "formavvio.h"
#include "instancelock.h"
#include "stopsignals.h"

#include "layout/dialogs.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "state/logcategories.h"
#include "state/random.h"
#include "state/startuptrace.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <cstdlib>

namespace {

const QString kFontFile = QStringLiteral("indis1.ttf");

QString installedFontPath()
{
    return fontsParentFolder() + QStringLiteral("fonts/") + kFontFile;
}

// The program whose work is saved if it ends by exit(), from inside the event loop.
const Velmora *g_running = nullptr;

void saveWhatTheWindowDidNot()
{
    if (g_running)
        g_running->saveUnsavedWork();
}

// Marks the first paint of any widget, then goes.
class FirstPaintMark : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            StartupTrace::mark("window painted");
            QCoreApplication::instance()->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

QString fontsParentFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    const QDir folder = info.absoluteDir();
    const QStringList found
        = folder.entryList(QStringList(info.fileName()), QDir::Files | QDir::NoDotAndDotDot);
    return !found.isEmpty();
}

void installCursiveFont()
{
    const QString source = appState().ApplicationFolder + u'/' + kFontFile;
    // Without a home the font folder would be made in the file-system root:
    // the running program alone gets the font.
    if (!SettingsFolders::hasHome()) {
        QFontDatabase::addApplicationFont(source);
        return;
    }
    const QString target = installedFontPath();
    // Installed on an earlier start: fontconfig finds it in the user's font folder.
    if (fileExists(target))
        return;

    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!QFile::copy(source, target)) {
        const QFileInfo installed(target);
        QString reason;
        if (!QFileInfo::exists(source))
            reason = QStringLiteral("il file %1 manca.").arg(QDir::toNativeSeparators(source));
        else if (installed.isSymLink())
            reason = QStringLiteral("%1 è un collegamento a un file che non c'è (%2); cancella il "
                                    "collegamento e riavvia il programma.")
                         .arg(QDir::toNativeSeparators(target),
                             QDir::toNativeSeparators(installed.symLinkTarget()));
        else if (installed.exists())
            reason = QStringLiteral("al posto del file %1 c'è qualcos'altro.")
                         .arg(QDir::toNativeSeparators(target));
        else
            reason = QStringLiteral("la cartella %1 non è scrivibile.")
                         .arg(QDir::toNativeSeparators(installed.absolutePath()));
        Dialogs::information(nullptr,
            QStringLiteral("Non ho potuto installare il font per il corsivo '%1': %2\r\n"
                           "Il programma funziona lo stesso, ma il corsivo "
                           "sarà scritto con un altro carattere.")
                .arg(kFontFile, reason));
        return;
    }
    // Copied after fontconfig looked at the folder: the running program is told itself.
    QFontDatabase::addApplicationFont(target);
    Dialogs::information(nullptr,
        QStringList{
            QStringLiteral("Ho installato il font per il corsivo 'indis1.ttf'"),
            QStringLiteral(" ----------------------- "),
            QStringLiteral("Il corsivo scolastico è distribuito con licenza SIL Open Font License 1.1."),
            QStringLiteral("Autori e licenza: file indis1-OFL.txt nella cartella del programma."),
        }
            .join(QStringLiteral("\r\n")));
}

void createSettingsFolders()
{
    QStringList failures;
    for (const QString &folder : SettingsFolders::all()) {
        QString error;
        if (pathExists(folder))
            error = SettingsFolders::whyNotOurFolder(folder);
        else
            createFolder(folder, &error);
        // A link high up is the reason for every folder below it: said once.
        if (!error.isEmpty() && !failures.contains(error))
            failures << error;
    }
    if (!failures.isEmpty()) {
        Dialogs::information(nullptr,
            QStringLiteral("Non riesco a preparare la cartella delle impostazioni:\r\n%1\r\n"
                           "Il programma funziona lo stesso, ma le impostazioni "
                           "non potranno essere salvate.")
                .arg(failures.join(QStringLiteral("\r\n"))));
    }
}

QString findApplicationFolder(const QString &executableFolder)
{
    const QDir beside(executableFolder);
    if (beside.exists(QStringLiteral("suoni")) || beside.exists(QStringLiteral("testidifort")))
        return beside.absolutePath();
    const QString installed = beside.absoluteFilePath(QStringLiteral("../share/velmora"));
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return beside.absolutePath();
}

Velmora::Velmora(PartsLoader loadParts)
    : m_loadParts(std::move(loadParts))
{ }

Velmora::~Velmora()
{
    if (g_running == this)
        g_running = nullptr;
}

bool Velmora::start()
{
    const QString lockPath = instanceLockPath();
    m_instanceLock = std::make_unique<InstanceLock>(lockPath);
    switch (m_instanceLock->tryLock()) {
    case InstanceLock::Result::HeldByAnother:
        // The running program comes to the front instead.
        InstanceDoor::knock(lockPath);
        return false;
    case InstanceLock::Result::Failed:
        Dialogs::information(nullptr,
            QStringLiteral("Non riesco a controllare se Velmora è già aperto: %1.\r\n"
                           "Il programma parte lo stesso.")
                .arg(m_instanceLock->error()));
        break;
    case InstanceLock::Result::Taken:
        m_door = std::make_unique<InstanceDoor>(lockPath);
        if (!m_door->open())
            qWarning("Velmora: a later start cannot bring this window to the front");
        break;
    }
    StartupTrace::mark("single instance");
    // Over a file-size limit the kernel would end the program in the middle
    // of a save; ignored, the write fails and the failure is told as usual.
    std::signal(SIGXFSZ, SIG_IGN);

    Random::seedFromClock();
    AppState &state = appState();
    state.AgentLanguageId = QStringLiteral("&H410");
    installCursiveFont();
    StartupTrace::mark("cursive font");
    state.ProfilePath = SettingsFolders::usersFolder() + QStringLiteral("_predefinito.INI");
    state.UserName = QStringLiteral("_predefinito");
    if (SettingsFolders::hasHome()) {
        createSettingsFolders();
        SettingsFolders::removeLeftovers();
    } else {
        Dialogs::information(nullptr, SettingsFolders::noHomeMessage());
        // Said once: every save that follows fails for the same reason.
        state.SettingsSaveFailureShown = true;
    }
    StartupTrace::mark("settings folders");
    loadSettings();
    StartupTrace::mark("profile read");

    m_host = std::make_unique<FormHost>();
    m_host->registerForm(FormName::kStart, [] { return new FormAvvio; });
    m_host->setLateForms([this] { loadProgram(); });
    if (m_door)
        QObject::connect(m_door.get(), &InstanceDoor::knocked, m_host.get(), &FormHost::bringToFront);
    m_stopSignals = std::make_unique<StopSignals>();
    QObject::connect(m_stopSignals.get(), &StopSignals::stopRequested, m_host.get(), &FormHost::endProgram);
    StartupTrace::mark("start window registered");
    m_host->showOnScreen();
    m_host->showForm(FormName::kStart);
    StartupTrace::mark("start window shown");
    if (lcStartup().isDebugEnabled())
        QCoreApplication::instance()->installEventFilter(new FirstPaintMark(m_host.get()));
    return true;
}

void Velmora::loadProgram()
{
    StartupTrace::mark("loading the rest of the program");
    QString error;
    m_parts = m_loadParts(&error);
    if (!m_parts) {
        Dialogs::information(m_host.get(),
            QStringLiteral("Velmora non può andare avanti: %1\r\nReinstalla il programma.").arg(error));
        QTimer::singleShot(0, m_host.get(), &FormHost::endProgram);
        return;
    }
    StartupTrace::mark("rest of the program loaded");
    m_parts->open(*m_host);
    // When the display goes away (the X server of a session that logs out)
    // Qt ends the program with exit() from inside the event loop: the work
    // is saved then, a failure written to stderr, as no window is left.
    // Registered now, this runs before the module's own objects are gone.
    if (!g_running)
        std::atexit(saveWhatTheWindowDidNot);
    g_running = this;
    StartupTrace::mark("rest of the forms registered");
}

void Velmora::saveUnsavedWork() const
{
    if (m_parts && m_host && !m_host->isEnding())
        m_parts->saveUnsavedWork(nullptr);
}
