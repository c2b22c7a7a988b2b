#include "testenv.h"
#include "xsession.h"

#include "app/teacherlists.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <iostream>

// What a school's technician installs: the tree `cmake --install` lays out,
// the desktop's entry and metadata, and the Debian package.
namespace {

struct ToolRun
{
    int exitCode = -1;
    QString output;
};

ToolRun run(const QString &program, const QStringList &arguments, const QProcessEnvironment &env = {},
    int milliseconds = 120000)
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun result;
    if (process.waitForFinished(milliseconds) && process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

// The build installed under /usr into a temporary DESTDIR; its root.
QString installIntoTemporaryRoot()
{
    const QString root = TestEnv::makeFolder(QStringLiteral("destdir"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), root);
    const ToolRun install = run(QStringLiteral(CMAKE_COMMAND),
        {QStringLiteral("--install"), QStringLiteral(VELMORA_BUILD_DIR), QStringLiteral("--prefix"),
            QStringLiteral("/usr")},
        env);
    EXPECT_EQ(install.exitCode, 0) << install.output.toStdString();
    return root;
}

// The build installed into the prefix, as a technician installs it and
// then each update of it.
void installInto(const QString &prefix)
{
    const ToolRun install = run(QStringLiteral(CMAKE_COMMAND),
        {QStringLiteral("--install"), QStringLiteral(VELMORA_BUILD_DIR), QStringLiteral("--prefix"), prefix});
    EXPECT_EQ(install.exitCode, 0) << install.output.toStdString();
}

// Every file below the folder, by its path from the folder.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    return files;
}

// What the program reads at run time: everything in the build's program
// folder but the executables (the program's and the tests').
QStringList dataFiles()
{
    QStringList files;
    for (const QString &file : filesBelow(TestEnv::buildAppFolder())) {
        if (file.contains(u'/') || !QFileInfo(TestEnv::buildAppFolder() + u'/' + file).isExecutable())
            files << file;
    }
    return files;
}

const QString kAppId = QStringLiteral(VELMORA_APP_ID);

QStringList desktopFiles()
{
    return {QStringLiteral("usr/bin/velmora"), QStringLiteral("usr/lib/velmora/libvelmora-start.so"),
        QStringLiteral("usr/lib/velmora/velmora-program.so"),
        QStringLiteral("usr/share/applications/") + kAppId + QStringLiteral(".desktop"),
        QStringLiteral("usr/share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"),
        QStringLiteral("usr/share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
        QStringLiteral("usr/share/doc/velmora/copyright")};
}

TEST(Install, LaysOutTheProgramEveryDataFileAndTheDesktopFiles)
{
    const QString root = installIntoTemporaryRoot();
    const QStringList installed = filesBelow(root);
    const QStringList data = dataFiles();
    // The word lists alone are dozens of files.
    EXPECT_GT(data.size(), 50);
    for (const QString &file : data)
        EXPECT_TRUE(installed.contains(QStringLiteral("usr/share/velmora/") + file)) << file.toStdString();
    for (const QString &file : desktopFiles())
        EXPECT_TRUE(installed.contains(file)) << file.toStdString();
}

TEST(Install, TheInstalledCopyStartedFromAnotherFolderReachesAWordExercise)
{
    const QString root = installIntoTemporaryRoot();
    XSession x;
    x.setProgram(root + QStringLiteral("/usr/bin/velmora"), TestEnv::makeFolder(QStringLiteral("elsewhere")));
    ProfileSettings settings;
    settings.setInputMode(InputMode::Manual);
    settings.SpeechOn = false;
    settings.SoundsOn = false;
    ASSERT_TRUE(x.start(settings)) << x.error().toStdString();

    // Enter opens the main menu, then "Suoni simili", then its first exercise.
    int from = x.lineCount();
    for (const char *form : {"FormMenu", "FormMenuSuoniSimili", "FormEsercizi"}) {
        x.tap(QStringLiteral("Return"));
        from = x.waitForLine(QStringLiteral("shown ") + QLatin1String(form), from);
        ASSERT_GE(from, 0) << form << "\n" << x.log().toStdString();
        // Past the selection guard of a window just opened.
        x.settle(800);
    }
    // An answer is judged against a word read from the installed lists.
    x.tap(QStringLiteral("Return"));
    EXPECT_GE(x.waitForLine(QStringLiteral("exercises: answer "), from), 0) << x.log().toStdString();
    // A list it could not read would have been told in a message box.
    EXPECT_TRUE(x.linesWith(QStringLiteral("message "), 0).isEmpty()) << x.log().toStdString();
}

TEST(Install, AnUpdateLeavesTheTeachersListsAsTheyWere)
{
    const QString prefix = TestEnv::makeFolder(QStringLiteral("prefix"));
    installInto(prefix);
    // The school's lists in the first shared data folder, the program's beside them.
    const QString schoolLists = prefix + QStringLiteral("/share/velmora/liste/");
    EXPECT_FALSE(QFileInfo::exists(schoolLists)) << "the program ships no lists of the teacher's";
    qputenv("XDG_DATA_DIRS", QFile::encodeName(prefix + QStringLiteral("/share:/usr/share")));
    ASSERT_EQ(TeacherLists::schoolFolder(), schoolLists);
    const QString school = schoolLists + QStringLiteral("doppie/s-ss/della scuola.txt");
    const QString mine = TeacherLists::userPath(
        QStringLiteral("doppie"), false, QStringLiteral("s"), QStringLiteral("ss"), QStringLiteral("mia"));
    for (const QString &path : {school, mine}) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        TestEnv::writeFile(path, "ca_a,ss\r\n");
    }
    const QStringList before
        = TestEnv::stateOfTree(schoolLists) + TestEnv::stateOfTree(TeacherLists::userFolder());
    ASSERT_EQ(before.size(), 6) << before.join(u'\n').toStdString();

    installInto(prefix);
    EXPECT_EQ(TestEnv::stateOfTree(schoolLists) + TestEnv::stateOfTree(TeacherLists::userFolder()), before);
    EXPECT_EQ(TeacherLists::forTopic(QStringLiteral("doppie")).size(), 2);
}

TEST(DesktopFiles, PassTheDesktopsOwnValidators)
{
    const QString desktopValidator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (desktopValidator.isEmpty() || appstream.isEmpty())
        GTEST_SKIP() << "desktop-file-utils or appstream is not installed";
    const ToolRun entry = run(desktopValidator, {QStringLiteral(VELMORA_DESKTOP_FILE)});
    EXPECT_EQ(entry.exitCode, 0) << entry.output.toStdString();
    EXPECT_TRUE(entry.output.trimmed().isEmpty()) << "no warning either: " << entry.output.toStdString();
    const ToolRun metadata = run(appstream,
        {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral(VELMORA_METAINFO_FILE)});
    EXPECT_EQ(metadata.exitCode, 0) << metadata.output.toStdString();
    EXPECT_FALSE(metadata.output.contains(QStringLiteral("W:"))) << metadata.output.toStdString();
}

TEST(Package, HoldsEveryInstalledFileAndDeclaresWhatTheProgramNeeds)
{
    const QString cpack = QStandardPaths::findExecutable(QStringLiteral("cpack"));
    if (cpack.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("dpkg-shlibdeps")).isEmpty())
        GTEST_SKIP() << "cpack or dpkg-shlibdeps (dpkg-dev) is not installed";
    const QString out = TestEnv::makeFolder(QStringLiteral("package"));
    const ToolRun pack = run(cpack,
        {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
            QStringLiteral(VELMORA_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), out},
        {}, 300000);
    ASSERT_EQ(pack.exitCode, 0) << pack.output.toStdString();
    const QStringList debs = QDir(out).entryList({QStringLiteral("velmora_*.deb")});
    ASSERT_EQ(debs.size(), 1) << pack.output.toStdString();
    const QString deb = out + u'/' + debs.first();

    QStringList packed;
    for (const QString &line :
        run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb}).output.split(u'\n')) {
        // "-rw-r--r-- root/root 1234 2026-12-08 10:00 ./usr/share/velmora/suoni/no.wav"
        const qsizetype at = line.indexOf(QLatin1String(" ./"));
        if (at >= 0 && !line.startsWith(u'd'))
            packed << line.mid(at + 3);
    }
    for (const QString &file : dataFiles())
        EXPECT_TRUE(packed.contains(QStringLiteral("usr/share/velmora/") + file)) << file.toStdString();
    for (const QString &file : desktopFiles())
        EXPECT_TRUE(packed.contains(file)) << file.toStdString();

    const QString depends
        = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Depends")}).output;
    for (const char *package : {"libqt6widgets6", "libqt6multimedia6", "libqt6printsupport6", "libqt6svg6",
             "libqt6charts6", "libqt6sql6-sqlite", "libespeak-ng1", "libsdl2-2.0-0", "espeak-ng-data",
             "fonts-liberation2", "fonts-comic-neue", "qt6-translations-l10n", "witalian"})
        EXPECT_TRUE(depends.contains(QLatin1String(package))) << package << " in " << depends.toStdString();
}

} // namespace
