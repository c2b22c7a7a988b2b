#include "formstampa.h"

#include "printouts.h"

#include "layout/dialogs.h"
#include "layout/formlog.h"
#include "layout/formnames.h"
#include "records/commondialogs.h"
#include "records/printing.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

FormStampa::FormStampa(Worksheet::Kind kind, QWidget *parent)
    : Form(formNameFor(kind), QSize(9600, 7200), parent)
    , m_kind(kind)
{
    setWindowTitle(QStringLiteral("Common Dialogs Example"));

    m_txtCD = addControl(new QPlainTextEdit, QRect(240, 240, 9120, 5640));
    m_txtCD->setObjectName(QStringLiteral("txtCD"));
    m_txtCD->setAccessibleName(QStringLiteral("Testo della scheda"));
    m_txtCD->setFont(arialFont(12));

    m_btnCD = addControl(new QPushButton(QStringLiteral("Stampa")), QRect(240, 6120, 1935, 735));
    m_btnCD->setObjectName(QStringLiteral("btnCD"));
    m_command1 = addControl(new QPushButton(QStringLiteral("Font")), QRect(2400, 6120, 1935, 735));
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_bottoneEsci = addControl(new QPushButton(QStringLiteral("Esci")), QRect(7425, 6120, 1935, 735));
    m_bottoneEsci->setObjectName(QStringLiteral("BottoneEsci"));
    for (QPushButton *button : {m_btnCD, m_command1, m_bottoneEsci})
        button->setFont(arialFont(12));

    // Only receives the font of the dialog.
    m_labelFontSelezionato = addControl(new QLabel(QStringLiteral("Label1")), QRect(4560, 6120, 2655, 735));
    m_labelFontSelezionato->setObjectName(QStringLiteral("LabelFontSelezionato"));
    m_labelFontSelezionato->hide();

    connect(m_btnCD, &QPushButton::clicked, this, &FormStampa::btnCD_Click);
    connect(m_command1, &QPushButton::clicked, this, &FormStampa::Command1_Click);
    connect(m_bottoneEsci, &QPushButton::clicked, this, &FormStampa::hideFromTop);
}

QString FormStampa::formNameFor(Worksheet::Kind kind)
{
    return kind == Worksheet::Kind::Sentences ? FormName::kSentenceSheet : FormName::kWordSheet;
}

void FormStampa::formActivate()
{
    m_txtCD->setPlainText(Worksheet::FaiScheda(m_kind));
    // A session driven from outside finds the buttons where they stand.
    logControls(clientArea());
}

void FormStampa::btnCD_Click()
{
    // The box shows CR LF as one line break and gives it back as LF.
    QString text = m_txtCD->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(14);
    // Wrapped on each printer's own page, in the font it prints.
    printOrSaveAsPdf(this, QStringLiteral("la scheda"),
        [&](QPrinter &printer) { return Printing::printText(printer, text, font); });
}

void FormStampa::Command1_Click()
{
    if (!ScegliFont(this, m_labelFontSelezionato))
        return;
    const std::optional<QFont> chosen = completeFont(this, m_labelFontSelezionato);
    if (!chosen)
        return;
    QFont font = m_txtCD->font();
    font.setFamily(chosen->family());
    font.setPointSize(chosen->pointSize());
    m_txtCD->setFont(font);
}
