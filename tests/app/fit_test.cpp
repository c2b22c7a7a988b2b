#include "fakes.h"
#include "testenv.h"

#include "app/catalogue.h"
#include "app/formstampa.h"
#include "app/menuform.h"
#include "app/program.h"
#include "app/startup.h"
#include "app/teacherlists.h"
#include "app/topicmenu.h"
#include "layout/formhost.h"
#include "settings/formconfigura.h"
#include "settings/profile.h"
#include "settings/settingsfolders.h"
#include "state/appstate.h"
#include "state/random.h"

#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The part of `rect`, in the control's coordinates, that the control and
// its parents up to the form leave on screen.
QRect onScreen(const QWidget *control, QRect rect, const QWidget *form)
{
    QPoint origin; // of the control, in the coordinates of `widget`
    for (const QWidget *widget = control; widget;
         widget = widget == form ? nullptr : widget->parentWidget()) {
        rect &= widget->rect().translated(-origin);
        origin += widget->pos();
    }
    return rect;
}

// What a caption needs and the room its control gives it, in pixels.
struct Measure
{
    QSize needed;
    QSize room;
};

// The program's labels hold plain text, laid out as QLabel draws it.
Measure labelMeasure(const QLabel *label)
{
    QRect room = label->contentsRect();
    room.adjust(label->margin(), label->margin(), -label->margin(), -label->margin());
    const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return {QFontMetrics(label->font()).boundingRect(room, flags, label->text()).size(), room.size()};
}

QSize captionSize(const QWidget *control, const QString &text)
{
    return QFontMetrics(control->font()).size(Qt::TextShowMnemonic, text);
}

Measure pushButtonMeasure(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    QSize needed = captionSize(button, button->text());
    if (!button->icon().isNull()) {
        // The icon stands beside the caption, four pixels apart.
        needed.rwidth() += button->iconSize().width() + 4;
        needed.setHeight(qMax(needed.height(), button->iconSize().height()));
    }
    return {needed, room.size()};
}

Measure choiceMeasure(const QAbstractButton *button, QStyle::SubElement contents)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QRect room = button->style()->subElementRect(contents, &option, button);
    return {captionSize(button, button->text()), room.size()};
}

struct Overflow
{
    QString control;
    QString caption;
    QSize needed;
    QSize room;
};

std::ostream &operator<<(std::ostream &out, const Overflow &overflow)
{
    return out << overflow.control.toStdString() << " \"" << overflow.caption.left(40).toStdString()
               << "\" needs " << overflow.needed.width() << 'x' << overflow.needed.height() << ", has "
               << overflow.room.width() << 'x' << overflow.room.height();
}

// Every visible caption of the form that its control does not hold.
std::vector<Overflow> overflowingCaptions(const QWidget *form)
{
    std::vector<Overflow> found;
    const auto check = [&](const QWidget *control, const QString &caption, Measure measure, QRect room) {
        if (caption.isEmpty())
            return;
        measure.room = onScreen(control, room, form).size().boundedTo(measure.room);
        if (measure.needed.width() > measure.room.width() || measure.needed.height() > measure.room.height())
            found.push_back({control->objectName(), caption, measure.needed, measure.room});
    };
    for (const QWidget *control : form->findChildren<QWidget *>()) {
        if (!control->isVisible())
            continue;
        if (const auto *label = qobject_cast<const QLabel *>(control)) {
            check(label, label->text(), labelMeasure(label), label->contentsRect());
        } else if (const auto *button = qobject_cast<const QPushButton *>(control)) {
            check(button, button->text(), pushButtonMeasure(button), button->rect());
        } else if (const auto *box = qobject_cast<const QCheckBox *>(control)) {
            check(box, box->text(), choiceMeasure(box, QStyle::SE_CheckBoxContents), box->rect());
        } else if (const auto *option = qobject_cast<const QRadioButton *>(control)) {
            check(option, option->text(), choiceMeasure(option, QStyle::SE_RadioButtonContents),
                option->rect());
        } else if (const auto *group = qobject_cast<const QGroupBox *>(control)) {
            QStyleOptionGroupBox box;
            box.initFrom(group);
            box.text = group->title();
            box.textAlignment = group->alignment();
            box.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect title
                = group->style()->subControlRect(QStyle::CC_GroupBox, &box, QStyle::SC_GroupBoxLabel, group);
            // The title begins where the style puts it and may run to the box's right edge.
            const QRect room(title.left(), title.top(), group->width() - title.left(), title.height());
            const QSize needed = title.size().expandedTo(captionSize(group, group->title()));
            check(group, group->title(), {needed, room.size()}, room);
        } else if (const auto *tabs = qobject_cast<const QTabBar *>(control)) {
            const int padding = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
            for (int i = 0; i < tabs->count(); ++i) {
                const QRect tab = tabs->tabRect(i);
                const QRect room = tab.adjusted(padding / 2, 0, -(padding - padding / 2), 0);
                check(tabs, tabs->tabText(i), {captionSize(tabs, tabs->tabText(i)), room.size()}, room);
            }
        }
    }
    return found;
}

