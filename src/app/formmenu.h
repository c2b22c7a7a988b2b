#pragma once

#include "menuform.h"

class QAction;
class QComboBox;

// The main menu: the eight topic families, the user list, the way out.
class FormMenu : public MenuForm
{
    Q_OBJECT

public:
    explicit FormMenu(QWidget *parent = nullptr);

    QComboBox *userList() const { return m_combo1; }
    QAction *recordAction() const { return m_mnuEsesrciziEseguiti; }
    QAction *configurationAction() const { return m_mnuConfig; }
    QAction *manualAction() const { return m_mnuDocum; }
    QAction *aboutAction() const { return m_mnuAbout; }

protected:
    void formLoad() override;
    void Command1_Click(int index) override;
    void afterFontFitted() override;

private:
    void endProgram();
    void Combo1_Click(int index);
    void FillUserList();
    void updateRecordEntry();
    void tellOfUnreadableProfiles();

    QComboBox *m_combo1 = nullptr;
    QAction *m_mnuConfig = nullptr;
    QAction *m_mnuEsesrciziEseguiti = nullptr;
    QAction *m_mnuDocum = nullptr;
    QAction *m_mnuAbout = nullptr;
    QString m_loadedUserName;
};
