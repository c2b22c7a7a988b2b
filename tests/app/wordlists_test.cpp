#include "fakes.h"
#include "testenv.h"

#include "app/formliste.h"
#include "app/formmenu.h"
#include "app/program.h"
#include "app/startup.h"
#include "app/teacherlists.h"
#include "exercises/exercisewindow.h"
#include "exercises/wordstore.h"
#include "layout/formhost.h"
#include "records/activityrecord.h"
#include "state/appstate.h"
#include "state/random.h"
#include "text/listfile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The items the exercise would play from a list's bytes.
QList<QStringList> itemsOf(const QByteArray &bytes, const QStringList &spellings)
{
    const LoadReport report = WordLists::wordsFromBytes(bytes, spellings);
    QList<QStringList> items;
    for (int row = 1; row <= appState().WordCount; ++row)
        items << QStringList{appState().wordRow(row).text, appState().wordRow(row).answer};
    return items;
}

// Types as a keyboard does, one key a character, Enter at a line end.
void type(QWidget *control, const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\n') {
            QTest::keyClick(control, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &release);
    }
}

class WordListsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The school's folder is the first of the shared data folders: the test's own.
        m_dataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS", QFile::encodeName(TestEnv::makeFolder(QStringLiteral("condivisa"))));
        registerForms(host);
        host.resize(1024, 768);
        host.show();
        appState().UserName = QStringLiteral("_predefinito");
    }

    void TearDown() override { qputenv("XDG_DATA_DIRS", m_dataDirs); }

    FormListe *openFromMenu()
    {
        static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")))->wordListsAction()->trigger();
        return form();
    }

    FormListe *form() { return qobject_cast<FormListe *>(host.currentForm()); }

    // Chooses as the teacher does, by the caption shown.
    static void choose(QComboBox *list, const QString &caption)
    {
        const int index = list->findText(caption);
        ASSERT_GE(index, 0) << caption.toStdString();
        list->setCurrentIndex(index);
        Q_EMIT list->activated(index);
    }

    // The doppie topic, the "s / ss" pair, a name and the lines typed.
    void write(const QString &name, const QString &text)
    {
        choose(form()->topicList(), QStringLiteral("Doppie"));
        choose(form()->exerciseList(), QStringLiteral("s / ss"));
        type(form()->nameEdit(), name);
        form()->editor()->selectAll();
        type(form()->editor(), text);
    }

    static void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    static QString userList(const QString &name)
    {
        return TeacherLists::userPath(
            QStringLiteral("doppie"), false, QStringLiteral("s"), QStringLiteral("ss"), name);
    }

    static QStringList problemsShown(const FormListe *window)
    {
        QStringList shown;
        for (int i = 0; i < window->problemList()->count(); ++i)
            shown << window->problemList()->item(i)->text();
        return shown;
    }

    QByteArray m_dataDirs;
    RecordedDialogs dialogs;
    RecordedSounds sounds;
    ScriptedCommonDialogs fileDialogs;
    FormHost host;
};

TEST_F(WordListsWindowTest, TypedLinesAreShownAsTheChildSeesThemAndTheirProblemsWithTheirLines)
{
    FormListe *window = openFromMenu();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->topicList()->count(), 8);
    EXPECT_EQ(window->topicList()->itemText(1), QStringLiteral("Suoni c g"));
    choose(window->topicList(), QStringLiteral("Uso h"));
    EXPECT_EQ(window->exerciseList()->itemText(0), QStringLiteral("a / ha"));
    EXPECT_EQ(window->exerciseList()->itemText(window->exerciseList()->count() - 1), QStringLiteral("frasi"));

    write(QStringLiteral("prova"), QStringLiteral("ca_a,ss\nro_a,s\npa_a"));
    EXPECT_EQ(window->countLabel()->text(), QStringLiteral("3 parole"));
    // The check waits for a pause in the typing.
    EXPECT_TRUE(window->problemList()->count() == 0);
    QTRY_VERIFY_WITH_TIMEOUT(window->problemList()->count() > 0, 5000);
    const QStringList problems = problemsShown(window);
    ASSERT_EQ(problems.size(), 3) << problems.join(u'\n').toStdString();
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("Riga 1: \"ca_a\" si può completare in due modi")));
    EXPECT_EQ(problems[2], QStringLiteral("Riga 3: \"pa_a\" manca la virgola tra la parola e la risposta."));

    // The line under the cursor, as the exercise window shows it.
    QTextCursor cursor(window->editor()->document()->findBlockByNumber(0));
    window->editor()->setTextCursor(cursor);
    EXPECT_EQ(window->previewText()->text(), QStringLiteral("ca_a"));
    EXPECT_EQ(window->firstChoice()->text(), QStringLiteral("s"));
    EXPECT_EQ(window->secondChoice()->text(), QStringLiteral("ss"));

    // A problem chosen puts the cursor on its line.
    QListWidget *list = window->problemList();
    list->scrollToItem(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
    EXPECT_EQ(window->editor()->textCursor().blockNumber(), 2);

    // Sentences bring their own choices; a gap against an apostrophe is shown apart.
    choose(window->exerciseList(), QStringLiteral("frasi"));
    window->editor()->selectAll();
    type(window->editor(), QStringLiteral("Luca _ un cane[a-ha]ha"));
    EXPECT_EQ(window->previewText()->text(), QStringLiteral("Luca _ un cane"));
    EXPECT_EQ(window->firstChoice()->text(), QStringLiteral("a"));
    EXPECT_EQ(window->countLabel()->text(), QStringLiteral("1 frase"));
    window->checkNow();
    EXPECT_EQ(window->problemList()->count(), 0) << problemsShown(window).join(u'\n').toStdString();
}

