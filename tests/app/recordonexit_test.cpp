#include "fakes.h"
#include "testenv.h"

#include "app/program.h"
#include "app/recordonexit.h"
#include "app/startup.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "records/activityrecord.h"
#include "records/recorddocument.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2026, 12, 8), QTime(16, 47, 30));

QString userFolder()
{
    return SettingsFolders::dataFolder() + QStringLiteral("_predefinito/");
}

// The record of a pupil who chose a topic and saw one item, in a profile that keeps it.
void recordAnItem(const QString &item)
{
    AppState &state = appState();
    state.UserName = QStringLiteral("_predefinito");
    state.Settings.KeepActivityRecord = true;
    for (const QString &folder : SettingsFolders::all())
        QDir().mkpath(folder);
    ActivityRecord::addCaption(QStringLiteral("Gruppi"));
    ActivityRecord::addItem(item);
}

QString plainText(const QString &rtf)
{
    QProcess reader;
    reader.start(QStringLiteral("unrtf"), {QStringLiteral("--text"), rtf});
    reader.waitForFinished(10000);
    return QString::fromUtf8(reader.readAllStandardOutput());
}

TEST(RecordOnExit, NamesAreDatedAndNeverTakeTheNameOfAnythingInTheFolder)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("dati")) + u'/';
    const QString first = folder + QStringLiteral("Esercizi eseguiti 2026-12-08 16.47.rtf");
    EXPECT_EQ(freeRecordPath(folder, kWhen), first);

    TestEnv::writeFile(first, "{\\rtf1}");
    const QString second = folder + QStringLiteral("Esercizi eseguiti 2026-12-08 16.47 (2).rtf");
    EXPECT_EQ(freeRecordPath(folder, kWhen), second);
    ASSERT_TRUE(QFile::link(folder + QStringLiteral("sparito.rtf"), second));
    ASSERT_TRUE(QDir().mkdir(folder + QStringLiteral("Esercizi eseguiti 2026-12-08 16.47 (3).rtf")));
    EXPECT_EQ(
        freeRecordPath(folder, kWhen), folder + QStringLiteral("Esercizi eseguiti 2026-12-08 16.47 (4).rtf"))
        << "a link leading nowhere and a folder are taken names";
    EXPECT_EQ(TestEnv::readFile(first), "{\\rtf1}");
}

TEST(RecordOnExit, TheUnsavedRecordOfAProfileThatKeepsItIsSavedOnceAsTheRecordWindowWritesIt)
{
    recordAnItem(QStringLiteral("_o fame"));
    appState().Settings.KeepActivityRecord = false;
    EXPECT_EQ(saveUnsavedRecord(kWhen).outcome, RecordSave::Outcome::NothingToSave)
        << "the teacher chose not to keep the record";
    EXPECT_FALSE(QFileInfo::exists(userFolder()));

    appState().Settings.KeepActivityRecord = true;
    RecordSave saved = saveUnsavedRecord(kWhen);
    ASSERT_EQ(saved.outcome, RecordSave::Outcome::Saved) << saved.error.toStdString();
    EXPECT_EQ(saved.path, userFolder() + QStringLiteral("Esercizi eseguiti 2026-12-08 16.47.rtf"));
    const QString text = plainText(saved.path);
    EXPECT_TRUE(text.contains(QStringLiteral("_predefinito"))) << text.toStdString();
    EXPECT_TRUE(text.contains(RecordDocument::titleLine(kWhen.date()))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Gruppi"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("_o fame - "))) << text.toStdString();

    EXPECT_EQ(saveUnsavedRecord(kWhen).outcome, RecordSave::Outcome::NothingToSave) << "saved already";
}

TEST(RecordOnExit, AFolderThatCannotBeWrittenGivesTheReasonAndTheRecordStaysUnsaved)
{
    recordAnItem(QStringLiteral("_o fame"));
    ASSERT_TRUE(QDir().mkdir(userFolder()));
    QFile::setPermissions(userFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Only where permissions hold: the administrator writes anywhere.
    if (!QFileInfo(userFolder()).isWritable()) {
        const RecordSave refused = saveUnsavedRecord(kWhen);
        EXPECT_EQ(refused.error,
            QStringLiteral("Non ho potuto salvare gli esercizi eseguiti nella cartella %1: non è permesso "
                           "scrivere nella cartella")
                .arg(userFolder()));
    }
    QFile::setPermissions(
        userFolder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // A full disk, or a limit on file sizes, makes the write itself fail.
    RecordSave result;
    {
        const TestEnv::FileSizeLimit limit(16);
        ASSERT_TRUE(limit.inForce());
        result = saveUnsavedRecord(kWhen);
    }
    EXPECT_EQ(result.outcome, RecordSave::Outcome::Failed);
    EXPECT_EQ(result.error,
        QStringLiteral("Non ho potuto salvare gli esercizi eseguiti nella cartella %1: il file supera la "
                       "dimensione massima consentita")
            .arg(userFolder()));
    EXPECT_TRUE(QDir(userFolder()).isEmpty()) << "no piece of a file is left behind";
    EXPECT_TRUE(ActivityRecord::hasUnsavedItems());
}

// The real start-up, then the program ended from the main menu's "Esci" or
// by closing its window.
TEST(RecordOnExit, EndingTheProgramSavesTheRecordFirstOrTellsWhyItCannot)
{
    const QString fonts = fontsParentFolder() + QStringLiteral("fonts");
    QDir().mkpath(fonts);
    QFile::copy(
        TestEnv::buildAppFolder() + QStringLiteral("/indis1.ttf"), fonts + QStringLiteral("/indis1.ttf"));
    RecordedDialogs dialogs;
    RecordedSounds sounds;
    const auto end = [](FormHost &host, int way) {
        if (way == 0)
            host.endProgram();
        else
            host.close();
    };

    for (int way = 0; way < 2; ++way) {
        Velmora velmora(&linkedProgram);
        ASSERT_TRUE(velmora.start());
        velmora.host()->showForm(FormName::kMainMenu);
        recordAnItem(QStringLiteral("pa_a %1").arg(way));
        const QStringList before = QDir(userFolder()).entryList(QDir::Files);
        end(*velmora.host(), way);
        QStringList saved = QDir(userFolder()).entryList(QDir::Files);
        for (const QString &name : before)
            saved.removeOne(name);
        ASSERT_EQ(saved.size(), 1) << way;
        EXPECT_TRUE(plainText(userFolder() + saved.first()).contains(QStringLiteral("pa_a %1").arg(way)));
    }
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'\n').toStdString();

    Velmora velmora(&linkedProgram);
    ASSERT_TRUE(velmora.start());
    velmora.host()->showForm(FormName::kMainMenu);
    QDir(userFolder()).removeRecursively();
    TestEnv::writeFile(QDir::cleanPath(userFolder()), "not a folder");
    recordAnItem(QStringLiteral("pa_a"));
    velmora.host()->endProgram();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().startsWith(
        QStringLiteral("Non ho potuto salvare gli esercizi eseguiti nella cartella ") + userFolder()));
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("esiste già un file")));
    EXPECT_TRUE(ActivityRecord::hasUnsavedItems());
}

} // namespace
