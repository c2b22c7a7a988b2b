#include "fakes.h"
#include "testenv.h"

#include "app/formavvio.h"
#include "app/formmenu.h"
#include "app/instancelock.h"
#include "app/program.h"
#include "app/startup.h"
#include "exercises/exercisewindow.h"
#include "layout/formhost.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "settings/settingsnotice.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// The real start-up over a settings folder the test has prepared, up to the
// main menu.
class HardeningTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const QString &folder : SettingsFolders::all())
            QDir().mkpath(folder);
        // Installed already, so that no first-start message is in the way.
        const QString fonts = fontsParentFolder() + QStringLiteral("fonts");
        QDir().mkpath(fonts);
        QFile::copy(
            TestEnv::buildAppFolder() + QStringLiteral("/indis1.ttf"), fonts + QStringLiteral("/indis1.ttf"));
        Random::setSource([] { return 0.0; });
    }

    void TearDown() override { Random::setSource({}); }

    static QString profile() { return SettingsFolders::usersFolder() + QStringLiteral("_predefinito.ini"); }

    FormMenu *startToMainMenu()
    {
        EXPECT_TRUE(m_velmora.start());
        if (!m_velmora.host())
            return nullptr;
        m_velmora.host()->resize(1024, 768);
        auto *start = qobject_cast<FormAvvio *>(m_velmora.host()->currentForm());
        QTest::mouseClick(start->startButton(), Qt::LeftButton);
        auto *menu = qobject_cast<FormMenu *>(m_velmora.host()->currentForm());
        if (menu)
            menu->fitButtonFont();
        return menu;
    }

    QStringList messagesWith(const QString &words) const { return m_dialogs.messages().filter(words); }

    RecordedDialogs m_dialogs;
    RecordedSounds m_sounds;
    Velmora m_velmora{&linkedProgram};
};

TEST_F(HardeningTest, ADamagedProfileIsKeptBesideItAndToldOnceWhenTheMainMenuSaves)
{
    ProfileSettings switchUser;
    switchUser.setInputMode(InputMode::Automatic);
    const QByteArray damaged = Profile::serialize(switchUser).split('\n').mid(0, 23).join('\n') + '\n';
    TestEnv::writeFile(profile(), damaged);

    ASSERT_TRUE(startToMainMenu());
    EXPECT_EQ(TestEnv::readFile(profile() + QStringLiteral(".danneggiato")), damaged);
    ASSERT_EQ(messagesWith(QStringLiteral("danneggiato")).size(), 1);
    EXPECT_TRUE(messagesWith(QStringLiteral("danneggiato")).first().contains(QStringLiteral(".danneggiato")));
    EXPECT_EQ(TestEnv::readFile(profile()), Profile::serialize(ProfileSettings{}));

    // A later damage gets a copy of its own; the first one stays.
    TestEnv::writeFile(profile(), "rovinato");
    loadSettings();
    EXPECT_TRUE(saveSettingsOrWarn(nullptr));
    EXPECT_EQ(TestEnv::readFile(profile() + QStringLiteral(".danneggiato")), damaged);
    EXPECT_EQ(TestEnv::readFile(profile() + QStringLiteral(".danneggiato2")), QByteArray("rovinato"));
    EXPECT_EQ(messagesWith(QStringLiteral("danneggiato")).size(), 2);
    EXPECT_TRUE(saveSettingsOrWarn(nullptr));
    EXPECT_EQ(messagesWith(QStringLiteral("danneggiato")).size(), 2) << "a sound file is saved silently";
}

TEST_F(HardeningTest, LinksAreNeverWrittenThrough)
{
    const QString elsewhere = TestEnv::home() + QStringLiteral("/importante.txt");
    TestEnv::writeFile(elsewhere, "non toccare");
    ASSERT_TRUE(QFile::link(elsewhere, profile()));
    ASSERT_TRUE(QFile::link(elsewhere, SettingsFolders::readMePath()));
    QDir(SettingsFolders::dataFolder()).removeRecursively(); // start-up makes it and writes the read-me

    ASSERT_TRUE(startToMainMenu());
    EXPECT_EQ(TestEnv::readFile(elsewhere), QByteArray("non toccare"));
    EXPECT_TRUE(QFileInfo(profile()).isSymLink());
    EXPECT_TRUE(QFileInfo(SettingsFolders::readMePath()).isSymLink());
    EXPECT_EQ(messagesWith(QStringLiteral("collegamento simbolico")).size(), 2)
        << m_dialogs.messages().join(u'\n').toStdString();
}

