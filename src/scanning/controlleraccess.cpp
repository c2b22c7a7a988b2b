#include "controlleraccess.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

// BTN_JOYSTICK (BTN_TRIGGER) to BTN_DEAD, and BTN_GAMEPAD (BTN_SOUTH) to BTN_THUMBR.
constexpr int kFirstControllerButton = 0x120;
constexpr int kLastControllerButton = 0x13e;

// The kernel writes the bitmap in words of its own long.
constexpr int kWordBits = int(sizeof(unsigned long) * CHAR_BIT);

bool unreadable(const QString &node)
{
    // Opening says what mode bits alone would not: a desktop session grants
    // a controller to its user through an access list.
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == EACCES || errno == EPERM;
}

} // namespace

namespace ControllerAccess {

bool hasControllerButton(const QString &keyBitmap)
{
    const QStringList words = keyBitmap.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size(); ++i) {
        bool ok = false;
        const qulonglong word = words[words.size() - 1 - i].trimmed().toULongLong(&ok, 16);
        if (!ok || word == 0)
            continue;
        const int first = int(i) * kWordBits;
        for (int bit = 0; bit < kWordBits; ++bit) {
            const int code = first + bit;
            if ((word >> bit & 1) && code >= kFirstControllerButton && code <= kLastControllerButton)
                return true;
        }
    }
    return false;
}

QStringList unreadableControllers(const QString &sysRoot, const QString &devRoot)
{
    QStringList found;
    const QDir devices(sysRoot + QStringLiteral("/class/input"));
    const QStringList events
        = devices.entryList({QStringLiteral("event*")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &event : events) {
        QFile keys(devices.filePath(event + QStringLiteral("/device/capabilities/key")));
        if (!keys.open(QIODevice::ReadOnly))
            continue;
        if (!hasControllerButton(QString::fromLatin1(keys.read(4096))))
            continue;
        const QString node = devRoot + QStringLiteral("/input/") + event;
        if (unreadable(node))
            found << node;
    }
    return found;
}

QString permissionProblem(const QString &sysRoot, const QString &devRoot)
{
    if (unreadableControllers(sysRoot, devRoot).isEmpty())
        return {};
    return QStringLiteral("C'è un controller collegato, ma Velmora non ha il permesso di leggerlo: "
                          "chiedere all'amministratore di aggiungere l'utente al gruppo «input».");
}

} // namespace ControllerAccess
