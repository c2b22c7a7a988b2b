#include "testenv.h"
#include "xsession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <csignal>
#include <iostream>

// The real program saving the worksheet as a PDF with no printer, and
// started without a home folder: nothing is written through a link or
// outside its own folders, and nothing printed is lost.
namespace {

ProfileSettings mouseProfile()
{
    ProfileSettings settings;
    settings.setInputMode(InputMode::Mouse);
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    return settings;
}

// CUPS out of reach: the program finds no printer.
QProcessEnvironment withoutPrinters()
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("CUPS_SERVER"), TestEnv::home() + QStringLiteral("/no-cups.sock"));
    return env;
}

QString withoutBlanks(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// Clicks the control logged from line `from` on; the log line after the click.
int clickControl(XSession &x, const QString &name, int from)
{
    const QString logged = QStringLiteral("control %1 ").arg(name);
    const int placed = x.waitForLine(logged, from);
    EXPECT_GE(placed, 0) << name.toStdString();
    const QRect place = XSession::placeIn(x.linesWith(logged, placed).value(0));
    EXPECT_FALSE(place.isEmpty()) << name.toStdString();
    const int next = x.lineCount();
    x.clickAt(place.center());
    return next;
}

// With the mouse, from the start window to an exercise of the first topic;
// the log line after its first item.
int reachAnExercise(XSession &x)
{
    int from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    from = x.waitForLine(QStringLiteral("shown FormMenu"), from);
    EXPECT_GE(from, 0);
    from = clickControl(x, QStringLiteral("Command1_0"), from);
    from = x.waitForLine(QStringLiteral("shown FormMenuSuoniSimili"), from);
    EXPECT_GE(from, 0);
    from = clickControl(x, QStringLiteral("Command1_0"), from);
    from = x.waitForLine(QStringLiteral("item "), from);
    EXPECT_GE(from, 0);
    return from + 1;
}

class SavedWorksheet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(x.start(mouseProfile(), withoutPrinters())) << x.error().toStdString();
        int from = reachAnExercise(x);
        const int menu = x.waitForLine(QStringLiteral("menu mnuStampa"), from);
        ASSERT_GE(menu, 0);
        from = x.lineCount();
        x.clickAt(XSession::placeIn(x.linesWith(QStringLiteral("menu mnuStampa"), menu).value(0)).center());
        ASSERT_GE(x.waitForLine(QStringLiteral("control btnCD "), from), 0);
        m_sheetShown = from;
    }

    // "Stampa", and yes to a PDF; then, unless the folder is refused first,
    // the name typed in the file dialog. The message that follows, or empty
    // when there is none.
    QString saveAs(const QString &name, bool folderRefused = false)
    {
        int from = clickControl(x, QStringLiteral("btnCD"), m_sheetShown);
        if (x.waitForLine(QStringLiteral("question Non c'è nessuna stampante"), from) < 0)
            return QStringLiteral("no question");
        x.settle(300);
        from = x.lineCount();
        x.tap(QStringLiteral("Return"));
        if (!folderRefused) {
            x.settle(800);
            x.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), name});
            x.tap(QStringLiteral("Return"));
            // The dialog asks before it replaces what is there, "No" first.
            if (QFileInfo::exists(m_folder + name)) {
                x.settle(500);
                x.tap(QStringLiteral("Tab"));
                x.tap(QStringLiteral("space"));
            }
        }
        const int told = x.waitForLine(QStringLiteral("error "), from, folderRefused ? 5000 : 2000);
        if (told < 0)
            return QString();
        const QString line = x.linesWith(QStringLiteral("error "), told).value(0);
        x.settle(300);
        x.tap(QStringLiteral("Return"));
        x.settle(300);
        return line.mid(line.indexOf(QStringLiteral("error ")) + 6);
    }

    XSession x;
    int m_sheetShown = 0;
    QString m_folder;
};

