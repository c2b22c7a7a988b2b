#include "scanning/controlleraccess.h"
#include "scanning/sdlcontrollers.h"

#include "testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <SDL.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// A /sys and a /dev of the test's own, with the input devices it adds.
class FakeInput
{
public:
    enum class Node { Readable, Unreadable, Missing };

    explicit FakeInput(const QString &name)
        : m_root(TestEnv::makeFolder(name))
    {
        QDir().mkpath(dev() + QStringLiteral("/input"));
    }

    QString sys() const { return m_root + QStringLiteral("/sys"); }
    QString dev() const { return m_root + QStringLiteral("/dev"); }
    QString node(const QString &event) const { return dev() + QStringLiteral("/input/") + event; }

    void add(const QString &event, const QByteArray &keyBitmap, Node node)
    {
        const QString device = sys() + QStringLiteral("/class/input/") + event + QStringLiteral("/device");
        QDir().mkpath(device + QStringLiteral("/capabilities"));
        TestEnv::writeFile(device + QStringLiteral("/capabilities/key"), keyBitmap + '\n');
        if (node == Node::Missing)
            return;
        TestEnv::writeFile(this->node(event), {});
        if (node == Node::Unreadable)
            QFile::setPermissions(this->node(event), QFileDevice::WriteOwner);
    }

private:
    QString m_root;
};

// Root opens every file whatever its mode: while this lives, a root test
// opens files as "nobody" would. The test's folders are opened to all for it.
class AsAnotherUser
{
public:
    AsAnotherUser()
    {
        if (::geteuid() != 0)
            return;
        const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
            | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
        QFile::setPermissions(TestEnv::home(), open);
        m_switched = ::seteuid(65534) == 0;
        m_failed = !m_switched;
    }
    ~AsAnotherUser()
    {
        if (m_switched) [[maybe_unused]]
            const int back = ::seteuid(0);
    }
    AsAnotherUser(const AsAnotherUser &) = delete;
    AsAnotherUser &operator=(const AsAnotherUser &) = delete;
    bool failed() const { return m_failed; }

private:
    bool m_switched = false;
    bool m_failed = false;
};

TEST(ControllerAccess, AJoystickOrGamepadThatCannotBeOpenedIsToldAndNothingElse)
{
    using Node = FakeInput::Node;
    FakeInput input(QStringLiteral("some"));
    // The buttons of an Xbox pad, from BTN_SOUTH to BTN_THUMBR.
    input.add(QStringLiteral("event3"), "7cdb000000000000 0 0 0 0", Node::Unreadable);
    // BTN_TRIGGER, the first joystick button.
    input.add(QStringLiteral("event4"), "100000000 0 0 0 0", Node::Unreadable);
    // BTN_THUMBR alone, the last gamepad button.
    input.add(QStringLiteral("event5"), "4000000000000000 0 0 0 0", Node::Unreadable);
    // Next to the ranges, not in them: 0x11f, 0x13f and BTN_TOOL_PEN (0x140).
    input.add(QStringLiteral("event6"), "80000000 0 0 0 0", Node::Unreadable);
    input.add(QStringLiteral("event7"), "8000000000000000 0 0 0 0", Node::Unreadable);
    input.add(QStringLiteral("event8"), "1 0 0 0 0 0", Node::Unreadable);
    // A keyboard and a mouse (BTN_LEFT).
    input.add(QStringLiteral("event9"), "fffffffffffffffe", Node::Unreadable);
    input.add(QStringLiteral("event10"), "10000 0 0 0 0", Node::Unreadable);
    // Gamepads that can be read, or whose node this system does not show.
    input.add(QStringLiteral("event11"), "7cdb000000000000 0 0 0 0", Node::Readable);
    input.add(QStringLiteral("event12"), "7cdb000000000000 0 0 0 0", Node::Missing);

    FakeInput allowed(QStringLiteral("allowed"));
    allowed.add(QStringLiteral("event0"), "fffffffffffffffe", Node::Unreadable);
    allowed.add(QStringLiteral("event1"), "7cdb000000000000 0 0 0 0", Node::Readable);

    AsAnotherUser user;
    if (user.failed())
        GTEST_SKIP() << "running as root, and root cannot act as another user here";
    QStringList unreadable = ControllerAccess::unreadableControllers(input.sys(), input.dev());
    unreadable.sort();
    EXPECT_EQ(unreadable,
        QStringList({input.node(QStringLiteral("event3")), input.node(QStringLiteral("event4")),
            input.node(QStringLiteral("event5"))}));
    EXPECT_EQ(ControllerAccess::permissionProblem(input.sys(), input.dev()),
        QStringLiteral("C'è un controller collegato, ma Velmora non ha il permesso di leggerlo: "
                       "chiedere all'amministratore di aggiungere l'utente al gruppo «input»."));
    EXPECT_EQ(ControllerAccess::permissionProblem(allowed.sys(), allowed.dev()), QString());
    EXPECT_EQ(
        ControllerAccess::permissionProblem(input.sys() + QStringLiteral("/none"), input.dev()), QString());
}

