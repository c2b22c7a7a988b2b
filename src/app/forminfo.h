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

    QLabel *credits() const { return m_label1; }
    QLabel *notice() const { return m_label3; }
    QLabel *fontCredit() const { return m_label2; }
    QPushButton *closeButton() const { return m_command1; }

protected:
    void formActivate() override;

private:
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QPushButton *m_command1 = nullptr;
};
