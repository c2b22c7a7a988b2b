#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "testenv.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The file a fresh profile is saved as, one entry a line.
QStringList defaultLines()
{
    return {
        QStringLiteral("minuscolo"),
        QStringLiteral("True"),
        QStringLiteral(" 130 "),
        QStringLiteral(" 100 "),
        QStringLiteral("True"),
        QStringLiteral("False"),
        QStringLiteral("True"),
        QStringLiteral("Arial"),
        QStringLiteral(" 14 "),
        QStringLiteral("False"),
        QStringLiteral("Arial"),
        QStringLiteral("Arial"),
        QStringLiteral(" 28 "),
        QStringLiteral(" 0 "),
        QStringLiteral(" 16777215 "),
        QStringLiteral(" 16777152 "),
        QStringLiteral("True"),
        QStringLiteral("False"),
        QStringLiteral(" 0 "),
        QStringLiteral(" 4 "),
        QStringLiteral("{7EF71701-A92D-11d1-B17B-0020AFED142E}"),
        QStringLiteral("Merlin"),
        QStringLiteral("-2147483633 "),
        QStringLiteral(" 255 "),
        QStringLiteral(" 0 "),
        QStringLiteral(" 0 "),
        QStringLiteral(" 100 "),
        QStringLiteral(" 0 "),
        QStringLiteral("False"),
        QStringLiteral("False"),
        QStringLiteral("False"),
        QStringLiteral(" 500 "),
        QStringLiteral("key:Space"),
        QStringLiteral("key:Return"),
        QStringLiteral(" 100 "),
        QStringLiteral("True"),
    };
}

// The lines every profile has; older copies of the program write only these.
constexpr int kLinesOfEveryProfile = 24;

// A profile with every value away from its default, so that a load which
// mixes file values with defaults shows.
ProfileSettings customSettings()
{
    ProfileSettings s;
    s.LetterCase = QStringLiteral("maiuscolo");
    s.SoundsOn = false;
    s.SpeechSpeed = -7;
    s.SpeechPitch = 32767;
    s.SpeechOn = false;
    s.BalloonVisible = true;
    s.BalloonHoldsAllText = false;
    s.BalloonFontName = QStringLiteral("Anna è");
    s.BalloonFontSize = -32768;
    s.KeepActivityRecord = true;
    s.TextFontName = QStringLiteral("Comic Sans MS");
    s.ChosenFontName = QStringLiteral("Perché àòù");
    s.TextFontSize = 36;
    s.TextColour = -1;
    s.TextBackColour = 255;
    s.BackgroundColour = -2147483633.0;
    s.RandomBackground = false;
    s.UseSystemCursor = true;
    s.setInputMode(InputMode::Automatic);
    s.ScanInterval = 9;
    s.VoiceModeId = QStringLiteral("{ABC}");
    s.AgentCharacter = QStringLiteral("Genie");
    s.ButtonColour = 12632256;
    s.SelectedButtonColour = -2147483643.0;
    s.AcceptanceTime = 500;
    s.ReleaseTime = 2000;
    s.FirstStepDelay = 150;
    s.ScanLoops = 3;
    s.SpokenHighlight = true;
    s.RowColumnScanning = true;
    s.WayOutButton = true;
    s.SelectionGuard = 1200;
    s.Switch1Input = QStringLiteral("controller:a");
    s.Switch2Input = QStringLiteral("key:F7");
    s.CueVolume = 60;
    s.ReviewMissedWords = false;
    return s;
}

QStringList customLines()
{
    return QString::fromLatin1(Profile::serialize(customSettings()))
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

// The setting of a line (from 0) back to its default.
void resetToDefault(ProfileSettings &s, int line)
{
    std::visit([&s](const auto &field) { s.*field.member = field.defaultValue; },
        ProfileSchema::settings().at(line).field);
}

QByteArray crlfFile(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
}

class ProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(SettingsFolders::settingsRoot()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(SettingsFolders::usersFolder()));
        appState().ProfilePath = ProfileFiles::pathFor(QStringLiteral("anna"));
    }

    // Loads bytes as Anna's profile, starting from values a load must replace.
    ProfileSettings load(const QByteArray &bytes)
    {
        TestEnv::writeFile(appState().ProfilePath, bytes);
        appState().Settings = customSettings();
        appState().Settings.TextFontName = QStringLiteral("not loaded");
        loadSettings();
        return appState().Settings;
    }
};

