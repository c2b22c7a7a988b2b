#include "placeholderform.h"

#include "feedback/colours.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

PlaceholderForm::PlaceholderForm(const QString &name, const QString &message, QWidget *parent)
    : Form(name, QSize(9030, 5040), parent)
{
    m_message = addControl(new QLabel(message), QRect(600, 600, 7830, 2400));
    m_message->setObjectName(QStringLiteral("Label1"));
    m_message->setFont(QFont(QStringLiteral("Arial"), 20));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);

    m_exit = addControl(new QPushButton(QStringLiteral("Esci")), QRect(6120, 3840, 2800, 1000));
    m_exit->setObjectName(QStringLiteral("Command1"));
    m_exit->setFont(QFont(QStringLiteral("Arial"), 20));
    connect(m_exit, &QPushButton::clicked, qApp, &QApplication::quit);
}

void PlaceholderForm::formLoad()
{
    setBackgroundColour(windowBackgroundColour());
}
