#include "fakes.h"
#include "testenv.h"

#include "privatehome.h"

#include "layout/flatbuttonstyle.h"
#include "records/history.h"
#include "scanning/scanclock.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<PrivateHome> makeHome()
{
    auto home = std::make_unique<PrivateHome>(QStringLiteral("velmora-test"));
    if (!home->isValid())
        qFatal("no temporary home folder: %s", qPrintable(home->errorString()));
    return home;
}

// The process's own sanitizer options, read by the sanitizers at its start.
const QByteArray g_ownSanitizerOptions = qgetenv("ASAN_OPTIONS");

// The programs a test starts (the real executable, the manual's tools) are
// built with the sanitizers too, and check for leaks as they end. Their
// reports go to files in the test's home, so that a leak or a fault in them
// fails the test whether or not it reads their output or exit code.
void sendStartedProgramReportsTo([[maybe_unused]] const QString &folder)
{
#if defined(__SANITIZE_ADDRESS__)
    QByteArray options = g_ownSanitizerOptions;
    if (!options.isEmpty())
        options += ':';
    qputenv("ASAN_OPTIONS", options + "log_path=" + QFile::encodeName(folder + QStringLiteral("/sanitizer")));
#endif
}

void failOnStartedProgramReports(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("sanitizer.*")}, QDir::Files)) {
        ADD_FAILURE() << "a program the test started reported:\n"
                      << TestEnv::readFile(dir.filePath(name)).toStdString();
    }
#if defined(__SANITIZE_ADDRESS__)
    if (g_ownSanitizerOptions.isEmpty())
        qunsetenv("ASAN_OPTIONS");
    else
        qputenv("ASAN_OPTIONS", g_ownSanitizerOptions);
#endif
}

// Every test starts from the program-wide variables of a fresh start and in
// a home of its own, so that no test sees what another one left behind,
// whatever the order they run in.
class FreshState : public ::testing::EmptyTestEventListener
{
public:
    explicit FreshState(const PrivateHome &processHome)
        : m_processHome(processHome)
    { }

private:
    void OnTestStart(const ::testing::TestInfo &) override
    {
        m_testHome = makeHome();
        m_testHome->enter();
        sendStartedProgramReportsTo(m_testHome->path());
        resetAppState();
        appState().ApplicationFolder = TestEnv::buildAppFolder();
        Random::setSource({});
        ScanClock::reset();
        // No test speaks aloud unless it asks to.
        m_speech = std::make_unique<RecordedSpeech>();
    }

    void OnTestEnd(const ::testing::TestInfo &) override
    {
        // Windows the test left to be deleted go now, while their home exists.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_speech.reset();
        History::instance().close();
        failOnStartedProgramReports(m_testHome->path());
        // Between tests the process home is in force again.
        m_processHome.enter();
        m_testHome.reset();
    }

    const PrivateHome &m_processHome;
    std::unique_ptr<PrivateHome> m_testHome;
    std::unique_ptr<RecordedSpeech> m_speech;
};

} // namespace

int main(int argc, char **argv)
{
    // The application itself, and whatever runs outside a test, live here.
    const std::unique_ptr<PrivateHome> home = makeHome();
    home->enter();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // What the program sets up for every window.
    FlatButtonStyle::install();
    KeyRepeatGuard::install();
    TestEnv::failOnProgramErrors();
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshState(*home));
    return RUN_ALL_TESTS();
}
