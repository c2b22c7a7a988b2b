#include "fakes.h"
#include "programwindow.h"
#include "testenv.h"

#include "app/catalogue.h"
#include "app/formmieliste.h"
#include "app/program.h"
#include "app/startup.h"
#include "app/teacherlists.h"
#include "app/topicmenu.h"
#include "exercises/exercisewindow.h"
#include "layout/formhost.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeList(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    TestEnv::writeFile(path, bytes);
}

QString userList(const char *topicAndKind, const char *name)
{
    return TeacherLists::userFolder() + QLatin1String(topicAndKind) + u'/' + QString::fromUtf8(name)
        + QStringLiteral(".txt");
}

QString schoolList(const char *topicAndKind, const char *name)
{
    return TeacherLists::schoolFolder() + QLatin1String(topicAndKind) + u'/' + QString::fromUtf8(name)
        + QStringLiteral(".txt");
}

void setWritable(const QString &folder, bool writable)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths << folder;
    for (const QString &path : paths) {
        const mode_t mode = QFileInfo(path).isDir() ? 0555 : 0444;
        ::chmod(QFile::encodeName(path).constData(), writable ? mode | 0200 : mode);
    }
}

// What the exercise window asked on the way out, left out of what the program told.
QStringList told(const RecordedDialogs &dialogs)
{
    QStringList messages = dialogs.messages();
    messages.removeAll(QStringLiteral("Vuoi tornare al menù?"));
    return messages;
}

void click(QPushButton *button)
{
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

class MyListsTest : public ::testing::Test
{
protected:
    void SetUp() override { setUpProgramWindow(host); }

    TopicMenuForm *showTopic(const QString &formName)
    {
        return qobject_cast<TopicMenuForm *>(host.showForm(formName));
    }

    FormMieListe *openMyLists(const QString &topicFormName)
    {
        TopicMenuForm *topic = showTopic(topicFormName);
        EXPECT_TRUE(topic && topic->myListsButton());
        if (!topic || !topic->myListsButton())
            return nullptr;
        click(topic->myListsButton());
        return qobject_cast<FormMieListe *>(host.currentForm());
    }

    // The button of the list whose caption is given (on one line), on the menu shown.
    QPushButton *listButton(FormMieListe *menu, const QString &caption)
    {
        for (int i = 0; i < menu->lists().size(); ++i) {
            if (menu->button(i)->text().replace(u'\n', u' ') == caption)
                return menu->button(i);
        }
        ADD_FAILURE() << "no list " << caption.toStdString();
        return nullptr;
    }

    RecordedDialogs dialogs;
    RecordedSounds sounds;
    FormHost host;
};

TEST_F(MyListsTest, TheUsersAndTheSchoolsListsWithTheirPairsAndKindsAndTheSchoolsNeverWritten)
{
    writeList(userList("doppie/s-ss", "Zeta"), "ca_a,ss\r\n");
    writeList(userList("doppie/s-ss", "alfa"), "ro_a,s\r\n");
    writeList(userList("doppie/b-bb", "Beta"), "ca_a,b\r\n");
    writeList(userList("doppie/frasi", "le mie frasi"), "Luca _ un cane[a-ha]ha\r\n");
    writeList(userList("cq/c-q", "altro argomento"), "_uore,c\r\n");
    // Not lists: another extension, a folder of no pair, a folder named as a
    // list, a hidden file, a name that is not UTF-8, a pipe.
    writeList(userList("doppie/s-ss", "nota").chopped(4) + QStringLiteral(".doc"), "x\r\n");
    writeList(userList("doppie/senzacoppia", "lista"), "ca_a,ss\r\n");
    QDir().mkpath(userList("doppie/s-ss", "cartella"));
    writeList(userList("doppie/s-ss", ".nascosta"), "ca_a,ss\r\n");
    const QByteArray notUtf8 = QFile::encodeName(TeacherLists::userFolder()) + "doppie/s-ss/\xff.txt";
    ::close(::open(notUtf8.constData(), O_CREAT | O_WRONLY, 0644));
    // The temporary home is removed after the test: nothing in it may stand in the way.
    const auto cleanUp = qScopeGuard([notUtf8] {
        ::unlink(notUtf8.constData());
        setWritable(TeacherLists::schoolFolder(), true);
    });
    ASSERT_EQ(::access(notUtf8.constData(), F_OK), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(userList("doppie/s-ss", "tubo")).constData(), 0644), 0);
    writeList(schoolList("doppie/t-tt", "della scuola"), "ga_o,tt\r\n");
    writeList(schoolList("doppie/frasi", "Accenti"), "Luca _ un cane[a-ha]ha\r\n");

    const QList<TeacherList> lists = TeacherLists::forTopic(QStringLiteral("doppie"));
    QStringList seen;
    for (const TeacherList &list : lists) {
        EXPECT_EQ(list.topicFolder, QStringLiteral("doppie"));
        EXPECT_TRUE(QFileInfo(list.path).isFile()) << list.path.toStdString();
        seen << QStringLiteral("%1|%2|%3-%4|%5")
                    .arg(list.name, list.sentences ? QStringLiteral("frasi") : QStringLiteral("parole"),
                        list.first, list.second, list.school ? QStringLiteral("scuola") : QString());
    }
    EXPECT_EQ(seen,
        QStringList({QStringLiteral("alfa|parole|s-ss|"), QStringLiteral("Beta|parole|b-bb|"),
            QStringLiteral("le mie frasi|frasi|-|"), QStringLiteral("Zeta|parole|s-ss|"),
            QStringLiteral("Accenti|frasi|-|scuola"), QStringLiteral("della scuola|parole|t-tt|scuola")}));
    EXPECT_EQ(lists.first().path, userList("doppie/s-ss", "alfa"));
    EXPECT_EQ(TeacherLists::userPath(QStringLiteral("doppie"), false, QStringLiteral("s"),
                  QStringLiteral("ss"), QStringLiteral("alfa")),
        lists.first().path);
    EXPECT_TRUE(TeacherLists::forTopic(QStringLiteral("h")).isEmpty());
    EXPECT_TRUE(TeacherLists::forTopic(QStringLiteral("../liste/doppie")).isEmpty());
    EXPECT_EQ(
        TeacherLists::whyNotAListName(QStringLiteral(" ")), QStringLiteral("Scrivi il nome della lista."));
    EXPECT_FALSE(TeacherLists::whyNotAListName(QStringLiteral("a/b")).isEmpty());
    EXPECT_TRUE(TeacherLists::whyNotAListName(QStringLiteral("le doppie di Anna")).isEmpty());

    // The school's folder, read only, stays as it was however its lists are used.
    const QString school = TeacherLists::schoolFolder();
    setWritable(school, false);
    const QStringList before = TestEnv::stateOfTree(school, TestEnv::Details::PermissionsAndTimes);
    ASSERT_EQ(before.size(), 5) << before.join(u'\n').toStdString();
    dialogs.answerQuestionsWith(true);
    FormMieListe *menu = openMyLists(QStringLiteral("FormMenuDoppie"));
    ASSERT_TRUE(menu);
    click(listButton(menu, QStringLiteral("della scuola (scuola)")));
    auto *exercise = qobject_cast<ExerciseWindow *>(host.currentForm());
    ASSERT_TRUE(exercise);
    EXPECT_EQ(appState().WordListPath, schoolList("doppie/t-tt", "della scuola"));
    click(exercise->answerButton(1));
    EXPECT_TRUE(exercise->solved());
    exercise->exitAction()->trigger();
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenuDoppie"));
    EXPECT_EQ(TestEnv::stateOfTree(school, TestEnv::Details::PermissionsAndTimes), before);
    EXPECT_TRUE(told(dialogs).isEmpty()) << told(dialogs).join(u'\n').toStdString();
}

