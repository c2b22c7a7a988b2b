#include "formprovasensore.h"

#include "feedback/agent.h"
#include "feedback/colours.h"
#include "feedback/sounds.h"
#include "layout/formnames.h"
#include "records/history.h"
#include "scanning/scanclock.h"
#include "scanning/scancycles.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"
#include "state/logcategories.h"
#include "state/random.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPropertyAnimation>
#include <QPushButton>

#include <algorithm>
#include <climits>

namespace {

constexpr int kBoxes = 4;
const QString kStar = QStringLiteral("★");

QString yesNo(bool on)
{
    return on ? QStringLiteral("sì") : QStringLiteral("no");
}

void paint(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// One row of the results: what the proposal is about, and its values as the teacher reads them.
struct Row
{
    const char *name;
    QString title;
    QString current;
    QString proposed;
    QString why;
    bool changes = false;
};

QList<Row> rowsOf(const SwitchCheck::Proposal &p)
{
    const auto interval = [](qint16 quarters) { return SwitchCheck::secondsText(quarters * 250); };
    const auto time = [](const SwitchCheck::Proposed<qint16> &value, const char *name, const QString &title) {
        return Row{name, title, SwitchCheck::secondsText(value.current),
            SwitchCheck::secondsText(value.value), value.why, value.changes()};
    };
    const auto flag = [](const SwitchCheck::Proposed<bool> &value, const char *name, const QString &title) {
        return Row{name, title, yesNo(value.current), yesNo(value.value), value.why, value.changes()};
    };
    return {
        Row{"CheckAccettaIntervallo", QStringLiteral("Velocità di scansione"),
            interval(p.scanInterval.current), interval(p.scanInterval.value), p.scanInterval.why,
            p.scanInterval.changes()},
        time(p.acceptanceTime, "CheckAccettaAccettazione", QStringLiteral("Tempo di accettazione")),
        time(p.releaseTime, "CheckAccettaRilascio", QStringLiteral("Tempo di rilascio")),
        time(p.selectionGuard, "CheckAccettaAttesa", QStringLiteral("Attesa dopo una scelta")),
        flag(p.rowColumnScanning, "CheckAccettaRighe",
            QStringLiteral("Nei menu, scansione per righe e colonne")),
        flag(p.twoSwitches, "CheckAccettaDueSensori", QStringLiteral("Due sensori, scansione manuale")),
    };
}

QString summaryOf(const SwitchCheck::Figures &f)
{
    if (f.presses == 0)
        return QStringLiteral("Nessuna pressione del sensore durante la prova.");
    QStringList speeds;
    for (const SwitchCheck::Figures::Speed &speed : f.speeds) {
        speeds << QStringLiteral("a %1 s: %2 su %3")
                      .arg(QLocale(QLocale::Italian).toString(speed.speedMs / 1000.0, 'g', 2))
                      .arg(speed.hits)
                      .arg(speed.trials);
    }
    QString text = QStringLiteral("Stella presa in tempo %1 volte su %2").arg(f.hits).arg(f.trials);
    text += speeds.isEmpty() ? QStringLiteral(". ")
                             : QStringLiteral(" (%1). ").arg(speeds.join(QStringLiteral("; ")));
    if (f.delayMedianMs >= 0) {
        text += QStringLiteral("Ritardo tipico %1; 9 volte su 10 entro %2. ")
                    .arg(SwitchCheck::secondsText(f.delayMedianMs), SwitchCheck::secondsText(f.delayP90Ms));
    }
    if (f.holdMedianMs >= 0)
        text += QStringLiteral("Sensore tenuto premuto in media %1. ")
                    .arg(SwitchCheck::secondsText(f.holdMedianMs));
    text += QStringLiteral("Rimbalzi: %1. Pressioni a vuoto: %2. Stelle mancate: %3.")
                .arg(f.bounces)
                .arg(f.noTargetPresses)
                .arg(f.misses);
    return text;
}

} // namespace

FormProvaSensore::FormProvaSensore(QWidget *parent)
    : Form(FormName::kSwitchCheck, QSize(9600, 7200), parent)
{
    const auto label = [this](const QString &name, const QRect &twips, double points, bool bold = false) {
        auto *control = addControl(new QLabel, twips);
        control->setObjectName(name);
        control->setFont(arialFont(points, bold));
        control->setWordWrap(true);
        return control;
    };
    m_title = label(QStringLiteral("lblTitolo"), QRect(240, 120, 9120, 480), 14, true);
    m_instruction = label(QStringLiteral("lblIstruzione"), QRect(240, 720, 9120, 720), 24, true);
    m_instruction->setAlignment(Qt::AlignCenter);

    m_agentPlace = addControl(new QWidget, QRect(240, 1680, 2400, 3600));
    m_agentPlace->setObjectName(QStringLiteral("picAgent"));
    for (int i = 0; i < kBoxes; ++i) {
        QLabel *box = label(
            QStringLiteral("lblCasella_%1").arg(i), QRect(2880 + 1680 * i, 2280, 1440, 1800), 60, true);
        box->setFrameShape(QFrame::Box);
        box->setLineWidth(3);
        box->setAlignment(Qt::AlignCenter);
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, QColor(0xC8, 0x8C, 0x00));
        box->setPalette(palette);
        m_boxes << box;
    }
    m_trialCount = label(QStringLiteral("lblProva"), QRect(2880, 4440, 6480, 480), 14);
    m_trialCount->setAlignment(Qt::AlignCenter);
    m_escNote = label(QStringLiteral("lblEsc"), QRect(240, 6600, 9120, 400), 10);
    m_escNote->setText(QStringLiteral("Per l'insegnante: Esc interrompe la prova senza cambiare nulla."));

