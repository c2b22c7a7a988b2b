#include "playedspeech.h"

#include "state/logcategories.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QMediaDevices>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr int kBytesPerSecond = SpeechEngine::sampleRate * 2;
// How long an audio output takes to play what it is handed.
constexpr qint64 kLatencyMs = 150;

qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

PlayedSpeech::PlayedSpeech()
    : m_clock(&steadyMs)
{
    m_format.setSampleRate(SpeechEngine::sampleRate);
    m_format.setChannelCount(1);
    m_format.setSampleFormat(QAudioFormat::Int16);
    m_tick.setInterval(10);
    connect(&m_tick, &QTimer::timeout, this, &PlayedSpeech::feed);
    SpeechEngine &engine = SpeechEngine::instance();
    connect(&engine, &SpeechEngine::samples, this, &PlayedSpeech::onSamples);
    connect(&engine, &SpeechEngine::finished, this, &PlayedSpeech::onFinished);
}

PlayedSpeech::~PlayedSpeech()
{
    SpeechEngine::instance().cancelAll();
    // The sink goes before the device it writes to.
    m_sink.reset();
}

void PlayedSpeech::say(const Utterance &utterance, std::function<void()> done)
{
    stop();
    m_done = std::move(done);
    m_active = true;
    m_sayMs = m_clock();
    m_ticket = SpeechEngine::instance().start(utterance);
    qCDebug(lcSpeech, "say \"%s\" with %s at rate %d, pitch %d", qPrintable(utterance.text),
        qPrintable(utterance.voice), utterance.rate, utterance.pitch);
}

void PlayedSpeech::stop()
{
    if (m_active)
        SpeechEngine::instance().cancelAll();
    m_active = false;
    m_done = nullptr;
    m_ticket = 0;
    m_pcm.clear();
    m_written = 0;
    m_synthesised = false;
    m_tick.stop();
    if (m_sink)
        m_sink->stop();
    m_device = nullptr;
}

void PlayedSpeech::onSamples(quint64 ticket, const QByteArray &pcm)
{
    if (!m_active || ticket != m_ticket)
        return;
    const bool first = m_pcm.isEmpty();
    m_pcm += pcm;
    if (first) {
        m_useClock = !openSink();
        m_firstFrameMs = m_clock();
        m_tick.start();
    }
    feed();
    if (first && m_written > 0) {
        qCDebug(lcSpeech, "first samples handed to the audio output after %lld ms", m_clock() - m_sayMs);
    }
}

void PlayedSpeech::onFinished(quint64 ticket, bool ok)
{
    if (!m_active || ticket != m_ticket)
        return;
    m_synthesised = true;
    if (!ok || m_pcm.isEmpty())
        finish();
}

bool PlayedSpeech::openSink()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(m_format))
        return false;
    if (!m_sink || m_sink->format() != m_format) {
        m_sink = std::make_unique<QAudioSink>(device, m_format);
        // Large enough to ride out a busy GUI thread, small enough to stop at once.
        m_sink->setBufferSize(kBytesPerSecond / 4);
    }
    m_device = m_sink->start();
    return m_device && m_sink->error() == QAudio::NoError;
}

void PlayedSpeech::feed()
{
    if (m_pcm.isEmpty())
        return;
    if (m_useClock) {
        m_written = m_pcm.size();
    } else if (m_device) {
        if (m_sink->error() != QAudio::NoError) {
            qCWarning(lcSpeech, "the audio output failed; keeping time by the clock");
            m_useClock = true;
        } else {
            const qint64 room = std::min<qint64>(m_sink->bytesFree(), m_pcm.size() - m_written);
            if (room > 0) {
                const qint64 taken = m_device->write(m_pcm.constData() + m_written, room);
                if (taken > 0)
                    m_written += taken;
            }
        }
    }
    if (!m_synthesised)
        return;
    // The pieces come far faster than they play, so the clock tells when the
    // sound is over; how fast an output takes its samples does not (some
    // take them in blocks of a second).
    const qint64 totalMs = qint64(m_pcm.size()) * 1000 / kBytesPerSecond;
    if (m_active && sinceFirstFrame() >= totalMs + kLatencyMs)
        finish();
    // The rest is fed on after that, until the next sentence or stop().
    if (!m_active && m_written >= m_pcm.size())
        m_tick.stop();
}

qint64 PlayedSpeech::playedBytes() const
{
    if (m_pcm.isEmpty())
        return 0;
    // Pieces come far faster than they play, so the clock since the first
    // one tells where the sound is, to within the output's latency.
    const qint64 byClock = sinceFirstFrame() * kBytesPerSecond / 1000;
    return std::min<qint64>(byClock, m_written) & ~qint64(1);
}

void PlayedSpeech::finish()
{
    qCDebug(lcSpeech, "done after %lld ms, %lld ms of sound", m_clock() - m_sayMs,
        qint64(m_pcm.size()) * 1000 / kBytesPerSecond);
    std::function<void()> done = std::move(m_done);
    m_active = false;
    m_done = nullptr;
    if (done)
        done();
}

double PlayedSpeech::loudness() const
{
    if (!m_active || m_pcm.isEmpty())
        return 0;
    // The root mean square of the last 40 ms played.
    const qint64 end = playedBytes() / 2;
    const qint64 begin = std::max<qint64>(0, end - SpeechEngine::sampleRate / 25);
    if (end <= begin)
        return 0;
    const auto *samples = reinterpret_cast<const qint16 *>(m_pcm.constData());
    double sum = 0;
    for (qint64 i = begin; i < end; ++i)
        sum += double(samples[i]) * samples[i];
    return std::min(1.0, std::sqrt(sum / double(end - begin)) / 6000.0);
}

double PlayedSpeech::progress() const
{
    if (!m_active || m_pcm.isEmpty())
        return m_active ? 0 : 1;
    return double(playedBytes()) / double(m_pcm.size());
}

namespace Speech {

namespace {
std::unique_ptr<SpeechOutput> &current()
{
    static std::unique_ptr<SpeechOutput> output;
    return output;
}
} // namespace

SpeechOutput &output()
{
    // The audio output must go while the application still stands.
    static const bool cleanup = [] {
        qAddPostRoutine([] { current().reset(); });
        return true;
    }();
    Q_UNUSED(cleanup)
    if (!current())
        current() = std::make_unique<PlayedSpeech>();
    return *current();
}

void setOutput(std::unique_ptr<SpeechOutput> replacement)
{
    current() = std::move(replacement);
}

} // namespace Speech

#include "moc_playedspeech.cpp"
