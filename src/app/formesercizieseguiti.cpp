#include "formesercizieseguiti.h"

#include "printouts.h"

#include "feedback/colours.h"
#include "layout/dialogs.h"
#include "layout/formnames.h"
#include "records/activityrecord.h"
#include "records/commondialogs.h"
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
    m_richTextBox1 = addControl(new QTextEdit, QRect(240, 240, 9120, 5640));
    m_richTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    m_richTextBox1->setAccessibleName(QStringLiteral("Documento delle attività eseguite"));
    m_richTextBox1->setAcceptRichText(false);
    m_richTextBox1->setFont(arialFont(12));

    m_command1 = addControl(new QPushButton(QStringLiteral("Stampa")), QRect(240, 6120, 1935, 735));
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2 = addControl(new QPushButton(QStringLiteral("Salva")), QRect(2400, 6120, 1935, 735));
    m_command2->setObjectName(QStringLiteral("Command2"));
    for (QPushButton *button : {m_command1, m_command2})
        button->setFont(arialFont(12));

    m_mnuEsci = menuBar()->addAction(QStringLiteral("&Esci"));
    m_mnuEsci->setObjectName(QStringLiteral("mnuEsci"));

    connect(m_command1, &QPushButton::clicked, this, &FormEserciziEseguiti::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &FormEserciziEseguiti::Command2_Click);
    connect(m_mnuEsci, &QAction::triggered, this, [this] { showForm(FormName::kMainMenu); });
}

void FormEserciziEseguiti::formActivate()
{
    setBackgroundColour(windowBackgroundColour());
    RecordDocument::build(appState().UserName, QDate::currentDate()).fill(*m_richTextBox1->document());
}

void FormEserciziEseguiti::Command1_Click()
{
    printOrSaveAsPdf(this, QStringLiteral("il documento"), [this](QPrinter &printer) {
        return StampaTestoRTF(*m_richTextBox1->document(), kOneInch, kOneInch, kOneInch, kOneInch, printer);
    });
}

void FormEserciziEseguiti::Command2_Click()
{
    const QString failed = QStringLiteral("Si è verificato un errore!");
    QString reason;
    const QString folder = userDataFolder(&reason);
    if (folder.isEmpty()) {
        Dialogs::error(this, failed + QStringLiteral("\r\n") + reason);
        return;
    }
    const QString path = ScegliFile(this, 2, QStringLiteral("Salva"), QString(),
        {{QString(), QStringLiteral("*.rtf")}}, folder, QStringLiteral("rtf"));
    if (path.isEmpty()) {
        Dialogs::error(this, failed);
        return;
    }
    if (!SettingsFolders::writeFile(path, RtfWriter::write(*m_richTextBox1->document()), &reason)) {
        Dialogs::error(this,
            failed
                + QStringLiteral("\r\nNon ho potuto salvare il file %1: %2.")
                      .arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    // Saved by hand: nothing is left for the save when the program ends.
    ActivityRecord::markSaved();
}
