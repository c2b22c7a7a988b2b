#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QString users()
{
    return SettingsFolders::usersFolder();
}

QStringList filesInUsers()
{
    return QDir(users()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class ProfileFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(SettingsFolders::settingsRoot()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(users()));
    }
};

TEST_F(ProfileFilesTest, ProfileNamesIgnoreLetterCase)
{
    ProfileSettings stored;
    stored.TextFontSize = 40;
    TestEnv::writeFile(users() + QStringLiteral("_predefinito.ini"), Profile::serialize(stored));

    EXPECT_EQ(ProfileFiles::resolve(users() + QStringLiteral("_predefinito.INI")),
        users() + QStringLiteral("_predefinito.ini"));
    appState().ProfilePath = users() + QStringLiteral("_predefinito.INI");
    loadSettings();
    EXPECT_EQ(appState().Settings.TextFontSize, 40);

    TestEnv::writeFile(users() + QStringLiteral("anna.ini"), Profile::serialize(ProfileSettings{}));
    appState().ProfilePath = users() + QStringLiteral("ANNA.ini");
    appState().Settings.TextFontSize = 50;
    ASSERT_TRUE(saveSettings());
    EXPECT_EQ(filesInUsers(), QStringList({QStringLiteral("_predefinito.ini"), QStringLiteral("anna.ini")}));
    appState().ProfilePath = users() + QStringLiteral("anna.ini");
    loadSettings();
    EXPECT_EQ(appState().Settings.TextFontSize, 50);
}

TEST_F(ProfileFilesTest, NewProfileIsCreatedWithLowerCaseExtension)
{
    appState().ProfilePath = users() + QStringLiteral("Nuovo.INI");
    ASSERT_TRUE(saveSettings());
    EXPECT_EQ(filesInUsers(), QStringList{QStringLiteral("Nuovo.ini")});

    EXPECT_EQ(
        ProfileFiles::resolve(users() + QStringLiteral("altro.Ini")), users() + QStringLiteral("altro.ini"));
    EXPECT_EQ(
        ProfileFiles::resolve(users() + QStringLiteral("nuovo.ini")), users() + QStringLiteral("Nuovo.ini"));
}

TEST_F(ProfileFilesTest, EverySpellingLeadsToOneFileWhenTwoDifferOnlyInCase)
{
    TestEnv::writeFile(users() + QStringLiteral("_predefinito.INI"), "x");
    TestEnv::writeFile(users() + QStringLiteral("_predefinito.ini"), "y");
    for (const char *asked : {"_predefinito.INI", "_predefinito.ini", "_PREDEFINITO.ini"})
        EXPECT_EQ(ProfileFiles::resolve(users() + QLatin1String(asked)),
            users() + QStringLiteral("_predefinito.INI"));
    // The user list names the same file as start-up.
    EXPECT_EQ(ProfileFiles::userNames(), QStringList{QStringLiteral("_predefinito")});
    EXPECT_EQ(ProfileFiles::resolve(ProfileFiles::pathFor(QStringLiteral("_predefinito"))),
        users() + QStringLiteral("_predefinito.INI"));
}

TEST_F(ProfileFilesTest, UserNamesListsEveryProfileOnce)
{
    for (const char *name :
        {"zeno.ini", "Anna.INI", "ANNA.ini", "bruno.Ini", "note.txt", "ini", "Perché.ini", ".nascosto.ini"})
        TestEnv::writeFile(users() + QString::fromUtf8(name), "x");
    ASSERT_TRUE(QDir().mkdir(users() + QStringLiteral("cartella.ini")));

    EXPECT_EQ(ProfileFiles::userNames(),
        QStringList({QStringLiteral(".nascosto"), QStringLiteral("ANNA"), QStringLiteral("bruno"),
            QStringLiteral("Perché"), QStringLiteral("zeno")}));
    EXPECT_EQ(ProfileFiles::pathFor(QStringLiteral("Anna")), users() + QStringLiteral("Anna.ini"));

    QDir(users()).removeRecursively();
    EXPECT_TRUE(ProfileFiles::userNames().isEmpty());
}