// What a source sent, in order; and whether anything came off the GUI thread.
class Received
{
public:
    explicit Received(ControllerSource &source)
    {
        QObject::connect(&source, &ControllerSource::buttonPressed,
            [this](int button) { note(QStringLiteral("pressed %1").arg(button)); });
        QObject::connect(&source, &ControllerSource::buttonReleased,
            [this](int button) { note(QStringLiteral("released %1").arg(button)); });
        QObject::connect(&source, &ControllerSource::controllerAdded,
            [this](const QString &name) { note(QStringLiteral("added ") + name); });
        QObject::connect(&source, &ControllerSource::controllerRemoved,
            [this](const QString &name) { note(QStringLiteral("removed ") + name); });
    }

    bool waitFor(const QString &event)
    {
        return QTest::qWaitFor([&] { return m_events.contains(event); }, 5000);
    }
    const QStringList &events() const { return m_events; }
    bool offTheGuiThread() const { return m_offTheGuiThread; }
    std::chrono::steady_clock::time_point lastAt() const { return m_lastAt; }

private:
    void note(const QString &event)
    {
        m_lastAt = std::chrono::steady_clock::now();
        m_offTheGuiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
        m_events << event;
    }

    QStringList m_events;
    bool m_offTheGuiThread = false;
    std::chrono::steady_clock::time_point m_lastAt;
};

// A joystick inside SDL itself, plugged in and pressed as a test needs.
class VirtualJoystick
{
public:
    VirtualJoystick(SDL_JoystickType type, int buttons, Uint32 buttonMask, const char *name)
    {
        SDL_VirtualJoystickDesc description;
        SDL_zero(description);
        description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        description.type = Uint16(type);
        description.nbuttons = Uint16(buttons);
        description.button_mask = buttonMask;
        description.name = name;
        m_index = SDL_JoystickAttachVirtualEx(&description);
    }
    ~VirtualJoystick() { unplug(); }
    VirtualJoystick(const VirtualJoystick &) = delete;
    VirtualJoystick &operator=(const VirtualJoystick &) = delete;

    bool pluggedIn() const { return m_index >= 0; }

