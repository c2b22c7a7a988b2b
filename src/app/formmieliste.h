#pragma once

#include "catalogue.h"
#include "menuform.h"
#include "teacherlists.h"

// The teacher's own lists of the topic menu last shown (by TopicMarker), a
// button each, twelve a page; "altre liste" shows the next page, and
// "indietro" goes back to the topic menu. A list plays in the window of its
// kind, which goes back to the topic menu too.
class FormMieListe : public MenuForm
{
    Q_OBJECT

public:
    static constexpr int kListsPerPage = 12;

    explicit FormMieListe(QWidget *parent = nullptr);

    // The lists on this page, in the order of their buttons from the first.
    const QList<TeacherList> &lists() const { return m_lists; }
    // "altre liste"; nullptr when every list is on one page.
    QPushButton *moreButton() const;
    QPushButton *backButton() const;

    // A school's list is marked on its button, and so is what a list drills
    // when another of the topic's lists has its name; a long caption is shown
    // on two lines, broken at the blank nearest its middle.
    static QString captionOf(const TeacherList &list, const QList<TeacherList> &topicLists = {});

protected:
    void onButtonChosen(int index) override;
    // A name too long for the size the captions were given makes every
    // list's caption smaller, down to a least size.
    void afterFontFitted() override;

private:
    const Catalogue::TopicMenu *m_menu = nullptr;
    QList<TeacherList> m_lists;
    int m_page = 0;
    int m_pages = 1;
    int m_moreIndex = -1;
    int m_backIndex = -1;
};
