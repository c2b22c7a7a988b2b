#pragma once

#include "scanning/switchinput.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

class QWidget;

// "Press your switch": waits a few seconds for the next key, mouse button or
// controller button anywhere in the program and takes it, so a therapist
// sets up a switch by pressing it. Escape, the time running out and a left
// click on the cancel button give up; the input taken, and its release,
// reach no control.
class SwitchCapture : public QObject
{
    Q_OBJECT

public:
    static constexpr int kWaitSeconds = 10;

    explicit SwitchCapture(QObject *parent = nullptr);
    ~SwitchCapture() override;

    // A left click on `cancelButton` gives up rather than being taken.
    void start(QWidget *cancelButton);
    void cancel();
    bool waiting() const { return m_waiting; }
    int secondsLeft() const { return m_secondsLeft; }

Q_SIGNALS:
    void captured(const SwitchInput &input);
    void cancelled();
    // Once a second while waiting.
    void countdown(int secondsLeft);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stop();
    void take(const SwitchInput &input);
    void onSecond();

    QTimer m_seconds;
    int m_secondsLeft = 0;
    bool m_waiting = false;
    QPointer<QWidget> m_cancelButton;
    // Inputs taken whose release is still to come: it is kept from the controls too.
    QSet<int> m_releasesToEat;
    QMetaObject::Connection m_controller;
};
