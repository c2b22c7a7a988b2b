#pragma once

#include "listdraft.h"

#include "layout/form.h"

#include <QList>
#include <QTimer>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

// "Liste di parole": the teacher writes the word and sentence lists of a
// topic, sees each line as the child will, and the problems of the whole
// list as it is typed; saves, imports, exports, and tries a list in its
// exercise. Nothing typed is left without asking whether to save it.
class FormListe : public Form
{
    Q_OBJECT

public:
    explicit FormListe(QWidget *parent = nullptr);

    const ListDraft &draft() const { return m_draft; }

    QComboBox *topicList() const { return m_topicList; }
    QComboBox *exerciseList() const { return m_exerciseList; }
    QListWidget *savedLists() const { return m_savedLists; }
    QLineEdit *nameEdit() const { return m_nameEdit; }
    QPlainTextEdit *editor() const { return m_editor; }
    QLabel *previewText() const { return m_previewText; }
    QPushButton *firstChoice() const { return m_firstChoice; }
    QPushButton *secondChoice() const { return m_secondChoice; }
    QLabel *countLabel() const { return m_countLabel; }
    QListWidget *problemList() const { return m_problemList; }
    QLabel *statusLabel() const { return m_statusLabel; }
    QPushButton *newButton() const { return m_newButton; }
    QPushButton *deleteButton() const { return m_deleteButton; }
    QPushButton *importButton() const { return m_importButton; }
    QPushButton *exportButton() const { return m_exportButton; }
    QPushButton *saveButton() const { return m_saveButton; }
    QPushButton *tryButton() const { return m_tryButton; }
    QPushButton *closeButton() const { return m_closeButton; }

    // The problems shown are those of the text as it is now.
    void checkNow();

protected:
    void formLoad() override;
    void formActivate() override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const ListTopic &topic() const;
    // Fills the exercises and the saved lists of the topic, and starts a new list.
    void showTopic(int index);
    void fillExercises();
    void fillSavedLists();
    // The draft in the controls: exercise, name, text, buttons.
    void showDraft();
    void updateButtons();
    void updatePreview();
    void scheduleCheck();
    void setStatus(const QString &text);

    // Whether the window may go on to something else: the list has no
    // changes, or the teacher saved them or chose to drop them.
    bool settleChanges();
    // Saves, asking before replacing another list; false when nothing was saved.
    bool saveDraft();
    void openList(const TeacherList &list);
    // After trying a list: back with it open.
    void reopenTriedList(const QString &path);

    void onTopicChosen(int index);
    void onExerciseChosen(int index);
    void onSavedListChosen(int row);
    void onProblemChosen(QListWidgetItem *item);
    void onNewClicked();
    void onDeleteClicked();
    void onImportClicked();
    void onExportClicked();
    void onSaveClicked();
    void onTryClicked();
    void onCloseClicked();
    void onProgramEnding();

    ListDraft m_draft;
    int m_topicIndex = 0;
    QList<ListExercise> m_exercises; // as the exercise list shows them
    QList<TeacherList> m_lists; // as the saved lists show them
    QTimer m_checkTimer;

    QComboBox *m_topicList = nullptr;
    QComboBox *m_exerciseList = nullptr;
    QListWidget *m_savedLists = nullptr;
    QPushButton *m_newButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QPushButton *m_importButton = nullptr;
    QPushButton *m_exportButton = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QPlainTextEdit *m_editor = nullptr;
    QLabel *m_lineCaption = nullptr;
    QLabel *m_previewText = nullptr;
    QPushButton *m_firstChoice = nullptr;
    QPushButton *m_secondChoice = nullptr;
    QLabel *m_lineProblem = nullptr;
    QLabel *m_countLabel = nullptr;
    QLabel *m_problemCaption = nullptr;
    QListWidget *m_problemList = nullptr;
    QLabel *m_statusLabel = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_tryButton = nullptr;
    QPushButton *m_closeButton = nullptr;
};
