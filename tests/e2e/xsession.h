#pragma once

#include "state/profilesettings.h"

#include "privatehome.h"

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QStringList>

#include <functional>

// The real program on a virtual X display of its own, driven by real X key
// events (xdotool, with the server's key auto-repeat on) and followed
// through its debug log and screenshots of the display.
class XSession
{
public:
    XSession();
    ~XSession();

    // The program to start, from this folder; the build's by default.
    void setProgram(const QString &executable, const QString &workingFolder);

    // Starts the display and the program with this default profile and
    // these further environment variables, without those named in `unset`;
    // false (with the reason in error()) when either does not come up or
    // the log has no line with firstLine.
    bool start(const ProfileSettings &settings, const QProcessEnvironment &extra = {},
        const QStringList &unset = {}, const QString &firstLine = QStringLiteral("shown FormAvvio"));
    const QString &error() const { return m_error; }
    // Ends the program as a session ending does and starts it again on the
    // same display and in the same home, with the profiles as it left them;
    // the log goes on from where it was.
    bool restart(const QString &firstLine = QStringLiteral("shown FormAvvio"));

    // xdotool with these arguments, on this display.
    void xdotool(const QStringList &arguments);
    void tap(const QString &key) { xdotool({QStringLiteral("key"), key}); }
    // Holds the key down for this long, the way a switch is held.
    void hold(const QString &key, int milliseconds);
    void clickAt(const QPoint &point);
    // Clicks the control the log placed ("control NAME at ..." from line
    // `from` on) on its caption's first letters, where options and check
    // boxes take clicks too; false when the log never placed it.
    bool clickControl(const QString &name, int from);
    // Waits for the highlight on the button (a log line "highlight BUTTON"
    // from line `from` on), then lets the pupil look at it past the
    // selection guard; the line, or -1.
    int seeLit(const QString &button, int from);
    // Enter on the start window: the line the main menu was shown on, or -1.
    int enterMainMenu();

    // Waits until a log line contains the text, counting from line `from`;
    // the number of that line, or -1 after the time-out.
    int waitForLine(const QString &text, int from = 0, int milliseconds = 15000);
    // Lets the program run for a while, collecting its log.
    void settle(int milliseconds);
    // The log lines from line `from` on that contain the text.
    QStringList linesWith(const QString &text, int from = 0);
    int lineCount();
    QString line(int number);
    QString log();

    // With this in the environment given to start(), every log line begins
    // with its time on the monotonic clock, which lineTimeMs() reads.
    static QProcessEnvironment timedLines();
    // The time of the log line on the clock of nowMs(), or -1 when it has none.
    qint64 lineTimeMs(int number);
    static qint64 nowMs();

    // Where the log put a control: "... at X,Y size WxH" on the line.
    static QRect placeIn(const QString &line);

    QImage screenshot() const;
    // The users folder of the program's settings, and the folder of their saved records.
    QString usersFolder() const;
    QString dataFolder() const;
    bool programRunning() const { return m_program.state() != QProcess::NotRunning; }

    // Sends the program a signal, as a session that logs out does.
    void signalProgram(int number);
    // Ends the X server under the running program.
    void stopDisplay();
    // Waits for the program to end by itself: its exit code, or -1 when it
    // is still running after the time-out or was ended by a signal.
    int waitForExit(int milliseconds = 15000);

private:
    bool startProgram(const QString &firstLine);
    void collect();

    QProcess m_server;
    QProcess m_program;
    QString m_executable = QStringLiteral(VELMORA_EXECUTABLE);
    QString m_workingFolder;
    QString m_display;
    QProcessEnvironment m_environment;
    PrivateHome m_home{QStringLiteral("velmora-x")};
    QStringList m_lines;
    QByteArray m_partial;
    QString m_error;
};
