#include "speechtags.h"

#include <QRegularExpression>

QString speechTagsFor(int speed, int pitch)
{
    return QStringLiteral("\\Spd=%1\\\\Pit=%2\\").arg(speed).arg(pitch);
}

TaggedSpeech parseSpeechTags(const QString &text)
{
    // A tag is a backslash, a name, optionally "=" and a value, and a
    // closing backslash.
    static const QRegularExpression tag(QStringLiteral(R"(\\([A-Za-z]{2,4})(?:=([^\\]*))?\\)"));
    TaggedSpeech result;
    qsizetype from = 0;
    QRegularExpressionMatchIterator it = tag.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result.text += QStringView(text).mid(from, match.capturedStart() - from);
        from = match.capturedEnd();
        bool number = false;
        const int value = match.captured(2).trimmed().toInt(&number);
        const QString name = match.captured(1).toLower();
        if (number && name == QLatin1String("spd"))
            result.speed = value;
        else if (number && name == QLatin1String("pit"))
            result.pitch = value;
    }
    result.text += QStringView(text).mid(from);
    return result;
}

QString untagged(const QString &text)
{
    QString plain = text;
    return plain.replace(u'\\', u' ');
}
