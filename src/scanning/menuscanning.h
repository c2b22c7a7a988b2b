#pragma once

#include "buttonhighlight.h"
#include "scancycles.h"
#include "scantimer.h"
#include "switchkeys.h"

#include <QList>
#include <QObject>

#include <functional>

class QPushButton;

// Switch access for a menu window: the scan over its buttons with the
// profile's input mode, interval and colours, and in mouse mode the red
// highlight under the pointer. Selecting a button calls `click`, the same
// action as a mouse click.
class MenuScanning : public QObject, private MenuScanActions
{
    Q_OBJECT

public:
    MenuScanning(QWidget *window, QWidget *background, const QList<QPushButton *> &buttons,
        std::function<void(int)> click);
    ~MenuScanning() override;

    // The window has been shown: the scan starts in the profile's mode.
    void activate();
    // The window goes away: timer and keys stop.
    void deactivate();

    const ScanTimer &timer() const { return m_timer; }
    const ButtonHighlighter &highlighter() const { return m_highlighter; }
    void tick() { m_scan.tick(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void highlight(int index) override;
    void select(int index) override;
    void runTimer(bool run) override;

    void mouseOverButton(int index);
    void mouseOverBackground();

    QWidget *m_background = nullptr;
    QList<QPushButton *> m_buttons;
    std::function<void(int)> m_click;
    MenuScan m_scan;
    ScanTimer m_timer;
    ButtonHighlighter m_highlighter;
    SwitchKeyFilter m_keys;
};
