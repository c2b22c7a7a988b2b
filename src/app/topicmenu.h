#pragma once

#include "catalogue.h"
#include "menuform.h"

// One topic menu, built from its row of the catalogue: the eight menus are
// this class with different content.
class TopicMenuForm : public MenuForm
{
    Q_OBJECT

public:
    explicit TopicMenuForm(const Catalogue::TopicMenu &menu, QWidget *parent = nullptr);

    const Catalogue::TopicMenu &menu() const { return m_menu; }

    // Fills the word store with the menu's review and opens the review
    // window; a menu without a review list does nothing.
    void openReview();

protected:
    void formActivate() override;
    void onButtonChosen(int index) override;

private:
    const Catalogue::TopicMenu &m_menu;
};
