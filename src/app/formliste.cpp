#include "formliste.h"

#include "feedback/colours.h"
#include "layout/commondialogs.h"
#include "layout/dialogs.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "state/appstate.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextBlock>

namespace {

// Long enough for a few keys in a row, short enough to follow the typing.
constexpr int kCheckDelayMs = 300;

QLabel *caption(const QString &text)
{
    auto *label = new QLabel(text);
    label->setFont(arialFont(10, true));
    return label;
}

// A spelling shown as the exercise shows it, on a button that only shows it.
QPushButton *choiceCaption(const QString &objectName)
{
    auto *button = new QPushButton;
    button->setObjectName(objectName);
    button->setFont(arialFont(14, true));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAttribute(Qt::WA_TransparentForMouseEvents);
    return button;
}

QString listCaption(const TeacherList &list)
{
    QString text = list.name + QStringLiteral(" – ") + ListExercise::of(list).caption();
    if (list.school)
        text += QStringLiteral(" (scuola)");
    return text;
}

QString problemCountCaption(int count)
{
    if (count == 0)
        return QStringLiteral("Nessun problema");
    return count == 1 ? QStringLiteral("1 problema") : QStringLiteral("%1 problemi").arg(count);
}

QString nameShown(const ListDraft &draft)
{
    return draft.name().isEmpty() ? QStringLiteral("senza nome") : QStringLiteral("«%1»").arg(draft.name());
}

} // namespace

