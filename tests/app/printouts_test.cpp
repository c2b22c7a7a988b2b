#include "fakes.h"
#include "testenv.h"

#include "app/formesercizieseguiti.h"
#include "app/formstampa.h"
#include "app/program.h"
#include "app/startup.h"
#include "exercises/exercisewindow.h"
#include "layout/formhost.h"
#include "records/activityrecord.h"
#include "records/history.h"
#include "records/printing.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString withoutBlanks(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// What is printed inside the printable area of each page, without the
// blanks and line breaks that wrapping moves.
QString printedLetters(const QString &pdf, const QRectF &area)
{
    return withoutBlanks(TestEnv::printedText(pdf, area));
}

class PrintoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerForms(host);
        host.resize(1024, 768);
        host.show();
        AppState &state = appState();
        state.UserName = QStringLiteral("_predefinito");
        state.TopicMarker = QStringLiteral("h");
        state.ChoiceA = QStringLiteral("a");
        state.ChoiceB = QStringLiteral("ha");
        // No printer, unless a test installs one.
        Printing::setPrinterSource([] { return std::unique_ptr<QPrinter>(); });
    }

    void TearDown() override { Printing::setPrinterSource({}); }

    ExerciseWindow *openExercise(const QByteArray &list)
    {
        const QString path = TestEnv::home() + QStringLiteral("/list.txt");
        TestEnv::writeFile(path, list);
        appState().WordListPath = path;
        return static_cast<ExerciseWindow *>(
            host.showForm(ExerciseWindow::formNameFor(ExerciseWindow::Kind::Words)));
    }

    static QString userFolder() { return SettingsFolders::dataFolder() + QStringLiteral("_predefinito/"); }

    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    RecordedDialogs dialogs;
    RecordedSounds sounds;
    ScriptedCommonDialogs fileDialogs;
    FormHost host;
};

TEST_F(PrintoutTest, TheWorksheetCoversTheExerciseWhichStartsANewItemWhenItCloses)
{
    ExerciseWindow *exercise = openExercise("x_,a\r\ny_,ha\r\n");
    const int recorded = appState().CaptionTrailCount;

    exercise->printAction()->trigger();
    auto *sheet = qobject_cast<FormStampa *>(host.formOnTop());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->formName(), QStringLiteral("formStampa"));
    EXPECT_FALSE(exercise->isVisible());
    EXPECT_TRUE(sheet->sheet()->toPlainText().contains(QStringLiteral("INSERISCI   A      HA")));
    EXPECT_TRUE(sheet->sheet()->toPlainText().contains(QStringLiteral("      x_      y_")));

    click(sheet->exitButton());
    EXPECT_EQ(host.formOnTop(), nullptr);
    EXPECT_EQ(host.currentForm(), exercise);
    EXPECT_TRUE(exercise->isVisible());
    EXPECT_EQ(appState().CaptionTrailCount, recorded + 1) << "a new item is shown and recorded";

    // Kept, not made again.
    exercise->printAction()->trigger();
    EXPECT_EQ(host.formOnTop(), sheet);
}

TEST_F(PrintoutTest, TheWorksheetOfMissedWordsHoldsThePupilsWordsStillToPractise)
{
    ASSERT_TRUE(History::instance().open(
        TestEnv::makeFolder(QStringLiteral("dati")) + QStringLiteral("/storia.sqlite")));
    Random::setSource([] { return 0.0; });
    ExerciseWindow *exercise = openExercise("x_,a\r\ny_,ha\r\nz_,a\r\n");
    click(exercise->answerButton(1));
    click(exercise->answerButton(0));

    exercise->printAction()->trigger();
    auto *sheet = qobject_cast<FormStampa *>(host.formOnTop());
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->sheet()->toPlainText().contains(QStringLiteral("      x_      y_      z_")));
    sheet->missedWordsBox()->setChecked(true);
    const QString missed = sheet->sheet()->toPlainText();
    EXPECT_TRUE(missed.contains(QStringLiteral("INSERISCI   A      HA")));
    EXPECT_TRUE(missed.contains(QStringLiteral("      x_\n")));
    EXPECT_FALSE(missed.contains(QStringLiteral("y_")));
    Random::setSource({});
    History::instance().close();
}

