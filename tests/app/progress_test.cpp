#include "fakes.h"
#include "testenv.h"

#include "app/formmenu.h"
#include "app/formprogressi.h"
#include "app/program.h"
#include "app/progressreport.h"
#include "app/startup.h"
#include "layout/formhost.h"
#include "records/history.h"
#include "records/printing.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

Progress::Day day(const QDate &date, const QString &topic, int right, int answers)
{
    return {date, topic, QStringLiteral("lista.txt"), right, answers};
}

QList<QStringList> shownRows(const QTableWidget *table)
{
    QList<QStringList> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells << (table->item(row, column) ? table->item(row, column)->text() : QString());
        rows << cells;
    }
    return rows;
}

// Caption → (day, share) of each line of the chart shown.
QMap<QString, QList<QPair<QDate, double>>> shownLines(const QChartView *view)
{
    QMap<QString, QList<QPair<QDate, double>>> lines;
    for (QAbstractSeries *series : view->chart()->series()) {
        auto *line = qobject_cast<QLineSeries *>(series);
        for (const QPointF &point : line->points())
            lines[line->name()] << qMakePair(
                QDateTime::fromMSecsSinceEpoch(qint64(point.x())).date(), point.y());
    }
    return lines;
}

TEST(ProgressReportTest, TopicsBecomeLinesOfRightSharesByDayOrByWeekWhenTheSpanIsLong)
{
    const QDate monday(2024, 3, 4);
    Progress progress;
    progress.days = {day(monday, QStringLiteral("h"), 3, 4), day(monday, QStringLiteral("doppie"), 1, 4),
        day(monday.addDays(2), QStringLiteral("doppie"), 2, 2),
        day(monday.addDays(2), QStringLiteral("doppie"), 0, 2),
        day(monday.addDays(9), QStringLiteral("vecchio"), 1, 1)};

    const ProgressReport::Chart daily
        = ProgressReport::chartOf(progress, monday.addDays(-20), monday.addDays(10));
    EXPECT_FALSE(daily.weekly);
    ASSERT_EQ(daily.series.size(), 3);
    // In the order of the main menu, captions without their padding; an unknown topic last.
    EXPECT_EQ(daily.series[0].caption, QStringLiteral("Doppie"));
    EXPECT_EQ(daily.series[1].caption, QStringLiteral("Uso h"));
    EXPECT_EQ(daily.series[2].caption, QStringLiteral("vecchio"));
    EXPECT_NE(daily.series[0].colourIndex, daily.series[1].colourIndex);
    ASSERT_EQ(daily.series[0].points.size(), 2);
    EXPECT_EQ(daily.series[0].points[0].percent(), 25.0);
    EXPECT_EQ(daily.series[0].points[1].start, monday.addDays(2));
    EXPECT_EQ(daily.series[0].points[1].percent(), 50.0) << "two lists of one day are one point";
    EXPECT_EQ(daily.first, monday);
    EXPECT_EQ(daily.last, monday.addDays(9));

    // The whole history, over months: weeks, each starting on its Monday.
    const ProgressReport::Chart weekly = ProgressReport::chartOf(progress, QDate(), monday.addDays(60));
    EXPECT_TRUE(weekly.weekly);
    ASSERT_EQ(weekly.series[0].points.size(), 1);
    EXPECT_EQ(weekly.series[0].points[0].start, monday);
    EXPECT_EQ(weekly.series[0].points[0].right, 3);
    EXPECT_EQ(weekly.series[0].points[0].answers, 8);
    EXPECT_EQ(weekly.series[2].points[0].start, monday.addDays(7));

    EXPECT_TRUE(ProgressReport::chartOf(Progress(), QDate(), monday).series.isEmpty());
}

