#include "formmenu.h"

#include "catalogue.h"
#include "documents.h"
#include "settingsnotice.h"

#include "feedback/colours.h"
#include "layout/formhost.h"
#include "records/activityrecord.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

constexpr int kExitIndex = 8;

} // namespace

FormMenu::FormMenu(QWidget *parent)
    : Form(QStringLiteral("FormMenu"), QSize(9030, 5040), parent)
{
    const QList<QPoint> places = {{120, 240}, {120, 1440}, {120, 2640}, {120, 3840}, {3120, 240},
        {3120, 1440}, {3120, 2640}, {3120, 3840}, {6120, 3840}};
    QStringList captions;
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus())
        captions << menu.mainMenuCaption;
    captions << QStringLiteral("Esci");

    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(27.75);
    for (int i = 0; i < places.size(); ++i) {
        auto *button = addControl(new QPushButton(captions[i]), QRect(places[i], QSize(2800, 1000)));
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        button->setFont(font);
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        m_command1 << button;
    }

    m_combo1 = addControl(new QComboBox, QRect(6120, 2760, 2655, 315));
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(8.25);
    m_combo1->setFont(small);
    connect(m_combo1, &QComboBox::activated, this, &FormMenu::Combo1_Click);

    QMenuBar *bar = menuBar();
    m_mnuConfig = bar->addAction(QStringLiteral("Configurazione"));
    m_mnuConfig->setObjectName(QStringLiteral("mnuConfig"));
    connect(m_mnuConfig, &QAction::triggered, this, [this] { showForm(QStringLiteral("FormConfigura")); });
    m_mnuEsesrciziEseguiti = bar->addAction(QStringLiteral("Esercizi eseguiti"));
    m_mnuEsesrciziEseguiti->setObjectName(QStringLiteral("mnuEsesrciziEseguiti"));
    connect(m_mnuEsesrciziEseguiti, &QAction::triggered, this,
        [this] { showForm(QStringLiteral("FormEserciziEseguiti")); });
    QMenu *info = bar->addMenu(QStringLiteral("Informazioni"));
    info->setObjectName(QStringLiteral("mnuInfo"));
    m_mnuDocum = info->addAction(QStringLiteral("documentazione"));
    m_mnuDocum->setObjectName(QStringLiteral("mnuDocum"));
    connect(m_mnuDocum, &QAction::triggered, this, [this] { ApriDocumento(this, manualPath()); });
    m_mnuAbout = info->addAction(QStringLiteral("about"));
    m_mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(m_mnuAbout, &QAction::triggered, this, [this] { showForm(QStringLiteral("FormInfo")); });
}

void FormMenu::formLoad()
{
    m_loadedUserName = appState().UserName;
    m_scanIndex = 0;
    updateRecordEntry();
}

void FormMenu::formActivate()
{
    for (QPushButton *button : std::as_const(m_command1)) {
        setButtonColour(button, appState().Settings.ButtonColour);
        button->setCursor(buttonPointer());
    }
    setBackgroundColour(windowBackgroundColour());
    FillUserList();
}

void FormMenu::Command1_Click(int index)
{
    if (index == kExitIndex) {
        // Ends at once; the profile is not written.
        if (host())
            host()->endProgram();
        return;
    }
    ActivityRecord::addCaption(m_command1[index]->text());
    showForm(Catalogue::topicMenus()[index].formName);
}

void FormMenu::Combo1_Click(int index)
{
    const QString chosen = m_combo1->itemText(index);
    AppState &state = appState();
    // The user being left keeps the settings in force.
    saveSettingsOrWarn(this);
    state.UserName = chosen;
    state.ProfilePath = ProfileFiles::pathFor(chosen);
    CaricaImpostazioni();
    updateRecordEntry();
    if (state.UserName != m_loadedUserName)
        ActivityRecord::clear();
    FillUserList();
}

void FormMenu::FillUserList()
{
    const QStringList users = ProfileFiles::userNames();
    m_combo1->clear();
    m_combo1->addItems(users);
    const QString current = appState().UserName;
    int index = -1;
    for (int i = 0; i < users.size(); ++i) {
        if (users[i].compare(current, Qt::CaseInsensitive) == 0)
            index = i;
    }
    m_combo1->setCurrentIndex(index);
}

void FormMenu::updateRecordEntry()
{
    m_mnuEsesrciziEseguiti->setVisible(appState().Settings.KeepActivityRecord);
}
