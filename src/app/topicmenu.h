#pragma once

#include "catalogue.h"
#include "menuform.h"

// One topic menu, built from its row of the catalogue: the eight menus are
// this class with different content. When the teacher has lists of the
// topic, one more button, after the catalogue's, leads to them.
class TopicMenuForm : public MenuForm
{
    Q_OBJECT

public:
    explicit TopicMenuForm(const Catalogue::TopicMenu &menu, QWidget *parent = nullptr);

    const Catalogue::TopicMenu &menu() const { return m_menu; }
    // "le mie liste"; nullptr when the topic has no list of the teacher's.
    QPushButton *myListsButton() const;

    // Fills the word store with the menu's review and opens the review
    // window; a menu without a review list does nothing.
    void openReview();

protected:
    void formActivate() override;
    void onButtonChosen(int index) override;

private:
    const Catalogue::TopicMenu &m_menu;
    int m_myListsIndex = -1;
};