FormListe::FormListe(QWidget *parent)
    : Form(FormName::kWordLists, QSize(9600, 7200), parent)
{
    addControl(caption(QStringLiteral("Argomento")), QRect(240, 120, 3000, 300));
    m_topicList = addControl(new QComboBox, QRect(240, 420, 3000, 420));
    m_topicList->setObjectName(QStringLiteral("cmbArgomento"));
    m_topicList->setAccessibleName(QStringLiteral("Argomento"));
    for (const ListTopic &topic : ListEditing::topics())
        m_topicList->addItem(topic.caption);

    addControl(caption(QStringLiteral("Esercizio")), QRect(240, 960, 3000, 300));
    m_exerciseList = addControl(new QComboBox, QRect(240, 1260, 3000, 420));
    m_exerciseList->setObjectName(QStringLiteral("cmbEsercizio"));
    m_exerciseList->setAccessibleName(QStringLiteral("Esercizio"));

    addControl(caption(QStringLiteral("Liste")), QRect(240, 1800, 3000, 300));
    m_savedLists = addControl(new QListWidget, QRect(240, 2100, 3000, 3720));
    m_savedLists->setObjectName(QStringLiteral("lstListe"));
    m_savedLists->setAccessibleName(QStringLiteral("Liste dell'argomento"));

    m_newButton = addControl(new QPushButton(QStringLiteral("Nuova lista")), QRect(240, 5940, 1440, 520));
    m_newButton->setObjectName(QStringLiteral("cmdNuova"));
    m_deleteButton = addControl(new QPushButton(QStringLiteral("Elimina")), QRect(1800, 5940, 1440, 520));
    m_deleteButton->setObjectName(QStringLiteral("cmdElimina"));
    m_importButton = addControl(new QPushButton(QStringLiteral("Importa…")), QRect(240, 6560, 1440, 520));
    m_importButton->setObjectName(QStringLiteral("cmdImporta"));
    m_exportButton = addControl(new QPushButton(QStringLiteral("Esporta…")), QRect(1800, 6560, 1440, 520));
    m_exportButton->setObjectName(QStringLiteral("cmdEsporta"));

    addControl(caption(QStringLiteral("Nome")), QRect(3480, 180, 720, 300));
    m_nameEdit = addControl(new QLineEdit, QRect(4200, 120, 5160, 420));
    m_nameEdit->setObjectName(QStringLiteral("txtNome"));
    m_nameEdit->setAccessibleName(QStringLiteral("Nome"));

    m_editor = addControl(new QPlainTextEdit, QRect(3480, 660, 3360, 3540));
    m_editor->setObjectName(QStringLiteral("txtLista"));
    m_editor->setAccessibleName(QStringLiteral("Parole della lista, una per riga"));
    m_editor->setFont(arialFont(12));
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A tab in a record is a fault the checks report; the key moves on instead.
    m_editor->setTabChangesFocus(true);

    m_lineCaption = addControl(new QLabel, QRect(6960, 660, 2400, 480));
    m_lineCaption->setObjectName(QStringLiteral("lblRiga"));
    m_lineCaption->setWordWrap(true);
    m_previewText = addControl(new QLabel, QRect(6960, 1200, 2400, 900));
    m_previewText->setObjectName(QStringLiteral("lblAnteprima"));
    m_previewText->setFont(arialFont(14));
    m_previewText->setWordWrap(true);
    m_previewText->setAlignment(Qt::AlignCenter);
    m_previewText->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_previewText->setAutoFillBackground(true);
    QPalette paper = m_previewText->palette();
    paper.setColor(QPalette::Window, Qt::white);
    paper.setColor(QPalette::WindowText, Qt::black);
    m_previewText->setPalette(paper);
    m_firstChoice = addControl(choiceCaption(QStringLiteral("lblScelta1")), QRect(6960, 2220, 1140, 600));
    m_secondChoice = addControl(choiceCaption(QStringLiteral("lblScelta2")), QRect(8220, 2220, 1140, 600));
    m_lineProblem = addControl(new QLabel, QRect(6960, 2940, 2400, 900));
    m_lineProblem->setObjectName(QStringLiteral("lblProblemaRiga"));
    m_lineProblem->setWordWrap(true);
    m_lineProblem->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_countLabel = addControl(new QLabel, QRect(6960, 3840, 2400, 360));
    m_countLabel->setObjectName(QStringLiteral("lblConteggio"));
    m_countLabel->setFont(arialFont(11, true));

    m_problemCaption = addControl(caption(QString()), QRect(3480, 4320, 5880, 300));
    m_problemCaption->setObjectName(QStringLiteral("lblProblemi"));
    m_problemList = addControl(new QListWidget, QRect(3480, 4620, 5880, 1260));
    m_problemList->setObjectName(QStringLiteral("lstProblemi"));
    m_problemList->setAccessibleName(QStringLiteral("Problemi della lista"));
    m_problemList->setWordWrap(true);
    m_problemList->setAlternatingRowColors(true);

    m_statusLabel = addControl(new QLabel, QRect(3480, 5940, 5880, 560));
    m_statusLabel->setObjectName(QStringLiteral("lblStato"));
    m_statusLabel->setWordWrap(true);

    m_saveButton = addControl(new QPushButton(QStringLiteral("Salva")), QRect(3480, 6560, 1400, 520));
    m_saveButton->setObjectName(QStringLiteral("cmdSalva"));
    m_tryButton = addControl(new QPushButton(QStringLiteral("Prova")), QRect(5000, 6560, 1400, 520));
    m_tryButton->setObjectName(QStringLiteral("cmdProva"));
    m_closeButton = addControl(new QPushButton(QStringLiteral("Chiudi")), QRect(7960, 6560, 1400, 520));
    m_closeButton->setObjectName(QStringLiteral("cmdChiudi"));

    for (QWidget *control : std::initializer_list<QWidget *>{m_topicList, m_exerciseList, m_savedLists,
             m_newButton, m_deleteButton, m_importButton, m_exportButton, m_nameEdit, m_lineCaption,
             m_lineProblem, m_problemList, m_statusLabel, m_saveButton, m_tryButton, m_closeButton})
        control->setFont(arialFont(10));

    m_checkTimer.setSingleShot(true);
    m_checkTimer.setInterval(kCheckDelayMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &FormListe::checkNow);

    connect(m_topicList, &QComboBox::activated, this, &FormListe::onTopicChosen);
    connect(m_exerciseList, &QComboBox::activated, this, &FormListe::onExerciseChosen);
    // Queued: opening a list may save the one before and fill the saved
    // lists again, which a list cannot do in the middle of changing its row.
    connect(m_savedLists, &QListWidget::currentRowChanged, this, &FormListe::onSavedListChosen,
        Qt::QueuedConnection);
    connect(m_problemList, &QListWidget::itemClicked, this, &FormListe::onProblemChosen);
    connect(m_problemList, &QListWidget::itemActivated, this, &FormListe::onProblemChosen);
    connect(m_nameEdit, &QLineEdit::textChanged, this, [this](const QString &name) {
        m_draft.setName(name);
        updateButtons();
    });
    connect(m_editor, &QPlainTextEdit::textChanged, this, [this] {
        m_draft.setText(m_editor->toPlainText());
        m_countLabel->setText(ListEditing::countCaption(m_draft.lines(), m_draft.exercise().sentences));
        updatePreview();
        updateButtons();
        scheduleCheck();
    });
    connect(m_editor, &QPlainTextEdit::cursorPositionChanged, this, &FormListe::updatePreview);
    connect(m_newButton, &QPushButton::clicked, this, &FormListe::onNewClicked);
    connect(m_deleteButton, &QPushButton::clicked, this, &FormListe::onDeleteClicked);
    connect(m_importButton, &QPushButton::clicked, this, &FormListe::onImportClicked);
    connect(m_exportButton, &QPushButton::clicked, this, &FormListe::onExportClicked);
    connect(m_saveButton, &QPushButton::clicked, this, &FormListe::onSaveClicked);
    connect(m_tryButton, &QPushButton::clicked, this, &FormListe::onTryClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &FormListe::onCloseClicked);
}

