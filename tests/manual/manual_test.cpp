#include "testenv.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
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

int pictureCount(const QByteArray &pdf)
{
    static const QRegularExpression image(QStringLiteral("/Subtype\\s*/Image"));
    return int(QString::fromLatin1(pdf).count(image));
}

// The pictures the manual's text shows, each named once.
QStringList picturesReferenced()
{
    static const QRegularExpression picture(QStringLiteral("!\\[[^\\]]*\\]\\(([^)]+)\\)"));
    const QString text
        = QString::fromUtf8(TestEnv::readFile(QStringLiteral(VELMORA_SOURCE_DIR "/docs/manuale.md")));
    QStringList names;
    for (const QRegularExpressionMatch &match : picture.globalMatch(text)) {
        if (!names.contains(match.captured(1)))
            names << match.captured(1);
    }
    return names;
}

TEST(Manual, ShowsThePicturesOfTheProgramsWindows)
{
    const QByteArray pdf = TestEnv::readFile(manualPath());
    const QStringList referenced = picturesReferenced();
    EXPECT_GE(referenced.size(), 14) << "the windows the manual talks of";
    // One object per picture, whatever page it falls on: every picture the
    // text shows, and none lost on the way.
    EXPECT_EQ(pictureCount(pdf), referenced.size()) << referenced.join(u' ').toStdString();
}

TEST(Manual, HoldsTheHeadingsAndCaptionsATeacherLooksFor)
{
    if (!hasPdftotext())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString text = pdfText(manualPath());

    EXPECT_TRUE(text.contains(QStringLiteral("Velmora – Manuale per insegnanti e genitori")));
    for (const char *heading : {"Il percorso nel programma", "La finestra dell'esercizio", "Gli utenti",
             "La configurazione", "Le tre modalità di input", "Un alunno che usa uno o due sensori",
             "Quale velocità di scansione", "Esercizi eseguiti", "Progressi", "Che cosa viene conservato",
             "Le liste di parole", "Scrivere una nuova lista di parole",
             "I controlli che il file deve superare", "Scrivere le proprie liste", "Licenza"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;

    for (const char *caption : {"Avvio", "Esci", "Azzera conteggio", "scansione", "Configurazione",
             "Vuoi tornare al menù?", "Tieni traccia dell'attività eseguita", "Colore bottone selezionato",
             "_predefinito", "testidifort", "storia.sqlite", "Cancella la storia di questo alunno",
             "_anana,b", "Luca _ un cane[a-ha]ha"})
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

TEST(MakeManual, PlacesPicturesFromTheirFolderAndStopsWhenOneIsMissingOrWouldBeLeftOut)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("pictures"));
    const QString pictures = TestEnv::makeFolder(QStringLiteral("pictures/taken"));
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(pictures + QStringLiteral("/finestra.png")));
    const QString input = folder + QStringLiteral("/manuale.md");
    const QString output = folder + QStringLiteral("/manuale.pdf");

    TestEnv::writeFile(input, "## Finestra\n\n![La finestra](finestra.png)\n\n*Didascalia.*\n");
    ToolRun run = makeManual({input, output, pictures});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(pictureCount(TestEnv::readFile(output)), 1);
    QFile::remove(output);

    // A picture that was not taken, and one that Qt's reader would drop.
    for (const char *markdown : {"## F\n\n![La finestra](manca.png)\n", "## F\n\n![](finestra.png)\n"}) {
        TestEnv::writeFile(input, markdown);
        run = makeManual({input, output, pictures});
        EXPECT_NE(run.exitCode, 0) << markdown;
        EXPECT_TRUE(run.errors.contains(QStringLiteral(".png"))) << run.errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(output)) << markdown;
    }
}

TEST(MakePictures, FailsWhenAWindowCannotBeBroughtToItsPicture)
{
    // A program folder without word lists: the exercise windows say so and
    // never show a word.
    const QString program = TestEnv::makeFolder(QStringLiteral("no-lists"));
    const QString output = TestEnv::makeFolder(QStringLiteral("no-lists-pictures"));
    QProcess process;
    process.start(QStringLiteral(MAKE_PICTURES_EXECUTABLE), {program, output});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_NE(process.exitCode(), 0);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(errors.contains(QStringLiteral("esercizio-giusto"))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("could not be taken"))) << errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output + QStringLiteral("/esercizio-giusto.png")));
}

} // namespace
