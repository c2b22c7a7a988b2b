#include "fakes.h"
#include "testenv.h"

#include "app/catalogue.h"
#include "app/documents.h"
#include "app/formavvio.h"
#include "app/forminfo.h"
#include "app/formmenu.h"
#include "app/program.h"
#include "app/startup.h"
#include "app/topicmenu.h"
#include "exercises/exercisewindow.h"
#include "exercises/wordstore.h"
#include "feedback/agent.h"
#include "layout/formhost.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A program folder whose every catalogue file holds one small, valid item.
QString programFolderWithEveryList()
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("program"));
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
        for (const Catalogue::Button &button : menu.buttons) {
            if (button.file.isEmpty())
                continue;
            const QString path = folder + u'/' + button.file;
            QDir().mkpath(QFileInfo(path).absolutePath());
            QByteArray content;
            switch (button.opens) {
            case Catalogue::Opens::Sentence:
                content = "Luca _ un cane[a-ha]ha\r\n";
                break;
            case Catalogue::Opens::ThreeChoice:
                content = "_ casa,la\r\n";
                break;
            case Catalogue::Opens::FiveChoice:
                content = "ba_,gno\r\n";
                break;
            default:
                content = "x_," + button.choiceA.toUtf8() + "\r\n";
            }
            TestEnv::writeFile(path, content);
        }
        // Files that only a review reads.
        for (const Catalogue::ReviewFile &review : menu.review) {
            const QString path = folder + u'/' + review.file;
            if (!QFileInfo::exists(path))
                TestEnv::writeFile(path, "x_," + review.first.toUtf8() + "\r\n");
        }
    }
    // The pictures and characters the windows draw, and the sounds they play.
    for (const char *sub : {"/images/", "/characters/", "/suoni/"}) {
        QDir().mkpath(folder + QLatin1String(sub));
        const QString shipped = TestEnv::buildAppFolder() + sub;
        for (const QString &file : QDir(shipped).entryList(QDir::Files))
            QFile::copy(shipped + file, folder + QLatin1String(sub) + file);
    }
    return folder;
}

class RoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerForms(host);
        host.resize(1024, 768);
        host.show();
        appState().ApplicationFolder = programFolderWithEveryList();
        appState().UserName = QStringLiteral("_predefinito");
        for (const QString &folder : SettingsFolders::all())
            QDir().mkpath(folder);
        appState().ProfilePath = ProfileFiles::pathFor(appState().UserName);
    }

    template<typename FormType> FormType *current()
    {
        auto *form = qobject_cast<FormType *>(host.currentForm());
        EXPECT_TRUE(form) << host.currentForm()->formName().toStdString();
        return form;
    }

    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    void openReview(const QString &menuName)
    {
        auto *topic = static_cast<TopicMenuForm *>(host.showForm(menuName));
        const QList<Catalogue::Button> &buttons = topic->menu().buttons;
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons[i].opens == Catalogue::Opens::Review)
                click(topic->button(i));
        }
    }

    RecordedDialogs dialogs;
    RecordedSounds sounds;
    FormHost host;
};

