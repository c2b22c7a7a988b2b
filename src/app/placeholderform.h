#pragma once

#include "layout/form.h"

class QLabel;
class QPushButton;

// Stands for a window that is not built yet: says so, and leads back.
class PlaceholderForm : public Form
{
    Q_OBJECT

public:
    // Back to the named form, or to the topic menu the marker names when
    // backTo is empty.
    PlaceholderForm(
        const QString &name, const QString &message, const QString &backTo, QWidget *parent = nullptr);

    QPushButton *backButton() const { return m_back; }

protected:
    void formLoad() override;

private:
    void goBack();

    QString m_backTo;
    QLabel *m_message = nullptr;
    QPushButton *m_back = nullptr;
};
