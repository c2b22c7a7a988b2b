#include "voices.h"

#include <QUuid>

#include <algorithm>
#include <cmath>

namespace {

// The namespace of Velmora's voice identifiers (a name-based UUID each).
const QUuid kVoiceNamespace(QStringLiteral("{5b0c61c2-7a4e-4f43-9a8e-2f6c3d1e7b90}"));

QString modeIdFor(const QString &engineName)
{
    return QUuid::createUuidV5(kVoiceNamespace, engineName).toString(QUuid::WithBraces).toUpper();
}

QList<VoiceInfo> makeVoices()
{
    QList<VoiceInfo> voices;
    voices.append({QStringLiteral("it"), QStringLiteral("Italiano"), Voices::defaultModeId()});
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("it+f%1").arg(i);
        voices.append({name, QStringLiteral("Italiano, voce femminile %1").arg(i), modeIdFor(name)});
    }
    for (int i = 1; i <= 7; ++i) {
        const QString name = QStringLiteral("it+m%1").arg(i);
        voices.append({name, QStringLiteral("Italiano, voce maschile %1").arg(i), modeIdFor(name)});
    }
    voices.append({QStringLiteral("it+whisper"), QStringLiteral("Italiano, voce sussurrata"),
        modeIdFor(QStringLiteral("it+whisper"))});
    return voices;
}

QString bare(QString id)
{
    id = id.trimmed();
    if (id.startsWith(u'{') && id.endsWith(u'}'))
        id = id.mid(1, id.size() - 2);
    return id;
}

int scaled(int value, double from, double to, int low, int high)
{
    return std::clamp(int(std::lround(value * to / from)), low, high);
}

} // namespace

namespace Voices {

QString defaultModeId()
{
    return QStringLiteral("{7EF71701-A92D-11d1-B17B-0020AFED142E}");
}

const QList<VoiceInfo> &italian()
{
    static const QList<VoiceInfo> voices = makeVoices();
    return voices;
}

const VoiceInfo *byModeId(const QString &modeId)
{
    const QString wanted = bare(modeId);
    for (const VoiceInfo &voice : italian()) {
        if (bare(voice.modeId).compare(wanted, Qt::CaseInsensitive) == 0)
            return &voice;
    }
    return nullptr;
}

int engineRate(int speechSpeed)
{
    return scaled(speechSpeed, 130, 175, 80, 450);
}

int enginePitch(int speechPitch)
{
    return scaled(speechPitch, 100, 50, 0, 100);
}

} // namespace Voices
