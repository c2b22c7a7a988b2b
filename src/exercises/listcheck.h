#pragma once

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// The checks of a word list as a teacher writes it: a record a line, the
// lines numbered from 1. Each fault gives one problem, in Italian, naming
// the line and the word, so that a list can be mended from the messages
// alone while it is typed.
namespace ListCheck {

enum class Records {
    Words, // "ca_a,ss": the gapped word, a comma, the answer
    Sentences, // "Luca _ un cane[a-ha]ha": the sentence, the two choices, the answer
};

enum class Kind {
    ChecksSkipped, // a notice: word data the checks need is missing
    Unreadable, // the line is not a record the readers take
    NoGap, // no "_", or more than one gap
    AnswerNotAChoice, // the answer is none of the choices, or there is none
    Ambiguous, // both spellings make a word, so both answers would be right
    Duplicate,
    TooManyForms, // a third word of one family
    UnbalancedAnswers, // one spelling answers too few of the words
    RareWord, // a word few children know
    UnbalancedPositions, // the answer of the sentences is too often on one button
};

// One line as the readers take it: for words the gapped word and the
// answer, for sentences also the sentence's two choices.
struct Record
{
    int line = 0;
    QString text; // the gapped word, or the sentence before "["
    QString answer;
    QStringList choices; // a sentence's two
};

// Reads one line as a record; empty when it is one, else why not, in Italian.
QString readRecord(const QString &line, Records records, Record &record);

struct Problem
{
    int line = 0; // from 1; 0 for the list as a whole
    Kind kind = Kind::Unreadable;
    QString message;
};

// The balance of the answers is judged from this many records on: while a
// list is being typed, or when it is short by choice, a few records more of
// one spelling say nothing. The shipped lists hold 30 sentences and 40 words
// at least.
constexpr int kBalanceMinimum = 10;

// The words the checks look up: Debian's Italian word list, the right
// words it lacks (the allow-list), the words few children know, and the
// words whose family their first letters do not show. The three lists of
// ours are in the folder "parole" of the program folder: one word a line,
// in lower case, then "#" and a note; lines starting with "#" are comments.
class WordData
{
public:
    static constexpr const char *kDictionaryPath = "/usr/share/dict/italian";

    // A word of a list of ours, with its note (for the families: the word
    // heading the family, ":", and why).
    struct Entry
    {
        QString word;
        QString note;
    };

    static WordData load(
        const QString &folder, const QString &dictionaryPath = QString::fromLatin1(kDictionaryPath));
    // Read once from the folder "parole" of the program folder, and again
    // only when that folder changes.
    static const WordData &installed();
    static QString folderIn(const QString &applicationFolder);

    bool hasDictionary() const { return !m_dictionary.isEmpty(); }
    bool dictionaryHas(const QString &word) const { return m_dictionary.contains(word); }
    // In the dictionary or in the allow-list.
    bool isWord(const QString &word) const { return dictionaryHas(word) || m_allowed.contains(word); }
    bool isRare(const QString &word) const { return m_rare.contains(word); }
    // The word heading the family of a listed word; empty for the others.
    QString familyHead(const QString &word) const { return m_heads.value(word); }

    // The allow-list by line.
    const QMap<int, Entry> &allowList() const { return m_allowList; }
    // Our lists that could not be read.
    const QStringList &missing() const { return m_missing; }

private:
    QSet<QString> m_dictionary;
    QSet<QString> m_allowed;
    QSet<QString> m_rare;
    QHash<QString, QString> m_heads;
    QMap<int, Entry> m_allowList;
    QStringList m_missing;
};

// The key of a word's family: its first six letters once its final vowels
// (and the "h" of "-chi", "-ghe") are gone, so "sdraiato" and "sdraiarsi"
// share one.
QString familyKey(const QString &word);

// Pairs of spellings for which Italian has few words: a short list,
// lopsided toward the spelling a child meets more, does better than one
// padded with words a child does not know. The records the rarer spelling
// needs (fewer than six only where the words a child knows run out before,
// two at most from each family), or 0 for any other pair.
int rarerSpellingMinimum(const QStringList &spellings);

// Whether the answer of a sentence list is on the first button in 40-60% of
// the records: otherwise a child answers by the button's place, and a switch
// user learns to wait for the second highlight. True for no records.
bool positionsBalanced(int firstAnswers, int total);

// Every problem of the list: one notice for each kind of word data missing
// first, then the problems of the lines in their order, then those of the
// list as a whole. Blank lines are skipped. For word records, spellings are
// the choices the exercise offers (e.g. "s" and "ss"); sentence records
// bring their own.
QList<Problem> check(const QStringList &lines, Records records, const QStringList &spellings,
    const WordData &words = WordData::installed());

} // namespace ListCheck