TEST_F(PrintoutTest, WithNoPrinterTheWorksheetCanBeSavedAsPdfInTheUsersFolder)
{
    openExercise("x_,a\r\n")->printAction()->trigger();
    auto *sheet = qobject_cast<FormStampa *>(host.formOnTop());
    ASSERT_TRUE(sheet);

    // The screen font changes; the printout's does not.
    CommonDialogs::FontChoice serif;
    serif.family = QStringLiteral("Liberation Serif");
    serif.tenthsOfPoint = 200;
    fileDialogs.answerFont(serif);
    click(sheet->fontButton());
    EXPECT_EQ(sheet->sheet()->font().family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(sheet->sheet()->font().pointSize(), 20);

    dialogs.answerQuestionsWith(false);
    click(sheet->printButton());
    EXPECT_EQ(dialogs.messages(),
        QStringList(QStringLiteral("Non c'è nessuna stampante disponibile.\r\n"
                                   "Vuoi salvare la scheda come file PDF nella tua cartella dei dati?")));
    EXPECT_TRUE(fileDialogs.fileRequests().isEmpty());

    dialogs.answerQuestionsWith(true);
    const QString pdf = userFolder() + QStringLiteral("scheda.pdf");
    fileDialogs.answerFile(pdf);
    click(sheet->printButton());
    ASSERT_EQ(fileDialogs.fileRequests().size(), 1);
    EXPECT_EQ(fileDialogs.fileRequests().first().initialFolder, userFolder());
    EXPECT_EQ(fileDialogs.fileRequests().first().defaultExtension, QStringLiteral("pdf"));
    ASSERT_TRUE(QFileInfo::exists(pdf));
    const QString printed
        = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
              .simplified();
    EXPECT_TRUE(printed.contains(QStringLiteral("INSERISCI A HA x_"))) << printed.toStdString();
    EXPECT_FALSE(run(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("LiberationSerif")));
    EXPECT_EQ(dialogs.messages().size(), 2) << "saved: nothing more to say";
}

TEST_F(PrintoutTest, TheRecordShowsThisRunAndIsSavedAsRtfInTheUsersFolder)
{
    ActivityRecord::addCaption(QStringLiteral("Uso  h"));
    ActivityRecord::addItem(QStringLiteral("_o fame"));
    auto *record
        = qobject_cast<FormEserciziEseguiti *>(host.showForm(QStringLiteral("FormEserciziEseguiti")));
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->document()->toPlainText().startsWith(QStringLiteral("_predefinito\n\nVelmora - ")));
    EXPECT_TRUE(record->document()->toPlainText().endsWith(QStringLiteral("\n\nUso  h\n_o fame - ")));

    click(record->saveButton());
    EXPECT_EQ(dialogs.messages(), QStringList(QStringLiteral("Si è verificato un errore!"))) << "cancelled";
    EXPECT_TRUE(ActivityRecord::hasUnsavedItems());
    ASSERT_EQ(fileDialogs.fileRequests().size(), 1);
    const CommonDialogs::FileRequest request = fileDialogs.fileRequests().first();
    EXPECT_EQ(request.mode, CommonDialogs::FileMode::Save);
    EXPECT_EQ(request.title, QStringLiteral("Salva"));
    EXPECT_EQ(request.initialFolder, userFolder());
    EXPECT_TRUE(QFileInfo(userFolder()).isDir()) << "made on first use";
    EXPECT_EQ(request.filters.first().pattern, QStringLiteral("*.rtf"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("rtf"));
    EXPECT_TRUE(QDir(userFolder()).isEmpty());

    fileDialogs.answerFile(userFolder() + QStringLiteral("marzo.rtf"));
    click(record->saveButton());
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(TestEnv::readFile(userFolder() + QStringLiteral("marzo.rtf")).contains("\\ulnone Uso  h"));
    EXPECT_FALSE(ActivityRecord::hasUnsavedItems()) << "saved by hand";

    fileDialogs.answerFile(userFolder() + QStringLiteral("sparita/marzo.rtf"));
    click(record->saveButton());
    EXPECT_EQ(dialogs.messages().size(), 2) << "a file that cannot be written is an error too";

    dialogs.answerQuestionsWith(false);
    click(record->printButton());
    EXPECT_EQ(dialogs.messages().last(),
        QStringLiteral("Non c'è nessuna stampante disponibile.\r\n"
                       "Vuoi salvare il documento come file PDF nella tua cartella dei dati?"));

    record->exitAction()->trigger();
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenu"));
}

TEST_F(PrintoutTest, TheRecordPrintsOnTheDefaultPrinter)
{
    const QString pdf = TestEnv::makeFolder(QStringLiteral("printer")) + QStringLiteral("/out.pdf");
    Printing::setPrinterSource([pdf] { return Printing::pdfPrinter(pdf); });
    ActivityRecord::addCaption(QStringLiteral("Doppie"));
    auto *record
        = qobject_cast<FormEserciziEseguiti *>(host.showForm(QStringLiteral("FormEserciziEseguiti")));
    ASSERT_TRUE(record);
    click(record->printButton());
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(
        run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).contains(QStringLiteral("Doppie")));
}

