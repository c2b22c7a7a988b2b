#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include "switchinput.h"

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
    // Forgets the controller buttons down, whose controller went away.
    void clearControllers();

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

// While scanning, every key pressed in the window, and each click of a
// mouse button that is one of the pupil's switches, reaches the scanner and
// nothing else: a focused button never takes a space or an Enter itself,
// menu shortcuts do not fire, and a switch interface that clicks selects
// wherever the pointer stands. Controller buttons come from the controller
// source. A release counts only when this scan received the press, so the
// Enter that opened the window, or that answered a message box over it,
// does nothing here. Other windows (message boxes, menus that are open)
// keep their keys and clicks.
class SwitchInputFilter : public QObject
{
    Q_OBJECT

public:
    // Called with Scan::kSwitch1, Scan::kSwitch2 or Scan::kOtherInput.
    using Handler = std::function<void(int input)>;

    SwitchInputFilter(QWidget *scope, Handler pressed, Handler released, QObject *parent = nullptr);
    ~SwitchInputFilter() override;

    // Active, it reads the switches the profile names at that moment.
    void setActive(bool active);
    bool isActive() const { return m_active; }
    // Keys that are no switch go on to the window, for a window that is
    // worked with the keyboard as well.
    void letOtherKeysPass() { m_otherKeysPass = true; }
    const SwitchMap &switches() const { return m_switches; }

Q_SIGNALS:
    // A controller went away while one of the switches is a controller button.
    void controllerUnplugged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool inScope(QObject *watched) const;
    bool mouseEvent(QEvent *event);
    void controllerButton(int button, bool pressed);
    // Passes the press or release of one input on, once.
    void input(int id, int which, bool pressed);

    QPointer<QWidget> m_scope;
    Handler m_pressed;
    Handler m_released;
    SwitchMap m_switches;
    KeyPresses m_down;
    QList<QMetaObject::Connection> m_controller;
    bool m_active = false;
    bool m_otherKeysPass = false;
};
