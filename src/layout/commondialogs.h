#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QByteArray;
class QFont;
class QWidget;

// The standard colour, font and file dialogs, modal over their owner. The
// colour and font choices go straight into a target control; the file
// choice comes back as a path. Nothing is kept between calls. Tests put a
// scripted provider in place of the real dialogs.
namespace CommonDialogs {

// What the font dialog reports; the size in tenths of a point.
struct FontChoice
{
    QString family;
    int tenthsOfPoint = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct FileFilter
{
    QString description;
    QString pattern; // "*.rtf", several separated by ';'
};

enum class FileMode { Open = 1, Save = 2 };

struct FileRequest
{
    FileMode mode = FileMode::Save;
    QString title;
    QString initialName;
    QList<FileFilter> filters; // the first one is selected
    QString initialFolder;
    QString defaultExtension; // added to a name typed without one
};

class Provider
{
public:
    virtual ~Provider() = default;
    // Empty when the user cancels or the dialog cannot open.
    virtual std::optional<QColor> chooseColour(QWidget *owner) = 0;
    // The dialog shows start first.
    virtual std::optional<FontChoice> chooseFont(const FontChoice &start) = 0;
    // The chosen full path, or "" when cancelled.
    virtual QString chooseFile(QWidget *owner, const FileRequest &request) = 0;
};

// Takes ownership; nullptr restores the real dialogs.
void setProvider(std::unique_ptr<Provider> provider);

// The real dialogs, for tests that drive them.
std::unique_ptr<Provider> makeStandardProvider();

// The text colour a colour choice set on a control.
QColor foreColour(const QWidget *control);

} // namespace CommonDialogs

// Colour dialog, solid colours only: on confirm the target's text colour
// becomes the choice and the answer is true; on cancel nothing changes.
bool chooseColourFor(QWidget *owner, QWidget *target);

// Font dialog, with no owner, showing the target's font first: on confirm the
// target takes the weight (bold from 700), italic, underline, face and size
// in whole points; strike-out is not applied.
bool chooseFontFor(QWidget *owner, QWidget *target);

// The target's font after a font choice when it has both a face and a size
// that reads (Legible::kMinTextPoints or more); otherwise the user is told,
// in Italian, what to choose, and nothing.
std::optional<QFont> completeFont(QWidget *owner, const QWidget *target);

// Open or save dialog. The save dialog asks before replacing a file. ""
// when cancelled. Paths come back whole, however long.
QString chooseFilePath(QWidget *owner, CommonDialogs::FileMode mode, const QString &title,
    const QString &initialName, const QList<CommonDialogs::FileFilter> &filters, const QString &initialFolder,
    const QString &defaultExtension);

// The Windows-1252 text of a zero-terminated byte array.
QString textFromBytes(const QByteArray &bytes);