TEST_F(PrintoutTest, EveryCharacterOfTheWorksheetAndTheRecordIsPrintedAndNoItemIsSplit)
{
    const QString pdf = TestEnv::makeFolder(QStringLiteral("printer")) + QStringLiteral("/out.pdf");
    Printing::setPrinterSource([pdf] { return Printing::pdfPrinter(pdf); });
    const QRectF printable = Printing::pdfPrinter(pdf)->pageLayout().paintRect(QPageLayout::Point);
    openExercise("x_,a\r\n")->printAction()->trigger();
    auto *sheet = qobject_cast<FormStampa *>(host.formOnTop());
    ASSERT_TRUE(sheet);

    const QString sentence
        = QStringLiteral("      MARIA RACCOGLIE LE FOGLIE ROSSE E GIALLE PER LA MAESTRA CHE _ "
                         "PREPARATO UN CARTELLONE GRANDE PER TUTTA LA CLASSE");
    const QStringList items = {QStringLiteral("il gatto _ fame"), QStringLiteral("la nonna _ gli occhiali"),
        QStringLiteral("il cane _ la coda lunga"), QStringLiteral("torno _ casa"),
        QStringLiteral("il papà _ una macchina rossa")};
    QString row;
    for (const QString &item : items)
        row += QStringLiteral("      ") + item;
    QString word;
    for (int i = 0; word.size() < 20000; ++i)
        word += QStringLiteral("PAROLA%1à").arg(i);
    const QString text = QStringLiteral("       INSERISCI   A      HA\n\n") + sentence
        + QStringLiteral("\n\n") + row + QStringLiteral("\n\n      ") + word + QStringLiteral("\n");
    sheet->sheet()->setPlainText(text);
    click(sheet->printButton());
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'\n').toStdString();
    EXPECT_EQ(printedLetters(pdf, printable), withoutBlanks(text));
    const QStringList lines = TestEnv::printedText(pdf).split(u'\n');
    for (const QString &item : items)
        EXPECT_FALSE(lines.filter(item).isEmpty()) << item.toStdString();

    // In the cursive, wider than the print font. Its small letters, and its
    // accents, join through shapes a PDF reader cannot map back to letters:
    // the plain capitals and figures can be read back.
    ASSERT_GE(
        QFontDatabase::addApplicationFont(TestEnv::buildAppFolder() + QStringLiteral("/indis1.ttf")), 0);
    QFont cursive(QStringLiteral("Indis1"));
    cursive.setPointSize(14);
    const QString cursiveText = sentence + QStringLiteral("\r\n") + row.toUpper().replace(u'À', u'A')
        + QStringLiteral("\r\n") + QString(2000, u'8');
    {
        const std::unique_ptr<QPrinter> printer = Printing::pdfPrinter(pdf);
        ASSERT_TRUE(Printing::printText(*printer, cursiveText, cursive));
    }
    EXPECT_TRUE(TestEnv::printedText(pdf).contains(QStringLiteral("MARIA RACCOGLIE")));
    EXPECT_EQ(printedLetters(pdf, printable), withoutBlanks(cursiveText));

    // The record's document, in its own fonts inside margins of an inch.
    QString longWord;
    for (int i = 0; longWord.size() < 3000; ++i)
        longWord += QStringLiteral("PAROLA%1").arg(i);
    ActivityRecord::addCaption(QStringLiteral("Doppie"));
    ActivityRecord::addItem(longWord);
    auto *record
        = qobject_cast<FormEserciziEseguiti *>(host.showForm(QStringLiteral("FormEserciziEseguiti")));
    ASSERT_TRUE(record);
    click(record->printButton());
    const QRectF page = Printing::pdfPrinter(pdf)->pageLayout().fullRect(QPageLayout::Point);
    EXPECT_EQ(printedLetters(pdf, page.adjusted(72, 72, -72, -72)),
        withoutBlanks(record->document()->toPlainText()));
}

TEST_F(PrintoutTest, APdfThatCannotBeWrittenWholeLeavesTheOldFileAndSaysWhy)
{
    openExercise("x_,a\r\n")->printAction()->trigger();
    auto *sheet = qobject_cast<FormStampa *>(host.formOnTop());
    ASSERT_TRUE(sheet);
    dialogs.answerQuestionsWith(true);
    const QString pdf = userFolder() + QStringLiteral("scheda.pdf");
    QDir().mkpath(userFolder());
    TestEnv::writeFile(pdf, "vecchio");
    fileDialogs.answerFile(pdf);

    {
        const TestEnv::FileSizeLimit limit(512);
        ASSERT_TRUE(limit.inForce());
        click(sheet->printButton());
    }

    EXPECT_EQ(dialogs.messages().value(1),
        QStringLiteral("Non ho potuto salvare il file %1: il file supera la dimensione massima consentita.")
            .arg(pdf));
    EXPECT_EQ(TestEnv::readFile(pdf), QByteArray("vecchio"));
    EXPECT_EQ(
        QDir(userFolder()).entryList(QDir::Files | QDir::Hidden), QStringList(QStringLiteral("scheda.pdf")));
}

} // namespace
