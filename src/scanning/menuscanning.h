#pragma once

#include "scancycles.h"
#include "scansession.h"

#include <QList>
#include <QObject>

#include <functional>

class QPushButton;

// Switch access for a menu window: the scan over its buttons, one by one or
// by rows, with the profile's input mode and switch settings, and in mouse
// mode the red highlight under the pointer. Selecting a button calls
// `click`, the same action as a mouse click.
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

    // The pupil works the window by switches: see ScanSession::active().
    bool active() const { return m_session.active(); }
    const ScanTimer &timer() const { return m_session.timer(); }
    const ButtonHighlighter &highlighter() const { return m_session.highlighter(); }
    void tick() { m_scan.tick(); }
    bool stopped() const { return m_scan.stopped(); }
    const ScanSession &session() const { return m_session; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void highlight(const QList<int> &buttons) override;
    void select(int index) override;
    void runTimer(Scan::Timer timer) override;
    void selectionMade() override { m_session.selectionMade(); }
    void showStopped(bool stopped) override { m_session.showStopped(stopped); }

    void mouseOverButton(int index);
    void mouseOverBackground();

    QWidget *m_background = nullptr;
    QList<QPushButton *> m_buttons;
    std::function<void(int)> m_click;
    MenuScan m_scan;
    ScanSession m_session;
};
