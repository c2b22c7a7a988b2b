#pragma once

#include "layout/form.h"

class QLabel;
class QPushButton;

// Stands for a window that is not built yet: says so, and offers a way out.
class PlaceholderForm : public Form
{
    Q_OBJECT

public:
    PlaceholderForm(const QString &name, const QString &message, QWidget *parent = nullptr);

protected:
    void formLoad() override;

private:
    QLabel *m_message = nullptr;
    QPushButton *m_exit = nullptr;
};
