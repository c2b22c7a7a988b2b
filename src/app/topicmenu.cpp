#include "topicmenu.h"

#include "teacherlists.h"

#include "layout/dialogs.h"
#include "layout/formnames.h"
#include "records/activityrecord.h"
#include "state/appstate.h"

#include <QPushButton>

TopicMenuForm::TopicMenuForm(const Catalogue::TopicMenu &menu, QWidget *parent)
    : MenuForm(menu.formName, menu.designClientArea, parent)
    , m_menu(menu)
{
    for (const Catalogue::Button &entry : menu.buttons)
        addMenuButton(entry.caption, QRect(entry.position, Catalogue::kButtonSize));
    // A pupil never meets a menu of no lists. The form is made afresh each
    // time it is shown, so a list saved meanwhile is seen the next time.
    if (!TeacherLists::forTopic(menu.topicFolder).isEmpty()) {
        m_myListsIndex = buttonCount();
        addMenuButton(Catalogue::kMyListsCaption,
            QRect(Catalogue::myListsPosition(menu), Catalogue::kButtonSize), true);
    }
    enableScanning();
}

QPushButton *TopicMenuForm::myListsButton() const
{
    return m_myListsIndex < 0 ? nullptr : button(m_myListsIndex);
}

void TopicMenuForm::formActivate()
{
    appState().TopicMarker = m_menu.marker;
    MenuForm::formActivate();
}

void TopicMenuForm::openReview()
{
    const ReviewReport report = loadReview(TeacherLists::review(m_menu));
    // Told once, here: the review window plays whatever could be read.
    if (!report.ok())
        Dialogs::information(this, report.text());
    if (report.rows > 0)
        showForm(Catalogue::formNameFor(Catalogue::Opens::Review));
}

void TopicMenuForm::onButtonChosen(int index)
{
    if (index < m_menu.backIndex() || index == m_myListsIndex)
        ActivityRecord::addCaption(button(index)->text());

    AppState &state = appState();
    if (index == m_myListsIndex) {
        state.MyListsPage = 0;
        showForm(FormName::kMyLists);
        return;
    }
    const Catalogue::Button &entry = m_menu.buttons[index];
    if (entry.opens == Catalogue::Opens::Review) {
        openReview();
        return;
    }
    if (!entry.file.isEmpty())
        state.WordListPath = state.ApplicationFolder + u'/' + entry.file;
    if (entry.opens == Catalogue::Opens::TwoChoice) {
        state.ChoiceA = entry.choiceA;
        state.ChoiceB = entry.choiceB;
    }
    showForm(Catalogue::formNameFor(entry.opens));
}

#include "moc_topicmenu.cpp"
