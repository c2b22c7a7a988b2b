#include "textfile.h"

#include "cp1252.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Closes the descriptor however the read ends.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd = -1;
};

// Temporary files of a save: the target's name, a dot and six letters, as
// QSaveFile named them where a file system has no unnamed temporary files.
constexpr int kTemporaryLetters = 6;
// Until the file is moved into place, only its owner can read it.
constexpr mode_t kTemporaryMode = 0600;
constexpr int kTemporaryTries = 100;

QString randomLetters()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QString text;
    for (int i = 0; i < kTemporaryLetters; ++i)
        text += QLatin1Char(letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)]);
    return text;
}

// A new file beside path, opened for writing, or -1 with the reason.
int openTemporary(const QString &path, QString *temporary, QString *error)
{
    int code = EEXIST;
    for (int attempt = 0; attempt < kTemporaryTries && code == EEXIST; ++attempt) {
        *temporary = path + u'.' + randomLetters();
        const int fd = ::open(QFile::encodeName(*temporary).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kTemporaryMode);
        if (fd >= 0)
            return fd;
        code = errno;
    }
    if (error)
        *error = TextFile::reasonFor(code);
    temporary->clear();
    return -1;
}

// The permissions of the file that path replaces, or those a new file gets.
mode_t modeFor(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode))
        return info.st_mode & 07777;
    static const mode_t mask = [] {
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return 0666 & ~mask;
}

} // namespace

namespace TextFile {

QString decode(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    if (bytes.startsWith(bom))
        return QString::fromUtf8(bytes.mid(bom.size()));

    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (!ascii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return Cp1252::decode(bytes);
}

ReadResult readBytes(const QString &path, qint64 limit)
{
    ReadResult result;
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || name.contains('\0')) {
        result.error = QStringLiteral("il file non esiste");
        return result;
    }
    // Non-blocking, so that opening a named pipe with no writer cannot hang;
    // the type is then checked on what was actually opened.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int code = errno;
        result.error = code == ENOENT
            ? QStringLiteral("il file non esiste")
            : QStringLiteral("il file non si può leggere (%1)").arg(systemError(code));
        return result;
    }
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0) {
        result.error = QStringLiteral("il file non si può leggere (%1)").arg(systemError(errno));
        return result;
    }
    if (S_ISDIR(info.st_mode)) {
        result.error = QStringLiteral("al posto del file c'è una cartella");
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.error = QStringLiteral("non è un file normale ma un dispositivo o un canale");
        return result;
    }
    if (info.st_size > limit) {
        result.error = QStringLiteral("il file è troppo grande (più di %1 KB)").arg(limit / 1024);
        return result;
    }

    // The size may change under us: never read past the limit.
    QByteArray bytes;
    bytes.resize(qsizetype(info.st_size) + 1);
    qsizetype used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > limit)
                break;
            bytes.resize(qMin<qsizetype>(bytes.size() * 2, qsizetype(limit) + 1));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + used, size_t(bytes.size() - used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = QStringLiteral("errore di lettura (%1)").arg(systemError(errno));
            return result;
        }
        if (got == 0)
            break;
        used += got;
    }
    if (used > limit) {
        result.error = QStringLiteral("il file è troppo grande (più di %1 KB)").arg(limit / 1024);
        return result;
    }
    bytes.truncate(used);
    result.ok = true;
    result.bytes = std::move(bytes);
    return result;
}

ReadResult read(const QString &path, qint64 limit)
{
    ReadResult result = readBytes(path, limit);
    if (result.ok)
        result.text = decode(result.bytes);
    return result;
}

QString whyNotReplaceable(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QString();
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("al posto del file c'è un collegamento simbolico, che non viene seguito");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("al posto del file c'è una cartella");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("al posto del file c'è un dispositivo o un canale");
    return QString();
}

QString reasonFor(int errorCode)
{
    switch (errorCode) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("il disco è pieno");
    case EFBIG:
        return QStringLiteral("il file supera la dimensione massima consentita");
    case EACCES:
    case EPERM:
        return QStringLiteral("non è permesso scrivere nella cartella");
    case EROFS:
        return QStringLiteral("il disco è protetto contro la scrittura");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("la cartella non esiste");
    default:
        return QStringLiteral("errore di scrittura (%1)").arg(systemError(errorCode));
    }
}

QString createTemporary(const QString &path, QString *error)
{
    QString temporary;
    const Descriptor fd(openTemporary(path, &temporary, error));
    return fd.get() < 0 ? QString() : temporary;
}

bool moveIntoPlace(const QString &temporary, const QString &path, QString *error)
{
    const QByteArray from = QFile::encodeName(temporary);
    const auto fail = [&](const QString &reason) {
        ::unlink(from.constData());
        if (error)
            *error = reason;
        return false;
    };
    const QString refused = whyNotReplaceable(path);
    if (!refused.isEmpty())
        return fail(refused);
    {
        const Descriptor fd(::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (fd.get() < 0)
            return fail(reasonFor(errno));
        // On disk before the name points at it, so a crash leaves the old file or the new one whole.
        if (::fsync(fd.get()) != 0 && errno != EINVAL)
            return fail(reasonFor(errno));
        if (::fchmod(fd.get(), modeFor(path)) != 0)
            return fail(reasonFor(errno));
    }
    if (::rename(from.constData(), QFile::encodeName(path).constData()) != 0)
        return fail(reasonFor(errno));
    return true;
}

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString refused = whyNotReplaceable(path);
    if (!refused.isEmpty()) {
        if (error)
            *error = refused;
        return false;
    }
    QString temporary;
    int code = 0;
    {
        Descriptor fd(openTemporary(path, &temporary, error));
        if (fd.get() < 0)
            return false;
        const char *data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            // A write cut short by a size limit says why only when tried again.
            const ssize_t written = ::write(fd.get(), data, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                code = errno;
                break;
            }
            data += written;
            left -= written;
        }
        if (code == 0 && ::close(fd.release()) != 0)
            code = errno;
    }
    if (code != 0) {
        ::unlink(QFile::encodeName(temporary).constData());
        if (error)
            *error = reasonFor(code);
        return false;
    }
    return moveIntoPlace(temporary, path, error);
}

QStringList removeLeftovers(const QString &folder, const QStringList &extensions)
{
    QStringList removed;
    if (extensions.isEmpty())
        return removed;
    QStringList escaped;
    for (const QString &extension : extensions)
        escaped << QRegularExpression::escape(extension);
    const QRegularExpression leftover(
        QStringLiteral("^.+\\.(%1)\\.[A-Za-z]{%2}$").arg(escaped.join(u'|')).arg(kTemporaryLetters),
        QRegularExpression::CaseInsensitiveOption);
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!leftover.match(name).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat info = {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()
            || (info.st_mode & 07777) != kTemporaryMode)
            continue;
        if (::unlink(path.constData()) == 0)
            removed << name;
    }
    return removed;
}

} // namespace TextFile
