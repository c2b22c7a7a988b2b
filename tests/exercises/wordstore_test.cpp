#include "exercises/wordstore.h"
#include "state/appstate.h"
#include "state/random.h"

#include "testenv.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

struct Problem
{
    int line;
    const char *containing;
};

QString writeList(const QByteArray &bytes)
{
    const QString path = TestEnv::makeFolder(QStringLiteral("liste")) + QStringLiteral("/lista.txt");
    TestEnv::writeFile(path, bytes);
    appState().WordListPath = path;
    return path;
}

// Rows 1 to WordCount as "text|answer", or with the choices too.
Rows loadedRows(bool withChoices = false)
{
    Rows rows;
    for (int r = 1; r <= appState().WordCount; ++r) {
        const WordItem &item = appState().wordRow(r);
        QString row = item.text + u'|' + item.answer;
        if (withChoices)
            row += u'|' + item.firstChoice + u'|' + item.secondChoice;
        rows.push_back(row.toStdString());
    }
    return rows;
}

void expectProblems(const LoadReport &report, const std::vector<Problem> &expected)
{
    ASSERT_EQ(report.problems.size(), qsizetype(expected.size())) << report.text().toStdString();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(report.problems[qsizetype(i)].line, expected[i].line) << i;
        EXPECT_TRUE(report.problems[qsizetype(i)].message.contains(QString::fromUtf8(expected[i].containing)))
            << report.problems[qsizetype(i)].message.toStdString();
    }
}

QByteArray numberedList(int count, const char *pattern)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += QByteArray(pattern).replace("#", QByteArray::number(i)) + "\r\n";
    return bytes;
}

} // namespace

TEST(WordList, LoadsTheSameRowsWhateverTheLayout)
{
    const Rows expected = {"_anana|b", "ca__a|s", "_Atto|G"};
    const QByteArray layouts[] = {
        "_anana,b\r\nca__a,s\r\n_Atto,G\r\n",
        "_anana,b\r\nca__a,s\r\n_Atto,G",
        "_anana,b\nca__a,s\n_Atto,G\n\n",
        "_anana,b\rca__a,s\r_Atto,G",
        "\r\n_anana,b\r\n\r\n  \t\r\nca__a,s\r\n_Atto,G\r\n\r\n",
        "  _anana , b\r\n\"ca__a\",\"s\"\r\n_Atto,G",
        "_anana,b,ca__a,s\r\n_Atto,G\r\n",
    };
    for (const QByteArray &bytes : layouts) {
        SCOPED_TRACE(bytes.toStdString());
        writeList(bytes);
        const LoadReport report = loadWords();
        EXPECT_TRUE(report.ok()) << report.text().toStdString();
        EXPECT_EQ(report.recordsRead, 3);
        EXPECT_EQ(loadedRows(), expected);
    }
}

TEST(WordList, KeepsFieldsAsWritten)
{
    const std::pair<QByteArray, std::string> cases[] = {
        {"_itt\xE0,c\r\n", "_ittà|c"},
        {"_itt\xC3\xA0,c\r\n", "_ittà|c"},
        {"\xEF\xBB\xBF_itt\xC3\xA0,c", "_ittà|c"},
        {"\"_ure, _ure\",p", "_ure, _ure|p"},
        {"_ERCHÈ,P", "_ERCHÈ|P"},
    };
    for (const auto &[bytes, row] : cases) {
        writeList(bytes);
        EXPECT_TRUE(loadWords().ok());
        EXPECT_EQ(loadedRows(), Rows{row});
    }
}

TEST(WordList, LoadOverwritesOnlyTheRowsItReads)
{
    writeList(numberedList(20, "frase # _[a-b]a"));
    ASSERT_EQ(loadSentences().recordsRead, 20);
    writeList(numberedList(5, "parola_#,x"));
    ASSERT_EQ(loadWords().recordsRead, 5);

    EXPECT_EQ(appState().WordCount, 5);
    const WordItem &fifth = appState().wordRow(5);
    EXPECT_EQ(fifth.text, QStringLiteral("parola_5"));
    // A word list has no choices; the ones already in the row stay.
    EXPECT_EQ(fifth.firstChoice, QStringLiteral("a"));
    EXPECT_EQ(appState().wordRow(6).text, QStringLiteral("frase 6 _"));
    EXPECT_EQ(appState().wordRow(20).text, QStringLiteral("frase 20 _"));
}

