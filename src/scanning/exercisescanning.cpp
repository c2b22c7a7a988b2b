#include "exercisescanning.h"

#include "scanclock.h"

#include "state/appstate.h"
#include "state/logcategories.h"

#include <QPushButton>

ExerciseScanning::ExerciseScanning(QWidget *window, const Buttons &buttons, Callbacks callbacks)
    : QObject(window)
    , m_answerCount(int(buttons.answers.size()))
    , m_callbacks(std::move(callbacks))
    , m_scan(int(buttons.answers.size()), *this)
    , m_session(
          window, [this](int key) { switchDown(key); }, [this](int key) { m_scan.keyUp(key); },
          [this] { m_scan.tick(); })
{
    QList<QWidget *> scanned(buttons.answers.cbegin(), buttons.answers.cend());
    scanned << buttons.read << buttons.next << buttons.wayOut;
    m_session.setButtons(scanned);
}

ExerciseScanning::~ExerciseScanning() = default;

bool ExerciseScanning::offersWayOut()
{
    const ProfileSettings &settings = appState().Settings;
    return isScanning(settings.inputMode()) && settings.WayOutButton;
}

void ExerciseScanning::activate()
{
    const ProfileSettings &settings = appState().Settings;
    m_scan.setLoops(settings.ScanLoops);
    m_session.start();
    m_scan.activate(settings.inputMode(), settings.SpeechOn, offersWayOut());
}

void ExerciseScanning::deactivate()
{
    m_session.stop();
}

void ExerciseScanning::switchDown(int key)
{
    m_pressPosition = m_litPosition;
    const bool answerBefore = m_litBefore >= 0 && m_litBefore < m_answerCount;
    m_pressTiming = {ScanClock::now() - m_litSince, answerBefore ? m_litBefore : -1};
    m_scan.keyDown(key);
}

void ExerciseScanning::highlight(int position)
{
    if (position != m_litPosition) {
        m_litBefore = m_litPosition;
        m_litPosition = position;
        m_litSince = ScanClock::now();
    }
    int index = position;
    if (position == ExerciseScan::kNext)
        index = m_answerCount + 1;
    else if (position == ExerciseScan::kWayOut)
        index = m_answerCount + 2;
    m_session.highlight(index >= 0 ? QList<int>{index} : QList<int>());
}

void ExerciseScanning::choose(int answer)
{
    qCDebug(lcScanning, "select answer %d", answer);
    // A choice made when the press began on another position (held over a
    // step) has no dwell of its own.
    m_choiceTiming
        = answer == m_pressPosition ? m_pressTiming : PressTiming{-1, m_pressTiming.answerLitBefore};
    if (m_callbacks.choose)
        m_callbacks.choose(answer);
}

void ExerciseScanning::read()
{
    qCDebug(lcScanning, "select leggi");
    if (m_callbacks.read)
        m_callbacks.read();
}

void ExerciseScanning::nextItem()
{
    qCDebug(lcScanning, "select avanti");
    if (m_callbacks.nextItem)
        m_callbacks.nextItem();
}

void ExerciseScanning::leave()
{
    qCDebug(lcScanning, "select menu");
    if (m_callbacks.leave)
        m_callbacks.leave();
}

void ExerciseScanning::runTimer(Scan::Timer timer)
{
    m_session.runTimer(timer);
}

#include "moc_exercisescanning.cpp"
