#include "fakes.h"
#include "programwindow.h"
#include "testenv.h"

#include "app/formmenu.h"
#include "app/program.h"
#include "app/startup.h"
#include "feedback/agent.h"
#include "feedback/colours.h"
#include "feedback/voices.h"
#include "layout/formhost.h"
#include "records/history.h"
#include "scanning/menuscanning.h"
#include "settings/formconfigura.h"
#include "settings/formprovasensore.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSlider>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ConfigurationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setUpProgramWindow(host);
        become(QStringLiteral("_predefinito"));
    }

    static void become(const QString &name)
    {
        appState().UserName = name;
        appState().ProfilePath = ProfileFiles::pathFor(name);
    }

    FormConfigura *open()
    {
        return static_cast<FormConfigura *>(host.showForm(QStringLiteral("FormConfigura")));
    }

    template<typename Control> Control *find(const char *name)
    {
        auto *control = host.currentForm()->findChild<Control *>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    // On the caption's first letters: a box or an option takes clicks on its
    // indicator and caption only.
    void click(const char *name)
    {
        QAbstractButton *button = find<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }

    // "Modifica utente", then a click on the user as listed.
    void chooseListedUser(const QString &listed)
    {
        click("OptionUtente_1");
        auto *list = find<QListWidget>("ListModificaUtente");
        QListWidgetItem *item = list->findItems(listed, Qt::MatchExactly).value(0);
        ASSERT_TRUE(item) << qPrintable(listed);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }

    RecordedDialogs dialogs;
    ScriptedCommonDialogs commonDialogs;
    RecordedSpeech speech;
    FormHost host;
};

TEST_F(ConfigurationTest, ANewUserIsWrittenOnLeavingUnderASafeNameOnly)
{
    open();
    click("OptionUtente_2");
    auto *name = find<QLineEdit>("TextNuovoUtente");
    ASSERT_TRUE(name->isVisible());

    name->setText(QStringLiteral("   "));
    EXPECT_EQ(appState().UserName, QStringLiteral("_predefinito")) << "blanks name nobody";

    for (const QString &unsafe : {QStringLiteral("../fuori"), QStringLiteral("a/b"),
             QStringLiteral(".nascosto"), QString(65, u'x'), QStringLiteral("con")}) {
        name->setText(unsafe);
        EXPECT_EQ(appState().UserName, QStringLiteral("_predefinito")) << qPrintable(unsafe);
        EXPECT_TRUE(find<QLabel>("LabelNomeNonValido")->isVisible()) << qPrintable(unsafe);
    }

    name->setText(QStringLiteral("gruppo1"));
    EXPECT_FALSE(find<QLabel>("LabelNomeNonValido")->isVisible());
    EXPECT_EQ(find<QLabel>("Label4")->text(), QStringLiteral("gruppo1"));
    const QString file = SettingsFolders::usersFolder() + QStringLiteral("gruppo1.ini");
    EXPECT_FALSE(QFileInfo::exists(file)) << "nothing is written before leaving";

    click("CheckSalvaUtente");
    find<QAction>("mnuEsci")->trigger();
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("FormMenu"));
    ProfileSettings expected;
    expected.KeepActivityRecord = true;
    EXPECT_EQ(Profile::parseBytes(TestEnv::readFile(file)), expected);
    EXPECT_EQ(QDir(SettingsFolders::usersFolder()).entryList(QDir::Files).size(), 2)
        << "gruppo1.ini and the default user's file from choosing the option, nothing else";

    // A name that is taken would overwrite that pupil's settings.
    open();
    click("OptionUtente_2");
    find<QLineEdit>("TextNuovoUtente")->setText(QStringLiteral("GRUPPO1"));
    EXPECT_TRUE(find<QLabel>("LabelNomeNonValido")->isVisible());
    EXPECT_EQ(appState().UserName, QStringLiteral("gruppo1"));
}

