#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class QThread;

// What to say and how: the engine's voice name, rate and pitch, and how
// loud, 0 to 1 of the engine's own level.
struct Utterance
{
    QString text;
    QString voice = QStringLiteral("it");
    int rate = 175;
    int pitch = 50;
    double volume = 1.0;
};

// Italian speech from libespeak-ng: 16-bit mono PCM at sampleRate(). The
// library keeps global state, so one engine runs every synthesis on a
// thread of its own; the samples come back in pieces as they are made, so
// playing can start before the sentence is finished.
class SpeechEngine : public QObject
{
    Q_OBJECT

public:
    static constexpr int sampleRate = 22050;

    static SpeechEngine &instance();
    ~SpeechEngine() override;

    // Queues a synthesis and returns its ticket; the pieces arrive through
    // samples() and the end through finished(), both for that ticket.
    quint64 start(const Utterance &utterance);

    // Loads the engine's data ahead of the first sentence, without waiting.
    void prepare();

    // Abandons every synthesis started so far; nothing more arrives for them.
    void cancelAll();

    // The whole synthesis at once, waiting for it; empty on failure.
    QByteArray render(const Utterance &utterance);

    // The engine's phoneme mnemonics for the text in the voice, clause by
    // clause, waiting for them: what it would say, to compare two texts by
    // sound. Empty on failure.
    QStringList phonemes(const QString &text, const QString &voice = QStringLiteral("it"));

    // What keeps the engine from speaking, in Italian; empty when it works.
    // Waits for the engine to start, the first time.
    QString problem() const;

    // The text as the engine is given it: every control character, which
    // the engine would take for the start of a command, is a blank.
    static QString plainText(const QString &text);

Q_SIGNALS:
    void samples(quint64 ticket, const QByteArray &pcm);
    void finished(quint64 ticket, bool ok);

private:
    SpeechEngine();

    class Worker;
    std::unique_ptr<QThread> m_thread;
    Worker *m_worker = nullptr;
    std::atomic<quint64> m_nextTicket{1};
};
