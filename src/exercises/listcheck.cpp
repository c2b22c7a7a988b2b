#include "listcheck.h"

#include "exercises/wordstore.h"
#include "state/appstate.h"
#include "text/fieldreader.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace ListCheck {

namespace {

constexpr int kQuotedLength = 40;

const QString &folderName()
{
    static const QString name = QStringLiteral("parole");
    return name;
}

// A piece of the list inside a message: on one line and short enough to read.
QString quoted(const QString &text)
{
    QString shown = text.left(kQuotedLength);
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    if (text.size() > kQuotedLength)
        shown = shown.left(kQuotedLength - 1) + u'…';
    return u'"' + shown + u'"';
}

// "3, 5 e 9"
QString lineList(const QList<int> &lines)
{
    QStringList shown;
    for (int line : lines)
        shown.append(QString::number(line));
    const QString last = shown.takeLast();
    return shown.isEmpty() ? last : shown.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last;
}

// "\"s\" e \"ss\"", "\"la\", \"lo\" e \"l'\""
QString choiceList(const QStringList &choices)
{
    QStringList shown;
    for (const QString &choice : choices)
        shown.append(quoted(choice));
    const QString last = shown.takeLast();
    return shown.isEmpty() ? last : shown.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last;
}

const QRegularExpression &nonLetters()
{
    static const QRegularExpression pattern(QStringLiteral("[^\\p{L}]+"));
    return pattern;
}

// The entries of one of our word lists by line, or false when it cannot be read.
bool readEntries(const QString &path, QMap<int, WordData::Entry> &entries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (int n = 1; n <= lines.size(); ++n) {
        const QString line = lines[n - 1].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        entries.insert(n, {line.section(u'#', 0, 0).trimmed(), line.section(u'#', 1).trimmed()});
    }
    return true;
}

// One line as the reader of word lists takes it: the gapped word, a comma,
// the answer, and nothing more. Empty when it does, else what is wrong.
QString readWordRecord(const QString &line, Record &record)
{
    FieldReader reader(line + u'\n');
    const QString gapped = reader.readString();
    if (gapped.contains(u'\n'))
        return QStringLiteral("le virgolette aperte non si chiudono");
    const bool answered = reader.line() == 1;
    const QString answer = answered ? reader.readString() : QString();
    if (answer.contains(u'\n'))
        return QStringLiteral("le virgolette aperte non si chiudono");
    if (const QString unusable = WordLists::unusableRecord(answered ? gapped + u',' + answer : gapped);
        !unusable.isEmpty())
        return unusable;
    if (!answered)
        return QStringLiteral("%1 manca la virgola tra la parola e la risposta").arg(quoted(gapped));
    // The reader would take what follows as one more record with no answer.
    if (reader.line() == 1)
        return QStringLiteral("%1 ha più di una virgola: scrivere solo la parola, una virgola e la risposta")
            .arg(quoted(line.trimmed()));
    record.text = gapped;
    record.answer = answer;
    return {};
}

// One line as the reader of sentence lists takes it.
QString readSentenceRecord(const QString &line, Record &record)
{
    QString sentence = line;
    while (sentence.endsWith(u' ') || sentence.endsWith(u'\t'))
        sentence.chop(1);
    if (const QString unusable = WordLists::unusableRecord(sentence); !unusable.isEmpty())
        return unusable;
    const qsizetype open = sentence.lastIndexOf(u'[');
    if (open < 0)
        return QStringLiteral("%1 manca «[» prima delle due scelte").arg(quoted(sentence.trimmed()));
    const qsizetype dash = sentence.indexOf(u'-', open);
    if (dash < 0)
        return QStringLiteral("%1 manca «-» tra le due scelte dopo «[»").arg(quoted(sentence.trimmed()));
    const qsizetype close = sentence.lastIndexOf(u']');
    if (close < dash)
        return QStringLiteral("%1 manca «]» dopo le due scelte").arg(quoted(sentence.trimmed()));
    record.text = sentence.left(open);
    record.answer = sentence.mid(close + 1);
    record.choices = {sentence.mid(open + 1, dash - open - 1), sentence.mid(dash + 1, close - dash - 1)};
    return {};
}

// What is wrong with the gap of a record; empty when it has one. Underscores
// side by side make one gap, filled as one.
QString gapFault(const Record &r)
{
    const qsizetype gaps = r.text.count(u'_');
    if (gaps == 0)
        return QStringLiteral("%1 manca lo spazio da riempire (_).").arg(quoted(r.text));
    if (r.text.lastIndexOf(u'_') - r.text.indexOf(u'_') + 1 != gaps)
        return QStringLiteral("%1 ha più di uno spazio da riempire (_): solo il primo si riempie.")
            .arg(quoted(r.text));
    return {};
}

// What is wrong with the answer of a record; empty when a button answers it.
QString answerFault(const Record &r, Records records, const QStringList &spellings)
{
    if (records == Records::Sentences) {
        if (r.answer.isEmpty())
            return QStringLiteral("%1 manca la risposta dopo «]».").arg(quoted(r.text));
        if (r.choices[0].compare(r.choices[1], Qt::CaseInsensitive) == 0)
            return QStringLiteral("%1 ha due scelte uguali, %2: il bambino non ha niente da scegliere.")
                .arg(quoted(r.text), choiceList(r.choices));
        if (!WordLists::offers(r.choices, r.answer))
            return QStringLiteral("%1 ha la risposta %2, che non è nessuna delle due scelte %3.")
                .arg(quoted(r.text), quoted(r.answer), choiceList(r.choices));
        return {};
    }
    if (r.answer.isEmpty())
        return QStringLiteral("%1 manca la risposta dopo la virgola.").arg(quoted(r.text));
    // Blank buttons say nothing of the answers a list may hold.
    const bool known = std::any_of(
        spellings.cbegin(), spellings.cend(), [](const QString &spelling) { return !spelling.isEmpty(); });
    if (known && !WordLists::offers(spellings, r.answer))
        return QStringLiteral("%1 ha la risposta %2, che non è nessuna delle scelte %3.")
            .arg(quoted(r.text), quoted(r.answer), choiceList(spellings));
    return {};
}

// The spelling of the pair other than the answer, or empty when the
// exercise does not offer exactly two.
QString otherSpelling(const QStringList &spellings, const QString &answer)
{
    if (spellings.size() != 2)
        return {};
    if (spellings[0].compare(answer, Qt::CaseInsensitive) == 0)
        return spellings[1];
    if (spellings[1].compare(answer, Qt::CaseInsensitive) == 0)
        return spellings[0];
    return {};
}

// Both spellings make a word: a child who writes either is right. Only for a
// gap inside one word; where the gap is a word of its own, the words around
// it decide, which no word list can tell.
QString ambiguity(const Record &r, const QStringList &spellings, const WordData &words)
{
    const QString other = otherSpelling(spellings, r.answer);
    if (other.isEmpty())
        return {};
    const QString word = completeWord(r.text, r.answer).toLower();
    const QString otherWord = completeWord(r.text, other).toLower();
    if (word.contains(nonLetters()) || otherWord.contains(nonLetters()))
        return {};
    if (!words.isWord(word) || !words.isWord(otherWord))
        return {};
    return QStringLiteral("%1 si può completare in due modi che sono entrambi parole, %2 con %3 e %4 con "
                          "%5: le risposte giuste sarebbero due.")
        .arg(quoted(r.text), quoted(word), quoted(r.answer), quoted(otherWord), quoted(other));
}

QString rareWords(const Record &r, const WordData &words)
{
    QStringList rare;
    const QString complete = completeWord(r.text, r.answer).toLower();
    for (const QString &word : complete.split(nonLetters(), Qt::SkipEmptyParts)) {
        if (words.isRare(word) && !rare.contains(word))
            rare.append(word);
    }
    if (rare.isEmpty())
        return {};
    if (rare.size() == 1)
        return QStringLiteral("%1 è una parola che pochi bambini conoscono.").arg(quoted(rare.first()));
    return QStringLiteral("%1 sono parole che pochi bambini conoscono.").arg(choiceList(rare));
}

// The records of one family of words, and how a message names it.
struct Family
{
    QString shown;
    QList<int> lines;
    QString third; // the word that made it three
};

// Each spelling should answer at least a third of the records with two
// choices, as in the shipped lists; a tenth with more, where the shipped
// lists need 5 of their 50 records. Of a pair with few words, the rarer
// spelling needs no more records than the shipped lists have of it.
QString answerBalance(const QStringList &spellings, const QMap<QString, int> &counts, int total)
{
    const bool two = spellings.size() == 2;
    int least = two ? (total + 2) / 3 : std::max(1, total / 10);
    const int rarer = rarerSpellingMinimum(spellings);
    if (rarer > 0)
        least = std::min(least, rarer);
    QStringList shown;
    bool tooFew = false;
    for (const QString &spelling : spellings) {
        const int count = counts.value(spelling.toLower());
        tooFew = tooFew || count < least;
        shown.append(QStringLiteral("%1 %2 volte").arg(quoted(spelling)).arg(count));
    }
    if (!tooFew)
        return {};
    const QString last = shown.takeLast();
    const QString share = rarer > 0 ? QString()
        : two                       ? QStringLiteral(" (un terzo delle parole)")
                                    : QStringLiteral(" (un decimo delle parole)");
    return QStringLiteral("Le risposte non sono equilibrate: %1 e %2 su %3 parole. Ogni scelta dovrebbe "
                          "essere la risposta giusta almeno %4 volte%5, altrimenti il bambino indovina "
                          "scegliendo sempre la stessa.")
        .arg(shown.join(QStringLiteral(", ")), last, QString::number(total), QString::number(least), share);
}

} // namespace

