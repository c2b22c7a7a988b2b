#include "fakes.h"
#include "testenv.h"

#include "feedback/colours.h"
#include "scanning/buttonhighlight.h"
#include "scanning/controllersource.h"
#include "scanning/scancycles.h"
#include "scanning/scansession.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A window with two buttons, the first focused, and the keys its filter saw.
class SwitchKeysTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&window);
        first = new QPushButton(QStringLiteral("uno"));
        second = new QPushButton(QStringLiteral("due"));
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        first->setFocus();
        filter.setActive(true);
    }

    void send(QWidget *target, QEvent::Type type, Qt::Key key, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QCoreApplication::sendEvent(target, &event);
    }

    QWidget window;
    QPushButton *first = nullptr;
    QPushButton *second = nullptr;
    QList<int> downs;
    QList<int> ups;
    SwitchInputFilter filter{&window, [this](int key) { downs << key; }, [this](int key) { ups << key; }};
};

TEST_F(SwitchKeysTest, SpaceAndEnterReachTheScannerNotTheFocusedButton)
{
    QSignalSpy clicks(first, &QPushButton::clicked);
    QTest::keyClick(first, Qt::Key_Space);
    QTest::keyClick(first, Qt::Key_Return);
    QTest::keyClick(second, Qt::Key_Enter);
    QTest::keyClick(first, Qt::Key_A);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(downs, (QList<int>{Scan::kSwitch1, Scan::kSwitch2, Scan::kSwitch2, Scan::kOtherInput}));
    EXPECT_EQ(ups, downs);
}

