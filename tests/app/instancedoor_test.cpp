#include "testenv.h"

#include "app/instancelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString lockPath()
{
    return TestEnv::runtimeDir() + QStringLiteral("/velmora.lock");
}

// A knock from another thread, as from a later start, while this thread's
// event loop lets the door answer.
bool knockWhileListening(const QString &lock)
{
    std::future<bool> knock
        = std::async(std::launch::async, [lock] { return InstanceDoor::knock(lock, 5000); });
    while (knock.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QTest::qWait(10);
    return knock.get();
}

sockaddr_un addressOf(const QString &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return address;
}

// A visitor connected to the socket at `path`.
int connectTo(const QString &path)
{
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    return fd;
}

// A socket file as a program that ended leaves it.
void leaveSocket(const QString &path)
{
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

TEST(InstanceDoor, AKnockIsAnsweredOnlyWhenHeardAndTheSocketIsPrivateAndGoesWithTheDoor)
{
    const int descriptors = openDescriptors();
    const QString lock = lockPath();
    const QString socket = InstanceDoor::socketPath(lock);
    EXPECT_FALSE(InstanceDoor::knock(lock, 200)) << "nobody is there";
    {
        InstanceDoor door(lock);
        QSignalSpy knocked(&door, &InstanceDoor::knocked);
        ASSERT_TRUE(door.open());
        struct stat info = {};
        ASSERT_EQ(::lstat(QFile::encodeName(socket).constData(), &info), 0);
        EXPECT_TRUE(S_ISSOCK(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0600u);

        // A visitor that connects and says nothing holds nobody up.
        const int silent = connectTo(socket);
        EXPECT_TRUE(knockWhileListening(lock));
        EXPECT_EQ(knocked.size(), 1);

        // While the program is busy nobody answers; the knocker gives up and
        // the answer, given later, meets a closed socket without harm.
        EXPECT_FALSE(InstanceDoor::knock(lock, 200));
        EXPECT_TRUE(knocked.wait(2000));
        EXPECT_EQ(knocked.size(), 2);
        ::close(silent);
        QTest::qWait(50);
        EXPECT_EQ(knocked.size(), 2) << "a visitor that leaves without knocking is no knock";
    }
    EXPECT_FALSE(QFileInfo::exists(socket));
    EXPECT_FALSE(InstanceDoor::knock(lock, 200));
    EXPECT_EQ(openDescriptors(), descriptors) << "every visitor's descriptor closed with the door";
}

TEST(InstanceDoor, OpensOverALeftoverSocketButNothingElseAndOnlyOnAWholePath)
{
    const QString lock = lockPath();
    const QString socket = InstanceDoor::socketPath(lock);
    leaveSocket(socket);
    {
        InstanceDoor door(lock);
        EXPECT_TRUE(door.open()) << "a socket left by a program that ended";
    }

    TestEnv::writeFile(socket, "kept");
    EXPECT_FALSE(InstanceDoor(lock).open());
    EXPECT_EQ(TestEnv::readFile(socket), "kept");
    QFile::remove(socket);

    // A link is not followed, even to a socket.
    const QString elsewhere = TestEnv::makeFolder(QStringLiteral("elsewhere")) + QStringLiteral("/door");
    leaveSocket(elsewhere);
    ASSERT_TRUE(QFile::link(elsewhere, socket));
    EXPECT_FALSE(InstanceDoor(lock).open());
    EXPECT_TRUE(QFileInfo(socket).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(elsewhere));
    QFile::remove(socket);

    // The kernel takes 107 bytes of name and its ending zero; one more and the
    // door refuses rather than use a name cut short.
    const QString folder = TestEnv::makeFolder(QStringLiteral("long"));
    const int room = 107 - int(QFile::encodeName(InstanceDoor::socketPath(folder + u'/')).size());
    ASSERT_GT(room, 1);
    const QString fits = folder + u'/' + QString(room, u'a');
    const QString tooLong = fits + u'a';
    InstanceDoor fitting(fits);
    EXPECT_TRUE(fitting.open());
    EXPECT_TRUE(knockWhileListening(fits));
    InstanceDoor refused(tooLong);
    EXPECT_FALSE(refused.open());
    EXPECT_FALSE(InstanceDoor::knock(tooLong, 200));
    EXPECT_EQ(QDir(folder).entryList(QDir::System | QDir::Files).size(), 1);
}

} // namespace
