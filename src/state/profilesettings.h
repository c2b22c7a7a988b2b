#pragma once

#include <QString>
#include <QtGlobal>

// The 24 values of a user's profile, in file order, with their defaults.
// Colours are colour numbers 0x00BBGGRR; 0x80000000 + index names a system
// colour (0x8000000F is the button face).
struct ProfileSettings
{
    QString LetterCase = QStringLiteral("minuscolo");
    bool SoundsOn = true;
    qint16 SpeechSpeed = 130;
    qint16 SpeechPitch = 100;
    bool SpeechOn = true;
    bool BalloonVisible = false;
    bool BalloonHoldsAllText = true;
    QString BalloonFontName = QStringLiteral("Arial");
    qint16 BalloonFontSize = 14;
    bool KeepActivityRecord = false;
    QString TextFontName = QStringLiteral("Arial");
    QString ChosenFontName = QStringLiteral("Arial");
    qint16 TextFontSize = 28;
    double TextColour = 0;
    double TextBackColour = 16777215;
    double BackgroundColour = 16777152;
    bool RandomBackground = true;
    bool UseSystemCursor = false;
    qint16 InputMode = 0;
    qint16 ScanInterval = 4;
    QString VoiceModeId = QStringLiteral("{7EF71701-A92D-11d1-B17B-0020AFED142E}");
    QString AgentCharacter = QStringLiteral("Merlin");
    double ButtonColour = -2147483633.0;
    double SelectedButtonColour = 255;

    bool operator==(const ProfileSettings &other) const;
    // Text shown to the pupil in capitals.
    bool capitals() const { return LetterCase == QLatin1String("maiuscolo"); }
    // InputMode as used: a mode the program does not know would leave the
    // pupil with neither the mouse nor scanning, so it counts as 0, the mouse.
    int inputMode() const { return InputMode == 1 || InputMode == 2 ? InputMode : 0; }
    // The pupil works the program with switch keys, by manual or automatic scanning.
    bool scanning() const { return inputMode() != 0; }

    bool operator!=(const ProfileSettings &other) const { return !(*this == other); }
};

inline bool ProfileSettings::operator==(const ProfileSettings &o) const
{
    return LetterCase == o.LetterCase && SoundsOn == o.SoundsOn && SpeechSpeed == o.SpeechSpeed
        && SpeechPitch == o.SpeechPitch && SpeechOn == o.SpeechOn && BalloonVisible == o.BalloonVisible
        && BalloonHoldsAllText == o.BalloonHoldsAllText && BalloonFontName == o.BalloonFontName
        && BalloonFontSize == o.BalloonFontSize && KeepActivityRecord == o.KeepActivityRecord
        && TextFontName == o.TextFontName && ChosenFontName == o.ChosenFontName
        && TextFontSize == o.TextFontSize && TextColour == o.TextColour && TextBackColour == o.TextBackColour
        && BackgroundColour == o.BackgroundColour && RandomBackground == o.RandomBackground
        && UseSystemCursor == o.UseSystemCursor && InputMode == o.InputMode && ScanInterval == o.ScanInterval
        && VoiceModeId == o.VoiceModeId && AgentCharacter == o.AgentCharacter
        && ButtonColour == o.ButtonColour && SelectedButtonColour == o.SelectedButtonColour;
}