    m_summary = label(QStringLiteral("lblRisultati"), QRect(240, 720, 9120, 960), 11);
    const QList<Row> rows = rowsOf({});
    for (int i = 0; i < rows.size(); ++i) {
        const int y = 1740 + 690 * i;
        auto *accept = addControl(new QCheckBox(QStringLiteral("Accetta")), QRect(240, y, 1200, 600));
        accept->setObjectName(QString::fromLatin1(rows[i].name));
        accept->setFont(arialFont(11));
        m_acceptBoxes << accept;
        m_proposalTexts << label(QStringLiteral("lblProposta_%1").arg(i), QRect(1500, y, 7860, 660), 10);
    }
    m_historyNote = label(QStringLiteral("lblStoria"), QRect(240, 5940, 9120, 420), 10);

    const auto button = [this](const QString &caption, const QString &name, const QRect &twips) {
        auto *control = addControl(new QPushButton(caption), twips);
        control->setObjectName(name);
        control->setFont(arialFont(11));
        return control;
    };
    m_acceptAllButton = button(QStringLiteral("Accetta tutte le proposte"),
        QStringLiteral("CommandAccettaTutte"), QRect(240, 6480, 3000, 600));
    m_applyButton = button(QStringLiteral("Applica le proposte scelte"), QStringLiteral("CommandApplica"),
        QRect(3480, 6480, 3240, 600));
    m_closeButton
        = button(QStringLiteral("Chiudi"), QStringLiteral("CommandChiudi"), QRect(7860, 6480, 1500, 600));
    connect(m_acceptAllButton, &QPushButton::clicked, this, [this] {
        for (QCheckBox *box : std::as_const(m_acceptBoxes)) {
            if (box->isEnabled())
                box->setChecked(true);
        }
    });
    connect(m_applyButton, &QPushButton::clicked, this, &FormProvaSensore::applyAccepted);
    connect(m_closeButton, &QPushButton::clicked, this, &FormProvaSensore::close);

    m_clock.setSingleShot(true);
    m_clock.setTimerType(Qt::PreciseTimer);
    connect(&m_clock, &QTimer::timeout, this, [this] {
        m_game->tick(ScanClock::now());
        runClock();
    });
    // Every switch of the pupil's counts; other keys reach the window, for the teacher's Esc.
    m_switches = new SwitchInputFilter(
        this,
        [this](int input) {
            if (input != Scan::kOtherInput)
                switchDown();
        },
        [this](int input) {
            if (input != Scan::kOtherInput)
                switchUp();
        },
        this);
    m_switches->letOtherKeysPass();

