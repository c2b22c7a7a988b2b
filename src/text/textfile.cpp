#include "textfile.h"

#include "cp1252.h"

#include <QFile>
#include <QSaveFile>
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

private:
    int m_fd = -1;
};

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

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString refused = whyNotReplaceable(path);
    if (!refused.isEmpty()) {
        if (error)
            *error = refused;
        return false;
    }
    QSaveFile file(path);
    // commit() alone misses a write error that only shows when the buffer is
    // flushed, and would then replace the old file with a truncated one.
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace TextFile