TEST_F(ProfileTest, DefaultProfileIsWrittenByteForByte)
{
    const QByteArray expected = crlfFile(defaultLines());
    EXPECT_EQ(Profile::serialize(ProfileSettings{}), expected);

    resetSettings();
    QString error;
    ASSERT_TRUE(saveSettings(&error)) << error.toStdString();
    EXPECT_EQ(TestEnv::readFile(appState().ProfilePath), expected);
}

TEST_F(ProfileTest, NonDefaultValuesSurviveSaveAndLoad)
{
    for (const char *letterCase : {"maiuscolo", "minuscolo", "corsivo"}) {
        SCOPED_TRACE(letterCase);
        ProfileSettings saved = customSettings();
        saved.LetterCase = QString::fromLatin1(letterCase);
        appState().Settings = saved;
        QString error;
        ASSERT_TRUE(saveSettings(&error)) << error.toStdString();

        appState().Settings = ProfileSettings{};
        loadSettings();
        EXPECT_EQ(appState().Settings, saved);
    }

    // Accents are stored as single Windows-1252 bytes.
    const QByteArray bytes = TestEnv::readFile(appState().ProfilePath);
    EXPECT_TRUE(bytes.contains("Anna \xE8\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n-2147483633 \r\n"));
    EXPECT_TRUE(bytes.contains("\r\n-1 \r\n"));
}

TEST_F(ProfileTest, ColoursAreWrittenAsWholeNumbers)
{
    ProfileSettings s;
    s.TextColour = 254.6;
    s.TextBackColour = -0.2;
    const QStringList lines = QString::fromLatin1(Profile::serialize(s)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.at(13), QStringLiteral(" 255 "));
    EXPECT_EQ(lines.at(14), QStringLiteral(" 0 "));
}

TEST_F(ProfileTest, MissingFileGivesDefaultsWithoutCreatingIt)
{
    appState().Settings = customSettings();
    loadSettings();
    EXPECT_EQ(appState().Settings, ProfileSettings{});
    EXPECT_FALSE(QFile::exists(appState().ProfilePath));
    EXPECT_TRUE(QDir(SettingsFolders::usersFolder()).isEmpty());
}

TEST_F(ProfileTest, DamagedFileGivesEveryDefault)
{
    const QStringList custom = customLines();
    ASSERT_EQ(custom.size(), 36);

    struct Case
    {
        const char *name;
        QByteArray bytes;
    };
    QStringList shortFile = custom.mid(0, 23);
    QStringList speedTooLarge = custom;
    speedTooLarge[2] = QStringLiteral(" 40000 ");
    QStringList scanTooSmall = custom;
    scanTooSmall[19] = QStringLiteral("-32769 ");
    const Case cases[] = {
        {"23 lines", crlfFile(shortFile)},
        {"23 lines and no line end", shortFile.join(QStringLiteral("\r\n")).toLatin1()},
        {"integer above range", crlfFile(speedTooLarge)},
        {"integer below range", crlfFile(scanTooSmall)},
        {"empty file", QByteArray()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(c.bytes), ProfileSettings{});
    }
}

TEST_F(ProfileTest, SwitchSettingsMissingAtTheEndTakeTheirDefaults)
{
    const QStringList custom = customLines();
    for (int kept = kLinesOfEveryProfile; kept <= custom.size(); ++kept) {
        SCOPED_TRACE(kept);
        ProfileSettings expected = customSettings();
        for (int line = kept; line < custom.size(); ++line)
            resetToDefault(expected, line);
        EXPECT_EQ(load(crlfFile(custom.mid(0, kept))), expected);
        EXPECT_EQ(load(custom.mid(0, kept).join(QStringLiteral("\r\n")).toLatin1()), expected)
            << "no line end after the last line";
    }
    EXPECT_TRUE(load(crlfFile(custom.mid(0, 35))).ReviewMissedWords)
        << "missed words come back unless turned off";
    EXPECT_EQ(custom.last(), QStringLiteral("False"));
}

TEST_F(ProfileTest, ADamagedSwitchSettingTakesItsDefaultAlone)
{
    const struct
    {
        int line;
        const char *field;
    } cases[] = {{24, "abc"}, {24, "2001"}, {25, "-5"}, {25, "99999"}, {26, "0"}, {26, "301"}, {27, "11"},
        {28, "x"}, {29, ""}, {30, " 1 "}, {31, "2001"}, {32, "key:Escape"}, {32, "tasto spazio"},
        {33, "controller:a"}, {34, "101"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line + 1 << ": " << c.field);
        QStringList lines = customLines();
        lines[c.line] = QString::fromLatin1(c.field);
        ProfileSettings expected = customSettings();
        resetToDefault(expected, c.line);
        EXPECT_EQ(load(crlfFile(lines)), expected);
    }
}

