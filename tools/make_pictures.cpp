// make_pictures PROGRAM_FOLDER OUTPUT_FOLDER
//
// Takes the manual's pictures from the program's own windows: for every row
// of the table below it starts the windows afresh, on the offscreen platform,
// in a temporary home, over the data of PROGRAM_FOLDER, brings them to the
// row's state as a pupil or teacher would, and saves the row's widget as
// OUTPUT_FOLDER/NAME.png. Ends non-zero when any picture could not be taken,
// so the manual never shows a window that no longer looks like that.

#include "privatehome.h"

#include "app/formmenu.h"
#include "app/program.h"
#include "app/topicmenu.h"
#include "exercises/exercisewindow.h"
#include "feedback/colours.h"
#include "feedback/sounds.h"
#include "feedback/speechoutput.h"
#include "layout/dialogs.h"
#include "layout/flatbuttonstyle.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "scanning/scanclock.h"
#include "scanning/switchkeys.h"
#include "settings/formconfigura.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

namespace {

constexpr quint32 kSeed = 20261208;
// A common school screen; the windows scale their design to it.
const QSize kScreen(1024, 768);

void say(const QString &message)
{
    std::fprintf(stderr, "make_pictures: %s\n", qPrintable(message));
}

// The character moves its mouth and shows its balloon for as long as the
// voice would play, but nothing is heard.
class SilentSpeech : public SpeechOutput
{
public:
    void say(const Utterance &, std::function<void()> done) override
    {
        m_done = std::move(done);
        QTimer::singleShot(800, [this] {
            if (auto done = std::exchange(m_done, nullptr))
                done();
        });
    }
    void stop() override { m_done = nullptr; }
    double loudness() const override { return m_done ? 0.6 : 0; }
    double progress() const override { return m_done ? 0.5 : 1; }

private:
    std::function<void()> m_done;
};

class SilentSounds : public SoundOutput
{
public:
    void play(const QString &) override { }
};

// A message box would wait for a click that never comes: it is kept, and
// the picture that met it fails.
class KeptMessages : public Dialogs::Provider
{
public:
    explicit KeptMessages(QStringList &messages)
        : m_messages(messages)
    { }
    void information(QWidget *, const QString &, const QString &text) override { m_messages << text; }
    bool question(QWidget *, const QString &, const QString &text, Dialogs::Icon) override
    {
        m_messages << text;
        return true;
    }

private:
    QStringList &m_messages;
};

// Runs the event loop until the condition holds; false after `milliseconds`.
bool waitFor(const std::function<bool()> &condition, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// One start of the program's windows: a home of its own, the default user
// with the given settings, the windows in one full-screen host.
class Session
{
public:
    Session(const QString &programFolder, const std::function<void(ProfileSettings &)> &adjust)
        : m_home(QStringLiteral("velmora-pictures"))
    {
        m_home.enter();

        resetAppState();
        Random::seed(kSeed);
        AppState &state = appState();
        state.ApplicationFolder = programFolder;
        state.UserName = QStringLiteral("_predefinito");
        for (const QString &folder : SettingsFolders::all())
            QDir().mkpath(folder);
        state.ProfilePath = ProfileFiles::pathFor(state.UserName);
        // Calm, fixed colours print better than a random one per window.
        ProfileSettings &settings = state.Settings;
        settings.RandomBackground = false;
        settings.BackgroundColour = 0xC8E6F5;
        settings.ButtonColour = 0xFFFFFF;
        settings.SelectedButtonColour = 0x0000FF;
        adjust(settings);

        Dialogs::setProvider(std::make_unique<KeptMessages>(m_messages));
        registerForms(m_host);
        m_host.resize(kScreen);
        m_host.show();
        m_host.activateWindow();
    }

    ~Session() { Dialogs::setProvider(nullptr); }

    FormHost &host() { return m_host; }
    const QStringList &messages() const { return m_messages; }

    template<typename FormType> FormType *show(const QString &name)
    {
        m_host.showForm(name);
        return current<FormType>();
    }
    template<typename FormType> FormType *current() const
    {
        return qobject_cast<FormType *>(m_host.currentForm());
    }

    // Clicks a button as the mouse would, then lets the windows settle.
    void click(QPushButton *button)
    {
        if (!button)
            return;
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::qWait(100);
    }

    void press(Qt::Key key)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_host.currentForm();
        // As a pupil who has looked at the highlight: past the selection guard.
        ScanClock::advance(2500);
        QTest::keyClick(target, key);
        QTest::qWait(100);
    }

    // The first exercise of "Suoni simili", b or p, with the character
    // settled in its place.
    ExerciseWindow *wordExercise()
    {
        auto *menu = show<FormMenu>(FormName::kMainMenu);
        if (!menu)
            return nullptr;
        click(menu->button(0));
        auto *topic = current<TopicMenuForm>();
        if (!topic)
            return nullptr;
        click(topic->button(0));
        auto *exercise = current<ExerciseWindow>();
        if (!exercise)
            return nullptr;
        // The greeting has been said and the character stands still.
        QTest::qWait(2500);
        return exercise;
    }

    // The answer button that is right, or wrong, for the item on screen.
    QPushButton *answer(ExerciseWindow *exercise, bool right) const
    {
        const AppState &state = appState();
        if (state.CurrentWordIndex <= 0 || size_t(state.CurrentWordIndex) >= state.WordTable.size())
            return nullptr;
        const QString expected = state.WordTable[size_t(state.CurrentWordIndex)].answer;
        for (int i = 0; i < exercise->answerCount(); ++i) {
            QPushButton *button = exercise->answerButton(i);
            if ((button->text().compare(expected, Qt::CaseInsensitive) == 0) == right)
                return button;
        }
        return nullptr;
    }

private:
    PrivateHome m_home;
    QStringList m_messages;
    FormHost m_host;
};

void noChange(ProfileSettings &) { }

// How a picture is taken: the settings of its session, and the steps that
// bring the windows to the state it shows. The steps return the widget to
// save, or nullptr when the state was not reached.
struct Picture
{
    const char *name;
    std::function<void(ProfileSettings &)> settings;
    std::function<QWidget *(Session &)> reach;
};

bool highlighted(const QPushButton *button)
{
    if (!button)
        return false;
    return button->palette().color(QPalette::Button)
        == Colours::fromNumber(appState().Settings.SelectedButtonColour);
}

// A page of the configuration window, as the teacher opens it.
std::function<QWidget *(Session &)> configurationPage(FormConfigura::Page page)
{
    return [page](Session &s) -> QWidget * {
        auto *form = s.show<FormConfigura>(FormName::kConfiguration);
        if (!form)
            return nullptr;
        form->showPage(page);
        // The character of the voice page grows in.
        QTest::qWait(page == FormConfigura::VoicePage ? 800 : 100);
        return form->page() == page ? &s.host() : nullptr;
    };
}

const QList<Picture> &pictures()
{
    static const QList<Picture> table{
        {"avvio", noChange,
            [](Session &s) -> QWidget * { return s.show<Form>(FormName::kStart) ? &s.host() : nullptr; }},
        {"menu", noChange,
            [](Session &s) -> QWidget * {
                return s.show<FormMenu>(FormName::kMainMenu) ? &s.host() : nullptr;
            }},
        {"menu-famiglia", noChange,
            [](Session &s) -> QWidget * {
                auto *menu = s.show<FormMenu>(FormName::kMainMenu);
                if (!menu)
                    return nullptr;
                s.click(menu->button(0));
                return s.current<TopicMenuForm>() ? &s.host() : nullptr;
            }},
        {"esercizio-giusto", noChange,
            [](Session &s) -> QWidget * {
                ExerciseWindow *exercise = s.wordExercise();
                if (!exercise)
                    return nullptr;
                s.click(s.answer(exercise, true));
                return exercise->solved() ? &s.host() : nullptr;
            }},
        {"esercizio-sbagliato", noChange,
            [](Session &s) -> QWidget * {
                ExerciseWindow *exercise = s.wordExercise();
                if (!exercise)
                    return nullptr;
                s.click(s.answer(exercise, false));
                return appState().WrongCount == 1 && !exercise->solved() ? &s.host() : nullptr;
            }},
        {"scansione-manuale", [](ProfileSettings &p) { p.setInputMode(InputMode::Manual); },
            [](Session &s) -> QWidget * {
                auto *menu = s.show<FormMenu>(FormName::kMainMenu);
                if (!menu)
                    return nullptr;
                // Two presses of the first switch: the highlight stands on the third button.
                s.press(Qt::Key_Space);
                s.press(Qt::Key_Space);
                return highlighted(menu->button(2)) ? &s.host() : nullptr;
            }},
        {"scansione-automatica",
            [](ProfileSettings &p) {
                p.setInputMode(InputMode::Automatic);
                p.ScanInterval = 2;
            },
            [](Session &s) -> QWidget * {
                ExerciseWindow *exercise = s.wordExercise();
                if (!exercise || !waitFor([&] { return highlighted(exercise->answerButton(1)); }))
                    return nullptr;
                return &s.host();
            }},
        {"esercizi-eseguiti", [](ProfileSettings &p) { p.KeepActivityRecord = true; },
            [](Session &s) -> QWidget * {
                ExerciseWindow *exercise = s.wordExercise();
                if (!exercise)
                    return nullptr;
                for (int item = 0; item < 3; ++item) {
                    if (item != 1)
                        s.click(s.answer(exercise, false));
                    s.click(s.answer(exercise, true));
                    s.click(exercise->nextButton());
                }
                return s.show<Form>(FormName::kRecord) ? &s.host() : nullptr;
            }},
        {"scheda", noChange,
            [](Session &s) -> QWidget * {
                ExerciseWindow *exercise = s.wordExercise();
                if (!exercise)
                    return nullptr;
                exercise->printAction()->trigger();
                QTest::qWait(300);
                return s.host().formOnTop() ? &s.host() : nullptr;
            }},
        {"configura-utente", noChange, configurationPage(FormConfigura::UserPage)},
        {"configura-scelte", noChange, configurationPage(FormConfigura::LettersPage)},
        {"configura-colori", noChange, configurationPage(FormConfigura::FontsPage)},
        {"configura-voce", [](ProfileSettings &p) { p.BalloonVisible = true; },
            configurationPage(FormConfigura::VoicePage)},
        {"configura-input",
            [](ProfileSettings &p) {
                p.setInputMode(InputMode::Automatic);
                p.ScanInterval = 6;
            },
            configurationPage(FormConfigura::InputPage)},
    };
    return table;
}

bool take(const Picture &picture, const QString &programFolder, const QString &outputFolder)
{
    const QString name = QLatin1String(picture.name);
    Session session(programFolder, picture.settings);
    QTest::qWait(100);
    QWidget *widget = picture.reach(session);
    if (!session.messages().isEmpty()) {
        say(QStringLiteral("%1: the program said \"%2\"")
                .arg(name, session.messages().join(QStringLiteral(" / "))));
        return false;
    }
    if (!widget) {
        say(QStringLiteral("%1: the windows did not reach the state of the picture").arg(name));
        return false;
    }
    const QString path = outputFolder + u'/' + name + QStringLiteral(".png");
    if (!widget->grab().save(path, "PNG")) {
        say(QStringLiteral("%1: cannot write %2").arg(name, path));
        return false;
    }
    return true;
}

void setUpLikeTheProgram(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    FlatButtonStyle::install();
    KeyRepeatGuard::install();
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    Speech::setOutput(std::make_unique<SilentSpeech>());
    Sounds::setOutput(std::make_unique<SilentSounds>());
}

} // namespace

int main(int argc, char **argv)
{
    // A build machine has no display, and the pictures must not depend on one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Whatever Qt and fontconfig keep between the pictures lives here.
    const PrivateHome processHome(QStringLiteral("velmora-pictures"));
    if (!processHome.isValid()) {
        say(QStringLiteral("no temporary folder: %1").arg(processHome.errorString()));
        return 1;
    }
    processHome.enter();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        say(QStringLiteral("usage: make_pictures PROGRAM_FOLDER OUTPUT_FOLDER"));
        return 2;
    }
    const QString programFolder = QFileInfo(args.at(1)).absoluteFilePath();
    const QString outputFolder = args.at(2);
    if (!QDir().mkpath(outputFolder)) {
        say(QStringLiteral("cannot make the folder %1").arg(outputFolder));
        return 1;
    }
    setUpLikeTheProgram(app);

    int failed = 0;
    for (const Picture &picture : pictures())
        failed += !take(picture, programFolder, outputFolder);
    if (failed > 0) {
        say(QStringLiteral("%1 of %2 pictures could not be taken").arg(failed).arg(pictures().size()));
        return 1;
    }
    return 0;
}