TEST_F(MyListsTest, TheMenuShowsMyListsOnlyWithListsAndEachListPlaysInItsWindowAndComesBack)
{
    dialogs.answerQuestionsWith(true);
    AppState &state = appState();
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
        SCOPED_TRACE(menu.formName.toStdString());
        TopicMenuForm *topic = showTopic(menu.formName);
        ASSERT_TRUE(topic);
        EXPECT_FALSE(topic->myListsButton());
        EXPECT_EQ(topic->buttonCount(), menu.buttons.size());
        topic->fitButtonFont();
        const int points = topic->button(0)->font().pointSize();

        // A word list for the menu's first pair, or sentences where it has none.
        const QList<Catalogue::Pair> pairs = Catalogue::pairsOf(menu);
        const bool sentences = pairs.isEmpty();
        const Catalogue::Pair pair = sentences ? Catalogue::Pair() : pairs.first();
        const QString path = TeacherLists::userPath(
            menu.topicFolder, sentences, pair.first, pair.second, QStringLiteral("prova"));
        writeList(path,
            sentences ? QByteArray("Luca _ un cane[a-ha]ha\r\n") : "x_y," + pair.second.toUtf8() + "\r\n");

        topic = showTopic(menu.formName);
        ASSERT_TRUE(topic->myListsButton());
        EXPECT_EQ(topic->myListsButton()->text(), QStringLiteral("le mie liste"));
        // In a free place of the menu, and the pupil's captions no smaller for it.
        const QRect place(Catalogue::myListsPosition(menu), Catalogue::kButtonSize);
        EXPECT_TRUE(QRect(QPoint(), menu.designClientArea).contains(place));
        for (const Catalogue::Button &button : menu.buttons)
            EXPECT_FALSE(place.intersects(QRect(button.position, Catalogue::kButtonSize)))
                << button.caption.toStdString();
        topic->fitButtonFont();
        EXPECT_EQ(topic->button(0)->font().pointSize(), points);

        state.CaptionTrailCount = 0;
        click(topic->myListsButton());
        auto *lists = qobject_cast<FormMieListe *>(host.currentForm());
        ASSERT_TRUE(lists);
        ASSERT_EQ(lists->buttonCount(), 2);
        EXPECT_FALSE(lists->moreButton());
        EXPECT_EQ(lists->backButton()->text(), QStringLiteral("indietro"));
        state.ChoiceA = state.ChoiceB = QStringLiteral("prima");
        click(lists->button(0));
        EXPECT_EQ(host.currentForm()->formName(),
            Catalogue::formNameFor(sentences ? Catalogue::Opens::Sentence : Catalogue::Opens::TwoChoice));
        EXPECT_EQ(state.WordListPath, path);
        EXPECT_EQ(state.ChoiceA, sentences ? QStringLiteral("prima") : pair.first);
        EXPECT_EQ(state.ChoiceB, sentences ? QStringLiteral("prima") : pair.second);
        ASSERT_GE(state.CaptionTrailCount, 2);
        EXPECT_EQ(state.CaptionTrail[2].caption, QStringLiteral("prova"));
        qobject_cast<ExerciseWindow *>(host.currentForm())->exitAction()->trigger();
        EXPECT_EQ(host.currentForm()->formName(), menu.formName);
    }
    EXPECT_TRUE(told(dialogs).isEmpty()) << told(dialogs).join(u'\n').toStdString();

    // Thirteen lists: twelve on the first page, the last on the second, then the first again.
    for (int i = 1; i <= 12; ++i)
        writeList(userList("h/a-ha", qPrintable(QStringLiteral("lista %1").arg(i, 2, 10, QChar(u'0')))),
            "_ fame,ha\r\n");
    FormMieListe *lists = openMyLists(QStringLiteral("FormMenuH"));
    ASSERT_TRUE(lists && lists->moreButton());
    EXPECT_EQ(lists->lists().size(), FormMieListe::kListsPerPage);
    click(lists->moreButton());
    lists = qobject_cast<FormMieListe *>(host.currentForm());
    ASSERT_TRUE(lists);
    ASSERT_EQ(lists->lists().size(), 1);
    EXPECT_EQ(lists->button(0)->text(), QStringLiteral("prova"));
    click(lists->moreButton());
    lists = qobject_cast<FormMieListe *>(host.currentForm());
    EXPECT_EQ(lists->button(0)->text(), QStringLiteral("lista 01"));
    click(lists->backButton());
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenuH"));
}