    SwitchCheckGame::Callbacks callbacks;
    callbacks.warmUpPress = [this] { reactToPress(); };
    callbacks.phaseChanged = [this](SwitchCheckGame::Phase phase) { showPhase(phase); };
    callbacks.boxLit = [this](int box, bool star) { lightBox(box, star); };
    callbacks.trialStarted = [this](int, int) {
        m_trialCount->setText(
            QStringLiteral("Stella %1 di %2").arg(m_game->trialsDone() + 1).arg(m_game->trialCount()));
    };
    callbacks.trialEnded
        = [this](SwitchCheckGame::Outcome outcome, qint64 delayMs) { showTrialEnd(outcome, delayMs); };
    m_game = std::make_unique<SwitchCheckGame>(
        SwitchCheckGame::Plan{}, [](int count) { return Random::pickOneBased(count) - 1; },
        std::move(callbacks));
}

FormProvaSensore::~FormProvaSensore() = default;

void FormProvaSensore::setPlan(const SwitchCheckGame::Plan &plan)
{
    m_game->setPlan(plan);
}

SwitchCheckRecord FormProvaSensore::record(
    const QString &pupil, const SwitchCheck::Figures &figures, const SwitchCheck::Proposal &proposal)
{
    SwitchCheckRecord check;
    check.pupil = pupil;
    check.checkedAt = QDateTime::currentDateTime();
    check.trials = figures.trials;
    check.hits = figures.hits;
    check.misses = figures.misses;
    check.presses = figures.presses;
    check.bounces = figures.bounces;
    check.noTargetPresses = figures.noTargetPresses;
    check.delayMedianMs = figures.delayMedianMs;
    check.delayP90Ms = figures.delayP90Ms;
    check.holdMedianMs = figures.holdMedianMs;
    check.longestBounceGapMs = figures.longestBounceGapMs;
    check.scanInterval = proposal.scanInterval.value;
    check.acceptanceTime = proposal.acceptanceTime.value;
    check.releaseTime = proposal.releaseTime.value;
    check.selectionGuard = proposal.selectionGuard.value;
    check.rowColumnScanning = proposal.rowColumnScanning.value;
    check.twoSwitches = proposal.twoSwitches.value;
    return check;
}

void FormProvaSensore::formActivate()
{
    setBackgroundColour(windowBackgroundColour());
    m_title->setText(QStringLiteral("Prova il sensore: %1").arg(appState().UserName));
    setFocus();
    startGame();
}

void FormProvaSensore::formUnload()
{
    stopGame();
}

void FormProvaSensore::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        qCDebug(lcScanning, "check: given up");
        close();
        return;
    }
    Form::keyPressEvent(event);
}

void FormProvaSensore::startGame()
{
    for (QWidget *control : std::as_const(m_acceptBoxes))
        control->hide();
    for (QWidget *control : {static_cast<QWidget *>(m_summary), static_cast<QWidget *>(m_historyNote),
             static_cast<QWidget *>(m_acceptAllButton), static_cast<QWidget *>(m_applyButton),
             static_cast<QWidget *>(m_closeButton)})
        control->hide();
    for (QLabel *text : std::as_const(m_proposalTexts))
        text->hide();
    for (QLabel *box : std::as_const(m_boxes))
        box->hide();
    m_trialCount->clear();
    m_instruction->show();
    m_escNote->show();
    m_agentPlace->show();
    showCharacter();
    m_switches->setActive(true);
    m_game->start(ScanClock::now());
    runClock();
}

void FormProvaSensore::stopGame()
{
    m_clock.stop();
    m_switches->setActive(false);
    if (m_agent) {
        m_agent->stopAll();
        m_agent.reset();
    }
}

void FormProvaSensore::switchDown()
{
    m_game->press(ScanClock::now());
    runClock();
}

void FormProvaSensore::switchUp()
{
    m_game->release(ScanClock::now());
}

void FormProvaSensore::runClock()
{
    const qint64 due = m_game->nextTickAt();
    if (due < 0) {
        m_clock.stop();
        return;
    }
    m_clock.start(int(std::clamp<qint64>(due - ScanClock::now(), 0, INT_MAX)));
}

