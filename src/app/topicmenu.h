#pragma once

#include "catalogue.h"

#include "layout/form.h"

#include <QList>

class QPushButton;

// One topic menu, built from its row of the catalogue: the eight menus are
// this class with different content.
class TopicMenuForm : public Form
{
    Q_OBJECT

public:
    explicit TopicMenuForm(const Catalogue::TopicMenu &menu, QWidget *parent = nullptr);

    const Catalogue::TopicMenu &menu() const { return m_menu; }
    QPushButton *button(int index) const { return m_command1.value(index); }
    int buttonCount() const { return int(m_command1.size()); }

protected:
    void formLoad() override;
    void formActivate() override;

private:
    void Command1_Click(int index);

    const Catalogue::TopicMenu &m_menu;
    QList<QPushButton *> m_command1;
    int m_scanIndex = 0;
};