void FormListe::formLoad()
{
    if (host())
        connect(host(), &FormHost::programEnding, this, &FormListe::onProgramEnding);
    AppState &state = appState();
    const QString tried = state.TriedListPath;
    state.TriedListPath.clear();
    showTopic(0);
    if (!tried.isEmpty())
        reopenTriedList(tried);
}

void FormListe::formActivate()
{
    setBackgroundColour(windowBackgroundColour());
    for (QPushButton *choice : {m_firstChoice, m_secondChoice})
        setButtonColour(choice, appState().Settings.ButtonColour);
    m_editor->setFocus();
}

void FormListe::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        onCloseClicked();
        return;
    }
    Form::keyPressEvent(event);
}

const ListTopic &FormListe::topic() const
{
    return ListEditing::topics().at(m_topicIndex);
}

void FormListe::showTopic(int index)
{
    m_topicIndex = index;
    m_topicList->setCurrentIndex(index);
    m_draft.startNew(topic().folder, topic().exercises.first());
    fillSavedLists();
    fillExercises();
    showDraft();
    setStatus(QString());
}

void FormListe::fillExercises()
{
    // The topic's own, then those of lists filed under other pairs.
    m_exercises = topic().exercises;
    for (const TeacherList &list : std::as_const(m_lists)) {
        if (!m_exercises.contains(ListExercise::of(list)))
            m_exercises.insert(m_exercises.size() - 1, ListExercise::of(list));
    }
    if (!m_exercises.contains(m_draft.exercise()))
        m_exercises.insert(m_exercises.size() - 1, m_draft.exercise());
    const QSignalBlocker blocker(m_exerciseList);
    m_exerciseList->clear();
    for (const ListExercise &exercise : std::as_const(m_exercises))
        m_exerciseList->addItem(exercise.caption());
}

void FormListe::fillSavedLists()
{
    m_lists = TeacherLists::forTopic(topic().folder);
    const QSignalBlocker blocker(m_savedLists);
    m_savedLists->clear();
    for (const TeacherList &list : std::as_const(m_lists))
        m_savedLists->addItem(listCaption(list));
}