TEST_F(WordListsWindowTest, SavingWritesTheListAsTheReadersTakeItOrNothingAtAll)
{
    ASSERT_TRUE(openFromMenu());
    write(QStringLiteral("animali"), QStringLiteral("ca_a,ss\nro_a,s\npa_a"));
    click(form()->saveButton());
    const QString saved = userList(QStringLiteral("animali"));
    const QStringList lines = {QStringLiteral("ca_a,ss"), QStringLiteral("ro_a,s"), QStringLiteral("pa_a")};
    EXPECT_EQ(TestEnv::readFile(saved), ListFile::encodeList(lines).bytes);
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'\n').toStdString();
    EXPECT_TRUE(form()->statusLabel()->text().contains(QStringLiteral("Resta")))
        << "a list with problems is saved, and the problems left are told";
    EXPECT_EQ(form()->savedLists()->count(), 1);
    EXPECT_FALSE(form()->draft().modified());

    // A character the code page cannot hold: its message, and the file as it was.
    form()->editor()->moveCursor(QTextCursor::End);
    type(form()->editor(), QStringLiteral("\nő_,s"));
    click(form()->saveButton());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(
        dialogs.messages().first(), ListFile::encodeList(lines + QStringList{QStringLiteral("ő_,s")}).error);
    EXPECT_EQ(TestEnv::readFile(saved), ListFile::encodeList(lines).bytes);

    // Another list of that name is replaced only when the teacher says so.
    dialogs.answerQuestionsWithCancelBy(Dialogs::Answer::No);
    click(form()->newButton());
    type(form()->nameEdit(), QStringLiteral("animali"));
    type(form()->editor(), QStringLiteral("ca_o,ss"));
    dialogs.answerQuestionsWith(false);
    click(form()->saveButton());
    EXPECT_TRUE(dialogs.messages().last().startsWith(QStringLiteral("C'è già una lista «animali»")));
    EXPECT_EQ(TestEnv::readFile(saved), ListFile::encodeList(lines).bytes);

    // A new name moves the list; Elimina removes it after asking.
    form()->nameEdit()->clear();
    type(form()->nameEdit(), QStringLiteral("cose"));
    click(form()->saveButton());
    const QString moved = userList(QStringLiteral("cose"));
    EXPECT_EQ(TestEnv::readFile(moved), ListFile::encodeList({QStringLiteral("ca_o,ss")}).bytes);
    form()->nameEdit()->clear();
    type(form()->nameEdit(), QStringLiteral("oggetti"));
    click(form()->saveButton());
    EXPECT_FALSE(QFileInfo::exists(moved));
    EXPECT_TRUE(QFileInfo::exists(userList(QStringLiteral("oggetti"))));
    EXPECT_TRUE(QFileInfo::exists(saved));
    ASSERT_TRUE(form()->deleteButton()->isEnabled());
    click(form()->deleteButton());
    EXPECT_TRUE(QFileInfo::exists(userList(QStringLiteral("oggetti")))) << "No keeps it";
    dialogs.answerQuestionsWith(true);
    click(form()->deleteButton());
    EXPECT_FALSE(QFileInfo::exists(userList(QStringLiteral("oggetti"))));
    EXPECT_EQ(form()->savedLists()->count(), 1);
}

