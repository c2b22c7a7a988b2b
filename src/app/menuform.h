#pragma once

#include "layout/form.h"

#include <QList>
#include <QPointer>
#include <QTimer>

#include <functional>

class MenuScanning;
class QPushButton;
class ScannedQuestion;

// What every menu shares: its row of buttons `Command1`, switch access over
// them, and the one-shot step after activation that sizes the captions to
// fill the buttons (FitButtonFont).
class MenuForm : public Form
{
    Q_OBJECT

public:
    QPushButton *button(int index) const { return m_command1.value(index); }
    int buttonCount() const { return int(m_command1.size()); }
    MenuScanning *scanning() const { return m_scanning; }
    // The question up over this menu, if any.
    ScannedQuestion *question() const;

    // Runs 20 ms after each activation, once the form has its final size.
    void FitButtonFont();
    bool fontFitPending() const { return m_timer1.isActive(); }

protected:
    MenuForm(const QString &name, const QSize &designClientTwips, QWidget *parent = nullptr);

    QPushButton *addMenuButton(const QString &caption, const QRect &twips);
    // Once every button is in place.
    void enableScanning();

    virtual void Command1_Click(int index) = 0;
    // The last step of FitButtonFont, before its timer stops.
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
    QList<QPushButton *> m_command1;
    QStringList m_captions; // as designed, before the pupil's letter case
    MenuScanning *m_scanning = nullptr;
    QPointer<ScannedQuestion> m_question;
    QTimer m_timer1;
};
