// What a user waits for at start-up: from the program's launch to its first
// window mapped on the X server, against a bare Qt window, and the resident
// memory once that window is up. The map is read from the X server itself
// (MapNotify on the root window), never from a timer in the program.
//
//   bench_startup [RUNS] [--settle MS]
//
// Runs on the X server of DISPLAY, or on an Xvfb of its own (1280x800) when
// DISPLAY is not set. Velmora and the bare window take turns, each launched
// as the user launches it: no session bus, no sound server, one home reused
// from run to run (a first, unmeasured run of each sets it up). Velmora is
// asked for its start-up steps (the velmora.startup log category), and the
// median time of each step since the launch is printed as a breakdown.

#include "privatehome.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <vector>

namespace {

long long nowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

struct Spread
{
    double median = 0;
    double min = 0;
    double max = 0;
};

Spread spreadOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

// An Xvfb of the benchmark's own, for when no X server is named.
class OwnXServer
{
public:
    bool start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            const QByteArray fd = QByteArray::number(fds[1]);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1280x800x24", "-nolisten",
                "tcp", nullptr);
            _exit(127);
        }
        close(fds[1]);
        // The server writes its number and then a line end, apart: a pipe
        // closed before the line end would make it stop with an error.
        QByteArray number;
        char byte = 0;
        while (read(fds[0], &byte, 1) == 1 && byte != '\n')
            number += byte;
        close(fds[0]);
        if (number.isEmpty())
            return false;
        m_display = QByteArray(":") + number;
        return true;
    }

    ~OwnXServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    QByteArray display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QByteArray m_display;
};

// Watches the root window for top-level windows being mapped.
class MapWatch
{
public:
    explicit MapWatch(const QByteArray &display)
        : m_connection(xcb_connect(display.constData(), nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, root, XCB_CW_EVENT_MASK, &mask);
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, sizeof name - 1, name), nullptr);
        if (atom)
            m_pidAtom = atom->atom;
        free(atom);
        xcb_flush(m_connection);
    }

    ~MapWatch() { xcb_disconnect(m_connection); }

    bool isValid() const { return !xcb_connection_has_error(m_connection) && m_pidAtom != XCB_NONE; }
    int error() const { return xcb_connection_has_error(m_connection); }

    // Drops whatever came before a launch.
    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            free(event);
    }

    // The time a window of the process `pid`, at least 100 pixels square and
    // not a pop-up, was mapped; nothing after `timeoutMs`.
    std::optional<long long> waitForWindowOf(pid_t pid, int timeoutMs)
    {
        const long long deadline = nowUs() + timeoutMs * 1000LL;
        pollfd watched{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (nowUs() < deadline) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const long long at = nowUs();
                std::unique_ptr<xcb_generic_event_t, decltype(&free)> owned(event, &free);
                if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                    continue;
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (!map->override_redirect && isWindowOf(map->window, pid))
                    return at;
            }
            if (xcb_connection_has_error(m_connection))
                return std::nullopt;
            poll(&watched, 1, int(std::max(1LL, (deadline - nowUs()) / 1000)));
        }
        return std::nullopt;
    }

private:
    bool isWindowOf(xcb_window_t window, pid_t pid)
    {
        xcb_get_geometry_reply_t *geometry
            = xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const bool large = geometry && geometry->width >= 100 && geometry->height >= 100;
        free(geometry);
        xcb_get_property_reply_t *property = xcb_get_property_reply(m_connection,
            xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        const bool ours = property && xcb_get_property_value_length(property) == 4
            && *static_cast<uint32_t *>(xcb_get_property_value(property)) == uint32_t(pid);
        free(property);
        return large && ours;
    }

    xcb_connection_t *m_connection;
    xcb_atom_t m_pidAtom = XCB_NONE;
};

