#include "switchcheck.h"

#include <QLocale>
#include <QMap>

#include <algorithm>
#include <limits>

namespace SwitchCheck {

namespace {

// A margin this long at least covers a pupil whose delays are short but not
// quite steady.
constexpr qint64 kIntervalMarginMs = 250;
constexpr qint64 kQuarterMs = 250;
// Switch times are proposed in tenths of a second, the steps the
// configuration window sets them in.
constexpr qint64 kStepMs = 100;
// Delays spread wider than this between the quickest and the slowest tenth
// make one interval a poor fit for every press.
constexpr qint64 kWideSpreadMs = 1000;

// The p-th percentile by nearest rank: the smallest value that has at least
// p % of the values at or below it. -1 without values.
qint64 percentile(QList<qint64> values, int p)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const qsizetype rank = std::max<qsizetype>(1, (p * values.size() + 99) / 100);
    return values.at(rank - 1);
}

qint64 longest(const QList<qint64> &values)
{
    return values.isEmpty() ? -1 : *std::max_element(values.begin(), values.end());
}

qint64 shortest(const QList<qint64> &values)
{
    return values.isEmpty() ? -1 : *std::min_element(values.begin(), values.end());
}

qint64 roundUp(qint64 ms)
{
    return (std::max<qint64>(0, ms) + kStepMs - 1) / kStepMs * kStepMs;
}

qint64 roundDown(qint64 ms)
{
    return std::max<qint64>(0, ms) / kStepMs * kStepMs;
}

bool released(const Press &press)
{
    return press.upMs >= press.downMs;
}

QString counted(qint64 n, const QString &one, const QString &many)
{
    return QString::number(n) + QLatin1Char(' ') + (n == 1 ? one : many);
}

qint16 limited(qint64 value, qint16 ProfileSettings::*member)
{
    const ProfileSchema::Setting &setting = ProfileSchema::of(member);
    return qint16(std::clamp<qint64>(value, setting.minimum, setting.maximum));
}

template<typename T> void keep(Proposed<T> &proposed, T current, const QString &why)
{
    proposed.value = current;
    proposed.current = current;
    proposed.why = why;
}

} // namespace

QString secondsText(qint64 ms)
{
    // Rounded to hundredths here: 1025 ms as a double is just below 1.025.
    const qint64 hundredths = (std::max<qint64>(0, ms) + 5) / 10;
    return QLocale(QLocale::Italian).toString(hundredths / 100.0, 'f', 2) + QStringLiteral(" secondi");
}

Figures measure(const Recording &recording)
{
    Figures figures;
    QList<Press> presses = recording.presses;
    std::stable_sort(
        presses.begin(), presses.end(), [](const Press &a, const Press &b) { return a.downMs < b.downMs; });
    QList<Trial> trials = recording.trials;
    std::stable_sort(
        trials.begin(), trials.end(), [](const Trial &a, const Trial &b) { return a.litMs < b.litMs; });
    figures.trials = int(trials.size());
    figures.presses = int(presses.size());

    const qint64 firstLit = trials.isEmpty() ? std::numeric_limits<qint64>::max() : trials.first().litMs;
    // Per trial, the delay of the press that answered it; -1 while unanswered.
    QList<qint64> answeredAfter(trials.size(), -1);
    const Press *previous = nullptr;
    for (const Press &press : std::as_const(presses)) {
        const qint64 hold = released(press) ? press.upMs - press.downMs : -1;
        // A press that comes down while the one before is still held (the
        // other switch) has no gap.
        const qint64 gap = previous && released(*previous) && press.downMs >= previous->upMs
            ? press.downMs - previous->upMs
            : -1;
        previous = &press;
        if (gap >= 0 && gap < kBounceWindowMs) {
            ++figures.bounces;
            figures.bounceGapsMs << gap;
            if (hold >= 0)
                figures.accidentalHoldsMs << hold;
            continue;
        }
        if (press.downMs < firstLit) {
            ++figures.warmUpPresses;
            continue;
        }
        qsizetype answered = -1;
        for (qsizetype i = 0; i < trials.size() && answered < 0; ++i) {
            if (answeredAfter[i] < 0 && press.downMs >= trials[i].litMs && press.downMs <= trials[i].endMs)
                answered = i;
        }
        if (answered < 0) {
            ++figures.noTargetPresses;
            if (hold >= 0)
                figures.accidentalHoldsMs << hold;
            continue;
        }
        answeredAfter[answered] = press.downMs - trials[answered].litMs;
        if (hold >= 0)
            figures.realHoldsMs << hold;
        if (gap >= 0 && (figures.shortestTargetGapMs < 0 || gap < figures.shortestTargetGapMs))
            figures.shortestTargetGapMs = gap;
    }

    // A missed trial counts as its whole wait: the pupil needed at least as long.
    QList<qint64> waits;
    QMap<int, Figures::Speed> speeds;
    for (qsizetype i = 0; i < trials.size(); ++i) {
        const Trial &trial = trials[i];
        Figures::Speed &speed = speeds[trial.speedMs];
        speed.speedMs = trial.speedMs;
        ++speed.trials;
        const qint64 delay = answeredAfter[i];
        if (delay < 0) {
            ++figures.misses;
            waits << std::max<qint64>(0, trial.endMs - trial.litMs);
            continue;
        }
        figures.delaysMs << delay;
        waits << delay;
        if (delay < trial.speedMs) {
            ++figures.hits;
            ++speed.hits;
        }
    }
    figures.speeds = speeds.values();
    figures.delayMedianMs = percentile(waits, 50);
    figures.delayP10Ms = percentile(waits, 10);
    figures.delayP90Ms = percentile(waits, 90);
    figures.holdMedianMs = percentile(figures.realHoldsMs, 50);
    figures.shortestRealHoldMs = shortest(figures.realHoldsMs);
    figures.longestAccidentalHoldMs = longest(figures.accidentalHoldsMs);
    figures.longestBounceGapMs = longest(figures.bounceGapsMs);
    return figures;
}