TEST(ProgressReportTest, MissedWordsSessionsAndSwitchChecksBecomeRows)
{
    Progress progress;
    for (int i = 0; i < 12; ++i)
        progress.mostMissed << Progress::MissedWord{QStringLiteral("parola%1").arg(i), 12 - i};
    progress.sessions = {{QDateTime(QDate(2024, 3, 4), QTime(9, 5)), 20, 3, 1, 754'000},
        {QDateTime(QDate(2024, 3, 5), QTime(10, 0)), 10, 0, 2, 3'780'000}};
    progress.answers = 30;
    progress.right = 24;
    progress.spellingErrors = 3;
    progress.timingMisses = 3;
    progress.spentMs = 4'534'000;

    const QList<QStringList> missed = ProgressReport::missedWordRows(progress);
    ASSERT_EQ(missed.size(), 10);
    EXPECT_EQ(missed.first(), (QStringList{QStringLiteral("parola0"), QStringLiteral("12")}));

    EXPECT_EQ(ProgressReport::sessionRows(progress),
        (QList<QStringList>{{"04/03/2024 09:05", "20", "3", "1", "12 min 34 s"},
            {"05/03/2024 10:00", "10", "0", "2", "1 h 03 min"}, {"Totale", "30", "3", "3", "1 h 15 min"}}));
    EXPECT_EQ(ProgressReport::summary(progress), QStringLiteral("Risposte giuste: 24 su 30 (80%)"));
    EXPECT_EQ(ProgressReport::sessionRows(Progress()),
        (QList<QStringList>{{"Totale", "0", "0", "0", "0 min 00 s"}}));

    SwitchCheckRecord check;
    check.checkedAt = QDateTime(QDate(2024, 3, 4), QTime(9, 5));
    check.trials = 18;
    check.hits = 12;
    check.delayP90Ms = 1085;
    check.bounces = 2;
    check.noTargetPresses = 3;
    check.scanInterval = 6;
    check.acceptanceTime = 100;
    check.releaseTime = 200;
    SwitchCheckRecord later = check;
    later.checkedAt = later.checkedAt.addDays(7);
    later.delayP90Ms = -1;
    progress.switchChecks = {check, later};
    EXPECT_EQ(ProgressReport::switchCheckRows(progress),
        (QList<QStringList>{{"11/03/2024 09:05", "12/18", "–", "2", "3", "1,50 s", "0,10 s", "0,20 s"},
            {"04/03/2024 09:05", "12/18", "1,09 s", "2", "3", "1,50 s", "0,10 s", "0,20 s"}}))
        << "newest first";
}

class ProgressWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerForms(host);
        host.resize(1024, 768);
        host.show();
        appState().UserName = QStringLiteral("_predefinito");
        Printing::setPrinterSource([] { return std::unique_ptr<QPrinter>(); });
    }

    void TearDown() override
    {
        History::instance().close();
        Printing::setPrinterSource({});
    }

    static void openHistory()
    {
        ASSERT_TRUE(History::instance().open(
            TestEnv::makeFolder(QStringLiteral("h")) + QStringLiteral("/storia.sqlite")));
    }

    static void record(const QString &pupil, const QString &topic, const QString &word, bool right)
    {
        Answer answer;
        answer.pupil = pupil;
        answer.answeredAt = QDateTime::currentDateTime();
        answer.topic = topic;
        answer.list = QStringLiteral("lista.txt");
        answer.item = word;
        answer.word = word;
        answer.choices = QStringList{word, word + QStringLiteral("x")};
        answer.chosen = right ? word : word + QStringLiteral("x");
        answer.right = right;
        answer.responseMs = 2000;
        ASSERT_TRUE(History::instance().record(answer));
    }

    FormProgressi *openFromMenu()
    {
        auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
        menu->progressAction()->trigger();
        return qobject_cast<FormProgressi *>(host.currentForm());
    }

    template<typename Control> Control *find(const char *name)
    {
        return host.currentForm()->findChild<Control *>(QLatin1String(name));
    }

    static void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    RecordedDialogs dialogs;
    ScriptedCommonDialogs fileDialogs;
    FormHost host;
};

