#pragma once

#include "inputmode.h"

#include <QString>
#include <QtGlobal>

#include <variant>
#include <vector>

// The values of a user's profile. What each one defaults to, where it
// stands in the file and which values it may take are declared once, in
// ProfileSchema::settings(); the constructor takes the defaults from there.
// Colours are colour numbers 0x00BBGGRR; 0x80000000 + index names a system
// colour (0x8000000F is the button face).
struct ProfileSettings
{
    ProfileSettings();

    QString LetterCase;
    bool SoundsOn;
    qint16 SpeechSpeed;
    qint16 SpeechPitch;
    bool SpeechOn;
    bool BalloonVisible;
    bool BalloonHoldsAllText;
    QString BalloonFontName;
    qint16 BalloonFontSize;
    bool KeepActivityRecord;
    QString TextFontName;
    QString ChosenFontName;
    qint16 TextFontSize;
    double TextColour;
    double TextBackColour;
    double BackgroundColour;
    bool RandomBackground;
    bool UseSystemCursor;
    qint16 InputMode;
    qint16 ScanInterval;
    QString VoiceModeId;
    QString AgentCharacter;
    double ButtonColour;
    double SelectedButtonColour;
    // How switches are read and how the highlight moves. Older copies of the
    // program stop reading after the line above, so these lines may be missing.
    qint16 AcceptanceTime; // ms a press must last to count
    qint16 ReleaseTime; // ms after a counted release in which presses are bounces
    qint16 FirstStepDelay; // the first automatic step in a new window, in % of the interval
    qint16 ScanLoops; // full rounds without a selection before the scan stops; 0: endless
    bool SpokenHighlight;
    bool RowColumnScanning;
    bool WayOutButton; // a scanned "menu" button in the exercises
    // ms the highlight must stand on a button after a selection, or in a new
    // window, row or item, before a press counts.
    qint16 SelectionGuard;
    // The pupil's two switches, each a key, a mouse button or a controller
    // button written as SwitchInput::toText() writes it.
    QString Switch1Input; // steps in manual scanning, selects in automatic
    QString Switch2Input; // selects in manual scanning
    qint16 CueVolume; // % of full volume for the spoken highlight
    bool ReviewMissedWords; // words missed by a spelling error come back

    bool operator==(const ProfileSettings &other) const;
    bool operator!=(const ProfileSettings &other) const { return !(*this == other); }

    // Text shown to the pupil in capitals.
    bool capitals() const { return LetterCase == QLatin1String("maiuscolo"); }
    // InputMode as used: a mode the program does not know would leave the
    // pupil with neither the mouse nor scanning, so it counts as the mouse.
    ::InputMode inputMode() const;
    void setInputMode(::InputMode mode) { InputMode = qint16(mode); }
};

// The settings of a profile, one row each, in the order of the lines of the
// profile file. Reading, writing, comparing and keeping values in range all
// walk this table, so a new setting is one new row (and its member).
namespace ProfileSchema {

template<typename T> struct Field
{
    T ProfileSettings::*member;
    T defaultValue;
};

// What a value outside its allowed range becomes.
enum class OutOfRange { Nearest, Default };

struct Setting
{
    QString name;
    // Text, flag (True/False), integer (16 bits) or colour number.
    std::variant<Field<QString>, Field<bool>, Field<qint16>, Field<double>> field;
    // Allowed values of an integer; the whole 16-bit range when not limited.
    int minimum = -32768;
    int maximum = 32767;
    OutOfRange outOfRange = OutOfRange::Nearest;
    // The letter case line is read from its first three letters.
    bool letterCase = false;
    // A line that older profiles lack: when missing it takes its default.
    bool optional = false;
};

const std::vector<Setting> &settings();

// The row of a setting.
template<typename T> const Setting &of(T ProfileSettings::*member)
{
    for (const Setting &setting : settings()) {
        const auto *field = std::get_if<Field<T>>(&setting.field);
        if (field && field->member == member)
            return setting;
    }
    Q_UNREACHABLE();
}

// The value an integer setting may take that is nearest to value, or its
// default, as its row says.
qint16 allowed(const Setting &setting, int value);

// Every integer setting brought into its allowed range.
void keepInRange(ProfileSettings &settings);

} // namespace ProfileSchema