// How a window is brought on screen, as a pupil or a teacher would open it.
struct Window
{
    std::string name;
    std::function<void(FormHost &)> open;
};

void click(QPushButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// A menu's captions are sized a moment after it is shown.
void showMenu(FormHost &host, const QString &name)
{
    if (auto *menu = qobject_cast<MenuForm *>(host.showForm(name)))
        menu->fitButtonFont();
}

// Through the topic menu button that opens it, with the shipped word lists.
void openExercise(FormHost &host, const Catalogue::TopicMenu &menu, int index)
{
    host.showForm(menu.formName);
    click(static_cast<TopicMenuForm *>(host.currentForm())->button(index));
}

Window exercise(const std::string &name, Catalogue::Opens opens)
{
    return {name, [opens](FormHost &host) {
                // The two-choice exercise with the longest spellings.
                const Catalogue::TopicMenu *chosenMenu = nullptr;
                int chosen = -1;
                qsizetype longest = -1;
                for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
                    for (int i = 0; i < menu.buttons.size(); ++i) {
                        const Catalogue::Button &button = menu.buttons[i];
                        const qsizetype length = qMax(button.choiceA.size(), button.choiceB.size());
                        if (button.opens == opens && length > longest) {
                            chosenMenu = &menu;
                            chosen = i;
                            longest = length;
                        }
                    }
                }
                ASSERT_TRUE(chosenMenu);
                openExercise(host, *chosenMenu, chosen);
            }};
}

// A teacher's list of the doubles, its name as long as a name can be, and a school's.
void writeDoublesLists()
{
    const QString mine
        = TeacherLists::userPath(QStringLiteral("doppie"), false, QStringLiteral("s"), QStringLiteral("ss"),
            QStringLiteral("le parole con la esse doppia che la terza ha trovato nei libri"));
    const QString school = TeacherLists::schoolFolder() + QStringLiteral("doppie/t-tt/le doppie di Anna.txt");
    for (const QString &path : {mine, school}) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        TestEnv::writeFile(path, "ca_a,ss\r\n");
    }
}

