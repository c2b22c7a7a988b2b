#include "scansession.h"

#include "scanclock.h"

#include "feedback/colours.h"
#include "feedback/speechoutput.h"
#include "layout/freespace.h"
#include "layout/legible.h"
#include "state/appstate.h"
#include "state/logcategories.h"

#include <QLabel>

#include <algorithm>
#include <utility>

namespace {

// Often enough for the bar of a timed press to fill smoothly.
constexpr int kPressFrameMs = 30;
// The countdown shrinks smoothly enough at this rate and costs next to nothing.
constexpr int kCountdownFrameMs = 50;
// Long enough to be read, short enough not to stay in the pupil's way.
constexpr int kNoticeMs = 5000;

// The longest a step waits for a caption that does not end (a voice that
// failed): longer than the caption takes at the slowest speech, about 150 ms
// a character, with time to start.
int longestCaptionMs(const QString &caption)
{
    return 1500 + 200 * int(caption.size());
}

} // namespace

ScanSession::ScanSession(QWidget *window, KeyHandler keyDown, KeyHandler keyUp, std::function<void()> tick)
    : QObject(window)
    , m_window(window)
    , m_keyDown(std::move(keyDown))
    , m_keyUp(std::move(keyUp))
    , m_sayCaption(&Speech::sayCue)
    , m_timing(appState().SwitchReleasedAt)
    , m_keys(
          window, [this](int key) { keyPressed(key); }, [this](int key) { keyReleased(key); })
{
    connect(&m_timer, &ScanTimer::tick, this, std::move(tick));
    m_pressTimer.setSingleShot(true);
    m_pressTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pressTimer, &QTimer::timeout, this, &ScanSession::timePress);
    m_countdownFrames.setInterval(kCountdownFrameMs);
    connect(&m_countdownFrames, &QTimer::timeout, this, &ScanSession::showCountdown);
    m_noticeTime.setSingleShot(true);
    m_noticeTime.setInterval(kNoticeMs);
    connect(&m_noticeTime, &QTimer::timeout, this, [this] {
        if (m_unpluggedNotice)
            m_unpluggedNotice->hide();
    });
    connect(&m_keys, &SwitchInputFilter::controllerUnplugged, this, &ScanSession::showUnplugged);
}

ScanSession::~ScanSession() = default;

void ScanSession::start()
{
    const ProfileSettings &settings = appState().Settings;
    m_mode = settings.inputMode();
    // Keys already down belong to the window before.
    m_timing.clear();
    m_timing.setTimes(settings.AcceptanceTime, settings.ReleaseTime);
    m_guard.setTime(settings.SelectionGuard);
    m_pressTimer.stop();
    m_highlighter.clear();
    m_guard.arm(ScanClock::now(), false);
    showStopped(false);
    m_keys.setActive(isScanning(m_mode));
}

void ScanSession::stop()
{
    m_timer.stop();
    m_pressTimer.stop();
    m_countdownFrames.stop();
    m_keys.setActive(false);
    showStopped(false);
}

void ScanSession::runTimer(Scan::Timer timer)
{
    const ProfileSettings &settings = appState().Settings;
    const int interval = Scan::intervalMs(settings.ScanInterval);
    switch (timer) {
    case Scan::Timer::Stop:
        m_timer.stop();
        break;
    case Scan::Timer::Start:
        m_timer.start(interval);
        break;
    case Scan::Timer::StartInNewWindow:
        m_timer.start(interval, Scan::firstStepMs(interval, settings.FirstStepDelay));
        break;
    }
    // A step waits for the caption of the button lit to be heard whole.
    if (m_captionSaying)
        m_timer.hold(longestCaptionMs(m_highlighter.highlightedCaption()));
    if (m_timer.isActive())
        m_countdownFrames.start();
    else
        m_countdownFrames.stop();
    showCountdown();
}