void FormListe::showDraft()
{
    {
        const QSignalBlocker blocker(m_exerciseList);
        m_exerciseList->setCurrentIndex(int(m_exercises.indexOf(m_draft.exercise())));
    }
    {
        const QSignalBlocker blocker(m_savedLists);
        int row = -1;
        for (int i = 0; i < m_lists.size(); ++i) {
            if (ListEditing::sameFile(m_lists[i].path, m_draft.source()))
                row = i;
        }
        m_savedLists->setCurrentRow(row);
    }
    m_nameEdit->setText(m_draft.name());
    // The text last: its change signal shows the count, the preview and the
    // buttons. Once saved, the text is the same and the cursor stays where it was.
    if (m_editor->toPlainText() != m_draft.text())
        m_editor->setPlainText(m_draft.text());
    else
        updateButtons();
    m_problemList->clear();
    m_problemCaption->setText(QString());
    checkNow();
}

void FormListe::updateButtons()
{
    m_deleteButton->setEnabled(m_draft.isUsersOwn());
    m_saveButton->setEnabled(m_draft.modified() || m_draft.fromSchool() || m_draft.source().isEmpty());
}

void FormListe::updatePreview()
{
    const QTextBlock block = m_editor->textCursor().block();
    const ListEditing::LinePreview preview = ListEditing::preview(block.text(), m_draft.exercise());
    m_lineCaption->setText(QStringLiteral("Riga %1, come la vedrà il bambino:").arg(block.blockNumber() + 1));
    m_previewText->setText(preview.shown);
    const bool shown
        = !preview.shown.isEmpty() || (!m_draft.exercise().sentences && preview.problem.isEmpty());
    m_firstChoice->setText(shown ? preview.choices.value(0) : QString());
    m_secondChoice->setText(shown ? preview.choices.value(1) : QString());
    m_firstChoice->setVisible(shown);
    m_secondChoice->setVisible(shown);
    m_lineProblem->setText(preview.problem.isEmpty() ? QString() : preview.problem + u'.');
}

void FormListe::scheduleCheck()
{
    m_checkTimer.start();
}

void FormListe::checkNow()
{
    m_checkTimer.stop();
    const QList<ListCheck::Problem> problems = m_draft.problems();
    m_problemList->clear();
    int count = 0;
    for (const ListCheck::Problem &problem : problems) {
        auto *item = new QListWidgetItem(problem.message, m_problemList);
        item->setData(Qt::UserRole, problem.line);
        count += problem.kind != ListCheck::Kind::ChecksSkipped;
    }
    m_problemCaption->setText(problemCountCaption(count));
}

void FormListe::setStatus(const QString &text)
{
    m_statusLabel->setText(text);
}

bool FormListe::settleChanges()
{
    if (!m_draft.modified())
        return true;
    const QString question = m_draft.name().isEmpty()
        ? QStringLiteral("La nuova lista non è salvata. Vuoi salvarla?")
        : QStringLiteral("La lista «%1» ha delle modifiche non salvate. Vuoi salvarla?").arg(m_draft.name());
    switch (Dialogs::questionWithCancel(this, question)) {
    case Dialogs::Answer::Yes:
        return saveDraft();
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Cancel:
        break;
    }
    return false;
}

