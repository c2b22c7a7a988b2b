#pragma once

#include <QRectF>
#include <QString>

#include <ostream>

// Readable QStrings in failure messages.
void PrintTo(const QString &text, std::ostream *out);

// Every test runs with HOME and the XDG folders pointing into a temporary
// folder of its own, made before it starts and removed after it ends, so no
// test touches the real home folder or sees another test's files.
namespace TestEnv {

QString home();
QString dataHome();
QString runtimeDir();

// The program folder of the build tree: executable, sounds, font, word lists.
QString buildAppFolder();

// A fresh empty folder below the temporary home.
QString makeFolder(const QString &name);

void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// Every file and folder below the folder, sorted, each file with the digest
// of its bytes, and with Details::PermissionsAndTimes also each entry's
// permissions and time of change: compared before and after, what was touched.
enum class Details { Digests, PermissionsAndTimes };
QStringList stateOfTree(const QString &folder, Details details = Details::Digests);

// The text of a PDF file that lies inside the area of each page, in points
// from its top left corner (the whole page when empty): what pdftotext reads,
// clipped or not, in reading order.
QString printedText(const QString &pdf, const QRectF &area = {});

// While it lives, no file of this process may grow past `bytes`: a write
// beyond fails as on a full disk, instead of the kernel ending the test.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool inForce() const { return m_inForce; }

private:
    unsigned long m_saved = 0;
    void (*m_previousHandler)(int) = nullptr;
    bool m_inForce = false;
};

// An error the program reports (a critical message in one of its own
// categories) fails the test it happens in. While an ExpectedError lives,
// errors that hold its text are expected instead, and counted.
void failOnProgramErrors();

class ExpectedError
{
public:
    explicit ExpectedError(const QString &text);
    ~ExpectedError();
    ExpectedError(const ExpectedError &) = delete;
    ExpectedError &operator=(const ExpectedError &) = delete;
    int count() const { return m_count; }

private:
    friend void reportProgramError(const QString &message);
    QString m_text;
    int m_count = 0;
    ExpectedError *m_outer = nullptr;
};

} // namespace TestEnv
