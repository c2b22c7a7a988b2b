#include "recorddocument.h"

#include "state/appstate.h"

#include <QLocale>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

const QString kNewLine = QStringLiteral("\r\n");
constexpr int kSentenceLength = 16;

} // namespace

QString RecordDocument::titleLine(const QDate &today)
{
    return QStringLiteral("Velmora - ")
        + QLocale(QLocale::Italian, QLocale::Italy).toString(today, QLocale::ShortFormat);
}

RecordDocument RecordDocument::build(const QString &userName, const QDate &today)
{
    const AppState &state = appState();
    RecordDocument document;
    document.fontName = state.Settings.TextFontName;
    document.text = userName + kNewLine + kNewLine + titleLine(today) + kNewLine;
    document.name = {0, int(userName.size()) + 1};

    const int rows = std::min<int>(state.CaptionTrailCount, int(state.CaptionTrail.size()) - 1);
    for (int i = 1; i <= rows; ++i) {
        const TrailRow &row = state.CaptionTrail[std::size_t(i)];
        QString &text = document.text;
        if (!row.caption.isEmpty()) {
            text += kNewLine;
            const int start = int(text.size());
            text += row.caption + kNewLine;
            if (document.headings.size() < kMaxFormattedHeadings)
                document.headings.append({start, int(text.size())});
        }
        text += row.item + row.marks;
        if (row.item.size() >= kSentenceLength)
            text += kNewLine;
        else if (!row.item.trimmed().isEmpty())
            text += QStringLiteral(" - ");
    }
    return document;
}

void RecordDocument::fill(QTextDocument &document) const
{
    document.clear();
    QFont body(fontName);
    body.setPointSize(kBodyPoints);
    document.setDefaultFont(body);

    // Every character takes the size of the span it lies in; CR LF is one
    // paragraph break.
    auto pointsAt = [this](int position) {
        if (position >= name.start && position < name.end)
            return kNamePoints;
        for (const Span &heading : headings) {
            if (position >= heading.start && position < heading.end)
                return kHeadingPoints;
        }
        return kBodyPoints;
    };

    QTextCursor cursor(&document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    // Only the name's paragraph is centred; the paragraphs after it are not.
    cursor.setBlockFormat(centred);
    auto formatAt = [&](int position) {
        QTextCharFormat format;
        format.setFontFamilies({fontName});
        format.setFontPointSize(pointsAt(position));
        return format;
    };
    cursor.setBlockCharFormat(formatAt(0));
    int position = 0;
    while (position < text.size()) {
        const QChar c = text.at(position);
        if (c == u'\r' || c == u'\n') {
            // A line takes the size of its first character, or of its own
            // line break when it is empty.
            position += text.mid(position, 2) == kNewLine ? 2 : 1;
            cursor.insertBlock(QTextBlockFormat(), formatAt(position));
            continue;
        }
        int end = position + 1;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n'
            && pointsAt(end) == pointsAt(position))
            ++end;
        cursor.insertText(text.mid(position, end - position), formatAt(position));
        position = end;
    }
}
