#include "forminfo.h"

#include "layout/formnames.h"

#include <QLabel>
#include <QPushButton>

FormInfo::FormInfo(QWidget *parent)
    : Form(FormName::kAbout, QSize(8535, 6420), parent)
{
    const QList<QPair<QLabel **, QRect>> labels = {
        {&m_credits, QRect(240, 240, 8055, 1680)},
        // Two lines: on a small screen the font credit wraps.
        {&m_fontCredit, QRect(240, 2040, 8055, 600)},
        {&m_notice, QRect(240, 2760, 8055, 2280)},
        {&m_lastLine, QRect(240, 5040, 5160, 240)},
    };
    int number = 1;
    for (const auto &[label, place] : labels) {
        *label = addControl(new QLabel, place);
        (*label)->setObjectName(QStringLiteral("Label%1").arg(number++));
        (*label)->setFont(arialFont(14.25));
        (*label)->setWordWrap(true);
        (*label)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    m_closeButton = addControl(new QPushButton(QStringLiteral("Chiudi")), QRect(5640, 5280, 2655, 975));
    m_closeButton->setObjectName(QStringLiteral("Command1"));
    m_closeButton->setFont(arialFont(14.25));
    connect(m_closeButton, &QPushButton::clicked, this, [this] { showForm(FormName::kMainMenu); });
}

void FormInfo::formActivate()
{
    const QString lineEnd = QStringLiteral("\r\n");
    m_credits->setText(QStringList{
        QStringLiteral("Software di"),
        QStringLiteral("gli sviluppatori di Velmora"),
        QString(),
        QStringLiteral("Gli archivi di parole e di frasi sono anch'essi opera del progetto Velmora,"),
        QStringLiteral("scritti apposta per i bambini della scuola primaria."),
    }
                           .join(lineEnd));
    m_notice->setText(QStringList{
        QStringLiteral("Velmora è software libero: puoi copiarlo, usarlo e modificarlo secondo i termini "
                       "della GNU General Public License, versione 3 o successiva."),
        QStringLiteral("Il programma è distribuito nella speranza che sia utile, ma senza alcuna garanzia."),
        QStringLiteral("Gli archivi di parole della cartella testidifort sono semplici file di testo: "
                       "gli insegnanti possono modificarli e arricchirli liberamente."),
    }
                          .join(lineEnd));
    m_fontCredit->setText(
        QStringLiteral("Corsivo scolastico: Playwrite IT Trad, licenza SIL Open Font License 1.1 "
                       "(file indis1-OFL.txt)"));
    m_lastLine->clear();
}

#include "moc_forminfo.cpp"
