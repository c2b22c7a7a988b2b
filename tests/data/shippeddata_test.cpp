// The word lists and sentence lists shipped in data/testidifort, checked file
// by file against what the catalogue says each button does with them. A
// failure names the file, the line and the word, so that whoever edits the
// lists can mend them from the message alone.

#include "app/catalogue.h"
#include "exercises/listcheck.h"
#include "exercises/wordstore.h"
#include "feedback/speechengine.h"
#include "feedback/speechoutput.h"
#include "feedback/spokencues.h"
#include "state/appstate.h"
#include "text/cp1252.h"

#include "testenv.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Catalogue::Opens;

const char *const kDictionaryPath = ListCheck::WordData::kDictionaryPath;

// Fixed captions of the three- and five-choice windows.
const QStringList kArticles = {QStringLiteral("la"), QStringLiteral("lo"), QStringLiteral("l'")};
const QStringList kSyllables = {QStringLiteral("gna"), QStringLiteral("gne"), QStringLiteral("gni"),
    QStringLiteral("gno"), QStringLiteral("gnu")};

constexpr int kMinRarerSpelling = 6;

constexpr int kMinSentences = 30;
constexpr int kMinWords = 40;
constexpr int kMinManyChoiceWords = 50;
constexpr int kMinEachOfManyChoices = 5;

// What the Italian word list can say about a record.
enum class Lookup {
    Nothing, // sentences, and phrases whose gap is a whole word
    WordAndOtherSpelling, // the completed word is listed; with the other spelling
                          // it is not
    Word, // the completed word is listed (five syllables: several may make words)
    WordAfterGap, // the gap is an article: the noun after it is listed
};

// One way the program uses a file: a menu button or a review.
struct Use
{
    QString by;
    QStringList spellings; // empty for sentences, which bring their own
};

struct ShippedList
{
    QString file; // below the program folder, as the catalogue names it
    bool sentences = false;
    QList<Use> uses;
    QList<QStringList> pairs; // the two spellings of every two-choice button of its menu
    Lookup lookup = Lookup::Nothing;
    int minimum = kMinWords;
    bool narrow = false;
    int rarerMinimum = kMinRarerSpelling; // records of each spelling, for a narrow pair

    QString name() const { return QString(file).remove(QStringLiteral("testidifort/")); }
    QString baseName() const { return QFileInfo(file).completeBaseName(); }
    QString folder() const { return file.section(u'/', 1, 1); }
    const QStringList &spellings() const { return uses.first().spellings; }
};

void PrintTo(const ShippedList &list, std::ostream *out)
{
    *out << list.file.toStdString();
}

std::string str(const QString &text)
{
    return text.toStdString();
}

QString quoted(const QString &text)
{
    return u'«' + text + u'»';
}

void addUse(QList<ShippedList> &lists, const QString &file, bool sentences, const Use &use)
{
    for (ShippedList &list : lists) {
        if (list.file == file) {
            list.uses.append(use);
            return;
        }
    }
    ShippedList list;
    list.file = file;
    list.sentences = sentences;
    list.uses.append(use);
    lists.append(list);
}

void classify(ShippedList &list)
{
    const int choices = int(list.spellings().size());
    if (list.sentences) {
        list.lookup = Lookup::Nothing;
        list.minimum = kMinSentences;
    } else if (choices == 3) {
        list.lookup = Lookup::WordAfterGap;
        list.minimum = kMinManyChoiceWords;
    } else if (choices == 5) {
        list.lookup = Lookup::Word;
        list.minimum = kMinManyChoiceWords;
    } else if (list.baseName() == QLatin1String("un")) {
        list.lookup = Lookup::WordAfterGap; // "un" or "un'" before a noun
    } else if (list.folder() == QLatin1String("h")) {
        list.lookup = Lookup::Nothing; // "a" or "ha" is decided by the phrase, not by a word
    } else {
        list.lookup = Lookup::WordAndOtherSpelling;
    }
    const int rarer = list.sentences ? 0 : ListCheck::rarerSpellingMinimum(list.spellings());
    list.narrow = rarer > 0;
    if (list.narrow) {
        list.rarerMinimum = rarer;
        list.minimum = 2 * list.rarerMinimum;
    }
}

// Every file that a button opens or a review reads, once, with every use.
QList<ShippedList> shippedLists()
{
    QList<ShippedList> lists;
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
        QList<QStringList> pairs;
        for (const Catalogue::Button &button : menu.buttons) {
            if (button.opens == Opens::TwoChoice)
                pairs.append({button.choiceA, button.choiceB});
        }
        for (const Catalogue::Button &button : menu.buttons) {
            if (button.file.isEmpty())
                continue;
            const QString by = menu.formName + QStringLiteral(" button ") + quoted(button.caption.trimmed());
            switch (button.opens) {
            case Opens::TwoChoice:
                addUse(lists, button.file, false, {by, {button.choiceA, button.choiceB}});
                break;
            case Opens::ThreeChoice:
                addUse(lists, button.file, false, {by, kArticles});
                break;
            case Opens::FiveChoice:
                addUse(lists, button.file, false, {by, kSyllables});
                break;
            case Opens::Sentence:
                addUse(lists, button.file, true, {by, {}});
                break;
            case Opens::Review:
            case Opens::Back:
                break;
            }
        }
        for (const Catalogue::ReviewFile &review : menu.review)
            addUse(lists, review.file, false,
                {menu.formName + QStringLiteral(" review"), {review.first, review.second}});
        for (ShippedList &list : lists) {
            if (list.uses.first().by.startsWith(menu.formName + u' '))
                list.pairs = pairs;
        }
    }
    for (ShippedList &list : lists)
        classify(list);
    return lists;
}

