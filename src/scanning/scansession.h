#pragma once

#include "buttonhighlight.h"
#include "scancycles.h"
#include "scantimer.h"
#include "selectionguard.h"
#include "switchkeys.h"
#include "switchtiming.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QLabel;

// What every scanning window shares: the switch keys read with the
// profile's acceptance and release times and selection guard, the clock of
// the automatic steps with its countdown on the highlighted button, the
// highlight, read out when the profile asks for it, and the sign that the
// scan has stopped. The window's scan cycle gets the presses that count and
// drives the rest.
class ScanSession : public QObject
{
    Q_OBJECT

public:
    using KeyHandler = std::function<void(int key)>;
    // Says the caption of the button just lit and runs `over` once it has
    // been said, or will never be; an empty caption silences the one before.
    using CaptionVoice = std::function<void(const QString &caption, std::function<void()> over)>;

    ScanSession(QWidget *window, KeyHandler keyDown, KeyHandler keyUp, std::function<void()> tick);
    ~ScanSession() override;

    void setButtons(const QList<QWidget *> &buttons) { m_highlighter.setButtons(buttons); }
    // Where the captions of the highlighted buttons are said; by default the
    // voice alone, for a window without a character. While the spoken
    // highlight is on, an automatic step waits for the caption of the button
    // lit to be heard whole: its interval counts from the caption's end.
    void setCaptionVoice(CaptionVoice say) { m_sayCaption = std::move(say); }
    // The clock of the automatic steps, for tests.
    void setClock(ScanTimer::Clock clock) { m_timer.setClock(std::move(clock)); }

    // The window is shown, in the profile's input mode: in a scanning mode
    // the switches are read, with the profile's timings.
    void start();
    // The window goes away: timer and keys stop.
    void stop();

    void runTimer(Scan::Timer timer);
    // These buttons, and no other, in the scanning colour.
    void highlight(const QList<int> &buttons);
    // The pupil chose something: presses wait for the selection guard.
    void selectionMade();
    // Automatic scanning stopped after its rounds: a caption where it covers
    // no button says how to start it again; false takes it away.
    void showStopped(bool stopped);
    // The caption, while it is shown; nullptr otherwise.
    const QLabel *stoppedPrompt() const;

    // The pupil works this window by switches: it was last started in a
    // scanning mode. The one question a window asks before it answers a click.
    bool active() const { return isScanning(m_mode); }

    ButtonHighlighter &highlighter() { return m_highlighter; }
    const ButtonHighlighter &highlighter() const { return m_highlighter; }
    const ScanTimer &timer() const { return m_timer; }

private:
    void keyPressed(int key);
    void keyReleased(int key);
    void timePress();
    void showCountdown();
    QLabel *makePrompt(const QString &name, const QString &text);
    void showPrompt(QLabel *prompt);
    // Placed where it covers no button, in the largest letters that fit.
    void placePrompt(QLabel *prompt);
    // A controller the pupil's switch is on was unplugged: said for a while;
    // the other inputs go on working.
    void showUnplugged();
    void captionOver();

    QWidget *m_window = nullptr;
    InputMode m_mode = InputMode::Mouse;
    KeyHandler m_keyDown;
    KeyHandler m_keyUp;
    CaptionVoice m_sayCaption;
    // The caption of the button lit, while it is being said: the steps wait for it.
    quint64 m_caption = 0;
    bool m_captionSaying = false;
    ScanTimer m_timer;
    ButtonHighlighter m_highlighter;
    SwitchTiming m_timing;
    SelectionGuard m_guard;
    // Redraws the countdown on the highlighted button while the steps run.
    QTimer m_countdownFrames;
    QPointer<QLabel> m_stoppedPrompt;
    QPointer<QLabel> m_unpluggedNotice;
    QTimer m_noticeTime;
    // Wakes while a press is timed, to fill its bar and to let it count.
    QTimer m_pressTimer;
    int m_timedKey = Scan::kOtherInput;
    SwitchInputFilter m_keys;
};
