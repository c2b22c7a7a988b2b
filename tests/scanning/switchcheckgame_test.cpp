#include "scanning/switchcheckgame.h"

#include <gtest/gtest.h>

namespace {

using Outcome = SwitchCheckGame::Outcome;

// The game on a clock of its own: the star always in box 2, one box lit before it.
class SwitchCheckGameTest : public ::testing::Test
{
protected:
    SwitchCheckGameTest()
    {
        SwitchCheckGame::Plan plan;
        plan.warmUpPresses = 2;
        plan.warmUpMs = 5000;
        plan.pauseMs = 1000;
        plan.speedsMs = {1000, 500};
        plan.trialsPerSpeed = 2;
        SwitchCheckGame::Callbacks callbacks;
        callbacks.warmUpPress = [this] { ++warmUpPresses; };
        callbacks.boxLit = [this](int box, bool star) {
            if (star)
                starLitAt << now;
            lit << box;
        };
        callbacks.trialEnded
            = [this](Outcome outcome, qint64 delayMs) { ended << std::make_pair(outcome, delayMs); };
        // Star in box 2; the first random lead of 1 box.
        game = std::make_unique<SwitchCheckGame>(
            plan, [](int count) { return count == 4 ? 2 : 0; }, callbacks);
    }

    void runTo(qint64 time)
    {
        while (game->nextTickAt() >= 0 && game->nextTickAt() <= time) {
            now = game->nextTickAt();
            game->tick(now);
        }
        now = time;
    }
    void tap(qint64 at, int holdMs = 200)
    {
        runTo(at);
        game->press(at);
        runTo(at + holdMs);
        game->release(at + holdMs);
    }

    qint64 now = 0;
    int warmUpPresses = 0;
    QList<int> lit;
    QList<qint64> starLitAt;
    QList<std::pair<Outcome, qint64>> ended;
    std::unique_ptr<SwitchCheckGame> game;
};

TEST_F(SwitchCheckGameTest, PressesAnswerTheStarOnlyOnceItHasLitAndBouncesAnswerNothing)
{
    game->start(0);
    tap(100);
    tap(400, 50); // a bounce: 150 ms after the release
    tap(1000);
    EXPECT_EQ(warmUpPresses, 2) << "the bounce made the character react too";
    ASSERT_EQ(game->phase(), SwitchCheckGame::Phase::Trials);

    // Trial 1, 1 s a box: box 1 lights after the pause, the star a step later.
    runTo(2200);
    EXPECT_EQ(lit.last(), 1);
    tap(2500); // before the star: answers nothing
    runTo(3000);
    ASSERT_EQ(starLitAt, QList<qint64>{3000});
    tap(3500); // while the star's box is lit
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0], std::make_pair(Outcome::Hit, qint64(500)));

    // Trial 2: pressed after the star's box went dark.
    runTo(6000);
    ASSERT_EQ(starLitAt.size(), 2);
    tap(starLitAt[1] + 1300);
    EXPECT_EQ(ended[1], std::make_pair(Outcome::Late, qint64(1300)));

    // Trial 3, 500 ms a box: no press; missed once the light went round.
    runTo(starLitAt[1] + 1300 + 200 + 1000 + 500 + 4 * 500);
    ASSERT_EQ(ended.size(), 3);
    EXPECT_EQ(ended[2].first, Outcome::Missed);
    EXPECT_EQ(starLitAt[2] + 2000, game->recording().trials[2].endMs);

    // Trial 4: a press just before the star, and its bounce just after it
    // lit, answer nothing; the next press does.
    const qint64 missedAt = starLitAt[2] + 2000;
    tap(missedAt + 1400, 50);
    runTo(missedAt + 1500);
    ASSERT_EQ(starLitAt.size(), 4);
    const qint64 star = starLitAt[3];
    tap(star + 10, 50);
    EXPECT_EQ(ended.size(), 3);
    tap(star + 700);
    ASSERT_EQ(ended.size(), 4);
    EXPECT_EQ(ended[3], std::make_pair(Outcome::Late, qint64(700)));
    EXPECT_EQ(game->phase(), SwitchCheckGame::Phase::Over);
    EXPECT_LT(game->nextTickAt(), 0);

    const SwitchCheck::Recording &recording = game->recording();
    EXPECT_EQ(recording.trials.size(), 4);
    EXPECT_EQ(recording.trials[0].endMs, 3500) << "an answered trial ends at its press";
    EXPECT_EQ(recording.trials[1].speedMs, 1000);
    EXPECT_EQ(recording.trials[2].speedMs, 500);
    EXPECT_EQ(recording.presses.size(), 9) << "every press is kept, bounces included";
}

} // namespace