TEST_F(WordListsWindowTest, ASchoolListIsReadOnlyAndSavingItWritesTheUsersCopy)
{
    const QString folder = TeacherLists::schoolFolder() + QStringLiteral("doppie/s-ss");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString school = folder + QStringLiteral("/classe.txt");
    const QByteArray bytes = "ca_a,ss\r\nro_a,s\r\n";
    TestEnv::writeFile(school, bytes);
    const QDateTime changed = QFileInfo(school).lastModified();
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);

    ASSERT_TRUE(openFromMenu());
    choose(form()->topicList(), QStringLiteral("Doppie"));
    ASSERT_EQ(form()->savedLists()->count(), 1);
    EXPECT_EQ(form()->savedLists()->item(0)->text(), QStringLiteral("classe – s / ss (scuola)"));
    form()->savedLists()->setCurrentRow(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(form()->editor()->toPlainText(), QStringLiteral("ca_a,ss\nro_a,s"));
    EXPECT_FALSE(form()->deleteButton()->isEnabled());
    EXPECT_TRUE(form()->statusLabel()->text().contains(QStringLiteral("copia")));

    form()->editor()->moveCursor(QTextCursor::End);
    type(form()->editor(), QStringLiteral("\nto_e,ss"));
    click(form()->saveButton());
    EXPECT_EQ(TestEnv::readFile(school), bytes);
    EXPECT_EQ(QFileInfo(school).lastModified(), changed);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("classe.txt")});
    EXPECT_EQ(TestEnv::readFile(userList(QStringLiteral("classe"))), QByteArray(bytes + "to_e,ss\r\n"));
    EXPECT_TRUE(form()->statusLabel()->text().contains(QStringLiteral("copia")));
    EXPECT_EQ(form()->savedLists()->count(), 2) << "the copy beside the school's";
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST_F(WordListsWindowTest, AnExportedListImportedInAFreshHomeGivesTheSameItems)
{
    ASSERT_TRUE(openFromMenu());
    write(QStringLiteral("lettura"), QStringLiteral("ca_a,ss\n\"pa_o, lento\",ss\nco_ì,s"));
    click(form()->saveButton());
    const QByteArray saved = TestEnv::readFile(userList(QStringLiteral("lettura")));
    const QString exported
        = TestEnv::makeFolder(QStringLiteral("chiavetta")) + QStringLiteral("/lettura.txt");
    fileDialogs.answerFile(exported);
    click(form()->exportButton());
    ASSERT_EQ(fileDialogs.fileRequests().size(), 1);
    EXPECT_EQ(fileDialogs.fileRequests().first().initialName, QStringLiteral("lettura.txt"));
    EXPECT_EQ(TestEnv::readFile(exported), saved);

    // Another computer: none of the teacher's lists.
    click(form()->closeButton());
    ASSERT_TRUE(QDir(TeacherLists::userFolder()).removeRecursively());
    ASSERT_TRUE(openFromMenu());
    choose(form()->topicList(), QStringLiteral("Doppie"));
    choose(form()->exerciseList(), QStringLiteral("s / ss"));
    click(form()->importButton());
    EXPECT_EQ(form()->nameEdit()->text(), QStringLiteral("lettura"));
    EXPECT_TRUE(form()->draft().modified()) << "nothing is added until it is saved";
    EXPECT_FALSE(QFileInfo::exists(userList(QStringLiteral("lettura"))));
    click(form()->saveButton());
    const QStringList spellings = {QStringLiteral("s"), QStringLiteral("ss")};
    const QList<QStringList> items = itemsOf(saved, spellings);
    EXPECT_EQ(items.size(), 3);
    EXPECT_EQ(itemsOf(TestEnv::readFile(userList(QStringLiteral("lettura"))), spellings), items);

    // The same list from an editor that saves UTF-8 gives the same items too.
    const QString utf8 = TestEnv::makeFolder(QStringLiteral("editor")) + QStringLiteral("/altra.txt");
    TestEnv::writeFile(utf8, QStringLiteral("ca_a,ss\n\"pa_o, lento\",ss\nco_ì,s\n").toUtf8());
    fileDialogs.answerFile(utf8);
    click(form()->importButton());
    EXPECT_EQ(
        form()->draft().lines(), ListEditing::linesOf(QStringLiteral("ca_a,ss\n\"pa_o, lento\",ss\nco_ì,s")));
    EXPECT_EQ(itemsOf(ListFile::encodeList(form()->draft().lines()).bytes, spellings), items);
}

