#include "speechoutput.h"

#include "speechtags.h"
#include "voices.h"

#include "state/appstate.h"

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

void Speech::sayNow(const QString &text)
{
    output().say(profileUtterance(text, appState().Settings.VoiceModeId), {});
}
