#include "exercises/listcheck.h"

#include "testenv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ListCheck::Kind;
using ListCheck::Records;

// Word data of the test's own: a dictionary in which "casa" and "cassa" are
// both words, and short lists of ours.
ListCheck::WordData testWords(bool withDictionary = true)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("parole"));
    TestEnv::writeFile(
        folder + QStringLiteral("/dictionary-allowlist.txt"), "# comment\ntosse  # the cough\n");
    TestEnv::writeFile(folder + QStringLiteral("/rare-words.txt"), "sciabola  # rare weapon\n");
    TestEnv::writeFile(folder + QStringLiteral("/word-families.txt"), "sassolino  # sasso: a small stone\n");
    const QString dictionary = folder + QStringLiteral("/italian");
    TestEnv::writeFile(dictionary, "casa\ncassa\nnaso\nrosso\n");
    return ListCheck::WordData::load(folder, withDictionary ? dictionary : folder + QStringLiteral("/none"));
}

struct Expected
{
    int line;
    Kind kind;
    const char *naming; // what the message says of the record
};

std::string shown(const QList<ListCheck::Problem> &problems)
{
    std::string text;
    for (const ListCheck::Problem &p : problems)
        text += std::to_string(p.line) + ' ' + p.message.toStdString() + '\n';
    return text;
}

void expectProblems(const QList<ListCheck::Problem> &problems, const std::vector<Expected> &expected)
{
    ASSERT_EQ(problems.size(), qsizetype(expected.size())) << shown(problems);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const ListCheck::Problem &p = problems[qsizetype(i)];
        EXPECT_EQ(p.line, expected[i].line) << shown(problems);
        EXPECT_EQ(p.kind, expected[i].kind) << p.message.toStdString();
        if (p.line > 0) {
            EXPECT_TRUE(p.message.startsWith(QStringLiteral("Riga %1: ").arg(p.line)))
                << p.message.toStdString();
        }
        EXPECT_TRUE(p.message.contains(QString::fromUtf8(expected[i].naming))) << p.message.toStdString();
    }
}

const QStringList kPair = {QStringLiteral("s"), QStringLiteral("ss")};

TEST(ListCheck, EachFaultPlantedInAListGivesOneMessageOnItsLine)
{
    const ListCheck::WordData words = testWords();
    // Answered by "s" 8 times, by "ss" 3 times: fewer than a third.
    const QStringList wordList = {
        QStringLiteral("ca_a,s"), // "casa" and "cassa" are both words
        QStringLiteral("rosa"), // no comma
        QStringLiteral("rosa,s"), // no gap
        QStringLiteral("ro_a,z"),
        QStringLiteral("me_e,s"),
        QStringLiteral("ME_E,s"), // line 5 again
        QStringLiteral("_ciabola,s"),
        QStringLiteral("sa_o,ss"),
        QStringLiteral("sa_i,ss"),
        QStringLiteral("sa_olino,ss"), // a third of the family of "sasso"
        QString(),
        QStringLiteral("na_o,s"),
        QStringLiteral("vi_o,s"),
        QStringLiteral("pe_o,s"),
        QStringLiteral("u_o,s"),
    };
    expectProblems(ListCheck::check(wordList, Records::Words, kPair, words),
        {{1, Kind::Ambiguous, "\"casa\""}, {2, Kind::Unreadable, "\"rosa\" manca la virgola"},
            {3, Kind::NoGap, "\"rosa\" manca lo spazio da riempire (_)."},
            {4, Kind::AnswerNotAChoice, "\"z\""}, {6, Kind::Duplicate, "riga 5"},
            {7, Kind::RareWord, "\"sciabola\""},
            {10, Kind::TooManyForms, "\"sasso\" sono 3 (righe 8, 9 e 10)"},
            {0, Kind::UnbalancedAnswers, "\"s\" 8 volte e \"ss\" 3 volte su 11"}});

    // Every answer "ha", the second choice.
    const QStringList sentences = {
        QStringLiteral("Luca _ un cane a-ha]ha"),
        QStringLiteral("Luca ha un cane[a-ha]ha"),
        QStringLiteral("Luca _ un gatto[a-ha]o"),
        QStringLiteral("Luca _ un cane[a-ha]ha"),
        QStringLiteral("luca _ un cane[a-ha]HA"),
        QStringLiteral("Marco _ una sciabola[a-ha]ha"),
        QStringLiteral("Anna _ sete[a-ha]ha"),
        QStringLiteral("Il nonno _ freddo[a-ha]ha"),
        QStringLiteral("Sara _ sonno[a-ha]ha"),
        QStringLiteral("Il cane _ fame[a-ha]ha"),
        QStringLiteral("Paolo _ caldo[a-ha]ha"),
        QStringLiteral("Maria _ paura[a-ha]ha"),
        QStringLiteral("Ugo _ fretta[a-ha]ha"),
    };
    expectProblems(ListCheck::check(sentences, Records::Sentences, {}, words),
        {{1, Kind::Unreadable, "manca «[»"}, {2, Kind::NoGap, "\"Luca ha un cane\""},
            {3, Kind::AnswerNotAChoice, "\"o\""}, {5, Kind::Duplicate, "riga 4"},
            {6, Kind::RareWord, "\"sciabola\""}, {0, Kind::UnbalancedPositions, "in 0 frasi su 10"}});
}

TEST(ListCheck, ACleanListAShortOneAndAMissingDictionaryGiveNoFault)
{
    const QStringList wordList = {QStringLiteral("na_o,s"), QStringLiteral("vi_o,s"),
        QStringLiteral("pe_o,s"), QStringLiteral("u_o,s"), QStringLiteral("ro_a,s"), QStringLiteral("me_e,s"),
        QStringLiteral("sa_o,ss"), QStringLiteral("to_e,ss"), QStringLiteral("ca_etta,ss"),
        QStringLiteral("bu_ola,ss"), QStringLiteral("ro_o,ss")};
    EXPECT_TRUE(ListCheck::check(wordList, Records::Words, kPair, testWords()).isEmpty())
        << shown(ListCheck::check(wordList, Records::Words, kPair, testWords()));

    // Too short to be unbalanced.
    EXPECT_TRUE(ListCheck::check(wordList.mid(0, 3), Records::Words, kPair, testWords()).isEmpty());

    QStringList sentences;
    for (const char *who :
        {"Anna", "Luca", "Sara", "Ugo", "Marco", "Paolo", "Maria", "Il nonno", "Lia", "Teo"})
        sentences << QStringLiteral("%1 _ fame[a-ha]ha").arg(QLatin1String(who))
                  << QStringLiteral("%1 _ casa[a-ha]a").arg(QLatin1String(who));
    EXPECT_TRUE(ListCheck::check(sentences, Records::Sentences, {}, testWords()).isEmpty())
        << shown(ListCheck::check(sentences, Records::Sentences, {}, testWords()));

    // Without the dictionary "casa" and "cassa" go unnoticed, told once.
    const QList<ListCheck::Problem> problems
        = ListCheck::check(wordList + QStringList{QStringLiteral("ca_a,s"), QStringLiteral("ca_ina,s")},
            Records::Words, kPair, testWords(false));
    ASSERT_EQ(problems.size(), 1) << shown(problems);
    EXPECT_EQ(problems[0].kind, Kind::ChecksSkipped);
    EXPECT_TRUE(problems[0].message.contains(QStringLiteral("witalian"))) << shown(problems);
}

} // namespace
