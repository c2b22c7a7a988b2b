#include "commondialogs.h"

#include "layout/dialogs.h"
#include "layout/legible.h"
#include "text/cp1252.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFont>
#include <QFontDialog>
#include <QWidget>

#include <cmath>

namespace {

using CommonDialogs::FileMode;
using CommonDialogs::FileRequest;
using CommonDialogs::FontChoice;

constexpr int kCustomColourSlots = 16;
constexpr int kBoldFromWeight = 700;

class StandardProvider : public CommonDialogs::Provider
{
public:
    std::optional<QColor> chooseColour(QWidget *owner) override
    {
        // The custom colours are shared by every colour dialog of the program:
        // each dialog starts with all of them black.
        for (int slot = 0; slot < kCustomColourSlots; ++slot)
            QColorDialog::setCustomColor(slot, Qt::black);
        QColorDialog dialog(Qt::black, owner);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.selectedColor();
    }

    std::optional<FontChoice> chooseFont(const FontChoice &start) override
    {
        QFont initial(start.family);
        if (start.tenthsOfPoint > 0)
            initial.setPointSizeF(start.tenthsOfPoint / 10.0);
        initial.setBold(start.weight >= kBoldFromWeight);
        initial.setItalic(start.italic);
        initial.setUnderline(start.underline);
        QFontDialog dialog(initial);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QFont font = dialog.selectedFont();
        FontChoice choice;
        choice.family = font.family();
        choice.tenthsOfPoint = int(std::lround(font.pointSizeF() * 10));
        choice.weight = font.weight();
        choice.italic = font.italic();
        choice.underline = font.underline();
        choice.strikeOut = font.strikeOut();
        return choice;
    }

    QString chooseFile(QWidget *owner, const FileRequest &request) override
    {
        QFileDialog dialog(owner, request.title, request.initialFolder);
        // The same dialog on every desktop, in the program's language.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (request.mode == FileMode::Open) {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
        }
        QStringList names;
        for (const CommonDialogs::FileFilter &filter : request.filters) {
            QString patterns = filter.pattern;
            patterns.replace(u';', u' ');
            names << (filter.description.isEmpty()
                    ? patterns
                    : QStringLiteral("%1 (%2)").arg(filter.description, patterns));
        }
        if (!names.isEmpty()) {
            dialog.setNameFilters(names);
            dialog.selectNameFilter(names.constFirst());
        }
        dialog.setDefaultSuffix(request.defaultExtension);
        if (!request.initialName.isEmpty())
            dialog.selectFile(request.initialName);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.selectedFiles().value(0);
    }
};

std::unique_ptr<CommonDialogs::Provider> &current()
{
    static std::unique_ptr<CommonDialogs::Provider> provider = std::make_unique<StandardProvider>();
    return provider;
}

} // namespace

namespace CommonDialogs {

void setProvider(std::unique_ptr<Provider> provider)
{
    current() = provider ? std::move(provider) : std::make_unique<StandardProvider>();
}

std::unique_ptr<Provider> makeStandardProvider()
{
    return std::make_unique<StandardProvider>();
}

QColor foreColour(const QWidget *control)
{
    return control->palette().color(QPalette::WindowText);
}

} // namespace CommonDialogs

bool chooseColourFor(QWidget *owner, QWidget *target)
{
    const std::optional<QColor> colour = current()->chooseColour(owner);
    if (!colour)
        return false;
    QPalette palette = target->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, *colour);
    target->setPalette(palette);
    return true;
}

bool chooseFontFor(QWidget *, QWidget *target)
{
    QFont font = target->font();
    FontChoice start;
    start.family = font.family();
    start.tenthsOfPoint = int(std::lround(font.pointSizeF() * 10));
    start.weight = font.weight();
    start.italic = font.italic();
    start.underline = font.underline();
    const std::optional<FontChoice> choice = current()->chooseFont(start);
    if (!choice)
        return false;
    font.setBold(choice->weight >= kBoldFromWeight);
    font.setItalic(choice->italic);
    font.setUnderline(choice->underline);
    font.setFamily(choice->family);
    font.setPointSize(qMax(1, int(std::lround(choice->tenthsOfPoint / 10.0))));
    target->setFont(font);
    return true;
}

std::optional<QFont> completeFont(QWidget *owner, const QWidget *target)
{
    const QFont font = target->font();
    if (font.family().isEmpty() || font.pointSizeF() <= 0) {
        Dialogs::error(owner, QStringLiteral("selezionare sia il tipo di font che la dimensione"));
        return std::nullopt;
    }
    if (font.pointSize() < Legible::kMinTextPoints) {
        Dialogs::error(owner,
            QStringLiteral(
                "Il carattere scelto è troppo piccolo: selezionare una dimensione di almeno %1 punti.")
                .arg(Legible::kMinTextPoints));
        return std::nullopt;
    }
    return font;
}

QString chooseFilePath(QWidget *owner, FileMode mode, const QString &title, const QString &initialName,
    const QList<CommonDialogs::FileFilter> &filters, const QString &initialFolder,
    const QString &defaultExtension)
{
    FileRequest request;
    request.mode = mode;
    request.title = title;
    request.initialName = initialName;
    request.filters = filters;
    request.initialFolder = initialFolder;
    request.defaultExtension = defaultExtension;
    return current()->chooseFile(owner, request);
}

QString textFromBytes(const QByteArray &bytes)
{
    const int end = bytes.indexOf('\0');
    return Cp1252::decode(end < 0 ? bytes : bytes.left(end));
}
