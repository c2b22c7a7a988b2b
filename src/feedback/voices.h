#pragma once

#include <QList>
#include <QString>

// The Italian voices the character can speak with: the engine's Italian
// voice and its variants, each with a name a teacher can read and a mode
// identifier that stays the same from one run to the next.
struct VoiceInfo
{
    QString engineName; // as the engine selects it: "it", "it+f2"
    QString displayName; // "Italiano, voce femminile 2"
    QString modeId; // "{…}", stored in the profile
};

namespace Voices {

// The identifier that a new profile holds; it names the plain Italian voice.
QString defaultModeId();

// The plain Italian voice first, then the variants.
const QList<VoiceInfo> &italian();

// The voice of a mode identifier, braces optional and letter case ignored;
// nullptr when no voice has it.
const VoiceInfo *byModeId(const QString &modeId);

// The profile's speed (50 to 250, 130 normal) and pitch (50 to 400, 100
// normal) on the engine's scales (words a minute, 175 normal; 0 to 100, 50
// normal), so that the defaults give the engine's natural voice.
int engineRate(int speechSpeed);
int enginePitch(int speechPitch);

} // namespace Voices