void ScanSession::highlight(const QList<int> &buttons)
{
    m_highlighter.highlight(buttons, appState().Settings.SelectedButtonColour);
    m_guard.highlightMoved(ScanClock::now(), !buttons.isEmpty());
    // The caption of the button before is no longer worth waiting for.
    const bool saying = std::exchange(m_captionSaying, false);
    const quint64 caption = ++m_caption;
    m_timer.release();
    const QString text = buttons.isEmpty() ? QString() : m_highlighter.highlightedCaption();
    if (buttons.isEmpty())
        qCDebug(lcScanning, "highlight none");
    if (m_sayCaption && appState().Settings.SpokenHighlight && !text.isEmpty()) {
        m_captionSaying = true;
        m_timer.hold(longestCaptionMs(text));
        // The voice may be gone with the window before it is done.
        m_sayCaption(text, [session = QPointer<ScanSession>(this), caption] {
            if (session && session->m_caption == caption)
                session->captionOver();
        });
    } else if (saying && m_sayCaption) {
        // Nothing is said for a button no longer lit.
        m_sayCaption(QString(), {});
    }
    showCountdown();
}

void ScanSession::captionOver()
{
    m_captionSaying = false;
    m_timer.release();
    showCountdown();
}

void ScanSession::selectionMade()
{
    m_guard.arm(ScanClock::now(), !m_highlighter.highlightedButtons().isEmpty());
}

void ScanSession::showStopped(bool stopped)
{
    if (!stopped) {
        if (m_stoppedPrompt && !m_stoppedPrompt->isHidden()) {
            qCDebug(lcScanning, "prompt hidden");
            m_stoppedPrompt->hide();
        }
        return;
    }
    if (!m_stoppedPrompt)
        m_stoppedPrompt = makePrompt(
            QStringLiteral("ScanStoppedPrompt"), QStringLiteral("Premi il sensore per ricominciare"));
    showPrompt(m_stoppedPrompt);
    const QPoint at = m_stoppedPrompt->mapToGlobal(QPoint(0, 0));
    qCDebug(lcScanning, "prompt shown at %d,%d size %dx%d", at.x(), at.y(), m_stoppedPrompt->width(),
        m_stoppedPrompt->height());
}

void ScanSession::showUnplugged()
{
    if (!m_unpluggedNotice) {
        m_unpluggedNotice = makePrompt(
            QStringLiteral("ControllerUnpluggedNotice"), QStringLiteral("Il controller è stato scollegato"));
    }
    if (m_stoppedPrompt && !m_stoppedPrompt->isHidden())
        return;
    qCDebug(lcScanning, "told: %s", qPrintable(m_unpluggedNotice->text()));
    showPrompt(m_unpluggedNotice);
    m_noticeTime.start();
}

QLabel *ScanSession::makePrompt(const QString &name, const QString &text)
{
    QWidget *parent = m_highlighter.parentOfButtons();
    auto *prompt = new QLabel(text, parent ? parent : m_window);
    prompt->setObjectName(name);
    prompt->setAlignment(Qt::AlignCenter);
    prompt->setWordWrap(true);
    prompt->setAttribute(Qt::WA_TransparentForMouseEvents);
    prompt->setFocusPolicy(Qt::NoFocus);
    prompt->hide();
    return prompt;
}

void ScanSession::showPrompt(QLabel *prompt)
{
    placePrompt(prompt);
    prompt->show();
    prompt->raise();
}

const QLabel *ScanSession::stoppedPrompt() const
{
    return m_stoppedPrompt && !m_stoppedPrompt->isHidden() ? m_stoppedPrompt.data() : nullptr;
}

