#include "formmieliste.h"

#include "layout/fontfit.h"
#include "layout/formnames.h"
#include "records/activityrecord.h"
#include "state/appstate.h"

#include <QPushButton>

#include <algorithm>

namespace {

// Wider than a topic menu's buttons: a list's name is longer than a pair of spellings.
constexpr QSize kButton(3240, 1000);
constexpr int kColumns = 3;
constexpr int kColumnStep = 3360;
constexpr int kRowStep = 1200;
constexpr QPoint kFirst(120, 240);
// Longer captions take two lines.
constexpr int kOneLine = 20;
// The least text size for a caption, in points: smaller, a pupil could not read it.
constexpr int kLeastPoints = 8;

QRect place(int column, int row)
{
    return QRect(kFirst + QPoint(column * kColumnStep, row * kRowStep), kButton);
}

} // namespace

FormMieListe::FormMieListe(QWidget *parent)
    : MenuForm(FormName::kMyLists, QSize(10215, 6480), parent)
    , m_menu(Catalogue::menuByMarker(appState().TopicMarker))
{
    const QList<TeacherList> all
        = m_menu ? TeacherLists::forTopic(m_menu->topicFolder) : QList<TeacherList>();
    m_pages = qMax(1, int((all.size() + kListsPerPage - 1) / kListsPerPage));
    // Lists may have gone since the page was chosen.
    m_page = qBound(0, appState().MyListsPage, m_pages - 1);
    m_lists = all.mid(m_page * kListsPerPage, kListsPerPage);

    for (int i = 0; i < m_lists.size(); ++i)
        addMenuButton(captionOf(m_lists[i], all), place(i % kColumns, i / kColumns));
    const int lastRow = kListsPerPage / kColumns;
    if (m_pages > 1) {
        m_moreIndex = buttonCount();
        addMenuButton(QStringLiteral("altre liste"), place(1, lastRow), true);
    }
    m_backIndex = buttonCount();
    addMenuButton(QStringLiteral("indietro"), place(2, lastRow), true);
    enableScanning();
}

QPushButton *FormMieListe::moreButton() const
{
    return m_moreIndex < 0 ? nullptr : button(m_moreIndex);
}

QPushButton *FormMieListe::backButton() const
{
    return button(m_backIndex);
}

QString FormMieListe::captionOf(const TeacherList &list, const QList<TeacherList> &topicLists)
{
    QString caption = list.name;
    const bool nameShared
        = std::any_of(topicLists.begin(), topicLists.end(), [&list](const TeacherList &other) {
              return other.path != list.path && other.name.compare(list.name, Qt::CaseInsensitive) == 0
                  && (other.sentences != list.sentences || other.first != list.first
                      || other.second != list.second);
          });
    if (nameShared)
        caption += list.sentences ? QStringLiteral(" (frasi)")
                                  : QStringLiteral(" (%1 / %2)").arg(list.first, list.second);
    if (list.school)
        caption += QStringLiteral(" (scuola)");
    if (caption.size() <= kOneLine)
        return caption;
    const qsizetype middle = caption.size() / 2;
    qsizetype blank = -1;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u' ' && (blank < 0 || qAbs(i - middle) < qAbs(blank - middle)))
            blank = i;
    }
    if (blank > 0)
        caption[blank] = u'\n';
    return caption;
}

void FormMieListe::afterFontFitted()
{
    if (m_lists.isEmpty())
        return;
    QStringList captions;
    for (int i = 0; i < m_lists.size(); ++i)
        captions << button(i)->text();
    const QFont fitted = button(0)->font();
    const int points
        = FontFit::shrunkPointSize(captions, fitted, FontFit::captionRoom(button(0)), kLeastPoints);
    if (points >= fitted.pointSize())
        return;
    for (int i = 0; i < m_lists.size(); ++i) {
        QFont font = button(i)->font();
        font.setPointSize(points);
        button(i)->setFont(font);
    }
}

void FormMieListe::onButtonChosen(int index)
{
    AppState &state = appState();
    if (index == m_backIndex) {
        showForm(m_menu ? m_menu->formName : QString(FormName::kMainMenu));
        return;
    }
    if (index == m_moreIndex) {
        state.MyListsPage = (m_page + 1) % m_pages;
        showForm(FormName::kMyLists);
        return;
    }
    const TeacherList &list = m_lists[index];
    ActivityRecord::addCaption(button(index)->text().replace(u'\n', u' '));
    state.WordListPath = list.path;
    if (list.sentences) {
        showForm(Catalogue::formNameFor(Catalogue::Opens::Sentence));
        return;
    }
    state.ChoiceA = list.first;
    state.ChoiceB = list.second;
    showForm(Catalogue::formNameFor(Catalogue::Opens::TwoChoice));
}

#include "moc_formmieliste.cpp"