TEST_F(MyListsTest, AReviewMixesTheTeachersWordListsEachWithItsPairAndNoSentences)
{
    const Catalogue::TopicMenu &h = *Catalogue::menuByFormName(QStringLiteral("FormMenuH"));
    ASSERT_GT(loadReview(h.review).rows, 0);
    const int shipped = appState().WordCount;
    writeList(userList("h/o-ho", "mia"), "_ fame,ho\r\n_ sete,ho\r\n");
    writeList(schoolList("h/anno-hanno", "scuola"), "l'_ prossimo,anno\r\n");
    writeList(userList("h/frasi", "frasi"), "Luca _ un cane[a-ha]ha\r\n");

    TopicMenuForm *topic = showTopic(QStringLiteral("FormMenuH"));
    ASSERT_TRUE(topic);
    topic->openReview();
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormEserciziRiep"));
    EXPECT_TRUE(told(dialogs).isEmpty()) << told(dialogs).join(u'\n').toStdString();
    const AppState &state = appState();
    ASSERT_EQ(state.WordCount, shipped + 3);
    QStringList added;
    for (int row = shipped + 1; row <= state.WordCount; ++row) {
        const WordItem &item = state.wordRow(row);
        added << item.text + u'|' + item.answer + u'|' + item.firstChoice + u'|' + item.secondChoice;
    }
    EXPECT_EQ(added,
        QStringList({QStringLiteral("_ fame|ho|o|ho"), QStringLiteral("_ sete|ho|o|ho"),
            QStringLiteral("l'_ prossimo|anno|anno|hanno")}));
}

TEST(MyListsCaption, ListsOfOneNameAreToldApartByWhatTheyDrill)
{
    const TeacherList words{QStringLiteral("/u/liste/doppie/b-bb/casa.txt"), QStringLiteral("doppie"),
        QStringLiteral("casa"), false, QStringLiteral("b"), QStringLiteral("bb"), false};
    const TeacherList sentences{QStringLiteral("/s/liste/doppie/frasi/Casa.txt"), QStringLiteral("doppie"),
        QStringLiteral("Casa"), true, {}, {}, true};
    EXPECT_EQ(FormMieListe::captionOf(words, {words}), QStringLiteral("casa"));
    EXPECT_EQ(FormMieListe::captionOf(words, {words, sentences}), QStringLiteral("casa (b / bb)"));
    EXPECT_EQ(
        FormMieListe::captionOf(sentences, {words, sentences}), QStringLiteral("Casa (frasi)\n(scuola)"))
        << "broken in two where long";
}

} // namespace
