#include "scanning/switchcheck.h"

#include <gtest/gtest.h>

namespace {

using namespace SwitchCheck;

// A pupil whose presses come 750 to 1050 ms after the star lights and are
// held 250 ms; every tenth press bounces 120 ms after its release, the
// bounce held 40 ms. Three warm-up presses come first.
Recording scriptedPupil()
{
    Recording recording;
    for (qint64 t : {1000, 3000, 5000})
        recording.presses << Press{t, t + 250};
    qint64 lit = 10000;
    int n = 0;
    for (int speed : {2000, 1500, 1000}) {
        for (int i = 0; i < 6; ++i, ++n) {
            const qint64 down = lit + 750 + (n * 7 % 13) * 25;
            recording.trials << Trial{lit, speed, down};
            recording.presses << Press{down, down + 250};
            if (n % 10 == 9)
                recording.presses << Press{down + 370, down + 410};
            lit = down + 3000;
        }
    }
    return recording;
}

// Figures of a steady pupil, to vary one at a time.
Figures steady()
{
    Figures figures;
    figures.trials = 20;
    figures.presses = 22;
    figures.delayP10Ms = 800;
    figures.delayMedianMs = 900;
    figures.delayP90Ms = 1090;
    figures.shortestRealHoldMs = 250;
    figures.shortestTargetGapMs = 2000;
    return figures;
}

TEST(SwitchCheck, MeasureTellsTargetsBouncesStrayAndWarmUpPresses)
{
    Recording recording;
    recording.trials
        = {{10000, 2000, 10800}, {20000, 1000, 21200}, {30000, 1500, 36000}, {40000, 1000, 44000}};
    recording.presses = {
        {1000, 1300}, // warm-up
        {1500, 1540}, // bounce, 200 ms after the release
        {10800, 11050}, // answers the first trial in time
        {11300, 11330}, // bounce, 250 ms after
        {15000, 15100}, // after the first trial stopped waiting
        {21200, 21500}, // answers the second, one box late
        {39000, 39300}, // before the fourth lit
        {45000, -1}, // still down at the end
    };
    const Figures f = measure(recording);
    EXPECT_EQ(f.trials, 4);
    EXPECT_EQ(f.presses, 8);
    EXPECT_EQ(f.warmUpPresses, 1);
    EXPECT_EQ(f.delaysMs, (QList<qint64>{800, 1200}));
    EXPECT_EQ(f.hits, 1);
    EXPECT_EQ(f.misses, 2);
    ASSERT_EQ(f.speeds.size(), 3);
    EXPECT_EQ(f.speeds[0].speedMs, 1000);
    EXPECT_EQ(f.speeds[0].trials, 2);
    EXPECT_EQ(f.speeds[0].hits, 0);
    EXPECT_EQ(f.speeds[2].speedMs, 2000);
    EXPECT_EQ(f.speeds[2].hits, 1);
    // Over 800, 1200 and the misses' whole waits, 4000 and 6000, by nearest rank.
    EXPECT_EQ(f.delayP10Ms, 800);
    EXPECT_EQ(f.delayMedianMs, 1200);
    EXPECT_EQ(f.delayP90Ms, 6000);
    EXPECT_EQ(f.realHoldsMs, (QList<qint64>{250, 300}));
    EXPECT_EQ(f.shortestRealHoldMs, 250);
    EXPECT_EQ(f.longestAccidentalHoldMs, 300);
    EXPECT_EQ(f.bounces, 2);
    EXPECT_EQ(f.bounceGapsMs, (QList<qint64>{200, 250}));
    EXPECT_EQ(f.longestBounceGapMs, 250);
    EXPECT_EQ(f.noTargetPresses, 3);
    EXPECT_EQ(f.shortestTargetGapMs, 6100);
}

TEST(SwitchCheck, TheScriptedPupilGetsTimingsThatKeepEveryPressMeant)
{
    const Figures f = measure(scriptedPupil());
    EXPECT_EQ(f.misses, 0);
    EXPECT_EQ(f.bounces, 1);
    EXPECT_EQ(f.warmUpPresses, 3);
    EXPECT_EQ(f.noTargetPresses, 0);
    EXPECT_EQ(f.delayP90Ms, 1025);
    const Proposal p = propose(f, ProfileSettings());
    EXPECT_TRUE(p.enoughData);
    EXPECT_GE(p.scanInterval.value * 250, f.delayP90Ms + 250);
    EXPECT_EQ(p.scanInterval.why,
        QStringLiteral("9 pressioni su 10 arrivano entro 1,03 secondi dall'accensione della stella; con un "
                       "margine, 1,50 secondi."));
    EXPECT_GE(p.releaseTime.value, 150);
    EXPECT_LT(p.releaseTime.value, 500);
    EXPECT_GT(p.acceptanceTime.value, 40);
    EXPECT_LE(p.acceptanceTime.value, 200);
    EXPECT_GE(p.selectionGuard.value, p.releaseTime.value);
    EXPECT_LT(p.selectionGuard.value, f.delayP10Ms);
    EXPECT_FALSE(p.rowColumnScanning.value);
    EXPECT_FALSE(p.twoSwitches.value);
}

TEST(SwitchCheck, TheIntervalCoversTheSlowestTenthWithAMargin)
{
    const auto interval = [](qint64 p90) {
        Figures f = steady();
        f.delayP90Ms = p90;
        return propose(f, ProfileSettings()).scanInterval.value;
    };
    EXPECT_EQ(interval(1090), 6) << "250 ms of margin";
    EXPECT_EQ(interval(3000), 15) << "20 % of margin";
    EXPECT_EQ(interval(100), 4) << "never quicker than a second";
    EXPECT_EQ(interval(60000), 60);

    // Misses count as their whole wait in the delays; once they are most
    // trials, how long the pupil needs is beyond what the game saw.
    Figures f = steady();
    f.misses = 11;
    f.delayP90Ms = 8000;
    const Proposal p = propose(f, ProfileSettings());
    EXPECT_EQ(p.scanInterval.value, 60);
    EXPECT_TRUE(p.scanInterval.why.startsWith(QStringLiteral("11 prove su 20 senza risposta")));
}

TEST(SwitchCheck, TheAcceptanceTimeDropsAccidentalPressesAndNeverRealOnes)
{
    ProfileSettings current;
    current.AcceptanceTime = 150;
    const auto accept = [&](qint64 longestAccidental, qint64 shortestReal = 250) {
        Figures f = steady();
        f.longestAccidentalHoldMs = longestAccidental;
        f.shortestRealHoldMs = shortestReal;
        return propose(f, current).acceptanceTime;
    };
    EXPECT_EQ(accept(40).value, 100);
    EXPECT_EQ(accept(170).value, 200);
    const Proposed<qint16> asLong = accept(260);
    EXPECT_EQ(asLong.value, 200) << "the longest that keeps real presses";
    EXPECT_TRUE(asLong.why.contains(QStringLiteral("durano quanto quelle volute")));
    EXPECT_EQ(accept(-1).value, 150) << "no accidental presses";
    EXPECT_EQ(accept(-1, 150).value, 100) << "the current time would drop real presses";
    EXPECT_EQ(accept(40, -1).value, 150) << "no real press to measure";
    EXPECT_EQ(accept(40, 20).value, 0);
}

TEST(SwitchCheck, TheReleaseTimeCoversTheBouncesAndKeepsTheNextPress)
{
    ProfileSettings current;
    current.ReleaseTime = 300;
    const auto release = [&](qint64 longestGap, qint64 targetGap = 2000) {
        Figures f = steady();
        f.bounces = longestGap < 0 ? 0 : 3;
        f.longestBounceGapMs = longestGap;
        f.shortestTargetGapMs = targetGap;
        return propose(f, current).releaseTime.value;
    };
    EXPECT_EQ(release(120), 200);
    EXPECT_EQ(release(0), 50);
    EXPECT_EQ(release(480, 520), 500) << "below the gap before a press meant";
    EXPECT_EQ(release(480, 550), 500);
    EXPECT_EQ(release(-1), 300) << "no bounces";
    EXPECT_EQ(release(-1, 300), 250) << "the current time would drop a press meant";
}

TEST(SwitchCheck, TheSelectionGuardOutlastsTheQuickestReactionsAndTheReleaseTime)
{
    const auto guard = [](qint64 p10, qint64 longestBounceGap) {
        Figures f = steady();
        f.delayP10Ms = p10;
        f.longestBounceGapMs = longestBounceGap;
        return propose(f, ProfileSettings()).selectionGuard.value;
    };
    EXPECT_EQ(guard(800, 120), 600);
    EXPECT_EQ(guard(820, 120), 600) << "rounded down";
    EXPECT_EQ(guard(200, 120), 200) << "the release time";
    EXPECT_EQ(guard(4000, -1), 2000);
}

TEST(SwitchCheck, RowsAndColumnsForASlowScanTwoSwitchesForUnsteadyTiming)
{
    ProfileSettings current;
    current.RowColumnScanning = true;
    Figures f = steady();
    EXPECT_TRUE(propose(f, current).rowColumnScanning.value) << "kept as it is";
    current.RowColumnScanning = false;
    EXPECT_FALSE(propose(f, current).rowColumnScanning.value);
    f.delayP90Ms = 1450;
    EXPECT_FALSE(propose(f, current).rowColumnScanning.value) << "1.75 s";
    f.delayP90Ms = 1500;
    EXPECT_TRUE(propose(f, current).rowColumnScanning.value) << "2 s";

    f = steady();
    EXPECT_FALSE(propose(f, current).twoSwitches.value);
    current.setInputMode(InputMode::Manual);
    EXPECT_TRUE(propose(f, current).twoSwitches.value) << "kept as it is";
    current.setInputMode(InputMode::Automatic);
    f.delayP90Ms = 1801;
    EXPECT_TRUE(propose(f, current).twoSwitches.value) << "widely varying delays";
    f = steady();
    f.misses = 5;
    EXPECT_TRUE(propose(f, current).twoSwitches.value) << "a quarter of the trials missed";
    f.misses = 4;
    EXPECT_FALSE(propose(f, current).twoSwitches.value);
    f.misses = 5;
    f.bounces = 1;
    f.noTargetPresses = 2;
    const Proposed<bool> stray = propose(f, current).twoSwitches;
    EXPECT_FALSE(stray.value) << "3 accidental presses in 22";
    EXPECT_TRUE(stray.why.contains(QStringLiteral("3 pressioni su 22 sono involontarie")));
}

TEST(SwitchCheck, RecordingsThatSayLittleProposeSoundValues)
{
    ProfileSettings current;
    current.ScanInterval = 8;
    current.AcceptanceTime = 100;
    current.ReleaseTime = 100;
    current.SelectionGuard = 300;
    const auto unchanged = [&](const Proposal &p, const QString &start) {
        EXPECT_FALSE(p.enoughData);
        for (const auto *value : {&p.scanInterval, &p.acceptanceTime, &p.releaseTime, &p.selectionGuard}) {
            EXPECT_FALSE(value->changes());
            EXPECT_TRUE(value->why.startsWith(start)) << value->why.toStdString();
        }
        EXPECT_FALSE(p.rowColumnScanning.changes());
        EXPECT_FALSE(p.twoSwitches.changes());
    };

    Recording silent = scriptedPupil();
    silent.presses.clear();
    unchanged(propose(measure(silent), current), QStringLiteral("Nessuna pressione del sensore: "));

    Recording short_ = scriptedPupil();
    short_.trials.resize(4);
    unchanged(propose(measure(short_), current), QStringLiteral("La stella si è accesa solo 4 volte"));

    // A pupil who pressed in the warm-up and never in time.
    Recording slow = scriptedPupil();
    slow.presses.resize(3);
    for (Trial &trial : slow.trials)
        trial.endMs = trial.litMs + 4 * trial.speedMs;
    Proposal p = propose(measure(slow), current);
    EXPECT_TRUE(p.enoughData);
    EXPECT_EQ(p.scanInterval.value, 60);
    EXPECT_TRUE(p.rowColumnScanning.value);
    EXPECT_TRUE(p.twoSwitches.value);
    EXPECT_EQ(p.acceptanceTime.value, 100) << "no press meant to measure";
    EXPECT_EQ(p.releaseTime.value, 100);

    // A switch that chatters: after the first press, every one a bounce.
    Recording chatter = slow;
    chatter.presses.clear();
    for (qint64 t = 1000; t < 100000; t += 300)
        chatter.presses << Press{t, t + 100};
    const Figures f = measure(chatter);
    EXPECT_EQ(f.bounces, f.presses - 1);
    p = propose(f, current);
    EXPECT_EQ(p.releaseTime.value, 250);
    EXPECT_EQ(p.acceptanceTime.value, 100);
    EXPECT_FALSE(p.twoSwitches.value) << "every press would step or choose";
    EXPECT_LE(p.selectionGuard.value, 2000);
}

} // namespace