TEST_F(ConfigurationTest, TheUserListShowsOtherUsersInCapitalsAndLoadsTheChosenOne)
{
    ProfileSettings gruppo;
    gruppo.LetterCase = QStringLiteral("maiuscolo");
    TestEnv::writeFile(
        SettingsFolders::usersFolder() + QStringLiteral("gruppo1.INI"), Profile::serialize(gruppo));
    TestEnv::writeFile(SettingsFolders::usersFolder() + QStringLiteral("anna.ini"), Profile::serialize({}));
    TestEnv::writeFile(
        SettingsFolders::usersFolder() + QStringLiteral("_predefinito.INI"), Profile::serialize({}));
    TestEnv::writeFile(SettingsFolders::usersFolder() + QStringLiteral("note.txt"), "x");
    appState().Settings.SoundsOn = false;

    open();
    click("OptionUtente_1");
    auto *list = find<QListWidget>("ListModificaUtente");
    QStringList shown;
    for (int i = 0; i < list->count(); ++i)
        shown << list->item(i)->text();
    EXPECT_EQ(shown, QStringList({QStringLiteral("ANNA"), QStringLiteral("GRUPPO1")}));

    list->setCurrentRow(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(appState().UserName, QStringLiteral("gruppo1")) << "the file's own spelling";
    EXPECT_EQ(find<QLabel>("Label4")->text(), QStringLiteral("gruppo1"));
    EXPECT_TRUE(find<QRadioButton>("maiuscolo")->isChecked());
    const QString left = ProfileFiles::resolve(ProfileFiles::pathFor(QStringLiteral("_predefinito")));
    EXPECT_FALSE(Profile::parseBytes(TestEnv::readFile(left)).value().SoundsOn)
        << "the user left was saved first";
}

// A pupil whose every setting differs from the defaults.
ProfileSettings unlikeTheDefaults()
{
    ProfileSettings values;
    values.LetterCase = QStringLiteral("maiuscolo");
    values.SoundsOn = false;
    values.SpeechSpeed = 250;
    values.SpeechPitch = 200;
    values.SpeechOn = false;
    values.BalloonVisible = true;
    values.BalloonHoldsAllText = false;
    values.BalloonFontName = QStringLiteral("Liberation Serif");
    values.BalloonFontSize = 20;
    values.KeepActivityRecord = true;
    values.TextFontName = values.ChosenFontName = QStringLiteral("Liberation Mono");
    values.TextFontSize = 36;
    values.TextColour = 0x0000FF;
    values.TextBackColour = 0x00FFFF;
    values.BackgroundColour = 0x80FF80;
    values.RandomBackground = false;
    values.UseSystemCursor = true;
    values.setInputMode(InputMode::Automatic);
    values.ScanInterval = 10;
    values.VoiceModeId = Voices::italian().value(1).modeId;
    values.AgentCharacter = QStringLiteral("Gufo");
    values.ButtonColour = 0x00FF00;
    values.SelectedButtonColour = 0xFF0000;
    values.AcceptanceTime = 300;
    values.ReleaseTime = 200;
    values.FirstStepDelay = 200;
    values.ScanLoops = 3;
    values.SpokenHighlight = values.RowColumnScanning = values.WayOutButton = true;
    values.SelectionGuard = 1000;
    values.Switch1Input = QStringLiteral("mouse:right");
    values.Switch2Input = QStringLiteral("key:F8");
    values.CueVolume = 40;
    values.ReviewMissedWords = false;
    return values;
}

QVariant valueOf(const ProfileSchema::Setting &row, const ProfileSettings &values)
{
    return std::visit(
        [&](const auto &field) { return QVariant::fromValue(values.*field.member); }, row.field);
}

TEST_F(ConfigurationTest, EverySettingOfAChosenPupilIsShownByItsControl)
{
    const ProfileSettings danno = unlikeTheDefaults();
    ASSERT_GE(Voices::italian().size(), 2);
    TestEnv::writeFile(
        SettingsFolders::usersFolder() + QStringLiteral("danno.ini"), Profile::serialize(danno));
    become(QStringLiteral("anna"));
    FormConfigura *form = open();
    chooseListedUser(QStringLiteral("DANNO"));
    ASSERT_EQ(appState().UserName, QStringLiteral("danno"));

    // The font kept for printed letters while cursive is in force has no control of its own.
    const QStringList unbound = {QStringLiteral("ChosenFontName")};
    QStringList bound;
    for (const SettingBinding &binding : form->bindings())
        bound << binding.settingName();
    for (const ProfileSchema::Setting &row : ProfileSchema::settings()) {
        ASSERT_NE(valueOf(row, danno), valueOf(row, ProfileSettings())) << qPrintable(row.name);
        EXPECT_EQ(bound.count(row.name) + unbound.count(row.name), 1) << qPrintable(row.name);
    }
    for (const ProfileSchema::Setting &row : ProfileSchema::settings()) {
        for (const SettingBinding &binding : form->bindings()) {
            if (binding.settingName() == row.name) {
                EXPECT_EQ(binding.shown(), valueOf(row, danno)) << qPrintable(row.name);
            }
        }
    }
    form->showPage(FormConfigura::VoicePage);
    EXPECT_EQ(find<QLabel>("Label1")->text(), QStringLiteral("Velocità =  250"));

    // The controls act on the pupil shown.
    form->showPage(FormConfigura::InputPage);
    click("Option4_0");
    EXPECT_EQ(appState().Settings.InputMode, 0);
    EXPECT_TRUE(find<QCheckBox>("CheckDisabilitaMousePersonalizzato")->isVisible());
}

TEST_F(ConfigurationTest, TheDefaultUserIsLoadedAndNeverTakesAnotherUsersSettings)
{
    ProfileSettings defaults;
    defaults.SoundsOn = false;
    const QString defaultFile = SettingsFolders::usersFolder() + QStringLiteral("_predefinito.ini");
    TestEnv::writeFile(defaultFile, Profile::serialize(defaults));
    TestEnv::writeFile(SettingsFolders::usersFolder() + QStringLiteral("danno.ini"),
        Profile::serialize(unlikeTheDefaults()));
    become(QStringLiteral("anna"));
    open();
    chooseListedUser(QStringLiteral("DANNO"));
    ASSERT_EQ(appState().UserName, QStringLiteral("danno"));
    click("OptionUtente_0");
    EXPECT_EQ(appState().UserName, QStringLiteral("_predefinito"));
    EXPECT_EQ(appState().Settings, defaults);
    EXPECT_FALSE(find<QCheckBox>("CheckSuoni")->isChecked());
    EXPECT_FALSE(find<QCheckBox>("CheckSalvaUtente")->isVisible());
    find<QAction>("mnuEsci")->trigger();
    EXPECT_EQ(Profile::parseBytes(TestEnv::readFile(defaultFile)), defaults);
}

TEST_F(ConfigurationTest, ControlsAreEnabledAsTheSettingsAllow)
{
    open()->showPage(FormConfigura::FontsPage);
    EXPECT_FALSE(find<QPushButton>("CommandSceltaColori")->isEnabled()) << "random background";
    click("OptionColoreCasualeFisso_1");
    EXPECT_FALSE(appState().Settings.RandomBackground);
    EXPECT_TRUE(find<QPushButton>("CommandSceltaColori")->isEnabled());

    const char *voiceControls[] = {
        "CommandProvaVoce", "HScroll1", "HScroll2", "ChkFumetto", "CheckContieneTesto", "CommandFontFumetto"};
    const auto enabled = [&] {
        QStringList names;
        for (const char *name : voiceControls) {
            if (find<QWidget>(name)->isEnabled())
                names << QString::fromLatin1(name);
        }
        return names;
    };
    static_cast<FormConfigura *>(host.currentForm())->showPage(FormConfigura::VoicePage);
    EXPECT_EQ(enabled().size(), 5) << "the balloon is hidden, so its size is not offered";
    EXPECT_FALSE(find<QWidget>("CheckContieneTesto")->isEnabled());
    click("ChkFumetto");
    EXPECT_EQ(enabled().size(), 6);
    click("Check1");
    EXPECT_FALSE(appState().Settings.SpeechOn);
    EXPECT_TRUE(enabled().isEmpty());
    const QPalette box = find<QWidget>("ChkFumetto")->palette();
    EXPECT_NE(box.color(QPalette::Disabled, QPalette::WindowText),
        box.color(QPalette::Active, QPalette::WindowText))
        << "a box that does not apply looks it";
}

TEST_F(ConfigurationTest, OpeningSaysWhatTheBalloonSettingMeansAndShowsSpeedAndPitch)
{
    FormConfigura *form = open();
    EXPECT_EQ(speech.said(), QStringList{QStringLiteral("Il fumetto non sarà visualizzato.")});
    EXPECT_EQ(find<QLabel>("Label1")->text(), QStringLiteral("Velocità =  130"));
    EXPECT_EQ(find<QLabel>("Label2")->text(), QStringLiteral("Tono =  100"));
    find<QSlider>("HScroll1")->setValue(200);
    find<QSlider>("HScroll2")->setValue(150);
    EXPECT_EQ(find<QLabel>("Label2")->text(), QStringLiteral("Tono =  150"));
    EXPECT_EQ(form->speechTags(), QStringLiteral("\\Spd=200\\\\Pit=150\\"));
    EXPECT_EQ(appState().Settings.SpeechSpeed, 200);
}

TEST_F(ConfigurationTest, AFontChosenInCursiveWaitsForPrintedLetters)
{
    appState().Settings.LetterCase = QStringLiteral("corsivo");
    open()->showPage(FormConfigura::FontsPage);
    EXPECT_EQ(appState().Settings.TextFontName, QStringLiteral("Indis1"));
    commonDialogs.answerFont(CommonDialogs::FontChoice{QStringLiteral("Liberation Serif"), 360});
    click("CommandSceltaFont");
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("corsivo")));
    const ProfileSettings &values = appState().Settings;
    EXPECT_EQ(values.TextFontName, QStringLiteral("Indis1"));
    EXPECT_EQ(values.TextFontSize, 36);
    EXPECT_EQ(values.ChosenFontName, QStringLiteral("Liberation Serif"));

    static_cast<FormConfigura *>(host.currentForm())->showPage(FormConfigura::LettersPage);
    click("minuscolo");
    EXPECT_EQ(values.TextFontName, QStringLiteral("Liberation Serif"));
}

