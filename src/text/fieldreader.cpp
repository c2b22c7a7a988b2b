#include "fieldreader.h"

#include <utility>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The longest prefix of token that reads as a decimal number: a sign, digits
// with an optional point, an optional exponent. Converted in the C locale:
// strtod follows the desktop's locale and under an Italian one stops at the
// point, reading "3.5" as 3.
double leadingNumber(const QString &token)
{
    const qsizetype size = token.size();
    qsizetype pos = 0;
    const auto skipDigits = [&] {
        const qsizetype start = pos;
        while (pos < size && isDigit(token[pos]))
            ++pos;
        return pos - start;
    };

    if (pos < size && (token[pos] == u'+' || token[pos] == u'-'))
        ++pos;
    qsizetype digits = skipDigits();
    if (pos < size && token[pos] == u'.') {
        ++pos;
        digits += skipDigits();
    }
    if (digits == 0)
        return 0;

    qsizetype end = pos;
    if (pos < size && (token[pos] == u'e' || token[pos] == u'E')) {
        ++pos;
        if (pos < size && (token[pos] == u'+' || token[pos] == u'-'))
            ++pos;
        if (skipDigits() > 0)
            end = pos;
    }
    bool ok = false;
    const double value = token.left(end).toLatin1().toDouble(&ok);
    return ok ? value : 0;
}

// CR LF, LF and CR each end one line.
int lineEnds(const QString &text)
{
    return int(text.count(u'\n') + text.count(u'\r') - text.count(QLatin1String("\r\n")));
}

} // namespace

FieldReader::FieldReader(QString text)
    : m_text(std::move(text))
{ }

bool FieldReader::atLineEnd() const
{
    return m_pos < m_text.size() && (m_text[m_pos] == u'\r' || m_text[m_pos] == u'\n');
}

void FieldReader::skipBlanks()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
}

void FieldReader::consumeLineEnd()
{
    if (m_pos < m_text.size() && m_text[m_pos] == u'\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
        ++m_pos;
    ++m_line;
}

void FieldReader::finishField()
{
    skipBlanks();
    if (atEnd())
        return;
    if (m_text[m_pos] == u',')
        ++m_pos;
    else if (atLineEnd())
        consumeLineEnd();
}

QString FieldReader::readString()
{
    skipBlanks();
    if (atEnd())
        return {};

    if (m_text[m_pos] == u'"') {
        const qsizetype start = m_pos + 1;
        qsizetype close = m_text.indexOf(u'"', start);
        if (close < 0)
            close = m_text.size();
        const QString value = m_text.mid(start, close - start);
        m_line += lineEnds(value);
        m_pos = close + 1;
        // Anything between the closing quote and the delimiter is dropped.
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !atLineEnd())
            ++m_pos;
        finishField();
        return value;
    }

    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] != u',' && !atLineEnd())
        ++m_pos;
    qsizetype end = m_pos;
    while (end > start && isBlank(m_text[end - 1]))
        --end;
    const QString value = m_text.mid(start, end - start);
    finishField();
    return value;
}

double FieldReader::readNumber()
{
    skipBlanks();
    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isBlank(m_text[m_pos]) && !atLineEnd())
        ++m_pos;
    const double value = leadingNumber(m_text.mid(start, m_pos - start));
    finishField();
    return value;
}

QString FieldReader::readLine()
{
    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && !atLineEnd())
        ++m_pos;
    const QString value = m_text.mid(start, m_pos - start);
    if (!atEnd())
        consumeLineEnd();
    return value;
}

void FieldReader::skipEmptyLines()
{
    for (;;) {
        skipBlanks();
        if (!atLineEnd())
            return;
        consumeLineEnd();
    }
}