void ScanSession::placePrompt(QLabel *prompt)
{
    QWidget *parent = prompt->parentWidget();
    const QRect area = parent->rect();
    QList<QRect> taken;
    for (QObject *child : parent->children()) {
        auto *control = qobject_cast<QWidget *>(child);
        if (!control || control == prompt || !control->isVisibleTo(parent))
            continue;
        const QRect place = control->geometry();
        // A picture behind everything is no control to keep clear of.
        if (place.width() * place.height() * 2 > area.width() * area.height())
            continue;
        taken << place;
    }
    const int margin = std::max(4, std::min(area.width(), area.height()) / 60);
    QRect free = FreeSpace::forText(area, taken);
    if (free.width() > 2 * margin && free.height() > 2 * margin)
        free.adjust(margin, margin, -margin, -margin);
    prompt->setGeometry(free);

    const ProfileSettings &settings = appState().Settings;
    const QColor background = parent->palette().color(QPalette::Window);
    QPalette palette = prompt->palette();
    palette.setColor(
        QPalette::WindowText, Legible::textColour(Colours::fromNumber(settings.TextColour), background));
    prompt->setPalette(palette);

    // The largest size at which the words, wrapped, fit the place.
    QFont font(settings.TextFontName);
    font.setBold(true);
    const QString text = prompt->text();
    int points = Legible::kMaxTextPoints;
    for (; points > Legible::kMinTextPoints; points -= std::max(1, points / 10)) {
        font.setPointSize(points);
        const QRect needed = QFontMetrics(font).boundingRect(free, Qt::AlignCenter | Qt::TextWordWrap, text);
        if (needed.width() <= free.width() && needed.height() <= free.height())
            break;
    }
    font.setPointSize(std::max(points, Legible::kMinTextPoints));
    prompt->setFont(font);
}

void ScanSession::showCountdown()
{
    m_highlighter.showCountdown(m_timer.isActive() ? m_timer.leftOfWait() : -1);
}

void ScanSession::keyPressed(int key)
{
    if (!Scan::isSwitch(m_mode, key)) {
        qCDebug(lcScanning, "key down %d is not a switch: ignored", key);
        return;
    }
    const qint64 time = ScanClock::now();
    if (m_guard.holds(time)) {
        // Dropped with its release; the highlight goes on.
        m_timing.ignore(key, time);
        qCDebug(lcScanning, "key down %d within the selection guard: ignored", key);
        return;
    }
    switch (m_timing.press(key, time)) {
    case SwitchTiming::Press::Counted:
        m_keyDown(key);
        break;
    case SwitchTiming::Press::Timed:
        qCDebug(lcScanning, "key down %d: timing the press", key);
        // The highlight waits on the button the pupil is pressing for.
        m_timer.pause();
        m_timedKey = key;
        timePress();
        break;
    case SwitchTiming::Press::Dropped:
        qCDebug(lcScanning, "key down %d within the release time: ignored", key);
        break;
    }
}

void ScanSession::keyReleased(int key)
{
    if (!Scan::isSwitch(m_mode, key)) {
        qCDebug(lcScanning, "key up %d is not a switch: ignored", key);
        return;
    }
    switch (m_timing.release(key, ScanClock::now())) {
    case SwitchTiming::Release::Counted:
        m_keyUp(key);
        break;
    case SwitchTiming::Release::TooShort:
        qCDebug(lcScanning, "key up %d before the acceptance time: ignored", key);
        m_pressTimer.stop();
        m_highlighter.showPressProgress(-1);
        m_timer.resume();
        break;
    case SwitchTiming::Release::Dropped:
        break;
    }
}

void ScanSession::timePress()
{
    const qint64 time = ScanClock::now();
    if (m_timing.accept(m_timedKey, time)) {
        qCDebug(lcScanning, "key %d held long enough", m_timedKey);
        m_highlighter.showPressProgress(-1);
        m_keyDown(m_timedKey);
        return;
    }
    const qint64 due = m_timing.acceptedAt(m_timedKey);
    if (due < 0)
        return;
    m_highlighter.showPressProgress(m_timing.progress(time));
    m_pressTimer.start(int(std::clamp<qint64>(due - time, 1, kPressFrameMs)));
}

#include "moc_scansession.cpp"