TEST_F(ConfigurationTest, TheFontDialogStartsFromTheFontInForceAndCancelChangesNoColour)
{
    ProfileSettings &values = appState().Settings;
    values.RandomBackground = false;
    values.TextFontName = values.ChosenFontName = QStringLiteral("Liberation Serif");
    values.TextFontSize = 36;
    const ProfileSettings before = values;
    FormConfigura *form = open();
    form->showPage(FormConfigura::FontsPage);
    commonDialogs.confirmOfferedFont();
    click("CommandSceltaFont");
    ASSERT_TRUE(commonDialogs.fontOffered());
    EXPECT_EQ(commonDialogs.fontOffered()->family, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(commonDialogs.fontOffered()->tenthsOfPoint, 360);
    EXPECT_EQ(values, before) << "OK without a change keeps the font";

    commonDialogs.answerFont(CommonDialogs::FontChoice{QStringLiteral("Liberation Sans"), 60});
    click("CommandSceltaFont");
    EXPECT_EQ(values, before) << "a size below 8 points is never stored";
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(find<QLabel>("LabelFontSelezionato")->font().pointSize(), 36);

    commonDialogs.answerColour(std::nullopt);
    for (const char *button : {"CommandSceltaColori", "CommandSceltaColoreFont", "CommandSceltaSfondoTesto",
             "CommandSceltaColoreBottoni"})
        click(button);
    form->showPage(FormConfigura::InputPage);
    click("CommandSceltaColoreBottoniSelezionati");
    EXPECT_EQ(values, before);
    EXPECT_EQ(find<QWidget>("FrameFonts")->palette().color(QPalette::Window),
        Colours::fromNumber(before.BackgroundColour));
}

TEST_F(ConfigurationTest, TheScanIntervalIsShownOnlyForAutomaticScanning)
{
    ProfileSettings &values = appState().Settings;
    values.setInputMode(InputMode::Automatic);
    values.ScanInterval = 6;
    open()->showPage(FormConfigura::InputPage);
    EXPECT_TRUE(find<QSlider>("HScroll3")->isVisible());
    EXPECT_EQ(find<QLabel>("Label7")->text(), QStringLiteral("Velocità scansione: 1,50 secondi"));
    EXPECT_FALSE(find<QCheckBox>("CheckDisabilitaMousePersonalizzato")->isVisible());
    EXPECT_TRUE(find<QSlider>("HScrollGiri")->isVisible());

    click("Option4_1");
    EXPECT_FALSE(find<QSlider>("HScroll3")->isVisible());
    EXPECT_FALSE(find<QCheckBox>("CheckDisabilitaMousePersonalizzato")->isVisible());
    EXPECT_FALSE(find<QLabel>("LabelGiri")->isVisible()) << "the highlight moves only on a press";
    EXPECT_TRUE(find<QSlider>("HScrollAccettazione")->isVisible());
    EXPECT_TRUE(find<QSlider>("HScrollAttesaScelta")->isVisible());
    click("Option4_0");
    EXPECT_FALSE(find<QLabel>("Label7")->isVisible());
    EXPECT_TRUE(find<QCheckBox>("CheckDisabilitaMousePersonalizzato")->isVisible());
    EXPECT_FALSE(find<QCheckBox>("CheckRigheColonne")->isVisible());
    EXPECT_FALSE(find<QSlider>("HScrollAttesaScelta")->isVisible());
    EXPECT_EQ(values.InputMode, 0);
}

TEST_F(ConfigurationTest, TheSwitchSettingsShowTheProfileAndAreSavedOnLeaving)
{
    become(QStringLiteral("anna"));
    ProfileSettings &values = appState().Settings;
    values.setInputMode(InputMode::Automatic);
    values.AcceptanceTime = 250; // between two steps of the bar, as a hand-edited file may hold
    values.ReleaseTime = 1000;
    values.SelectionGuard = 1500;
    values.FirstStepDelay = 150;
    values.ScanLoops = 1;
    values.SpokenHighlight = true;
    open()->showPage(FormConfigura::InputPage);
    const auto text = [this](const char *label) { return find<QLabel>(label)->text(); };
    EXPECT_EQ(text("LabelAccettazione"), QStringLiteral("Tempo di accettazione: 0,25 secondi"));
    EXPECT_EQ(text("LabelRilascio"), QStringLiteral("Tempo di rilascio: 1 secondo"));
    EXPECT_EQ(text("LabelAttesaScelta"), QStringLiteral("Attesa dopo una scelta: 1,5 secondi"));
    EXPECT_EQ(text("LabelPrimoPasso"), QStringLiteral("Attesa iniziale: 150% dell'intervallo"));
    EXPECT_EQ(text("LabelGiri"), QStringLiteral("La scansione si ferma dopo 1 giro a vuoto"));
    EXPECT_TRUE(find<QCheckBox>("CheckLeggiEvidenziato")->isChecked());
    EXPECT_EQ(values.AcceptanceTime, 250) << "showing a time does not round it";

    find<QSlider>("HScrollRilascio")->setValue(0);
    EXPECT_EQ(text("LabelRilascio"), QStringLiteral("Tempo di rilascio: nessuno"));
    find<QSlider>("HScrollAttesaScelta")->setValue(0);
    EXPECT_EQ(text("LabelAttesaScelta"), QStringLiteral("Nessuna attesa dopo una scelta"));
    find<QSlider>("HScrollAccettazione")->setValue(5);
    find<QSlider>("HScrollPrimoPasso")->setValue(300);
    auto *loops = find<QSlider>("HScrollGiri");
    loops->setValue(loops->maximum());
    EXPECT_EQ(text("LabelGiri"), QStringLiteral("La scansione non si ferma mai"));
    click("CheckLeggiEvidenziato");
    click("CheckRigheColonne");
    click("CheckPulsanteMenu");
    find<QAction>("mnuEsci")->trigger();

    ProfileSettings expected; // no release time, endless loops, nothing read aloud
    expected.setInputMode(InputMode::Automatic);
    expected.SelectionGuard = 0;
    expected.AcceptanceTime = 500;
    expected.FirstStepDelay = 300;
    expected.RowColumnScanning = expected.WayOutButton = true;
    EXPECT_EQ(
        Profile::parseBytes(TestEnv::readFile(ProfileFiles::pathFor(QStringLiteral("anna")))), expected);
}

TEST_F(ConfigurationTest, TheMainMenuScansAsSoonAsTheTeacherLeaves)
{
    open()->showPage(FormConfigura::InputPage);
    click("Option4_2");
    find<QSlider>("HScroll3")->setValue(8);
    find<QAction>("mnuEsci")->trigger();
    auto *menu = qobject_cast<FormMenu *>(host.currentForm());
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->scanning()->timer().isActive());
    EXPECT_EQ(menu->scanning()->timer().interval(), 2000);
}

