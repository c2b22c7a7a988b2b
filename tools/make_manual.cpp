// make_manual INPUT.md OUTPUT.pdf [PICTURES_FOLDER]
//
// Renders the program's manual, written in Markdown, into an A4 PDF with a
// title on the first page and "pagina N di M" at the foot of every page.
// Pictures (![](name.png)) are read from PICTURES_FOLDER, or from the
// input's folder without one; a picture that cannot be read stops the run.

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cstdio>

namespace {

const QString kTitle = QStringLiteral("Velmora – Manuale per insegnanti e genitori");
const QString kBodyFamily = QStringLiteral("Liberation Sans");
const QString kCodeFamily = QStringLiteral("Liberation Mono");
constexpr qreal kBodyPoints = 11;
constexpr qreal kCodePoints = 10;
constexpr qreal kFooterPoints = 9;
constexpr int kResolution = 300;
// Page margins in millimetres; the footer sits inside the bottom one.
constexpr qreal kMarginSide = 22;
constexpr qreal kMarginTop = 20;
constexpr qreal kMarginBottom = 22;
constexpr qreal kFooterGap = 9;

const QColor kHeadingColour(0x1f, 0x4e, 0x79);
const QColor kFooterColour(0x60, 0x60, 0x60);
const QColor kCodeBackground(0xf0, 0xf0, 0xf0);

void fail(const QString &message)
{
    std::fprintf(stderr, "make_manual: %s\n", qPrintable(message));
}

bool readMarkdown(const QString &path, QString &text)
{
    const QFileInfo info(path);
    QFile file(path);
    QString reason;
    if (!info.exists())
        reason = QStringLiteral("no such file");
    else if (info.isDir())
        reason = QStringLiteral("it is a folder");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    if (!reason.isEmpty()) {
        fail(QStringLiteral("cannot read the input %1: %2").arg(path, reason));
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    text = utf8.decode(file.readAll());
    // A file saved in another encoding would print its accented letters wrong.
    if (utf8.hasError()) {
        fail(QStringLiteral("the input %1 is not UTF-8 text").arg(path));
        return false;
    }
    if (text.trimmed().isEmpty()) {
        fail(QStringLiteral("the input %1 is empty").arg(path));
        return false;
    }
    return true;
}

// Lengths in text formats are in pixels of a 96 dpi screen; the layout
// scales them to the PDF's resolution.
qreal formatLength(qreal points)
{
    return points * 96 / 72.0;
}

QFont bodyFont()
{
    QFont font(kBodyFamily);
    font.setPointSizeF(kBodyPoints);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void setFragmentFormat(QTextDocument &document, const QTextFragment &fragment, const QTextCharFormat &format)
{
    QTextCursor cursor(&document);
    cursor.setPosition(fragment.position());
    cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

// Heading sizes in points by level; the title is larger still.
qreal headingPoints(int level)
{
    switch (level) {
    case 1:
        return 18;
    case 2:
        return 15;
    case 3:
        return 12.5;
    default:
        return kBodyPoints;
    }
}

void styleHeading(QTextDocument &document, QTextBlock block, bool title)
{
    const int level = block.blockFormat().headingLevel();
    const qreal points = title ? 22 : headingPoints(level);

    QTextBlockFormat blockFormat = block.blockFormat();
    blockFormat.setTopMargin(formatLength(title ? 0 : (level <= 2 ? 16 : 10)));
    blockFormat.setBottomMargin(formatLength(title ? 18 : 5));
    if (title)
        blockFormat.setAlignment(Qt::AlignHCenter);
    QTextCursor(block).setBlockFormat(blockFormat);

    for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextCharFormat format = it.fragment().charFormat();
        // The importer sizes headings relative to the application font, not to the body text.
        format.clearProperty(QTextFormat::FontSizeAdjustment);
        format.setFontFamilies({kBodyFamily});
        format.setFontPointSize(points);
        format.setFontWeight(QFont::Bold);
        format.setForeground(kHeadingColour);
        setFragmentFormat(document, it.fragment(), format);
    }
}

bool isCode(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    return block.isValid() && (format.hasProperty(QTextFormat::BlockCodeFence) || format.nonBreakableLines());
}

// Space after a block: paragraphs are set apart, list items and the lines
// of a code block stand together, and a list or code block is set apart from
// what follows it as a whole.
qreal spaceAfter(const QTextBlock &block)
{
    const QTextBlock next = block.next();
    if (isCode(block))
        return isCode(next) ? 0 : 7;
    if (block.textList() && next.isValid() && next.textList())
        return 3;
    return 7;
}

void styleBody(QTextDocument &document, QTextBlock block)
{
    const bool code = isCode(block);
    QTextBlockFormat blockFormat = block.blockFormat();
    blockFormat.setTopMargin(code && !isCode(block.previous()) ? formatLength(2) : 0);
    blockFormat.setBottomMargin(formatLength(spaceAfter(block)));
    if (code) {
        blockFormat.setBackground(kCodeBackground);
        blockFormat.setLeftMargin(formatLength(14));
    } else {
        blockFormat.setLineHeight(115, QTextBlockFormat::ProportionalHeight);
    }
    QTextCursor(block).setBlockFormat(blockFormat);

    for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextCharFormat format = it.fragment().charFormat();
        if (!code && !format.fontFixedPitch())
            continue;
        format.setFontFamilies({kCodeFamily});
        format.setFontPointSize(kCodePoints);
        setFragmentFormat(document, it.fragment(), format);
    }
}

// The title is the level-1 heading that opens the text, or the standard
// title put in front of it.
void ensureTitle(QTextDocument &document)
{
    const QTextBlock first = document.begin();
    if (first.blockFormat().headingLevel() == 1)
        return;
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::Start);
    cursor.insertBlock();
    cursor.movePosition(QTextCursor::Start);
    QTextBlockFormat heading;
    heading.setHeadingLevel(1);
    cursor.setBlockFormat(heading);
    cursor.setCharFormat(QTextCharFormat());
    cursor.insertText(kTitle);
}

void styleDocument(QTextDocument &document)
{
    ensureTitle(document);
    bool first = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0)
            styleHeading(document, block, first);
        else
            styleBody(document, block);
        first = false;
    }
}

