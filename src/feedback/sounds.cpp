#include "sounds.h"

#include "state/appstate.h"
#include "state/random.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

namespace {

// Keeps one effect per file, made on first use. Without an audio device the
// effects fail quietly; nothing ever waits for a sound to end.
class SoundEffectOutput : public SoundOutput
{
public:
    void play(const QString &wavePath) override
    {
        if (m_playing)
            m_playing->stop();
        m_playing = nullptr;
        // A named pipe or a device would keep the reading thread, and with
        // it the program's ending, waiting for ever.
        if (!QFileInfo(wavePath).isFile())
            return;
        QPointer<QSoundEffect> &effect = m_effects[wavePath];
        if (!effect) {
            // Owned by the application, so they go before the audio backend does.
            effect = new QSoundEffect(QCoreApplication::instance());
            effect->setSource(QUrl::fromLocalFile(wavePath));
        }
        effect->play();
        m_playing = effect;
    }

private:
    QHash<QString, QPointer<QSoundEffect>> m_effects;
    QPointer<QSoundEffect> m_playing;
};

std::unique_ptr<SoundOutput> &output()
{
    static std::unique_ptr<SoundOutput> current;
    if (!current)
        current = std::make_unique<SoundEffectOutput>();
    return current;
}

QString soundFolder()
{
    return appState().ApplicationFolder + QStringLiteral("/suoni/");
}

quint32 littleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | quint8(bytes[at + i]);
    return value;
}

// Whether the start of a file is that of a wave file of samples, as the
// sound effects play them: a format chunk of plain or float samples, then
// data.
bool isPlayableWave(const QByteArray &head)
{
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    for (qsizetype at = 12; at + 8 <= head.size();) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = littleEndian(head, at + 4, 4);
        if (id == "fmt ") {
            if (size < 16 || at + 24 > head.size())
                return false;
            const quint32 tag = littleEndian(head, at + 8, 2);
            const quint32 channels = littleEndian(head, at + 10, 2);
            const quint32 rate = littleEndian(head, at + 12, 4);
            const quint32 bits = littleEndian(head, at + 22, 2);
            format = (tag == 1 || tag == 3 || tag == 0xFFFE) && channels >= 1 && rate > 0 && bits >= 8
                && bits <= 32 && bits % 8 == 0;
            if (!format)
                return false;
        } else if (id == "data") {
            return format && size > 0;
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    return false;
}

// Why the sound file cannot be played, in Italian; empty when it can.
QString whyNotPlayable(const QString &path)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists())
        return QStringLiteral("manca il file %1").arg(shown);
    if (!info.isFile())
        return QStringLiteral("%1 non è un file normale").arg(shown);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("il file %1 non si può leggere").arg(shown);
    if (!isPlayableWave(file.read(64 * 1024)))
        return QStringLiteral("il file %1 è danneggiato").arg(shown);
    return {};
}

} // namespace

namespace Sounds {

void setOutput(std::unique_ptr<SoundOutput> replacement)
{
    output() = std::move(replacement);
}

QString rightAnswerPath(int variant)
{
    return soundFolder() + QStringLiteral("si%1.wav").arg(variant);
}

QString wrongAnswerPath()
{
    return soundFolder() + QStringLiteral("no.wav");
}

QString problem()
{
    QStringList faults;
    for (int variant = 1; variant <= 4; ++variant)
        faults << whyNotPlayable(rightAnswerPath(variant));
    faults << whyNotPlayable(wrongAnswerPath());
    faults.removeAll(QString());
    if (faults.isEmpty())
        return {};
    return QStringLiteral("Alcuni suoni delle risposte non si sentiranno:\r\n")
        + faults.join(QStringLiteral("\r\n"));
}

} // namespace Sounds

void playRightSound()
{
    if (!appState().Settings.SoundsOn)
        return;
    output()->play(Sounds::rightAnswerPath(Random::pickOneBased(4)));
}

void playWrongSound()
{
    if (!appState().Settings.SoundsOn)
        return;
    output()->play(Sounds::wrongAnswerPath());
}
