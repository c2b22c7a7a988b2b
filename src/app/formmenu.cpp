#include "formmenu.h"

#include "catalogue.h"
#include "documents.h"
#include "recordonexit.h"

#include "feedback/colours.h"
#include "layout/dialogs.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "records/activityrecord.h"
#include "scanning/menuscanning.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "settings/settingsnotice.h"
#include "state/appstate.h"
#include "state/logcategories.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr int kExitIndex = 8;

// The list of users, telling the log where each entry of its open list stands.
class UserList : public QComboBox
{
public:
    void showPopup() override
    {
        QComboBox::showPopup();
        if (!lcForms().isDebugEnabled())
            return;
        for (int i = 0; i < count(); ++i) {
            const QRect entry = view()->visualRect(model()->index(i, 0));
            const QPoint at = view()->viewport()->mapToGlobal(entry.topLeft());
            qCDebug(lcForms, "control %s/%s at %d,%d size %dx%d", qPrintable(objectName()),
                qPrintable(itemData(i).toString()), at.x(), at.y(), entry.width(), entry.height());
        }
    }
};

} // namespace

FormMenu::FormMenu(QWidget *parent)
    : MenuForm(FormName::kMainMenu, QSize(9030, 5040), parent)
{
    const QList<QPoint> places = {{120, 240}, {120, 1440}, {120, 2640}, {120, 3840}, {3120, 240},
        {3120, 1440}, {3120, 2640}, {3120, 3840}, {6120, 3840}};
    QStringList captions;
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus())
        captions << menu.mainMenuCaption;
    captions << QStringLiteral("Esci");

    for (int i = 0; i < places.size(); ++i)
        addMenuButton(captions[i], QRect(places[i], QSize(2800, 1000)));
    enableScanning();

    m_userList = addControl(new UserList, QRect(6120, 2760, 2655, 315));
    m_userList->setObjectName(QStringLiteral("Combo1"));
    m_userList->setAccessibleName(QStringLiteral("Elenco degli utenti"));
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.25);
    m_userList->setFont(small);
    connect(m_userList, &QComboBox::activated, this, &FormMenu::onUserChosen);

    QMenuBar *bar = menuBar();
    m_configurationAction = bar->addAction(QStringLiteral("Configurazione"));
    m_configurationAction->setObjectName(QStringLiteral("mnuConfig"));
    connect(m_configurationAction, &QAction::triggered, this, [this] { showForm(FormName::kConfiguration); });
    m_recordAction = bar->addAction(QStringLiteral("Esercizi eseguiti"));
    m_recordAction->setObjectName(QStringLiteral("mnuEsesrciziEseguiti"));
    connect(m_recordAction, &QAction::triggered, this, [this] { showForm(FormName::kRecord); });
    m_progressAction = bar->addAction(QStringLiteral("Progressi"));
    m_progressAction->setObjectName(QStringLiteral("mnuProgressi"));
    connect(m_progressAction, &QAction::triggered, this, [this] { showForm(FormName::kProgress); });
    m_wordListsAction = bar->addAction(QStringLiteral("Liste di parole"));
    m_wordListsAction->setObjectName(QStringLiteral("mnuListe"));
    connect(m_wordListsAction, &QAction::triggered, this, [this] { showForm(FormName::kWordLists); });
    QMenu *info = bar->addMenu(QStringLiteral("Informazioni"));
    info->setObjectName(QStringLiteral("mnuInfo"));
    m_manualAction = info->addAction(QStringLiteral("documentazione"));
    m_manualAction->setObjectName(QStringLiteral("mnuDocum"));
    connect(m_manualAction, &QAction::triggered, this, [this] { openDocument(this, manualPath()); });
    m_aboutAction = info->addAction(QStringLiteral("about"));
    m_aboutAction->setObjectName(QStringLiteral("mnuAbout"));
    connect(m_aboutAction, &QAction::triggered, this, [this] { showForm(FormName::kAbout); });
}

void FormMenu::formLoad()
{
    m_loadedUserName = appState().UserName;
    updateRecordEntry();
}

void FormMenu::onButtonChosen(int index)
{
    if (index == kExitIndex) {
        // A pupil who scans may choose "Esci" with a press meant for the
        // button before it, so the pupil is asked first.
        if (scanning()->active())
            askWhileScanning(QStringLiteral("Vuoi uscire dal programma?"), [this] { endProgram(); });
        else
            endProgram();
        return;
    }
    ActivityRecord::addCaption(button(index)->text());
    showForm(Catalogue::topicMenus()[index].formName);
}

void FormMenu::endProgram()
{
    // The profile is not written; the host saves the pupil's work before the end.
    if (host())
        host()->endProgram();
}

void FormMenu::onUserChosen(int index)
{
    // The list may show names in capitals; the profile keeps its own spelling.
    const QString chosen = m_userList->itemData(index).toString();
    AppState &state = appState();
    // The user being left keeps the settings in force, and the work done,
    // which the record forgets below.
    saveSettingsOrWarn(this);
    if (chosen != state.UserName)
        saveUnsavedRecordOrTell(this);
    const ProfileSettings before = state.Settings;
    state.UserName = chosen;
    state.ProfilePath = ProfileFiles::pathFor(chosen);
    loadSettings();
    updateRecordEntry();
    if (state.UserName != m_loadedUserName)
        ActivityRecord::clear();
    // The pupil chosen works this menu at once: a switch user must not wait
    // for an adult to open another window.
    if (state.Settings != before)
        applySettings();
}

void FormMenu::afterFontFitted()
{
    fillUserList();
}

void FormMenu::fillUserList()
{
    const ProfileSettings &settings = appState().Settings;
    updateRecordEntry();

    QFont font(settings.TextFontName);
    font.setPointSize(qMax(14, button(0)->font().pointSize() - 10));
    m_userList->setFont(font);

    const QSignalBlocker blocker(m_userList);
    m_userList->clear();
    const bool capitals = settings.capitals();
    for (const QString &name : ProfileFiles::userNames())
        m_userList->addItem(capitals ? name.toUpper() : name, name);
    m_userList->setVisible(m_userList->count() >= 2);
    // The list selects its first entry by itself. For a current user without
    // an entry it would name a user whose settings are not in force.
    m_userList->setCurrentIndex(-1);

    tellOfUnreadableProfiles();

    const QString current = appState().UserName.toUpper();
    for (int i = 0; i < m_userList->count(); ++i) {
        if (m_userList->itemText(i).toUpper() == current) {
            m_userList->setCurrentIndex(i);
            // Choosing the entry is the same as the user choosing it: the
            // settings in force are saved and the profile read again.
            onUserChosen(i);
        }
    }
}

void FormMenu::tellOfUnreadableProfiles()
{
    AppState &state = appState();
    if (state.UnreadableProfilesShown)
        return;
    const QStringList names = ProfileFiles::unreadableNames();
    if (names.isEmpty())
        return;
    state.UnreadableProfilesShown = true;
    Dialogs::information(this,
        QStringLiteral("Nella cartella degli utenti %1 ci sono profili con un nome scritto in un "
                       "modo che il programma non sa leggere, per cui non compaiono nell'elenco degli "
                       "utenti:\r\n%2\r\nPer usarli, rinomina i loro file con lettere senza accenti.")
            .arg(QDir::toNativeSeparators(SettingsFolders::usersFolder()),
                names.join(QStringLiteral("\r\n"))));
}

void FormMenu::updateRecordEntry()
{
    m_recordAction->setVisible(appState().Settings.KeepActivityRecord);
}

#include "moc_formmenu.cpp"
