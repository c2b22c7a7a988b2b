#include "fakes.h"
#include "testenv.h"

#include "layout/commondialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(CommonDialogs, AColourIsTakenOnlyWhenConfirmed)
{
    ScriptedCommonDialogs dialogs;
    QLabel target;
    QPalette palette = target.palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    target.setPalette(palette);

    EXPECT_FALSE(chooseColourFor(nullptr, &target));
    EXPECT_EQ(CommonDialogs::foreColour(&target), QColor(Qt::red));

    dialogs.answerColour(QColor(0, 128, 255));
    EXPECT_TRUE(chooseColourFor(nullptr, &target));
    EXPECT_EQ(CommonDialogs::foreColour(&target), QColor(0, 128, 255));
}

TEST(CommonDialogs, AFontIsTakenInWholePointsWithItsStyleButNotItsStrikeOut)
{
    ScriptedCommonDialogs dialogs;
    QLabel target;
    QFont before(QStringLiteral("Arial"), 20);
    before.setUnderline(true);
    target.setFont(before);
    EXPECT_FALSE(chooseFontFor(nullptr, &target));
    EXPECT_EQ(target.font(), before);

    CommonDialogs::FontChoice boldItalic;
    boldItalic.family = QStringLiteral("Liberation Serif");
    boldItalic.tenthsOfPoint = 105;
    boldItalic.weight = 700;
    boldItalic.italic = true;
    boldItalic.strikeOut = true;
    dialogs.answerFont(boldItalic);
    ASSERT_TRUE(chooseFontFor(nullptr, &target));
    EXPECT_EQ(target.font().family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(target.font().pointSize(), 11);
    EXPECT_TRUE(target.font().bold());
    EXPECT_TRUE(target.font().italic());
    EXPECT_FALSE(target.font().underline());
    EXPECT_FALSE(target.font().strikeOut());

    CommonDialogs::FontChoice regular = boldItalic;
    regular.weight = 699;
    regular.italic = false;
    regular.tenthsOfPoint = 140;
    dialogs.answerFont(regular);
    ASSERT_TRUE(chooseFontFor(nullptr, &target));
    EXPECT_FALSE(target.font().bold());
    EXPECT_FALSE(target.font().italic());
    EXPECT_EQ(target.font().pointSize(), 14);
}

TEST(CommonDialogs, TextFromBytesEndsAtTheFirstZero)
{
    EXPECT_EQ(textFromBytes(QByteArray("citt\xe0\0resto", 11)), QStringLiteral("città"));
    EXPECT_EQ(textFromBytes(QByteArray("senza zero")), QStringLiteral("senza zero"));
}

// Runs step on the modal dialog once it is open.
template<typename Dialog> void whenOpen(std::function<void(Dialog *)> step)
{
    QTimer::singleShot(0, [step] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        step(dialog);
    });
}

TEST(StandardDialogs, TheChoiceOfTheRealColourAndFontDialogsReachesTheTarget)
{
    QLabel target;
    whenOpen<QColorDialog>([](QColorDialog *dialog) { dialog->reject(); });
    EXPECT_FALSE(chooseColourFor(nullptr, &target));
    whenOpen<QColorDialog>([](QColorDialog *dialog) {
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    ASSERT_TRUE(chooseColourFor(nullptr, &target));
    EXPECT_EQ(CommonDialogs::foreColour(&target), QColor(10, 20, 30));

    QFont chosen(QStringLiteral("Liberation Sans"));
    chosen.setPointSizeF(10.5);
    chosen.setBold(true);
    chosen.setItalic(true);
    whenOpen<QFontDialog>([chosen](QFontDialog *dialog) {
        dialog->setCurrentFont(chosen);
        dialog->accept();
    });
    ASSERT_TRUE(chooseFontFor(nullptr, &target));
    EXPECT_EQ(target.font().family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(target.font().pointSize(), 11);
    EXPECT_TRUE(target.font().bold());
    EXPECT_TRUE(target.font().italic());
}

const QList<CommonDialogs::FileFilter> kRtf
    = {{QString(), QStringLiteral("*.rtf")}, {QStringLiteral("Tutti"), QStringLiteral("*.*")}};

QString save(const QString &folder)
{
    return chooseFilePath(nullptr, CommonDialogs::FileMode::Save, QStringLiteral("Salva"), QString(), kRtf,
        folder, QStringLiteral("rtf"));
}

TEST(FileDialog, SavingAddsTheExtensionAndKeepsLongPathsWhole)
{
    // A folder deep enough for a path of more than 250 characters.
    QString folder = TestEnv::makeFolder(QStringLiteral("dati"));
    while (folder.size() < 260)
        folder += QStringLiteral("/cartella-dei-registri-della-classe");
    ASSERT_TRUE(QDir().mkpath(folder));

    whenOpen<QFileDialog>([](QFileDialog *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Salva"));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("*.rtf"));
        dialog->selectFile(QStringLiteral("marzo"));
        static_cast<QDialog *>(dialog)->accept();
    });
    EXPECT_EQ(save(folder), folder + QStringLiteral("/marzo.rtf"));
}

TEST(FileDialog, SavingOverAFileAsksFirstAndCancellingGivesNothing)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("dati"));
    TestEnv::writeFile(folder + QStringLiteral("/vecchio.rtf"), "{\\rtf1}");
    bool asked = false;
    whenOpen<QFileDialog>([&asked](QFileDialog *dialog) {
        whenOpen<QMessageBox>([&asked](QMessageBox *box) {
            asked = true;
            box->button(QMessageBox::No)->click();
        });
        dialog->selectFile(QStringLiteral("vecchio.rtf"));
        static_cast<QDialog *>(dialog)->accept();
        EXPECT_TRUE(dialog->isVisible()) << "not replaced: the dialog stays open";
        dialog->reject();
    });
    EXPECT_EQ(save(folder), QString());
    EXPECT_TRUE(asked);
    EXPECT_EQ(TestEnv::readFile(folder + QStringLiteral("/vecchio.rtf")), QByteArray("{\\rtf1}"));
}

TEST(FileDialog, OpeningAsksForAnExistingFile)
{
    const QString folder = TestEnv::makeFolder(QStringLiteral("dati"));
    TestEnv::writeFile(folder + QStringLiteral("/elenco.rtf"), "{\\rtf1}");
    whenOpen<QFileDialog>([](QFileDialog *dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->selectFile(QStringLiteral("elenco.rtf"));
        static_cast<QDialog *>(dialog)->accept();
    });
    EXPECT_EQ(chooseFilePath(nullptr, CommonDialogs::FileMode::Open, QStringLiteral("Apri"), QString(), kRtf,
                  folder, QStringLiteral("rtf")),
        folder + QStringLiteral("/elenco.rtf"));
}

} // namespace
