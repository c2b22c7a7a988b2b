#include "instancelock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

InstanceLock::InstanceLock(QString path)
    : m_path(std::move(path))
{ }

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

InstanceLock::Result InstanceLock::tryLock()
{
    if (m_fd >= 0)
        return Result::Taken;
    // No link is followed: a link planted at this path must not make the
    // program create or open a file elsewhere.
    const int fd = ::open(QFile::encodeName(m_path).constData(),
        O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0600);
    if (fd < 0) {
        const int code = errno;
        if (code == EISDIR)
            return failed(QStringLiteral("al suo posto c'è una cartella"));
        if (code == ELOOP)
            return failed(QStringLiteral("al suo posto c'è un collegamento simbolico"));
        return failed(QString::fromLocal8Bit(std::strerror(code)));
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return failed(QStringLiteral("al suo posto c'è qualcosa che non è un file normale"));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        if (code == EWOULDBLOCK)
            return Result::HeldByAnother;
        return failed(QString::fromLocal8Bit(std::strerror(code)));
    }
    m_fd = fd;
    return Result::Taken;
}

InstanceLock::Result InstanceLock::failed(const QString &reason)
{
    m_error
        = QStringLiteral("il file %1 non si può usare (%2)").arg(QDir::toNativeSeparators(m_path), reason);
    return Result::Failed;
}

QString instanceLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/velmora.lock");
}

namespace {

constexpr char kKnock = 'k';
constexpr char kHeard = 'h';
// Visitors that have not knocked yet: past this many the oldest is shown out,
// so idle connections never keep a real knock from being heard.
constexpr int kMostVisitors = 8;
// A visitor that says nothing in this time is shown out.
constexpr int kVisitorMs = 5000;
// Out of descriptors, the door waits this long before it admits again
// rather than being woken for the same waiting visitor over and over.
constexpr int kAdmitAgainMs = 500;

// The address of a socket file; false when its name does not fit whole,
// ending zero included: a name cut short would be another file's.
bool socketAddress(const QString &path, sockaddr_un &address)
{
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || name.contains('\0') || name.size() >= int(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return true;
}

const sockaddr *asAddress(const sockaddr_un &address)
{
    return reinterpret_cast<const sockaddr *>(&address);
}

} // namespace

InstanceDoor::InstanceDoor(const QString &lockPath, QObject *parent)
    : QObject(parent)
    , m_path(socketPath(lockPath))
{ }

InstanceDoor::~InstanceDoor()
{
    shut();
}

QString InstanceDoor::socketPath(const QString &lockPath)
{
    return lockPath + QStringLiteral(".socket");
}

bool InstanceDoor::open()
{
    if (m_listener >= 0)
        return true;
    sockaddr_un address;
    if (!socketAddress(m_path, address))
        return false;
    // The lock is ours, so a socket there is one a program that ended left.
    // Anything else there is not the door's to remove, nor to follow.
    struct stat info = {};
    if (::lstat(address.sun_path, &info) == 0) {
        if (!S_ISSOCK(info.st_mode) || ::unlink(address.sun_path) != 0)
            return false;
    } else if (errno != ENOENT) {
        return false;
    }
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listener < 0 || ::bind(m_listener, asAddress(address), sizeof address) != 0) {
        shut();
        return false;
    }
    if (::lstat(address.sun_path, &info) == 0 && S_ISSOCK(info.st_mode)) {
        m_madeSocket = true;
        m_device = info.st_dev;
        m_inode = info.st_ino;
    }
    // Nobody can connect before it listens, so the socket is private first.
    if (!m_madeSocket || ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0
        || ::listen(m_listener, SOMAXCONN) != 0) {
        shut();
        return false;
    }
    m_door = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
    connect(m_door, &QSocketNotifier::activated, this, &InstanceDoor::admitVisitors);
    return true;
}

void InstanceDoor::admitVisitors()
{
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            const int code = errno;
            if (code == EINTR || code == ECONNABORTED)
                continue;
            if (code != EAGAIN && code != EWOULDBLOCK) {
                m_door->setEnabled(false);
                QTimer::singleShot(kAdmitAgainMs, m_door, [door = m_door] { door->setEnabled(true); });
            }
            return;
        }
        if (m_visitors.size() >= kMostVisitors)
            dismiss(m_visitors.first());
        auto *visitor = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        m_visitors.append(visitor);
        connect(visitor, &QSocketNotifier::activated, this, [this, visitor] { hear(visitor); });
        QTimer::singleShot(kVisitorMs, visitor, [this, visitor] { dismiss(visitor); });
    }
}

void InstanceDoor::hear(QSocketNotifier *visitor)
{
    const int fd = int(visitor->socket());
    char said[16];
    const ssize_t got = ::recv(fd, said, sizeof said, 0);
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    const bool knock = got > 0 && said[0] == kKnock;
    // The knocker may have stopped waiting: no signal for a peer that is gone.
    if (knock)
        ::send(fd, &kHeard, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    dismiss(visitor);
    if (knock)
        Q_EMIT knocked();
}

void InstanceDoor::dismiss(QSocketNotifier *visitor)
{
    if (!m_visitors.removeOne(visitor))
        return;
    const int fd = int(visitor->socket());
    // It may be the notifier being delivered right now: deleted once that is over.
    visitor->setEnabled(false);
    visitor->deleteLater();
    ::close(fd);
}

void InstanceDoor::shut()
{
    while (!m_visitors.isEmpty())
        dismiss(m_visitors.first());
    delete m_door;
    m_door = nullptr;
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
    if (!m_madeSocket)
        return;
    m_madeSocket = false;
    // Only the socket this door made, never a file that has taken its place.
    const QByteArray name = QFile::encodeName(m_path);
    struct stat info = {};
    if (::lstat(name.constData(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_dev == m_device
        && info.st_ino == m_inode)
        ::unlink(name.constData());
}

bool InstanceDoor::knock(const QString &lockPath, int milliseconds)
{
    sockaddr_un address;
    if (!socketAddress(socketPath(lockPath), address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const auto closeSocket = qScopeGuard([fd] { ::close(fd); });
    const QDeadlineTimer deadline(milliseconds);
    const auto remaining = [&deadline] {
        const qint64 left = deadline.remainingTime();
        return left < 0 ? -1 : int(std::min<qint64>(left, INT_MAX));
    };
    // A door whose queue is full turns a visitor away at once: try again
    // until the time is up.
    while (::connect(fd, asAddress(address), sizeof address) != 0) {
        if (errno == EISCONN)
            break;
        if ((errno != EAGAIN && errno != EINTR) || deadline.hasExpired())
            return false;
        const int left = remaining();
        ::poll(nullptr, 0, left < 0 ? 10 : std::min(left, 10));
    }
    if (::send(fd, &kKnock, 1, MSG_NOSIGNAL) != 1)
        return false;
    for (;;) {
        pollfd answer = {fd, POLLIN, 0};
        const int ready = ::poll(&answer, 1, remaining());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char said = 0;
        const ssize_t got = ::recv(fd, &said, 1, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        return got == 1 && said == kHeard;
    }
}

#include "moc_instancelock.cpp"
