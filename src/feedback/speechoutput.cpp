#include "speechoutput.h"

#include "speechtags.h"
#include "voices.h"

#include "state/appstate.h"

#include <algorithm>

Utterance Speech::profileUtterance(const QString &text, const QString &voiceModeId)
{
    const TaggedSpeech tagged = parseSpeechTags(text);
    const ProfileSettings &settings = appState().Settings;
    const VoiceInfo *voice = voiceModeId.isEmpty() ? nullptr : Voices::byModeId(voiceModeId);
    Utterance utterance;
    utterance.text = tagged.text;
    utterance.voice = voice ? voice->engineName : QStringLiteral("it");
    utterance.rate = Voices::engineRate(tagged.speed.value_or(settings.SpeechSpeed));
    utterance.pitch = Voices::enginePitch(tagged.pitch.value_or(settings.SpeechPitch));
    return utterance;
}

Utterance Speech::cueUtterance(const QString &text, const QString &voiceModeId)
{
    Utterance utterance = profileUtterance(text, voiceModeId);
    utterance.text = utterance.text.toLower();
    utterance.volume = std::clamp(appState().Settings.CueVolume, qint16(0), qint16(100)) / 100.0;
    return utterance;
}

void Speech::sayNow(const QString &text)
{
    output().say(profileUtterance(text, appState().Settings.VoiceModeId), {});
}

void Speech::sayCue(const QString &text, std::function<void()> done)
{
    if (text.isEmpty()) {
        output().stop();
        return;
    }
    output().say(cueUtterance(text, appState().Settings.VoiceModeId), std::move(done));
}
