#include "testenv.h"

#include "feedback/playedspeech.h"
#include "feedback/speechengine.h"
#include "feedback/speechtags.h"
#include "feedback/spokencues.h"
#include "feedback/voices.h"

#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

TEST(SpeechTags, AreBuiltAsTheProfileWritesThemAndNeverSpoken)
{
    EXPECT_EQ(speechTagsFor(200, 100), QStringLiteral("\\Spd=200\\\\Pit=100\\"));

    const TaggedSpeech tagged
        = parseSpeechTags(QStringLiteral("Questa è la mia voce.") + speechTagsFor(200, 80));
    EXPECT_EQ(tagged.text, QStringLiteral("Questa è la mia voce."));
    EXPECT_EQ(tagged.speed, 200);
    EXPECT_EQ(tagged.pitch, 80);

    const TaggedSpeech plain = parseSpeechTags(QStringLiteral("a\\b c\\Vol=3\\d"));
    EXPECT_EQ(plain.text, QStringLiteral("a\\b cd"));
    EXPECT_FALSE(plain.speed.has_value());
    EXPECT_FALSE(plain.pitch.has_value());
}

TEST(Voices, AreItalianWithStableIdentifiersAndTheDefaultGivesTheNaturalVoice)
{
    const VoiceInfo *standard = Voices::byModeId(QStringLiteral("{7EF71701-A92D-11d1-B17B-0020AFED142E}"));
    ASSERT_NE(standard, nullptr);
    EXPECT_EQ(standard->engineName, QStringLiteral("it"));
    EXPECT_EQ(Voices::byModeId(QStringLiteral("7ef71701-a92d-11d1-b17b-0020afed142e")), standard);
    EXPECT_EQ(Voices::byModeId(QStringLiteral("{00000000-0000-0000-0000-000000000000}")), nullptr);

    QSet<QString> ids;
    for (const VoiceInfo &voice : Voices::italian()) {
        EXPECT_TRUE(voice.engineName.startsWith(QStringLiteral("it"))) << voice.engineName.toStdString();
        EXPECT_TRUE(voice.displayName.startsWith(QStringLiteral("Italiano")))
            << voice.displayName.toStdString();
        EXPECT_TRUE(voice.modeId.startsWith(u'{') && voice.modeId.endsWith(u'}'))
            << voice.modeId.toStdString();
        EXPECT_EQ(Voices::byModeId(voice.modeId), &voice);
        ids << voice.modeId;
    }
    EXPECT_EQ(ids.size(), Voices::italian().size());
    // Fixed by the voice's name, so a profile written today finds its voice tomorrow.
    EXPECT_EQ(Voices::italian().at(1).modeId, QStringLiteral("{4D310DF4-9503-5505-8772-25D340AF321E}"));

    EXPECT_EQ(Voices::engineRate(130), 175);
    EXPECT_EQ(Voices::enginePitch(100), 50);
    EXPECT_LT(Voices::engineRate(50), Voices::engineRate(250));
    EXPECT_EQ(Voices::enginePitch(400), 100);
    EXPECT_GE(Voices::engineRate(-5), 80);
}

namespace {

double seconds(const QByteArray &pcm)
{
    return double(pcm.size()) / 2 / SpeechEngine::sampleRate;
}

double rootMeanSquare(const QByteArray &pcm)
{
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += double(samples[i]) * samples[i];
    return count ? std::sqrt(sum / double(count)) : 0;
}

} // namespace

