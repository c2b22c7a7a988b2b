#include "topicmenu.h"

#include "feedback/colours.h"
#include "records/activityrecord.h"
#include "state/appstate.h"

#include <QPushButton>

TopicMenuForm::TopicMenuForm(const Catalogue::TopicMenu &menu, QWidget *parent)
    : Form(menu.formName, menu.designClientArea, parent)
    , m_menu(menu)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(27.75);
    for (int i = 0; i < menu.buttons.size(); ++i) {
        const Catalogue::Button &entry = menu.buttons[i];
        auto *button
            = addControl(new QPushButton(entry.caption), QRect(entry.position, Catalogue::kButtonSize));
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        button->setFont(font);
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        m_command1 << button;
    }
}

void TopicMenuForm::formLoad()
{
    m_scanIndex = 0;
}

void TopicMenuForm::formActivate()
{
    appState().TopicMarker = m_menu.marker;
    for (QPushButton *button : std::as_const(m_command1)) {
        setButtonColour(button, appState().Settings.ButtonColour);
        button->setCursor(buttonPointer());
    }
    setBackgroundColour(windowBackgroundColour());
}

void TopicMenuForm::Command1_Click(int index)
{
    const Catalogue::Button &entry = m_menu.buttons[index];
    if (index < m_menu.backIndex())
        ActivityRecord::addCaption(m_command1[index]->text());

    AppState &state = appState();
    if (!entry.file.isEmpty())
        state.WordListPath = state.ApplicationFolder + u'/' + entry.file;
    if (entry.opens == Catalogue::Opens::TwoChoice) {
        state.ChoiceA = entry.choiceA;
        state.ChoiceB = entry.choiceB;
    }
    showForm(Catalogue::formNameFor(entry.opens));
}
