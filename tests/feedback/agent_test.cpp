#include "fakes.h"
#include "testenv.h"

#include "feedback/agent.h"
#include "feedback/balloonlayout.h"
#include "feedback/characterview.h"
#include "feedback/speechtags.h"
#include "state/appstate.h"

#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class AgentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(800, 600);
        button = new QWidget(&window);
        button->setGeometry(300, 0, 200, 600);
        window.show();
        m_agent = std::make_unique<Agent>(&window);
        agent = m_agent.get();
        agent->setCharacterSize({120, 160});
    }

    void greet()
    {
        agent->moveTo(window.mapToGlobal(QPoint(20, 400)));
        agent->show();
        agent->speak(QStringLiteral("Ciao!"));
    }

    QWidget window;
    QWidget *button = nullptr;
    std::unique_ptr<Agent> m_agent;
    Agent *agent = nullptr;
};

} // namespace

TEST_F(AgentTest, RequestsPlayInOrderAndSpeechWaitsForTheEntry)
{
    RecordedSpeech speech(200);
    ASSERT_TRUE(agent->loadCharacter(QStringLiteral("merlin")));
    greet();
    agent->speak(QStringLiteral("Come stai?"));
    // Showing takes a moment: nothing is said until the character is there.
    EXPECT_TRUE(speech.said().isEmpty());
    // The mouth follows the sound being played, and closes after it.
    QTRY_VERIFY(agent->character()->mouth() != CharacterView::Mouth::Closed);
    QTRY_COMPARE(speech.finished(), QStringList({"Ciao!", "Come stai?"}));
    EXPECT_EQ(agent->character()->mouth(), CharacterView::Mouth::Closed);
    EXPECT_TRUE(agent->isShown());
    EXPECT_EQ(agent->character()->pos(), QPoint(20, 400));
    EXPECT_FALSE(agent->isBusy());

    agent->hide();
    QTRY_VERIFY(!agent->character()->isVisible());
}

TEST_F(AgentTest, StopAllCancelsWhatIsQueuedAndWhatIsSaid)
{
    RecordedSpeech speech(10000);
    agent->loadCharacter(QStringLiteral("Merlin"));
    greet();
    QTRY_COMPARE(speech.said(), QStringList{"Ciao!"});
    agent->speak(QStringLiteral("mai detto"));
    agent->stopAll();
    agent->speak(QStringLiteral("casa"));
    EXPECT_EQ(speech.said(), QStringList({"Ciao!", "casa"}));
    EXPECT_TRUE(speech.finished().isEmpty());
}

TEST_F(AgentTest, TheBalloonShowsWhatIsSaidAndCoversNoControl)
{
    RecordedSpeech speech(300);
    agent->loadCharacter(QStringLiteral("Merlin"));
    agent->setBalloonStyle(Agent::BalloonShown | Agent::BalloonHoldsAllText);
    greet();
    QTRY_VERIFY(agent->balloon()->isVisible());
    EXPECT_EQ(agent->balloon()->text(), QStringLiteral("Ciao!"));
    EXPECT_FALSE(agent->balloon()->geometry().intersects(button->geometry()));
    EXPECT_FALSE(agent->balloon()->geometry().intersects(agent->character()->geometry()));
    QTRY_VERIFY(!agent->balloon()->isVisible());

    // Without the "shown" bit the text is only heard.
    agent->setBalloonStyle(Agent::BalloonHoldsAllText);
    agent->speak(QStringLiteral("casa") + speechTagsFor(200, 100));
    QTRY_COMPARE(speech.said().size(), 2);
    EXPECT_EQ(speech.said().last(), QStringLiteral("casa"));
    EXPECT_FALSE(agent->balloon()->isVisible());
}

TEST_F(AgentTest, TheFirstCaptionCutsTheGreetingAndCaptionsWaitOnlyForOtherSpeech)
{
    RecordedSpeech speech(RecordedSpeech::kUntilFinished);
    agent->loadCharacter(QStringLiteral("Merlin"));
    int over = 0;
    const auto count = [&over] { ++over; };

    // The greeting waits for the character to show; the caption does not,
    // and the greeting it passed is never said.
    agent->moveTo(window.mapToGlobal(QPoint(20, 400)));
    agent->show();
    agent->greet(QStringLiteral("Ciao!"));
    agent->sayCaption(QStringLiteral("a, senza acca"), count);
    EXPECT_EQ(speech.said(), QStringList{"a, senza acca"});
    speech.finish();
    EXPECT_EQ(over, 1);
    QTRY_VERIFY(!agent->isBusy());
    EXPECT_TRUE(agent->isShown());
    EXPECT_EQ(speech.said(), QStringList{"a, senza acca"});

    // Being said, a greeting is cut by the caption.
    agent->greet(QStringLiteral("Ciao!"));
    agent->sayCaption(QStringLiteral("ha, con l'acca"), count);
    EXPECT_EQ(speech.said(), QStringList({"a, senza acca", "Ciao!", "ha, con l'acca"}));
    speech.finish();
    EXPECT_EQ(speech.finished(), QStringList({"a, senza acca", "ha, con l'acca"}));
    EXPECT_EQ(over, 2);

    // Other speech is never cut: the newest caption waits for its end, and
    // the one it replaced is over unsaid.
    agent->speak(QStringLiteral("casa"));
    agent->sayCaption(QStringLiteral("uno"), count);
    agent->sayCaption(QStringLiteral("due"), count);
    EXPECT_EQ(speech.said().last(), QStringLiteral("casa"));
    EXPECT_EQ(over, 3);
    speech.finish();
    EXPECT_EQ(speech.said().last(), QStringLiteral("due"));

    // An empty caption silences the one being said.
    agent->sayCaption(QString());
    EXPECT_FALSE(speech.speaking());
    EXPECT_EQ(over, 4);
    EXPECT_FALSE(agent->isBusy());
    EXPECT_FALSE(speech.said().contains(QStringLiteral("uno")));
}

