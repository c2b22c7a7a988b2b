#include "instancelock.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

InstanceDoor::InstanceDoor(const QString &lockPath, QObject *parent)
    : QObject(parent)
    , m_path(socketPath(lockPath))
{ }

InstanceDoor::~InstanceDoor() = default;

QString InstanceDoor::socketPath(const QString &lockPath)
{
    return lockPath + QStringLiteral(".socket");
}

bool InstanceDoor::open()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours, so a socket there is one a program that ended left.
    QLocalServer::removeServer(m_path);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *visitor = m_server->nextPendingConnection()) {
            visitor->disconnectFromServer();
            visitor->deleteLater();
            Q_EMIT knocked();
        }
    });
    return m_server->listen(m_path);
}

bool InstanceDoor::knock(const QString &lockPath, int milliseconds)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(lockPath));
    if (!socket.waitForConnected(milliseconds))
        return false;
    socket.disconnectFromServer();
    return true;
}

#include "moc_instancelock.cpp"
