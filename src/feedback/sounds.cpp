#include "sounds.h"

#include "state/appstate.h"
#include "state/random.h"

#include <QCoreApplication>
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
        if (!QFileInfo::exists(wavePath))
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

} // namespace Sounds

void SuonoEsatto()
{
    if (!appState().Settings.SoundsOn)
        return;
    output()->play(Sounds::rightAnswerPath(Random::pickOneBased(4)));
}

void SuonoErrato()
{
    if (!appState().Settings.SoundsOn)
        return;
    output()->play(Sounds::wrongAnswerPath());
}
