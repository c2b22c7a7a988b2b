#pragma once

#include <QString>

#include <optional>

// Speed and pitch travel inside the text to speak as tags:
// "\Spd=130\\Pit=100\" (a backslash, Spd=, the speed, two backslashes,
// Pit=, the pitch, a backslash). The tags are read, never spoken.
QString speechTagsFor(int speed, int pitch);

struct TaggedSpeech
{
    QString text;
    std::optional<int> speed;
    std::optional<int> pitch;
};

// The text without its tags, and the last speed and pitch they set.
// Unknown tags are dropped too; a backslash that opens no tag stays.
TaggedSpeech parseSpeechTags(const QString &text);

// A word or sentence of a list, to be said as it is written: a backslash,
// which could open a tag and change the voice, is said as a blank.
QString untagged(const QString &text);