// Lays the whole document out afresh. After a format change the layout
// only redoes part of the text, and lays out lazily, so positions and page
// count read without this can be stale or short.
void layOutWhole(QTextDocument &document)
{
    document.markContentsDirty(0, document.characterCount());
    document.documentLayout()->blockBoundingRect(document.lastBlock());
}

// The page on which the first line of a block stands.
int pageOf(const QTextBlock &block, qreal pageHeight)
{
    const QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0)
        return int(layout->position().y() / pageHeight);
    // A line moved to the next page may start a hair above the page's edge;
    // its middle is always on its page.
    const QTextLine line = layout->lineAt(0);
    return int((layout->position().y() + line.y() + line.height() / 2) / pageHeight);
}

bool isHeading(const QTextBlock &block)
{
    return block.isValid() && block.blockFormat().headingLevel() > 0;
}

// A heading left alone at the foot of a page starts the next page instead,
// together with any headings right above it.
void keepHeadingsWithText(QTextDocument &document, qreal pageHeight)
{
    layOutWhole(document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlock next = block.next();
        if (!isHeading(block) || !next.isValid() || pageOf(next, pageHeight) == pageOf(block, pageHeight))
            continue;
        QTextBlock first = block;
        while (isHeading(first.previous()) && first.previous() != document.begin()
            && pageOf(first.previous(), pageHeight) == pageOf(block, pageHeight))
            first = first.previous();
        QTextBlockFormat format = first.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(first).setBlockFormat(format);
        layOutWhole(document);
    }
}

// The pictures the Markdown names, as ![description](name.png).
QStringList pictureNames(const QString &markdown)
{
    static const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
    QStringList names;
    for (auto it = picture.globalMatch(markdown); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

// Loads every picture the text names and fits it to the width of the text,
// centred on a line of its own. False, with the reason told, when one
// cannot be read or would be left out.
bool placePictures(QTextDocument &document, const QStringList &names, const QString &folder, qreal width)
{
    QStringList placed;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            QTextImageFormat format = fragment.charFormat().toImageFormat();
            const QString path = QDir(folder).absoluteFilePath(format.name());
            const QImage image(path);
            if (image.isNull()) {
                fail(QStringLiteral("cannot read the picture %1").arg(path));
                return false;
            }
            document.addResource(QTextDocument::ImageResource, QUrl(format.name()), image);
            placed << format.name();
            const qreal shown = qMin<qreal>(width, image.width());
            format.setWidth(shown);
            format.setHeight(shown * image.height() / image.width());
            setFragmentFormat(document, fragment, format);
            QTextBlockFormat centred = block.blockFormat();
            centred.setAlignment(Qt::AlignHCenter);
            centred.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
            QTextCursor(block).setBlockFormat(centred);
        }
    }
    // Qt's Markdown reader drops a picture with an empty description.
    for (const QString &name : names) {
        if (!placed.contains(name)) {
            fail(QStringLiteral("the picture %1 is left out: write a description between its brackets")
                     .arg(name));
            return false;
        }
    }
    return true;
}

