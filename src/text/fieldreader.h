#pragma once

#include <QString>

// Reads the comma-separated sequential format of the program's text files:
// a field ends at a comma or at a line end, blanks before a field are
// skipped, a field that begins with a double quote runs to the next double
// quote, and a number also ends at a blank. Lines may end in CR LF, LF or CR.
class FieldReader
{
public:
    explicit FieldReader(QString text);

    bool atEnd() const { return m_pos >= m_text.size(); }

    // The line (from 1) where the next read starts.
    int line() const { return m_line; }

    QString readString();

    // The leading number of the field, as far as it reads as one; a field
    // with no number in front (an empty one included) reads as 0.
    double readNumber();

    // The rest of the current line, without its line end.
    QString readLine();

    // Blank lines and blanks before the next field, so that a trailing empty
    // line does not count as one more record.
    void skipEmptyLines();

private:
    bool atLineEnd() const;
    void skipBlanks();
    void consumeLineEnd();
    // After a field: blanks, then one comma or one line end.
    void finishField();

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};