TEST(WordList, KeepsGoodRecordsAndReportsBadOnesByLine)
{
    const struct
    {
        QByteArray bytes;
        Rows rows;
        std::vector<Problem> problems;
    } cases[] = {
        {"_anana,b\r\n_ane", {"_anana|b"}, {{2, "manca la risposta dopo «_ane»"}}},
        {"_anana,b\r\n_ane\r\n\r\n", {"_anana|b"}, {{2, "manca la risposta dopo «_ane»"}}},
        {"_anana\r\n_ane,p\r\n_atto,g", {"_ane|p", "_atto|g"}, {{1, "manca la risposta dopo «_anana»"}}},
        {"_anana,b\r\nbanana,x\r\n_ane,\r\n_atto,g", {"_anana|b", "banana|x", "_ane|", "_atto|g"},
            {{2, "in «banana» manca «_»"}, {3, "la risposta dopo «_ane» è vuota"}}},
        {"_anana,b\r\n_ane,", {"_anana|b", "_ane|"}, {{2, "la risposta dopo «_ane» è vuota"}}},
        {"_x,y\r\n_anana,\"b\r\n_ane,p\r\n", {"_x|y"}, {{2, "virgolette"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        writeList(c.bytes);
        const LoadReport report = loadWords();
        EXPECT_EQ(loadedRows(), c.rows);
        EXPECT_EQ(report.recordsRead, int(c.rows.size()));
        expectProblems(report, c.problems);
    }
}

TEST(WordList, LeavesOutOverlongRecordsAndControlCharactersAndRefusesUtf16)
{
    const QByteArray longest = "_" + QByteArray(197, 'a') + ",b"; // 200 characters: kept
    writeList("_anana,b\r\n_" + QByteArray(1024 * 1024, 'a') + ",b\r\n" + longest + "\r\n_a\x01ne,b\r\n"
        + QByteArray("_atto,b\0\r\n", 10) + "_ane,b\tx\r\n");
    LoadReport report = loadWords();
    EXPECT_EQ(
        loadedRows(), (Rows{"_anana|b", QByteArray(longest).replace(',', '|').toStdString(), "_ane|b\tx"}));
    expectProblems(report,
        {{2, "la riga è troppo lunga: 1048579 caratteri, al massimo 200"},
            {4, "carattere di controllo (codice 1)"}, {5, "carattere di controllo (codice 0)"}});

    writeList(
        "Luca _ un cane[a-ha]ha\r\n" + QByteArray(300, 'x') + "[a-ha]ha\r\nLuca\x07 _ fame[a-ha]ha\r\n");
    report = loadSentences();
    EXPECT_EQ(loadedRows(true), (Rows{"Luca _ un cane|ha|a|ha"}));
    expectProblems(report, {{2, "troppo lunga: 308 caratteri"}, {3, "carattere di controllo (codice 7)"}});

    const QString text = QStringLiteral("_anana,b\r\n_ane,p\r\nLuca _ un cane[a-ha]ha\r\n");
    const QByteArray little(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    QByteArray big = little;
    for (qsizetype i = 0; i + 1 < big.size(); i += 2)
        std::swap(big[i], big[i + 1]);
    for (const QByteArray &utf16 : {"\xFF\xFE" + little, little, big}) {
        for (const bool sentences : {false, true}) {
            writeList(utf16);
            report = sentences ? loadSentences() : loadWords();
            EXPECT_EQ(appState().WordCount, 0);
            expectProblems(report, {{0, "codifica UTF-16"}});
            EXPECT_TRUE(report.text().contains(QStringLiteral("Windows-1252")))
                << report.text().toStdString();
            EXPECT_FALSE(report.text().contains(QChar(0)));
        }
    }
}

TEST(WordList, LeavesOutAnswersNoButtonOffers)
{
    const QByteArray list = "_ fame,HA\r\n_ sonno,o\r\n_ casa,a\r\n_ freddo,\r\n";
    writeList(list);
    LoadReport report = loadWords({QStringLiteral("a"), QStringLiteral("ha")});
    EXPECT_EQ(loadedRows(), (Rows{"_ fame|HA", "_ casa|a"}));
    expectProblems(report,
        {{2, "la risposta «o» non è nessuna delle due scelte «a» e «ha»"},
            {4, "la risposta dopo «_ freddo» è vuota"}});

    writeList("_ casa,la\r\n_albero,L'\r\n_ zaino,il\r\n");
    report = loadWords({QStringLiteral("la"), QStringLiteral("lo"), QStringLiteral("l'")});
    EXPECT_EQ(loadedRows(), (Rows{"_ casa|la", "_albero|L'"}));
    expectProblems(report, {{3, "la risposta «il» non è nessuna delle tre scelte «la», «lo» e «l'»"}});

    // Spellings not known (no menu chose them): every answer stays.
    writeList(list);
    EXPECT_EQ(loadWords({QString(), QString()}).problems.size(), 1);
    EXPECT_EQ(appState().WordCount, 4);
}

TEST(WordList, AListThatCannotBeReadLoadsNothing)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("altro"));
    const QString locked = folder + QStringLiteral("/chiuso.txt");
    TestEnv::writeFile(locked, "_anana,b");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const QString endless = folder + QStringLiteral("/zero.txt");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), endless));

    const std::pair<QString, const char *> cases[] = {
        {QString(), "nessun file"},
        {folder + QStringLiteral("/manca.txt"), "non esiste"},
        {folder, "cartella"},
        {locked, "non si può leggere"},
        {endless, "non è un file normale"},
    };
    for (const auto &[path, message] : cases) {
        if (path == locked && geteuid() == 0)
            continue; // permissions do not stop root
        writeList("_anana,b\r\n_ane,p");
        ASSERT_EQ(loadWords().recordsRead, 2);
        appState().WordListPath = path;
        const LoadReport report = loadWords();
        EXPECT_EQ(appState().WordCount, 0);
        expectProblems(report, {{0, message}});
        EXPECT_EQ(appState().wordRow(2).text, QStringLiteral("_ane"));
    }

    for (const QByteArray &empty : {QByteArray(), QByteArray("\r\n  \r\n\n")}) {
        writeList(empty);
        expectProblems(loadWords(), {{0, "il file è vuoto"}});
        expectProblems(loadSentences(), {{0, "il file è vuoto"}});
        EXPECT_EQ(appState().WordCount, 0);
    }
}

