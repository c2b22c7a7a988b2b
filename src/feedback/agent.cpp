#include "agent.h"

#include "balloonlayout.h"
#include "characterview.h"
#include "speechoutput.h"
#include "speechtags.h"
#include "voices.h"

#include "layout/legible.h"
#include "state/appstate.h"
#include "state/logcategories.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPropertyAnimation>
#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace {

constexpr int kShowMilliseconds = 350;
constexpr int kHideMilliseconds = 300;
constexpr int kGlideMilliseconds = 450;
constexpr int kBalloonLingerMilliseconds = 1500;
// A balloon that follows the speech shows this many lines.
constexpr int kFollowingLines = 2;

QString properCase(const QString &name)
{
    QString result = name.toLower();
    bool wordStart = true;
    for (QChar &c : result) {
        if (wordStart && c.isLetter())
            c = c.toUpper();
        wordStart = !c.isLetterOrNumber();
    }
    return result;
}

} // namespace

Agent::Agent(QWidget *host)
    : m_host(host)
    , m_character(new CharacterView(host))
    , m_balloon(new QLabel(host))
    , m_animation(new QVariantAnimation(this))
{
    m_character->setObjectName(QStringLiteral("agentCharacter"));
    m_character->hide();
    m_balloon->setObjectName(QStringLiteral("agentBalloon"));
    m_balloon->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_balloon->setAlignment(Qt::AlignCenter);
    m_balloon->setStyleSheet(
        QStringLiteral("QLabel { background: #fffbe6; color: black; border: 2px solid #444;"
                       " border-radius: 12px; padding: 4px 8px; }"));
    m_balloon->hide();
    m_balloonFont = QFont(QStringLiteral("Arial"), 14);
    SpeechEngine::instance().prepare();

    connect(m_animation, &QVariantAnimation::valueChanged, this,
        [this](const QVariant &value) { m_character->setAppearance(value.toDouble()); });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        if (m_character->appearance() <= 0)
            m_character->hide();
        done();
    });
    m_speechTick.setInterval(40);
    connect(&m_speechTick, &QTimer::timeout, this, &Agent::followSpeech);
    m_balloonLinger.setSingleShot(true);
    connect(&m_balloonLinger, &QTimer::timeout, this, &Agent::hideBalloon);
    // Nothing is left to draw on: the agent falls silent and still.
    connect(host, &QObject::destroyed, this, [this] {
        ++m_generation;
        m_queue.clear();
        m_waitingCaption.clear();
        m_captionOver = nullptr;
        silence();
        m_speechTick.stop();
        m_balloonLinger.stop();
        m_animation->stop();
        if (m_glide)
            m_glide->stop();
        m_playing = Request::None;
    });
}

Agent::~Agent()
{
    ++m_generation;
    silence();
    delete m_character.data();
    delete m_balloon.data();
}

void Agent::silence()
{
    // The voice is shared: another window's character may be the one speaking.
    if (m_voice != Voice::Silent)
        Speech::output().stop();
    m_voice = Voice::Silent;
    ++m_generation;
}

QString Agent::charactersFolder()
{
    return appState().ApplicationFolder + QStringLiteral("/characters");
}

int Agent::languageNumber(const QString &id)
{
    bool ok = false;
    const int number
        = id.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ? id.mid(2).toInt(&ok, 16) : id.toInt(&ok);
    return ok ? number : 1040;
}

QStringList Agent::availableCharacters()
{
    QStringList names;
    const QStringList files = QDir(charactersFolder())
                                  .entryList({QStringLiteral("*.svg")}, QDir::Files | QDir::Readable,
                                      QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files)
        names << properCase(file.chopped(4));
    return names;
}

bool Agent::loadCharacter(const QString &name)
{
    m_characterName = name;
    const QDir folder(charactersFolder());
    const QString wanted = name + QStringLiteral(".svg");
    QString path;
    for (const QString &file : folder.entryList({QStringLiteral("*.svg")}, QDir::Files)) {
        // A link to a named pipe is listed too, and reading it would wait for ever.
        if (file.compare(wanted, Qt::CaseInsensitive) == 0 && QFileInfo(folder.filePath(file)).isFile()) {
            path = folder.filePath(file);
            break;
        }
    }
    const bool ok = !path.isEmpty() && m_character->load(path);
    if (ok)
        m_characterProblem.clear();
    else if (path.isEmpty())
        m_characterProblem = QStringLiteral("Il personaggio \"%1\" non si trova nella cartella %2.")
                                 .arg(name, QDir::toNativeSeparators(charactersFolder()));
    else
        m_characterProblem = QStringLiteral("Il personaggio \"%1\" non si può disegnare: il file %2 è "
                                            "danneggiato.")
                                 .arg(name, QDir::toNativeSeparators(path));
    if (!ok)
        qCWarning(lcAgent, "%s", qPrintable(m_characterProblem));
    return ok;
}

