#include "wordstore.h"

#include "state/appstate.h"
#include "state/random.h"
#include "text/fieldreader.h"
#include "text/textfile.h"

#include <QDir>

#include <algorithm>

#include <utility>

namespace {

constexpr int kListedProblems = 10;
constexpr int kQuotedLength = 40;
// A full list of 12000 records is under 2 MB, even in UTF-8.
constexpr qint64 kListReadLimit = 4 * 1024 * 1024;
// No word or sentence for a pupil comes near this; a longer record would
// only slow every window that shows or prints it.
constexpr int kMaxRecordLength = 200;

// A piece of the file inside a message: on one line, short enough to read,
// and with nothing that could cut the message or hide in it.
QString quoted(const QString &field)
{
    QString shown = field.left(kQuotedLength);
    for (QChar &c : shown) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
        else if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    if (field.size() > kQuotedLength)
        shown = shown.left(kQuotedLength - 1) + u'…';
    return u'«' + shown + u'»';
}

bool hasLineBreak(const QString &field)
{
    return field.contains(u'\n') || field.contains(u'\r');
}

// The code of the first character below a blank other than the tab; -1 when there is none.
int controlCharacter(const QString &record)
{
    for (const QChar c : record) {
        if (c.unicode() < 0x20 && c != u'\t')
            return c.unicode();
    }
    return -1;
}

// Text saved as UTF-16 (as some editors call "Unicode") has a NUL byte in
// every other place for Latin letters, or begins with its byte-order mark.
bool isUtf16(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    const QByteArray sample = bytes.left(4096);
    int nulls[2] = {0, 0};
    for (qsizetype i = 0; i < sample.size(); ++i)
        nulls[i % 2] += sample[i] == '\0';
    const qsizetype half = sample.size() / 2;
    return half > 0
        && ((nulls[0] * 2 >= half && nulls[1] * 8 < half) || (nulls[1] * 2 >= half && nulls[0] * 8 < half));
}

// "la risposta «o» non è nessuna delle due scelte «a» e «ha»"
QString notOffered(const QString &answer, const QStringList &spellings)
{
    static const QStringList counts = {QString(), QString(), QStringLiteral("due"), QStringLiteral("tre"),
        QStringLiteral("quattro"), QStringLiteral("cinque")};
    QStringList shown;
    for (const QString &spelling : spellings)
        shown << quoted(spelling);
    const QString last = shown.takeLast();
    if (shown.isEmpty())
        return QStringLiteral("la risposta %1 non è la scelta %2").arg(quoted(answer), last);
    const qsizetype count = spellings.size();
    return QStringLiteral("la risposta %1 non è nessuna delle %2 scelte %3 e %4")
        .arg(quoted(answer), count < counts.size() ? counts[count] : QString::number(count),
            shown.join(QStringLiteral(", ")), last);
}

// As FieldReader counts them inside a quoted field.
int lineEnds(const QString &field)
{
    return int(field.count(u'\n') + field.count(u'\r') - field.count(QLatin1String("\r\n")));
}

class ListLoader
{
public:
    // Rows are written after `rowsBefore`, so that several lists can follow
    // one another in the store.
    // A part of a review keeps quiet about
    // an empty file and about the store filling up: the review speaks for
    // all its files.
    explicit ListLoader(bool sentences, int rowsBefore = 0, bool partOfReview = false)
        : m_count(rowsBefore)
        , m_partOfReview(partOfReview)
    {
        m_report.path = appState().WordListPath;
        m_report.sentences = sentences;
    }

    // The text of the list, or nothing with the reason in the report.
    bool open(QString &text)
    {
        if (m_report.path.isEmpty()) {
            problem(0, QStringLiteral("non è stato indicato nessun file"));
            return false;
        }
        const TextFile::ReadResult file = TextFile::readBytes(m_report.path, kListReadLimit);
        if (!file.ok) {
            problem(0, file.error);
            return false;
        }
        return decode(file.bytes, text);
    }

