#include "speechengine.h"

#include "state/logcategories.h"

#include <QMutex>
#include <QScopeGuard>
#include <QThread>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>

namespace {

// Samples handed back per callback: short pieces keep the first sound early.
constexpr int kPieceMilliseconds = 40;

// The synthesis in progress; the engine's callback has no other way to
// reach it. Only the worker thread touches it.
struct Current
{
    std::function<bool(const short *, int)> sink;
};
Current g_current;

int onSynthesised(short *wav, int count, espeak_EVENT *)
{
    if (!g_current.sink || !wav || count <= 0)
        return 0;
    return g_current.sink(wav, count) ? 0 : 1;
}

} // namespace

class SpeechEngine::Worker : public QObject
{
public:
    // Runs on the worker thread.
    bool synthesise(
        quint64 ticket, const Utterance &utterance, const std::function<void(QByteArray)> &emitPiece)
    {
        if (!ensureInitialised())
            return false;
        if (ticket < m_cancelledBelow.load())
            return false;
        if (espeak_SetVoiceByName(utterance.voice.toUtf8().constData()) != EE_OK) {
            qCWarning(
                lcSpeech, "voice %s refused; speaking with the Italian voice", qPrintable(utterance.voice));
            if (espeak_SetVoiceByName("it") != EE_OK) {
                setProblem(QStringLiteral("La voce italiana del sintetizzatore non è installata."));
                return false;
            }
        }
        espeak_SetParameter(espeakRATE, utterance.rate, 0);
        espeak_SetParameter(espeakPITCH, utterance.pitch, 0);
        const QByteArray text = SpeechEngine::plainText(utterance.text).toUtf8();
        const double volume = std::clamp(utterance.volume, 0.0, 1.0);
        g_current.sink = [&](const short *wav, int count) {
            if (ticket < m_cancelledBelow.load())
                return false;
            QByteArray piece(reinterpret_cast<const char *>(wav), count * int(sizeof(short)));
            if (volume < 1.0) {
                auto *samples = reinterpret_cast<qint16 *>(piece.data());
                for (int i = 0; i < count; ++i)
                    samples[i] = qint16(std::lround(samples[i] * volume));
            }
            emitPiece(piece);
            return true;
        };
        const espeak_ERROR result = espeak_Synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER,
            0, espeakCHARS_UTF8, nullptr, nullptr);
        g_current.sink = nullptr;
        return result == EE_OK && ticket >= m_cancelledBelow.load();
    }

    // Runs on the worker thread.
    QStringList phonemes(const QString &text, const QString &voice)
    {
        if (!ensureInitialised() || espeak_SetVoiceByName(voice.toUtf8().constData()) != EE_OK)
            return {};
        const QByteArray bytes = SpeechEngine::plainText(text).toUtf8();
        QStringList clauses;
        // The engine translates a clause at a time and moves the pointer on.
        const void *rest = bytes.constData();
        while (rest) {
            if (const char *clause = espeak_TextToPhonemes(&rest, espeakCHARS_UTF8, 0))
                clauses << QString::fromUtf8(clause);
        }
        return clauses;
    }

    bool ensureInitialised()
    {
        if (m_initialised)
            return m_rate > 0;
        const auto known = qScopeGuard([this] { m_initialised = true; });
        m_rate = espeak_Initialize(
            AUDIO_OUTPUT_SYNCHRONOUS, kPieceMilliseconds, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (m_rate <= 0) {
            setProblem(QStringLiteral("Il sintetizzatore vocale non si avvia: i dati di espeak-ng mancano."));
            return false;
        }
        if (m_rate != SpeechEngine::sampleRate)
            qCWarning(lcSpeech, "the engine speaks at %d Hz", m_rate);
        espeak_SetSynthCallback(onSynthesised);
        // The Italian voice's data is read now rather than at the first word.
        if (espeak_SetVoiceByName("it") != EE_OK)
            setProblem(QStringLiteral("La voce italiana del sintetizzatore non è installata."));
        return true;
    }

    void cancelBelow(quint64 ticket) { m_cancelledBelow.store(ticket); }
    bool initialised() const { return m_initialised; }

    QString problem() const
    {
        QMutexLocker lock(&m_problemMutex);
        return m_problem;
    }

private:
    void setProblem(const QString &text)
    {
        qCWarning(lcSpeech, "%s", qPrintable(text));
        QMutexLocker lock(&m_problemMutex);
        m_problem = text;
    }

    // Written on the worker thread, read on others.
    std::atomic<bool> m_initialised{false};
    int m_rate = 0;
    std::atomic<quint64> m_cancelledBelow{0};
    mutable QMutex m_problemMutex;
    QString m_problem;
};

SpeechEngine &SpeechEngine::instance()
{
    static SpeechEngine engine;
    return engine;
}

SpeechEngine::SpeechEngine()
    : m_thread(std::make_unique<QThread>())
{
    m_thread->setObjectName(QStringLiteral("speech"));
    m_worker = new Worker;
    m_worker->moveToThread(m_thread.get());
    m_thread->start();
}

SpeechEngine::~SpeechEngine()
{
    m_worker->cancelBelow(m_nextTicket.load());
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

quint64 SpeechEngine::start(const Utterance &utterance)
{
    const quint64 ticket = m_nextTicket++;
    QMetaObject::invokeMethod(m_worker, [this, ticket, utterance] {
        const bool ok = m_worker->synthesise(
            ticket, utterance, [this, ticket](const QByteArray &pcm) { Q_EMIT samples(ticket, pcm); });
        Q_EMIT finished(ticket, ok);
    });
    return ticket;
}

void SpeechEngine::prepare()
{
    QMetaObject::invokeMethod(m_worker, [this] { m_worker->ensureInitialised(); });
}

void SpeechEngine::cancelAll()
{
    m_worker->cancelBelow(m_nextTicket.load());
}

QByteArray SpeechEngine::render(const Utterance &utterance)
{
    QByteArray all;
    const quint64 ticket = m_nextTicket++;
    bool ok = false;
    QMetaObject::invokeMethod(
        m_worker,
        [&] { ok = m_worker->synthesise(ticket, utterance, [&all](const QByteArray &pcm) { all += pcm; }); },
        Qt::BlockingQueuedConnection);
    return ok ? all : QByteArray();
}

QStringList SpeechEngine::phonemes(const QString &text, const QString &voice)
{
    QStringList clauses;
    QMetaObject::invokeMethod(
        m_worker, [&] { clauses = m_worker->phonemes(text, voice); }, Qt::BlockingQueuedConnection);
    return clauses;
}

QString SpeechEngine::problem() const
{
    // What the engine found at its start is known once it has started.
    if (!m_worker->initialised())
        QMetaObject::invokeMethod(
            m_worker, [this] { m_worker->ensureInitialised(); }, Qt::BlockingQueuedConnection);
    return m_worker->problem();
}

QString SpeechEngine::plainText(const QString &text)
{
    // The engine reads a control character (CTRL-A above all) as the start
    // of a command of its own: none of them is ever passed on.
    QString plain = text;
    for (QChar &c : plain) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return plain;
}

#include "moc_speechengine.cpp"
