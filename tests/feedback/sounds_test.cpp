#include "fakes.h"
#include "testenv.h"

#include "feedback/sounds.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSoundEffect>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(Sounds, SilentWhenSoundsAreOff)
{
    RecordedSounds sounds;
    appState().Settings.SoundsOn = false;
    playRightSound();
    playWrongSound();
    EXPECT_TRUE(sounds.played().isEmpty());
}

TEST(Sounds, RightAnswersSpreadOverFourFilesWrongAnswersUseOne)
{
    RecordedSounds sounds;
    for (int i = 0; i < 4000; ++i)
        playRightSound();
    QMap<QString, int> counts;
    for (const QString &path : sounds.played())
        ++counts[QFileInfo(path).fileName()];
    EXPECT_EQ(counts.keys(), (QStringList{"si1.wav", "si2.wav", "si3.wav", "si4.wav"}));
    for (int n : counts)
        EXPECT_NEAR(n, 1000, 150);

    playWrongSound();
    EXPECT_EQ(sounds.played().last(), appState().ApplicationFolder + QStringLiteral("/suoni/no.wav"));
}

TEST(Sounds, ShippedFilesExistAndTheRealOutputNeverBlocksOrCrashes)
{
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(QFileInfo::exists(Sounds::rightAnswerPath(n))) << n;
    EXPECT_TRUE(QFileInfo::exists(Sounds::wrongAnswerPath()));
    EXPECT_EQ(Sounds::problem(), QString()) << "every shipped sound reads as one";

    // No audio device here: each call must return at once and replace the last.
    for (int i = 0; i < 5; ++i) {
        playRightSound();
        playWrongSound();
    }
    appState().ApplicationFolder = QStringLiteral("/nonexistent");
    playRightSound();

    // Qt's sample loader leaves a file it is still reading behind when the
    // process ends; the program never ends that fast, the test would.
    for (const QSoundEffect *effect : QCoreApplication::instance()->findChildren<QSoundEffect *>())
        EXPECT_TRUE(QTest::qWaitFor([effect] { return effect->status() != QSoundEffect::Loading; }));
}

TEST(Sounds, MissingDamagedAndUnusualFilesAreNamed)
{
    const QString shipped = appState().ApplicationFolder + QStringLiteral("/suoni/");
    appState().ApplicationFolder = TestEnv::makeFolder(QStringLiteral("programma"));
    const QString folder = appState().ApplicationFolder + QStringLiteral("/suoni/");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("si2.wav")).constData(), 0600), 0);
    TestEnv::writeFile(
        folder + QStringLiteral("si3.wav"), TestEnv::readFile(shipped + QStringLiteral("si3.wav")).left(40));
    ASSERT_TRUE(QFile::copy(shipped + QStringLiteral("si4.wav"), folder + QStringLiteral("si4.wav")));
    ASSERT_TRUE(QFile::copy(shipped + QStringLiteral("no.wav"), folder + QStringLiteral("no.wav")));

    const QString problem = Sounds::problem();
    EXPECT_TRUE(problem.contains(QStringLiteral("manca il file ") + folder + QStringLiteral("si1.wav")))
        << problem.toStdString();
    EXPECT_TRUE(problem.contains(folder + QStringLiteral("si2.wav non è un file normale")));
    EXPECT_TRUE(
        problem.contains(QStringLiteral("il file ") + folder + QStringLiteral("si3.wav è danneggiato")));
    EXPECT_FALSE(problem.contains(QStringLiteral("si4"))) << "a whole copy plays";
    EXPECT_FALSE(problem.contains(QStringLiteral("no.wav")));
}

} // namespace
