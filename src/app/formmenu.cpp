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

    m_combo1 = addControl(new UserList, QRect(6120, 2760, 2655, 315));
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setAccessibleName(QStringLiteral("Elenco degli utenti"));
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.25);
    m_combo1->setFont(small);
    connect(m_combo1, &QComboBox::activated, this, &FormMenu::Combo1_Click);

    QMenuBar *bar = menuBar();
    m_mnuConfig = bar->addAction(QStringLiteral("Configurazione"));
    m_mnuConfig->setObjectName(QStringLiteral("mnuConfig"));
    connect(m_mnuConfig, &QAction::triggered, this, [this] { showForm(FormName::kConfiguration); });
    m_mnuEsesrciziEseguiti = bar->addAction(QStringLiteral("Esercizi eseguiti"));
    m_mnuEsesrciziEseguiti->setObjectName(QStringLiteral("mnuEsesrciziEseguiti"));
    connect(m_mnuEsesrciziEseguiti, &QAction::triggered, this, [this] { showForm(FormName::kRecord); });
    QMenu *info = bar->addMenu(QStringLiteral("Informazioni"));
    info->setObjectName(QStringLiteral("mnuInfo"));
    m_mnuDocum = info->addAction(QStringLiteral("documentazione"));
    m_mnuDocum->setObjectName(QStringLiteral("mnuDocum"));
    connect(m_mnuDocum, &QAction::triggered, this, [this] { ApriDocumento(this, manualPath()); });
    m_mnuAbout = info->addAction(QStringLiteral("about"));
    m_mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(m_mnuAbout, &QAction::triggered, this, [this] { showForm(FormName::kAbout); });
}

void FormMenu::formLoad()
{
    m_loadedUserName = appState().UserName;
    updateRecordEntry();
}

void FormMenu::Command1_Click(int index)
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

void FormMenu::Combo1_Click(int index)
{
    // The list may show names in capitals; the profile keeps its own spelling.
    const QString chosen = m_combo1->itemData(index).toString();
    AppState &state = appState();
    // The user being left keeps the settings in force, and the work done,
    // which the record forgets below.
    saveSettingsOrWarn(this);
    if (chosen != state.UserName)
        saveUnsavedRecordOrTell(this);
    const ProfileSettings before = state.Settings;
    state.UserName = chosen;
    state.ProfilePath = ProfileFiles::pathFor(chosen);
    CaricaImpostazioni();
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
    FillUserList();
}

void FormMenu::FillUserList()
{
    const ProfileSettings &settings = appState().Settings;
    updateRecordEntry();

    QFont font(settings.TextFontName);
    font.setPointSize(qMax(14, button(0)->font().pointSize() - 10));
    m_combo1->setFont(font);

    const QSignalBlocker blocker(m_combo1);
    m_combo1->clear();
    const bool capitals = settings.capitals();
    for (const QString &name : ProfileFiles::userNames())
        m_combo1->addItem(capitals ? name.toUpper() : name, name);
    m_combo1->setVisible(m_combo1->count() >= 2);
    // The list selects its first entry by itself. For a current user without
    // an entry it would name a user whose settings are not in force.
    m_combo1->setCurrentIndex(-1);

    tellOfUnreadableProfiles();

    const QString current = appState().UserName.toUpper();
    for (int i = 0; i < m_combo1->count(); ++i) {
        if (m_combo1->itemText(i).toUpper() == current) {
            m_combo1->setCurrentIndex(i);
            // Choosing the entry is the same as the user choosing it: the
            // settings in force are saved and the profile read again.
            Combo1_Click(i);
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
            .arg(QDir::toNativeSeparators(SettingsFolders::UsersFolder()),
                names.join(QStringLiteral("\r\n"))));
}

void FormMenu::updateRecordEntry()
{
    m_mnuEsesrciziEseguiti->setVisible(appState().Settings.KeepActivityRecord);
}
