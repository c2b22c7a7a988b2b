#include "formprogressi.h"

#include "printouts.h"
#include "progressreport.h"

#include "feedback/colours.h"
#include "layout/commondialogs.h"
#include "layout/dialogs.h"
#include "layout/formnames.h"
#include "records/history.h"
#include "records/printing.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QGraphicsScene>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>
#include <QUrl>
#include <QValueAxis>

#include <memory>

namespace {

constexpr int kOneInch = 1440;

// One colour a topic, told apart on screen and on a grey printout alike.
const QList<QColor> &topicColours()
{
    static const QList<QColor> colours
        = {QColor(0x1f77b4), QColor(0xd62728), QColor(0x2ca02c), QColor(0xff7f0e), QColor(0x9467bd),
            QColor(0x8c564b), QColor(0xe377c2), QColor(0x17becf), QColor(0x7f7f7f)};
    return colours;
}

QDateTime chartTime(const QDate &day)
{
    return QDateTime(day, QTime(0, 0));
}

// The chart of the shares of right answers; the caller owns it.
QChart *makeChart(const ProgressReport::Chart &data)
{
    auto *chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(arialFont(9));

    auto *timeAxis = new QDateTimeAxis;
    timeAxis->setFormat(
        data.first.daysTo(data.last) > 365 ? QStringLiteral("dd/MM/yy") : QStringLiteral("dd/MM"));
    timeAxis->setLabelsFont(arialFont(9));
    timeAxis->setTitleText(data.weekly ? QStringLiteral("Settimane") : QStringLiteral("Giorni"));
    timeAxis->setTitleFont(arialFont(9));
    QDate first = data.first.isValid() ? data.first : QDate::currentDate();
    QDate last = data.last.isValid() ? data.last : first;
    // A single day still gets a width, with its points in the middle.
    if (first == last) {
        first = first.addDays(-1);
        last = last.addDays(1);
    }
    timeAxis->setRange(chartTime(first), chartTime(last));
    timeAxis->setTickCount(int(qBound(qint64(2), first.daysTo(last) / (data.weekly ? 7 : 1) + 1, qint64(6))));
    chart->addAxis(timeAxis, Qt::AlignBottom);

    auto *shareAxis = new QValueAxis;
    shareAxis->setRange(0, 100);
    shareAxis->setTickCount(6);
    shareAxis->setLabelFormat(QStringLiteral("%d%%"));
    shareAxis->setLabelsFont(arialFont(9));
    shareAxis->setTitleText(QStringLiteral("Risposte giuste"));
    shareAxis->setTitleFont(arialFont(9));
    chart->addAxis(shareAxis, Qt::AlignLeft);

    for (const ProgressReport::Series &data : data.series) {
        auto *series = new QLineSeries;
        series->setName(data.caption);
        const QList<QColor> &colours = topicColours();
        QPen pen(colours[qMin(data.colourIndex, int(colours.size()) - 1)]);
        pen.setWidthF(2.5);
        series->setPen(pen);
        series->setPointsVisible(true);
        for (const ProgressReport::Point &point : data.points)
            series->append(double(chartTime(point.start).toMSecsSinceEpoch()), point.percent());
        chart->addSeries(series);
        series->attachAxis(timeAxis);
        series->attachAxis(shareAxis);
    }
    chart->legend()->setVisible(!data.series.isEmpty());
    return chart;
}

QTableWidget *makeTable(const QStringList &headers, const QString &objectName, const QString &accessibleName)
{
    auto *table = new QTableWidget(0, int(headers.size()));
    table->setObjectName(objectName);
    table->setAccessibleName(accessibleName);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->setVisible(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFont(arialFont(10));
    table->horizontalHeader()->setFont(arialFont(10, true));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return table;
}

void fillTable(QTableWidget *table, const QList<QStringList> &rows)
{
    table->setRowCount(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size(); ++column) {
            auto *item = new QTableWidgetItem(rows[row][column]);
            if (column > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    table->resizeRowsToContents();
}

// A table for the printout: a header row, then the rows.
QString htmlTable(const QStringList &headers, const QList<QStringList> &rows)
{
    QString html
        = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>");
    for (const QString &header : headers)
        html += QStringLiteral("<th>%1</th>").arg(header.toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (const QStringList &row : rows) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < row.size(); ++column) {
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(column > 0 ? QStringLiteral(" align=\"right\"") : QString(),
                            row[column].toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString fileNamePart(const QString &pupil)
{
    QString name = ProgressReport::pupilCaption(pupil).toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    return name;
}

} // namespace

FormProgressi::FormProgressi(QWidget *parent)
    : Form(FormName::kProgress, QSize(9600, 7200), parent)
{
    m_title = addControl(new QLabel, QRect(240, 120, 6120, 420));
    m_title->setObjectName(QStringLiteral("lblAlunno"));
    m_title->setFont(arialFont(14, true));

    m_periodList = addControl(new QComboBox, QRect(6600, 120, 2760, 420));
    m_periodList->setObjectName(QStringLiteral("cmbPeriodo"));
    m_periodList->setAccessibleName(QStringLiteral("Periodo"));
    m_periodList->setFont(arialFont(11));
    for (const ProgressReport::PeriodChoice &choice : ProgressReport::periodChoices())
        m_periodList->addItem(choice.caption);
    m_periodList->setCurrentIndex(ProgressReport::kDefaultPeriodIndex);

    m_summary = addControl(new QLabel, QRect(240, 580, 9120, 340));
    m_summary->setObjectName(QStringLiteral("lblRiepilogo"));
    m_summary->setFont(arialFont(11));

    m_chartView = addControl(new QChartView, QRect(240, 960, 5880, 2880));
    m_chartView->setObjectName(QStringLiteral("chartProgressi"));
    m_chartView->setAccessibleName(QStringLiteral("Grafico delle risposte giuste per argomento"));
    m_chartView->setRenderHint(QPainter::Antialiasing);

    m_notice = addControl(new QLabel, QRect(240, 960, 5880, 2880));
    m_notice->setObjectName(QStringLiteral("lblAvviso"));
    m_notice->setFont(arialFont(12));
    m_notice->setWordWrap(true);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->hide();

    m_missedWords = addControl(
        makeTable({QStringLiteral("Parola"), QStringLiteral("Errori")}, QStringLiteral("lstParoleSbagliate"),
            QStringLiteral("Le parole sbagliate più spesso")),
        QRect(6240, 960, 3120, 2880));
    m_missedWords->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    m_sessions = addControl(makeTable(ProgressReport::sessionHeaders(), QStringLiteral("tblSessioni"),
                                QStringLiteral("Sessioni")),
        QRect(240, 3960, 9120, 1140));
    // No room for a caption above it: the table names itself in its first
    // column, over the dates.
    QStringList checkHeaders = ProgressReport::switchCheckHeaders();
    checkHeaders[0] = QStringLiteral("Prove del sensore");
    m_switchChecks = addControl(
        makeTable(checkHeaders, QStringLiteral("tblProveSensore"), QStringLiteral("Prove del sensore")),
        QRect(240, 5220, 9120, 1140));
    for (QTableWidget *table : {m_sessions, m_switchChecks}) {
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    }

    m_printButton = addControl(new QPushButton(QStringLiteral("Stampa")), QRect(240, 6480, 1500, 600));
    m_printButton->setObjectName(QStringLiteral("cmdStampa"));
    m_exportButton = addControl(new QPushButton(QStringLiteral("Esporta CSV")), QRect(1860, 6480, 1700, 600));
    m_exportButton->setObjectName(QStringLiteral("cmdEsporta"));
    m_deleteButton = addControl(
        new QPushButton(QStringLiteral("Cancella la storia di questo alunno")), QRect(3680, 6480, 3960, 600));
    m_deleteButton->setObjectName(QStringLiteral("cmdCancella"));
    m_closeButton = addControl(new QPushButton(QStringLiteral("Chiudi")), QRect(7860, 6480, 1500, 600));
    m_closeButton->setObjectName(QStringLiteral("cmdChiudi"));
    for (QPushButton *button : {m_printButton, m_exportButton, m_deleteButton, m_closeButton})
        button->setFont(arialFont(11));

    connect(m_periodList, &QComboBox::activated, this, &FormProgressi::refresh);
    connect(m_printButton, &QPushButton::clicked, this, &FormProgressi::onPrintClicked);
    connect(m_exportButton, &QPushButton::clicked, this, &FormProgressi::onExportClicked);
    connect(m_deleteButton, &QPushButton::clicked, this, &FormProgressi::onDeleteClicked);
    connect(m_closeButton, &QPushButton::clicked, this, [this] { showForm(FormName::kMainMenu); });
}

void FormProgressi::formActivate()
{
    setBackgroundColour(windowBackgroundColour());
    m_title->setText(QStringLiteral("Progressi di %1").arg(ProgressReport::pupilCaption(pupil())));
    refresh();
}

void FormProgressi::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        showForm(FormName::kMainMenu);
        return;
    }
    Form::keyPressEvent(event);
}

QString FormProgressi::pupil() const
{
    return appState().UserName;
}

QDateTime FormProgressi::periodStart() const
{
    const int index = qMax(0, m_periodList->currentIndex());
    return ::periodStart(ProgressReport::periodChoices().at(index).period, QDateTime::currentDateTime());
}

void FormProgressi::refresh()
{
    const History &history = History::instance();
    const bool open = history.isOpen();
    for (QWidget *control : {static_cast<QWidget *>(m_periodList), static_cast<QWidget *>(m_printButton),
             static_cast<QWidget *>(m_exportButton), static_cast<QWidget *>(m_deleteButton)})
        control->setEnabled(open);
    m_chartView->setVisible(open);
    m_notice->setVisible(!open);
    if (!open) {
        QString text = QStringLiteral("La storia delle risposte non è disponibile.");
        if (!history.problem().isEmpty())
            text += QStringLiteral("\n") + history.problem();
        m_notice->setText(text);
        showProgress(Progress());
        return;
    }
    showProgress(history.progress(pupil(), periodStart()));
}

void FormProgressi::showProgress(const Progress &progress)
{
    const QDateTime from = periodStart();
    const ProgressReport::Chart chart = ProgressReport::chartOf(progress, from.date(), QDate::currentDate());
    // The view owns its chart, but only lets go of the one it replaces.
    const std::unique_ptr<QChart> replaced(m_chartView->chart());
    m_chartView->setChart(makeChart(chart));
    m_summary->setText(ProgressReport::summary(progress));
    fillTable(m_missedWords, ProgressReport::missedWordRows(progress));
    fillTable(m_sessions, ProgressReport::sessionRows(progress));
    fillTable(m_switchChecks, ProgressReport::switchCheckRows(progress));
}

void FormProgressi::onPrintClicked()
{
    const Progress progress = History::instance().progress(pupil(), periodStart());
    const ProgressReport::Chart chart
        = ProgressReport::chartOf(progress, periodStart().date(), QDate::currentDate());

    // The chart is drawn again at a size of its own, whatever the screen's,
    // and at twice its resolution so that it prints sharp.
    QChartView view(makeChart(chart));
    view.setRenderHint(QPainter::Antialiasing);
    const QSize size(640, 370);
    view.resize(size);
    // A view never shown lays its chart out when first grabbed.
    view.grab();
    QImage image(size * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        view.scene()->render(&painter, QRectF(image.rect()), QRectF(QPointF(0, 0), size));
    }

    QTextDocument document;
    document.setDefaultFont(arialFont(11));
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("grafico.png")), image);
    // Only pupils who use a switch have checks: the others' printouts do without.
    const QString checks = progress.switchChecks.isEmpty() ? QString()
                                                           : QStringLiteral("<h3>Prove del sensore</h3>")
            + htmlTable(ProgressReport::switchCheckHeaders(), ProgressReport::switchCheckRows(progress));
    const QString html
        = QStringLiteral("<h2>Progressi di %1</h2><p>%2 &mdash; %3</p>"
                         "<p><img src=\"grafico.png\" width=\"560\" height=\"324\"></p>"
                         "<h3>Le parole sbagliate più spesso</h3>%4"
                         "<h3>Sessioni</h3>%5%6")
              .arg(ProgressReport::pupilCaption(pupil()).toHtmlEscaped(),
                  m_periodList->currentText().toHtmlEscaped(),
                  ProgressReport::summary(progress).toHtmlEscaped(),
                  htmlTable({QStringLiteral("Parola"), QStringLiteral("Errori")},
                      ProgressReport::missedWordRows(progress)),
                  htmlTable(ProgressReport::sessionHeaders(), ProgressReport::sessionRows(progress)), checks);
    document.setHtml(html);
    printOrSaveAsPdf(this, QStringLiteral("i progressi"), [&document](QPrinter &printer) {
        return printDocument(document, kOneInch, kOneInch, kOneInch, kOneInch, printer);
    });
}

void FormProgressi::onExportClicked()
{
    QString reason;
    const QString folder = userDataFolder(&reason);
    if (folder.isEmpty()) {
        Dialogs::error(this, QStringLiteral("Non ho potuto preparare la cartella dei dati: %1.").arg(reason));
        return;
    }
    const QString path = chooseFilePath(this, CommonDialogs::FileMode::Save, QStringLiteral("Esporta CSV"),
        QStringLiteral("progressi-%1.csv").arg(fileNamePart(pupil())),
        {{QStringLiteral("CSV"), QStringLiteral("*.csv")}}, folder, QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    if (!SettingsFolders::writeFile(path, History::instance().csv(pupil(), periodStart()), &reason)) {
        Dialogs::error(this,
            QStringLiteral("Non ho potuto salvare il file %1: %2.")
                .arg(QDir::toNativeSeparators(path), reason));
    }
}

void FormProgressi::onDeleteClicked()
{
    const QString name = ProgressReport::pupilCaption(pupil());
    if (!Dialogs::cautiousQuestion(this,
            QStringLiteral("Vuoi cancellare tutta la storia delle risposte di %1?\r\n"
                           "Non si potrà più recuperare.")
                .arg(name)))
        return;
    History &history = History::instance();
    if (!history.removePupil(pupil())) {
        Dialogs::error(this,
            QStringLiteral("Non ho potuto cancellare la storia di %1. %2")
                .arg(name, history.problem())
                .trimmed());
    }
    refresh();
}

#include "moc_formprogressi.cpp"
