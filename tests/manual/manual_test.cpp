#include "testenv.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

QString manualPath()
{
    return TestEnv::buildAppFolder() + QStringLiteral("/Velmora.pdf");
}

struct ToolRun
{
    int exitCode = -1;
    QString errors;
};

ToolRun makeManual(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(MAKE_MANUAL_EXECUTABLE), arguments);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

int pageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(pdf).count(page));
}

// The text of a PDF as a reader's search finds it, lines joined; nothing without pdftotext.
QString pdfText(const QString &path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

bool hasPdftotext()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

TEST(Manual, IsAPdfOfSeveralPagesBesideTheProgram)
{
    const QByteArray pdf = TestEnv::readFile(manualPath());
    ASSERT_FALSE(pdf.isEmpty()) << "missing " << manualPath().toStdString();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GT(pageCount(pdf), 1);
}

TEST(Manual, HoldsTheHeadingsAndCaptionsATeacherLooksFor)
{
    if (!hasPdftotext())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString text = pdfText(manualPath());

    EXPECT_TRUE(text.contains(QStringLiteral("Velmora – Manuale per insegnanti e genitori")));
    for (const char *heading :
        {"Il percorso nel programma", "La finestra dell'esercizio", "Gli utenti", "La configurazione",
            "Le tre modalità di input", "Esercizi eseguiti", "Le liste di parole", "Licenza"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;

    for (const char *caption : {"Avvio", "Esci", "Azzera conteggio", "scansione", "Configurazione",
             "Vuoi tornare al menù?", "Tieni traccia dell'attività eseguita", "Colore bottone selezionato",
             "_predefinito", "testidifort", "_anana,b", "Luca _ un cane[a-ha]ha"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(caption))) << caption;

    // Accented letters come out as letters, not as boxes or pairs of bytes.
    for (const char *word : {"è", "perché", "attività", "così", "può", "più"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
}

TEST(Manual, EveryPageIsNumberedOutOfTheTotal)
{
    if (!hasPdftotext())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const int pages = pageCount(TestEnv::readFile(manualPath()));
    const QString text = pdfText(manualPath());
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(text.contains(QStringLiteral("pagina %1 di %2").arg(page).arg(pages))) << page;
}

TEST(MakeManual, RendersAShortTextUnderTheStandardTitle)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("short"));
    const QString input = folder + QStringLiteral("/breve.md");
    const QString output = folder + QStringLiteral("/breve.pdf");
    TestEnv::writeFile(input, QByteArray("## Prova\n\nUn perché e una città.\n"));

    const ToolRun run = makeManual({input, output});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const QByteArray pdf = TestEnv::readFile(output);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pageCount(pdf), 1);

    if (!hasPdftotext())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString text = pdfText(output);
    EXPECT_TRUE(text.contains(QStringLiteral("Velmora – Manuale per insegnanti e genitori")));
    EXPECT_TRUE(text.contains(QStringLiteral("Un perché e una città.")));
    EXPECT_TRUE(text.contains(QStringLiteral("pagina 1 di 1")));
}

TEST(MakeManual, FailsClearlyAndWritesNothingOnBadInputOrOutput)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("failures"));
    const QString good = folder + QStringLiteral("/buono.md");
    TestEnv::writeFile(good, "## Titolo\n\nTesto.\n");

    const QString missing = folder + QStringLiteral("/manca.md");
    const QString output = folder + QStringLiteral("/out.pdf");
    ToolRun run = makeManual({missing, output});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains(missing)) << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output));

    // Saved in Windows-1252 by mistake: the accents would print wrong.
    const QString latin = folder + QStringLiteral("/latin.md");
    TestEnv::writeFile(latin, "## Citt\xE0\n");
    run = makeManual({latin, output});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains(latin)) << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output));

    const QString unwritable = folder + QStringLiteral("/no-such-folder/out.pdf");
    run = makeManual({good, unwritable});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains(unwritable)) << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(unwritable));

    run = makeManual({good});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("usage"))) << run.errors.toStdString();
}

} // namespace