bool FormListe::saveDraft()
{
    checkNow();
    if (const QString why = m_draft.refusal(); !why.isEmpty()) {
        Dialogs::error(this, why);
        if (!TeacherLists::whyNotAListName(m_draft.name()).isEmpty())
            m_nameEdit->setFocus();
        return false;
    }
    if (m_draft.replacesAnother()
        && !Dialogs::cautiousQuestion(this,
            QStringLiteral("C'è già una lista «%1» per «%2». Vuoi sostituirla con questa?")
                .arg(m_draft.name(), m_draft.exercise().caption())))
        return false;
    const bool copy = m_draft.fromSchool();
    QString error;
    if (!m_draft.save(&error)) {
        Dialogs::error(this, error);
        return false;
    }
    fillSavedLists();
    fillExercises();
    showDraft();
    QString status = copy ? QStringLiteral("Salvata una copia di %1 tra le tue liste: la lista della scuola "
                                           "resta com'era.")
                                .arg(nameShown(m_draft))
                          : QStringLiteral("Lista %1 salvata.").arg(nameShown(m_draft));
    const int problems = m_problemList->count();
    if (problems > 0)
        status += problems == 1 ? QStringLiteral(" Resta 1 problema da correggere.")
                                : QStringLiteral(" Restano %1 problemi da correggere.").arg(problems);
    setStatus(status);
    return true;
}

void FormListe::openList(const TeacherList &list)
{
    QString error;
    if (!m_draft.open(list, &error)) {
        Dialogs::error(this, error);
        showDraft();
        return;
    }
    fillExercises();
    showDraft();
    setStatus(list.school ? QStringLiteral("Questa è una lista della scuola: il suo file non cambia mai. "
                                           "«Salva» ne salva una copia tra le tue liste.")
                          : QString());
}

void FormListe::reopenTriedList(const QString &path)
{
    for (int i = 0; i < ListEditing::topics().size(); ++i) {
        for (const TeacherList &list : TeacherLists::forTopic(ListEditing::topics()[i].folder)) {
            if (ListEditing::sameFile(list.path, path)) {
                showTopic(i);
                openList(list);
                return;
            }
        }
    }
}

void FormListe::onTopicChosen(int index)
{
    if (index == m_topicIndex)
        return;
    if (!settleChanges()) {
        m_topicList->setCurrentIndex(m_topicIndex);
        return;
    }
    showTopic(index);
}

void FormListe::onExerciseChosen(int index)
{
    if (index < 0 || index >= m_exercises.size())
        return;
    // The list is written for another exercise: saved, it is filed there.
    m_draft.setExercise(m_exercises[index]);
    m_countLabel->setText(ListEditing::countCaption(m_draft.lines(), m_draft.exercise().sentences));
    updatePreview();
    updateButtons();
    checkNow();
}

void FormListe::onSavedListChosen(int row)
{
    if (row < 0 || row >= m_lists.size() || ListEditing::sameFile(m_lists[row].path, m_draft.source()))
        return;
    const TeacherList chosen = m_lists[row];
    if (!settleChanges()) {
        showDraft();
        return;
    }
    openList(chosen);
}

void FormListe::onProblemChosen(QListWidgetItem *item)
{
    const int line = item ? item->data(Qt::UserRole).toInt() : 0;
    if (line <= 0)
        return;
    const QTextBlock block = m_editor->document()->findBlockByNumber(line - 1);
    if (!block.isValid())
        return;
    m_editor->setTextCursor(QTextCursor(block));
    m_editor->ensureCursorVisible();
    m_editor->setFocus();
}

void FormListe::onNewClicked()
{
    if (!settleChanges())
        return;
    const int index = m_exerciseList->currentIndex();
    m_draft.startNew(topic().folder, m_exercises.value(index, topic().exercises.first()));
    showDraft();
    setStatus(QStringLiteral("Nuova lista: scrivi il nome e le parole, una per riga."));
    m_nameEdit->setFocus();
}

void FormListe::onDeleteClicked()
{
    if (!m_draft.isUsersOwn())
        return;
    if (!Dialogs::cautiousQuestion(this,
            QStringLiteral("Vuoi eliminare la lista «%1»?\r\nNon si potrà più recuperare.")
                .arg(m_draft.name())))
        return;
    QString error;
    if (!m_draft.remove(&error)) {
        Dialogs::error(this, error);
        return;
    }
    const QString name = m_draft.name();
    m_draft.startNew(topic().folder, m_draft.exercise());
    fillSavedLists();
    fillExercises();
    showDraft();
    setStatus(QStringLiteral("Lista «%1» eliminata.").arg(name));
}