TEST_F(SavedWorksheet, APdfIsNeverWrittenThroughALinkAndIsPrintedWhole)
{
    const auto fail = qScopeGuard([this] {
        if (::testing::Test::HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    });
    m_folder = x.dataFolder() + QStringLiteral("_predefinito/");
    ASSERT_TRUE(QDir().mkpath(m_folder));
    const QString elsewhere = TestEnv::makeFolder(QStringLiteral("altrove"));
    const QString kept = elsewhere + QStringLiteral("/importante.txt");
    TestEnv::writeFile(kept, "non toccare");

    ASSERT_TRUE(QFile::link(kept, m_folder + QStringLiteral("foglio.pdf")));
    EXPECT_EQ(saveAs(QStringLiteral("foglio.pdf")),
        QStringLiteral("Non ho potuto salvare il file %1foglio.pdf: al posto del file c'è un collegamento "
                       "simbolico, che non viene seguito.")
            .arg(m_folder));

    ASSERT_TRUE(
        QFile::link(elsewhere + QStringLiteral("/nuovo.pdf"), m_folder + QStringLiteral("vuoto.pdf")));
    EXPECT_TRUE(saveAs(QStringLiteral("vuoto.pdf")).contains(QStringLiteral("collegamento simbolico")));

    // The pupil's folder itself a link to a folder elsewhere.
    const QString real = m_folder.chopped(1) + QStringLiteral(".vera");
    ASSERT_TRUE(QDir().rename(m_folder.chopped(1), real));
    ASSERT_TRUE(QFile::link(elsewhere, m_folder.chopped(1)));
    EXPECT_EQ(saveAs(QStringLiteral("foglio2.pdf"), true),
        QStringLiteral("la cartella %1 è un collegamento simbolico, che non viene seguito")
            .arg(m_folder.chopped(1)));

    EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList(QStringLiteral("importante.txt")));
    EXPECT_EQ(TestEnv::readFile(kept), QByteArray("non toccare"));

    // Back to a real folder: the sheet, with lines far wider than the paper, is printed whole.
    ASSERT_TRUE(QFile::remove(m_folder.chopped(1)));
    ASSERT_TRUE(QDir().rename(real, m_folder.chopped(1)));
    const QString text
        = QStringLiteral("MARIA RACCOGLIE LE FOGLIE ROSSE E GIALLE PER LA MAESTRA CHE HA PREPARATO "
                         "UN CARTELLONE GRANDE PER TUTTA LA CLASSE      il gatto _ fame      "
                         "la nonna _ gli occhiali      il cane _ la coda lunga ")
        + QStringLiteral("PAROLALUNGHISSIMA").repeated(20);
    clickControl(x, QStringLiteral("txtCD"), m_sheetShown);
    x.xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});
    x.xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), text});
    x.settle(300);
    EXPECT_EQ(saveAs(QStringLiteral("scheda.pdf")), QString()) << "saved without a word";
    ASSERT_TRUE(QFileInfo(m_folder + QStringLiteral("scheda.pdf")).isFile());
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {m_folder + QStringLiteral("scheda.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(reader.waitForFinished(10000));
    const QString printed = QString::fromUtf8(reader.readAllStandardOutput());
    EXPECT_EQ(withoutBlanks(printed), withoutBlanks(text)) << printed.toStdString();
    EXPECT_GE(printed.count(u'\n'), 6) << "wrapped to the paper";
}

TEST(NoHome, TheProgramSaysSoAndRunsWithoutWritingAnything)
{
    const auto entries = [] {
        return QDir(QStringLiteral("/")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList before = entries();
    // Whatever a faulty program makes in the root goes again.
    const auto tidy = qScopeGuard([&] {
        for (const QString &name : entries()) {
            if (!before.contains(name))
                QDir(QStringLiteral("/") + name).removeRecursively();
        }
    });
    XSession x;
    const auto fail = qScopeGuard([&x] {
        if (::testing::Test::HasFailure())
            std::cerr << "The program's log:\n" << x.log().toStdString() << '\n';
    });
    ProfileSettings settings = mouseProfile();
    settings.KeepActivityRecord = true;
    ASSERT_TRUE(x.start(settings, {},
        {QStringLiteral("HOME"), QStringLiteral("XDG_DATA_HOME"), QStringLiteral("XDG_CONFIG_HOME"),
            QStringLiteral("XDG_CACHE_HOME")},
        QStringLiteral("message Non trovo la cartella personale")))
        << x.error().toStdString();
    ASSERT_EQ(x.linesWith(QStringLiteral("message ")).size(), 1);
    EXPECT_TRUE(
        x.linesWith(QStringLiteral("message "))
            .first()
            .endsWith(QStringLiteral(
                "message Non trovo la cartella personale: le impostazioni degli alunni e il lavoro svolto "
                "non verranno salvati.")));
    x.settle(300);
    const int from = x.lineCount();
    x.tap(QStringLiteral("Return"));
    ASSERT_GE(x.waitForLine(QStringLiteral("shown FormAvvio"), from), 0);
    x.settle(300);
    reachAnExercise(x);

    x.signalProgram(SIGTERM);
    EXPECT_EQ(x.waitForExit(), 0);
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(x.linesWith(QStringLiteral("message ")).size(), 1) << "nothing more to say";
    EXPECT_TRUE(x.linesWith(QStringLiteral("error ")).isEmpty());
}

} // namespace