TEST_F(ProfileTest, AnOverlongLineTakesItsOwnDefaultAndTheFirstLinesKeepTheirRules)
{
    const QString overlong(100000, u'7');
    for (const int line : {24, 31}) {
        SCOPED_TRACE(testing::Message() << "line " << line + 1);
        QStringList lines = customLines();
        lines[line] = overlong;
        ProfileSettings expected = customSettings();
        resetToDefault(expected, line);
        EXPECT_EQ(load(crlfFile(lines)), expected);
        EXPECT_EQ(load(lines.join(u'\n').toLatin1()), expected) << "LF line ends, none after the last";
        EXPECT_TRUE(appState().DamagedProfilePath.isEmpty()) << "nothing to keep aside";
    }

    QStringList lines = customLines();
    lines[7] = overlong;
    EXPECT_EQ(load(crlfFile(lines)), ProfileSettings{}) << "a font name no profile has";
    EXPECT_FALSE(appState().DamagedProfilePath.isEmpty());
}

TEST_F(ProfileTest, NumbersReadAsFarAsTheyGo)
{
    QStringList lines = defaultLines();
    lines[13] = QStringLiteral(" 40000 ");
    lines[8] = QStringLiteral("abc");
    lines[12] = QStringLiteral(" 24x ");
    lines[2] = QStringLiteral("150.4");
    lines[14] = QStringLiteral(" 1e999 ");
    const ProfileSettings s = load(crlfFile(lines));

    EXPECT_EQ(s.TextColour, 40000);
    EXPECT_EQ(s.BalloonFontSize, 0);
    EXPECT_EQ(s.TextFontSize, 24);
    EXPECT_EQ(s.SpeechSpeed, 150);
    EXPECT_TRUE(std::isfinite(s.TextBackColour));
    EXPECT_EQ(s.TextFontName, QStringLiteral("Arial"));
    EXPECT_EQ(s.SelectedButtonColour, 255);
}

