#include "profile.h"

#include "scanning/switchinput.h"
#include "settingsfolders.h"
#include "state/appstate.h"
#include "text/cp1252.h"
#include "text/fieldreader.h"
#include "text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <variant>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// The text of one line of the file, by the type of its value.
QString fieldText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString numberText(qint64 value)
{
    const QString digits = QString::number(value);
    return value < 0 ? digits + u' ' : u' ' + digits + u' ';
}

// A colour is held as a double; the file carries its whole value. Values no
// colour can take are kept inside qint64, where the conversion is defined.
qint64 wholeColour(double value)
{
    if (!std::isfinite(value))
        return 0;
    constexpr double limit = 9.2e18;
    return qint64(std::round(std::clamp(value, -limit, limit)));
}

// A string stands bare on its line when the reader gives it back unchanged.
// A comma, blanks at either end or a leading quote would change the field
// boundaries, so such a value goes in quotes, where a quote cannot appear.
QString fieldText(const QString &value)
{
    QString text = value;
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    const bool needsQuotes = text.contains(u',') || text.startsWith(u'"') || text.startsWith(u' ')
        || text.startsWith(u'\t') || text.endsWith(u' ') || text.endsWith(u'\t');
    if (!needsQuotes)
        return text;
    text.replace(u'"', u'\'');
    return u'"' + text + u'"';
}

QString fieldText(qint16 value)
{
    return numberText(value);
}

QString fieldText(double colour)
{
    return numberText(wholeColour(colour));
}

QString letterCaseFrom(const QString &field)
{
    const QStringView start = QStringView(field).left(3);
    if (start == QLatin1String("mai"))
        return QStringLiteral("maiuscolo");
    if (start == QLatin1String("min"))
        return QStringLiteral("minuscolo");
    return QStringLiteral("corsivo");
}

// Reads the values in file order. A fault in a line every profile has
// stops the whole read; a line older profiles lack may be missing or
// damaged, and then takes its default.
class ProfileReader
{
public:
    ProfileReader(const QString &text, const QList<int> &overlong)
        : m_fields(text)
        , m_overlong(overlong)
    { }

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_fields.atEnd(); }

    QString string()
    {
        if (!haveField())
            return {};
        return m_fields.readString();
    }

    bool boolean() { return string().startsWith(u'T'); }

    qint16 integer()
    {
        const double value = number();
        if (!(value > -32768.5 && value < 32767.5)) {
            m_ok = false;
            return 0;
        }
        return qint16(std::lround(value));
    }

    double colour() { return number(); }

    void read(QString &value) { value = string(); }
    void read(bool &value) { value = boolean(); }
    void read(qint16 &value) { value = integer(); }
    void read(double &value) { value = colour(); }

    // A line older profiles lack: a flag reads True or False by its first
    // letter, anything else leaves the default; an integer outside its range
    // becomes what its row says. A field with no number reads 0, so it stays
    // 0 only where 0 is allowed.
    void readOptional(QString &value, const ProfileSchema::Setting &)
    {
        if (!skippedOverlong())
            value = string();
    }
    void readOptional(double &value, const ProfileSchema::Setting &)
    {
        if (!skippedOverlong())
            value = colour();
    }

    void readOptional(bool &value, const ProfileSchema::Setting &)
    {
        if (skippedOverlong())
            return;
        const QString text = string();
        if (text.startsWith(u'T'))
            value = true;
        else if (text.startsWith(u'F'))
            value = false;
    }

    void readOptional(qint16 &value, const ProfileSchema::Setting &setting)
    {
        if (skippedOverlong())
            return;
        const double read = number();
        if (std::isfinite(read))
            value = ProfileSchema::allowed(setting, int(std::lround(std::clamp(read, -1e9, 1e9))));
    }

