#include "exercises/reviewqueue.h"
#include "exercises/wordstore.h"
#include "records/history.h"
#include "state/appstate.h"
#include "state/random.h"

#include "testenv.h"

#include <QSet>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kWords = 60;

QStringList numberedWords()
{
    QStringList words;
    for (int i = 1; i <= kWords; ++i)
        words << QStringLiteral("parola%1").arg(i);
    return words;
}

class ReviewQueueTest : public ::testing::Test
{
protected:
    void TearDown() override { Random::setSource({}); }
};

} // namespace

TEST_F(ReviewQueueTest, MissedWordsReturnWithinTheSessionAndAtTheStartOfTheNext)
{
    ASSERT_TRUE(History::instance().open(
        TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite")));
    const QString pupil = QStringLiteral("Marta");
    const QString list = QStringLiteral("acca.txt");
    const QString otherList = QStringLiteral("doppie.txt");
    const QStringList words = numberedWords();
    QDateTime clock = QDateTime::currentDateTime();
    const auto keep = [&](const QString &word, bool right, bool timingMiss, const QString &inList) {
        Answer answer;
        answer.pupil = pupil;
        answer.answeredAt = clock = clock.addSecs(1);
        answer.topic = QStringLiteral("h");
        answer.list = inList;
        answer.item = word;
        answer.word = word;
        answer.choices = QStringList{word, QStringLiteral("altro")};
        answer.chosen = word;
        answer.right = right;
        answer.timingMiss = timingMiss;
        ASSERT_TRUE(History::instance().record(answer));
    };

    Random::seed(20240917);
    ReviewQueue queue(words);
    QStringList missed; // four words: the first is learnt on its returns, the rest missed every time
    QStringList late; // two words answered by a press one step late
    std::vector<QString> shown(1); // item number to word, from 1
    std::vector<int> missesAt;
    int learntAt = 0;
    int returnsOfFirst = 0;
    for (int item = 1; item <= 36; ++item) {
        const QString word = words[queue.next() - 1];
        shown.push_back(word);
        bool spellingError = false;
        if (word == missed.value(0)) {
            if (++returnsOfFirst == 2)
                learntAt = item;
        } else if (missed.contains(word) || (missed.size() < 4 && !late.contains(word) && item % 2 == 1)) {
            if (!missed.contains(word))
                missed << word;
            spellingError = true;
        } else if (late.size() < 2 && !missed.contains(word) && !late.contains(word) && item % 2 == 0) {
            late << word;
            queue.answered(false, true);
            keep(word, false, true, list);
        }
        if (spellingError) {
            missesAt.push_back(item);
            queue.answered(false, false);
            keep(word, false, false, list);
        }
        queue.answered(true, false);
        keep(word, true, false, list);
    }
    ASSERT_EQ(missed.size(), 4);
    ASSERT_EQ(late.size(), 2);
    ASSERT_GT(learntAt, 0);

    // Each miss brings its word back 3 to 6 items later.
    for (const int at : missesAt) {
        if (at + 6 >= int(shown.size()))
            continue;
        int back = 0;
        for (int later = at + 1; later <= at + 6 && back == 0; ++later)
            back = shown[std::size_t(later)] == shown[std::size_t(at)] ? later : 0;
        EXPECT_GE(back - at, 3) << shown[std::size_t(at)].toStdString() << " missed at " << at;
    }
    // Learnt after two right returns; presses one step late never come back.
    const QStringList stillDue = {missed[1], missed[2], missed[3]};
    EXPECT_EQ(QSet<QString>(queue.due().cbegin(), queue.due().cend()),
        QSet<QString>(stillDue.cbegin(), stillDue.cend()));
    // Another list's misses are that list's own.
    keep(words[0], false, false, otherList);
    keep(words[0], true, false, otherList);
    const QStringList kept = History::instance().dueWords(pupil, list);
    EXPECT_EQ(QSet<QString>(kept.cbegin(), kept.cend()), QSet<QString>(stillDue.cbegin(), stillDue.cend()));
    EXPECT_EQ(History::instance().dueWords(pupil, otherList), QStringList{words[0]});

    // The next session: what is still due comes among the first five items.
    QList<Answer> earlier;
    for (const Answer &answer : History::instance().answers(pupil)) {
        if (answer.list == list)
            earlier << answer;
    }
    ReviewQueue nextSession(words, earlier);
    QStringList firstFive;
    for (int item = 1; item <= 5; ++item) {
        firstFive << words[nextSession.next() - 1];
        nextSession.answered(true, false);
    }
    for (const QString &word : stillDue)
        EXPECT_TRUE(firstFive.contains(word)) << word.toStdString();
    History::instance().close();
}

TEST_F(ReviewQueueTest, WithoutSpellingErrorsThePickIsTheRandomPick)
{
    AppState &state = appState();
    state.WordCount = kWords;
    Random::seed(7);
    std::vector<int> random;
    for (int i = 0; i < 50; ++i) {
        pickRandomItem();
        random.push_back(state.CurrentWordIndex);
    }
    Random::seed(7);
    ReviewQueue untouched(numberedWords());
    std::vector<int> picked;
    for (int i = 0; i < 50; ++i) {
        picked.push_back(untouched.next());
        // Presses one step late change nothing.
        untouched.answered(i % 2 == 0, i % 2 != 0);
        untouched.answered(true, false);
    }
    EXPECT_EQ(random, picked);
}
