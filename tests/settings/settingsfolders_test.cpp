#include "settings/settingsfolders.h"
#include "testenv.h"
#include "text/textfile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class SettingsFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir(SettingsFolders::settingsRoot()).removeRecursively(); }
};

const QByteArray kReadMe
    = "Questa cartella contiene i files di impostazione dei programmi presenti nel sito Velmora.\r\n"
      " \r\n"
      "Se qualche programma presenta problemi di funzionamento pu\xF2 essere utile cancellare il "
      "file *.ini relativo al programma in quata cartella.\r\n"
      " \r\n"
      "Non cancellare questo file.\r\n";

TEST_F(SettingsFoldersTest, FoldersLieBelowTheDataHome)
{
    const QString root = TestEnv::dataHome() + QStringLiteral("/ImpostazioniProgrammiZerla/");
    EXPECT_EQ(SettingsFolders::settingsRoot(), root);
    EXPECT_EQ(SettingsFolders::all(),
        QStringList({root, root + QStringLiteral("Velmora/"), root + QStringLiteral("Velmora/utenti/"),
            root + QStringLiteral("Velmora/dati/")}));
    EXPECT_EQ(SettingsFolders::readMePath(), root + QStringLiteral("leggimi.txt"));
}

TEST_F(SettingsFoldersTest, EsisteCartellaSeesFilesAndFolders)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("esiste"));
    TestEnv::writeFile(folder + QStringLiteral("/file.txt"), "x");
    TestEnv::writeFile(folder + QStringLiteral("/.nascosto"), "x");
    ASSERT_TRUE(QDir().mkdir(folder + QStringLiteral("/.cartella")));
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/file.txt"), QFileDevice::ReadOwner));

    EXPECT_TRUE(pathExists(folder));
    EXPECT_TRUE(pathExists(folder + u'/'));
    EXPECT_TRUE(pathExists(folder + QStringLiteral("/file.txt")));
    EXPECT_TRUE(pathExists(folder + QStringLiteral("/.nascosto")));
    EXPECT_TRUE(pathExists(folder + QStringLiteral("/.cartella")));
    EXPECT_FALSE(pathExists(QString()));
    EXPECT_FALSE(pathExists(folder + QStringLiteral("/manca")));
    EXPECT_FALSE(pathExists(folder + QStringLiteral("/manca/ancora/")));
}

