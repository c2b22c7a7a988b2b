#include "xsession.h"

#include "testenv.h"

#include "settings/profile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

// Room for the sanitizer build's leak check as the program ends.
constexpr int kEndingMilliseconds = 15000;

} // namespace

XSession::XSession() = default;

void XSession::setProgram(const QString &executable, const QString &workingFolder)
{
    m_executable = executable;
    m_workingFolder = workingFolder;
}

XSession::~XSession()
{
    // Asked to end, the program goes through its own ending, where the leak
    // check of the sanitizer build looks at what it still holds; killed, it
    // would say nothing.
    if (m_program.state() != QProcess::NotRunning) {
        m_program.terminate();
        m_program.waitForFinished(kEndingMilliseconds);
    }
    for (QProcess *process : {&m_program, &m_server}) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
    }
}

bool XSession::start(const ProfileSettings &settings, const QProcessEnvironment &extra,
    const QStringList &unset, const QString &firstLine)
{
    // A held key repeats after a quarter-second, thirty times a second.
    m_server.start(QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("1024x768x24"), QStringLiteral("-ardelay"), QStringLiteral("250"),
            QStringLiteral("-arinterval"), QStringLiteral("33"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp")});
    QByteArray number;
    QElapsedTimer waited;
    waited.start();
    while (!number.endsWith('\n') && waited.elapsed() < 10000) {
        if (!m_server.waitForReadyRead(200) && m_server.state() == QProcess::NotRunning)
            break;
        number += m_server.readAllStandardOutput();
    }
    if (!number.endsWith('\n')) {
        m_error = QStringLiteral("Xvfb did not start: ")
            + QString::fromLocal8Bit(m_server.readAllStandardError());
        return false;
    }
    m_display = u':' + QString::fromLatin1(number.trimmed());

    QDir().mkpath(m_home.usersFolder());
    QDir().mkpath(m_home.fontsFolder());
    // The font is already installed, so no first-start message waits for a click.
    QFile::copy(TestEnv::buildAppFolder() + QStringLiteral("/indis1.ttf"),
        m_home.fontsFolder() + QStringLiteral("/indis1.ttf"));
    TestEnv::writeFile(
        m_home.usersFolder() + QStringLiteral("_predefinito.ini"), Profile::serialize(settings));

    QProcessEnvironment env = m_home.environment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velmora.*.debug=true"));
    env.insert(extra);
    for (const QString &name : unset)
        env.remove(name);
    m_environment = env;
    return startProgram(firstLine);
}

bool XSession::restart(const QString &firstLine)
{
    m_program.terminate();
    if (!m_program.waitForFinished(kEndingMilliseconds)) {
        m_error = QStringLiteral("the program did not end when asked");
        return false;
    }
    collect();
    return startProgram(firstLine);
}

bool XSession::startProgram(const QString &firstLine)
{
    // Not lineCount(): a program not started yet has nothing to read.
    const int from = int(m_lines.size());
    m_program.setProcessEnvironment(m_environment);
    m_program.setProcessChannelMode(QProcess::MergedChannels);
    m_program.setWorkingDirectory(m_workingFolder);
    m_program.start(m_executable, {});
    if (!m_program.waitForStarted() || waitForLine(firstLine, from) < 0) {
        m_error = QStringLiteral("the program did not log \"%1\": ").arg(firstLine) + m_lines.join(u'\n');
        return false;
    }
    // The window is mapped and has the keyboard focus.
    settle(300);
    return true;
}

void XSession::xdotool(const QStringList &arguments)
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished();
}

void XSession::hold(const QString &key, int milliseconds)
{
    xdotool({QStringLiteral("keydown"), key});
    settle(milliseconds);
    xdotool({QStringLiteral("keyup"), key});
}

void XSession::clickAt(const QPoint &point)
{
    xdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
        QStringLiteral("click"), QStringLiteral("1")});
}

bool XSession::clickControl(const QString &name, int from)
{
    const QString text = QStringLiteral("control %1 ").arg(name);
    const int line = waitForLine(text, from);
    if (line < 0)
        return false;
    const QRect place = placeIn(linesWith(text, line).value(0));
    clickAt(QPoint(place.left() + qMin(10, place.width() / 2), place.center().y()));
    settle(400);
    return true;
}