TEST(WordList, ReadsAtMost12000Records)
{
    writeList(numberedList(kMaxWordRows, "_#,x"));
    EXPECT_TRUE(loadWords().ok());
    EXPECT_EQ(appState().WordCount, kMaxWordRows);

    writeList(numberedList(kMaxWordRows + 1, "_#,x"));
    LoadReport report = loadWords();
    EXPECT_EQ(appState().WordCount, kMaxWordRows);
    EXPECT_EQ(appState().wordRow(kMaxWordRows).text, QStringLiteral("_12000"));
    expectProblems(report, {{12001, "più di 12000 righe"}});

    writeList(numberedList(kMaxWordRows + 1, "# _[a-b]a"));
    report = loadSentences();
    EXPECT_EQ(appState().WordCount, kMaxWordRows);
    expectProblems(report, {{12001, "più di 12000 righe"}});
}

TEST(SentenceList, SplitsTextChoicesAndAnswer)
{
    writeList("Luca _ un cane[a-ha]ha\r\n\r\n"
              "Il [gatto] _ nero[e-\xE8]\xE8  \r\n"
              "Loro _anno fame[-h]h\n"
              "_ andato[\xE8-e-\xE8]e-\xE8\r\n"
              "IO _ FAME[ho-o]HO");
    const LoadReport report = loadSentences();
    EXPECT_TRUE(report.ok()) << report.text().toStdString();
    EXPECT_EQ(loadedRows(true),
        (Rows{"Luca _ un cane|ha|a|ha", "Il [gatto] _ nero|è|e|è", "Loro _anno fame|h||h",
            "_ andato|e-è|è|e-è", "IO _ FAME|HO|ho|o"}));
}

TEST(SentenceList, SkipsMalformedLinesAndReportsThem)
{
    writeList("Luca _ un cane[a-ha]ha\r\n"
              "senza scelte\r\n"
              "Luca _ un cane[a ha]ha\r\n"
              "Luca _ un cane[a-ha\r\n"
              "Luca ]_ un cane[a-ha\r\n"
              "Luca _ fame[a-ha]o\r\n"
              "Luca _ fame[-ha]\r\n"
              "\r\n"
              "Luca _ fame[a-ha]ha");
    const LoadReport report = loadSentences();
    EXPECT_EQ(loadedRows(true), (Rows{"Luca _ un cane|ha|a|ha", "Luca _ fame|ha|a|ha"}));
    expectProblems(report,
        {{2, "manca «[»"}, {3, "manca «-»"}, {4, "manca «]»"}, {5, "manca «]»"},
            {6, "la risposta «o» non è nessuna delle due scelte «a» e «ha»"}, {7, "manca la risposta"}});
}

