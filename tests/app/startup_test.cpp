#include "fakes.h"
#include "testenv.h"

#include "app/catalogue.h"
#include "app/commandline.h"
#include "app/formavvio.h"
#include "app/program.h"
#include "app/startup.h"
#include "exercises/exercisewindow.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "settings/settingsfolders.h"
#include "settings/settingsnotice.h"
#include "state/appstate.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QByteArray kReadMe
    = "Questa cartella contiene i files di impostazione dei programmi presenti nel sito Velmora.\r\n"
      " \r\n"
      "Se qualche programma presenta problemi di funzionamento pu\xF2 essere utile cancellare "
      "il file *.ini relativo al programma in quata cartella.\r\n"
      " \r\n"
      "Non cancellare questo file.\r\n";

TEST(SettingsFolders, FirstStartCreatesAllFourWithTheReadMe)
{
    RecordedDialogs dialogs;
    ASSERT_FALSE(QFileInfo::exists(SettingsFolders::settingsRoot()));
    createSettingsFolders();
    for (const QString &folder : SettingsFolders::all())
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);
    EXPECT_TRUE(dialogs.messages().isEmpty());
}

TEST(SettingsFolders, ExistingFoldersAreLeftUntouched)
{
    RecordedDialogs dialogs;
    createSettingsFolders();
    TestEnv::writeFile(SettingsFolders::readMePath(), "edited by the teacher");
    createSettingsFolders();
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), "edited by the teacher");

    // With some missing, only those are made, and the read-me is written again.
    QDir(SettingsFolders::dataFolder()).removeRecursively();
    createSettingsFolders();
    EXPECT_TRUE(QFileInfo(SettingsFolders::dataFolder()).isDir());
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);
}

TEST(SettingsFolders, AFolderThatCannotBeMadeIsReportedOnceAndStartUpGoesOn)
{
    RecordedDialogs dialogs;
    QDir().mkpath(SettingsFolders::settingsRoot());
    // A file where the program's folder should be: no folder can be made below it.
    TestEnv::writeFile(SettingsFolders::programSettingsFolder().chopped(1), "x");
    createSettingsFolders();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("non potranno essere salvate")));
}

TEST(CursiveFont, InstalledOnceWithAMessageThenSilently)
{
    RecordedDialogs dialogs;
    const QString installed = fontsParentFolder() + QStringLiteral("fonts/indis1.ttf");
    EXPECT_TRUE(fontsParentFolder().endsWith(u'/'));
    ASSERT_FALSE(fileExists(installed));

    installCursiveFont();
    EXPECT_TRUE(fileExists(installed));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().startsWith(QStringLiteral(
        "Ho installato il font per il corsivo 'indis1.ttf'\r\n ----------------------- \r\n")));
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Indis1")));

    installCursiveFont();
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST(CursiveFont, AMissingFontFileIsReportedAndStartUpGoesOn)
{
    RecordedDialogs dialogs;
    appState().ApplicationFolder = TestEnv::makeFolder(QStringLiteral("empty-program-folder"));
    installCursiveFont();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().startsWith(QStringLiteral("Non ho potuto installare")));
    EXPECT_FALSE(fileExists(fontsParentFolder() + QStringLiteral("fonts/indis1.ttf")));
}

TEST(Files, WildcardsMatchOrdinaryFilesOnly)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("files"));
    TestEnv::writeFile(folder + QStringLiteral("/.hidden.ttf"), "x");
    QDir().mkdir(folder + QStringLiteral("/folder.ttf"));
    EXPECT_FALSE(fileExists(folder + QStringLiteral("/*.ttf")));
    TestEnv::writeFile(folder + QStringLiteral("/a.ttf"), "x");
    EXPECT_TRUE(fileExists(folder + QStringLiteral("/*.ttf")));
    EXPECT_FALSE(fileExists(folder + QStringLiteral("/b.ttf")));
}

TEST(CommandLine, QtsOwnOptionsAreLeftToQtAndOnlyUnknownOnesAreRefused)
{
    using CommandLine::Request;
    const auto read
        = [](const QString &line) { return CommandLine::read(line.split(u' ', Qt::SkipEmptyParts)); };
    for (const QString &line :
        {QString(), QStringLiteral("-platform offscreen"), QStringLiteral("--platform xcb -display :1"),
            QStringLiteral("-style fusion -reverse"), QStringLiteral("--style=fusion --reverse"),
            QStringLiteral("-geometry 800x600+0+0 -qwindowgeometry 640x480"),
            QStringLiteral("-font Arial -stylesheet a.qss -session 1 -name velmora -title Velmora"),
            QStringLiteral("-qwindowtitle Velmora -qwindowicon a.png -platformtheme gtk3 -widgetcount")}) {
        const CommandLine::Reading reading = read(line);
        EXPECT_EQ(reading.request, Request::Start)
            << line.toStdString() << ": " << reading.refusal.toStdString();
    }
    EXPECT_TRUE(read(QStringLiteral("-platform offscreen")).namesDisplay);
    EXPECT_TRUE(read(QStringLiteral("--display :1")).namesDisplay);
    EXPECT_FALSE(read(QStringLiteral("-style fusion")).namesDisplay);

    // The program's own options, alone or among Qt's.
    EXPECT_EQ(read(QStringLiteral("-reverse --help")).request, Request::Help);
    EXPECT_EQ(read(QStringLiteral("-V -platform offscreen")).request, Request::Version);
    // A value is taken as it comes, even one that looks like an option.
    EXPECT_EQ(read(QStringLiteral("-title --help")).request, Request::Start);

    const QList<std::pair<QString, QString>> refused = {
        {QStringLiteral("-style fusion --fullscreen"), QStringLiteral("opzione sconosciuta «--fullscreen»")},
        {QStringLiteral("-platform=xcb"), QStringLiteral("opzione sconosciuta «-platform=xcb»")},
        {QStringLiteral("-reverse parole.txt"), QStringLiteral("argomento non previsto «parole.txt»")},
        {QStringLiteral("-reverse -display"), QStringLiteral("manca il valore dell'opzione «-display»")},
        {QStringLiteral("--version -reverse --help"), QStringLiteral("opzione da usare da sola «--help»")},
    };
    for (const auto &[line, why] : refused) {
        const CommandLine::Reading reading = read(line);
        EXPECT_EQ(reading.request, Request::Refuse) << line.toStdString();
        EXPECT_EQ(reading.refusal,
            QStringLiteral("velmora: %1; per l'elenco delle opzioni: velmora --help").arg(why));
    }
}

