#include "formavvio.h"

#include "feedback/colours.h"
#include "layout/formnames.h"
#include "layout/picturebox.h"
#include "scanning/scancycles.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"

#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>

FormAvvio::FormAvvio(QWidget *parent)
    : Form(FormName::kStart, QSize(9600, 7200), parent)
{
    const QString images = appState().ApplicationFolder + QStringLiteral("/images/");

    // 199 x 195 pixels at design size.
    m_welcomePicture = addControl(new PictureBox, QRect(3308, 360, 2985, 2925));
    m_welcomePicture->setObjectName(QStringLiteral("Image1"));
    m_welcomePicture->load(images + QStringLiteral("benvenuto.svg"));

    m_startButton = addControl(new QPushButton(QStringLiteral("Avvio")), QRect(2400, 3720, 4800, 2640));
    m_startButton->setObjectName(QStringLiteral("BottoneAvvio"));
    m_startButton->setFont(QFont(QStringLiteral("Comic Sans MS"), 18, QFont::Bold));
    m_startButton->setIcon(QIcon(images + QStringLiteral("avvio.svg")));
    m_startButton->setCursor(Qt::PointingHandCursor);
    connect(m_startButton, &QPushButton::clicked, this, &FormAvvio::onStartClicked);
    m_switches = new SwitchInputFilter(
        this,
        [this](int input) {
            if (input != Scan::kOtherInput)
                m_startButton->click();
        },
        {}, this);
    // The teacher's Enter starts as well.
    m_switches->letOtherKeysPass();
}

void FormAvvio::formLoad()
{
    setBackgroundColour(windowBackgroundColour());
}

void FormAvvio::formActivate()
{
    m_startButton->setFocus();
    m_switches->setActive(isScanning(appState().Settings.inputMode()));
}

void FormAvvio::formResize()
{
    Form::formResize();
    // The picture on the button grows with the button; its caption does not.
    const int side = m_startButton->height() * 11 / 20;
    m_startButton->setIconSize(QSize(side, side));
}

void FormAvvio::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        m_startButton->click();
    else
        Form::keyPressEvent(event);
}

void FormAvvio::onStartClicked()
{
    showForm(FormName::kMainMenu);
}

#include "moc_formavvio.cpp"