TEST_F(ProfileFilesTest, UserNamesMustMakePortableFileNames)
{
    for (const char *name : {"Anna", "Anna è", "Maria Chiara", "_predefinito", "a.b", "Zoë"})
        EXPECT_TRUE(ProfileFiles::isValidUserName(QString::fromUtf8(name))) << name;

    const QString rejected[] = {
        QString(),
        QStringLiteral("   "),
        QStringLiteral("."),
        QStringLiteral(".."),
        QStringLiteral("a/b"),
        QStringLiteral("a\\b"),
        QStringLiteral("a") + QChar(0) + u'b',
        QStringLiteral("a\tb"),
        QStringLiteral("a\nb"),
        QString(65, u'a'),
        QStringLiteral("a<b"),
        QStringLiteral("a>b"),
        QStringLiteral("a:b"),
        QStringLiteral("a\"b"),
        QStringLiteral("a|b"),
        QStringLiteral("a?b"),
        QStringLiteral("a*b"),
        QStringLiteral(".anna"),
        QStringLiteral("anna."),
        QStringLiteral(" anna"),
        QStringLiteral("nul"),
        QStringLiteral("COM1"),
        QStringLiteral("\u200B"),
        QStringLiteral("\u200B \u2060\u200B"),
        QStringLiteral("\u202Eanna"),
        QStringLiteral("anna\u2067x"),
    };
    for (const QString &name : rejected)
        EXPECT_FALSE(ProfileFiles::isValidUserName(name)) << name.toStdString();
    EXPECT_TRUE(ProfileFiles::isValidUserName(QString(64, u'a')));
    EXPECT_EQ(ProfileFiles::whyNotAUserName(QStringLiteral("\u200B")),
        QStringLiteral("Il nome non può essere fatto solo di spazi o di caratteri invisibili."));
    EXPECT_EQ(ProfileFiles::whyNotAUserName(QStringLiteral("\u202Eanna")),
        QStringLiteral("Il nome non può contenere segni che cambiano il verso della scrittura."));
}

// Files above a few bytes cannot be written while this is alive.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool active() const { return m_active; }

private:
    rlimit m_saved = {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_active = false;
};

TEST_F(ProfileFilesTest, FailedSaveKeepsTheOldProfile)
{
    appState().ProfilePath = ProfileFiles::pathFor(QStringLiteral("anna"));
    ProfileSettings old;
    old.TextFontName = QStringLiteral("Vecchio");
    appState().Settings = old;
    ASSERT_TRUE(saveSettings());
    const QByteArray oldBytes = TestEnv::readFile(appState().ProfilePath);

    appState().Settings.TextFontName = QStringLiteral("Nuovo");
    QString error;
    bool saved = true;
    {
        FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        saved = saveSettings(&error);
    }
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(TestEnv::readFile(appState().ProfilePath), oldBytes);
    EXPECT_EQ(filesInUsers(), QStringList{QStringLiteral("anna.ini")});

    loadSettings();
    EXPECT_EQ(appState().Settings, old);
}

TEST_F(ProfileFilesTest, SaveWithoutAUsersFolderFails)
{
    appState().ProfilePath = ProfileFiles::pathFor(QStringLiteral("anna"));

    ASSERT_TRUE(QDir(users()).removeRecursively());
    QString error;
    EXPECT_FALSE(saveSettings(&error));
    EXPECT_FALSE(error.isEmpty());

    TestEnv::writeFile(QDir::cleanPath(users()), "non una cartella");
    error.clear();
    EXPECT_FALSE(saveSettings(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(TestEnv::readFile(QDir::cleanPath(users())), QByteArray("non una cartella"));

    appState().ProfilePath.clear();
    error.clear();
    EXPECT_FALSE(saveSettings(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(ProfileFilesTest, FolderInPlaceOfTheProfileIsNeitherLoadedNorReplaced)
{
    appState().ProfilePath = ProfileFiles::pathFor(QStringLiteral("anna"));
    ASSERT_TRUE(QDir().mkdir(appState().ProfilePath));
    appState().Settings.TextFontSize = 50;
    loadSettings();
    EXPECT_EQ(appState().Settings, ProfileSettings{});

    QString error;
    EXPECT_FALSE(saveSettings(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(appState().ProfilePath).isDir());
}

TEST_F(ProfileFilesTest, OwnProfilesReadBackAsWritten)
{
    // Windows-1252 bytes that happen to be UTF-8 too ("Ã©" is C3 A9).
    appState().ProfilePath = ProfileFiles::pathFor(QStringLiteral("anna"));
    appState().Settings.TextFontName = QString::fromUtf8("Ã©cole");
    ASSERT_TRUE(saveSettings());
    const QByteArray first = TestEnv::readFile(appState().ProfilePath);
    loadSettings();
    EXPECT_EQ(appState().Settings.TextFontName, QString::fromUtf8("Ã©cole"));
    ASSERT_TRUE(saveSettings());
    EXPECT_EQ(TestEnv::readFile(appState().ProfilePath), first);

    // The same bytes from an editor (line ends of its own) are UTF-8.
    TestEnv::writeFile(appState().ProfilePath, QByteArray(first).replace("\r\n", "\n"));
    loadSettings();
    EXPECT_EQ(appState().Settings.TextFontName, QString::fromUtf8("école"));

    // Older copies of the program wrote the first 24 lines only; newer ones may write more.
    const QByteArray older = first.split('\n').mid(0, 24).join('\n') + '\n';
    for (const QByteArray &bytes : {older, first + "True\r\n"}) {
        TestEnv::writeFile(appState().ProfilePath, bytes);
        loadSettings();
        EXPECT_EQ(appState().Settings.TextFontName, QString::fromUtf8("Ã©cole"));
    }
    TestEnv::writeFile(appState().ProfilePath, QByteArray(older).replace("\r\n", "\n"));
    loadSettings();
    EXPECT_EQ(appState().Settings.TextFontName, QString::fromUtf8("école"));
}

} // namespace