TEST_F(RoadTest, APupilGoesFromTheStartToAnExerciseAndBackOut)
{
    QSignalSpy ending(&host, &FormHost::programEnding);
    host.showForm(QStringLiteral("FormAvvio"));
    click(current<FormAvvio>()->startButton());

    FormMenu *menu = current<FormMenu>();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->button(7)->text(), QStringLiteral("Uso  h"));
    click(menu->button(7));

    TopicMenuForm *topic = current<TopicMenuForm>();
    ASSERT_TRUE(topic);
    EXPECT_EQ(topic->formName(), QStringLiteral("FormMenuH"));
    EXPECT_EQ(appState().TopicMarker, QStringLiteral("h"));
    click(topic->button(0));

    ExerciseWindow *exercise = current<ExerciseWindow>();
    ASSERT_TRUE(exercise);
    EXPECT_EQ(exercise->answerButton(1)->text(), QStringLiteral("ha"));
    click(exercise->answerButton(0));
    ASSERT_TRUE(exercise->solved());
    click(exercise->nextButton());
    EXPECT_FALSE(exercise->solved());

    dialogs.answerQuestionsWith(true);
    exercise->exitAction()->trigger();
    topic = current<TopicMenuForm>();
    ASSERT_TRUE(topic);
    EXPECT_EQ(topic->formName(), QStringLiteral("FormMenuH"));
    click(topic->button(topic->menu().backIndex()));

    menu = current<FormMenu>();
    ASSERT_TRUE(menu);
    click(menu->button(8));
    EXPECT_EQ(ending.count(), 1);

    // "Uso  h", "a  ha", the two items shown; never "menu" or "Esci".
    const AppState &state = appState();
    ASSERT_EQ(state.CaptionTrailCount, 4);
    EXPECT_EQ(state.CaptionTrail[1].caption, QStringLiteral("Uso  h"));
    EXPECT_EQ(state.CaptionTrail[2].caption, QStringLiteral("a  ha"));
    EXPECT_EQ(state.CaptionTrail[3].item, QStringLiteral("x_"));
    EXPECT_FALSE(QFileInfo::exists(appState().ProfilePath)) << "leaving writes no profile";
}

TEST_F(RoadTest, EveryCatalogueButtonOpensItsWindowWithItsFileAndPair)
{
    for (int m = 0; m < Catalogue::topicMenus().size(); ++m) {
        const Catalogue::TopicMenu &entry = Catalogue::topicMenus()[m];
        for (int b = 0; b < entry.buttons.size(); ++b) {
            const Catalogue::Button &button = entry.buttons[b];
            SCOPED_TRACE(QStringLiteral("%1 / %2").arg(entry.formName, button.caption).toStdString());
            AppState &state = appState();
            state.ChoiceA = QStringLiteral("before");
            state.ChoiceB = QStringLiteral("before");
            state.WordListPath.clear();
            const int recorded = state.CaptionTrailCount;

            auto *topic = qobject_cast<TopicMenuForm *>(host.showForm(entry.formName));
            ASSERT_TRUE(topic);
            EXPECT_EQ(state.TopicMarker, entry.marker);
            EXPECT_EQ(topic->button(b)->text(), button.caption);
            click(topic->button(b));

            EXPECT_EQ(host.currentForm()->formName(), Catalogue::formNameFor(button.opens));
            if (!button.file.isEmpty()) {
                EXPECT_EQ(state.WordListPath, state.ApplicationFolder + u'/' + button.file);
            }
            if (button.opens == Catalogue::Opens::TwoChoice) {
                EXPECT_EQ(state.ChoiceA, button.choiceA);
                EXPECT_EQ(state.ChoiceB, button.choiceB);
            } else {
                EXPECT_EQ(state.ChoiceA, QStringLiteral("before"));
            }
            if (b == entry.backIndex()) {
                EXPECT_EQ(state.CaptionTrailCount, recorded);
            } else {
                EXPECT_EQ(state.CaptionTrail[recorded + 1].caption, button.caption);
            }
            QCoreApplication::processEvents();
        }
    }
    EXPECT_TRUE(dialogs.messages().isEmpty()) << dialogs.messages().join(u'\n').toStdString();
}

TEST_F(RoadTest, AnExerciseOfAnyMenuReturnsToThatMenu)
{
    dialogs.answerQuestionsWith(true);
    for (const Catalogue::TopicMenu &entry : Catalogue::topicMenus()) {
        for (int b = 0; b < entry.buttons.size(); ++b) {
            const Catalogue::Opens opens = entry.buttons[b].opens;
            if (opens != Catalogue::Opens::TwoChoice && opens != Catalogue::Opens::Sentence)
                continue;
            click(static_cast<TopicMenuForm *>(host.showForm(entry.formName))->button(b));
            current<ExerciseWindow>()->exitAction()->trigger();
            EXPECT_EQ(host.currentForm()->formName(), entry.formName);
            break;
        }
    }
}