TEST_F(ConfigurationTest, ValuesOutOfRangeAreBroughtIntoRange)
{
    ProfileSettings &values = appState().Settings;
    values.SpeechSpeed = 9999;
    values.SpeechPitch = 10;
    values.ScanInterval = 100;
    values.InputMode = 7;
    open()->showPage(FormConfigura::InputPage);
    EXPECT_EQ(find<QSlider>("HScroll1")->value(), 250);
    EXPECT_EQ(values.SpeechSpeed, 250);
    EXPECT_EQ(values.SpeechPitch, 50);
    EXPECT_EQ(values.ScanInterval, 60);
    EXPECT_TRUE(find<QRadioButton>("Option4_0")->isChecked());
}

TEST_F(ConfigurationTest, TheVoicePageListsVoicesAndCharacters)
{
    open()->showPage(FormConfigura::VoicePage);
    auto *voices = find<QListWidget>("List1");
    ASSERT_EQ(voices->count(), Voices::italian().size());
    EXPECT_EQ(voices->currentRow(), 0) << "the voice in force";
    QTest::mouseClick(
        voices->viewport(), Qt::LeftButton, {}, voices->visualItemRect(voices->item(2)).center());
    EXPECT_EQ(appState().Settings.VoiceModeId, Voices::italian()[2].modeId);

    auto *characters = find<QListWidget>("List2");
    ASSERT_EQ(characters->count(), 2);
    characters->setCurrentRow(0);
    EXPECT_EQ(appState().Settings.AgentCharacter, QStringLiteral("Gufo"));
    FormConfigura *form = static_cast<FormConfigura *>(host.currentForm());
    EXPECT_EQ(form->agent()->characterName(), QStringLiteral("Gufo"));
    EXPECT_EQ(form->agent()->voice(), Voices::italian()[2].modeId);
}