Proposal propose(const Figures &figures, const ProfileSettings &current)
{
    Proposal proposal;
    const bool manual = current.inputMode() == InputMode::Manual;

    QString missing;
    if (figures.presses == 0)
        missing = QStringLiteral("Nessuna pressione del sensore: controllare che sia collegato e che sia "
                                 "quello scelto per l'alunno. Resta il valore attuale.");
    else if (figures.trials < kMinimumTrials)
        missing = QStringLiteral("La stella si è accesa solo %1: ne servono almeno %2 per proporre dei "
                                 "tempi. Resta il valore attuale.")
                      .arg(figures.trials == 1 ? QStringLiteral("una volta")
                                               : counted(figures.trials, {}, QStringLiteral("volte")))
                      .arg(kMinimumTrials);
    if (!missing.isEmpty()) {
        keep(proposal.scanInterval, current.ScanInterval, missing);
        keep(proposal.acceptanceTime, current.AcceptanceTime, missing);
        keep(proposal.releaseTime, current.ReleaseTime, missing);
        keep(proposal.selectionGuard, current.SelectionGuard, missing);
        keep(proposal.rowColumnScanning, current.RowColumnScanning, missing);
        keep(proposal.twoSwitches, manual, missing);
        return proposal;
    }
    proposal.enoughData = true;

    // Scan interval: the 90th-percentile delay and a margin.
    Proposed<qint16> &interval = proposal.scanInterval;
    interval.current = current.ScanInterval;
    const qint64 p90 = figures.delayP90Ms;
    const QString missedTrials = counted(figures.misses, QStringLiteral("prova"), QStringLiteral("prove"));
    if (figures.misses * 2 > figures.trials) {
        // The pupil's usual delay is longer than the game waited: how much
        // longer nobody knows.
        interval.value = qint16(ProfileSchema::of(&ProfileSettings::ScanInterval).maximum);
        interval.why = QStringLiteral("%1 su %2 senza risposta: l'alunno ha bisogno di più tempo di quanto "
                                      "il gioco abbia atteso. Si propone la scansione più lenta, %3.")
                           .arg(missedTrials)
                           .arg(figures.trials)
                           .arg(secondsText(interval.value * kQuarterMs));
    } else {
        const qint64 covered = p90 + std::max(kIntervalMarginMs, (p90 + 4) / 5);
        interval.value = limited((covered + kQuarterMs - 1) / kQuarterMs, &ProfileSettings::ScanInterval);
        interval.why = QStringLiteral("9 pressioni su 10 arrivano entro %1 dall'accensione della stella; "
                                      "con un margine, %2.")
                           .arg(secondsText(p90), secondsText(interval.value * kQuarterMs));
        if (figures.misses > 0)
            interval.why += QLatin1Char(' ')
                + (figures.misses == 1
                        ? QStringLiteral("La prova senza risposta conta come un'attesa intera.")
                        : QStringLiteral("Le %1 senza risposta contano ciascuna come un'attesa intera.")
                              .arg(missedTrials));
    }
    const qint64 intervalMs = interval.value * kQuarterMs;

    // Acceptance time: longer than the accidental presses, shorter than the real ones.
    Proposed<qint16> &acceptance = proposal.acceptanceTime;
    acceptance.current = current.AcceptanceTime;
    if (figures.shortestRealHoldMs < 0) {
        acceptance.value = current.AcceptanceTime;
        acceptance.why = QStringLiteral("Nessuna pressione ha risposto alla stella: non si sa quanto dura "
                                        "una pressione voluta. Resta %1.")
                             .arg(secondsText(acceptance.value));
    } else {
        const qint64 ceiling = roundDown(figures.shortestRealHoldMs * 8 / 10);
        const QString real = secondsText(figures.shortestRealHoldMs);
        if (figures.longestAccidentalHoldMs >= 0) {
            const qint64 wanted = roundUp(figures.longestAccidentalHoldMs + 30);
            const QString accidental = secondsText(figures.longestAccidentalHoldMs);
            acceptance.value = limited(std::min(wanted, ceiling), &ProfileSettings::AcceptanceTime);
            acceptance.why = wanted <= ceiling
                ? QStringLiteral("Le pressioni involontarie durano al massimo %1, quelle volute almeno %2: "
                                 "un tempo di %3 scarta le prime e tiene le seconde.")
                      .arg(accidental, real, secondsText(acceptance.value))
                : QStringLiteral("Le pressioni involontarie durano quanto quelle volute (fino a %1, contro "
                                 "almeno %2): il tempo non le distingue. Si propone %3, il più lungo che "
                                 "non scarta pressioni volute.")
                      .arg(accidental, real, secondsText(acceptance.value));
        } else if (current.AcceptanceTime > ceiling) {
            acceptance.value = limited(ceiling, &ProfileSettings::AcceptanceTime);
            acceptance.why
                = QStringLiteral("Nessuna pressione involontaria, ma %1 scarterebbe pressioni "
                                 "volute, che durano almeno %2: si propone %3.")
                      .arg(secondsText(current.AcceptanceTime), real, secondsText(acceptance.value));
        } else {
            acceptance.value = current.AcceptanceTime;
            acceptance.why = QStringLiteral("Nessuna pressione involontaria: resta %1.")
                                 .arg(secondsText(acceptance.value));
        }
    }

    // Release time: past the bounces, short of the next press meant.
    Proposed<qint16> &release = proposal.releaseTime;
    release.current = current.ReleaseTime;
    const qint64 beforeTarget = figures.shortestTargetGapMs >= 0 ? roundDown(figures.shortestTargetGapMs - 1)
                                                                 : std::numeric_limits<qint64>::max();
    const QString targetGap = secondsText(figures.shortestTargetGapMs);
    if (figures.longestBounceGapMs >= 0) {
        const qint64 wanted = roundUp(figures.longestBounceGapMs + 50);
        release.value = limited(std::min(wanted, beforeTarget), &ProfileSettings::ReleaseTime);
        const bool one = figures.bounces == 1;
        const QString bounces
            = (one ? QStringLiteral("Un rimbalzo, %1 dopo il rilascio")
                   : QStringLiteral("%1 rimbalzi, fino a %2 dopo il rilascio").arg(figures.bounces))
                  .arg(secondsText(figures.longestBounceGapMs));
        release.why = wanted <= beforeTarget ? bounces
                + QStringLiteral(": un tempo di %1 %2 scarta.")
                      .arg(secondsText(release.value), one ? QStringLiteral("lo") : QStringLiteral("li"))
                                             : bounces
                + QStringLiteral(", ma una pressione voluta è arrivata %1 dopo un rilascio: si propone %2, "
                                 "che la tiene.")
                      .arg(targetGap, secondsText(release.value));
    } else if (current.ReleaseTime > beforeTarget) {
        release.value = limited(beforeTarget, &ProfileSettings::ReleaseTime);
        release.why = QStringLiteral("Nessun rimbalzo, ma %1 scarterebbe una pressione voluta arrivata %2 "
                                     "dopo un rilascio: si propone %3.")
                          .arg(secondsText(current.ReleaseTime), targetGap, secondsText(release.value));
    } else {
        release.value = current.ReleaseTime;
        release.why = QStringLiteral("Nessun rimbalzo: resta %1.").arg(secondsText(release.value));
    }

    // Selection guard: a press sooner than the pupil can react to a new
    // highlight belongs to what was lit before.
    Proposed<qint16> &guard = proposal.selectionGuard;
    guard.current = current.SelectionGuard;
    const qint64 reaction = roundDown(figures.delayP10Ms * 3 / 4);
    guard.value = limited(std::max<qint64>(release.value, reaction), &ProfileSettings::SelectionGuard);
    // With nine trials in ten missed, the quickest tenth is a whole wait.
    const bool answeredSoon = std::any_of(figures.delaysMs.begin(), figures.delaysMs.end(),
        [&](qint64 delay) { return delay <= figures.delayP10Ms; });
    const QString quickest = answeredSoon
        ? QStringLiteral("1 pressione su 10 arriva entro %1 dall'accensione della stella")
        : QStringLiteral("Nessuna pressione arriva entro %1 dall'accensione della stella");
    guard.why = reaction > release.value ? quickest.arg(secondsText(figures.delayP10Ms))
            + QStringLiteral(": una pressione prima di %1 è per ciò che era illuminato prima.")
                  .arg(secondsText(guard.value))
                                         : quickest.arg(secondsText(figures.delayP10Ms))
            + QStringLiteral(", ma la protezione non è mai più breve del tempo di rilascio: %1.")
                  .arg(secondsText(guard.value));

    // Rows and columns: fewer steps to reach a button when each step is slow.
    Proposed<bool> &rowColumn = proposal.rowColumnScanning;
    rowColumn.current = current.RowColumnScanning;
    if (intervalMs >= 2000) {
        rowColumn.value = true;
        rowColumn.why = QStringLiteral("Con una scansione di %1 la scansione per righe e colonne arriva "
                                       "prima al pulsante voluto.")
                            .arg(secondsText(intervalMs));
    } else {
        rowColumn.value = current.RowColumnScanning;
        rowColumn.why = QStringLiteral("Con una scansione di %1 i pulsanti si raggiungono presto anche "
                                       "uno alla volta: resta come è ora.")
                            .arg(secondsText(intervalMs));
    }

    // Two switches: stepping with one and choosing with the other takes
    // timing away, but every accidental press would then step or choose.
    Proposed<bool> &two = proposal.twoSwitches;
    two.current = manual;
    // Many misses also spread the delays, their whole waits counting: the
    // misses are then the reason given.
    QString trouble;
    if (figures.misses * 5 > figures.trials)
        trouble = QStringLiteral("%1 su %2 restano senza risposta").arg(missedTrials).arg(figures.trials);
    else if (figures.delayP90Ms - figures.delayP10Ms > kWideSpreadMs)
        trouble = QStringLiteral("I ritardi variano molto (1 pressione su 10 entro %1, 9 su 10 entro %2)")
                      .arg(secondsText(figures.delayP10Ms), secondsText(figures.delayP90Ms));
    const int gamePresses = figures.presses - figures.warmUpPresses;
    const int accidental = figures.bounces + figures.noTargetPresses;
    two.value = manual;
    if (trouble.isEmpty()) {
        two.why
            = QStringLiteral("I ritardi sono regolari e quasi ogni prova ha una risposta: resta come è ora.");
    } else if (accidental * 10 < gamePresses || gamePresses == 0) {
        two.value = true;
        two.why = trouble
            + QStringLiteral(
                ": con due sensori, uno per avanzare e uno per scegliere, il tempo non conta più.");
    } else {
        two.why = trouble
            + QStringLiteral(
                ", ma %1 pressioni su %2 sono involontarie: con due sensori farebbero avanzare o "
                "scegliere per sbaglio. Resta come è ora.")
                  .arg(accidental)
                  .arg(gamePresses);
    }
    return proposal;
}

} // namespace SwitchCheck
