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
