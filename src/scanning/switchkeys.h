#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <functional>

class QKeyEvent;

// The keys that are down, each from its press to its release. A press of a
// key already down is the key repeating while it is held.
class KeyPresses
{
public:
    // False when the key is already down.
    bool press(int key);
    // False when the press of the key was not seen here.
    bool release(int key);
    void clear() { m_down.clear(); }

private:
    QSet<int> m_down;
};

// A switch held down for a second or more is still one press. On X11 a held
// key repeats as release and press pairs that Qt seldom marks as repeats;
// asking the X server for detectable auto-repeat leaves only the presses,
// which this guard drops while the pupil scans, before any window of the
// program sees them. Installed once, on the application, at start-up.
class KeyRepeatGuard : public QObject
{
    Q_OBJECT

public:
    static void install();
    // Whether the X server sends a held key as presses alone.
    static bool detectableAutoRepeat();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit KeyRepeatGuard(QObject *parent);

    KeyPresses m_down;
};

// While scanning, every key pressed in the window reaches the scanner and
// nothing else: a focused button never takes a space or an Enter itself, and
// menu shortcuts do not fire. A release counts only when this scan received
// the press, so the Enter that opened the window, or that answered a message
// box over it, does nothing here. Other windows (message boxes, menus that
// are open) keep their keys.
class SwitchKeyFilter : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(int key)>;

    SwitchKeyFilter(QWidget *scope, Handler keyDown, Handler keyUp, QObject *parent = nullptr);
    ~SwitchKeyFilter() override;

    void setActive(bool active);
    bool isActive() const { return m_active; }

    // Scan::kSwitch1, Scan::kSwitch2 or Scan::kOtherInput.
    static int keyCode(const QKeyEvent *event);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inScope(QObject *watched) const;

    QPointer<QWidget> m_scope;
    Handler m_keyDown;
    Handler m_keyUp;
    KeyPresses m_pressed;
    bool m_active = false;
};