TEST_F(RoadTest, ChoosingAnotherUserSavesTheOldLoadsTheNewAndClearsTheRecord)
{
    AppState &state = appState();
    state.Settings.TextFontSize = 40;
    ASSERT_TRUE(saveSettings());
    ProfileSettings luca;
    luca.KeepActivityRecord = true;
    luca.LetterCase = QStringLiteral("maiuscolo");
    state.Settings = luca;
    state.ProfilePath = ProfileFiles::pathFor(QStringLiteral("Luca"));
    ASSERT_TRUE(saveSettings());
    state.ProfilePath = ProfileFiles::pathFor(QStringLiteral("_predefinito"));
    loadSettings();
    ASSERT_EQ(state.Settings.TextFontSize, 40);

    state.CaptionTrailCount = 0;
    auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    EXPECT_FALSE(menu->recordAction()->isVisible());
    click(menu->button(0));
    click(static_cast<TopicMenuForm *>(host.currentForm())->button(12));
    menu = current<FormMenu>();
    ASSERT_EQ(state.CaptionTrailCount, 1);
    menu->fitButtonFont();

    QComboBox *users = menu->userList();
    ASSERT_EQ(users->count(), 2);
    EXPECT_EQ(users->currentText(), QStringLiteral("_predefinito"));

    // The same user keeps the record.
    state.Settings.TextFontSize = 44;
    users->activated(users->findText(QStringLiteral("_predefinito")));
    EXPECT_EQ(state.CaptionTrailCount, 1);
    EXPECT_EQ(state.Settings.TextFontSize, 44) << "saved, then read back";

    users->activated(users->findText(QStringLiteral("Luca")));
    EXPECT_EQ(state.UserName, QStringLiteral("Luca"));
    EXPECT_EQ(state.Settings, luca);
    EXPECT_TRUE(menu->recordAction()->isVisible());
    EXPECT_EQ(state.CaptionTrailCount, 0);

    state.ProfilePath = ProfileFiles::pathFor(QStringLiteral("_predefinito"));
    loadSettings();
    EXPECT_EQ(state.Settings.TextFontSize, 44) << "the user who was left kept his settings";
}

TEST_F(RoadTest, TheAboutBoxAndTheManual)
{
    QStringList opened;
    setDocumentOpener([&opened](const QString &path) { opened << path; });
    auto *menu = static_cast<FormMenu *>(host.showForm(QStringLiteral("FormMenu")));
    menu->manualAction()->trigger();
    EXPECT_EQ(opened, QStringList(appState().ApplicationFolder + QStringLiteral("/Velmora.pdf")));
    EXPECT_EQ(host.currentForm(), menu) << "the menu stays open beside the manual";
    setDocumentOpener({});

    menu->aboutAction()->trigger();
    FormInfo *info = current<FormInfo>();
    ASSERT_TRUE(info);
    EXPECT_TRUE(
        info->credits()->text().startsWith(QStringLiteral("Software di\r\ngli sviluppatori di Velmora\r\n")));
    EXPECT_TRUE(info->notice()->text().contains(QStringLiteral("software libero")));
    EXPECT_TRUE(info->fontCredit()->text().contains(QStringLiteral("indis1-OFL.txt")));
    click(info->closeButton());
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenu"));
}

TEST_F(RoadTest, AReviewPlaysEveryFileOfItsMenuEachWordWithItsOwnPair)
{
    const QString folder = appState().ApplicationFolder + QStringLiteral("/testidifort/h/");
    TestEnv::writeFile(folder + QStringLiteral("aha.txt"), "_ casa,a\r\n_ fame,ha\r\n");
    TestEnv::writeFile(folder + QStringLiteral("aihai.txt"), "");
    TestEnv::writeFile(folder + QStringLiteral("oho.txt"), "_ sonno,ho\r\n");
    TestEnv::writeFile(folder + QStringLiteral("annohanno.txt"), "l'_ scorso,anno\r\n");

    // The third row, "_ sonno" of oho.txt, comes up first.
    Random::setSource([] { return 0.5; });
    openReview(QStringLiteral("FormMenuH"));
    auto *review = current<ExerciseWindow>();
    ASSERT_TRUE(review);
    EXPECT_EQ(review->formName(), QStringLiteral("FormEserciziRiep"));
    EXPECT_TRUE(dialogs.messages().isEmpty()) << "an empty file is no problem";

    const AppState &state = appState();
    ASSERT_EQ(state.WordCount, 4);
    EXPECT_EQ(state.WordListPath, folder + QStringLiteral("annohanno.txt"));
    const QStringList firsts
        = {QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("o"), QStringLiteral("anno")};
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(state.wordRow(row).firstChoice, firsts[row - 1]) << row;

    ASSERT_EQ(state.CurrentWordIndex, 3);
    EXPECT_EQ(review->answerButton(0)->text(), QStringLiteral("o"));
    EXPECT_EQ(review->answerButton(1)->text(), QStringLiteral("ho"));
    click(review->answerButton(1));
    EXPECT_TRUE(review->solved());
    Random::setSource({});
}

