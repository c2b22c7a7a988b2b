#include "accessibilitybus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <optional>

namespace {

const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kAction = QStringLiteral("org.a11y.atspi.Action");
constexpr int kCallTimeout = 5000;

// An object on the accessibility bus: the program's connection and a path.
struct Reference
{
    QString service;
    QString path;
};

class Caller
{
public:
    explicit Caller(const QDBusConnection &bus)
        : m_bus(bus)
    { }

    QVariant call(const Reference &object, const QString &interface, const QString &method,
        const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(object.service, object.path, interface, method);
        message.setArguments(arguments);
        const QDBusMessage reply = m_bus.call(message, QDBus::Block, kCallTimeout);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            m_failure = reply.errorMessage();
            return {};
        }
        return reply.arguments().constFirst();
    }

    QVariant property(const Reference &object, const QString &interface, const QString &name)
    {
        return call(object, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
            {interface, name})
            .value<QDBusVariant>()
            .variant();
    }

    QList<Reference> children(const Reference &object)
    {
        QList<Reference> found;
        const QVariant reply = call(object, kAccessible, QStringLiteral("GetChildren"));
        if (!reply.canConvert<QDBusArgument>())
            return found;
        const QDBusArgument list = reply.value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            Reference child;
            QDBusObjectPath path;
            list.beginStructure();
            list >> child.service >> path;
            list.endStructure();
            child.path = path.path();
            found << child;
        }
        list.endArray();
        return found;
    }

    // Depth first, as the program's windows hold their controls.
    std::optional<Reference> find(const Reference &from, const QString &role, const QString &name)
    {
        if (call(from, kAccessible, QStringLiteral("GetRoleName")).toString() == role
            && property(from, kAccessible, QStringLiteral("Name")).toString() == name)
            return from;
        for (const Reference &child : children(from)) {
            if (const std::optional<Reference> found = find(child, role, name))
                return found;
        }
        return std::nullopt;
    }

    const QString &failure() const { return m_failure; }

private:
    QDBusConnection m_bus;
    QString m_failure;
};

int g_buses = 0;

} // namespace

AccessibilityBus::AccessibilityBus()
{
    ++g_buses;
    m_sessionName = QStringLiteral("velmora-test-session-%1").arg(g_buses);
    m_accessibilityName = QStringLiteral("velmora-test-a11y-%1").arg(g_buses);
}

AccessibilityBus::~AccessibilityBus()
{
    QDBusConnection::disconnectFromBus(m_accessibilityName);
    QDBusConnection::disconnectFromBus(m_sessionName);
    // The accessibility bus and its registry end with the session bus.
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

bool AccessibilityBus::start(const QString &folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The services it starts know no display and no other bus.
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    m_daemon.setProcessEnvironment(env);
    m_daemon.start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
            QStringLiteral("--print-address=1"), QStringLiteral("--address=unix:dir=") + folder});
    QByteArray line;
    QElapsedTimer waited;
    waited.start();
    while (!line.endsWith('\n') && waited.elapsed() < 10000) {
        if (!m_daemon.waitForReadyRead(200) && m_daemon.state() == QProcess::NotRunning)
            break;
        line += m_daemon.readAllStandardOutput();
    }
    if (!line.endsWith('\n')) {
        m_error = QStringLiteral("dbus-daemon did not start: ")
            + QString::fromLocal8Bit(m_daemon.readAllStandardError());
        return false;
    }
    m_address = QString::fromUtf8(line.trimmed());
    return true;
}

QProcessEnvironment AccessibilityBus::environment() const
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    return env;
}

bool AccessibilityBus::connectAccessibilityBus()
{
    if (m_connected)
        return true;
    const QDBusConnection session = QDBusConnection::connectToBus(m_address, m_sessionName);
    if (!session.isConnected()) {
        m_error = QStringLiteral("no session bus at ") + m_address;
        return false;
    }
    // Asking for the address starts at-spi-bus-launcher, once.
    Caller caller(session);
    const QString address = caller
                                .call({QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus")},
                                    QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"))
                                .toString();
    if (address.isEmpty()) {
        m_error = QStringLiteral("no accessibility bus: ") + caller.failure();
        return false;
    }
    m_connected = QDBusConnection::connectToBus(address, m_accessibilityName).isConnected();
    if (!m_connected)
        m_error = QStringLiteral("no accessibility bus at ") + address;
    return m_connected;
}

AccessibilityBus::Outcome AccessibilityBus::tryAction(
    const QString &role, const QString &name, const QString &action)
{
    if (!connectAccessibilityBus())
        return Outcome::NotYet;
    Caller caller{QDBusConnection(m_accessibilityName)};
    const Reference registry{
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/accessible/root")};
    for (const Reference &application : caller.children(registry)) {
        const std::optional<Reference> control = caller.find(application, role, name);
        if (!control)
            continue;
        const int count = caller.property(*control, kAction, QStringLiteral("NActions")).toInt();
        for (int i = 0; i < count; ++i) {
            if (caller.call(*control, kAction, QStringLiteral("GetName"), {i}).toString() != action)
                continue;
            if (caller.call(*control, kAction, QStringLiteral("DoAction"), {i}).toBool())
                return Outcome::Done;
            m_error = QStringLiteral("%1 on %2 «%3» failed: %4").arg(action, role, name, caller.failure());
            return Outcome::Failed;
        }
        m_error = QStringLiteral("%1 «%2» has no action %3").arg(role, name, action);
        return Outcome::Failed;
    }
    m_error = QStringLiteral("no %1 «%2» on the accessibility bus").arg(role, name);
    return Outcome::NotYet;
}

bool AccessibilityBus::doAction(
    const QString &role, const QString &name, const QString &action, int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        // An action is never done twice: only a control not found yet is looked for again.
        const Outcome outcome = tryAction(role, name, action);
        if (outcome != Outcome::NotYet)
            return outcome == Outcome::Done;
        if (waited.elapsed() > milliseconds)
            return false;
        QTest::qWait(200);
    }
}
