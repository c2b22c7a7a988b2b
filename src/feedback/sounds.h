#pragma once

#include <QString>

#include <memory>

// Where the right- and wrong-answer sounds go. Playing returns at once, and a
// new sound cuts off the one still playing.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    virtual void play(const QString &wavePath) = 0;
};

namespace Sounds {

// Takes ownership; nullptr restores the real output.
void setOutput(std::unique_ptr<SoundOutput> output);

QString rightAnswerPath(int variant);
QString wrongAnswerPath();

// Which of the five answer sounds are missing, are no regular file or are
// no wave file that can be played, in Italian; empty when all are fine.
QString problem();

} // namespace Sounds

// A random one of the four right-answer sounds; silent when sounds are off.
void playRightSound();

// The wrong-answer sound; silent when sounds are off.
void playWrongSound();
