#pragma once

#include "layout/form.h"

class QPushButton;
class QTextEdit;

// The record of the exercises done in this run, as a document headed by the
// user's name and the date; it can be printed and saved as RTF.
class FormEserciziEseguiti : public Form
{
    Q_OBJECT

public:
    explicit FormEserciziEseguiti(QWidget *parent = nullptr);

    QTextEdit *document() const { return m_richTextBox1; }
    QPushButton *printButton() const { return m_command1; }
    QPushButton *saveButton() const { return m_command2; }
    QAction *exitAction() const { return m_mnuEsci; }

protected:
    void formActivate() override;

private:
    void Command1_Click();
    void Command2_Click();

    QTextEdit *m_richTextBox1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command2 = nullptr;
    QAction *m_mnuEsci = nullptr;
};
