#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <sys/types.h>

class QSocketNotifier;

// One running program per user: a kernel lock (flock) on a file in the
// runtime folder. The kernel drops it when the process ends, however it
// ends, so a lock file left behind, empty or holding anything, never stops a
// later start.
class InstanceLock
{
public:
    enum class Result { Taken, HeldByAnother, Failed };

    explicit InstanceLock(QString path);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    Result tryLock();
    // Why the lock could not be taken, in Italian, after Result::Failed.
    QString error() const { return m_error; }

private:
    Result failed(const QString &reason);

    QString m_path;
    int m_fd = -1;
    QString m_error;
};

// Where the lock file lives: the user's runtime folder, else the temporary folder.
QString instanceLockPath();

// The program that holds the lock listens on a local socket beside it; a
// later start that finds the lock held knocks there before it ends, and the
// running program brings its window to the front. A knock is one byte, and
// the door answers it with one, so the later start knows it was heard.
class InstanceDoor : public QObject
{
    Q_OBJECT

public:
    explicit InstanceDoor(const QString &lockPath, QObject *parent = nullptr);
    // Stops listening and removes the socket.
    ~InstanceDoor() override;

    // Starts listening, replacing a socket a program that ended left
    // behind; only the holder of the lock may. False when it cannot, or
    // when something that is not a socket is in the way.
    bool open();

    // From a later start: tells the running program. False when none answered in time.
    static bool knock(const QString &lockPath, int milliseconds = 2000);

    static QString socketPath(const QString &lockPath);

Q_SIGNALS:
    void knocked();

private:
    void admitVisitors();
    void hear(QSocketNotifier *visitor);
    void dismiss(QSocketNotifier *visitor);
    void shut();

    QString m_path;
    int m_listener = -1;
    QSocketNotifier *m_door = nullptr;
    // Connected, their knock not read yet; each notifier holds its descriptor.
    QList<QSocketNotifier *> m_visitors;
    // The socket file this door made: only that one is removed as it closes.
    bool m_madeSocket = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