TEST_F(WordListsWindowTest, NothingTypedIsLeftWithoutAskingWhetherToSaveIt)
{
    ASSERT_TRUE(openFromMenu());
    write(QStringLiteral("animali"), QStringLiteral("ca_a,ss"));

    // Annulla: the topic and the text stay.
    dialogs.answerQuestionsWithCancelBy(Dialogs::Answer::Cancel);
    choose(form()->topicList(), QStringLiteral("Uso h"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages().first(),
        QStringLiteral("La lista «animali» ha delle modifiche non salvate. Vuoi salvarla?"));
    EXPECT_EQ(form()->topicList()->currentText(), QStringLiteral("Doppie"));
    EXPECT_EQ(form()->editor()->toPlainText(), QStringLiteral("ca_a,ss"));
    click(form()->closeButton());
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormListe"));
    QTest::keyClick(form()->editor(), Qt::Key_Escape);
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormListe"));
    EXPECT_EQ(dialogs.messages().size(), 3);

    // Sì without a name: told what the name lacks, and nothing is left.
    form()->nameEdit()->clear();
    dialogs.answerQuestionsWithCancelBy(Dialogs::Answer::Yes);
    click(form()->closeButton());
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormListe"));
    EXPECT_EQ(dialogs.messages().last(), TeacherLists::whyNotAListName(QString()));

    // The program ending saves when the teacher says so.
    type(form()->nameEdit(), QStringLiteral("fine"));
    dialogs.answerQuestionsWith(true);
    Q_EMIT host.programEnding();
    EXPECT_TRUE(QFileInfo::exists(userList(QStringLiteral("fine"))));

    // Sì saves and goes on; No goes on and drops the changes.
    form()->editor()->moveCursor(QTextCursor::End);
    type(form()->editor(), QStringLiteral("\nro_a,s"));
    choose(form()->topicList(), QStringLiteral("Uso h"));
    EXPECT_EQ(TestEnv::readFile(userList(QStringLiteral("fine"))), QByteArray("ca_a,ss\r\nro_a,s\r\n"));
    EXPECT_EQ(form()->topicList()->currentText(), QStringLiteral("Uso h"));
    type(form()->editor(), QStringLiteral("_o,o"));
    dialogs.answerQuestionsWithCancelBy(Dialogs::Answer::No);
    click(form()->closeButton());
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenu"));
}

TEST_F(WordListsWindowTest, ProvaPlaysTheListAsThePupilWillAndComesBackToIt)
{
    Random::setSource([] { return 0.0; });
    ASSERT_TRUE(openFromMenu());
    write(QStringLiteral("animali"), QStringLiteral("ca_a,ss\nro_a,s"));
    dialogs.answerQuestionsWithCancelBy(Dialogs::Answer::Yes);
    click(form()->tryButton());
    EXPECT_TRUE(QFileInfo::exists(userList(QStringLiteral("animali")))) << "saved first";

    auto *exercise = qobject_cast<ExerciseWindow *>(host.currentForm());
    ASSERT_TRUE(exercise);
    EXPECT_EQ(exercise->kind(), ExerciseWindow::Kind::Words);
    EXPECT_EQ(exercise->wordLabel()->text(), QStringLiteral("ca_a"));
    EXPECT_EQ(exercise->answerButton(0)->text(), QStringLiteral("s"));
    EXPECT_EQ(exercise->answerButton(1)->text(), QStringLiteral("ss"));
    click(exercise->answerButton(1));
    EXPECT_TRUE(exercise->solved());
    EXPECT_FALSE(ActivityRecord::hasUnsavedItems()) << "the teacher's answers are no pupil's work";

    dialogs.answerQuestionsWith(true);
    exercise->exitAction()->trigger();
    ASSERT_TRUE(form());
    EXPECT_EQ(form()->topicList()->currentText(), QStringLiteral("Doppie"));
    EXPECT_EQ(form()->nameEdit()->text(), QStringLiteral("animali"));
    EXPECT_EQ(form()->editor()->toPlainText(), QStringLiteral("ca_a,ss\nro_a,s"));
    EXPECT_TRUE(appState().TriedListPath.isEmpty());

    // The pupil's way is as before: from a topic menu, back to it.
    host.showForm(QStringLiteral("FormMenuDoppie"));
    EXPECT_EQ(ExerciseWindow::menuToReturnTo(), QStringLiteral("FormMenuDoppie"));
}

} // namespace
