#include "formesercizieseguiti.h"

#include "printouts.h"

#include "feedback/colours.h"
#include "layout/commondialogs.h"
#include "layout/dialogs.h"
#include "layout/formnames.h"
#include "records/activityrecord.h"
#include "records/printing.h"
#include "records/recorddocument.h"
#include "records/rtfwriter.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>

namespace {

constexpr int kOneInch = 1440;

} // namespace

FormEserciziEseguiti::FormEserciziEseguiti(QWidget *parent)
    : Form(FormName::kRecord, QSize(9600, 7200), parent)
{
    m_document = addControl(new QTextEdit, QRect(240, 240, 9120, 5640));
    m_document->setObjectName(QStringLiteral("RichTextBox1"));
    m_document->setAccessibleName(QStringLiteral("Documento delle attività eseguite"));
    m_document->setAcceptRichText(false);
    m_document->setFont(arialFont(12));

    m_printButton = addControl(new QPushButton(QStringLiteral("Stampa")), QRect(240, 6120, 1935, 735));
    m_printButton->setObjectName(QStringLiteral("Command1"));
    m_saveButton = addControl(new QPushButton(QStringLiteral("Salva")), QRect(2400, 6120, 1935, 735));
    m_saveButton->setObjectName(QStringLiteral("Command2"));
    for (QPushButton *button : {m_printButton, m_saveButton})
        button->setFont(arialFont(12));

    m_exitAction = menuBar()->addAction(QStringLiteral("&Esci"));
    m_exitAction->setObjectName(QStringLiteral("mnuEsci"));

    connect(m_printButton, &QPushButton::clicked, this, &FormEserciziEseguiti::onPrintClicked);
    connect(m_saveButton, &QPushButton::clicked, this, &FormEserciziEseguiti::onSaveClicked);
    connect(m_exitAction, &QAction::triggered, this, [this] { showForm(FormName::kMainMenu); });
}

void FormEserciziEseguiti::formActivate()
{
    setBackgroundColour(windowBackgroundColour());
    RecordDocument::build(appState().UserName, QDate::currentDate()).fill(*m_document->document());
}

void FormEserciziEseguiti::onPrintClicked()
{
    printOrSaveAsPdf(this, QStringLiteral("il documento"), [this](QPrinter &printer) {
        return printDocument(*m_document->document(), kOneInch, kOneInch, kOneInch, kOneInch, printer);
    });
}

void FormEserciziEseguiti::onSaveClicked()
{
    const QString failed = QStringLiteral("Si è verificato un errore!");
    QString reason;
    const QString folder = userDataFolder(&reason);
    if (folder.isEmpty()) {
        Dialogs::error(this, failed + QStringLiteral("\r\n") + reason);
        return;
    }
    const QString path = chooseFilePath(this, CommonDialogs::FileMode::Save, QStringLiteral("Salva"),
        QString(), {{QString(), QStringLiteral("*.rtf")}}, folder, QStringLiteral("rtf"));
    if (path.isEmpty()) {
        Dialogs::error(this, failed);
        return;
    }
    if (!SettingsFolders::writeFile(path, RtfWriter::write(*m_document->document()), &reason)) {
        Dialogs::error(this,
            failed
                + QStringLiteral("\r\nNon ho potuto salvare il file %1: %2.")
                      .arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    // Saved by hand: nothing is left for the save when the program ends.
    ActivityRecord::markSaved();
}

#include "moc_formesercizieseguiti.cpp"