    // SDL reads only the joysticks that are open: the source has it open by now.
    void set(int button, bool down)
    {
        if (!m_joystick)
            m_joystick = SDL_JoystickOpen(m_index);
        SDL_JoystickSetVirtualButton(m_joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
    }

    void unplug()
    {
        if (m_index >= 0)
            SDL_JoystickDetachVirtual(m_index);
        m_index = -1;
        if (m_joystick)
            SDL_JoystickClose(m_joystick);
        m_joystick = nullptr;
    }

private:
    int m_index = -1;
    SDL_Joystick *m_joystick = nullptr;
};

bool startReading(SdlControllers &source)
{
    QSignalSpy ready(&source, &SdlControllers::ready);
    source.start();
    source.start();
    return ready.wait(10000) && source.problem().indexOf(QLatin1String("SDL")) < 0;
}

constexpr Uint32 bit(SDL_GameControllerButton button)
{
    return Uint32(1) << button;
}

TEST(SdlControllers,
    AControllerPluggedInLaterComesWithItsMappedButtonsOnTheGuiThreadAndIsReleasedWhenUnplugged)
{
    SdlControllers source;
    Received received(source);
    ASSERT_TRUE(startReading(source)) << source.problem().toStdString();

    // Its first three buttons are B, Y and Start in SDL's mapping.
    VirtualJoystick pad(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3,
        bit(SDL_CONTROLLER_BUTTON_B) | bit(SDL_CONTROLLER_BUTTON_Y) | bit(SDL_CONTROLLER_BUTTON_START),
        "Pad");
    ASSERT_TRUE(pad.pluggedIn()) << SDL_GetError();
    ASSERT_TRUE(received.waitFor(QStringLiteral("added Pad")));
    pad.set(1, true);
    ASSERT_TRUE(received.waitFor(QStringLiteral("pressed 3")));
    pad.set(1, false);
    ASSERT_TRUE(received.waitFor(QStringLiteral("released 3")));
    // Held when it goes: the switch is not left down.
    pad.set(2, true);
    ASSERT_TRUE(received.waitFor(QStringLiteral("pressed 6")));
    pad.unplug();
    ASSERT_TRUE(received.waitFor(QStringLiteral("removed Pad")));

    EXPECT_EQ(received.events(),
        QStringList({QStringLiteral("added Pad"), QStringLiteral("pressed 3"), QStringLiteral("released 3"),
            QStringLiteral("pressed 6"), QStringLiteral("released 6"), QStringLiteral("removed Pad")}));
    EXPECT_FALSE(received.offTheGuiThread());
}

TEST(SdlControllers, AJoystickWithoutAMappingGivesItsButtonsByNumber)
{
    SdlControllers source;
    Received received(source);
    ASSERT_TRUE(startReading(source)) << source.problem().toStdString();

    VirtualJoystick stick(SDL_JOYSTICK_TYPE_UNKNOWN, 24, 0, "Switch interface");
    ASSERT_TRUE(stick.pluggedIn()) << SDL_GetError();
    ASSERT_TRUE(received.waitFor(QStringLiteral("added Switch interface")));
    // SDL's virtual joystick tells states, not changes: each one is awaited.
    stick.set(0, true);
    ASSERT_TRUE(received.waitFor(QStringLiteral("pressed 0")));
    stick.set(0, false);
    // Past the last button of a game controller: no index to give it.
    stick.set(23, true);
    stick.set(20, true);
    ASSERT_TRUE(received.waitFor(QStringLiteral("pressed 20")));
    stick.unplug();
    ASSERT_TRUE(received.waitFor(QStringLiteral("removed Switch interface")));

    EXPECT_EQ(received.events(),
        QStringList({QStringLiteral("added Switch interface"), QStringLiteral("pressed 0"),
            QStringLiteral("released 0"), QStringLiteral("pressed 20"), QStringLiteral("released 20"),
            QStringLiteral("removed Switch interface")}));
}

TEST(SdlControllers, AButtonReachesTheGuiThreadInAboutAMillisecond)
{
    SdlControllers source;
    Received received(source);
    ASSERT_TRUE(startReading(source)) << source.problem().toStdString();
    VirtualJoystick pad(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 1, bit(SDL_CONTROLLER_BUTTON_A), "Pad");
    ASSERT_TRUE(received.waitFor(QStringLiteral("added Pad")));

    std::vector<double> delays;
    for (int press = 0; press < 40; ++press) {
        const bool down = press % 2 == 0;
        // The spy's wait runs an event loop that wakes as the signal is posted.
        QSignalSpy arrived(
            &source, down ? &ControllerSource::buttonPressed : &ControllerSource::buttonReleased);
        // At any point of the reading thread's millisecond; asleep, so
        // that the reading thread has a core of its own.
        QTest::qWait(3);
        std::this_thread::sleep_for(std::chrono::microseconds(QRandomGenerator::global()->bounded(1500)));
        const auto pressed = std::chrono::steady_clock::now();
        pad.set(0, down);
        ASSERT_TRUE(arrived.wait(5000));
        delays.push_back(std::chrono::duration<double, std::milli>(received.lastAt() - pressed).count());
    }
    std::sort(delays.begin(), delays.end());
    double total = 0;
    for (const double delay : delays)
        total += delay;
    std::cout << "button to GUI thread: mean " << total / double(delays.size()) << " ms, median "
              << delays[delays.size() / 2] << " ms, longest " << delays.back() << " ms\n";
    // Loose enough for a busy machine; a reading thread that waits ten times
    // longer between looks fails it.
    EXPECT_LT(delays[delays.size() / 2], 3.0);
}

TEST(SdlControllers, StartedAndEndedOverAndOverItNeverHangs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    for (int round = 0; round < 10; ++round) {
        SdlControllers source;
        if (round % 2 == 0)
            ASSERT_TRUE(startReading(source)) << source.problem().toStdString();
        else
            source.start(); // ended while SDL may still be opening
    }
    const qint64 rounds = elapsed.elapsed();
    SdlControllers neverStarted;
    std::cout << "ten rounds of start and end: " << rounds << " ms\n";
    EXPECT_LT(rounds, 10000);
}

} // namespace
