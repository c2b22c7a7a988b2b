#pragma once

#include "settingbinding.h"
#include "switchcapture.h"

#include "layout/form.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

class Agent;
class QAbstractButton;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabBar;
struct ProfileSettings;

// The teacher's window: which user is working, and every setting of that
// user, on five pages. A change takes effect in memory at once; the profile
// is written when the user changes and when the window is left.
//
// Each control that shows a setting is bound to its row of the settings
// table (SettingBinding); showSettings() walks the bindings, then sets what
// follows from the values (captions, enabled and visible controls).
class FormConfigura : public Form
{
    Q_OBJECT

public:
    enum Page { UserPage = 1, LettersPage, FontsPage, VoicePage, InputPage };

    explicit FormConfigura(QWidget *parent = nullptr);
    ~FormConfigura() override;

    void showPage(Page page);
    Page page() const;
    Agent *agent() const { return m_agent.get(); }
    QString speechTags() const { return m_speechTags; }
    const std::vector<SettingBinding> &bindings() const { return m_bindings; }

protected:
    void formLoad() override;
    void formActivate() override;
    void formResize() override;
    void formUnload() override;

private:
    void buildUserPage();
    void buildLettersPage();
    void buildFontsPage();
    void buildVoicePage();
    void buildInputPage();

    void showSettings();
    void showWhatFollows();
    void hidePages();
    void leave();

    void bind(SettingBinding binding) { m_bindings.push_back(std::move(binding)); }
    // After the teacher's change: its own effect, then everything shown afresh.
    SettingBinding::Changed thenShow(std::function<void()> effect = {});

    // User page.
    void chooseUserOption(int index);
    void chooseListedUser();
    void loadUser(const QString &name);
    void typeNewUser(const QString &text);
    void showUserName();

    // Letter and font page.
    void chooseBackgroundColour();
    void chooseButtonColour();
    void chooseTextColour();
    void chooseTextBackground();
    void chooseTextFont();

    // Voice page.
    void loadCharacter();
    void setUpCharacter();
    void fillVoiceLists();
    void tryVoice();
    void sayBalloonSetting();
    void chooseBalloonFont();
    void chooseCharacter();
    void placeCharacter();
    void showCharacterProblem();

    // Input page.
    void chooseSelectedButtonColour();
    // Waits for the input that switch 0 or 1 is to be.
    void setUpSwitch(int index);
    void takeSwitch(const SwitchInput &input);
    void showSwitchCountdown(int secondsLeft);
    void endSwitchSetUp();

    QList<QWidget *> pages() const;
    void scaleFonts();

    QTabBar *m_tabs = nullptr;
    QFrame *m_userPage = nullptr;
    QFrame *m_lettersPage = nullptr;
    QFrame *m_fontsPage = nullptr;
    QFrame *m_voicePage = nullptr;
    QFrame *m_inputPage = nullptr;

    QList<QRadioButton *> m_userOptions;
    QListWidget *m_userList = nullptr;
    QLineEdit *m_newUserName = nullptr;
    QLabel *m_userNameProblem = nullptr;
    QCheckBox *m_keepRecord = nullptr;
    QLabel *m_userName = nullptr;
    // The user in force when "Nuovo utente" was chosen, kept while no usable
    // name is typed.
    QString m_userBeforeNewName;
    QString m_profileBeforeNewName;
    // A click on a user option is under way: its toggle is left to the click.
    bool m_userOptionPressed = false;

    QRadioButton *m_lowerCase = nullptr;
    QRadioButton *m_upperCase = nullptr;
    QRadioButton *m_cursive = nullptr;
    QCheckBox *m_reviewMissed = nullptr;

    QList<QRadioButton *> m_backgroundOptions;
    QPushButton *m_backgroundColourButton = nullptr;
    QPushButton *m_fontButton = nullptr;
    QPushButton *m_textColourButton = nullptr;
    QPushButton *m_textBackgroundButton = nullptr;
    QPushButton *m_buttonColourButton = nullptr;
    QLabel *m_textSample = nullptr;
    // Carries the colour picked in the colour dialog.
    QLabel *m_pickedColour = nullptr;

    QListWidget *m_voiceList = nullptr;
    QListWidget *m_characterList = nullptr;
    QCheckBox *m_speechOn = nullptr;
    QSlider *m_speedBar = nullptr;
    QLabel *m_speedLabel = nullptr;
    QSlider *m_pitchBar = nullptr;
    QLabel *m_pitchLabel = nullptr;
    QPushButton *m_tryVoiceButton = nullptr;
    QCheckBox *m_balloonShown = nullptr;
    QCheckBox *m_balloonHoldsAllText = nullptr;
    QPushButton *m_balloonFontButton = nullptr;
    QLabel *m_balloonSample = nullptr;
    QCheckBox *m_soundsOn = nullptr;
    QWidget *m_characterPlace = nullptr;
    QLabel *m_characterProblem = nullptr;

    QList<QRadioButton *> m_inputModes;
    QCheckBox *m_systemCursor = nullptr;
    QSlider *m_scanBar = nullptr;
    QLabel *m_scanLabel = nullptr;
    QPushButton *m_selectedButtonColourButton = nullptr;
    QLabel *m_acceptanceLabel = nullptr;
    QSlider *m_acceptanceBar = nullptr;
    QLabel *m_releaseLabel = nullptr;
    QSlider *m_releaseBar = nullptr;
    QLabel *m_guardLabel = nullptr;
    QSlider *m_guardBar = nullptr;
    QLabel *m_firstStepLabel = nullptr;
    QSlider *m_firstStepBar = nullptr;
    QLabel *m_loopsLabel = nullptr;
    QSlider *m_loopsBar = nullptr;
    QCheckBox *m_spokenHighlight = nullptr;
    QCheckBox *m_rowColumn = nullptr;
    QCheckBox *m_wayOut = nullptr;
    QLabel *m_cueVolumeLabel = nullptr;
    QSlider *m_cueVolumeBar = nullptr;
    QLabel *m_switchNames[2] = {};
    QPushButton *m_switchButtons[2] = {};
    QPushButton *m_cancelSwitch = nullptr;
    QPushButton *m_switchCheckButton = nullptr;
    // The switch check was opened over this window, which shows the input page again after it.
    bool m_backFromSwitchCheck = false;
    // What the set-up has to say: a clash, or a controller it cannot read.
    QLabel *m_switchProblem = nullptr;
    SwitchCapture *m_switchCapture = nullptr;
    // The switch being set up, or -1.
    int m_switchBeingSet = -1;

    std::vector<SettingBinding> m_bindings;
    std::unique_ptr<Agent> m_agent;
    QString m_speechTags;
};