TEST(LoadReport, NamesTheFileAndListsTheFirstTenProblems)
{
    LoadReport report;
    EXPECT_TRUE(report.text().isEmpty());

    report.path = QStringLiteral("/scuola/liste/bp.txt");
    report.problems.append({0, QStringLiteral("il file è vuoto")});
    for (int line = 2; line <= 11; ++line)
        report.problems.append({line, QStringLiteral("manca la risposta")});
    QStringList lines = report.text().split(u'\n');
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], QStringLiteral("Il file delle parole «/scuola/liste/bp.txt» ha dei problemi:"));
    EXPECT_EQ(lines[1], QStringLiteral("il file è vuoto"));
    EXPECT_EQ(lines[10], QStringLiteral("riga 10: manca la risposta"));
    EXPECT_EQ(lines[11], QStringLiteral("… e un altro problema"));

    report.sentences = true;
    report.problems.append({12, QStringLiteral("manca «[»")});
    lines = report.text().split(u'\n');
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Il file delle frasi")));
    EXPECT_EQ(lines.last(), QStringLiteral("… e altri 2 problemi"));
}

TEST(CompleteWord, FillsTheFirstGapAndDropsTheOthers)
{
    EXPECT_EQ(completeWord(QStringLiteral("ca__a"), QStringLiteral("s")), QStringLiteral("casa"));
    EXPECT_EQ(completeWord(QStringLiteral("_a_a"), QStringLiteral("c")), QStringLiteral("caa"));
    EXPECT_EQ(completeWord(QStringLiteral("casa"), QStringLiteral("x")), QStringLiteral("casa"));
    EXPECT_EQ(completeWord(QStringLiteral("_"), QStringLiteral("gn")), QStringLiteral("gn"));

    writeList("so__o,gn\r\n");
    loadWords();
    EXPECT_EQ(completedItem(1), QStringLiteral("sogno"));
    EXPECT_EQ(completedItem(2), QString());
}

class RandomWord : public ::testing::Test
{
protected:
    void TearDown() override { Random::setSource({}); }

    // The rows picked for each draw of the generator.
    static std::vector<int> picks(int wordCount, const std::vector<double> &draws)
    {
        appState().WordCount = qint16(wordCount);
        std::size_t next = 0;
        Random::setSource([&] { return draws[next++ % draws.size()]; });
        std::vector<int> rows;
        for (std::size_t i = 0; i < draws.size(); ++i) {
            pickRandomItem();
            rows.push_back(appState().CurrentWordIndex);
        }
        return rows;
    }
};

TEST_F(RandomWord, MapsEachDrawOntoARow)
{
    const double almostOne = std::nextafter(1.0, 0.0);
    EXPECT_EQ(picks(1, {0.0, 0.5, almostOne}), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(picks(4, {0.0, 0.2499, 0.25, 0.5, 0.75, almostOne}), (std::vector<int>{1, 1, 2, 3, 4, 4}));
    EXPECT_EQ(picks(kMaxWordRows, {0.0, almostOne}), (std::vector<int>{1, kMaxWordRows}));
    // Callers check WordCount; an empty store still names row 1.
    EXPECT_EQ(picks(0, {0.7}), std::vector<int>{1});
}

TEST_F(RandomWord, PicksEveryRowEquallyOften)
{
    std::vector<double> draws;
    for (int k = 0; k < 700; ++k)
        draws.push_back((k + 0.5) / 700);
    std::vector<int> counts(8, 0);
    for (const int row : picks(7, draws))
        ++counts[std::size_t(row)];
    EXPECT_EQ(counts, (std::vector<int>{0, 100, 100, 100, 100, 100, 100, 100}));
}

namespace {

// A program folder with the named lists, and the review files that name
// them; each file's pair is the first two letters of its name.
QList<ReviewFile> reviewOf(const QList<std::pair<const char *, QByteArray>> &files)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("program"));
    appState().ApplicationFolder = folder;
    QList<ReviewFile> review;
    for (const auto &[name, bytes] : files) {
        const QString file = QString::fromLatin1(name);
        if (!bytes.isNull())
            TestEnv::writeFile(folder + u'/' + file, bytes);
        review.append({file, file.left(1), file.mid(1, 1)});
    }
    return review;
}

} // namespace

