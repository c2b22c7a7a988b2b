#include "xsession.h"

#include "records/history.h"
#include "settings/profile.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <random>

// A pupil who presses about 0.9 s after the target lights, sometimes later
// than a second, and whose switch sometimes bounces, works the two-choice
// exercise with the default settings; the teacher runs the switch check,
// takes its proposals, and the pupil works the exercise again with them.
namespace {

constexpr int kItems = 40;
const QString kPupil = QStringLiteral("_predefinito");

// The pupil's hand, scripted so that a run repeats: a delay from N(900, 150) ms
// clipped to 450..1350 ms, the switch held 250 ms, and in 4 presses of every
// 40 a bounce: a second press 120 ms after the release, held 40 ms.
class ScriptedPupil
{
public:
    explicit ScriptedPupil(XSession &x)
        : m_x(x)
    { }

    // Presses at `litMs` (the program's clock) plus a drawn delay; the delay.
    int pressAfter(qint64 litMs)
    {
        const int delay = int(std::lround(std::clamp(m_delay(m_random), 450.0, 1350.0)));
        pressAt(litMs + delay);
        return delay;
    }

    // The press starts at `atMs`, or at once when that has gone by.
    void pressAt(qint64 atMs)
    {
        if (m_bounces.isEmpty()) {
            m_bounces = QList<bool>(40, false);
            std::fill_n(m_bounces.begin(), 4, true);
            std::shuffle(m_bounces.begin(), m_bounces.end(), m_random);
        }
        const bool bounce = m_bounces.takeFirst();
        const qint64 wait = atMs - XSession::nowMs();
        if (wait > 0)
            m_x.settle(int(wait));
        const int from = m_x.lineCount();
        // One run of xdotool, so that process starts do not stretch the gaps.
        QStringList events{QStringLiteral("keydown"), QStringLiteral("space"), QStringLiteral("sleep"),
            QStringLiteral("0.25"), QStringLiteral("keyup"), QStringLiteral("space")};
        if (bounce) {
            events << QStringLiteral("sleep") << QStringLiteral("0.12") << QStringLiteral("keydown")
                   << QStringLiteral("space") << QStringLiteral("sleep") << QStringLiteral("0.04")
                   << QStringLiteral("keyup") << QStringLiteral("space");
        }
        m_x.xdotool(events);
        const int down = m_x.waitForLine(QStringLiteral("key down 32"), from, 1000);
        if (down >= 0)
            m_lateMs = std::max(m_lateMs, m_x.lineTimeMs(down) - atMs);
    }

    // The longest a key reached the program after the time it was meant for.
    qint64 latestMs() const { return m_lateMs; }

private:
    XSession &m_x;
    std::mt19937 m_random;
    std::normal_distribution<double> m_delay{900, 150};
    QList<bool> m_bounces;
    qint64 m_lateMs = 0;
};

ProfileSettings defaults()
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Automatic);
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    return settings;
}

// Presses when `button` is lit, the way a teacher shows the pupil the way:
// past the guard, the switch held long enough for any acceptance time.
int chooseWhenLit(XSession &x, const QString &button, int from)
{
    if (from < 0 || x.seeLit(button + QStringLiteral(" at"), from) < 0)
        return -1;
    const int pressed = x.lineCount();
    x.hold(QStringLiteral("space"), 250);
    return pressed;
}

// The answers of one exercise: the items whose first answer was right,
// and all the wrong answers.
struct Played
{
    int rightAtOnce = -1;
    int wrong = 0;
};

// Aims at `button` from log line `from` on until a line with `outcome`
// follows a press, pressing again when the guard drops a press; the
// outcome's line, or -1.
int pressOn(XSession &x, ScriptedPupil &pupil, const QString &button, const QString &outcome, int from)
{
    // "avanti" stands lit until chosen: a press again aims at it anew.
    const bool standing = button == QStringLiteral("Command1");
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int lit = x.waitForLine(QStringLiteral("highlight %1 at").arg(button), from);
        if (lit < 0)
            return -1;
        pupil.pressAfter(standing && attempt > 0 ? XSession::nowMs() : x.lineTimeMs(lit));
        const int done = x.waitForLine(outcome, lit, 500);
        if (done >= 0)
            return done;
        if (!standing)
            from = x.lineCount();
    }
    return -1;
}

