#pragma once

#include "layout/form.h"
#include "scanning/switchcheck.h"
#include "scanning/switchcheckgame.h"

#include <QList>
#include <QTimer>

#include <memory>

class Agent;
class QCheckBox;
class QLabel;
class QPushButton;
class SwitchInputFilter;
struct SwitchCheckRecord;

// The switch check, shown over the configuration window: the pupil plays a
// short game with their own switches, then the teacher sees what it
// measured and accepts the proposed timings one by one, or keeps them.
// Nothing changes until the teacher applies a proposal; the check itself is
// kept in the pupil's history either way. Esc gives up the check.
class FormProvaSensore : public Form
{
    Q_OBJECT

public:
    explicit FormProvaSensore(QWidget *parent = nullptr);
    ~FormProvaSensore() override;

    const SwitchCheckGame &game() const { return *m_game; }
    // A shorter game, for tests; it takes effect when the window is next shown.
    void setPlan(const SwitchCheckGame::Plan &plan);
    // The proposals' boxes, in the order of the rows; a proposal that
    // changes nothing has its box disabled.
    const QList<QCheckBox *> &acceptBoxes() const { return m_acceptBoxes; }
    QPushButton *acceptAllButton() const { return m_acceptAllButton; }
    QPushButton *applyButton() const { return m_applyButton; }
    QLabel *historyNote() const { return m_historyNote; }
    const SwitchCheck::Proposal &proposal() const { return m_proposal; }

    // The check's record for the history, from what it measured and proposed.
    static SwitchCheckRecord record(
        const QString &pupil, const SwitchCheck::Figures &figures, const SwitchCheck::Proposal &proposal);

protected:
    void formActivate() override;
    void formUnload() override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void startGame();
    void stopGame();
    void switchDown();
    void switchUp();
    void runClock();

    // What the game asks to be shown.
    void showPhase(SwitchCheckGame::Phase phase);
    void lightBox(int box, bool star);
    void reactToPress();
    void showTrialEnd(SwitchCheckGame::Outcome outcome, qint64 delayMs);

    void showResults();
    void applyAccepted();
    void close();

    void showCharacter();

    std::unique_ptr<SwitchCheckGame> m_game;
    SwitchCheck::Proposal m_proposal;
    SwitchInputFilter *m_switches = nullptr;
    QTimer m_clock;
    std::unique_ptr<Agent> m_agent;

    QLabel *m_title = nullptr;
    QLabel *m_instruction = nullptr;
    QWidget *m_agentPlace = nullptr;
    QList<QLabel *> m_boxes;
    QLabel *m_trialCount = nullptr;
    QLabel *m_escNote = nullptr;

    QLabel *m_summary = nullptr;
    QList<QLabel *> m_proposalTexts;
    QList<QCheckBox *> m_acceptBoxes;
    QLabel *m_historyNote = nullptr;
    QPushButton *m_acceptAllButton = nullptr;
    QPushButton *m_applyButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};
