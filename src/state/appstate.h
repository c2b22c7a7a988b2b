#pragma once

#include "profilesettings.h"

#include <QHash>
#include <QString>
#include <QtGlobal>

#include <vector>

// One exercise item of the word store. Rows and columns count from 1 in the
// program's vocabulary: column 1 is the gapped text, 2 the answer, 3 and 4
// the two spellings offered when the record carries them.
struct WordItem
{
    QString text;
    QString answer;
    QString firstChoice;
    QString secondChoice;
};

// One row of the activity record: a menu caption, an item shown, or the
// " * " marks of the wrong answers given on that item.
struct TrailRow
{
    QString caption;
    QString item;
    QString marks;
};

constexpr int kMaxWordRows = 12000;
constexpr int kMaxTrailRows = 1000;

// The program-wide variables, plain data. Behaviour that reads or writes
// them lives in the subsystem folders.
struct AppState
{
    // Where the program reads its word lists, sounds, font and manual.
    QString ApplicationFolder;
    QString AgentLanguageId;

    QString UserName;
    QString ProfilePath;
    ProfileSettings Settings;

    // The word store is never cleared: a load overwrites rows 1 to the new
    // WordCount and leaves the rows above as an earlier load left them.
    // Index 0 is unused.
    std::vector<WordItem> WordTable;
    qint16 WordCount = 0;
    qint16 CurrentWordIndex = 0;

    QString WordListPath;
    QString ChoiceA;
    QString ChoiceB;
    QString TopicMarker;
    // The page of the teacher's lists that their menu shows; "altre liste"
    // opens the menu again on the next one.
    int MyListsPage = 0;
    // A teacher's list tried from "Liste di parole": the exercise keeps no
    // trace of the answers, as they are not the pupil's, and goes back to
    // that window, which opens the list again and clears this.
    QString TriedListPath;

    qint16 RightCount = 0;
    qint16 WrongCount = 0;

    // Index 0 is unused; rows 1 to CaptionTrailCount are in use.
    std::vector<TrailRow> CaptionTrail;
    qint16 CaptionTrailCount = 0;
    // An item was shown or marked since the record was last saved.
    bool CaptionTrailUnsaved = false;

    // The user has been told once in this run that the profile could not be saved.
    bool SettingsSaveFailureShown = false;
    // A profile file that is there but did not load: its bytes are kept aside
    // before the first save replaces it.
    QString DamagedProfilePath;
    // The teacher has been told once in this run of profiles whose names cannot be read.
    bool UnreadableProfilesShown = false;
    // Told once in this run: what keeps the character from being seen or
    // heard, and which answer sounds are missing or damaged.
    bool SpeechProblemShown = false;
    bool SoundProblemShown = false;
    // When each switch key's last counted press was let go, in ms on the
    // scanning clock. Every window reads it, so that the bounce of a press
    // that opened a window is dropped in the window it opened.
    QHash<int, qint64> SwitchReleasedAt;

    // Row r of the word store; rows never written read as empty.
    const WordItem &wordRow(int row) const;
    WordItem &writableWordRow(int row);
};

AppState &appState();

// Back to the values of a fresh start; for tests.
void resetAppState();