// From the main menu into the first topic's two-choice exercise, then
// kItems items; after a wrong answer the pupil aims at the right one again.
Played playExercise(XSession &x, ScriptedPupil &pupil, int from)
{
    x.xdotool({QStringLiteral("mousemove"), QStringLiteral("1023"), QStringLiteral("767")});
    from = chooseWhenLit(x, QStringLiteral("Command1_0"), from);
    from = from < 0 ? -1 : x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from);
    from = chooseWhenLit(x, QStringLiteral("Command1_0"), from);
    from = from < 0 ? -1 : x.waitForLine(QStringLiteral("shown FormEsercizi"), from);
    Played played;
    int right = 0;
    for (int item = 0; item < kItems && from >= 0; ++item) {
        from = x.waitForLine(QStringLiteral("right answer "), from);
        const QString target = x.line(from).section(QStringLiteral("right answer "), 1).trimmed();
        for (bool first = true; from >= 0; first = false) {
            from = pressOn(x, pupil, target, QStringLiteral("exercises: answer "), from);
            const bool isRight = x.line(from).endsWith(QStringLiteral(": right"));
            right += first && isRight;
            played.wrong += !isRight;
            if (isRight)
                break;
        }
        from = from < 0
            ? -1
            : pressOn(x, pupil, QStringLiteral("Command1"), QStringLiteral("select avanti"), from);
    }
    if (from >= 0)
        played.rightAtOnce = right;
    return played;
}

// The nearest-rank percentile of the values.
int percentile(QList<int> values, int percent)
{
    std::sort(values.begin(), values.end());
    const auto rank = qsizetype(std::ceil(values.size() * percent / 100.0));
    return values.value(std::max<qsizetype>(rank, 1) - 1);
}

