#include "profilesettings.h"

#include <algorithm>

namespace ProfileSchema {

namespace {

using S = ProfileSettings;

Setting text(const char *name, QString S::*member, const char *value)
{
    return {QString::fromLatin1(name), Field<QString>{member, QString::fromLatin1(value)}};
}

Setting flag(const char *name, bool S::*member, bool value)
{
    return {QString::fromLatin1(name), Field<bool>{member, value}};
}

Setting integer(const char *name, qint16 S::*member, qint16 value, int minimum = -32768, int maximum = 32767,
    OutOfRange outOfRange = OutOfRange::Nearest)
{
    return {QString::fromLatin1(name), Field<qint16>{member, value}, minimum, maximum, outOfRange};
}

Setting colour(const char *name, double S::*member, double value)
{
    return {QString::fromLatin1(name), Field<double>{member, value}};
}

Setting optional(Setting setting)
{
    setting.optional = true;
    return setting;
}

std::vector<Setting> makeSettings()
{
    Setting letterCase = text("LetterCase", &S::LetterCase, "minuscolo");
    letterCase.letterCase = true;
    return {
        letterCase,
        flag("SoundsOn", &S::SoundsOn, true),
        integer("SpeechSpeed", &S::SpeechSpeed, 130, 50, 250),
        integer("SpeechPitch", &S::SpeechPitch, 100, 50, 400),
        flag("SpeechOn", &S::SpeechOn, true),
        flag("BalloonVisible", &S::BalloonVisible, false),
        flag("BalloonHoldsAllText", &S::BalloonHoldsAllText, true),
        text("BalloonFontName", &S::BalloonFontName, "Arial"),
        integer("BalloonFontSize", &S::BalloonFontSize, 14),
        flag("KeepActivityRecord", &S::KeepActivityRecord, false),
        text("TextFontName", &S::TextFontName, "Arial"),
        text("ChosenFontName", &S::ChosenFontName, "Arial"),
        integer("TextFontSize", &S::TextFontSize, 28),
        colour("TextColour", &S::TextColour, 0),
        colour("TextBackColour", &S::TextBackColour, 16777215),
        colour("BackgroundColour", &S::BackgroundColour, 16777152),
        flag("RandomBackground", &S::RandomBackground, true),
        flag("UseSystemCursor", &S::UseSystemCursor, false),
        // An unknown mode would leave the pupil with neither mouse nor
        // scanning; the mouse is the one that needs nothing set up.
        integer("InputMode", &S::InputMode, qint16(InputMode::Mouse), qint16(InputMode::Mouse),
            qint16(InputMode::Automatic), OutOfRange::Default),
        integer("ScanInterval", &S::ScanInterval, 4, 4, 60),
        text("VoiceModeId", &S::VoiceModeId, "{7EF71701-A92D-11d1-B17B-0020AFED142E}"),
        text("AgentCharacter", &S::AgentCharacter, "Merlin"),
        colour("ButtonColour", &S::ButtonColour, -2147483633.0),
        colour("SelectedButtonColour", &S::SelectedButtonColour, 255),
        // Switch settings: the defaults read switches exactly as older
        // copies of the program did, and a damaged value gives the default.
        optional(integer("AcceptanceTime", &S::AcceptanceTime, 0, 0, 2000, OutOfRange::Default)),
        optional(integer("ReleaseTime", &S::ReleaseTime, 0, 0, 2000, OutOfRange::Default)),
        optional(integer("FirstStepDelay", &S::FirstStepDelay, 100, 100, 300, OutOfRange::Default)),
        optional(integer("ScanLoops", &S::ScanLoops, 0, 0, 10, OutOfRange::Default)),
        optional(flag("SpokenHighlight", &S::SpokenHighlight, false)),
        optional(flag("RowColumnScanning", &S::RowColumnScanning, false)),
        optional(flag("WayOutButton", &S::WayOutButton, false)),
        // On by default: a hand that hits twice would otherwise answer what
        // the pupil never saw. 0 acts on every press at once.
        optional(integer("SelectionGuard", &S::SelectionGuard, 500, 0, 2000, OutOfRange::Default)),
        // A text the program cannot read as a switch reads as the default.
        optional(text("Switch1Input", &S::Switch1Input, "key:Space")),
        optional(text("Switch2Input", &S::Switch2Input, "key:Return")),
        optional(integer("CueVolume", &S::CueVolume, 100, 0, 100, OutOfRange::Default)),
        optional(flag("ReviewMissedWords", &S::ReviewMissedWords, true)),
    };
}

} // namespace

const std::vector<Setting> &settings()
{
    static const std::vector<Setting> table = makeSettings();
    return table;
}

qint16 allowed(const Setting &setting, int value)
{
    if (value >= setting.minimum && value <= setting.maximum)
        return qint16(value);
    if (setting.outOfRange == OutOfRange::Default)
        return std::get<Field<qint16>>(setting.field).defaultValue;
    return qint16(std::clamp(value, setting.minimum, setting.maximum));
}

void keepInRange(ProfileSettings &values)
{
    for (const Setting &setting : settings()) {
        if (const auto *field = std::get_if<Field<qint16>>(&setting.field))
            values.*field->member = allowed(setting, values.*field->member);
    }
}

} // namespace ProfileSchema

ProfileSettings::ProfileSettings()
{
    for (const ProfileSchema::Setting &setting : ProfileSchema::settings())
        std::visit([this](const auto &field) { this->*field.member = field.defaultValue; }, setting.field);
}

::InputMode ProfileSettings::inputMode() const
{
    switch (InputMode) {
    case qint16(::InputMode::Manual):
        return ::InputMode::Manual;
    case qint16(::InputMode::Automatic):
        return ::InputMode::Automatic;
    default:
        return ::InputMode::Mouse;
    }
}

bool ProfileSettings::operator==(const ProfileSettings &other) const
{
    const auto &table = ProfileSchema::settings();
    return std::all_of(table.begin(), table.end(), [&](const ProfileSchema::Setting &setting) {
        return std::visit(
            [&](const auto &field) { return this->*field.member == other.*field.member; }, setting.field);
    });
}