int XSession::seeLit(const QString &button, int from)
{
    const int line = waitForLine(QStringLiteral("highlight ") + button, from);
    if (line >= 0)
        settle(700);
    return line;
}

int XSession::enterMainMenu()
{
    const int from = lineCount();
    tap(QStringLiteral("Return"));
    return waitForLine(QStringLiteral("shown FormMenu"), from);
}

void XSession::collect()
{
    m_partial += m_program.readAll();
    const int end = int(m_partial.lastIndexOf('\n'));
    if (end < 0)
        return;
    for (const QByteArray &line : m_partial.left(end).split('\n'))
        m_lines << QString::fromUtf8(line);
    m_partial.remove(0, end + 1);
}

int XSession::waitForLine(const QString &text, int from, int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        collect();
        for (int i = from; i < m_lines.size(); ++i) {
            if (m_lines[i].contains(text))
                return i;
        }
        if (waited.elapsed() > milliseconds || m_program.state() == QProcess::NotRunning)
            return -1;
        m_program.waitForReadyRead(50);
    }
}

void XSession::settle(int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < milliseconds) {
        m_program.waitForReadyRead(qMax<int>(1, milliseconds - int(waited.elapsed())));
        collect();
    }
}

QStringList XSession::linesWith(const QString &text, int from)
{
    collect();
    QStringList found;
    for (int i = from; i < m_lines.size(); ++i) {
        if (m_lines[i].contains(text))
            found << m_lines[i];
    }
    return found;
}

int XSession::lineCount()
{
    collect();
    return int(m_lines.size());
}

QString XSession::line(int number)
{
    collect();
    return m_lines.value(number);
}

QString XSession::log()
{
    collect();
    return m_lines.join(u'\n');
}

QProcessEnvironment XSession::timedLines()
{
    QProcessEnvironment env;
    // Seconds since boot on the clock QElapsedTimer reads: CLOCK_MONOTONIC.
    env.insert(QStringLiteral("QT_MESSAGE_PATTERN"),
        QStringLiteral("%{time boot} %{if-category}%{category}: %{endif}%{message}"));
    return env;
}

qint64 XSession::lineTimeMs(int number)
{
    static const QRegularExpression time(QStringLiteral("^\\s*(\\d+)\\.(\\d{3}) "));
    const QRegularExpressionMatch match = time.match(line(number));
    if (!match.hasMatch())
        return -1;
    return match.captured(1).toLongLong() * 1000 + match.captured(2).toLongLong();
}

qint64 XSession::nowMs()
{
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

QRect XSession::placeIn(const QString &line)
{
    static const QRegularExpression place(QStringLiteral(" at (\\d+),(\\d+) size (\\d+)x(\\d+)"));
    const QRegularExpressionMatch match = place.match(line);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
        match.captured(4).toInt()};
}

QImage XSession::screenshot() const
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(qPrintable(m_display), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return {};
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    QImage image;
    xcb_get_image_reply_t *reply = xcb_get_image_reply(connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, screen->width_in_pixels,
            screen->height_in_pixels, ~0u),
        nullptr);
    // A 24-bit screen comes as 32-bit pixels, blue first.
    if (reply && reply->depth == 24) {
        image = QImage(screen->width_in_pixels, screen->height_in_pixels, QImage::Format_RGB32);
        const int length = xcb_get_image_data_length(reply);
        if (length == image.sizeInBytes())
            std::memcpy(image.bits(), xcb_get_image_data(reply), std::size_t(length));
        else
            image = QImage();
    }
    std::free(reply);
    xcb_disconnect(connection);
    return image;
}

QString XSession::usersFolder() const
{
    return m_home.usersFolder();
}

QString XSession::dataFolder() const
{
    return m_home.recordsFolder();
}

void XSession::signalProgram(int number)
{
    if (m_program.state() != QProcess::NotRunning)
        ::kill(pid_t(m_program.processId()), number);
}

void XSession::stopDisplay()
{
    m_server.terminate();
    m_server.waitForFinished();
}

int XSession::waitForExit(int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (m_program.state() != QProcess::NotRunning && waited.elapsed() < milliseconds) {
        m_program.waitForFinished(50);
        collect();
    }
    collect();
    if (m_program.state() != QProcess::NotRunning || m_program.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_program.exitCode();
}