    // The text of a list's bytes, or nothing when they are no text the program reads.
    bool decode(const QByteArray &bytes, QString &text)
    {
        if (isUtf16(bytes)) {
            problem(0,
                QStringLiteral("il file è salvato con la codifica UTF-16, che il programma non legge: "
                               "aprirlo con un editor di testo e salvarlo di nuovo con la codifica "
                               "Windows-1252"));
            return false;
        }
        text = TextFile::decode(bytes);
        noteIfEmpty(text);
        return true;
    }

    void noteIfEmpty(const QString &text)
    {
        FieldReader probe(text);
        probe.skipEmptyLines();
        if (probe.atEnd() && !m_partOfReview)
            problem(0, QStringLiteral("il file è vuoto"));
    }

    // Whether one more record fits; reports the first one that does not.
    bool roomFor(int line)
    {
        if (m_count < kMaxWordRows)
            return true;
        m_overflowed = true;
        if (!m_partOfReview)
            problem(line,
                QStringLiteral("il file contiene più di %1 righe: usate solo le prime %1").arg(kMaxWordRows));
        return false;
    }

    WordItem &nextRow() { return appState().writableWordRow(++m_count); }

    void problem(int line, const QString &message) { m_report.problems.append({line, message}); }

    LoadReport finish()
    {
        appState().WordCount = qint16(m_count);
        m_report.recordsRead = m_count - m_rowsBefore;
        return std::move(m_report);
    }

    int rows() const { return m_count; }
    bool overflowed() const { return m_overflowed; }

private:
    LoadReport m_report;
    int m_count = 0;
    int m_rowsBefore = m_count;
    bool m_partOfReview = false;
    bool m_overflowed = false;
};

} // namespace

namespace WordLists {

QString unusableRecord(const QString &record)
{
    if (record.size() > kMaxRecordLength)
        return QStringLiteral("la riga è troppo lunga: %1 caratteri, al massimo %2")
            .arg(record.size())
            .arg(kMaxRecordLength);
    if (const int code = controlCharacter(record); code >= 0)
        return QStringLiteral("la riga contiene un carattere di controllo (codice %1), che non si vede")
            .arg(code);
    return {};
}

bool offers(const QStringList &spellings, const QString &answer)
{
    const QString wanted = answer.toUpper();
    return std::any_of(spellings.cbegin(), spellings.cend(),
        [&wanted](const QString &spelling) { return spelling.toUpper() == wanted; });
}

} // namespace WordLists

QString LoadReport::text() const
{
    if (problems.isEmpty())
        return {};

    const QString kind = sentences ? QStringLiteral("delle frasi") : QStringLiteral("delle parole");
    QString message = path.isEmpty()
        ? QStringLiteral("Il file %1 ha dei problemi:").arg(kind)
        : QStringLiteral("Il file %1 «%2» ha dei problemi:").arg(kind, QDir::toNativeSeparators(path));
    const int listed = qMin(int(problems.size()), kListedProblems);
    for (int i = 0; i < listed; ++i) {
        const LoadProblem &p = problems[i];
        message += u'\n';
        if (p.line > 0)
            message += QStringLiteral("riga %1: ").arg(p.line);
        message += p.message;
    }
    const int unlisted = int(problems.size()) - listed;
    if (unlisted == 1)
        message += QStringLiteral("\n… e un altro problema");
    else if (unlisted > 1)
        message += QStringLiteral("\n… e altri %1 problemi").arg(unlisted);
    return message;
}

