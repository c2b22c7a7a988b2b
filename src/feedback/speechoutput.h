#pragma once

#include "speechengine.h"

#include <functional>
#include <memory>

// Where the character's voice goes. Saying returns at once; `done` runs on
// the caller's thread when the last sound has been played, and never after
// stop().
class SpeechOutput
{
public:
    virtual ~SpeechOutput() = default;
    virtual void say(const Utterance &utterance, std::function<void()> done) = 0;
    virtual void stop() = 0;
    // How loud the sound playing now is, 0 to 1: it moves the mouth.
    virtual double loudness() const = 0;
    // How much of the utterance has been played, 0 to 1.
    virtual double progress() const = 0;
};

namespace Speech {

SpeechOutput &output();

// What the character says for this text, in the voice of the mode
// identifier (the plain Italian voice when empty or unknown): speed and
// pitch tags in the text are obeyed and left out of what is said; without
// them the profile's speed and pitch apply.
Utterance profileUtterance(const QString &text, const QString &voiceModeId);

// A cue of the spoken highlight (the caption of the button just lit), as
// profileUtterance() but at the profile's cue volume, and in lower case: the
// engine spells a word in capitals out letter by letter ("GNU", "CO").
Utterance cueUtterance(const QString &text, const QString &voiceModeId);

// Says a short text at once in the profile's voice, cutting whatever the
// voice was saying: for windows without a character of their own.
void sayNow(const QString &text);
// The same for a cue; `done` as for SpeechOutput::say(). An empty text only
// silences the voice.
void sayCue(const QString &text, std::function<void()> done);
// Takes ownership; nullptr restores the real output.
void setOutput(std::unique_ptr<SpeechOutput> output);

} // namespace Speech