QString Agent::problem() const
{
    QStringList problems;
    if (!m_characterProblem.isEmpty())
        problems << m_characterProblem;
    const QString speech = SpeechEngine::instance().problem();
    if (!speech.isEmpty())
        problems << speech;
    if (!m_voiceModeId.isEmpty() && !Voices::byModeId(m_voiceModeId))
        problems << QStringLiteral("La voce %1 non è installata: il personaggio parla con la voce italiana.")
                        .arg(m_voiceModeId);
    return problems.join(u'\n');
}

void Agent::setBalloonFont(const QString &name, int points)
{
    m_balloonFont = QFont(name);
    m_balloonFont.setPointSize(Legible::textPoints(points));
}

void Agent::setCharacterSize(const QSize &size)
{
    m_character->resize(size);
}

void Agent::moveTo(const QPoint &screenPoint)
{
    enqueue({Request::Move, screenPoint, {}});
}

void Agent::show()
{
    enqueue({Request::Show, {}, {}});
}

void Agent::hide()
{
    enqueue({Request::Hide, {}, {}});
}

void Agent::speak(const QString &text)
{
    enqueue({Request::Speak, {}, text});
}

void Agent::greet(const QString &text)
{
    enqueue({Request::Speak, {}, text, true});
}

void Agent::sayCaption(const QString &text, std::function<void()> over)
{
    // A greeting still waiting its turn is never said.
    m_queue.erase(std::remove_if(
                      m_queue.begin(), m_queue.end(), [](const Queued &request) { return request.greeting; }),
        m_queue.end());
    const bool cut = m_voice == Voice::Caption;
    m_waitingCaption.clear();
    finishCaption();
    if (text.isEmpty()) {
        if (cut) {
            silence();
            m_speechTick.stop();
            m_character->setLoudness(0);
            // A request that waited for the caption is said now.
            if (m_playing == Request::Speak)
                sayRequest();
        }
        return;
    }
    m_captionOver = std::move(over);
    if (m_voice == Voice::Request && !m_current.greeting) {
        m_waitingCaption = text;
        return;
    }
    sayCaptionNow(text);
    // The greeting being said, or waiting for the caption before, is over.
    if (m_playing == Request::Speak && m_current.greeting)
        done();
}

void Agent::sayCaptionNow(const QString &text)
{
    m_voice = Voice::Caption;
    startSpeaking(Speech::cueUtterance(text, m_voiceModeId), parseSpeechTags(text).text, [this] {
        m_voice = Voice::Silent;
        finishCaption();
        if (m_playing == Request::Speak && m_voice == Voice::Silent)
            sayRequest();
    });
}

void Agent::finishCaption()
{
    if (std::function<void()> over = std::exchange(m_captionOver, nullptr))
        over();
}

void Agent::stopAll()
{
    qCDebug(lcAgent, "stop all");
    m_queue.clear();
    m_waitingCaption.clear();
    silence();
    m_speechTick.stop();
    m_character->setLoudness(0);
    hideBalloon();
    // An animation cut short ends where it was going.
    if (m_animation->state() == QAbstractAnimation::Running) {
        m_animation->pause();
        const double end = m_animation->endValue().toDouble();
        m_animation->stop();
        m_character->setAppearance(end);
        m_character->setVisible(end > 0);
    }
    if (m_glide) {
        m_glide->stop();
        m_character->move(m_glide->endValue().toPoint());
        delete m_glide;
    }
    m_playing = Request::None;
    finishCaption();
}

bool Agent::isShown() const
{
    return m_character->isVisible() && m_character->appearance() > 0;
}

void Agent::enqueue(Queued request)
{
    m_queue.push_back(std::move(request));
    if (m_playing == Request::None)
        playNext();
}