namespace {

// The word records (gapped word, answer) of a list's text, one per line;
// with spellings offered, only the records one of them answers.
void readWordRecords(ListLoader &loader, const QString &text, const QStringList &offered)
{
    // Blank buttons say nothing of the answers a list may hold.
    const bool known = std::any_of(
        offered.cbegin(), offered.cend(), [](const QString &spelling) { return !spelling.isEmpty(); });
    FieldReader reader(text);
    for (;;) {
        reader.skipEmptyLines();
        if (reader.atEnd() || !loader.roomFor(reader.line()))
            break;

        const int line = reader.line();
        const QString gapped = reader.readString();
        // A record is the gapped word and its answer on one line. When the
        // word ends the line, taking the answer from the next line would pair
        // every following word with the wrong answer; the record is dropped
        // instead. A comma before the end of the file still opens an answer.
        const bool endsLine = reader.line() != line + lineEnds(gapped);
        const bool answered = !endsLine && !(reader.atEnd() && !text.endsWith(u','));
        const QString answer = answered ? reader.readString() : QString();

        if (hasLineBreak(gapped) || hasLineBreak(answer)) {
            loader.problem(line, QStringLiteral("le virgolette aperte non si chiudono sulla stessa riga"));
            continue;
        }
        if (const QString unusable = WordLists::unusableRecord(answered ? gapped + u',' + answer : gapped);
            !unusable.isEmpty()) {
            loader.problem(line, unusable);
            continue;
        }
        if (!answered) {
            loader.problem(line, QStringLiteral("manca la risposta dopo %1").arg(quoted(gapped)));
            continue;
        }
        // Loaded as the format allows, but the exercise cannot work as meant.
        if (!gapped.contains(u'_'))
            loader.problem(
                line, QStringLiteral("in %1 manca «_», lo spazio da completare").arg(quoted(gapped)));
        if (answer.isEmpty())
            loader.problem(line, QStringLiteral("la risposta dopo %1 è vuota").arg(quoted(gapped)));
        // No button could ever be right: the word would never be solved.
        if (known && !WordLists::offers(offered, answer)) {
            if (!answer.isEmpty())
                loader.problem(line, notOffered(answer, offered));
            continue;
        }

        WordItem &row = loader.nextRow();
        row.text = gapped;
        row.answer = answer;
    }
}

} // namespace

LoadReport loadWords(const QStringList &offered)
{
    ListLoader loader(false);
    QString text;
    if (loader.open(text))
        readWordRecords(loader, text, offered);
    return loader.finish();
}

ReviewReport loadReview(const QList<ReviewFile> &files)
{
    AppState &state = appState();
    ReviewReport review;
    int rows = 0;
    state.WordCount = 0;
    for (const ReviewFile &file : files) {
        state.WordListPath
            = QDir::isAbsolutePath(file.file) ? file.file : state.ApplicationFolder + u'/' + file.file;
        ListLoader loader(false, rows, true);
        QString text;
        if (!loader.open(text)) {
            review.missing << state.WordListPath;
            continue;
        }
        readWordRecords(loader, text, {file.first, file.second});
        for (int row = rows + 1; row <= loader.rows(); ++row) {
            WordItem &item = state.writableWordRow(row);
            item.firstChoice = file.first;
            item.secondChoice = file.second;
        }
        rows = loader.rows();
        review.full = loader.overflowed();
        LoadReport report = loader.finish();
        if (!report.ok())
            review.damaged << report;
        if (review.full)
            break;
    }
    review.rows = rows;
    return review;
}

QString ReviewReport::text() const
{
    QStringList parts;
    if (!missing.isEmpty()) {
        QString message = missing.size() == 1
            ? QStringLiteral("Il ripasso continua senza questo file, che non si è potuto leggere:")
            : QStringLiteral("Il ripasso continua senza questi file, che non si sono potuti leggere:");
        for (const QString &path : missing)
            message += u'\n' + QDir::toNativeSeparators(path);
        parts << message;
    }
    for (const LoadReport &report : damaged)
        parts << report.text();
    if (full)
        parts << QStringLiteral("Il ripasso contiene più di %1 parole: usate solo le prime %1.")
                     .arg(kMaxWordRows);
    return parts.join(QStringLiteral("\n\n"));
}

