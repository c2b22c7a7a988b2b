#include "exercisescanning.h"

#include "scanlog.h"

#include "state/appstate.h"

#include <QPushButton>

ExerciseScanning::ExerciseScanning(QWidget *window, const QList<QPushButton *> &answers,
    QPushButton *readButton, QPushButton *nextButton, Callbacks callbacks)
    : QObject(window)
    , m_answerCount(int(answers.size()))
    , m_callbacks(std::move(callbacks))
    , m_scan(int(answers.size()), *this)
    , m_keys(
          window, [this](int key) { m_scan.keyDown(key); }, [this](int key) { m_scan.keyUp(key); })
{
    QList<QWidget *> buttons(answers.cbegin(), answers.cend());
    buttons << readButton << nextButton;
    m_highlighter.setButtons(buttons);
    connect(&m_timer, &ScanTimer::tick, this, [this] { m_scan.tick(); });
}

ExerciseScanning::~ExerciseScanning() = default;

bool ExerciseScanning::scanning() const
{
    return m_scan.mode() == Scan::Manual || m_scan.mode() == Scan::Automatic;
}

void ExerciseScanning::activate()
{
    const ProfileSettings &settings = appState().Settings;
    m_highlighter.clear();
    m_scan.activate(settings.inputMode(), settings.SpeechOn);
    m_keys.setActive(scanning());
}

void ExerciseScanning::deactivate()
{
    m_timer.stop();
    m_keys.setActive(false);
}

void ExerciseScanning::highlight(int position)
{
    const int index = position == ExerciseScan::kNext ? m_answerCount + 1 : position;
    m_highlighter.highlight(index, appState().Settings.SelectedButtonColour);
}

void ExerciseScanning::choose(int answer)
{
    qCDebug(lcScanning, "select answer %d", answer);
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

void ExerciseScanning::runTimer(bool run)
{
    if (run)
        m_timer.start(Scan::intervalMs(appState().Settings.ScanInterval));
    else
        m_timer.stop();
}
