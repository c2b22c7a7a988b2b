#include "scanning/controlleraccess.h"

#include "testenv.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

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

} // namespace