namespace {

void readSentenceRecords(ListLoader &loader, const QString &text)
{
    FieldReader reader(text);
    for (;;) {
        reader.skipEmptyLines();
        if (reader.atEnd() || !loader.roomFor(reader.line()))
            break;

        const int line = reader.line();
        // Blanks after the answer are invisible in an editor and would make it
        // differ from the choice it names.
        QString sentence = reader.readLine();
        while (sentence.endsWith(u' ') || sentence.endsWith(u'\t'))
            sentence.chop(1);
        if (const QString unusable = WordLists::unusableRecord(sentence); !unusable.isEmpty()) {
            loader.problem(line, unusable);
            continue;
        }

        // The last "[" opens the choices, so the sentence itself may hold one.
        const qsizetype open = sentence.lastIndexOf(u'[');
        if (open < 0) {
            loader.problem(line, QStringLiteral("manca «[» prima delle due scelte"));
            continue;
        }
        const qsizetype dash = sentence.indexOf(u'-', open);
        if (dash < 0) {
            loader.problem(line, QStringLiteral("manca «-» tra le due scelte dopo «[»"));
            continue;
        }
        const qsizetype close = sentence.lastIndexOf(u']');
        if (close < dash) {
            loader.problem(line, QStringLiteral("manca «]» dopo le due scelte"));
            continue;
        }

        const QString answer = sentence.mid(close + 1);
        const QStringList choices
            = {sentence.mid(open + 1, dash - open - 1), sentence.mid(dash + 1, close - dash - 1)};
        // Neither button could answer it: a pupil on switches would be stuck.
        if (answer.isEmpty()) {
            loader.problem(line, QStringLiteral("manca la risposta dopo «]»"));
            continue;
        }
        if (!WordLists::offers(choices, answer)) {
            loader.problem(line, notOffered(answer, choices));
            continue;
        }
        WordItem &row = loader.nextRow();
        row.text = sentence.left(open);
        row.answer = answer;
        row.firstChoice = choices[0];
        row.secondChoice = choices[1];
    }
}

} // namespace

LoadReport loadSentences()
{
    ListLoader loader(true);
    QString text;
    if (loader.open(text))
        readSentenceRecords(loader, text);
    return loader.finish();
}

namespace WordLists {

LoadReport wordsFromBytes(const QByteArray &bytes, const QStringList &offered)
{
    ListLoader loader(false);
    QString text;
    if (loader.decode(bytes, text))
        readWordRecords(loader, text, offered);
    return loader.finish();
}

LoadReport sentencesFromBytes(const QByteArray &bytes)
{
    ListLoader loader(true);
    QString text;
    if (loader.decode(bytes, text))
        readSentenceRecords(loader, text);
    return loader.finish();
}

} // namespace WordLists

QString completeWord(const QString &gapped, const QString &answer)
{
    QString word;
    word.reserve(gapped.size() + answer.size());
    bool filled = false;
    for (const QChar c : gapped) {
        if (c != u'_') {
            word += c;
        } else if (!filled) {
            word += answer;
            filled = true;
        }
    }
    return word;
}

QString completedItem(int row)
{
    const WordItem &item = appState().wordRow(row);
    return completeWord(item.text, item.answer);
}

QString gapShownApart(const QString &gapped, const QStringList &spellings)
{
    const bool elided = std::any_of(spellings.cbegin(), spellings.cend(),
        [](const QString &spelling) { return spelling.endsWith(u'\'') || spelling.endsWith(u'\u2019'); });
    if (!elided)
        return gapped;
    QString shown;
    shown.reserve(gapped.size() + 2);
    for (qsizetype i = 0; i < gapped.size(); ++i) {
        shown += gapped[i];
        if (gapped[i] == u'_' && i + 1 < gapped.size() && gapped[i + 1].isLetter())
            shown += u' ';
    }
    return shown;
}

void pickRandomItem()
{
    appState().CurrentWordIndex = qint16(Random::pickOneBased(appState().WordCount));
}

QString historyListName(const QString &path)
{
    const QStringList parts = QDir::cleanPath(path).split(u'/');
    const QString shipped = QDir::cleanPath(appState().ApplicationFolder + QStringLiteral("/testidifort"));
    const qsizetype lists = parts.lastIndexOf(QStringLiteral("liste"));
    if (lists < 0 || lists >= parts.size() - 1 || QDir::cleanPath(path).startsWith(shipped + u'/'))
        return parts.last();
    return parts.mid(lists).join(u'/');
}