bool holdsPicture(const QTextBlock &block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            return true;
    }
    return false;
}

// A picture cut by the foot of a page, or parted from the caption below it,
// starts the next page instead. True when a picture was moved.
bool keepPicturesWhole(QTextDocument &document, qreal pageHeight)
{
    bool moved = false;
    layOutWhole(document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!holdsPicture(block)
            || block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            continue;
        const QRectF place = document.documentLayout()->blockBoundingRect(block);
        const int top = int(place.top() / pageHeight);
        const bool cut = int((place.bottom() - 1) / pageHeight) != top;
        const QTextBlock caption = block.next();
        if (!cut && !(caption.isValid() && pageOf(caption, pageHeight) != top))
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
        layOutWhole(document);
        moved = true;
    }
    return moved;
}

bool writePdf(const QString &markdown, const QString &pictures, QIODevice &out)
{
    QPdfWriter writer(&out);
    writer.setResolution(kResolution);
    writer.setTitle(QStringLiteral("Velmora"));
    writer.setCreator(QStringLiteral("Velmora"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
        QMarginsF(kMarginSide, kMarginTop, kMarginSide, kMarginBottom - kFooterGap),
        QPageLayout::Millimeter));

    const QRect paintArea = writer.pageLayout().paintRectPixels(kResolution);
    const qreal footerHeight = kFooterGap / 25.4 * kResolution;
    const QSizeF body(paintArea.width(), paintArea.height() - footerHeight);

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(bodyFont());
    document.setDocumentMargin(0);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    styleDocument(document);
    // Pictures of a whole screen, a little narrower than the text.
    if (!placePictures(document, pictureNames(markdown), pictures, 0.85 * body.width() * 96 / kResolution))
        return false;
    document.setPageSize(body);
    // Moving a heading can cut a picture further on, and the other way round.
    do
        keepHeadingsWithText(document, body.height());
    while (keepPicturesWhole(document, body.height()));

    QPainter painter;
    if (!painter.begin(&writer)) {
        fail(QStringLiteral("could not lay out the PDF"));
        return false;
    }
    QFont footerFont = bodyFont();
    footerFont.setPointSizeF(kFooterPoints);

    const int pages = document.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * body.height());
        document.drawContents(&painter, QRectF(QPointF(0, page * body.height()), body));
        painter.restore();

        painter.setFont(footerFont);
        painter.setPen(kFooterColour);
        const QRectF footer(0, paintArea.height() - footerHeight, body.width(), footerHeight);
        painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom,
            QStringLiteral("pagina %1 di %2").arg(page + 1).arg(pages));
    }
    if (!painter.end()) {
        fail(QStringLiteral("could not lay out the PDF"));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // A build machine has no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4) {
        fail(QStringLiteral("usage: make_manual INPUT.md OUTPUT.pdf [PICTURES_FOLDER]"));
        return 2;
    }
    const QString input = args.at(1);
    const QString output = args.at(2);
    const QString pictures = args.size() == 4 ? args.at(3) : QFileInfo(input).absolutePath();

    QString markdown;
    if (!readMarkdown(input, markdown))
        return 1;

    if (!QFontDatabase::families().contains(kBodyFamily))
        fail(QStringLiteral("warning: font \"%1\" is not installed, another one takes its place "
                            "(Debian: apt-get install fonts-liberation2)")
                 .arg(kBodyFamily));

    // Built in memory first, so a failed run leaves no half-written manual behind.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (!writePdf(markdown, pictures, pdf))
        return 1;

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf.data()) != pdf.data().size() || !file.commit()) {
        fail(QStringLiteral("cannot write the output %1: %2").arg(output, file.errorString()));
        return 1;
    }
    return 0;
}