long residentKb(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void endProcess(pid_t pid)
{
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

struct Program
{
    QString label;
    QString path;
    std::vector<double> mapMs;
    std::vector<double> residentKb;
    // Velmora's own steps: milliseconds since the launch, by step.
    QMap<QString, std::vector<double>> steps;
    QStringList stepOrder;
};

struct Run
{
    bool ok = false;
    double mapMs = 0;
    long residentKb = 0;
};

Run launch(Program &program, const std::vector<QByteArray> &environment, const QString &logPath,
    MapWatch &watch, int settleMs)
{
    std::vector<char *> envp;
    for (const QByteArray &entry : environment)
        envp.push_back(const_cast<char *>(entry.constData()));
    envp.push_back(nullptr);
    const QByteArray path = QFile::encodeName(program.path);
    char *argv[] = {const_cast<char *>(path.constData()), nullptr};

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    const QByteArray log = QFile::encodeName(logPath);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(
        &files, STDERR_FILENO, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    watch.drain();
    Run run;
    pid_t pid = 0;
    const long long launchedUs = nowUs();
    const int spawned = posix_spawn(&pid, path.constData(), &files, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0)
        return run;
    const std::optional<long long> mappedUs = watch.waitForWindowOf(pid, 30000);
    if (mappedUs) {
        usleep(useconds_t(settleMs) * 1000);
        run = {true, double(*mappedUs - launchedUs) / 1000.0, residentKb(pid)};
    }
    endProcess(pid);

    // velmora.startup: MICROSECONDS STEP
    QFile steps(logPath);
    if (run.ok && steps.open(QIODevice::ReadOnly)) {
        static const QRegularExpression line(QStringLiteral("^velmora\\.startup: (\\d+) (.+)$"));
        for (const QByteArray &text : steps.readAll().split('\n')) {
            const QRegularExpressionMatch match = line.match(QString::fromUtf8(text));
            if (!match.hasMatch())
                continue;
            const QString step = match.captured(2);
            if (!program.steps.contains(step))
                program.stepOrder << step;
            program.steps[step].push_back(double(match.captured(1).toLongLong() - launchedUs) / 1000.0);
        }
    }
    return run;
}

} // namespace

int main(int argc, char **argv)
{
    int runs = 15;
    int settleMs = 1000;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument = argv[i];
        if (argument == "--settle" && i + 1 < argc)
            settleMs = std::max(0, atoi(argv[++i]));
        else
            runs = std::max(1, atoi(argv[i]));
    }

    OwnXServer ownServer;
    QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        if (!ownServer.start()) {
            std::fprintf(stderr, "no X server: DISPLAY is not set and Xvfb did not start\n");
            return 1;
        }
        display = ownServer.display();
    }
    MapWatch watch(display);
    if (!watch.isValid()) {
        std::fprintf(
            stderr, "cannot watch the X server %s (xcb error %d)\n", display.constData(), watch.error());
        return 1;
    }

    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    const QString binDir
        = QFileInfo(QString::fromLocal8Bit(self, int(std::max<ssize_t>(0, length)))).absolutePath();

    // A home of its own, with the cursive font already installed so that no
    // first-start message waits for a click.
    const PrivateHome home(QStringLiteral("velmora-bench"));
    QDir().mkpath(home.fontsFolder());
    QFile::copy(binDir + QStringLiteral("/indis1.ttf"), home.fontsFolder() + QStringLiteral("/indis1.ttf"));
    QDir().mkpath(home.runtimeDir());
    QFile::setPermissions(home.runtimeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment base;
    base.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    base.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    base.insert(QStringLiteral("DISPLAY"), QString::fromLocal8Bit(display));
    // Neither a session bus nor a sound server: the start-up must not wait for them.
    base.insert(
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + home.path() + "/no-bus");
    base.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + home.path() + "/no-pulse");
    base.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("velmora.startup.debug=true"));
    std::vector<QByteArray> environment;
    for (const QString &entry : home.environment(base).toStringList())
        environment.push_back(entry.toLocal8Bit());

    Program bare{QStringLiteral("bare Qt window"), binDir + QStringLiteral("/bare_window"), {}, {}, {}, {}};
    Program velmora{QStringLiteral("Velmora"), binDir + QStringLiteral("/velmora"), {}, {}, {}, {}};
    const QString log = home.path() + QStringLiteral("/stderr.txt");

    // The first round sets up the home and warms the disk cache; then the
    // two take turns, each first every other round.
    for (int round = 0; round <= runs; ++round) {
        Program *order[2] = {&bare, &velmora};
        if (round % 2)
            std::swap(order[0], order[1]);
        for (Program *program : order) {
            const Run run = launch(*program, environment, log, watch, round == 0 ? 0 : settleMs);
            if (!run.ok) {
                std::fprintf(stderr, "%s: no window within 30 s (%s)\n", qPrintable(program->label),
                    qPrintable(program->path));
                return 1;
            }
            if (round == 0) {
                program->steps.clear();
                program->stepOrder.clear();
                continue;
            }
            program->mapMs.push_back(run.mapMs);
            program->residentKb.push_back(double(run.residentKb));
        }
    }

    std::printf("runs: %d on X display %s, memory read %d ms after the window was mapped\n", runs,
        display.constData(), settleMs);
    std::printf(
        "%-16s %s\n", "", "window mapped, ms: median (min, max)   resident memory, kB: median (min, max)");
    for (const Program *program : {&bare, &velmora}) {
        const Spread ms = spreadOf(program->mapMs);
        const Spread kb = spreadOf(program->residentKb);
        std::printf("%-16s %6.1f (%.1f, %.1f)                     %8.0f (%.0f, %.0f)\n",
            qPrintable(program->label + QStringLiteral(":")), ms.median, ms.min, ms.max, kb.median, kb.min,
            kb.max);
    }
    const double timeRatio = spreadOf(velmora.mapMs).median / spreadOf(bare.mapMs).median;
    const double memoryRatio = spreadOf(velmora.residentKb).median / spreadOf(bare.residentKb).median;
    std::printf("ratio:           %6.2f                              %8.2f   (targets: 1.25 and 1.25)\n",
        timeRatio, memoryRatio);

    // The map is what the X server sees; the first frame follows it, as each
    // program's own log tells.
    const double barePaint = spreadOf(bare.steps.value(QStringLiteral("window painted"))).median;
    const double velmoraPaint = spreadOf(velmora.steps.value(QStringLiteral("window painted"))).median;
    std::printf(
        "first paint, ms: bare Qt window %.1f, Velmora %.1f, ratio %.2f (medians, from their own logs)\n",
        barePaint, velmoraPaint, barePaint > 0 ? velmoraPaint / barePaint : 0.0);

    std::printf("\nThe bare window's start-up, ms since the launch (median over the runs):\n");
    for (const QString &step : bare.stepOrder)
        std::printf("  %8.1f  %s\n", spreadOf(bare.steps.value(step)).median, qPrintable(step));
    std::printf("  %8.1f  window mapped (X server)\n", spreadOf(bare.mapMs).median);

    std::printf("\nVelmora's start-up, ms since the launch (median over the runs):\n");
    std::printf("  %8.1f  launched\n", 0.0);
    double previous = 0;
    for (const QString &step : velmora.stepOrder) {
        const double at = spreadOf(velmora.steps.value(step)).median;
        std::printf("  %8.1f  %-30s (+%.1f)\n", at, qPrintable(step), at - previous);
        previous = at;
    }
    std::printf("  %8.1f  window mapped (X server)\n", spreadOf(velmora.mapMs).median);
    return 0;
}