TEST_F(SwitchKeysTest, AHeldKeyIsOnePressAndOneRelease)
{
    // Held, a key repeats as presses alone, or as pairs marked as repeats.
    send(first, QEvent::KeyPress, Qt::Key_Space);
    for (int i = 0; i < 5; ++i)
        send(first, QEvent::KeyPress, Qt::Key_Space);
    for (int i = 0; i < 5; ++i) {
        send(first, QEvent::KeyRelease, Qt::Key_Space, true);
        send(first, QEvent::KeyPress, Qt::Key_Space, true);
    }
    send(first, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(downs, QList<int>{Scan::kSwitch1});
    EXPECT_EQ(ups, QList<int>{Scan::kSwitch1});
}

TEST_F(SwitchKeysTest, AReleaseWhosePressThisScanDidNotReceiveDoesNothing)
{
    // The Enter that opened the window, or answered a message box over it.
    send(first, QEvent::KeyRelease, Qt::Key_Return);
    send(first, QEvent::KeyPress, Qt::Key_Space);
    filter.setActive(false);
    filter.setActive(true);
    send(first, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_TRUE(ups.isEmpty());
    EXPECT_EQ(downs, QList<int>{Scan::kSwitch1});

    send(first, QEvent::KeyPress, Qt::Key_Space);
    send(first, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(ups, QList<int>{Scan::kSwitch1}) << "the next whole press counts";
}

TEST_F(SwitchKeysTest, ShortcutsDoNotTakeTheKeys)
{
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Space, Qt::NoModifier);
    override.ignore();
    QCoreApplication::sendEvent(first, &override);
    EXPECT_TRUE(override.isAccepted());
    EXPECT_TRUE(downs.isEmpty()) << "an override is not a press";
}

TEST_F(SwitchKeysTest, OtherWindowsAndAnInactiveFilterLeaveKeysAlone)
{
    QPushButton dialogButton(QStringLiteral("OK"));
    dialogButton.show();
    QSignalSpy dialogClicks(&dialogButton, &QPushButton::clicked);
    QTest::keyClick(&dialogButton, Qt::Key_Space);
    EXPECT_EQ(dialogClicks.count(), 1);

    filter.setActive(false);
    QSignalSpy clicks(first, &QPushButton::clicked);
    QTest::keyClick(first, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);

    filter.setActive(true);
    window.hide();
    dialogButton.setFocus();
    QTest::keyClick(first, Qt::Key_Space);
    EXPECT_TRUE(downs.isEmpty()) << "a hidden window scans nothing";
}

class FakeControllers : public ControllerSource
{
public:
    void start() override { started = true; }
    QString problem() const override { return {}; }
    bool started = false;
};

TEST_F(SwitchKeysTest, AMouseButtonOrAControllerButtonIsASwitchLikeAKey)
{
    auto owned = std::make_unique<FakeControllers>();
    FakeControllers *controllers = owned.get();
    Controllers::setSource(std::move(owned));
    appState().Settings.Switch1Input = QStringLiteral("mouse:left");
    appState().Settings.Switch2Input = QStringLiteral("controller:a");
    filter.setActive(false);
    filter.setActive(true);
    EXPECT_TRUE(controllers->started);

    // A click anywhere on the window steps, and clicks no button.
    QSignalSpy clicks(second, &QPushButton::clicked);
    QTest::mouseClick(second, Qt::LeftButton);
    QTest::mouseClick(&window, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);
    // The right button is no switch here.
    QTest::mouseClick(second, Qt::RightButton);
    Q_EMIT controllers->buttonPressed(0);
    Q_EMIT controllers->buttonPressed(0);
    Q_EMIT controllers->buttonReleased(0);
    Q_EMIT controllers->buttonPressed(1);
    Q_EMIT controllers->buttonReleased(1);
    QTest::keyClick(first, Qt::Key_Space);
    EXPECT_EQ(downs,
        (QList<int>{Scan::kSwitch1, Scan::kSwitch1, Scan::kSwitch2, Scan::kOtherInput, Scan::kOtherInput}));
    EXPECT_EQ(ups, downs);

    // A controller unplugged is told; a button it left down sends no release.
    QSignalSpy unplugged(&filter, &SwitchInputFilter::controllerUnplugged);
    Q_EMIT controllers->buttonPressed(0);
    Q_EMIT controllers->controllerRemoved(QStringLiteral("Switch Interface"));
    Q_EMIT controllers->buttonPressed(0);
    EXPECT_EQ(unplugged.count(), 1);
    EXPECT_EQ(downs.mid(5), (QList<int>{Scan::kSwitch2, Scan::kSwitch2}));
    downs = downs.mid(0, 5);

    // Once the window is gone, its switches do nothing.
    filter.setActive(false);
    Q_EMIT controllers->buttonPressed(0);
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(downs.size(), 5);
    Controllers::setSource(nullptr);
}

TEST(ButtonHighlighter, OneButtonAtATimeHasTheColourAndTheOutline)
{
    appState().Settings.ButtonColour = 0xC0C0C0;
    QWidget window;
    QList<QWidget *> buttons;
    for (int i = 0; i < 3; ++i) {
        auto *button = new QPushButton(&window);
        button->setGeometry(0, i * 60, 200, 50);
        buttons << button;
    }
    window.show();
    ButtonHighlighter highlighter(buttons);

    highlighter.highlight(1, 255);
    EXPECT_EQ(buttons[1]->palette().color(QPalette::Button), QColor(255, 0, 0));
    EXPECT_EQ(buttons[0]->palette().color(QPalette::Button), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_TRUE(highlighter.outlineShown(1));

    highlighter.highlight(2, 65280);
    EXPECT_EQ(buttons[1]->palette().color(QPalette::Button), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_FALSE(highlighter.outlineShown(1));
    EXPECT_TRUE(highlighter.outlineShown(2));
    EXPECT_EQ(highlighter.highlighted(), 2);

    highlighter.clear();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(highlighter.outlineShown(i));
        EXPECT_EQ(buttons[i]->palette().color(QPalette::Button), QColor(0xC0, 0xC0, 0xC0));
    }
}

TEST(ButtonHighlighter, TheOutlineGrowsWithItsButtonAndLetsClicksThrough)
{
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("avanti"), &window);
    button->setGeometry(10, 10, 100, 40);
    window.show();
    ButtonHighlighter highlighter({button});
    highlighter.highlight(0, 255);

    button->resize(300, 120);
    QWidget *outline = button->findChild<QWidget *>();
    ASSERT_TRUE(outline);
    EXPECT_EQ(outline->geometry(), button->rect());

    QSignalSpy clicks(button, &QPushButton::clicked);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ScanSession, AStepWaitsForTheCaptionOfTheButtonLitToBeHeardWhole)
{
    RecordedSpeech speech(RecordedSpeech::kUntilFinished);
    ProfileSettings &settings = appState().Settings;
    settings.setInputMode(InputMode::Automatic);
    settings.ScanInterval = 4; // one second
    settings.SpokenHighlight = true;
    settings.CueVolume = 40;
    QWidget window;
    QList<QWidget *> buttons
        = {new QPushButton(QStringLiteral("uno"), &window), new QPushButton(QStringLiteral("due"), &window)};
    ScanSession session(&window, {}, {}, [] {});
    constexpr qint64 ms = 1000000;
    qint64 nowNs = 0;
    session.setClock([&nowNs] { return nowNs; });
    session.setButtons(buttons);
    session.start();
    const ScanTimer &timer = session.timer();

    session.runTimer(Scan::Timer::Start);
    session.highlight({0});
    ASSERT_EQ(speech.said(), QStringList{"uno"});
    EXPECT_DOUBLE_EQ(speech.utterances().last().volume, 0.4) << "at the cue volume";
    nowNs += 1800 * ms;
    EXPECT_DOUBLE_EQ(timer.leftOfWait(), 1.0) << "the wait has not begun while the caption is said";
    speech.finish();
    EXPECT_EQ(timer.remainingMs(), 1000) << "the interval counts from the caption's end";
    nowNs += 500 * ms;
    EXPECT_DOUBLE_EQ(timer.leftOfWait(), 0.5);

    // A new button cuts the caption before and waits for its own, also
    // when the steps start again after it.
    session.highlight({1});
    session.runTimer(Scan::Timer::Start);
    nowNs += 1000 * ms;
    EXPECT_DOUBLE_EQ(timer.leftOfWait(), 1.0);
    session.highlight({0});
    EXPECT_EQ(speech.said(), QStringList({"uno", "due", "uno"}));
    EXPECT_EQ(speech.finished(), QStringList{"uno"}) << "the caption of a button no longer lit is cut";

    // A caption that never ends (a voice that failed) holds the step no
    // longer than it could last at the slowest speech: a few seconds.
    nowNs += 3000 * ms;
    EXPECT_GT(timer.leftOfWait(), 0.0);
    EXPECT_LT(timer.leftOfWait(), 1.0);
    const int remaining = timer.remainingMs();

    // Nothing lit: the caption is silenced.
    session.highlight({});
    EXPECT_FALSE(speech.speaking());

    // Without the spoken highlight nothing is said and the steps never wait.
    settings.SpokenHighlight = false;
    session.highlight({1});
    EXPECT_EQ(speech.said().size(), 3);
    EXPECT_EQ(timer.remainingMs(), remaining);
}

} // namespace