TEST_F(ProgressWindowTest, TheMenuOpensThePupilsProgressAndChiudiOrEscReturns)
{
    openHistory();
    record(QStringLiteral("_predefinito"), QStringLiteral("h"), QStringLiteral("hanno"), true);
    record(QStringLiteral("_predefinito"), QStringLiteral("h"), QStringLiteral("hanno"), false);
    record(QStringLiteral("_predefinito"), QStringLiteral("doppie"), QStringLiteral("palla"), true);
    record(QStringLiteral("Luca"), QStringLiteral("cq"), QStringLiteral("quadro"), false);

    FormProgressi *form = openFromMenu();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->objectName(), QStringLiteral("FormProgressi"));
    EXPECT_EQ(find<QLabel>("lblAlunno")->text(), QStringLiteral("Progressi di Utente predefinito"));
    auto *periods = find<QComboBox>("cmbPeriodo");
    ASSERT_EQ(periods->count(), 4);
    EXPECT_EQ(periods->itemText(0), QStringLiteral("Ultima settimana"));
    EXPECT_EQ(periods->itemText(3), QStringLiteral("Tutto"));
    EXPECT_EQ(periods->currentText(), QStringLiteral("Ultimo mese"));

    const QDate today = QDate::currentDate();
    const auto lines = shownLines(find<QChartView>("chartProgressi"));
    EXPECT_EQ(lines.value(QStringLiteral("Uso h")), (QList<QPair<QDate, double>>{{today, 50.0}}));
    EXPECT_EQ(lines.value(QStringLiteral("Doppie")), (QList<QPair<QDate, double>>{{today, 100.0}}));
    EXPECT_EQ(lines.size(), 2) << "Luca's answers are not this pupil's";
    EXPECT_EQ(shownRows(find<QTableWidget>("lstParoleSbagliate")),
        (QList<QStringList>{{QStringLiteral("hanno"), QStringLiteral("1")}}));
    const QList<QStringList> sessions = shownRows(find<QTableWidget>("tblSessioni"));
    ASSERT_GE(sessions.size(), 2);
    EXPECT_EQ(sessions.last().mid(0, 4), (QStringList{"Totale", "3", "1", "0"}));
    EXPECT_TRUE(sessions.first().first().startsWith(today.toString(QStringLiteral("dd/MM/yyyy"))));
    EXPECT_TRUE(find<QPushButton>("cmdCancella")->isEnabled());

    click(find<QPushButton>("cmdChiudi"));
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenu"));

    // Another pupil chosen on the menu; Esc closes as Chiudi does.
    appState().UserName = QStringLiteral("Luca");
    form = openFromMenu();
    ASSERT_TRUE(form);
    EXPECT_EQ(find<QLabel>("lblAlunno")->text(), QStringLiteral("Progressi di Luca"));
    EXPECT_EQ(shownLines(find<QChartView>("chartProgressi")).keys(), QStringList{QStringLiteral("c q")});
    QTest::keyClick(find<QTableWidget>("tblSessioni"), Qt::Key_Escape);
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenu"));
}

TEST_F(ProgressWindowTest, DeletingThePupilsHistoryAsksFirstThenShowsTheEmptyView)
{
    openHistory();
    record(QStringLiteral("_predefinito"), QStringLiteral("h"), QStringLiteral("hanno"), false);
    record(QStringLiteral("Luca"), QStringLiteral("h"), QStringLiteral("ha"), false);
    ASSERT_TRUE(openFromMenu());
    auto *sessions = find<QTableWidget>("tblSessioni");

    dialogs.answerQuestionsWith(false);
    click(find<QPushButton>("cmdCancella"));
    EXPECT_EQ(dialogs.messages(),
        QStringList(QStringLiteral("Vuoi cancellare tutta la storia delle risposte di Utente predefinito?\r\n"
                                   "Non si potrà più recuperare.")));
    EXPECT_EQ(History::instance().answers(QStringLiteral("_predefinito")).size(), 1);
    EXPECT_EQ(sessions->rowCount(), 2);

    dialogs.answerQuestionsWith(true);
    click(find<QPushButton>("cmdCancella"));
    EXPECT_TRUE(History::instance().answers(QStringLiteral("_predefinito")).isEmpty());
    EXPECT_EQ(History::instance().answers(QStringLiteral("Luca")).size(), 1) << "other pupils keep theirs";
    EXPECT_EQ(shownRows(sessions), (QList<QStringList>{{"Totale", "0", "0", "0", "0 min 00 s"}}));
    EXPECT_TRUE(find<QChartView>("chartProgressi")->chart()->series().isEmpty());
    EXPECT_EQ(find<QTableWidget>("lstParoleSbagliate")->rowCount(), 0);
    EXPECT_EQ(dialogs.messages().size(), 2);
}

