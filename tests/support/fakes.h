#pragma once

#include "feedback/sounds.h"
#include "feedback/speechoutput.h"
#include "layout/commondialogs.h"
#include "layout/dialogs.h"

#include <QList>
#include <QStringList>
#include <qnamespace.h>

#include <memory>
#include <optional>

// Message boxes that are recorded instead of shown; questions get the
// answer the test chose. Installed for the life of the object.
class RecordedDialogs
{
public:
    RecordedDialogs();
    ~RecordedDialogs();

    const QStringList &messages() const;
    void answerQuestionsWith(bool yes);
    // The answer to the questions that can be called off; by default the
    // one to the others.
    void answerQuestionsWithCancelBy(Dialogs::Answer answer);

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

// Sounds that are recorded instead of played.
class RecordedSounds
{
public:
    RecordedSounds();
    ~RecordedSounds();

    const QStringList &played() const;

private:
    std::shared_ptr<QStringList> m_played;
};

// Speech that is recorded instead of synthesised and played. Each
// utterance ends `milliseconds` after it starts (at the next turn of the
// event loop by default), or with kUntilFinished only when the test calls
// finish(). Every test starts with a silent one of these.
class RecordedSpeech
{
public:
    static constexpr int kUntilFinished = -1;

    explicit RecordedSpeech(int milliseconds = 0);
    ~RecordedSpeech();

    // Ends the utterance being said, as its last sound would.
    void finish();
    bool speaking() const;

    // The texts begun, in order; a text stopped before its end is still here.
    QStringList said() const;
    const QList<Utterance> &utterances() const;
    // The texts that were played to their end.
    const QStringList &finished() const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

// Colour, font and file dialogs that give the answers the test chose (at
// first, all cancelled) and keep the file requests. Installed for the life
// of the object.
class ScriptedCommonDialogs
{
public:
    ScriptedCommonDialogs();
    ~ScriptedCommonDialogs();

    void answerColour(std::optional<QColor> colour);
    void answerFont(std::optional<CommonDialogs::FontChoice> font);
    // OK on the font the dialog opened with.
    void confirmOfferedFont();
    std::optional<CommonDialogs::FontChoice> fontOffered() const;
    void answerFile(const QString &path);
    const QList<CommonDialogs::FileRequest> &fileRequests() const;

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

class QWidget;

// The keys and the highlight of switch access, as a pupil meets them.
namespace SwitchPress {

// Longer than the longest selection guard.
constexpr int kLookMs = 2500;

// Presses and releases the key where the focus is, or on `fallback` when no
// widget has the focus, a while after the press before it on the switch clock.
void press(Qt::Key key, QWidget *fallback);

// Whether the button shows the scanning colour of the profile.
bool lit(const QWidget *button);

} // namespace SwitchPress