TEST_F(ConfigurationTest, EveryCaptionFitsAndNothingOverlapsAtBothScreenSizes)
{
    // The mouse shows the cursor box, automatic scanning every switch setting;
    // a character that is not there is told on the voice page.
    appState().Settings.AgentCharacter = QStringLiteral("Nessuno");
    for (const InputMode mode : {InputMode::Mouse, InputMode::Automatic}) {
        appState().Settings.setInputMode(mode);
        for (const QSize size : {QSize(1024, 768), QSize(1920, 1080)}) {
            host.resize(size);
            FormConfigura *form = open();
            for (int page = FormConfigura::UserPage; page <= FormConfigura::InputPage; ++page) {
                form->showPage(FormConfigura::Page(page));
                if (page == FormConfigura::VoicePage) {
                    const auto *problem = find<QLabel>("LabelProblemaPersonaggio");
                    EXPECT_TRUE(problem->isVisible());
                    EXPECT_TRUE(
                        problem->text().startsWith(QStringLiteral("Il personaggio \"Nessuno\" non si trova")))
                        << problem->text().toStdString();
                }
                QList<QWidget *> placed;
                for (QWidget *control : form->findChildren<QWidget *>()) {
                    if (!control->isVisible()
                        || !(qobject_cast<QAbstractButton *>(control) || qobject_cast<QLabel *>(control)
                            || qobject_cast<QSlider *>(control)))
                        continue;
                    // Controls placed side by side may share a pixel after scaling.
                    const QRect place
                        = QRect(control->mapTo(form, QPoint(0, 0)), control->size()).adjusted(1, 1, -1, -1);
                    EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry()))
                        << qPrintable(control->objectName()) << " at " << size.width();
                    for (QWidget *other : placed) {
                        EXPECT_FALSE(place.intersects(QRect(other->mapTo(form, QPoint(0, 0)), other->size())))
                            << qPrintable(control->objectName()) << " and " << qPrintable(other->objectName())
                            << " at " << size.width();
                    }
                    placed << control;
                    if (qobject_cast<QSlider *>(control)
                        || control->objectName() == QLatin1String("LabelFontSelezionato"))
                        continue;
                    const QSize needed = control->sizeHint();
                    EXPECT_LE(needed.width(), control->width())
                        << qPrintable(control->objectName()) << " at " << size.width();
                    EXPECT_LE(needed.height(), control->height() + 2)
                        << qPrintable(control->objectName()) << " at " << size.width();
                }
            }
        }
    }
}

} // namespace

