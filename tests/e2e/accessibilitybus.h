#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// A session bus of the test's own, on which D-Bus starts the accessibility
// bus as a desktop does (at-spi-bus-launcher). The program started with
// environment() answers assistive technologies there, and the test acts on
// its controls through AT-SPI as a screen reader or an on-screen switch
// program does.
class AccessibilityBus
{
public:
    AccessibilityBus();
    ~AccessibilityBus();

    // Starts the session bus with its sockets in this folder; false, with
    // the reason in error(), when it does not come up.
    bool start(const QString &folder);
    const QString &error() const { return m_error; }

    // For the program: this session bus, and Qt's accessibility on.
    QProcessEnvironment environment() const;

    // Performs the action, as AT-SPI names it ("Toggle", "Press"), on the
    // first control with this role ("radio button") and accessible name,
    // waiting for the program to show it on the bus; false, with the
    // reason in error(), after the time-out.
    bool doAction(const QString &role, const QString &name, const QString &action, int milliseconds = 15000);

private:
    enum class Outcome { Done, NotYet, Failed };
    Outcome tryAction(const QString &role, const QString &name, const QString &action);
    bool connectAccessibilityBus();

    QProcess m_daemon;
    QString m_address;
    QString m_sessionName;
    QString m_accessibilityName;
    bool m_connected = false;
    QString m_error;
};