TEST(Startup, ApplicationFolderIsBesideTheExecutableOrUnderShare)
{
    const QString prefix = TestEnv::makeFolder(QStringLiteral("prefix"));
    QDir().mkpath(prefix + QStringLiteral("/bin"));
    QDir().mkpath(prefix + QStringLiteral("/share/velmora/suoni"));
    EXPECT_EQ(
        findApplicationFolder(prefix + QStringLiteral("/bin")), prefix + QStringLiteral("/share/velmora"));
    QDir().mkpath(prefix + QStringLiteral("/bin/suoni"));
    EXPECT_EQ(findApplicationFolder(prefix + QStringLiteral("/bin")), prefix + QStringLiteral("/bin"));
}

TEST(Startup, MainShowsTheStartWindowAndItsButtonLeadsOn)
{
    RecordedDialogs dialogs;
    Velmora velmora(&linkedProgram);
    ASSERT_TRUE(velmora.start());
    EXPECT_EQ(appState().UserName, QStringLiteral("_predefinito"));
    EXPECT_EQ(appState().AgentLanguageId, QStringLiteral("&H410"));
    EXPECT_TRUE(appState().ProfilePath.endsWith(QStringLiteral("/Velmora/utenti/_predefinito.INI")));
    EXPECT_TRUE(QFileInfo(SettingsFolders::usersFolder()).isDir());
    EXPECT_EQ(appState().Settings, ProfileSettings{}) << "no profile yet: the defaults";

    FormHost *host = velmora.host();
    ASSERT_TRUE(host->isVisible());
    auto *start = qobject_cast<FormAvvio *>(host->currentForm());
    ASSERT_TRUE(start);
    EXPECT_EQ(start->geometry(), host->rect());
    EXPECT_EQ(start->startButton()->text(), QStringLiteral("Avvio"));
    EXPECT_TRUE(start->startButton()->font().bold());
    EXPECT_EQ(start->startButton()->font().pointSize(), 18);

    // A second start while this one runs gets no window.
    Velmora second(&linkedProgram);
    EXPECT_FALSE(second.start());
    EXPECT_EQ(second.host(), nullptr);

    QTest::mouseClick(start->startButton(), Qt::LeftButton);
    EXPECT_EQ(host->currentForm()->formName(), QStringLiteral("FormMenu"));
}

TEST(Startup, WithoutTheRestOfTheProgramTheStartButtonSaysWhyAndTheProgramEnds)
{
    RecordedDialogs dialogs;
    Velmora velmora([](QString *error) -> const ProgramParts * {
        *error = QStringLiteral("manca una parte del programma, /x/velmora-program.so (not found).");
        return nullptr;
    });
    ASSERT_TRUE(velmora.start());
    auto *start = qobject_cast<FormAvvio *>(velmora.host()->currentForm());
    ASSERT_TRUE(start) << "the start window needs none of it";
    const qsizetype before = dialogs.messages().size();
    const TestEnv::ExpectedError noMenu(QStringLiteral("no form is registered as FormMenu"));
    QTest::mouseClick(start->startButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), before + 1);
    EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral(
        "Velmora non può andare avanti: manca una parte del programma, /x/velmora-program.so")));
    EXPECT_EQ(velmora.host()->currentForm(), start);
    QTRY_VERIFY(velmora.host()->isEnding());
}

TEST(Startup, TheFixedBackgroundIsUsedWhenTheProfileSaysSo)
{
    appState().Settings.RandomBackground = false;
    appState().Settings.BackgroundColour = 8454016;
    FormHost host;
    registerForms(host);
    Form *start = host.showForm(QStringLiteral("FormAvvio"));
    EXPECT_EQ(start->backgroundColour(), QColor(0x80, 0xFF, 0x80));
}

TEST(Startup, EveryFormNameHasItsFormAndEveryMenuItsWayBack)
{
    FormHost host;
    registerForms(host);
    QStringList names;
    for (const QLatin1String name : FormName::kAll)
        names << name;
    names.sort();
    EXPECT_EQ(host.formNames(), names) << "one form for each name, and no form without one";

    // An exercise goes back to its topic menu by the marker the menu left.
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
        EXPECT_TRUE(names.contains(menu.formName)) << menu.formName.toStdString();
        EXPECT_EQ(ExerciseWindow::topicMenuFor(menu.marker), menu.formName);
    }
}

TEST(SettingsNotice, AFailedSaveIsToldOnceAndTheSettingsStayInMemory)
{
    RecordedDialogs dialogs;
    appState().ProfilePath = TestEnv::home() + QStringLiteral("/no/such/folder/anna.ini");
    appState().Settings.TextFontSize = 40;
    EXPECT_FALSE(saveSettingsOrWarn(nullptr));
    EXPECT_FALSE(saveSettingsOrWarn(nullptr));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().startsWith(QStringLiteral("Non è stato possibile salvare")));
    EXPECT_EQ(appState().Settings.TextFontSize, 40);
}

} // namespace