TEST(Review, ReadsEveryFileInOrderEachRowWithItsFilesPair)
{
    const QList<ReviewFile> review = reviewOf({{"bp.txt", "_alla,b\r\n_ane,p\r\n"}, {"empty.txt", ""},
        {"cg.txt", "_asa,c\r\n"}, {"cgdolce.txt", "_elato,g\r\n"}});
    const ReviewReport report = loadReview(review);
    EXPECT_TRUE(report.ok()) << "an empty file adds nothing and is no problem";
    EXPECT_EQ(report.rows, 4);
    EXPECT_EQ(appState().WordCount, 4);
    EXPECT_EQ(loadedRows(true), (Rows{"_alla|b|b|p", "_ane|p|b|p", "_asa|c|c|g", "_elato|g|c|g"}));
    EXPECT_EQ(appState().WordListPath, appState().ApplicationFolder + QStringLiteral("/cgdolce.txt"));
}

TEST(Review, SkipsAMissingFileAndNamesItOnce)
{
    const QList<ReviewFile> review
        = reviewOf({{"bp.txt", "_alla,b\r\n"}, {"dt.txt", QByteArray()}, {"fv.txt", "_ino,v\r\n_ico,f\r\n"}});
    const ReviewReport report = loadReview(review);
    EXPECT_EQ(report.rows, 3);
    EXPECT_EQ(loadedRows(true), (Rows{"_alla|b|b|p", "_ino|v|f|v", "_ico|f|f|v"}));
    ASSERT_EQ(report.missing.size(), 1);
    EXPECT_TRUE(report.text().contains(QStringLiteral("dt.txt")));
    EXPECT_FALSE(report.text().contains(QStringLiteral("bp.txt")));
}

TEST(Review, LeavesOutAWordNotAnsweredByItsFilesPair)
{
    const QList<ReviewFile> review
        = reviewOf({{"bp.txt", "_alla,b\r\n_ane,d\r\n"}, {"dt.txt", "_ado,d\r\n"}});
    const ReviewReport report = loadReview(review);
    EXPECT_EQ(loadedRows(true), (Rows{"_alla|b|b|p", "_ado|d|d|t"}));
    ASSERT_EQ(report.damaged.size(), 1);
    expectProblems(report.damaged.first(), {{2, "la risposta «d» non è nessuna delle due scelte «b» e «p»"}});
    EXPECT_TRUE(report.text().contains(QStringLiteral("bp.txt")));
}

TEST(Review, StopsAtTheLastRowOfTheStore)
{
    const QList<ReviewFile> review = reviewOf({{"xa.txt", numberedList(kMaxWordRows - 1, "_#,x")},
        {"yb.txt", numberedList(2, "_b#,y")}, {"zc.txt", "_c,z\r\n"}});
    const ReviewReport report = loadReview(review);
    EXPECT_EQ(appState().WordCount, kMaxWordRows);
    EXPECT_EQ(appState().wordRow(kMaxWordRows).text, QStringLiteral("_b1"));
    EXPECT_TRUE(report.full);
    EXPECT_TRUE(report.damaged.isEmpty()) << "no file is to blame";
    EXPECT_TRUE(report.text().contains(QStringLiteral("12000")));
}

TEST(GapShownApart, OnlyWhereAnApostropheCouldBeTheAnswer)
{
    const QStringList articles = {QStringLiteral("la"), QStringLiteral("lo"), QStringLiteral("l'")};
    EXPECT_EQ(gapShownApart(QStringLiteral("_albero"), articles), QStringLiteral("_ albero"));
    EXPECT_EQ(gapShownApart(QStringLiteral("_ casa"), articles), QStringLiteral("_ casa"));
    EXPECT_EQ(
        gapShownApart(QStringLiteral("Vado _ospedale"), {QStringLiteral("allo"), QStringLiteral("all'")}),
        QStringLiteral("Vado _ ospedale"));
    EXPECT_EQ(gapShownApart(QStringLiteral("ca_a"), {QStringLiteral("s"), QStringLiteral("ss")}),
        QStringLiteral("ca_a"));
}

TEST(WordStore, ATeachersListNeverSharesTheHistoryOfAShippedListOfTheSameName)
{
    appState().ApplicationFolder = QStringLiteral("/usr/share/velmora");
    EXPECT_EQ(historyListName(QStringLiteral("/usr/share/velmora/testidifort/doppie/b.txt")),
        QStringLiteral("b.txt"));
    EXPECT_EQ(historyListName(QStringLiteral("/home/ada/.local/share/Zerla/Velmora/liste/doppie/b-bb/b.txt")),
        QStringLiteral("liste/doppie/b-bb/b.txt"));
    EXPECT_EQ(historyListName(QStringLiteral("/srv/scuola/velmora/liste/doppie/b-bb/b.txt")),
        QStringLiteral("liste/doppie/b-bb/b.txt"));
}
