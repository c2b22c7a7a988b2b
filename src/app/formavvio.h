#pragma once

#include "layout/form.h"

class PictureBox;
class QPushButton;
class SwitchInputFilter;

// The start window: one large button that leads to the main menu.
class FormAvvio : public Form
{
    Q_OBJECT

public:
    explicit FormAvvio(QWidget *parent = nullptr);

    QPushButton *startButton() const { return m_startButton; }

protected:
    void formLoad() override;
    void formActivate() override;
    void formResize() override;
    // Enter, as well as space, starts: both are switch keys.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onStartClicked();

    QPushButton *m_startButton = nullptr;
    PictureBox *m_welcomePicture = nullptr;
    // A pupil who scans starts with either of the switches, whatever they are.
    SwitchInputFilter *m_switches = nullptr;
};
