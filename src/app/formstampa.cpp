#include "formstampa.h"

#include "printouts.h"

#include "exercises/wordstore.h"
#include "feedback/speechtags.h"
#include "layout/commondialogs.h"
#include "layout/dialogs.h"
#include "layout/formlog.h"
#include "layout/formnames.h"
#include "records/history.h"
#include "records/printing.h"
#include "state/appstate.h"

#include <QCheckBox>
#include <QFileInfo>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

FormStampa::FormStampa(Worksheet::Kind kind, QWidget *parent)
    : Form(formNameFor(kind), QSize(9600, 7200), parent)
    , m_kind(kind)
{
    setWindowTitle(QStringLiteral("Common Dialogs Example"));

    m_sheet = addControl(new QPlainTextEdit, QRect(240, 240, 9120, 5640));
    m_sheet->setObjectName(QStringLiteral("txtCD"));
    m_sheet->setAccessibleName(QStringLiteral("Testo della scheda"));
    m_sheet->setFont(arialFont(12));

    m_printButton = addControl(new QPushButton(QStringLiteral("Stampa")), QRect(240, 6120, 1935, 735));
    m_printButton->setObjectName(QStringLiteral("btnCD"));
    m_fontButton = addControl(new QPushButton(QStringLiteral("Font")), QRect(2400, 6120, 1935, 735));
    m_fontButton->setObjectName(QStringLiteral("Command1"));
    m_exitButton = addControl(new QPushButton(QStringLiteral("Esci")), QRect(7425, 6120, 1935, 735));
    m_exitButton->setObjectName(QStringLiteral("BottoneEsci"));
    for (QPushButton *button : {m_printButton, m_fontButton, m_exitButton})
        button->setFont(arialFont(12));

    // Only receives the font of the dialog.
    m_chosenFont = addControl(new QLabel(QStringLiteral("Label1")), QRect(4560, 6120, 2655, 735));
    m_chosenFont->setObjectName(QStringLiteral("LabelFontSelezionato"));
    m_chosenFont->hide();

    m_missedWords
        = addControl(new QCheckBox(QStringLiteral("parole sbagliate")), QRect(4560, 6120, 2655, 735));
    m_missedWords->setObjectName(QStringLiteral("CheckParoleSbagliate"));
    m_missedWords->setFont(arialFont(12));
    connect(m_missedWords, &QCheckBox::toggled, this, &FormStampa::fillSheet);

    connect(m_printButton, &QPushButton::clicked, this, &FormStampa::onPrintClicked);
    connect(m_fontButton, &QPushButton::clicked, this, &FormStampa::onFontClicked);
    connect(m_exitButton, &QPushButton::clicked, this, &FormStampa::hideFromTop);
}

QString FormStampa::formNameFor(Worksheet::Kind kind)
{
    return kind == Worksheet::Kind::Sentences ? FormName::kSentenceSheet : FormName::kWordSheet;
}

void FormStampa::formActivate()
{
    fillSheet();
    // A session driven from outside finds the buttons where they stand.
    logControls(clientArea());
}

void FormStampa::onPrintClicked()
{
    // The box shows CR LF as one line break and gives it back as LF.
    QString text = m_sheet->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(14);
    // Wrapped on each printer's own page, in the font it prints.
    printOrSaveAsPdf(this, QStringLiteral("la scheda"),
        [&](QPrinter &printer) { return Printing::printText(printer, text, font); });
}

void FormStampa::onFontClicked()
{
    if (!chooseFontFor(this, m_chosenFont))
        return;
    const std::optional<QFont> chosen = completeFont(this, m_chosenFont);
    if (!chosen)
        return;
    QFont font = m_sheet->font();
    font.setFamily(chosen->family());
    font.setPointSize(chosen->pointSize());
    m_sheet->setFont(font);
}

void FormStampa::fillSheet()
{
    if (!m_missedWords->isChecked()) {
        m_sheet->setPlainText(Worksheet::build(m_kind));
        return;
    }
    const AppState &state = appState();
    const QStringList due = History::instance().dueWords(state.UserName, historyListName(state.WordListPath));
    QList<int> rows;
    for (int row = 1; row <= state.WordCount; ++row) {
        if (due.contains(untagged(completedItem(row))))
            rows << row;
    }
    m_sheet->setPlainText(Worksheet::build(m_kind, rows));
}

#include "moc_formstampa.cpp"