std::string testName(const ::testing::TestParamInfo<ShippedList> &info)
{
    std::string name = str(info.param.name());
    for (char &c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name.substr(0, name.size() - 4); // without "_txt"
}

QString sourcePath(const ShippedList &list)
{
    return QStringLiteral(VELMORA_SOURCE_DIR "/data/") + list.file;
}

QString programPath(const ShippedList &list)
{
    return TestEnv::buildAppFolder() + u'/' + list.file;
}

QString joined(const QStringList &problems)
{
    return problems.join(u'\n');
}

// Line numbers for a message: "3, 7, 12", at most ten of them.
QString lineList(const QList<int> &lines)
{
    QStringList shown;
    for (int i = 0; i < lines.size() && i < 10; ++i)
        shown.append(QString::number(lines[i]));
    QString text = shown.join(QStringLiteral(", "));
    if (lines.size() > 10)
        text += QStringLiteral(" and %1 more").arg(lines.size() - 10);
    return text;
}

// The fields of a word-record line, split at the commas outside double quotes.
QStringList fieldsOf(const QString &line)
{
    QStringList fields(QString{});
    bool inQuotes = false;
    for (const QChar c : line) {
        if (c == u'"')
            inQuotes = !inQuotes;
        if (c == u',' && !inQuotes)
            fields.append(QString{});
        else
            fields.last() += c;
    }
    return fields;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool hasOuterBlanks(const QString &field)
{
    return !field.isEmpty() && (isBlank(field.front()) || isBlank(field.back()));
}

// The length of the UTF-8 sequence of a non-ASCII character starting at i,
// or 0 when the bytes there are not one.
int utf8SequenceAt(const QByteArray &bytes, qsizetype i)
{
    const auto byte = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    const int length = lead >= 0xC2 && lead <= 0xDF ? 2
        : lead >= 0xE0 && lead <= 0xEF              ? 3
        : lead >= 0xF0 && lead <= 0xF4              ? 4
                                                    : 0;
    if (length == 0 || i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

// Lines as the file holds them, split at every line end the reader knows
// (CR LF, LF, CR), without the empty rest after the last one.
QStringList linesOf(const QByteArray &bytes)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = Cp1252::decode(bytes).split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Whether the right answer sits on the first button in 40-60% of the
// records: otherwise a child answers by the button's place, and a switch user
// learns to wait for the second highlight. Empty when it does, else the share.
QString shareOfFirstChoice(int first, int total)
{
    if (ListCheck::positionsBalanced(first, total))
        return {};
    return QStringLiteral("the answer is the first choice in %1 of %2 records "
                          "(%3%), so the place of the "
                          "button gives it away: it must be so in 40-60% of them")
        .arg(first)
        .arg(total)
        .arg(first * 100 / total);
}

struct Record
{
    int row = 0;
    QString text;
    QString answer;
    QString firstChoice;
    QString secondChoice;
};

class ShippedListTest : public ::testing::TestWithParam<ShippedList>
{
protected:
    const ShippedList &list() const { return GetParam(); }

    // Loads the program's copy with the reader the catalogue's window uses,
    // with the spellings one use offers, or all records.
    LoadReport load(const QStringList &spellings = {}) const
    {
        appState().WordListPath = programPath(list());
        return list().sentences ? loadSentences() : loadWords(spellings);
    }

    // Loads the records, and finds the line of each: the records are one a
    // line, so the n-th record is on the n-th line that is not blank.
    std::vector<Record> loadedRecords(LoadReport &report)
    {
        report = load();
        std::vector<Record> records;
        for (int row = 1; row <= appState().WordCount; ++row) {
            const WordItem &item = appState().wordRow(row);
            records.push_back({row, item.text, item.answer, item.firstChoice, item.secondChoice});
        }
        m_recordCount = records.size();
        m_recordLines.clear();
        const QStringList lines = linesOf(TestEnv::readFile(programPath(list())));
        for (int n = 1; n <= lines.size(); ++n) {
            if (!lines[n - 1].trimmed().isEmpty())
                m_recordLines.append(n);
        }
        return records;
    }

    // Whether every record has a line of its own, so that messages can name
    // lines.
    bool recordsAreLines() const { return m_recordLines.size() == qsizetype(m_recordCount); }

    QString lineOf(int row) const
    {
        if (recordsAreLines())
            return QStringLiteral("line %1").arg(m_recordLines[row - 1]);
        return QStringLiteral("record %1").arg(row);
    }

    // "suonisimili/bp.txt line 12 «_ollo,p»"
    QString where(const Record &record) const
    {
        QString text = record.text;
        if (list().sentences)
            text += u'[' + record.firstChoice + u'-' + record.secondChoice + u']' + record.answer;
        else
            text += u',' + record.answer;
        return QStringLiteral("%1 %2 %3").arg(list().name(), lineOf(record.row), quoted(text));
    }

private:
    std::size_t m_recordCount = 0;
    QList<int> m_recordLines;
};

TEST_P(ShippedListTest, IsInTheProgramFolderAndLoads)
{
    ASSERT_TRUE(QFileInfo::exists(sourcePath(list())))
        << str(list().name()) << " is missing from data/: " << str(list().uses.first().by) << " opens it";
    ASSERT_TRUE(QFileInfo::exists(programPath(list())))
        << str(programPath(list())) << " was not copied to the program folder";

    EXPECT_TRUE(TestEnv::readFile(programPath(list())) == TestEnv::readFile(sourcePath(list())))
        << str(list().name()) << ": the program folder holds an older copy; build again";

    for (const Use &use : list().uses) {
        const LoadReport report = load(use.spellings);
        EXPECT_TRUE(report.ok()) << str(use.by) << ": " << str(report.text());
        EXPECT_GT(report.recordsRead, 0) << str(list().name());
    }
}

TEST_P(ShippedListTest, IsWindows1252WithCrLfLinesAndNoStrayBlanks)
{
    QFile file(sourcePath(list()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << str(list().name()) << " is missing from data/";
    const QByteArray bytes = file.readAll();

    QStringList problems;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        problems.append(QStringLiteral("it starts with a byte-order mark: save it as Windows-1252 (ANSI)"));

    // Problems by kind, with the lines where they occur.
    QMap<QString, QList<int>> found;
    const auto note = [&found](const QString &problem, int line) {
        QList<int> &lines = found[problem];
        if (lines.isEmpty() || lines.last() != line)
            lines.append(line);
    };
    int line = 1;
    for (qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\n') {
            if (i == 0 || bytes[i - 1] != '\r')
                note(QStringLiteral("a line ends in LF alone instead of CR LF"), line);
            ++line;
        } else if (byte == '\r') {
            if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') {
                note(QStringLiteral("a line ends in CR alone instead of CR LF"), line);
                ++line;
            }
        } else if (byte < 0x20 || byte == 0x7F) {
            note(QStringLiteral("a control character (tab or other) in the text"), line);
        } else if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
            note(QStringLiteral("a byte that is no Windows-1252 character"), line);
        } else if (const int length = utf8SequenceAt(bytes, i)) {
            note(QStringLiteral("an accented letter written in UTF-8: save the file "
                                "as Windows-1252 (ANSI)"),
                line);
            i += length - 1;
        }
    }

    const QStringList lines = linesOf(bytes);
    for (int n = 1; n <= lines.size(); ++n) {
        const QString &text = lines[n - 1];
        if (text.trimmed().isEmpty()) {
            note(QStringLiteral("a blank line"), n);
            continue;
        }
        if (list().sentences) {
            const qsizetype open = text.lastIndexOf(u'[');
            const qsizetype dash = text.indexOf(u'-', open);
            const qsizetype close = text.lastIndexOf(u']');
            if (hasOuterBlanks(text)) {
                note(QStringLiteral("blanks at the start or end of the line"), n);
            } else if (open >= 0 && dash > open && close > dash) {
                const QStringList parts = {text.mid(open + 1, dash - open - 1),
                    text.mid(dash + 1, close - dash - 1), text.mid(close + 1)};
                for (const QString &part : parts) {
                    if (hasOuterBlanks(part))
                        note(QStringLiteral("blanks around a choice or the answer, after «[»"), n);
                }
            }
        } else {
            for (const QString &field : fieldsOf(text)) {
                if (hasOuterBlanks(field))
                    note(QStringLiteral("blanks before or after a comma"), n);
            }
        }
    }

    for (auto it = found.cbegin(); it != found.cend(); ++it)
        problems.append(QStringLiteral("line %1: %2").arg(lineList(it.value()), it.key()));
    EXPECT_TRUE(problems.isEmpty()) << str(list().name()) << ":\n" << str(joined(problems));
}

TEST_P(ShippedListTest, AnswersFitTheExerciseAndTheListIsFullAndBalanced)
{
    LoadReport report;
    const std::vector<Record> records = loadedRecords(report);
    ASSERT_GT(records.size(), 0u) << str(report.text());

    QStringList problems;
    if (!recordsAreLines())
        problems.append(QStringLiteral("the %1 records are not one a line: write "
                                       "each record on a line of its own")
                            .arg(records.size()));

    QHash<QString, int> seen; // the gapped text (and for sentences the answer), by first row
    QMap<QString, int> answers; // by the spelling they match, lower case
    int firstAnswers = 0; // sentences whose answer is their first choice
    for (const Record &r : records) {
        const qsizetype gaps = r.text.count(u'_');
        if (list().sentences) {
            firstAnswers += r.answer.compare(r.firstChoice, Qt::CaseInsensitive) == 0;
            if (gaps != 1)
                problems.append(
                    where(r) + QStringLiteral(": a sentence needs exactly one «_», it has %1").arg(gaps));
            if (r.firstChoice.compare(r.secondChoice, Qt::CaseInsensitive) == 0)
                problems.append(where(r) + QStringLiteral(": the two choices are the same"));
            if (r.answer.compare(r.firstChoice, Qt::CaseInsensitive) != 0
                && r.answer.compare(r.secondChoice, Qt::CaseInsensitive) != 0)
                problems.append(where(r)
                    + QStringLiteral(": the answer %1 is neither %2 nor %3")
                          .arg(quoted(r.answer), quoted(r.firstChoice), quoted(r.secondChoice)));
        } else {
            if (gaps == 0)
                problems.append(where(r) + QStringLiteral(": no «_» marks the gap"));
            else if (r.text.lastIndexOf(u'_') - r.text.indexOf(u'_') + 1 != gaps)
                problems.append(where(r) + QStringLiteral(": more than one gap; only the first is filled"));
            for (qsizetype u = 0; u < list().uses.size(); ++u) {
                const Use &use = list().uses[u];
                const auto match = std::find_if(use.spellings.cbegin(), use.spellings.cend(),
                    [&](const QString &s) { return s.compare(r.answer, Qt::CaseInsensitive) == 0; });
                if (match == use.spellings.cend())
                    problems.append(where(r)
                        + QStringLiteral(": the answer %1 is not one of %2, which %3 offers")
                              .arg(
                                  quoted(r.answer), quoted(use.spellings.join(QStringLiteral(" "))), use.by));
                else if (u == 0)
                    ++answers[match->toLower()];
            }
        }

        const QString key = list().sentences ? (r.text + u'|' + r.answer).toLower() : r.text.toLower();
        const auto earlier = seen.constFind(key);
        if (earlier == seen.cend())
            seen.insert(key, r.row);
        else
            problems.append(where(r)
                + (list().sentences ? QStringLiteral(": the same sentence and answer as %1")
                                    : QStringLiteral(": the same gapped text as %1"))
                      .arg(lineOf(*earlier)));
    }

    const int total = int(records.size());
    if (total < list().minimum)
        problems.append(QStringLiteral("%1 records, at least %2 are needed").arg(total).arg(list().minimum));

    if (list().sentences) {
        if (const QString share = shareOfFirstChoice(firstAnswers, total); !share.isEmpty())
            problems.append(
                share + QStringLiteral("; swap the two choices of some records ([a-b] to [b-a])"));
    } else {
        const QStringList &spellings = list().spellings();
        for (const QString &spelling : spellings) {
            const int count = answers.value(spelling.toLower());
            if (list().narrow && count < list().rarerMinimum)
                problems.append(QStringLiteral("%1 is the answer of %2 records: even the rarer spelling of "
                                               "a narrow pair needs %3")
                                    .arg(quoted(spelling))
                                    .arg(count)
                                    .arg(list().rarerMinimum));
            else if (!list().narrow && spellings.size() == 2 && count * 3 < total)
                problems.append(QStringLiteral("%1 is the answer of %2 of %3 records: "
                                               "each spelling needs at least "
                                               "a third of them (%4)")
                                    .arg(quoted(spelling))
                                    .arg(count)
                                    .arg(total)
                                    .arg((total + 2) / 3));
            else if (spellings.size() > 2 && count < kMinEachOfManyChoices)
                problems.append(QStringLiteral("%1 is the answer of %2 records, at least %3 are needed")
                                    .arg(quoted(spelling))
                                    .arg(count)
                                    .arg(kMinEachOfManyChoices));
        }
    }
    EXPECT_TRUE(problems.isEmpty()) << str(list().name()) << ":\n" << str(joined(problems));
}

// Debian's Italian word list, and the program's copy of the lists of ours
// the checks of a teacher's list read too.
const ListCheck::WordData &wordData()
{
    static const ListCheck::WordData words
        = ListCheck::WordData::load(ListCheck::WordData::folderIn(TestEnv::buildAppFolder()));
    return words;
}

// The first word after the gap, without the blank or apostrophe before it.
QString wordAfterGap(const QString &gapped)
{
    QString word;
    for (qsizetype i = gapped.indexOf(u'_') + 1; i < gapped.size(); ++i) {
        const QChar c = gapped[i];
        if (c.isLetter())
            word += c;
        else if (!word.isEmpty())
            break;
        else if (c != u'_' && !isBlank(c) && c != u'\'' && c != u'’')
            break;
    }
    return word.toLower();
}

TEST_P(ShippedListTest, WordsAreSpelledRightAndTheGapHasOneAnswer)
{
    const ListCheck::WordData &lexicon = wordData();
    if (!lexicon.hasDictionary())
        GTEST_SKIP() << kDictionaryPath << " is missing (Debian package witalian)";
    if (list().lookup == Lookup::Nothing)
        return;

    LoadReport report;
    const std::vector<Record> records = loadedRecords(report);
    const QString mend = QStringLiteral(": check the spelling; a right word that the Italian word list lacks "
                                        "goes "
                                        "into data/parole/dictionary-allowlist.txt with the reason");
    QStringList problems;
    for (const Record &r : records) {
        if (list().lookup == Lookup::WordAfterGap) {
            const QString noun = wordAfterGap(r.text);
            if (!lexicon.isWord(noun))
                problems.append(where(r)
                    + QStringLiteral(": %1 is not in the Italian word list").arg(quoted(noun)) + mend);
            continue;
        }

        // An answer that is not one of the spellings is reported with the answers.
        const bool offered = std::any_of(list().spellings().cbegin(), list().spellings().cend(),
            [&](const QString &s) { return s.compare(r.answer, Qt::CaseInsensitive) == 0; });
        if (!offered)
            continue;
        const QString word = completeWord(r.text, r.answer).toLower();
        if (word.contains(u' '))
            continue; // a phrase: the words around a gap that is a whole word decide
                      // it
        if (!lexicon.isWord(word))
            problems.append(
                where(r) + QStringLiteral(": %1 is not in the Italian word list").arg(quoted(word)) + mend);
        if (list().lookup != Lookup::WordAndOtherSpelling)
            continue;
        for (const QString &other : list().spellings()) {
            if (other.compare(r.answer, Qt::CaseInsensitive) == 0)
                continue;
            const QString otherWord = completeWord(r.text, other).toLower();
            if (lexicon.isWord(otherWord))
                problems.append(where(r)
                    + QStringLiteral(": with %1 it reads %2, a word too, so both answers are right; "
                                     "such pairs belong in a sentence of frasi.txt")
                          .arg(quoted(other), quoted(otherWord)));
        }
    }
    EXPECT_TRUE(problems.isEmpty()) << str(list().name()) << ":\n" << str(joined(problems));
}

const QRegularExpression &nonLetters()
{
    static const QRegularExpression pattern(QStringLiteral("[^\\p{L}]+"));
    return pattern;
}

TEST_P(ShippedListTest, WordsAreForChildrenAndEveryGapHasWordsAround)
{
    const ListCheck::WordData &words = wordData();
    ASSERT_TRUE(words.missing().isEmpty()) << str(words.missing().join(u' '));

    LoadReport report;
    QStringList problems;
    for (const Record &r : loadedRecords(report)) {
        const QString complete = completeWord(r.text, r.answer).toLower();
        for (const QString &word : complete.split(nonLetters(), Qt::SkipEmptyParts)) {
            if (words.isRare(word))
                problems.append(where(r) + u' ' + quoted(word)
                    + QStringLiteral(" is a word few children know (data/parole/rare-words.txt)"));
        }
        static const QRegularExpression letter(QStringLiteral("\\p{L}"));
        if (!r.text.contains(letter))
            problems.append(where(r)
                + QStringLiteral(": the gap stands alone, and nothing tells the child "
                                 "what to write; "
                                 "put a word around it or leave the record out"));
    }
    EXPECT_TRUE(problems.isEmpty()) << str(list().name()) << ":\n" << str(joined(problems));
}

TEST_P(ShippedListTest, FewFormsOfOneWord)
{
    // A word's family: by data/parole/word-families.txt, or else by its first
    // letters, so that "sdraiato" and "sdraiarsi" are of one.
    const ListCheck::WordData &words = wordData();
    ASSERT_TRUE(words.missing().isEmpty()) << str(words.missing().join(u' '));

    LoadReport report;
    QMap<QString, QList<int>> byFamily;
    QHash<QString, QString> shown; // a family's key as a message names it
    for (const Record &r : loadedRecords(report)) {
        const QString complete = completeWord(r.text, r.answer).toLower();
        if (list().sentences || complete.contains(nonLetters()))
            continue;
        const QString listed = words.familyHead(complete);
        const QString key = ListCheck::familyKey(listed.isEmpty() ? complete : listed);
        byFamily[key].append(r.row);
        if (!listed.isEmpty() || !shown.contains(key))
            shown.insert(key, !listed.isEmpty() ? listed : key + u'…');
    }
    QStringList problems;
    for (auto it = byFamily.cbegin(); it != byFamily.cend(); ++it) {
        if (it->size() > 2) {
            QStringList lines;
            for (int row : *it)
                lines.append(lineOf(row));
            problems.append(QStringLiteral("%1 records are of one family %2 (%3): keep two at most")
                                .arg(it->size())
                                .arg(quoted(shown.value(it.key())), lines.join(QStringLiteral(", "))));
        }
    }
    EXPECT_TRUE(problems.isEmpty()) << str(list().name()) << ":\n" << str(joined(problems));
}

// The gapped text filled with one spelling, in lower case: the word that
// holds the gap, and the text's other words.
struct Filled
{
    QString word;
    QStringList others;
};

Filled filled(const QString &gapped, const QString &spelling)
{
    const qsizetype gap = gapped.indexOf(u'_');
    const QString text = completeWord(gapped, spelling).toLower();
    qsizetype start = gap;
    qsizetype end = gap + spelling.size();
    while (start > 0 && text[start - 1].isLetter())
        --start;
    while (end < text.size() && text[end].isLetter())
        ++end;
    return {text.mid(start, end - start),
        (text.left(start) + u' ' + text.mid(end)).split(nonLetters(), Qt::SkipEmptyParts)};
}

// Another word of the text that spells the word at the gap for the child:
// the word itself, or one that starts with its letters up to one past those
// that the other spelling changes (four letters at least). Empty when none.
QString spelledElsewhere(const QString &gapped, const QString &answer, const QString &other)
{
    const Filled right = filled(gapped, answer);
    const QString &w = right.word;
    const QString o = filled(gapped, other).word;
    qsizetype same = 0;
    while (same < w.size() && same < o.size() && w[same] == o[same])
        ++same;
    const auto fromEnd = [](const QString &text, qsizetype k) { return text[text.size() - 1 - k]; };
    qsizetype tail = 0;
    while (tail < w.size() - same && tail < o.size() - same && fromEnd(w, tail) == fromEnd(o, tail))
        ++tail;
    const QString key = w.left(std::max<qsizetype>(4, w.size() - tail + 1));
    for (const QString &word : right.others) {
        if (word == w || (key.size() < w.size() && word.startsWith(key)))
            return word;
    }
    return {};
}

// The letters of a spelling without accents, apostrophes and blanks.
QString bare(const QString &spelling)
{
    QString letters;
    for (const QChar c : spelling.normalized(QString::NormalizationForm_D).toLower()) {
        if (c.isLetter())
            letters += c;
    }
    return letters;
}

// Whether two spellings differ by an accent, an apostrophe, or the vowel an
// apostrophe stands for ("quest'" and "questo").
bool differByAccentOrApostrophe(const QString &a, const QString &b)
{
    const QString x = bare(a);
    const QString y = bare(b);
    const auto elided = [](const QString &cut, const QString &whole, const QString &written) {
        return (written.endsWith(u'\'') || written.endsWith(u'’')) && whole.size() == cut.size() + 1
            && whole.startsWith(cut) && QStringLiteral("aeiou").contains(whole.back());
    };
    return x == y || elided(x, y, a) || elided(y, x, b);
}

// Whether one spelling turns into the other by exchanging one pair's two
// spellings in place: "scarpa" and "sciarpa" by "sca" and "scia".
bool differByPair(const QString &a, const QString &b, const QList<QStringList> &pairs)
{
    const QString x = a.toLower();
    const QString y = b.toLower();
    for (const QStringList &pair : pairs) {
        for (int k = 0; k < 2; ++k) {
            const QString from = pair[k].toLower();
            const QString to = pair[1 - k].toLower();
            for (qsizetype i = x.indexOf(from); i >= 0; i = x.indexOf(from, i + 1)) {
                if (x.left(i) + to + x.mid(i + from.size()) == y)
                    return true;
            }
        }
    }
    return false;
}

TEST_P(ShippedListTest, EachRecordTestsItsFilesSpelling)
{
    // Letters no Italian word writes so: a "q" but before "u" and a vowel, a
    // hard and a soft consonant side by side. No child hesitates over them.
    static const QRegularExpression unwritten(
        QStringLiteral("q(?!q?u[aeiouàèéìòù])\\w?\\w?|cg|gc|bp|pb|dt|td|fv|vf"));
    LoadReport report;
    QStringList problems;
    for (const Record &r : loadedRecords(report)) {
        if (r.text.count(u'_') != 1)
            continue; // reported with the answers
        const QStringList offered
            = list().sentences ? QStringList{r.firstChoice, r.secondChoice} : list().spellings();
        if (list().sentences && !differByPair(r.firstChoice, r.secondChoice, list().pairs)
            && !differByAccentOrApostrophe(r.firstChoice, r.secondChoice))
            problems.append(where(r)
                + QStringLiteral(": the choices differ by more than a spelling this menu teaches, so the "
                                 "sentence asks something else"));
        for (const QString &spelling : offered) {
            const QRegularExpressionMatch odd = unwritten.match(completeWord(r.text, spelling).toLower());
            if (odd.hasMatch())
                problems.append(where(r)
                    + QStringLiteral(": with %1 it has %2, which no Italian word has and no child writes")
                          .arg(quoted(spelling), quoted(odd.captured())));
            if (spelling.compare(r.answer, Qt::CaseInsensitive) == 0)
                continue;
            if (const QString word = spelledElsewhere(r.text, r.answer, spelling); !word.isEmpty())
                problems.append(where(r)
                    + QStringLiteral(": %1 elsewhere in it shows how to spell the answer").arg(quoted(word)));
        }
    }
    EXPECT_TRUE(problems.isEmpty()) << str(list().name()) << ":\n" << str(joined(problems));
}

// A word near the gap that, list after list, comes with one answer only: a
// child picks by it instead of by the rule.
struct Cue
{
    const char16_t *answer;
    const char16_t *pattern; // on the gapped text, letter case aside
    const char16_t *what;
    int most; // records of the answer that may show it; 0: three quarters of them
};

constexpr Cue kCues[] = {
    {u"né", u"\\bnon\\b", u"«non» in the sentence", 0},
    {u"ne", u"^(?!.*\\bnon\\b)", u"no «non» in the sentence", 0},
    {u"ho", u"^_|\\bio\\s+_", u"the gap at the start or after «io»", 0},
    {u"dì", u"notte e _|santo _", u"«notte e _» or «tutto il santo _»", 0},
    {u"li", u"^ho\\b.*\\be\\s+(non\\s+)?_\\s+ho\\b", u"«Ho … e _ ho»", 2},
};

TEST_P(ShippedListTest, NoWordAroundTheGapStandsInForTheRule)
{
    LoadReport report;
    const std::vector<Record> records = loadedRecords(report);
    QStringList problems;
    for (const Cue &cue : kCues) {
        const QString answer = QString::fromUtf16(cue.answer);
        const QRegularExpression pattern(
            QString::fromUtf16(cue.pattern), QRegularExpression::CaseInsensitiveOption);
        QList<int> shown;
        int total = 0;
        for (const Record &r : records) {
            if (r.answer.compare(answer, Qt::CaseInsensitive) != 0)
                continue;
            ++total;
            if (r.text.contains(pattern))
                shown.append(r.row);
        }
        const int most = cue.most > 0 ? cue.most : std::max(1, total * 3 / 4);
        if (shown.size() > most) {
            QStringList lines;
            for (int row : shown)
                lines.append(lineOf(row));
            problems.append(
                QStringLiteral("%1 of the %2 records answered %3 have %4 (%5): at most %6 may, "
                               "or the child answers by it")
                    .arg(shown.size())
                    .arg(total)
                    .arg(quoted(answer), QString::fromUtf16(cue.what), lines.join(QStringLiteral(", ")))
                    .arg(most));
        }
    }
    EXPECT_TRUE(problems.isEmpty()) << str(list().name()) << ":\n" << str(joined(problems));
}

// What a listener hears of a spoken text: the engine's phonemes for it,
// without what does not tell two words apart by ear: stress, the length of
// a vowel, the pauses between words and clauses, and whether an e or an o is
// open or closed. The engine says "e" and "è" as 'e: and 'E:, "a" and "ha"
// as 'a: and 'a; each pair is heard as one sound.
QString heard(const QString &text)
{
    static QHash<QString, QString> known;
    if (const auto it = known.constFind(text); it != known.cend())
        return it.value();
    static const QString vowels = QStringLiteral("aeiouEOIU@");
    QString sound;
    for (const QChar c : SpeechEngine::instance().phonemes(text).join(QString())) {
        if (QStringLiteral("',_ ;").contains(c))
            continue;
        // After a consonant the mark doubles it, which is heard.
        if (c == u':') {
            if (!sound.isEmpty() && !vowels.contains(sound.back()))
                sound += sound.back();
            continue;
        }
        sound += c;
    }
    sound.replace(u'E', u'e').replace(u'O', u'o').replace(u'I', u'i').replace(u'U', u'u');
    known.insert(text, sound);
    return sound;
}

TEST_P(ShippedListTest, EveryChoiceHasACueAndChoicesShownTogetherSoundApart)
{
    ASSERT_TRUE(SpeechEngine::instance().problem().isEmpty()) << str(SpeechEngine::instance().problem());
    // The spellings shown together on the buttons of one item, and where they
    // come from.
    QList<std::pair<QString, QStringList>> together;
    if (list().sentences) {
        LoadReport report;
        for (const Record &record : loadedRecords(report))
            together.append({where(record), {record.firstChoice, record.secondChoice}});
    } else {
        for (const Use &use : list().uses)
            together.append({use.by, use.spellings});
    }
    ASSERT_FALSE(together.isEmpty()) << str(list().name());

    QStringList problems;
    QSet<QString> told;
    const auto tell = [&](const QString &key, const QString &problem) {
        if (!told.contains(key)) {
            told.insert(key);
            problems.append(problem);
        }
    };
    for (const auto &[from, spellings] : together) {
        for (int i = 0; i < spellings.size(); ++i) {
            if (!SpokenCues::hasCue(spellings[i])) {
                tell(spellings[i].toLower(),
                    QStringLiteral("%1: %2 has no spoken cue").arg(from, quoted(spellings[i])));
                continue;
            }
            for (int j = 0; j < i; ++j) {
                // As the voice says them: in lower case, as the profile's voice would.
                const QString first = Speech::cueUtterance(SpokenCues::cueFor(spellings[j]), {}).text;
                const QString second = Speech::cueUtterance(SpokenCues::cueFor(spellings[i]), {}).text;
                if (SpokenCues::hasCue(spellings[j]) && heard(first) == heard(second))
                    tell(first + u'|' + second,
                        QStringLiteral("%1: the cues %2 and %3 sound the same [%4]")
                            .arg(from, quoted(first), quoted(second), heard(first)));
            }
        }
    }
    EXPECT_TRUE(problems.isEmpty()) << str(joined(problems));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ShippedListTest, ::testing::ValuesIn(shippedLists()), testName);

TEST(ShippedTexts, EveryTextFileIsOneTheProgramReads)
{
    QSet<QString> read;
    for (const ShippedList &list : shippedLists())
        read.insert(list.file);

    QStringList unread;
    const QString data = QStringLiteral(VELMORA_SOURCE_DIR "/data/");
    QDirIterator it(data + QStringLiteral("testidifort"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next().mid(data.size());
        if (!read.contains(file))
            unread.append(file);
    }
    unread.sort();
    EXPECT_TRUE(unread.isEmpty()) << "no button or review reads these files; is the name right?\n"
                                  << str(unread.join(u'\n'));
}

TEST(ShippedReviews, EveryReviewHoldsEveryWordOfItsFilesWithTheAnswerOnEitherButton)
{
    AppState &state = appState();
    state.ApplicationFolder = TestEnv::buildAppFolder();
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
        if (menu.review.isEmpty())
            continue;
        int expected = 0;
        for (const Catalogue::ReviewFile &file : menu.review) {
            state.WordListPath = state.ApplicationFolder + u'/' + file.file;
            expected += loadWords().recordsRead;
        }
        const ReviewReport report = loadReview(menu.review);
        EXPECT_TRUE(report.ok()) << str(menu.formName) << ": " << str(report.text());
        EXPECT_EQ(state.WordCount, expected) << str(menu.formName);
        int firstAnswers = 0;
        for (int row = 1; row <= state.WordCount; ++row) {
            const WordItem &item = state.wordRow(row);
            firstAnswers += item.answer.compare(item.firstChoice, Qt::CaseInsensitive) == 0;
        }
        const QString share = shareOfFirstChoice(firstAnswers, state.WordCount);
        EXPECT_TRUE(share.isEmpty()) << str(menu.formName) << " review: " << str(share)
                                     << "; balance the two spellings in the answers of its files";
        EXPECT_EQ(state.WordListPath, state.ApplicationFolder + u'/' + menu.review.last().file);
    }
}

TEST(ShippedAccentLists, SetTheAccentsDirectionsAgainstEachOther)
{
    // Words whose accent children turn the wrong way, beside the wrong form.
    const QList<QStringList> turned = {{QStringLiteral("perché"), QStringLiteral("perchè")},
        {QStringLiteral("poiché"), QStringLiteral("poichè")},
        {QStringLiteral("ventitré"), QStringLiteral("ventitrè")},
        {QStringLiteral("né"), QStringLiteral("nè")}, {QStringLiteral("sé"), QStringLiteral("sè")},
        {QStringLiteral("è"), QStringLiteral("é")}, {QStringLiteral("è"), QStringLiteral("e'")}};
    const Catalogue::TopicMenu *menu = Catalogue::menuByMarker(QStringLiteral("accento"));
    ASSERT_NE(menu, nullptr);

    AppState &state = appState();
    QSet<QString> offered; // "first|second", lower case, either way round
    for (const Catalogue::Button &button : menu->buttons) {
        if (button.opens != Opens::Sentence)
            continue;
        state.WordListPath = TestEnv::buildAppFolder() + u'/' + button.file;
        loadSentences();
        for (int row = 1; row <= state.WordCount; ++row) {
            const QString first = state.wordRow(row).firstChoice.toLower();
            const QString second = state.wordRow(row).secondChoice.toLower();
            offered << first + u'|' + second << second + u'|' + first;
        }
    }
    QStringList missing;
    for (const QStringList &pair : turned) {
        if (!offered.contains(pair.join(u'|')))
            missing.append(quoted(pair[0]) + QStringLiteral(" beside ") + quoted(pair[1]));
    }
    EXPECT_TRUE(missing.isEmpty()) << "no sentence of the accent menu offers "
                                   << str(missing.join(QStringLiteral(", ")));
}

TEST(DictionaryAllowList, EveryEntryIsAWordTheDictionaryLacksWithItsReason)
{
    const ListCheck::WordData &lexicon = wordData();
    if (!lexicon.hasDictionary())
        GTEST_SKIP() << kDictionaryPath << " is missing (Debian package witalian)";
    ASSERT_TRUE(lexicon.missing().isEmpty()) << str(lexicon.missing().join(u' '));

    QStringList problems;
    const auto &entries = lexicon.allowList();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const QString &word = it.value().word;
        const QString where
            = QStringLiteral("dictionary-allowlist.txt line %1 %2").arg(it.key()).arg(quoted(word));
        if (word.isEmpty() || word.contains(u' ') || word != word.toLower())
            problems.append(where + QStringLiteral(": one word in lower case a line"));
        if (it.value().note.isEmpty())
            problems.append(where + QStringLiteral(": say after «#» why the word is right"));
        if (lexicon.dictionaryHas(word))
            problems.append(where + QStringLiteral(": the dictionary has it already; remove the entry"));
    }
    EXPECT_TRUE(problems.isEmpty()) << str(joined(problems));
}

} // namespace
