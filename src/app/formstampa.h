#pragma once

#include "layout/form.h"

#include "records/worksheet.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The worksheet of the list being played, shown over the exercise: words
// ("formStampa") or sentences ("formStampaFrasi"). It is rebuilt each time
// it is shown; the font chosen changes the screen only, the printout is
// always in "MS Sans Serif" 14. With "parole sbagliate" it holds only the
// words the pupil's history says are still to practise.
class FormStampa : public Form
{
    Q_OBJECT

public:
    explicit FormStampa(Worksheet::Kind kind, QWidget *parent = nullptr);

    static QString formNameFor(Worksheet::Kind kind);

    QPlainTextEdit *sheet() const { return m_sheet; }
    QPushButton *printButton() const { return m_printButton; }
    QPushButton *fontButton() const { return m_fontButton; }
    QPushButton *exitButton() const { return m_exitButton; }
    // "parole sbagliate": the sheet of the pupil's words of this list still to practise.
    QCheckBox *missedWordsBox() const { return m_missedWords; }

protected:
    void formActivate() override;

private:
    void onPrintClicked();
    void onFontClicked();
    void fillSheet();

    Worksheet::Kind m_kind;
    QPlainTextEdit *m_sheet = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_fontButton = nullptr;
    QPushButton *m_exitButton = nullptr;
    QLabel *m_chosenFont = nullptr;
    QCheckBox *m_missedWords = nullptr;
};
