#include "settings/settingsfolders.h"
#include "testenv.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class SettingsFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir(SettingsFolders::SettingsRoot()).removeRecursively(); }
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
    EXPECT_EQ(SettingsFolders::SettingsRoot(), root);
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

    EXPECT_TRUE(EsisteCartella(folder));
    EXPECT_TRUE(EsisteCartella(folder + u'/'));
    EXPECT_TRUE(EsisteCartella(folder + QStringLiteral("/file.txt")));
    EXPECT_TRUE(EsisteCartella(folder + QStringLiteral("/.nascosto")));
    EXPECT_TRUE(EsisteCartella(folder + QStringLiteral("/.cartella")));
    EXPECT_FALSE(EsisteCartella(QString()));
    EXPECT_FALSE(EsisteCartella(folder + QStringLiteral("/manca")));
    EXPECT_FALSE(EsisteCartella(folder + QStringLiteral("/manca/ancora/")));
}

TEST_F(SettingsFoldersTest, CreaCartellaWritesTheReadMe)
{
    QString error;
    for (const QString &folder : SettingsFolders::all()) {
        ASSERT_TRUE(CreaCartella(folder, &error)) << error.toStdString();
        EXPECT_TRUE(QFileInfo(folder).isDir());
    }
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);

    // Each creation replaces whatever stands in the read-me.
    TestEnv::writeFile(SettingsFolders::readMePath(), "cambiato");
    const QString extra = SettingsFolders::ProgramSettingsFolder() + QStringLiteral("altra/");
    ASSERT_TRUE(CreaCartella(extra, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);

    TestEnv::writeFile(SettingsFolders::readMePath(), "cambiato");
    EXPECT_TRUE(CreaCartella(extra, &error)) << error.toStdString();
    EXPECT_EQ(TestEnv::readFile(SettingsFolders::readMePath()), kReadMe);
}

TEST_F(SettingsFoldersTest, CreaCartellaReportsWhatWentWrong)
{
    QString error;
    EXPECT_FALSE(CreaCartella(SettingsFolders::UsersFolder(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(SettingsFolders::UsersFolder()));

    ASSERT_TRUE(CreaCartella(SettingsFolders::SettingsRoot()));
    TestEnv::writeFile(QDir::cleanPath(SettingsFolders::ProgramSettingsFolder()), "file");
    error.clear();
    EXPECT_FALSE(CreaCartella(SettingsFolders::ProgramSettingsFolder(), &error));
    EXPECT_FALSE(error.isEmpty());

    error.clear();
    EXPECT_FALSE(CreaCartella(QString(), &error));
    EXPECT_FALSE(error.isEmpty());

    // The folder is made, but a folder where the read-me belongs stops the write.
    QFile::remove(SettingsFolders::readMePath());
    ASSERT_TRUE(QDir().mkdir(SettingsFolders::readMePath()));
    error.clear();
    EXPECT_FALSE(CreaCartella(SettingsFolders::SettingsRoot() + QStringLiteral("nuova/"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("leggimi.txt")));
}

} // namespace
