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

    QComboBox *userList() const { return m_userList; }
    QAction *recordAction() const { return m_recordAction; }
    QAction *progressAction() const { return m_progressAction; }
    QAction *wordListsAction() const { return m_wordListsAction; }
    QAction *configurationAction() const { return m_configurationAction; }
    QAction *manualAction() const { return m_manualAction; }
    QAction *aboutAction() const { return m_aboutAction; }

protected:
    void formLoad() override;
    void onButtonChosen(int index) override;
    void afterFontFitted() override;

private:
    void endProgram();
    void onUserChosen(int index);
    void fillUserList();
    void updateRecordEntry();
    void tellOfUnreadableProfiles();

    QComboBox *m_userList = nullptr;
    QAction *m_configurationAction = nullptr;
    QAction *m_recordAction = nullptr;
    QAction *m_progressAction = nullptr;
    QAction *m_wordListsAction = nullptr;
    QAction *m_manualAction = nullptr;
    QAction *m_aboutAction = nullptr;
    QString m_loadedUserName;
};
