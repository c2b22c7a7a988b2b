#pragma once

#include "wordstore.h"

#include "layout/form.h"

#include <QList>

#include <memory>

class Agent;
class ReviewQueue;
class ExerciseScanning;
class PictureBox;
class QAction;
class QLabel;
class QPushButton;

// The exercise: a word or sentence with a gap, and buttons with the
// spellings that could fill it. One window type in five configurations:
//   Words     - a word list; the menu's pair of spellings on two buttons;
//   Sentences - a sentence list; each item brings its own pair;
//   Review    - the word store a review filled; each item brings its pair;
//   Articles  - a word list; three fixed buttons "la", "lo", "l'";
//   Syllables - a word list; five fixed buttons "gna" to "gnu", and no
//               record of the words done.
class ExerciseWindow : public Form
{
    Q_OBJECT

public:
    enum class Kind { Words, Sentences, Review, Articles, Syllables };

    explicit ExerciseWindow(Kind kind, QWidget *parent = nullptr);
    ~ExerciseWindow() override;

    static QString formNameFor(Kind kind);

    // The topic menu that an exercise goes back to, by the marker its menu
    // left; empty for an unknown marker.
    static QString topicMenuFor(const QString &marker);

    // The window to go back to now: "Liste di parole" while a teacher tries
    // a list there, else the topic menu of TopicMarker, or the main menu
    // when the marker names none.
    static QString menuToReturnTo();

    Kind kind() const { return m_kind; }
    bool solved() const { return m_solved; }

    // The completed item in place of the gapped one.
    void showCompletedItem();

    QLabel *wordLabel() const { return m_wordLabel; }
    QPushButton *answerButton(int index) const { return m_answerButtons.value(index); }
    int answerCount() const { return int(m_answerButtons.size()); }
    QPushButton *nextButton() const { return m_nextButton; }
    QPushButton *readButton() const { return m_readButton; }
    // "menu": shown only to a pupil who scans, when the profile asks for it.
    QPushButton *wayOutButton() const { return m_wayOutButton; }
    QLabel *rightCountLabel() const { return m_rightCountLabel; }
    QLabel *wrongCountLabel() const { return m_wrongCountLabel; }
    PictureBox *rightSign() const { return m_rightSign; }
    PictureBox *wrongSign() const { return m_wrongSign; }
    QAction *soundsAction() const { return m_soundsAction; }
    QAction *resetCountsAction() const { return m_resetCountsAction; }
    QAction *printAction() const { return m_printAction; }
    QAction *exitAction() const { return m_exitAction; }
    ExerciseScanning *scanning() const { return m_scanning; }
    // The speaking character; nullptr when speech is off.
    Agent *agent() const { return m_agent.get(); }

protected:
    void formLoad() override;
    void formActivate() override;
    void formResize() override;
    void formUnload() override;

private:
    // The profile's text size on the answer buttons, or a smaller one where
    // a spelling would not fit its button (capitals, the cursive, a small screen).
    void fitAnswerCaptions();

    void showNextItem();
    // The mouse path and the switch path of an answer; both judge alike.
    void answer(int buttonIndex);
    void keyboardAnswer(int buttonIndex);
    // Signs, counts, sound and record for the spelling of this button;
    // true for a right answer, whose item is then shown complete.
    bool judge(int buttonIndex);
    bool isRightSpelling(int buttonIndex) const;
    // Keeps the answer in the pupil's history.
    void recordAnswer(int buttonIndex, bool right);
    QString offeredSpelling(int buttonIndex) const;
    // The spellings of every answer button, in button order.
    QStringList offeredSpellings() const;
    // The character: made at load, greets at each activation, reads the
    // item on "leggi", and goes with the window.
    void makeAgent();
    void greetPupil();
    void readItemAloud();
    void dismissAgent();
    // Once in a run, a message box with what keeps the character or the
    // answer sounds from being seen or heard, when they are on.
    void tellWhatIsMissing();

    void showCount(QLabel *label, qint16 count, bool signPosition);
    void returnToTopicMenu();

    void onNextClicked();
    void onReadClicked();
    void onResetCountsChosen();
    void onSoundsChosen();
    void onPrintChosen();
    void onExitChosen();

    Kind m_kind;
    QLabel *m_wordLabel = nullptr;
    QList<QPushButton *> m_answerButtons;
    QStringList m_fixedSpellings;
    QPushButton *m_nextButton = nullptr;
    QPushButton *m_readButton = nullptr;
    QPushButton *m_wayOutButton = nullptr;
    PictureBox *m_rightSign = nullptr;
    PictureBox *m_wrongSign = nullptr;
    QLabel *m_rightCountLabel = nullptr;
    QLabel *m_wrongCountLabel = nullptr;
    QWidget *m_agentPlace = nullptr;
    QWidget *m_scanningSign = nullptr;
    ExerciseScanning *m_scanning = nullptr;
    std::unique_ptr<Agent> m_agent;
    // Picks the items when missed words come back; none when the profile turns that off.
    std::unique_ptr<ReviewQueue> m_reviewQueue;
    QAction *m_soundsAction = nullptr;
    QAction *m_resetCountsAction = nullptr;
    QAction *m_printAction = nullptr;
    QAction *m_exitAction = nullptr;

    LoadReport m_loadReport;
    bool m_reportShown = false;
    bool m_solved = false;
    // The activity-record row of the item on screen; 0 when it was not recorded.
    int m_recordRow = 0;
    // When the item on screen was shown, on the switches' clock.
    qint64 m_itemShownAt = 0;
};