private:
    bool atOverlongLine() const { return m_overlong.contains(m_fields.line()); }

    // An over-long line, emptied when the file was read, is passed over.
    bool skippedOverlong()
    {
        if (!atOverlongLine())
            return false;
        m_fields.readString();
        return true;
    }

    bool haveField()
    {
        if (m_fields.atEnd() || atOverlongLine())
            m_ok = false;
        return m_ok;
    }

    double number()
    {
        if (!haveField())
            return 0;
        return m_fields.readNumber();
    }

    FieldReader m_fields;
    QList<int> m_overlong;
    bool m_ok = true;
};

// Whether bytes are the lines serialize writes for settings, as far as
// either goes: a file this program wrote, or one from a copy that writes
// fewer lines or more.
bool writtenBy(const ProfileSettings &settings, const QByteArray &bytes)
{
    const QByteArray written = Profile::serialize(settings);
    if (bytes.size() > written.size())
        return bytes.startsWith(written);
    return written.startsWith(bytes) && bytes.endsWith(kLineEnd.toLatin1());
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

namespace Profile {

QByteArray serialize(const ProfileSettings &s)
{
    QStringList lines;
    for (const ProfileSchema::Setting &setting : ProfileSchema::settings())
        lines << std::visit([&s](const auto &field) { return fieldText(s.*field.member); }, setting.field);
    return Cp1252::encode(lines.join(kLineEnd) + kLineEnd);
}

std::optional<ProfileSettings> parse(const QString &text, const QList<int> &overlong)
{
    ProfileReader in(text, overlong);
    ProfileSettings s;
    for (const ProfileSchema::Setting &setting : ProfileSchema::settings()) {
        if (setting.optional) {
            // Missing: the file ends here, and s keeps the default.
            if (!in.atEnd())
                std::visit(
                    [&](const auto &field) { in.readOptional(s.*field.member, setting); }, setting.field);
            continue;
        }
        std::visit([&in, &s](const auto &field) { in.read(s.*field.member); }, setting.field);
        if (setting.letterCase)
            s.LetterCase = letterCaseFrom(s.LetterCase);
    }
    if (!in.ok())
        return std::nullopt;
    // A switch line that names no input, or a second switch on the first's
    // input, is the switch the pupil would get: saving writes that.
    const SwitchMap switches(s.Switch1Input, s.Switch2Input);
    s.Switch1Input = switches.first().toText();
    s.Switch2Input = switches.second().toText();
    return s;
}

std::optional<ProfileSettings> parseBytes(const QByteArray &bytes, const QList<int> &overlong)
{
    std::optional<ProfileSettings> settings = parse(Cp1252::decode(bytes), overlong);
    if (settings && writtenBy(*settings, bytes))
        return settings;
    return parse(TextFile::decode(bytes), overlong);
}

FileLines readFile(const QString &path)
{
    FileLines file;
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || name.contains('\0'))
        return file;
    // Non-blocking, so that a named pipe with no writer cannot hang the
    // start; only a regular file is read.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return file;
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return file;

    // Lines after the last known one are never read.
    const int wanted = int(ProfileSchema::settings().size());
    QByteArray &kept = file.bytes;
    int line = 1;
    qsizetype lineStart = 0;
    bool overlong = false;
    bool afterCr = false;
    qint64 scanned = 0;
    bool done = false;
    char chunk[64 * 1024];
    while (!done && scanned < kScanLimit) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return file;
        if (got == 0)
            break;
        scanned += got;
        for (ssize_t i = 0; i < got; ++i) {
            const char c = chunk[i];
            if (c == '\n' && afterCr) {
                // The second half of CR LF.
                kept += c;
                afterCr = false;
                continue;
            }
            if (line > wanted) {
                done = true;
                break;
            }
            afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                kept += c;
                ++line;
                lineStart = kept.size();
                overlong = false;
                continue;
            }
            if (overlong)
                continue;
            if (kept.size() - lineStart >= kLineLimit) {
                overlong = true;
                kept.truncate(lineStart);
                file.overlong << line;
                continue;
            }
            kept += c;
        }
    }
    file.ok = true;
    return file;
}

