#include "placeholderform.h"

#include "exercises/exercisewindow.h"
#include "feedback/colours.h"

#include <QLabel>
#include <QPushButton>

PlaceholderForm::PlaceholderForm(
    const QString &name, const QString &message, const QString &backTo, QWidget *parent)
    : Form(name, QSize(9030, 5040), parent)
    , m_backTo(backTo)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(20);

    m_message = addControl(new QLabel(message), QRect(600, 600, 7830, 2400));
    m_message->setObjectName(QStringLiteral("Label1"));
    m_message->setFont(font);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);

    m_back = addControl(new QPushButton(QStringLiteral("menu")), QRect(6120, 3840, 2800, 1000));
    m_back->setObjectName(QStringLiteral("Command1"));
    m_back->setFont(font);
    connect(m_back, &QPushButton::clicked, this, &PlaceholderForm::goBack);
}

void PlaceholderForm::formLoad()
{
    setBackgroundColour(windowBackgroundColour());
}

void PlaceholderForm::goBack()
{
    showForm(m_backTo.isEmpty() ? ExerciseWindow::menuToReturnTo() : m_backTo);
}
