#pragma once

#include "speechoutput.h"

#include <QAudioFormat>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

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
    PlayedSpeech();
    ~PlayedSpeech() override;

    void say(const Utterance &utterance, std::function<void()> done) override;
    void stop() override;
    double loudness() const override;
    double progress() const override;

    // Bytes of the current utterance written to the audio output so far.
    qint64 bytesHandedOver() const { return m_written; }

private:
    void onSamples(quint64 ticket, const QByteArray &pcm);
    void onFinished(quint64 ticket, bool ok);
    void feed();
    qint64 playedBytes() const;
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
    QElapsedTimer m_sinceSay;
    QElapsedTimer m_sinceFirstFrame;
    QTimer m_tick;
};
