#include "fakes.h"

#include "feedback/sounds.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QFileInfo>
#include <QMap>

#include <gtest/gtest.h>

namespace {

TEST(Sounds, SilentWhenSoundsAreOff)
{
    RecordedSounds sounds;
    appState().Settings.SoundsOn = false;
    SuonoEsatto();
    SuonoErrato();
    EXPECT_TRUE(sounds.played().isEmpty());
}

TEST(Sounds, RightAnswersSpreadOverFourFilesWrongAnswersUseOne)
{
    RecordedSounds sounds;
    for (int i = 0; i < 4000; ++i)
        SuonoEsatto();
    QMap<QString, int> counts;
    for (const QString &path : sounds.played())
        ++counts[QFileInfo(path).fileName()];
    EXPECT_EQ(counts.keys(), (QStringList{"si1.wav", "si2.wav", "si3.wav", "si4.wav"}));
    for (int n : counts)
        EXPECT_NEAR(n, 1000, 150);

    SuonoErrato();
    EXPECT_EQ(sounds.played().last(), appState().ApplicationFolder + QStringLiteral("/suoni/no.wav"));
}

TEST(Sounds, ShippedFilesExistAndTheRealOutputNeverBlocksOrCrashes)
{
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(QFileInfo::exists(Sounds::rightAnswerPath(n))) << n;
    EXPECT_TRUE(QFileInfo::exists(Sounds::wrongAnswerPath()));

    // No audio device here: each call must return at once and replace the last.
    for (int i = 0; i < 5; ++i) {
        SuonoEsatto();
        SuonoErrato();
    }
    appState().ApplicationFolder = QStringLiteral("/nonexistent");
    SuonoEsatto();
}

} // namespace