TEST_F(ConfigurationTest, ASwitchIsSetUpByPressingIt)
{
    appState().Settings.setInputMode(InputMode::Manual);
    FormConfigura *form = open();
    form->showPage(FormConfigura::InputPage);
    auto *first = find<QLabel>("LabelSensore1");
    auto *cancel = find<QPushButton>("CommandAnnullaSensore");
    EXPECT_EQ(first->text(), QStringLiteral("Sensore 1: tasto spazio"));

    click("CommandSensore1");
    EXPECT_TRUE(cancel->isVisible());
    EXPECT_EQ(first->text(), QStringLiteral("Premere il sensore 1 entro 10 secondi"));
    QTest::keyClick(cancel, Qt::Key_F7);
    EXPECT_EQ(appState().Settings.Switch1Input, QStringLiteral("key:F7"));
    EXPECT_EQ(first->text(), QStringLiteral("Sensore 1: tasto F7"));
    EXPECT_FALSE(cancel->isVisible());

    // The first switch's input is refused for the second, which waits on.
    click("CommandSensore2");
    QTest::keyClick(cancel, Qt::Key_F7);
    EXPECT_EQ(appState().Settings.Switch2Input, QStringLiteral("key:Return"));
    EXPECT_EQ(find<QLabel>("LabelProblemaSensore")->text(),
        QStringLiteral("tasto F7 è già il sensore 1: premere un altro tasto o pulsante."));
    QTest::mouseClick(find<QPushButton>("CommandSensore2"), Qt::RightButton);
    EXPECT_EQ(appState().Settings.Switch2Input, QStringLiteral("mouse:right"));
    EXPECT_EQ(find<QLabel>("LabelSensore2")->text(), QStringLiteral("Sensore 2: clic destro del mouse"));

    // Escape and "Annulla" give up; neither is taken.
    click("CommandSensore1");
    QTest::keyClick(cancel, Qt::Key_Escape);
    click("CommandSensore1");
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_EQ(appState().Settings.Switch1Input, QStringLiteral("key:F7"));
    EXPECT_EQ(first->text(), QStringLiteral("Sensore 1: tasto F7"));

    // With one switch, the unused second one makes way.
    click("Option4_2");
    click("CommandSensore1");
    QTest::mouseClick(find<QPushButton>("CommandSensore1"), Qt::RightButton);
    EXPECT_EQ(appState().Settings.Switch1Input, QStringLiteral("mouse:right"));
    EXPECT_EQ(appState().Settings.Switch2Input, QStringLiteral("key:F7"));
}

