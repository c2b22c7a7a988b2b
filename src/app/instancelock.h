#pragma once

#include <QString>

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