QString damagedCopyPath(const QString &path)
{
    const QString first = path + QStringLiteral(".danneggiato");
    QString candidate = first;
    for (int n = 2; QFileInfo(candidate).exists() || QFileInfo(candidate).isSymLink(); ++n)
        candidate = first + QString::number(n);
    return candidate;
}

} // namespace Profile

void resetSettings()
{
    appState().Settings = ProfileSettings{};
}

void loadSettings()
{
    AppState &state = appState();
    resetSettings();
    state.DamagedProfilePath.clear();
    if (state.ProfilePath.isEmpty())
        return;
    const QString path = ProfileFiles::resolve(state.ProfilePath);
    const Profile::FileLines file = Profile::readFile(path);
    const std::optional<ProfileSettings> settings
        = file.ok ? Profile::parseBytes(file.bytes, file.overlong) : std::optional<ProfileSettings>();
    if (settings)
        state.Settings = *settings;
    else if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
        state.DamagedProfilePath = path;
}

namespace {

// A hard link keeps the bytes without reading them and cannot overwrite an
// existing copy; a file system without links gets a copy instead.
bool keepDamagedCopy(const QString &path, QString *copyPath, QString *error)
{
    *copyPath = Profile::damagedCopyPath(path);
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(*copyPath);
    if (::link(from.constData(), to.constData()) == 0)
        return true;
    if (QFile::copy(path, *copyPath))
        return true;
    *error = QStringLiteral("non è stato possibile conservare una copia del file danneggiato in %1")
                 .arg(QDir::toNativeSeparators(*copyPath));
    return false;
}

} // namespace

bool saveSettings(QString *error, QString *notice)
{
    if (appState().ProfilePath.isEmpty())
        return fail(error, QStringLiteral("impossibile salvare le impostazioni: nessun utente scelto"));

    const QString path = ProfileFiles::resolve(appState().ProfilePath);
    const QString shownPath = QDir::toNativeSeparators(path);
    const QFileInfo target(path);
    if (!QFileInfo(target.path()).isDir()) {
        return fail(error,
            QStringLiteral("impossibile salvare le impostazioni in %1: la cartella "
                           "degli utenti non esiste")
                .arg(shownPath));
    }
    if (target.isDir()) {
        return fail(error,
            QStringLiteral("impossibile salvare le impostazioni in %1: al posto "
                           "del file c'è una cartella")
                .arg(shownPath));
    }

    QString reason = SettingsFolders::whyNotWritable(path);
    if (!reason.isEmpty())
        return fail(
            error, QStringLiteral("impossibile salvare le impostazioni in %1: %2").arg(shownPath, reason));

    AppState &state = appState();
    QString copyPath;
    const bool damaged = state.DamagedProfilePath == path && QFileInfo::exists(path);
    if (damaged) {
        if (!keepDamagedCopy(path, &copyPath, &reason))
            return fail(error,
                QStringLiteral("impossibile salvare le impostazioni in %1: %2, e il file non è stato "
                               "sostituito")
                    .arg(shownPath, reason));
    }

    if (!TextFile::writeAtomically(path, Profile::serialize(state.Settings), &reason)) {
        return fail(
            error, QStringLiteral("impossibile salvare le impostazioni in %1 (%2)").arg(shownPath, reason));
    }
    if (damaged) {
        state.DamagedProfilePath.clear();
        if (notice) {
            *notice = QStringLiteral("Il file delle impostazioni di «%1» (%2) era danneggiato e non è "
                                     "stato letto: sono state usate le impostazioni predefinite, e il "
                                     "file è stato riscritto.\r\nUna copia del file danneggiato è stata "
                                     "conservata in %3.")
                          .arg(state.UserName, shownPath, QDir::toNativeSeparators(copyPath));
        }
    }
    return true;
}