TEST_F(ConfigurationTest, TheSwitchCheckChangesOnlyWhatTheTeacherAcceptsAndIsKept)
{
    ASSERT_TRUE(History::instance().open(
        TestEnv::makeFolder(QStringLiteral("h")) + QStringLiteral("/storia.sqlite")));
    const auto closeHistory = qScopeGuard([] { History::instance().close(); });
    ProfileSettings &settings = appState().Settings;
    settings.setInputMode(InputMode::Automatic);
    settings.ScanInterval = 8;
    const ProfileSettings before = settings;
    auto *check = static_cast<FormProvaSensore *>(host.keepLoaded(QStringLiteral("FormProvaSensore")));
    SwitchCheckGame::Plan plan;
    plan.warmUpPresses = 1;
    plan.pauseMs = 600; // past the bounce window
    plan.speedsMs = {150};
    plan.trialsPerSpeed = 6;
    check->setPlan(plan);
    FormConfigura *form = open();
    form->showPage(FormConfigura::InputPage);
    const auto press = [check] {
        QTest::keyPress(check, Qt::Key_Space);
        QTest::keyRelease(check, Qt::Key_Space);
    };

    // The teacher's Esc gives the check up: nothing kept, nothing changed.
    click("CommandProvaSensore");
    ASSERT_EQ(host.formOnTop(), check);
    press();
    QTest::keyClick(check, Qt::Key_Escape);
    EXPECT_EQ(host.formOnTop(), nullptr);
    EXPECT_TRUE(History::instance().switchChecks(appState().UserName).isEmpty());

    // Played through: a press as each star lights.
    click("CommandProvaSensore");
    press();
    for (int trial = 0; trial < 6; ++trial) {
        ASSERT_TRUE(QTest::qWaitFor(
            [check] {
                return check->game().litBox() >= 0 && check->game().litBox() == check->game().starBox();
            },
            3000));
        press();
    }
    ASSERT_EQ(check->game().phase(), SwitchCheckGame::Phase::Over);
    EXPECT_EQ(History::instance().switchChecks(appState().UserName).size(), 1)
        << "kept before anything is accepted";
    EXPECT_EQ(settings, before) << "nothing changes until the teacher accepts";

    // Only the accepted proposal is applied, and the input page shows it.
    ASSERT_TRUE(check->proposal().scanInterval.changes());
    QCheckBox *intervalBox = check->acceptBoxes().at(0);
    QTest::mouseClick(intervalBox, Qt::LeftButton, {}, QPoint(8, intervalBox->height() / 2));
    QTest::mouseClick(check->applyButton(), Qt::LeftButton);
    EXPECT_EQ(host.currentForm(), form);
    EXPECT_EQ(form->page(), FormConfigura::InputPage);
    ProfileSettings expected = before;
    expected.ScanInterval = check->proposal().scanInterval.value;
    EXPECT_EQ(settings, expected);
}
