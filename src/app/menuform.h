#pragma once

#include "layout/form.h"

#include <QList>
#include <QPointer>
#include <QTimer>

#include <functional>

class MenuScanning;
class QPushButton;
class ScannedQuestion;

// What every menu shares: its buttons (objects named "Command1", an
// underscore and their index), switch access over them, and the one-shot step after activation that sizes
// the captions to fill the buttons (fitButtonFont).
class MenuForm : public Form
{
    Q_OBJECT

public:
    QPushButton *button(int index) const { return m_buttons.value(index); }
    int buttonCount() const { return int(m_buttons.size()); }
    MenuScanning *scanning() const { return m_scanning; }
    // The question up over this menu, if any.
    ScannedQuestion *question() const;

    // Runs 20 ms after each activation, once the form has its final size.
    void fitButtonFont();
    bool fontFitPending() const { return m_fontFitTimer.isActive(); }

protected:
    MenuForm(const QString &name, const QSize &designClientTwips, QWidget *parent = nullptr);

    // A button sized alone gets the largest text that fits it, never larger
    // than the others': its caption does not make theirs smaller.
    QPushButton *addMenuButton(const QString &caption, const QRect &twips, bool sizedAlone = false);
    // Once every button is in place.
    void enableScanning();

    // A button chosen, by a click or by the switches.
    virtual void onButtonChosen(int index) = 0;
    // The last step of fitButtonFont, before its timer stops.
    virtual void afterFontFitted() { }

    void formActivate() override;
    void formUnload() override;

    // The pupil's colours, pointer, letter case and way of working: on each
    // activation, and at once when another pupil is chosen.
    void applySettings();

    // Asks the pupil who scans, in a scanned window over this menu; the
    // menu's scan waits meanwhile. "Sì" runs `yes`; "No" starts the menu's
    // scan again as on arrival.
    void askWhileScanning(const QString &text, std::function<void()> yes);

private:
    QList<QPushButton *> m_buttons;
    QStringList m_captions; // as designed, before the pupil's letter case
    QList<bool> m_sizedAlone;
    MenuScanning *m_scanning = nullptr;
    QPointer<ScannedQuestion> m_question;
    QTimer m_fontFitTimer;
};
