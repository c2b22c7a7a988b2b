#include "testenv.h"

#include <sys/resource.h>

#include <csignal>
#include <utility>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace TestEnv {

namespace {

QtMessageHandler previousHandler = nullptr;
ExpectedError *expectedError = nullptr;

} // namespace

void reportProgramError(const QString &message)
{
    if (expectedError && message.contains(expectedError->m_text))
        ++expectedError->m_count;
    else
        ADD_FAILURE() << "the program reported an error: " << message.toStdString();
}

namespace {

void checkMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtCriticalMsg && context.category && qstrncmp(context.category, "velmora.", 8) == 0)
        reportProgramError(message);
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void failOnProgramErrors()
{
    previousHandler = qInstallMessageHandler(checkMessage);
}

ExpectedError::ExpectedError(const QString &text)
    : m_text(text)
    , m_outer(std::exchange(expectedError, this))
{ }

ExpectedError::~ExpectedError()
{
    expectedError = m_outer;
}

QString home()
{
    return qEnvironmentVariable("HOME");
}

QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString runtimeDir()
{
    return qEnvironmentVariable("XDG_RUNTIME_DIR");
}

QString buildAppFolder()
{
    return QStringLiteral(VELMORA_TEST_APP_DIR);
}

QString makeFolder(const QString &name)
{
    const QString path = home() + u'/' + name;
    QDir(path).removeRecursively();
    EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
    return path;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList stateOfTree(const QString &folder, Details details)
{
    QStringList entries;
    QDirIterator it(
        folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        QString entry = path + u' ';
        if (info.isFile()) {
            entry += QString::fromLatin1(
                QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256).toHex());
        }
        if (details == Details::PermissionsAndTimes) {
            entry += QStringLiteral(" %1 %2").arg(QString::number(int(info.permissions()), 16),
                QString::number(info.lastModified().toMSecsSinceEpoch()));
        }
        entries << entry;
    }
    entries.sort();
    return entries;
}

QString printedText(const QString &pdf, const QRectF &area)
{
    QStringList arguments;
    if (!area.isEmpty()) {
        // A point of room either way for the rounding.
        const QRect crop = area.adjusted(-1, -1, 1, 1).toAlignedRect();
        arguments << QStringLiteral("-x") << QString::number(crop.x()) << QStringLiteral("-y")
                  << QString::number(crop.y()) << QStringLiteral("-W") << QString::number(crop.width())
                  << QStringLiteral("-H") << QString::number(crop.height());
    }
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-"));
    EXPECT_TRUE(reader.waitForFinished(30000)) << "pdftotext is one of the test packages";
    return QString::fromUtf8(reader.readAllStandardOutput());
}

FileSizeLimit::FileSizeLimit(unsigned long bytes)
    : m_previousHandler(std::signal(SIGXFSZ, SIG_IGN))
{
    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_saved = limit.rlim_cur;
    limit.rlim_cur = bytes;
    m_inForce = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit = {};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_saved;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}

} // namespace TestEnv