TEST_F(RoadTest, AReviewWithAMissingFileSaysSoOnceAndGoesOn)
{
    QFile::remove(appState().ApplicationFolder + QStringLiteral("/testidifort/cq/qcq.txt"));
    QFile::remove(appState().ApplicationFolder + QStringLiteral("/testidifort/cq/cuiqui.txt"));
    openReview(QStringLiteral("FormMenuCQ"));
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("qcq.txt")));
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("cuiqui.txt")));
    EXPECT_EQ(appState().WordCount, 2);
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormEserciziRiep"));
}

} // namespace

namespace {

// The visible controls stacked over a button or the exercise's word, which
// would hide part of it.
QStringList coveredButtons(const Form *form)
{
    QStringList covered;
    const QObjectList &controls = form->clientArea()->children();
    for (int i = 0; i < controls.size(); ++i) {
        const auto *button = qobject_cast<const QWidget *>(controls[i]);
        const bool kept = qobject_cast<const QPushButton *>(button)
            || (button && button->objectName() == QLatin1String("EtArticoli"));
        if (!kept || !button->isVisible())
            continue;
        for (int j = i + 1; j < controls.size(); ++j) {
            const auto *above = qobject_cast<const QWidget *>(controls[j]);
            if (above && above->isVisible() && above->geometry().intersects(button->geometry()))
                covered << form->formName() + u' ' + button->objectName() + QStringLiteral(" under ")
                        + above->objectName();
        }
    }
    return covered;
}

} // namespace

TEST_F(RoadTest, NoControlCoversAButtonInAnyWindowOrInputMode)
{
    // The character's balloon stays up while it speaks.
    RecordedSpeech speech(60000);
    appState().Settings.SpeechOn = true;
    appState().Settings.BalloonVisible = true;
    for (const InputMode mode : {InputMode::Mouse, InputMode::Manual, InputMode::Automatic}) {
        appState().Settings.setInputMode(mode);
        QStringList covered;
        for (const QString &name :
            {QStringLiteral("FormAvvio"), QStringLiteral("FormMenu"), QStringLiteral("FormInfo")})
            covered << coveredButtons(host.showForm(name));
        QList<Catalogue::Opens> opened;
        for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
            auto *topic = static_cast<TopicMenuForm *>(host.showForm(menu.formName));
            covered << coveredButtons(topic);
            for (int i = 0; i < menu.buttons.size(); ++i) {
                const Catalogue::Opens opens = menu.buttons[i].opens;
                if (opens == Catalogue::Opens::Back || opened.contains(opens))
                    continue;
                opened << opens;
                click(static_cast<TopicMenuForm *>(host.currentForm())->button(i));
                auto *exercise = current<ExerciseWindow>();
                QTRY_VERIFY(exercise->agent()->balloon()->isVisible());
                EXPECT_TRUE(exercise->agent()->isShown());
                covered << coveredButtons(exercise);
                click(exercise->readButton());
                QTRY_VERIFY(exercise->agent()->balloon()->isVisible());
                covered << coveredButtons(exercise);
                host.showForm(menu.formName);
            }
        }
        EXPECT_EQ(opened.size(), 5);
        EXPECT_TRUE(covered.isEmpty()) << "mode " << int(mode) << ": " << covered.join(u'\n').toStdString();
    }
}
