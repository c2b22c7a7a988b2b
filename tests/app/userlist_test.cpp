#include "fakes.h"
#include "programwindow.h"
#include "testenv.h"

#include "app/formmenu.h"
#include "app/program.h"
#include "app/startup.h"
#include "layout/formhost.h"
#include "records/activityrecord.h"
#include "scanning/menuscanning.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The list of users on the main menu: one entry per profile in the users folder.
class UserListTest : public ::testing::Test
{
protected:
    void SetUp() override { setUpProgramWindow(host); }

    static void become(const QString &name)
    {
        appState().UserName = name;
        appState().ProfilePath = ProfileFiles::pathFor(name);
    }

    // The settings in force become the profile of name.
    static void saveAs(const QString &name)
    {
        const QString path = appState().ProfilePath;
        appState().ProfilePath = ProfileFiles::pathFor(name);
        EXPECT_TRUE(saveSettings());
        appState().ProfilePath = path;
    }

    FormMenu *showMenu()
    {
        auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
        menu->fitButtonFont();
        return menu;
    }

    RecordedDialogs dialogs;
    FormHost host;
};

TEST_F(UserListTest, ShowsEveryProfileAndSelectsTheCurrentUser)
{
    AppState &state = appState();
    state.Settings.LetterCase = QStringLiteral("maiuscolo");
    become(QStringLiteral("anna"));
    saveAs(QStringLiteral("anna"));
    FormMenu *menu = showMenu();
    EXPECT_FALSE(menu->userList()->isVisibleTo(menu)) << "one profile: no list";

    saveAs(QStringLiteral("Luca"));
    ActivityRecord::clear();
    ActivityRecord::addCaption(QStringLiteral("Uso  h"));

    menu = showMenu();
    QComboBox *users = menu->userList();
    EXPECT_TRUE(users->isVisibleTo(menu));
    ASSERT_EQ(users->count(), 2);
    EXPECT_EQ(users->itemText(0), QStringLiteral("ANNA"));
    EXPECT_EQ(users->itemText(1), QStringLiteral("LUCA"));
    EXPECT_EQ(users->currentIndex(), 0);
    EXPECT_EQ(state.UserName, QStringLiteral("anna")) << "the profile keeps its own spelling";
    EXPECT_EQ(state.CaptionTrailCount, 1) << "the same user keeps the record";
    EXPECT_EQ(users->font().pointSize(), qMax(14, menu->button(0)->font().pointSize() - 10));
    EXPECT_FALSE(menu->fontFitPending()) << "selecting the user does not start the step again";
}

TEST_F(UserListTest, ACurrentUserWithoutAProfileHasNoEntrySelectedAndAnyEntryCanBeChosen)
{
    AppState &state = appState();
    ProfileSettings anna;
    anna.TextFontSize = 40;
    state.Settings = anna;
    saveAs(QStringLiteral("anna"));
    state.Settings = {};
    saveAs(QStringLiteral("luca"));
    become(QStringLiteral("_predefinito"));
    ActivityRecord::addCaption(QStringLiteral("Uso  h"));

    FormMenu *menu = showMenu();
    QComboBox *users = menu->userList();
    ASSERT_EQ(users->count(), 2);
    EXPECT_EQ(users->currentIndex(), -1);
    EXPECT_TRUE(users->currentText().isEmpty());
    EXPECT_EQ(state.UserName, QStringLiteral("_predefinito"));
    EXPECT_EQ(state.Settings, ProfileSettings{});
    EXPECT_EQ(state.CaptionTrailCount, 1);

    // The first entry, which the list used to show unasked, is chosen as any other.
    users->activated(0);
    EXPECT_EQ(state.UserName, QStringLiteral("anna"));
    EXPECT_EQ(state.Settings, anna);
    EXPECT_EQ(state.CaptionTrailCount, 0) << "another user: the record starts afresh";
    EXPECT_TRUE(menu->fontFitPending());
    menu->fitButtonFont();
    EXPECT_EQ(users->currentText(), QStringLiteral("anna"));
}

} // namespace

namespace {

TEST_F(UserListTest, ThePupilLeftKeepsTheWorkTheRecordForgets)
{
    AppState &state = appState();
    saveAs(QStringLiteral("luca"));
    state.Settings.KeepActivityRecord = true;
    saveAs(QStringLiteral("anna"));
    become(QStringLiteral("anna"));
    ActivityRecord::addCaption(QStringLiteral("Uso  h"));
    ActivityRecord::addItem(QStringLiteral("_ casa"));

    FormMenu *menu = showMenu();
    ASSERT_EQ(menu->userList()->count(), 2);
    menu->userList()->activated(1);
    EXPECT_EQ(state.UserName, QStringLiteral("luca"));
    EXPECT_EQ(state.CaptionTrailCount, 0);
    const QDir annasFolder(SettingsFolders::dataFolder() + QStringLiteral("anna"));
    const QStringList saved = annasFolder.entryList({QStringLiteral("*.rtf")}, QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(TestEnv::readFile(annasFolder.filePath(saved.first())).contains("_ casa"));
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

} // namespace

namespace {

TEST_F(UserListTest, ThePupilChosenWorksTheMenuAtOnce)
{
    AppState &state = appState();
    saveAs(QStringLiteral("anna"));
    ProfileSettings luca;
    luca.setInputMode(InputMode::Automatic);
    luca.ScanInterval = 8;
    luca.LetterCase = QStringLiteral("maiuscolo");
    luca.ButtonColour = 0x00FF00;
    state.Settings = luca;
    saveAs(QStringLiteral("luca"));
    state.Settings = {};
    become(QStringLiteral("anna"));

    FormMenu *menu = showMenu();
    const QString caption = menu->button(0)->text();
    EXPECT_FALSE(menu->scanning()->timer().isActive());
    menu->userList()->activated(1);
    EXPECT_TRUE(menu->scanning()->timer().isActive()) << "the switch pupil scans without another window";
    EXPECT_EQ(menu->scanning()->timer().interval(), 2000);
    EXPECT_EQ(menu->button(0)->palette().color(QPalette::Button), QColor(Qt::green));
    menu->fitButtonFont();
    EXPECT_EQ(menu->button(0)->text(), caption.toUpper());

    menu->userList()->activated(0);
    EXPECT_FALSE(menu->scanning()->timer().isActive()) << "the mouse pupil is not scanned";
    menu->fitButtonFont();
    EXPECT_EQ(menu->button(0)->text(), caption);
}

} // namespace
