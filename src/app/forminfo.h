#pragma once

#include "layout/form.h"

class QLabel;
class QPushButton;

// Who made the program and on what terms it may be shared.
class FormInfo : public Form
{
    Q_OBJECT

public:
    explicit FormInfo(QWidget *parent = nullptr);

    QLabel *credits() const { return m_credits; }
    QLabel *notice() const { return m_notice; }
    QLabel *fontCredit() const { return m_fontCredit; }
    QPushButton *closeButton() const { return m_closeButton; }

protected:
    void formActivate() override;

private:
    QLabel *m_credits = nullptr;
    QLabel *m_fontCredit = nullptr;
    QLabel *m_notice = nullptr;
    QLabel *m_lastLine = nullptr;
    QPushButton *m_closeButton = nullptr;
};