WordData WordData::load(const QString &folder, const QString &dictionaryPath)
{
    WordData data;
    QFile dictionary(dictionaryPath);
    if (dictionary.open(QIODevice::ReadOnly)) {
        for (const QString &word : QString::fromUtf8(dictionary.readAll()).split(u'\n', Qt::SkipEmptyParts))
            data.m_dictionary.insert(word.trimmed());
    }
    const auto read = [&](const QString &name, QMap<int, Entry> &entries) {
        if (!readEntries(folder + u'/' + name, entries))
            data.m_missing.append(folder + u'/' + name);
    };
    read(QStringLiteral("dictionary-allowlist.txt"), data.m_allowList);
    for (const Entry &entry : std::as_const(data.m_allowList))
        data.m_allowed.insert(entry.word);
    QMap<int, Entry> rare;
    read(QStringLiteral("rare-words.txt"), rare);
    for (const Entry &entry : std::as_const(rare))
        data.m_rare.insert(entry.word);
    QMap<int, Entry> families;
    read(QStringLiteral("word-families.txt"), families);
    for (const Entry &entry : std::as_const(families))
        data.m_heads.insert(entry.word, entry.note.section(u':', 0, 0).trimmed());
    return data;
}

const WordData &WordData::installed()
{
    static bool loaded = false;
    static QString folder;
    static WordData data;
    const QString wanted = folderIn(appState().ApplicationFolder);
    if (!loaded || folder != wanted) {
        loaded = true;
        folder = wanted;
        data = load(folder);
    }
    return data;
}

