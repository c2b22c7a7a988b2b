#pragma once

#include "layout/form.h"

#include <QList>

class QAction;
class QComboBox;
class QPushButton;

// The main menu: the eight topic families, the user list, the way out.
class FormMenu : public Form
{
    Q_OBJECT

public:
    explicit FormMenu(QWidget *parent = nullptr);

    QPushButton *button(int index) const { return m_command1.value(index); }
    QComboBox *userList() const { return m_combo1; }
    QAction *recordAction() const { return m_mnuEsesrciziEseguiti; }
    QAction *configurationAction() const { return m_mnuConfig; }
    QAction *manualAction() const { return m_mnuDocum; }
    QAction *aboutAction() const { return m_mnuAbout; }

protected:
    void formLoad() override;
    void formActivate() override;

private:
    void Command1_Click(int index);
    void Combo1_Click(int index);
    void FillUserList();
    void updateRecordEntry();

    QList<QPushButton *> m_command1;
    QComboBox *m_combo1 = nullptr;
    QAction *m_mnuConfig = nullptr;
    QAction *m_mnuEsesrciziEseguiti = nullptr;
    QAction *m_mnuDocum = nullptr;
    QAction *m_mnuAbout = nullptr;
    QString m_loadedUserName;
    int m_scanIndex = 0;
};
