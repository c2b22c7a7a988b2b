#pragma once

#include "layout/form.h"

#include "records/worksheet.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The worksheet of the list being played, shown over the exercise: words
// ("formStampa") or sentences ("formStampaFrasi"). It is rebuilt each time
// it is shown; the font chosen changes the screen only, the printout is
// always in "MS Sans Serif" 14.
class FormStampa : public Form
{
    Q_OBJECT

public:
    explicit FormStampa(Worksheet::Kind kind, QWidget *parent = nullptr);

    static QString formNameFor(Worksheet::Kind kind);

    QPlainTextEdit *sheet() const { return m_txtCD; }
    QPushButton *printButton() const { return m_btnCD; }
    QPushButton *fontButton() const { return m_command1; }
    QPushButton *exitButton() const { return m_bottoneEsci; }

protected:
    void formActivate() override;

private:
    void btnCD_Click();
    void Command1_Click();

    Worksheet::Kind m_kind;
    QPlainTextEdit *m_txtCD = nullptr;
    QPushButton *m_btnCD = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_bottoneEsci = nullptr;
    QLabel *m_labelFontSelezionato = nullptr;
};