TEST(ScriptedPupil, TheSwitchChecksProposalsLetAPupilWhoOftenPressesLateChooseRightNineTimesInTen)
{
    XSession x;
    ASSERT_TRUE(x.start(defaults(), XSession::timedLines())) << x.error().toStdString();
    const auto fail = qScopeGuard([&x] {
        if (::testing::Test::HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    });
    const qint64 firstLine = x.lineTimeMs(0);
    ASSERT_GT(firstLine, 0) << "the log lines carry their time";
    ASSERT_LE(firstLine, XSession::nowMs()) << "on the test's clock";
    ASSERT_GT(firstLine, XSession::nowMs() - 30000);
    ScriptedPupil pupil(x);

    const Played before = playExercise(x, pupil, x.enterMainMenu());
    ASSERT_GE(before.rightAtOnce, 0) << "the pupil did not get through the exercise";
    std::cout << "default settings: " << before.rightAtOnce << " of " << kItems << " chosen right at once\n";

    // The teacher opens the check with the mouse; the pupil plays it.
    ASSERT_TRUE(x.restart()) << x.error().toStdString();
    int from = x.enterMainMenu();
    ASSERT_GE(x.waitForLine(QStringLiteral("menu mnuConfig"), from), 0);
    x.clickAt(XSession::placeIn(x.linesWith(QStringLiteral("menu mnuConfig"), from).value(0)).center());
    const int configuration = x.waitForLine(QStringLiteral("shown FormConfigura"), from);
    ASSERT_GE(configuration, 0);
    ASSERT_TRUE(x.clickControl(QStringLiteral("TabStrip1_tab5"), configuration));
    ASSERT_TRUE(x.clickControl(QStringLiteral("CommandProvaSensore"), configuration));
    from = x.waitForLine(QStringLiteral("check: warm-up"), configuration);
    ASSERT_GE(from, 0);
    const qint64 warmUp = x.lineTimeMs(from);
    for (int press = 1; press <= 5; ++press)
        pupil.pressAt(warmUp + press * 1500);
    QList<int> delays;
    for (;;) {
        from = x.waitForLine(QStringLiteral("check: "), from + 1, 30000);
        ASSERT_GE(from, 0) << "the check stopped before its end";
        if (x.line(from).contains(QStringLiteral("check: over")))
            break;
        if (x.line(from).contains(QStringLiteral("check: star lit")))
            delays << pupil.pressAfter(x.lineTimeMs(from));
    }
    const int proposed = x.waitForLine(QStringLiteral("check: proposal "), from);
    ASSERT_GE(proposed, 0);
    static const QRegularExpression numbers(QStringLiteral("interval (\\d+) acceptance (\\d+) release (\\d+) "
                                                           "guard (\\d+) rows ([01]) two switches ([01])"));
    const QRegularExpressionMatch proposal = numbers.match(x.line(proposed));
    ASSERT_TRUE(proposal.hasMatch()) << x.line(proposed).toStdString();
    const int interval = proposal.captured(1).toInt();
    const int acceptance = proposal.captured(2).toInt();
    const int release = proposal.captured(3).toInt();
    const int guard = proposal.captured(4).toInt();
    std::cout << "proposal: " << proposal.captured(0).toStdString() << "; " << delays.size()
              << " stars pressed for, 90% within " << percentile(delays, 90) << " ms\n";
    EXPECT_GE(release, 150) << "above the bounces' 120 ms";
    EXPECT_LE(acceptance, 200) << "below the 250 ms holds";
    ASSERT_GE(delays.size(), 10);
    EXPECT_GE(interval * 250, percentile(delays, 90));

    ASSERT_TRUE(x.clickControl(QStringLiteral("CommandAccettaTutte"), proposed));
    ASSERT_TRUE(x.clickControl(QStringLiteral("CommandApplica"), proposed));
    from = x.lineCount();
    const QStringList leave = x.linesWith(QStringLiteral("menu mnuEsci"), configuration);
    ASSERT_FALSE(leave.isEmpty());
    x.clickAt(XSession::placeIn(leave.last()).center());
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormMenu"), from), 0);
    QFile file(x.usersFolder() + kPupil + QStringLiteral(".ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::optional<ProfileSettings> saved = Profile::parseBytes(file.readAll());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->ScanInterval, interval);
    EXPECT_EQ(saved->AcceptanceTime, acceptance);
    EXPECT_EQ(saved->ReleaseTime, release);
    EXPECT_EQ(saved->SelectionGuard, guard);

    // The same pupil with what the check proposed, the program started anew.
    const QDateTime secondRun = QDateTime::currentDateTime();
    ASSERT_TRUE(x.restart()) << x.error().toStdString();
    const Played after = playExercise(x, pupil, x.enterMainMenu());
    std::cout << "proposed settings: " << after.rightAtOnce << " of " << kItems << " chosen right at once\n"
              << "keys reached the program at most " << pupil.latestMs() << " ms after their time\n";
    EXPECT_GE(after.rightAtOnce, kItems * 9 / 10);

    // The history keeps the check and the second run's answers as the log told them.
    History history;
    ASSERT_TRUE(history.open(x.dataFolder() + QStringLiteral("storia.sqlite")));
    const QList<SwitchCheckRecord> checks = history.switchChecks(kPupil);
    ASSERT_EQ(checks.size(), 1);
    EXPECT_EQ(checks[0].scanInterval, interval);
    const QList<Answer> answers = history.answers(kPupil, secondRun);
    EXPECT_EQ(answers.size(), kItems + after.wrong);
    EXPECT_LE(std::count_if(answers.begin(), answers.end(), [](const Answer &a) { return a.timingMiss; }),
        after.wrong);
}

} // namespace