std::vector<Window> windows()
{
    std::vector<Window> list = {
        {"FormAvvio", [](FormHost &host) { host.showForm(QStringLiteral("FormAvvio")); }},
        {"FormMenu", [](FormHost &host) { showMenu(host, QStringLiteral("FormMenu")); }},
        {"FormInfo", [](FormHost &host) { host.showForm(QStringLiteral("FormInfo")); }},
    };
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus()) {
        const QString name = menu.formName;
        list.push_back({name.toStdString(), [name](FormHost &host) { showMenu(host, name); }});
    }
    list.push_back({"FormMenuDoppie_withLists", [](FormHost &host) {
                        writeDoublesLists();
                        showMenu(host, QStringLiteral("FormMenuDoppie"));
                    }});
    list.push_back({"FormMieListe", [](FormHost &host) {
                        writeDoublesLists();
                        host.showForm(QStringLiteral("FormMenuDoppie"));
                        showMenu(host, QStringLiteral("FormMieListe"));
                    }});
    using Opens = Catalogue::Opens;
    list.push_back(exercise("FormEsercizi", Opens::TwoChoice));
    list.push_back(exercise("FormEsercizi3", Opens::ThreeChoice));
    list.push_back(exercise("FormEsercizi5", Opens::FiveChoice));
    list.push_back(exercise("FormEsFrasi", Opens::Sentence));
    list.push_back(exercise("FormEserciziRiep", Opens::Review));
    for (const Worksheet::Kind kind : {Worksheet::Kind::Words, Worksheet::Kind::Sentences}) {
        const QString name = FormStampa::formNameFor(kind);
        list.push_back({name.toStdString(), [name](FormHost &host) { host.showForm(name); }});
    }
    list.push_back({"FormEserciziEseguiti",
        [](FormHost &host) { host.showForm(QStringLiteral("FormEserciziEseguiti")); }});
    list.push_back({"FormListe", [](FormHost &host) { host.showForm(QStringLiteral("FormListe")); }});
    for (int page = FormConfigura::UserPage; page <= FormConfigura::InputPage; ++page) {
        list.push_back({"FormConfigura_page" + std::to_string(page), [page](FormHost &host) {
                            static_cast<FormConfigura *>(host.showForm(QStringLiteral("FormConfigura")))
                                ->showPage(FormConfigura::Page(page));
                        }});
    }
    return list;
}

void PrintTo(const Window &window, std::ostream *out)
{
    *out << window.name;
}

struct Screen
{
    int width;
    int height;
};

void PrintTo(const Screen &screen, std::ostream *out)
{
    *out << screen.width << 'x' << screen.height;
}

class FitTest : public ::testing::TestWithParam<std::tuple<Window, Screen>>
{
protected:
    void SetUp() override
    {
        for (const QString &folder : SettingsFolders::all())
            QDir().mkpath(folder);
        appState().UserName = QStringLiteral("_predefinito");
        appState().ProfilePath = ProfileFiles::pathFor(appState().UserName);
        // The first item of every list.
        Random::setSource([] { return 0.0; });
        registerForms(host);
        // The cursive that the first start installs.
        static const bool cursive
            = QFontDatabase::addApplicationFont(TestEnv::buildAppFolder() + QStringLiteral("/indis1.ttf"))
            >= 0;
        ASSERT_TRUE(cursive);
    }

    RecordedDialogs dialogs;
    RecordedSounds sounds;
    ScriptedCommonDialogs commonDialogs;
    FormHost host;
};

TEST_P(FitTest, EveryCaptionFitsItsControl)
{
    const auto &[window, screen] = GetParam();
    host.resize(screen.width, screen.height);
    host.show();
    // Capitals and the cursive make the pupil's captions wider.
    ProfileSettings &settings = appState().Settings;
    const QString lowerCaseFont = settings.TextFontName;
    for (const char *letters : {"minuscolo", "maiuscolo", "corsivo"}) {
        SCOPED_TRACE(letters);
        settings.LetterCase = QLatin1String(letters);
        settings.TextFontName
            = settings.LetterCase == QLatin1String("corsivo") ? QStringLiteral("Indis1") : lowerCaseFont;
        window.open(host);
        QCoreApplication::processEvents();
        ASSERT_TRUE(host.currentForm());
        ASSERT_EQ(host.currentForm()->formName(), QString::fromStdString(window.name).section(u'_', 0, 0));
        for (const Overflow &overflow : overflowingCaptions(host.currentForm()))
            ADD_FAILURE() << overflow;
    }
}

std::string caseName(const ::testing::TestParamInfo<FitTest::ParamType> &info)
{
    const Window &window = std::get<0>(info.param);
    const Screen &screen = std::get<1>(info.param);
    return window.name + '_' + std::to_string(screen.width) + 'x' + std::to_string(screen.height);
}

INSTANTIATE_TEST_SUITE_P(Windows, FitTest,
    ::testing::Combine(::testing::ValuesIn(windows()),
        ::testing::Values(Screen{800, 600}, Screen{1024, 768}, Screen{1920, 1080})),
    caseName);

} // namespace