void FormProvaSensore::showCharacter()
{
    const ProfileSettings &settings = appState().Settings;
    m_agent = std::make_unique<Agent>(clientArea());
    if (!m_agent->loadCharacter(settings.AgentCharacter))
        return;
    m_agent->setLanguage(Agent::languageNumber(appState().AgentLanguageId));
    m_agent->setVoice(settings.VoiceModeId);
    m_agent->setBalloonBit(Agent::BalloonShown, settings.BalloonVisible);
    m_agent->setCharacterSize(m_agentPlace->size());
    m_agent->moveTo(m_agentPlace->mapToGlobal(QPoint(0, 0)));
    m_agent->show();
}

void FormProvaSensore::showPhase(SwitchCheckGame::Phase phase)
{
    switch (phase) {
    case SwitchCheckGame::Phase::NotStarted:
        break;
    case SwitchCheckGame::Phase::WarmUp:
        qCDebug(lcScanning, "check: warm-up");
        m_instruction->setText(QStringLiteral("Premi il tuo sensore!"));
        break;
    case SwitchCheckGame::Phase::Trials:
        qCDebug(lcScanning, "check: trials");
        m_instruction->setText(QStringLiteral("Premi quando la stella è accesa!"));
        for (QLabel *box : std::as_const(m_boxes))
            box->show();
        lightBox(-1, false);
        break;
    case SwitchCheckGame::Phase::Over:
        qCDebug(lcScanning, "check: over");
        showResults();
        break;
    }
}

void FormProvaSensore::lightBox(int box, bool star)
{
    const ProfileSettings &settings = appState().Settings;
    for (int i = 0; i < m_boxes.size(); ++i) {
        QLabel *each = m_boxes[i];
        paint(each, Colours::fromNumber(i == box ? settings.SelectedButtonColour : settings.ButtonColour));
        each->setText(i == m_game->starBox() ? kStar : QString());
    }
    if (box < 0)
        return;
    if (star)
        qCDebug(lcScanning, "check: star lit in box %d, speed %d ms", box, m_game->speedMs());
    else
        qCDebug(lcScanning, "check: box %d lit", box);
}

void FormProvaSensore::reactToPress()
{
    playRightSound();
    if (!m_agent || !m_agent->character())
        return;
    QWidget *character = m_agent->character();
    // A hop: up a fifth of its height and down again, from where it stands.
    auto *hop = new QPropertyAnimation(character, "pos", character);
    const QPoint base = character->property("restingPos").isValid()
        ? character->property("restingPos").toPoint()
        : character->pos();
    character->setProperty("restingPos", base);
    hop->setDuration(350);
    hop->setStartValue(base);
    hop->setKeyValueAt(0.5, base - QPoint(0, character->height() / 5));
    hop->setEndValue(base);
    hop->start(QAbstractAnimation::DeleteWhenStopped);
    if (appState().Settings.SpeechOn && !m_agent->isBusy()) {
        static const QStringList praise
            = {QStringLiteral("Eccomi!"), QStringLiteral("Bravo!"), QStringLiteral("Ancora!")};
        m_agent->speak(praise.at(Random::pickOneBased(int(praise.size())) - 1));
    }
}

void FormProvaSensore::showTrialEnd(SwitchCheckGame::Outcome outcome, qint64 delayMs)
{
    switch (outcome) {
    case SwitchCheckGame::Outcome::Hit:
        qCDebug(lcScanning, "check: trial answered after %lld ms", delayMs);
        m_instruction->setText(QStringLiteral("Presa!"));
        reactToPress();
        break;
    case SwitchCheckGame::Outcome::Late:
        qCDebug(lcScanning, "check: trial answered after %lld ms", delayMs);
        m_instruction->setText(QStringLiteral("Quasi!"));
        break;
    case SwitchCheckGame::Outcome::Missed:
        qCDebug(lcScanning, "check: trial missed");
        m_instruction->setText(QStringLiteral("Premi quando la stella è accesa!"));
        break;
    }
}

