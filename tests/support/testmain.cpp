#include "fakes.h"
#include "testenv.h"

#include "layout/flatbuttonstyle.h"
#include "scanning/scanclock.h"
#include "scanning/switchkeys.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A temporary home with the data, configuration, cache and run folders; the
// run folder private to its owner, as the desktop expects it.
std::unique_ptr<QTemporaryDir> makeHome()
{
    auto home = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velmora-test-XXXXXX"));
    if (!home->isValid())
        qFatal("no temporary home folder: %s", qPrintable(home->errorString()));
    const QString root = home->path();
    for (const char *sub : {"/share", "/config", "/cache", "/run"})
        QDir().mkpath(root + QLatin1String(sub));
    QFile::setPermissions(root + QStringLiteral("/run"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return home;
}

void enterHome(const QTemporaryDir &home)
{
    const QString root = home.path();
    qputenv("HOME", root.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/share")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (root + QStringLiteral("/cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/run")).toLocal8Bit());
}

// Every test starts from the program-wide variables of a fresh start and in
// a home of its own, so that no test sees what another one left behind,
// whatever the order they run in.
class FreshState : public ::testing::EmptyTestEventListener
{
public:
    explicit FreshState(const QTemporaryDir &processHome)
        : m_processHome(processHome)
    { }

private:
    void OnTestStart(const ::testing::TestInfo &) override
    {
        m_testHome = makeHome();
        enterHome(*m_testHome);
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
        // Between tests the process home is in force again.
        enterHome(m_processHome);
        m_testHome.reset();
    }

    const QTemporaryDir &m_processHome;
    std::unique_ptr<QTemporaryDir> m_testHome;
    std::unique_ptr<RecordedSpeech> m_speech;
};

} // namespace

int main(int argc, char **argv)
{
    // The application itself, and whatever runs outside a test, live here.
    const std::unique_ptr<QTemporaryDir> home = makeHome();
    enterHome(*home);
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
