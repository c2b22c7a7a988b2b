#include "fakes.h"

#include "feedback/colours.h"
#include "scanning/scanclock.h"
#include "state/appstate.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

struct RecordedDialogs::Shared
{
    QStringList messages;
    bool answer = true;
    std::optional<Dialogs::Answer> answerWithCancel;
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

    Dialogs::Answer questionWithCancel(QWidget *, const QString &, const QString &text) override
    {
        m_shared->messages << text;
        if (m_shared->answerWithCancel)
            return *m_shared->answerWithCancel;
        return m_shared->answer ? Dialogs::Answer::Yes : Dialogs::Answer::No;
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

struct RecordedSpeech::Shared
{
    int milliseconds = 0;
    QList<Utterance> utterances;
    QStringList finished;
    // Ends the utterance being said; empty when none is.
    std::function<void()> end;
};

namespace {

class RecordingSpeechOutput : public SpeechOutput
{
public:
    explicit RecordingSpeechOutput(std::shared_ptr<RecordedSpeech::Shared> shared)
        : m_shared(std::move(shared))
    { }

    ~RecordingSpeechOutput() override { m_shared->end = nullptr; }

    void say(const Utterance &utterance, std::function<void()> done) override
    {
        stop();
        m_shared->utterances << utterance;
        m_speaking = true;
        const quint64 generation = m_generation;
        m_shared->end = [this, generation, utterance, done] {
            if (generation != m_generation)
                return;
            m_speaking = false;
            m_shared->end = nullptr;
            m_shared->finished << utterance.text;
            if (done)
                done();
        };
        if (m_shared->milliseconds >= 0)
            QTimer::singleShot(m_shared->milliseconds, &m_context, [end = m_shared->end] { end(); });
    }

    void stop() override
    {
        ++m_generation;
        m_speaking = false;
        m_shared->end = nullptr;
    }

    double loudness() const override { return m_speaking ? 0.5 : 0; }
    double progress() const override { return m_speaking ? 0.5 : 1; }

private:
    std::shared_ptr<RecordedSpeech::Shared> m_shared;
    QObject m_context;
    quint64 m_generation = 0;
    bool m_speaking = false;
};

} // namespace

RecordedSpeech::RecordedSpeech(int milliseconds)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->milliseconds = milliseconds;
    Speech::setOutput(std::make_unique<RecordingSpeechOutput>(m_shared));
}

RecordedSpeech::~RecordedSpeech()
{
    Speech::setOutput(std::make_unique<RecordingSpeechOutput>(std::make_shared<Shared>()));
}

QStringList RecordedSpeech::said() const
{
    QStringList texts;
    for (const Utterance &utterance : m_shared->utterances)
        texts << utterance.text;
    return texts;
}

const QList<Utterance> &RecordedSpeech::utterances() const
{
    return m_shared->utterances;
}

const QStringList &RecordedSpeech::finished() const
{
    return m_shared->finished;
}

void RecordedSpeech::finish()
{
    if (std::function<void()> end = m_shared->end)
        end();
}

bool RecordedSpeech::speaking() const
{
    return bool(m_shared->end);
}

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

void RecordedDialogs::answerQuestionsWithCancelBy(Dialogs::Answer answer)
{
    m_shared->answerWithCancel = answer;
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

struct ScriptedCommonDialogs::Shared
{
    std::optional<QColor> colour;
    std::optional<CommonDialogs::FontChoice> font;
    bool confirmOfferedFont = false;
    std::optional<CommonDialogs::FontChoice> fontOffered;
    QString path;
    QList<CommonDialogs::FileRequest> fileRequests;
};

namespace {

class ScriptedProvider : public CommonDialogs::Provider
{
public:
    explicit ScriptedProvider(std::shared_ptr<ScriptedCommonDialogs::Shared> shared)
        : m_shared(std::move(shared))
    { }

    std::optional<QColor> chooseColour(QWidget *) override { return m_shared->colour; }
    std::optional<CommonDialogs::FontChoice> chooseFont(const CommonDialogs::FontChoice &start) override
    {
        m_shared->fontOffered = start;
        return m_shared->confirmOfferedFont ? start : m_shared->font;
    }
    QString chooseFile(QWidget *, const CommonDialogs::FileRequest &request) override
    {
        m_shared->fileRequests << request;
        return m_shared->path;
    }

private:
    std::shared_ptr<ScriptedCommonDialogs::Shared> m_shared;
};

} // namespace

ScriptedCommonDialogs::ScriptedCommonDialogs()
    : m_shared(std::make_shared<Shared>())
{
    CommonDialogs::setProvider(std::make_unique<ScriptedProvider>(m_shared));
}

ScriptedCommonDialogs::~ScriptedCommonDialogs()
{
    CommonDialogs::setProvider(nullptr);
}

void ScriptedCommonDialogs::confirmOfferedFont()
{
    m_shared->confirmOfferedFont = true;
}

std::optional<CommonDialogs::FontChoice> ScriptedCommonDialogs::fontOffered() const
{
    return m_shared->fontOffered;
}

void ScriptedCommonDialogs::answerColour(std::optional<QColor> colour)
{
    m_shared->colour = colour;
}

void ScriptedCommonDialogs::answerFont(std::optional<CommonDialogs::FontChoice> font)
{
    m_shared->font = std::move(font);
    m_shared->confirmOfferedFont = false;
}

void ScriptedCommonDialogs::answerFile(const QString &path)
{
    m_shared->path = path;
}

const QList<CommonDialogs::FileRequest> &ScriptedCommonDialogs::fileRequests() const
{
    return m_shared->fileRequests;
}

namespace SwitchPress {

void press(Qt::Key key, QWidget *fallback)
{
    // The pupil has looked at the highlight before pressing: past any selection guard.
    ScanClock::advance(kLookMs);
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    QTest::keyClick(target, key);
}

bool lit(const QWidget *button)
{
    return button->palette().color(QPalette::Button)
        == Colours::fromNumber(appState().Settings.SelectedButtonColour);
}

} // namespace SwitchPress