TEST_F(SettingsFoldersTest, CreaCartellaWritesTheReadMe)
{
    QString error;
    for (const QString &folder : SettingsFolders::all()) {
        ASSERT_TRUE(createFolder(folder, &error)) << error.toStdString();
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);

    // Each creation replaces whatever stands in the read-me.
    TestEnv::writeFile(SettingsFolders::readMePath(), "cambiato");
    const QString extra = SettingsFolders::programSettingsFolder() + QStringLiteral("altra/");
    ASSERT_TRUE(createFolder(extra, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);

    TestEnv::writeFile(SettingsFolders::readMePath(), "cambiato");
    EXPECT_TRUE(createFolder(extra, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);
}

TEST_F(SettingsFoldersTest, CreaCartellaReportsWhatWentWrong)
{
    QString error;
    EXPECT_FALSE(createFolder(SettingsFolders::usersFolder(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(SettingsFolders::usersFolder()));

    ASSERT_TRUE(createFolder(SettingsFolders::settingsRoot()));
    TestEnv::writeFile(QDir::cleanPath(SettingsFolders::programSettingsFolder()), "file");
    error.clear();
    EXPECT_FALSE(createFolder(SettingsFolders::programSettingsFolder(), &error));
    EXPECT_FALSE(error.isEmpty());

    error.clear();
    EXPECT_FALSE(createFolder(QString(), &error));
    EXPECT_FALSE(error.isEmpty());

    // The folder is made, but a folder where the read-me belongs stops the write.
    QFile::remove(SettingsFolders::readMePath());
    ASSERT_TRUE(QDir().mkdir(SettingsFolders::readMePath()));
    error.clear();
    EXPECT_FALSE(createFolder(SettingsFolders::settingsRoot() + QStringLiteral("nuova/"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("leggimi.txt")));
}

TEST_F(SettingsFoldersTest, NothingIsWrittenThroughAFolderThatIsALinkNorWithoutAHome)
{
    for (const QString &folder : SettingsFolders::all())
        ASSERT_TRUE(createFolder(folder));
    const QString elsewhere = TestEnv::makeFolder(QStringLiteral("altrove"));
    const QString user = SettingsFolders::dataFolder() + QStringLiteral("_predefinito");
    ASSERT_TRUE(QFile::link(elsewhere, user));
    QString error;
    EXPECT_FALSE(SettingsFolders::writeFile(user + QStringLiteral("/marzo.rtf"), "x", &error));
    EXPECT_EQ(
        error, QStringLiteral("la cartella %1 è un collegamento simbolico, che non viene seguito").arg(user));
    EXPECT_FALSE(createFolder(user + QStringLiteral("/sotto/"), &error));
    EXPECT_FALSE(createFolder(user + u'/', &error));

    // A link higher up, to a folder with the same layout.
    ASSERT_TRUE(QFile::remove(user));
    const QString data = QDir::cleanPath(SettingsFolders::dataFolder());
    ASSERT_TRUE(QDir().rename(data, elsewhere + QStringLiteral("/dati")));
    ASSERT_TRUE(QDir().mkdir(elsewhere + QStringLiteral("/dati/_predefinito")));
    ASSERT_TRUE(QFile::link(elsewhere + QStringLiteral("/dati"), data));
    EXPECT_FALSE(SettingsFolders::writeFile(user + QStringLiteral("/marzo.rtf"), "x", &error));
    EXPECT_EQ(
        error, QStringLiteral("la cartella %1 è un collegamento simbolico, che non viene seguito").arg(data));
    EXPECT_FALSE(createFolder(SettingsFolders::dataFolder() + QStringLiteral("Anna/")));
    ASSERT_TRUE(QFile::remove(data));
    TestEnv::writeFile(data, "un file");
    EXPECT_FALSE(SettingsFolders::writeFile(user + QStringLiteral("/marzo.rtf"), "x", &error));
    EXPECT_EQ(error, QStringLiteral("al posto della cartella %1 c'è un file").arg(data));
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
        QStringList({QStringLiteral("dati")}));
    EXPECT_TRUE(QDir(elsewhere + QStringLiteral("/dati/_predefinito")).isEmpty());

    // A folder the teacher chose in the file dialog is theirs.
    EXPECT_TRUE(SettingsFolders::writeFile(elsewhere + QStringLiteral("/scelto.rtf"), "x", &error));

    const QByteArray home = qgetenv("HOME");
    for (const char *missing : std::initializer_list<const char *>{"", "/", "//", nullptr}) {
        if (missing)
            qputenv("HOME", missing);
        else
            qunsetenv("HOME");
        EXPECT_FALSE(SettingsFolders::hasHome()) << (missing ? missing : "unset");
        EXPECT_FALSE(SettingsFolders::writeFile(elsewhere + QStringLiteral("/senza.rtf"), "x", &error));
        EXPECT_EQ(error, QStringLiteral("non trovo la cartella personale"));
        EXPECT_FALSE(createFolder(elsewhere + QStringLiteral("/senza/")));
    }
    qputenv("HOME", home);
    EXPECT_TRUE(SettingsFolders::hasHome());
    EXPECT_FALSE(QFileInfo::exists(elsewhere + QStringLiteral("/senza.rtf")));
    EXPECT_FALSE(QFileInfo::exists(elsewhere + QStringLiteral("/senza")));
}

TEST_F(SettingsFoldersTest, WhatASaveCutShortLeftIsRemovedAndNothingElse)
{
    for (const QString &folder : SettingsFolders::all())
        ASSERT_TRUE(createFolder(folder));
    const QString users = SettingsFolders::usersFolder();
    const QString pupil = SettingsFolders::dataFolder() + QStringLiteral("Anna/");
    ASSERT_TRUE(QDir().mkdir(pupil));
    // What the program killed in the middle of a save leaves.
    QStringList leftovers;
    for (const QString &path : {SettingsFolders::readMePath(), users + QStringLiteral("_predefinito.ini"),
             users + QStringLiteral("Anna.INI"), pupil + QStringLiteral("marzo.rtf"),
             pupil + QStringLiteral("scheda.pdf")}) {
        leftovers << TextFile::createTemporary(path);
        ASSERT_FALSE(leftovers.last().isEmpty());
    }

    // Names alike, but not the program's, or not left by a save.
    const QString elsewhere = TestEnv::makeFolder(QStringLiteral("altrove"));
    TestEnv::writeFile(elsewhere + QStringLiteral("/vero.ini"), "x");
    ASSERT_TRUE(QFile::link(elsewhere, SettingsFolders::dataFolder() + QStringLiteral("Luca")));
    QStringList kept
        = {users + QStringLiteral("appunti.ini.vecchi"), users + QStringLiteral("Anna.ini.Ab3dEf"),
            pupil + QStringLiteral("foto.jpg.AbCdEf"), users + QStringLiteral("Luca.ini.AbCdEf"),
            TextFile::createTemporary(elsewhere + QStringLiteral("/marzo.rtf"))};
    for (const QString &path : kept.mid(0, 3)) {
        TestEnv::writeFile(path, "x");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QFile::setPermissions(kept.first(), QFile::permissions(kept.first()) | QFileDevice::ReadOther);
    ASSERT_TRUE(QFile::link(elsewhere + QStringLiteral("/vero.ini"), kept[3]));
    kept << users + QStringLiteral("Mara.ini.AbCdEf");
    ASSERT_TRUE(QDir().mkdir(kept.last()));

    SettingsFolders::removeLeftovers();
    for (const QString &path : std::as_const(leftovers))
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    for (const QString &path : std::as_const(kept))
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    EXPECT_EQ(TestEnv::readFile(elsewhere + QStringLiteral("/vero.ini")), QByteArray("x"));
}

} // namespace
