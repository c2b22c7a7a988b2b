#include "fakes.h"

#include "feedback/colours.h"
#include "state/appstate.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

struct RecordedDialogs::Shared
{
    QStringList messages;
    bool answer = true;
};

namespace {

class RecordingProvider : public Dialogs::Provider
{
public:
    explicit RecordingProvider(std::shared_ptr<RecordedDialogs::Shared> shared)
        : m_shared(std::move(shared))
    { }

    void information(QWidget *, const QString &, const QString &text) override { m_shared->messages << text; }

    bool question(QWidget *, const QString &, const QString &text, Dialogs::Icon) override
    {
        m_shared->messages << text;
        return m_shared->answer;
    }

private:
    std::shared_ptr<RecordedDialogs::Shared> m_shared;
};

class RecordingOutput : public SoundOutput
{
public:
    explicit RecordingOutput(std::shared_ptr<QStringList> played)
        : m_played(std::move(played))
    { }

    void play(const QString &wavePath) override { *m_played << wavePath; }

private:
    std::shared_ptr<QStringList> m_played;
};

} // namespace

RecordedDialogs::RecordedDialogs()
    : m_shared(std::make_shared<Shared>())
{
    Dialogs::setProvider(std::make_unique<RecordingProvider>(m_shared));
}

RecordedDialogs::~RecordedDialogs()
{
    Dialogs::setProvider(nullptr);
}

const QStringList &RecordedDialogs::messages() const
{
    return m_shared->messages;
}

void RecordedDialogs::answerQuestionsWith(bool yes)
{
    m_shared->answer = yes;
}

RecordedSounds::RecordedSounds()
    : m_played(std::make_shared<QStringList>())
{
    Sounds::setOutput(std::make_unique<RecordingOutput>(m_played));
}

RecordedSounds::~RecordedSounds()
{
    Sounds::setOutput(nullptr);
}

const QStringList &RecordedSounds::played() const
{
    return *m_played;
}

namespace SwitchPress {

void press(Qt::Key key, QWidget *fallback)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    QTest::keyClick(target, key);
}

bool lit(const QWidget *button)
{
    return button->palette().color(QPalette::Button)
        == Colours::fromNumber(appState().Settings.SelectedButtonColour);
}

} // namespace SwitchPress