QString WordData::folderIn(const QString &applicationFolder)
{
    return applicationFolder + u'/' + folderName();
}

QString familyKey(const QString &word)
{
    static const QRegularExpression ending(QStringLiteral("[aeiouàèéìíòóùú]+$"));
    QString stem = QString(word).remove(ending);
    if (stem.endsWith(u'h'))
        stem.chop(1);
    return stem.left(6);
}

int rarerSpellingMinimum(const QStringList &spellings)
{
    struct Narrow
    {
        const char *first;
        const char *second;
        int records;
    };
    static const Narrow narrow[] = {{"c", "q", 6}, {"qu", "cqu", 6}, {"cuo", "quo", 6}, {"cui", "qui", 6},
        {"scr", "sgr", 6}, {"spr", "sbr", 6}, {"sche", "sce", 6}, {"schi", "sci", 6}, {"sco", "scio", 6},
        {"scu", "sciu", 6}, {"ce", "cie", 6}, {"ge", "gie", 6}, {"sdr", "str", 2}, // "sdraio" and "sdraiarsi"
        {"scie", "sce", 3}}; // "scienze", "scienziato" and "le scie" of the planes
    if (spellings.size() != 2)
        return 0;
    const QString a = spellings[0].toLower();
    const QString b = spellings[1].toLower();
    for (const Narrow &pair : narrow) {
        const QLatin1String first(pair.first);
        const QLatin1String second(pair.second);
        if ((a == first && b == second) || (a == second && b == first))
            return pair.records;
    }
    return 0;
}

bool positionsBalanced(int firstAnswers, int total)
{
    return total == 0 || (firstAnswers * 5 >= total * 2 && firstAnswers * 5 <= total * 3);
}

QString readRecord(const QString &line, Records records, Record &record)
{
    return records == Records::Words ? readWordRecord(line, record) : readSentenceRecord(line, record);
}

