#pragma once

#include "exercises/wordstore.h"

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// The content map of the program: the eight topic menus, which file each of
// their buttons loads, which spellings it offers and which window plays it,
// and the files each review mixes.
namespace Catalogue {

enum class Opens {
    TwoChoice, // FormEsercizi
    Sentence, // FormEsFrasi
    ThreeChoice, // FormEsercizi3
    FiveChoice, // FormEsercizi5
    Review, // the menu's review, played in FormEserciziRiep
    Back, // FormMenu
};

struct Button
{
    QString caption; // exactly as shown and recorded, blanks included
    QPoint position; // design left and top, in twips; every button is 2300 x 1000
    QString file; // relative to the program folder, '/' separated; empty when none
    QString choiceA; // only for the two-choice window
    QString choiceB;
    Opens opens = Opens::TwoChoice;
};

using ReviewFile = ::ReviewFile;

struct TopicMenu
{
    QString formName;
    QString mainMenuCaption;
    QString marker; // TopicMarker while this menu is active
    // The menu's folder of lists, below testidifort/ and below the teacher's
    // folders of lists.
    QString topicFolder;
    QSize designClientArea; // twips
    QList<Button> buttons; // the last one leads back to the main menu
    QList<ReviewFile> review; // empty for the menus without a review

    int backIndex() const { return int(buttons.size()) - 1; }
};

// The eight menus, in the order of the main menu's buttons.
const QList<TopicMenu> &topicMenus();

const TopicMenu *menuByFormName(const QString &formName);
const TopicMenu *menuByMarker(const QString &marker);

// Two spellings the two-choice window offers.
struct Pair
{
    QString first;
    QString second;

    bool operator==(const Pair &other) const { return first == other.first && second == other.second; }
};

// The pairs of the menu's two-choice buttons, each once, in button order.
QList<Pair> pairsOf(const TopicMenu &menu);

// Where the menu shows the button to the teacher's own lists: in the
// column of the back button, one row above it, where every menu has room.
QPoint myListsPosition(const TopicMenu &menu);
inline const QString kMyListsCaption = QStringLiteral("le mie liste");

// The window that plays a button's exercise, by form name.
QString formNameFor(Opens opens);

constexpr QSize kButtonSize{2300, 1000};

} // namespace Catalogue