TEST_F(ProfileTest, LetterCaseIsDecodedFromItsFirstThreeLetters)
{
    const struct
    {
        const char *field;
        const char *expected;
    } cases[] = {
        {"maiuscolo", "maiuscolo"},
        {"maiusc", "maiuscolo"},
        {"mai", "maiuscolo"},
        {"minuscolo", "minuscolo"},
        {"minimo", "minuscolo"},
        {"corsivo", "corsivo"},
        {"MAIUSCOLO", "corsivo"},
        {"Minuscolo", "corsivo"},
        {"ma", "corsivo"},
        {"", "corsivo"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        QStringList lines = defaultLines();
        lines[0] = QString::fromLatin1(c.field);
        const ProfileSettings s = load(crlfFile(lines));
        EXPECT_EQ(s.LetterCase, QString::fromLatin1(c.expected));
        EXPECT_EQ(s.TextFontName, QStringLiteral("Arial"));
    }
}

TEST_F(ProfileTest, BooleanIsTrueOnlyForCapitalT)
{
    const struct
    {
        const char *field;
        bool expected;
    } cases[] = {
        {"True", true},
        {"Tx", true},
        {"T", true},
        {"true", false},
        {"False", false},
        {"", false},
        {"-1", false},
        {" True", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.field);
        QStringList lines = defaultLines();
        lines[1] = QString::fromLatin1(c.field);
        lines[9] = QString::fromLatin1(c.field);
        const ProfileSettings s = load(crlfFile(lines));
        EXPECT_EQ(s.SoundsOn, c.expected);
        EXPECT_EQ(s.KeepActivityRecord, c.expected);
        EXPECT_EQ(s.TextFontName, QStringLiteral("Arial"));
    }
}

TEST_F(ProfileTest, LayoutOfTheFileDoesNotMatter)
{
    const ProfileSettings expected = customSettings();
    const QString text = QString::fromLatin1(Profile::serialize(expected));
    QStringList fields = text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);

    const struct
    {
        const char *name;
        QString text;
    } cases[] = {
        {"one line, comma separated", fields.join(u',')},
        {"LF line ends", fields.join(u'\n') + u'\n'},
        {"extra lines after the last value", text + QStringLiteral("extra\r\n 12 \r\nTrue\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(c.text.toLatin1()), expected);
    }
}

TEST_F(ProfileTest, UnsafeStringsDoNotShiftLaterValues)
{
    ProfileSettings saved = customSettings();
    saved.BalloonFontName = QStringLiteral("Arial, Grassetto");
    saved.TextFontName = QStringLiteral("\"Citato\", poi");
    saved.ChosenFontName = QStringLiteral("  spazi  ");
    saved.AgentCharacter = QStringLiteral("due\r\nrighe");
    appState().Settings = saved;
    ASSERT_TRUE(saveSettings());

    appState().Settings = ProfileSettings{};
    loadSettings();
    const ProfileSettings &s = appState().Settings;
    EXPECT_EQ(s.BalloonFontName, saved.BalloonFontName);
    EXPECT_EQ(s.TextFontName, QStringLiteral("'Citato', poi"));
    EXPECT_EQ(s.ChosenFontName, saved.ChosenFontName);
    EXPECT_EQ(s.AgentCharacter, QStringLiteral("due  righe"));
    EXPECT_EQ(s.BalloonFontSize, saved.BalloonFontSize);
    EXPECT_EQ(s.SelectedButtonColour, saved.SelectedButtonColour);
}

// Where a member of ProfileSettings lies in memory.
struct MemberPlace
{
    std::size_t offset = 0;
    std::size_t size = 0;
    std::size_t alignment = 0;
};

// The settings with one more member. The C++ ABI of this platform puts a
// derived class's first member right after its base's last one, in the
// base's tail padding: its offset is where the base's members end.
struct SettingsAndMore : ProfileSettings
{
    char more = 0;
};

std::size_t alignedUp(std::size_t offset, std::size_t alignment)
{
    return (offset + alignment - 1) / alignment * alignment;
}

} // namespace

TEST_F(ProfileTest, EverySettingIsComparedAndKeptInItsRange)
{
    // A member of the settings that the table lacks would be neither given
    // its default, saved, read nor compared: the members of the table must
    // cover the whole structure, but for the padding that aligns them.
    const SettingsAndMore values;
    const auto *start = reinterpret_cast<const char *>(static_cast<const ProfileSettings *>(&values));
    std::vector<MemberPlace> places;
    for (const ProfileSchema::Setting &setting : ProfileSchema::settings()) {
        std::visit(
            [&](const auto &field) {
                using T = std::decay_t<decltype(field.defaultValue)>;
                const auto *member = reinterpret_cast<const char *>(&(values.*field.member));
                places.push_back({std::size_t(member - start), sizeof(T), alignof(T)});
            },
            setting.field);
    }
    std::sort(places.begin(), places.end(),
        [](const MemberPlace &a, const MemberPlace &b) { return a.offset < b.offset; });
    std::size_t end = 0;
    for (const MemberPlace &place : places) {
        EXPECT_EQ(place.offset, alignedUp(end, place.alignment))
            << "a member without its row before byte " << place.offset;
        end = place.offset + place.size;
    }
    EXPECT_EQ(std::size_t(&values.more - start), end) << "a member without its row after the last one";

    // A setting left out of the comparison would let a change go unsaved.
    for (const ProfileSchema::Setting &setting : ProfileSchema::settings()) {
        ProfileSettings changed;
        std::visit(
            [&changed](const auto &field) {
                using T = std::decay_t<decltype(field.defaultValue)>;
                if constexpr (std::is_same_v<T, QString>)
                    changed.*field.member += QStringLiteral("x");
                else if constexpr (std::is_same_v<T, bool>)
                    changed.*field.member = !field.defaultValue;
                else
                    changed.*field.member = field.defaultValue + 1;
            },
            setting.field);
        EXPECT_NE(changed, ProfileSettings{}) << qPrintable(setting.name);
    }

    ProfileSettings damaged;
    damaged.SpeechSpeed = 9999;
    damaged.SpeechPitch = -3;
    damaged.ScanInterval = 0;
    damaged.InputMode = 7;
    damaged.TextFontSize = 300;
    ProfileSchema::keepInRange(damaged);
    EXPECT_EQ(damaged.SpeechSpeed, 250);
    EXPECT_EQ(damaged.SpeechPitch, 50);
    EXPECT_EQ(damaged.ScanInterval, 4);
    EXPECT_EQ(damaged.InputMode, 0) << "an unknown mode is the mouse, as everywhere else";
    EXPECT_EQ(damaged.TextFontSize, 300);
}