void FormProvaSensore::showResults()
{
    m_clock.stop();
    m_switches->setActive(false);
    if (m_agent) {
        m_agent->stopAll();
        m_agent.reset();
    }
    // The teacher's page, in the configuration window's colour.
    setBackgroundColour(Colours::fromNumber(appState().Settings.BackgroundColour));

    const ProfileSettings &settings = appState().Settings;
    const SwitchCheck::Figures figures = SwitchCheck::measure(m_game->recording());
    m_proposal = SwitchCheck::propose(figures, settings);
    const SwitchCheck::Proposal &p = m_proposal;
    qCDebug(lcScanning,
        "check: proposal interval %d acceptance %d release %d guard %d rows %d two switches %d",
        p.scanInterval.value, p.acceptanceTime.value, p.releaseTime.value, p.selectionGuard.value,
        int(p.rowColumnScanning.value), int(p.twoSwitches.value));

    History &history = History::instance();
    const QString pupil = appState().UserName;
    if (history.isOpen() && history.recordSwitchCheck(record(pupil, figures, p)))
        m_historyNote->setText(QStringLiteral("La prova è stata salvata nei Progressi di %1.").arg(pupil));
    else
        m_historyNote->setText(
            QStringLiteral("La prova non è stata salvata nei Progressi: %1")
                .arg(history.problem().isEmpty() ? QStringLiteral("la storia non è aperta.")
                                                 : history.problem()));

    m_title->setText(QStringLiteral("Risultati della prova: %1").arg(pupil));
    m_instruction->hide();
    m_escNote->hide();
    m_agentPlace->hide();
    m_trialCount->hide();
    for (QLabel *box : std::as_const(m_boxes))
        box->hide();
    m_summary->setText(summaryOf(figures));
    m_summary->show();

    const QList<Row> rows = rowsOf(p);
    for (int i = 0; i < rows.size(); ++i) {
        const Row &row = rows[i];
        const QString values = row.changes
            ? QStringLiteral("ora %1, proposta <b>%2</b>").arg(row.current, row.proposed)
            : QStringLiteral("resta %1").arg(row.current);
        m_proposalTexts[i]->setTextFormat(Qt::RichText);
        m_proposalTexts[i]->setText(QStringLiteral("<b>%1</b>: %2. %3")
                                        .arg(row.title.toHtmlEscaped(), values, row.why.toHtmlEscaped()));
        m_acceptBoxes[i]->setChecked(false);
        m_acceptBoxes[i]->setEnabled(row.changes);
    }
    // Shown one by one, so the log places each for sessions driven from outside.
    for (int i = 0; i < rows.size(); ++i) {
        m_proposalTexts[i]->show();
        m_acceptBoxes[i]->show();
    }
    for (QWidget *control : {static_cast<QWidget *>(m_historyNote), static_cast<QWidget *>(m_acceptAllButton),
             static_cast<QWidget *>(m_applyButton), static_cast<QWidget *>(m_closeButton)})
        control->show();
}

void FormProvaSensore::applyAccepted()
{
    ProfileSettings &settings = appState().Settings;
    const SwitchCheck::Proposal &p = m_proposal;
    const auto accepted
        = [this](int row) { return m_acceptBoxes[row]->isEnabled() && m_acceptBoxes[row]->isChecked(); };
    if (accepted(0))
        settings.ScanInterval = p.scanInterval.value;
    if (accepted(1))
        settings.AcceptanceTime = p.acceptanceTime.value;
    if (accepted(2))
        settings.ReleaseTime = p.releaseTime.value;
    if (accepted(3))
        settings.SelectionGuard = p.selectionGuard.value;
    if (accepted(4))
        settings.RowColumnScanning = p.rowColumnScanning.value;
    if (accepted(5))
        settings.setInputMode(p.twoSwitches.value ? InputMode::Manual : InputMode::Automatic);
    qCDebug(lcScanning, "check: applied interval %d acceptance %d release %d guard %d", settings.ScanInterval,
        settings.AcceptanceTime, settings.ReleaseTime, settings.SelectionGuard);
    close();
}

void FormProvaSensore::close()
{
    stopGame();
    hideFromTop();
}

#include "moc_formprovasensore.cpp"