TEST_F(AgentTest, CaptionsAreSaidAtTheCueVolumeInLowerCaseAndShownAsGiven)
{
    RecordedSpeech speech(300);
    appState().Settings.CueVolume = 30;
    agent->setBalloonStyle(Agent::BalloonShown | Agent::BalloonHoldsAllText);
    agent->moveTo(window.mapToGlobal(QPoint(20, 400)));
    agent->speak(QStringLiteral("Ciao!"));
    agent->sayCaption(QStringLiteral("HA, CON L'ACCA"));
    QTRY_COMPARE(speech.utterances().size(), 2);
    EXPECT_DOUBLE_EQ(speech.utterances()[0].volume, 1.0) << "the character's other speech is as loud as ever";
    EXPECT_DOUBLE_EQ(speech.utterances()[1].volume, 0.3);
    // Capitals would be spelled out letter by letter.
    EXPECT_EQ(speech.utterances()[1].text, QStringLiteral("ha, con l'acca"));
    EXPECT_EQ(agent->balloon()->text(), QStringLiteral("HA, CON L'ACCA"));
}

TEST_F(AgentTest, TheProfileSpeedAndPitchApplyUnlessTheTextSaysOtherwise)
{
    RecordedSpeech speech;
    appState().Settings.SpeechSpeed = 200;
    appState().Settings.SpeechPitch = 60;
    agent->setVoice(QStringLiteral("{7EF71701-A92D-11d1-B17B-0020AFED142E}"));
    agent->speak(QStringLiteral("uno"));
    agent->speak(QStringLiteral("due") + speechTagsFor(130, 100));
    QTRY_COMPARE(speech.utterances().size(), 2);
    EXPECT_GT(speech.utterances()[0].rate, 175);
    EXPECT_LT(speech.utterances()[0].pitch, 50);
    EXPECT_EQ(speech.utterances()[1].rate, 175);
    EXPECT_EQ(speech.utterances()[1].pitch, 50);
    EXPECT_EQ(speech.utterances()[1].voice, QStringLiteral("it"));
}

TEST_F(AgentTest, AMissingCharacterIsToldAndSpeechGoesOn)
{
    RecordedSpeech speech;
    EXPECT_FALSE(agent->loadCharacter(QStringLiteral("Nessuno")));
    EXPECT_TRUE(agent->problem().contains(QStringLiteral("Nessuno")));
    greet();
    QTRY_COMPARE(speech.finished(), QStringList{"Ciao!"});
    EXPECT_FALSE(agent->isShown());
}

TEST(Characters, TheListNamesEverySvgInProperCase)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("app/characters"));
    appState().ApplicationFolder = QFileInfo(folder).path();
    for (const char *name : {"MAGO merlino.svg", "gufo.SVG", "leggimi.txt"})
        TestEnv::writeFile(folder + u'/' + QLatin1String(name), "<svg/>");
    EXPECT_EQ(Agent::availableCharacters(), QStringList({"Gufo", "Mago Merlino"}));
}

TEST(Characters, EveryShippedCharacterHasItsParts)
{
    const QStringList names = Agent::availableCharacters();
    EXPECT_TRUE(names.contains(QStringLiteral("Merlin")));
    EXPECT_GE(names.size(), 2);
    for (const QString &name : names) {
        CharacterView view;
        EXPECT_TRUE(view.load(Agent::charactersFolder() + u'/' + name + QStringLiteral(".svg")))
            << name.toStdString();
    }
}

TEST(BalloonLayout, WrapsWithoutLosingAWordAndFollowsTheSpeech)
{
    const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 12));
    const QString text = QStringLiteral("il gatto precipitevolissimevolmente sale");
    const QStringList lines
        = BalloonLayout::wrap(text, metrics, metrics.horizontalAdvance(QStringLiteral("gatto sale")));
    EXPECT_EQ(lines.join(QString()).remove(u' '), QString(text).remove(u' '));
    for (const QString &line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), metrics.horizontalAdvance(QStringLiteral("gatto sale")));

    const QStringList five = {"a", "b", "c", "d", "e"};
    EXPECT_EQ(BalloonLayout::window(five, 2, 0), QStringList({"a", "b"}));
    EXPECT_EQ(BalloonLayout::window(five, 2, 0.5), QStringList({"c", "d"}));
    EXPECT_EQ(BalloonLayout::window(five, 2, 1), QStringList({"d", "e"}));
    EXPECT_EQ(BalloonLayout::window(five, 9, 0.5), five);
}

TEST(BalloonLayout, TakesTheFreePlaceNearestTheCharacterOrNone)
{
    const QRect area(0, 0, 400, 300);
    const QRect character(0, 200, 80, 100);
    const QList<QRect> obstacles = {{100, 0, 300, 300}};
    const QRect placed = BalloonLayout::place({60, 40}, character, obstacles, area);
    ASSERT_TRUE(placed.isValid());
    EXPECT_TRUE(area.contains(placed));
    EXPECT_FALSE(placed.intersects(character));
    EXPECT_FALSE(placed.intersects(obstacles[0]));
    EXPECT_GE(placed.bottom(), 150);

    EXPECT_FALSE(BalloonLayout::place({120, 40}, character, obstacles, area).isValid());
}