QList<Problem> check(
    const QStringList &lines, Records records, const QStringList &spellings, const WordData &words)
{
    QList<Problem> notices;
    QList<Problem> problems;
    const auto add = [&problems](int line, Kind kind, const QString &message) {
        problems.append({line, kind, QStringLiteral("Riga %1: ").arg(line) + message});
    };

    QHash<QString, int> seen; // the first line of each record, by its key
    QMap<QString, Family> families; // by familyKey, in the order of their keys
    QMap<QString, int> answers; // words by the spelling that answers them, lower case
    int answered = 0; // records a button answers
    int firstAnswers = 0; // sentences answered by their first choice
    bool anyRecord = false;
    for (int line = 1; line <= lines.size(); ++line) {
        const QString &text = lines[line - 1];
        if (text.trimmed().isEmpty())
            continue;
        Record r;
        r.line = line;
        const QString unreadable = readRecord(text, records, r);
        if (!unreadable.isEmpty()) {
            add(line, Kind::Unreadable, unreadable + u'.');
            continue;
        }
        anyRecord = true;

        const QString gap = gapFault(r);
        if (!gap.isEmpty())
            add(line, Kind::NoGap, gap);
        const QString answer = answerFault(r, records, spellings);
        if (!answer.isEmpty())
            add(line, Kind::AnswerNotAChoice, answer);

        const QString key
            = records == Records::Words ? r.text.toLower() : (r.text + u'|' + r.answer).toLower();
        if (const auto earlier = seen.constFind(key); earlier != seen.cend())
            add(line, Kind::Duplicate,
                records == Records::Words
                    ? QStringLiteral("%1 è già alla riga %2.").arg(quoted(r.text), QString::number(*earlier))
                    : QStringLiteral("%1 con la risposta %2 è già alla riga %3.")
                          .arg(quoted(r.text), quoted(r.answer), QString::number(*earlier)));
        else
            seen.insert(key, line);

        if (const QString rare = rareWords(r, words); !rare.isEmpty())
            add(line, Kind::RareWord, rare);

        if (!gap.isEmpty() || !answer.isEmpty())
            continue;
        ++answered;
        if (records == Records::Sentences) {
            firstAnswers += r.answer.compare(r.choices[0], Qt::CaseInsensitive) == 0;
            continue;
        }
        for (const QString &spelling : spellings) {
            if (spelling.compare(r.answer, Qt::CaseInsensitive) == 0) {
                ++answers[spelling.toLower()];
                break;
            }
        }
        if (words.hasDictionary()) {
            if (const QString both = ambiguity(r, spellings, words); !both.isEmpty())
                add(line, Kind::Ambiguous, both);
        }
        const QString complete = completeWord(r.text, r.answer).toLower();
        if (!complete.contains(nonLetters())) {
            const QString head = words.familyHead(complete);
            Family &family = families[familyKey(head.isEmpty() ? complete : head)];
            if (!head.isEmpty())
                family.shown = head;
            else if (family.shown.isEmpty())
                family.shown = familyKey(complete) + u'…';
            family.lines.append(line);
            if (family.lines.size() == 3)
                family.third = complete;
        }
    }

    for (const Family &family : std::as_const(families)) {
        if (family.lines.size() > 2)
            add(family.lines[2], Kind::TooManyForms,
                QStringLiteral("con %1 le parole della famiglia di %2 sono %3 (righe %4): "
                               "tenerne al massimo due.")
                    .arg(quoted(family.third), quoted(family.shown), QString::number(family.lines.size()),
                        lineList(family.lines)));
    }
    std::stable_sort(
        problems.begin(), problems.end(), [](const Problem &a, const Problem &b) { return a.line < b.line; });

    if (answered >= kBalanceMinimum) {
        if (records == Records::Words && spellings.size() >= 2) {
            if (const QString balance = answerBalance(spellings, answers, answered); !balance.isEmpty())
                problems.append({0, Kind::UnbalancedAnswers, balance});
        } else if (records == Records::Sentences && !positionsBalanced(firstAnswers, answered)) {
            problems.append({0, Kind::UnbalancedPositions,
                QStringLiteral("La risposta giusta è la prima delle due scelte in %1 frasi su %2 (%3%): "
                               "dovrebbe esserlo in una parte tra il 40% e il 60% delle frasi, altrimenti "
                               "il bambino risponde dal posto del pulsante. Scambiare le due scelte di "
                               "qualche frase ([a-b] in [b-a]).")
                    .arg(firstAnswers)
                    .arg(answered)
                    .arg(firstAnswers * 100 / answered)});
        }
    }

    if (anyRecord && records == Records::Words && spellings.size() == 2 && !words.hasDictionary())
        notices.append({0, Kind::ChecksSkipped,
            QStringLiteral("Il dizionario italiano (%1, pacchetto witalian) non è installato: non si può "
                           "controllare se con entrambe le scelte si forma una parola.")
                .arg(QString::fromLatin1(WordData::kDictionaryPath))});
    if (anyRecord && !words.missing().isEmpty())
        notices.append({0, Kind::ChecksSkipped,
            QStringLiteral("Mancano dei file del programma (%1): le parole rare e le famiglie di parole "
                           "non si possono controllare. Installare di nuovo il programma.")
                .arg(words.missing().join(QStringLiteral(", ")))});
    return notices + problems;
}

} // namespace ListCheck
