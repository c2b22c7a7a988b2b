#pragma once

#include "characterview.h"
#include "speechengine.h"

#include <QFont>
#include <QLabel>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

class QPropertyAnimation;
class QVariantAnimation;
class QWidget;

// The animated character of a window, with its speech balloon and voice.
// Moving, showing, hiding and speaking are requests: each call returns at
// once and the requests are played in order; stopAll() drops the queue and
// silences the voice at once. The character and the balloon are drawn on
// the host window, above its controls.
class Agent : public QObject
{
    Q_OBJECT

public:
    // Balloon style bits.
    static constexpr int BalloonShown = 1;
    static constexpr int BalloonHoldsAllText = 2;

    explicit Agent(QWidget *host);
    ~Agent() override;

    // The character NAME from NAME.svg in the characters folder beside the
    // program (letter case of the file name ignored). False when missing.
    bool loadCharacter(const QString &name);
    QString characterName() const { return m_characterName; }

    // The characters folder's "*.svg" files, as names: the extension
    // dropped, each word with a capital initial.
    static QStringList availableCharacters();
    static QString charactersFolder();

    void setLanguage(int languageId) { m_languageId = languageId; }
    // A language identifier as the settings hold it: "&H410" is 1040, Italian.
    static int languageNumber(const QString &id);
    int language() const { return m_languageId; }
    int balloonStyle() const { return m_balloonStyle; }
    void setBalloonStyle(int style) { m_balloonStyle = style; }
    // Sets or clears one bit of the balloon style; the others stay.
    void setBalloonBit(int bit, bool on)
    {
        m_balloonStyle = on ? m_balloonStyle | bit : m_balloonStyle & ~bit;
    }
    void setBalloonFont(const QString &name, int points);
    QFont balloonFont() const { return m_balloonFont; }
    // A voice mode identifier; empty for the character's own voice.
    void setVoice(const QString &modeId) { m_voiceModeId = modeId; }
    QString voice() const { return m_voiceModeId; }

    // The size the character is drawn at.
    void setCharacterSize(const QSize &size);

    // Requests. The point is in screen pixels: the character's top left.
    void moveTo(const QPoint &screenPoint);
    void show();
    void hide();
    // Speed and pitch tags in the text are obeyed and not spoken; without
    // them the profile's speed and pitch apply.
    void speak(const QString &text);
    // As speak(), but the first caption cuts the greeting, or drops it while
    // it waits its turn: a greeting never holds back what the highlight says.
    void greet(const QString &text);
    // Says the cue of a button the highlight has just reached, at the cue
    // volume, at once: it never waits for the character to move or show,
    // and it cuts a caption or a greeting being said. Only the newest
    // caption is worth hearing: one still waiting is dropped, while anything
    // else the character says is never cut and the caption waits for it. An
    // empty text withdraws the caption, waiting or being said. `over` runs
    // once the caption is over: heard, cut, dropped or stopped.
    void sayCaption(const QString &text, std::function<void()> over = {});
    void stopAll();

    bool isShown() const;
    bool isBusy() const
    {
        return m_playing != Request::None || !m_queue.empty() || m_voice != Voice::Silent
            || !m_waitingCaption.isEmpty();
    }
    CharacterView *character() const { return m_character; }
    QLabel *balloon() const { return m_balloon; }
    // What keeps the character from being seen or heard, in Italian; empty when nothing.
    QString problem() const;

private:
    enum class Request { None, Move, Show, Hide, Speak };
    struct Queued
    {
        Request kind = Request::None;
        QPoint point;
        QString text;
        bool greeting = false;
    };
    // What the voice is saying: the speech of the request being played, or a
    // caption, which is said beside the queue.
    enum class Voice { Silent, Request, Caption };

    void enqueue(Queued request);
    void playNext();
    void done();
    void sayRequest();
    void sayCaptionNow(const QString &text);
    // The caption waiting or being said is over: its `over` runs.
    void finishCaption();
    void startSpeaking(const Utterance &utterance, const QString &shown, std::function<void()> ended);
    void silence();
    void followSpeech();
    void showBalloon(double progress);
    void hideBalloon();
    void animate(double from, double to, int milliseconds);
    QPoint hostPoint(const QPoint &screenPoint) const;

    QPointer<QWidget> m_host;
    // Drawn on the host, which may go first.
    QPointer<CharacterView> m_character;
    QPointer<QLabel> m_balloon;
    QVariantAnimation *m_animation = nullptr;
    QPointer<QPropertyAnimation> m_glide;
    QString m_characterName;
    QString m_characterProblem;
    int m_languageId = 1040;
    int m_balloonStyle = BalloonShown | BalloonHoldsAllText;
    QFont m_balloonFont;
    QString m_voiceModeId;

    std::deque<Queued> m_queue;
    Request m_playing = Request::None;
    Queued m_current;
    Voice m_voice = Voice::Silent;
    // A caption waiting for the speech of a request to end.
    QString m_waitingCaption;
    std::function<void()> m_captionOver;
    QString m_spoken;
    // Where the balloon of this utterance stands, and how many lines it shows.
    QRect m_balloonGeometry;
    int m_balloonLines = 0;
    bool m_balloonFollows = false;
    QTimer m_speechTick;
    QTimer m_balloonLinger;
    // Incremented at every utterance and by stopAll(), so that speech cut
    // short cannot finish later.
    quint64 m_generation = 0;
};
