#pragma once

#include "feedback/sounds.h"
#include "layout/dialogs.h"

#include <QStringList>

#include <memory>

// Message boxes that are recorded instead of shown; questions get the
// answer the test chose. Installed for the life of the object.
class RecordedDialogs
{
public:
    RecordedDialogs();
    ~RecordedDialogs();

    const QStringList &messages() const;
    void answerQuestionsWith(bool yes);

    struct Shared;

private:
    std::shared_ptr<Shared> m_shared;
};

// Sounds that are recorded instead of played.
class RecordedSounds
{
public:
    RecordedSounds();
    ~RecordedSounds();

    const QStringList &played() const;

private:
    std::shared_ptr<QStringList> m_played;
};