TEST_F(ProgressWindowTest, WithTheHistoryOffTheWindowSaysSoAndOffersNothingThatNeedsIt)
{
    ASSERT_TRUE(openFromMenu());
    auto *notice = find<QLabel>("lblAvviso");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->text().startsWith(QStringLiteral("La storia delle risposte non è disponibile.")));
    for (const char *name : {"cmdStampa", "cmdEsporta", "cmdCancella"})
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(find<QPushButton>("cmdChiudi")->isEnabled());
}

TEST_F(ProgressWindowTest, ExportWritesTheHistoryAsCsvAndAnUnwritableTargetIsReported)
{
    openHistory();
    record(QStringLiteral("_predefinito"), QStringLiteral("h"), QStringLiteral("hanno"), true);
    ASSERT_TRUE(openFromMenu());
    const QString folder = SettingsFolders::dataFolder() + QStringLiteral("_predefinito/");
    const QString csv = folder + QStringLiteral("progressi.csv");
    fileDialogs.answerFile(csv);
    click(find<QPushButton>("cmdEsporta"));
    ASSERT_EQ(fileDialogs.fileRequests().size(), 1);
    EXPECT_EQ(
        fileDialogs.fileRequests().first().initialName, QStringLiteral("progressi-utente-predefinito.csv"));
    EXPECT_EQ(fileDialogs.fileRequests().first().initialFolder, folder);
    const QByteArray written = TestEnv::readFile(csv);
    EXPECT_EQ(written,
        History::instance().csv(
            QStringLiteral("_predefinito"), periodStart(Period::LastMonth, QDateTime::currentDateTime())));
    EXPECT_TRUE(written.contains("hanno"));
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // A folder that is not there: said, and the history and the old file are untouched.
    const QString nowhere = TestEnv::home() + QStringLiteral("/manca/progressi.csv");
    fileDialogs.answerFile(nowhere);
    click(find<QPushButton>("cmdEsporta"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().startsWith(QStringLiteral("Non ho potuto salvare il file ")))
        << dialogs.messages().first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(TestEnv::readFile(csv), written);
    EXPECT_EQ(History::instance().answers(QStringLiteral("_predefinito")).size(), 1);
}

TEST_F(ProgressWindowTest, PrintingWithoutAPrinterSavesTheChartAndTablesAsPdf)
{
    openHistory();
    record(QStringLiteral("_predefinito"), QStringLiteral("h"), QStringLiteral("hanno"), false);
    SwitchCheckRecord check;
    check.pupil = QStringLiteral("_predefinito");
    check.scanInterval = 6;
    ASSERT_TRUE(History::instance().recordSwitchCheck(check));
    ASSERT_TRUE(openFromMenu());
    EXPECT_EQ(find<QTableWidget>("tblProveSensore")->rowCount(), 1);
    dialogs.answerQuestionsWith(true);
    const QString pdf = SettingsFolders::dataFolder() + QStringLiteral("_predefinito/progressi.pdf");
    fileDialogs.answerFile(pdf);
    click(find<QPushButton>("cmdStampa"));
    ASSERT_TRUE(QFileInfo::exists(pdf)) << dialogs.messages().join(QLatin1Char('\n')).toStdString();
    const QString printed = TestEnv::printedText(pdf).simplified();
    for (const QString &text : {QStringLiteral("Progressi di Utente predefinito"), QStringLiteral("hanno 1"),
             QStringLiteral("Errori di tempo"), QStringLiteral("Totale 1 1 0"),
             QStringLiteral("Prove del sensore"), QStringLiteral("1,50 s")})
        EXPECT_TRUE(printed.contains(text)) << text.toStdString() << " in " << printed.toStdString();
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    images.waitForFinished(10000);
    EXPECT_GE(QString::fromUtf8(images.readAllStandardOutput()).count(QStringLiteral("image")), 1)
        << "the chart is printed as a picture";
}

} // namespace
