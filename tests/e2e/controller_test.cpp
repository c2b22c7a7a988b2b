#include "xsession.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>
#include <unistd.h>

// A switch interface that is a game controller, plugged in while the real
// program runs: a gamepad made through the kernel's uinput, read by the
// program as any controller.
namespace {

const QString kUinput = QStringLiteral("/dev/uinput");

// The gamepad, made and worked by tests/e2e/virtual_gamepad.py.
class VirtualGamepad
{
public:
    ~VirtualGamepad() { unplug(); }

    // Empty once it is plugged in and can be read; otherwise why not.
    QString plugIn(const QString &name)
    {
        m_script.setProgram(QStringLiteral(VELMORA_PYTHON));
        m_script.setArguments({QStringLiteral(VELMORA_SOURCE_DIR "/tests/e2e/virtual_gamepad.py"), name});
        m_script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_script.start();
        const QString first = answer();
        if (first.startsWith(QLatin1String("ready ")))
            return {};
        if (first == QLatin1String("unreadable"))
            return QStringLiteral("the gamepad's event node cannot be read by this user "
                                  "(the group «input» would let it)");
        return QStringLiteral("the gamepad could not be made: ")
            + (first.isEmpty() ? m_script.errorString() : first);
    }

    bool press(const QString &button) { return send(QStringLiteral("press ") + button); }
    bool release(const QString &button) { return send(QStringLiteral("release ") + button); }

    void unplug()
    {
        if (m_script.state() == QProcess::NotRunning)
            return;
        m_script.closeWriteChannel();
        if (!m_script.waitForFinished(5000))
            m_script.kill();
        m_script.waitForFinished();
    }

private:
    QString answer()
    {
        while (!m_script.canReadLine()) {
            if (!m_script.waitForReadyRead(10000))
                return {};
        }
        return QString::fromUtf8(m_script.readLine()).trimmed();
    }

    bool send(const QString &command)
    {
        m_script.write((command + u'\n').toUtf8());
        return answer() == QLatin1String("done");
    }

    QProcess m_script;
};

// Automatic scanning, two seconds a step; the controller's A selects.
ProfileSettings controllerProfile()
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Automatic);
    settings.ScanInterval = 8;
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    settings.SelectionGuard = 0;
    settings.Switch1Input = QStringLiteral("controller:a");
    return settings;
}

// Starts the program on the main menu, where the controllers are read.
void startReading(XSession &x)
{
    ASSERT_TRUE(x.start(controllerProfile())) << x.error().toStdString();
    x.xdotool({QStringLiteral("mousemove"), QStringLiteral("1023"), QStringLiteral("767")});
    x.tap(QStringLiteral("Return"));
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormMenu")), 0);
    ASSERT_GE(x.waitForLine(QStringLiteral("controllers: reading")), 0)
        << "a pupil whose switch is a controller button has the controllers read";
}

class ControllerSwitch : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    }

    XSession x;
};

TEST_F(ControllerSwitch, AGamepadPluggedInWhileTheProgramRunsSelectsWithItsAButton)
{
    startReading(x);
    if (HasFatalFailure())
        return;

    if (!QFileInfo(kUinput).exists())
        GTEST_SKIP() << "no /dev/uinput: the kernel's uinput module makes it (modprobe uinput)";
    if (::access(QFile::encodeName(kUinput).constData(), W_OK) != 0)
        GTEST_SKIP() << "/dev/uinput is not writable by this user";

    const QString name = QStringLiteral("Velmora test gamepad %1").arg(::getpid());
    VirtualGamepad pad;
    int from = x.lineCount();
    if (const QString missing = pad.plugIn(name); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    EXPECT_GE(x.waitForLine(QStringLiteral("controller added: ") + name, from), 0);

    // Pressed early in a step, so that it selects what is lit.
    from = x.lineCount();
    const int lit = x.waitForLine(QStringLiteral("highlight Command1_"), from);
    ASSERT_GE(lit, 0);
    const QString button = QRegularExpression(QStringLiteral("highlight (\\S+) at"))
                               .match(x.linesWith(QStringLiteral("highlight "), lit).value(0))
                               .captured(1);
    x.settle(300);
    ASSERT_TRUE(pad.press(QStringLiteral("BTN_SOUTH")));
    x.settle(100);
    ASSERT_TRUE(pad.release(QStringLiteral("BTN_SOUTH")));
    EXPECT_GE(x.waitForLine(QStringLiteral("select ") + button, from), 0)
        << "the lit " << button.toStdString();
    EXPECT_GE(x.waitForLine(QStringLiteral("controller button 0 down"), from), 0);
    EXPECT_GE(x.waitForLine(QStringLiteral("key down 32"), from), 0) << "the first switch";
    EXPECT_GE(x.waitForLine(QStringLiteral("key up 32"), from), 0);

    from = x.lineCount();
    pad.unplug();
    EXPECT_GE(x.waitForLine(QStringLiteral("controller removed: ") + name, from), 0);
    EXPECT_GE(x.waitForLine(QStringLiteral("told: Il controller è stato scollegato"), from), 0);
    EXPECT_TRUE(x.programRunning());
}

TEST_F(ControllerSwitch, WhileReadingControllersTheProgramEndsAtOnceOnASignalOrWithoutItsDisplay)
{
    for (const bool displayGone : {false, true}) {
        XSession session;
        startReading(session);
        if (HasFatalFailure()) {
            std::cerr << "The program's log:\n" << session.log().toStdString() << '\n';
            return;
        }
        if (displayGone)
            session.stopDisplay();
        else
            session.signalProgram(SIGTERM);
        // Without its display Qt itself ends the program, with 1.
        EXPECT_EQ(session.waitForExit(5000), displayGone ? 1 : 0) << session.log().toStdString();
    }
}

} // namespace
