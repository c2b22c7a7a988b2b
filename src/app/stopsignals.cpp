#include "stopsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kStopSignals = {SIGTERM, SIGHUP, SIGINT};

volatile std::sig_atomic_t g_writeEnd = -1;

extern "C" void onStopSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // Non-blocking: when the socket is full, a request is waiting already.
    if (g_writeEnd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, m_sockets.data()) != 0) {
        std::fprintf(stderr, "velmora: i segnali di chiusura non possono essere intercettati: %s\n",
            std::strerror(errno));
        m_sockets = {-1, -1};
        return;
    }
    m_notifier = new QSocketNotifier(m_sockets[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readSignals);

    m_previousWriteEnd = g_writeEnd;
    g_writeEnd = m_sockets[1];
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        ::sigaction(kStopSignals[i], &action, &m_previous[i]);
}

StopSignals::~StopSignals()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        ::sigaction(kStopSignals[i], &m_previous[i], nullptr);
    g_writeEnd = m_previousWriteEnd;
    for (const int socket : m_sockets)
        ::close(socket);
}

void StopSignals::readSignals()
{
    // Several signals may be waiting: one request ends the program.
    unsigned char numbers[16];
    ssize_t got = 0;
    int last = 0;
    while ((got = ::read(m_sockets[0], numbers, sizeof numbers)) > 0)
        last = numbers[got - 1];
    if (last != 0)
        Q_EMIT stopRequested(last);
}

#include "moc_stopsignals.cpp"