TEST(SpeechEngine, SaysAnItalianSentenceAtTheRateAsked)
{
    SpeechEngine &engine = SpeechEngine::instance();
    Utterance sentence;
    sentence.text = QStringLiteral("La gallina è nel pollaio con i pulcini.");
    const QByteArray normal = engine.render(sentence);
    ASSERT_TRUE(engine.problem().isEmpty()) << engine.problem().toStdString();
    // Eleven syllables and a pause: about two seconds at the natural rate.
    EXPECT_GT(seconds(normal), 1.2);
    EXPECT_LT(seconds(normal), 4.0);
    EXPECT_GT(rootMeanSquare(normal), 500);

    sentence.rate = 350;
    EXPECT_LT(seconds(engine.render(sentence)), seconds(normal) * 0.75);

    sentence.voice = QStringLiteral("it+f2");
    sentence.rate = 175;
    EXPECT_GT(rootMeanSquare(engine.render(sentence)), 500);

    // A voice the engine does not know falls back to the Italian voice.
    sentence.voice = QStringLiteral("xx+nothing");
    EXPECT_NEAR(seconds(engine.render(sentence)), seconds(normal), 0.3);
}

TEST(SpeechEngine, NoTextGivesTheEngineACommand)
{
    // CTRL-A and a number with a letter would set the engine's speed.
    Utterance command;
    command.text = QStringLiteral("uno \u0001"
                                  "400S due tre quattro cinque");
    Utterance blank;
    blank.text = QStringLiteral("uno  400S due tre quattro cinque");
    SpeechEngine &engine = SpeechEngine::instance();
    // Obeyed, it would say the sentence in two thirds of the time.
    EXPECT_NEAR(seconds(engine.render(command)), seconds(engine.render(blank)), 0.1);
}

TEST(SpeechEngine, TheVolumeScalesTheSamples)
{
    Utterance word;
    word.text = QStringLiteral("casa");
    SpeechEngine &engine = SpeechEngine::instance();
    const double full = rootMeanSquare(engine.render(word));
    ASSERT_GT(full, 500);
    word.volume = 0.25;
    EXPECT_NEAR(rootMeanSquare(engine.render(word)) / full, 0.25, 0.02);
    word.volume = 0;
    EXPECT_EQ(rootMeanSquare(engine.render(word)), 0);
}

TEST(SpokenCues, AreFoundWhateverTheLetterCaseAndOtherCaptionsAreSaidAsTheyAre)
{
    EXPECT_EQ(SpokenCues::cueFor(QStringLiteral("ha")), QStringLiteral("ha, con l'acca"));
    EXPECT_EQ(SpokenCues::cueFor(QStringLiteral("HA")), QStringLiteral("ha, con l'acca"));
    EXPECT_EQ(SpokenCues::cueFor(QStringLiteral("LÀ")), QStringLiteral("là, con l'accento"));
    EXPECT_EQ(SpokenCues::cueFor(QStringLiteral("L'")), QStringLiteral("elle apostrofo"));
    EXPECT_EQ(SpokenCues::cueFor(QStringLiteral("avanti")), QStringLiteral("avanti"));
    EXPECT_FALSE(SpokenCues::hasCue(QStringLiteral("leggi")));
}

TEST(PlayedSpeech, EndsWithOrWithoutAnAudioDeviceAndNeverAfterStop)
{
    PlayedSpeech speech;
    Utterance hello;
    hello.text = QStringLiteral("Ciao!");
    bool done = false;
    speech.say(hello, [&done] { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    EXPECT_GT(speech.bytesHandedOver(), 0);

    // Stopped while it plays, on a clock of the test's own that stands still
    // until the stop, the sentence never ends, however late it gets.
    done = false;
    qint64 nowMs = 0;
    speech.setClock([&nowMs] { return nowMs; });
    Utterance sentence;
    sentence.text = QStringLiteral("La gallina è nel pollaio con i pulcini.");
    speech.say(sentence, [&done] { done = true; });
    QTRY_VERIFY_WITH_TIMEOUT(speech.bytesHandedOver() > 0, 5000);
    speech.stop();
    // The engine works in order: once a later sentence is made, all it sent
    // for the stopped one is on its way, and the wait delivers it.
    SpeechEngine::instance().render(hello);
    nowMs += 60000;
    QTest::qWait(50);
    EXPECT_FALSE(done);
    EXPECT_EQ(speech.loudness(), 0);
}
