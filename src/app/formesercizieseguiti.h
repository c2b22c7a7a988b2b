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

    QTextEdit *document() const { return m_document; }
    QPushButton *printButton() const { return m_printButton; }
    QPushButton *saveButton() const { return m_saveButton; }
    QAction *exitAction() const { return m_exitAction; }

protected:
    void formActivate() override;

private:
    void onPrintClicked();
    void onSaveClicked();

    QTextEdit *m_document = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QAction *m_exitAction = nullptr;
};
