#pragma once

#include "speechoutput.h"

#include <QAudioFormat>
#include <QObject>
#include <QTimer>

#include <functional>

class QAudioSink;
class QIODevice;

// Speech synthesised off the GUI thread and played through the default
// audio output as the pieces arrive. Without an audio device it keeps time
// by the clock instead, so the character still moves its mouth and the
// queue still moves on.
class PlayedSpeech : public QObject, public SpeechOutput
{
    Q_OBJECT

public:
    // Milliseconds that only go forward.
    using Clock = std::function<qint64()>;

    PlayedSpeech();
    ~PlayedSpeech() override;

    void say(const Utterance &utterance, std::function<void()> done) override;
    void stop() override;
    double loudness() const override;
    double progress() const override;

    // Bytes of the current utterance written to the audio output so far.
    qint64 bytesHandedOver() const { return m_written; }

    // The clock that tells when a sentence has been heard: the steady clock,
    // or a test's own.
    void setClock(Clock clock) { m_clock = std::move(clock); }

private:
    void onSamples(quint64 ticket, const QByteArray &pcm);
    void onFinished(quint64 ticket, bool ok);
    void feed();
    qint64 playedBytes() const;
    qint64 sinceFirstFrame() const { return m_clock() - m_firstFrameMs; }
    bool openSink();
    void finish();

    quint64 m_ticket = 0;
    QByteArray m_pcm;
    qint64 m_written = 0;
    bool m_synthesised = false;
    bool m_active = false;
    std::function<void()> m_done;
    QAudioFormat m_format;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice *m_device = nullptr;
    bool m_useClock = false;
    Clock m_clock;
    qint64 m_sayMs = 0;
    qint64 m_firstFrameMs = 0;
    QTimer m_tick;
};
