#pragma once

#include <QDate>
#include <QList>
#include <QString>

class QTextDocument;

// The activity record as a document: the user's name large and centred, an
// empty line, the title line with the date, then every heading on a line of
// its own after an empty line, with the items of each heading joined by
// " - ", or on a line of their own from 16 characters on, each followed by
// its marks. Positions count CR and LF as one character each.
struct RecordDocument
{
    struct Span
    {
        int start = 0;
        int end = 0;
    };

    static constexpr int kMaxFormattedHeadings = 100;
    static constexpr int kNamePoints = 18;
    static constexpr int kHeadingPoints = 14;
    static constexpr int kBodyPoints = 12;

    QString text;
    Span name; // the name and its CR: large and centred
    QList<Span> headings; // at most the first hundred; later ones stay in body size
    QString fontName;

    // From the record in the program-wide variables.
    static RecordDocument build(const QString &userName, const QDate &today);

    // "Velmora - " and the date in the Italian short format.
    static QString titleLine(const QDate &today);

    // The rich text the window shows, prints and saves.
    void fill(QTextDocument &document) const;
};