TEST_F(HardeningTest, AnUnknownInputModeLeavesTheMouseWorking)
{
    appState().ProfilePath = profile();
    for (const qint16 mode : {qint16(3), qint16(-1), qint16(32767)}) {
        ProfileSettings stored;
        stored.InputMode = mode;
        TestEnv::writeFile(profile(), Profile::serialize(stored));
        loadSettings();
        ASSERT_EQ(appState().Settings.InputMode, mode) << "the profile keeps what it holds";

        TestEnv::writeFile(TestEnv::home() + QStringLiteral("/lista.txt"), "_anno,h\r\n");
        appState().WordListPath = TestEnv::home() + QStringLiteral("/lista.txt");
        appState().ChoiceA = QStringLiteral("a");
        appState().ChoiceB = QStringLiteral("h");
        appState().RightCount = 0;
        FormHost host;
        registerForms(host);
        host.resize(1024, 768);
        host.show();
        auto *window = static_cast<ExerciseWindow *>(
            host.showForm(ExerciseWindow::formNameFor(ExerciseWindow::Kind::Words)));
        QTest::mouseClick(window->answerButton(1), Qt::LeftButton);
        EXPECT_EQ(appState().RightCount, 1) << mode;
    }
}

TEST_F(HardeningTest, AbsurdSizesAndColoursStillShowAUsableScreen)
{
    // 24 empty lines: every colour 0, every size 0.
    TestEnv::writeFile(profile(), QByteArray("\r\n").repeated(24));
    FormMenu *menu = startToMainMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(appState().Settings.BackgroundColour, 0);
    const QPalette form = menu->palette();
    EXPECT_EQ(form.color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(form.color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(menu->menuBar()->palette().color(QPalette::ButtonText), QColor(Qt::white));
    const QPalette button = menu->button(0)->palette();
    EXPECT_NE(button.color(QPalette::ButtonText), button.color(QPalette::Button));

    for (const qint16 size : {qint16(32767), qint16(-32768), qint16(0)}) {
        appState().Settings.TextFontSize = size;
        appState().Settings.TextColour = 0xFFFFFF;
        appState().Settings.TextBackColour = 0xFFFFFF;
        TestEnv::writeFile(TestEnv::home() + QStringLiteral("/lista.txt"), "_anno,h\r\n");
        appState().WordListPath = TestEnv::home() + QStringLiteral("/lista.txt");
        auto *window = static_cast<ExerciseWindow *>(
            m_velmora.host()->showForm(ExerciseWindow::formNameFor(ExerciseWindow::Kind::Words)));
        const int points = window->wordLabel()->font().pointSize();
        EXPECT_GE(points, 8);
        EXPECT_LE(points, 200);
        const QPalette text = window->wordLabel()->palette();
        EXPECT_NE(text.color(QPalette::WindowText), text.color(QPalette::Window));
    }
    EXPECT_EQ(appState().Settings.TextFontSize, 0) << "the setting keeps its value";
}

TEST_F(HardeningTest, ALeftoverLockNeverStopsAStartAndABrokenOneIsTold)
{
    TestEnv::writeFile(instanceLockPath(), "");
    {
        Velmora velmora(&linkedProgram);
        EXPECT_TRUE(velmora.start());
    }
    TestEnv::writeFile(instanceLockPath(), "\x01garbage\nnot a pid");
    {
        Velmora velmora(&linkedProgram);
        EXPECT_TRUE(velmora.start());
        Velmora second(&linkedProgram);
        EXPECT_FALSE(second.start()) << "while one runs, the next still ends at once";
    }
    EXPECT_TRUE(m_dialogs.messages().isEmpty());

    QFile::remove(instanceLockPath());
    ASSERT_TRUE(QDir().mkdir(instanceLockPath()));
    Velmora velmora(&linkedProgram);
    EXPECT_TRUE(velmora.start());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages().first().contains(QStringLiteral("cartella")));
}

TEST_F(HardeningTest, AFileSizeLimitMakesTheSaveFailInsteadOfEndingTheProgram)
{
    ASSERT_TRUE(startToMainMenu());
    rlimit saved = {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit lowered = saved;
    lowered.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    appState().Settings.AgentCharacter = QString(200, u'x');
    const bool written = saveSettingsOrWarn(nullptr);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(written);
    EXPECT_EQ(messagesWith(QStringLiteral("Non è stato possibile salvare")).size(), 1);
}

TEST_F(HardeningTest, StartUpSaysWhatIsWrongWithTheFontAndTheProfileNames)
{
    const QString font = fontsParentFolder() + QStringLiteral("fonts/indis1.ttf");
    QFile::remove(font);
    ASSERT_TRUE(QFile::link(TestEnv::home() + QStringLiteral("/sparito.ttf"), font));
    // A name in Windows-1252, which Qt cannot name: made byte by byte.
    const QByteArray raw = QFile::encodeName(SettingsFolders::usersFolder()) + "gi\xF2.ini";
    FILE *made = std::fopen(raw.constData(), "w");
    ASSERT_TRUE(made);
    std::fclose(made);

    FormMenu *menu = startToMainMenu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(messagesWith(QStringLiteral("collegamento a un file che non c'è")).size(), 1)
        << m_dialogs.messages().join(u'\n').toStdString();
    const QStringList names = messagesWith(QStringLiteral("non sa leggere"));
    ASSERT_EQ(names.size(), 1);
    EXPECT_TRUE(names.first().contains(QString::fromUtf8("giò"))) << names.first().toStdString();
    menu->fitButtonFont();
    EXPECT_EQ(messagesWith(QStringLiteral("non sa leggere")).size(), 1) << "told once in a run";
}

} // namespace