void FormListe::onImportClicked()
{
    if (!settleChanges())
        return;
    const QString path
        = chooseFilePath(this, CommonDialogs::FileMode::Open, QStringLiteral("Importa"), QString(),
            {{QStringLiteral("Liste di parole"), QStringLiteral("*.txt")},
                {QStringLiteral("Tutti i file"), QStringLiteral("*")}},
            QDir::homePath(), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QString error;
    const ListExercise exercise
        = m_exercises.value(m_exerciseList->currentIndex(), topic().exercises.first());
    if (!m_draft.importFile(path, topic().folder, exercise, &error)) {
        Dialogs::error(this, error);
        return;
    }
    showDraft();
    setStatus(QStringLiteral("Importata da %1: non è ancora tra le tue liste finché non la salvi.")
                  .arg(QDir::toNativeSeparators(path)));
}

void FormListe::onExportClicked()
{
    const QString path = chooseFilePath(this, CommonDialogs::FileMode::Save, QStringLiteral("Esporta"),
        m_draft.name().isEmpty() ? QStringLiteral("lista.txt") : m_draft.name() + QStringLiteral(".txt"),
        {{QStringLiteral("Liste di parole"), QStringLiteral("*.txt")}}, QDir::homePath(),
        QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_draft.exportTo(path, &error)) {
        Dialogs::error(this, error);
        return;
    }
    setStatus(QStringLiteral("Lista esportata in %1.").arg(QDir::toNativeSeparators(path)));
}

void FormListe::onSaveClicked()
{
    saveDraft();
}

void FormListe::onTryClicked()
{
    if (m_draft.modified() || m_draft.source().isEmpty()) {
        const QString question = m_draft.source().isEmpty()
            ? QStringLiteral("Per provare la lista bisogna prima salvarla. Vuoi salvarla?")
            : QStringLiteral("Vuoi salvare le modifiche prima di provare la lista?\r\n"
                             "Con «No» si prova la lista com'era salvata e le modifiche vanno perse.");
        switch (Dialogs::questionWithCancel(this, question)) {
        case Dialogs::Answer::Yes:
            if (!saveDraft())
                return;
            break;
        case Dialogs::Answer::No:
            if (m_draft.source().isEmpty())
                return;
            break;
        case Dialogs::Answer::Cancel:
            return;
        }
    }
    AppState &state = appState();
    state.WordListPath = m_draft.source();
    state.TriedListPath = m_draft.source();
    state.TopicMarker = topic().marker;
    bool sentences = m_draft.exercise().sentences;
    state.ChoiceA = m_draft.exercise().first;
    state.ChoiceB = m_draft.exercise().second;
    // A list tried without its changes plays as it was saved.
    for (const TeacherList &list : std::as_const(m_lists)) {
        if (ListEditing::sameFile(list.path, m_draft.source())) {
            sentences = list.sentences;
            state.ChoiceA = list.first;
            state.ChoiceB = list.second;
        }
    }
    showForm(sentences ? FormName::kSentenceExercise : FormName::kWordExercise);
}

void FormListe::onCloseClicked()
{
    if (settleChanges())
        showForm(FormName::kMainMenu);
}

void FormListe::onProgramEnding()
{
    if (!m_draft.modified())
        return;
    const QString question = m_draft.name().isEmpty()
        ? QStringLiteral("La nuova lista non è salvata. Vuoi salvarla prima di uscire?")
        : QStringLiteral("La lista «%1» ha delle modifiche non salvate. Vuoi salvarla prima di uscire?")
              .arg(m_draft.name());
    if (Dialogs::question(this, question))
        saveDraft();
}

#include "moc_formliste.cpp"
