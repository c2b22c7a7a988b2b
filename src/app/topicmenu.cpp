#include "topicmenu.h"

#include "layout/dialogs.h"
#include "records/activityrecord.h"
#include "state/appstate.h"

#include <QPushButton>

TopicMenuForm::TopicMenuForm(const Catalogue::TopicMenu &menu, QWidget *parent)
    : MenuForm(menu.formName, menu.designClientArea, parent)
    , m_menu(menu)
{
    for (const Catalogue::Button &entry : menu.buttons)
        addMenuButton(entry.caption, QRect(entry.position, Catalogue::kButtonSize));
    enableScanning();
}

void TopicMenuForm::formActivate()
{
    appState().TopicMarker = m_menu.marker;
    MenuForm::formActivate();
}

void TopicMenuForm::openReview()
{
    const ReviewReport report = loadReview(m_menu.review);
    // Told once, here: the review window plays whatever could be read.
    if (!report.ok())
        Dialogs::information(this, report.text());
    if (report.rows > 0)
        showForm(Catalogue::formNameFor(Catalogue::Opens::Review));
}

void TopicMenuForm::onButtonChosen(int index)
{
    const Catalogue::Button &entry = m_menu.buttons[index];
    if (index < m_menu.backIndex())
        ActivityRecord::addCaption(button(index)->text());

    AppState &state = appState();
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