void Agent::playNext()
{
    if (m_queue.empty()) {
        m_playing = Request::None;
        return;
    }
    const Queued request = m_queue.front();
    m_queue.pop_front();
    m_playing = request.kind;
    m_current = request;
    switch (request.kind) {
    case Request::Move: {
        const QPoint target = hostPoint(request.point);
        qCDebug(lcAgent, "move to %d,%d", target.x(), target.y());
        if (!isShown() || target == m_character->pos()) {
            m_character->move(target);
            done();
            return;
        }
        m_glide = new QPropertyAnimation(m_character, "pos", this);
        m_glide->setDuration(kGlideMilliseconds);
        m_glide->setEasingCurve(QEasingCurve::InOutQuad);
        m_glide->setEndValue(target);
        connect(m_glide, &QPropertyAnimation::finished, this, [this] {
            m_glide->deleteLater();
            done();
        });
        m_glide->start();
        return;
    }
    case Request::Show:
        qCDebug(lcAgent, "show");
        if (isShown() || !m_character->isLoaded()) {
            done();
            return;
        }
        m_character->setAppearance(0);
        m_character->show();
        m_character->raise();
        animate(0, 1, kShowMilliseconds);
        return;
    case Request::Hide:
        qCDebug(lcAgent, "hide");
        hideBalloon();
        if (!isShown()) {
            m_character->hide();
            done();
            return;
        }
        animate(m_character->appearance(), 0, kHideMilliseconds);
        return;
    case Request::Speak:
        if (m_voice != Voice::Caption) {
            sayRequest();
        } else if (request.greeting) {
            // The highlight has spoken first: the greeting is not said.
            done();
        }
        // Other speech is said when the caption ends.
        return;
    case Request::None:
        done();
        return;
    }
}

void Agent::done()
{
    m_playing = Request::None;
    playNext();
}

void Agent::animate(double from, double to, int milliseconds)
{
    m_animation->stop();
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
    m_animation->setDuration(milliseconds);
    m_animation->start();
}

QPoint Agent::hostPoint(const QPoint &screenPoint) const
{
    return m_host ? m_host->mapFromGlobal(screenPoint) : screenPoint;
}

void Agent::sayRequest()
{
    m_voice = Voice::Request;
    const Utterance utterance = Speech::profileUtterance(m_current.text, m_voiceModeId);
    startSpeaking(utterance, utterance.text, [this] {
        m_voice = Voice::Silent;
        // The caption that waited for this speech comes before the next request.
        if (!m_waitingCaption.isEmpty())
            sayCaptionNow(std::exchange(m_waitingCaption, QString()));
        done();
    });
}

void Agent::startSpeaking(const Utterance &utterance, const QString &shown, std::function<void()> ended)
{
    m_spoken = shown;
    qCDebug(lcAgent, "speak \"%s\"", qPrintable(m_spoken));

    m_balloonLinger.stop();
    m_balloonGeometry = QRect();
    showBalloon(0);
    m_speechTick.start();
    const quint64 generation = ++m_generation;
    Speech::output().say(utterance, [this, generation, ended = std::move(ended)] {
        if (generation != m_generation)
            return;
        m_speechTick.stop();
        m_character->setLoudness(0);
        if (m_balloon->isVisible()) {
            showBalloon(1);
            m_balloonLinger.start(kBalloonLingerMilliseconds);
        }
        ended();
    });
}

void Agent::followSpeech()
{
    const SpeechOutput &output = Speech::output();
    m_character->setLoudness(output.loudness());
    if (m_balloon->isVisible() && m_balloonFollows)
        showBalloon(output.progress());
}

void Agent::showBalloon(double progress)
{
    if (!(m_balloonStyle & BalloonShown) || !m_host || m_spoken.isEmpty())
        return;
    const QFontMetrics metrics(m_balloonFont);
    const int margin = 24; // border and padding on both sides
    const int widest = std::max(metrics.averageCharWidth() * 12, m_host->width() / 3);
    const QStringList lines = BalloonLayout::wrap(m_spoken, metrics, widest);
    if (!m_balloonGeometry.isValid()) {
        int textWidth = 0;
        for (const QString &line : lines)
            textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
        QList<QRect> obstacles;
        for (QWidget *control : m_host->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control != m_character && control != m_balloon)
                obstacles << control->geometry();
        }
        const int total = int(lines.size());
        int count = (m_balloonStyle & BalloonHoldsAllText) ? total : std::min(kFollowingLines, total);
        while (count >= 1) {
            const QSize size(textWidth + margin, metrics.lineSpacing() * count + margin);
            m_balloonGeometry
                = BalloonLayout::place(size, m_character->geometry(), obstacles, m_host->rect());
            if (m_balloonGeometry.isValid())
                break;
            // A balloon too tall for the free space follows the speech instead.
            count = count > kFollowingLines ? kFollowingLines : count - 1;
        }
        m_balloonLines = count;
        m_balloonFollows = count < total;
        if (!m_balloonGeometry.isValid()) {
            qCDebug(lcAgent, "no free place for the balloon");
            return;
        }
    }
    const QStringList shown = BalloonLayout::window(lines, m_balloonLines, progress);
    m_balloon->setFont(m_balloonFont);
    m_balloon->setText(shown.join(u'\n'));
    m_balloon->setAccessibleName(m_spoken);
    m_balloon->setGeometry(m_balloonGeometry);
    m_balloon->show();
    m_balloon->raise();
}

void Agent::hideBalloon()
{
    m_balloonLinger.stop();
    m_balloon->hide();
}

#include "moc_agent.cpp"
