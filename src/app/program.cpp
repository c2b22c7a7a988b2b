#include "program.h"

#include "catalogue.h"
#include "formavvio.h"
#include "formesercizieseguiti.h"
#include "forminfo.h"
#include "formliste.h"
#include "formmenu.h"
#include "formmieliste.h"
#include "formprogressi.h"
#include "formstampa.h"
#include "recordonexit.h"
#include "topicmenu.h"

#include "exercises/exercisewindow.h"
#include "layout/formhost.h"
#include "layout/formnames.h"
#include "records/history.h"
#include "settings/formconfigura.h"
#include "settings/formprovasensore.h"
#include "settings/settingsfolders.h"
#include "state/logcategories.h"

#include <QObject>
#include <QTimer>

namespace {

void open(FormHost &host)
{
    registerForms(host);
    // However the program ends, the pupil's work is saved first.
    QObject::connect(&host, &FormHost::programEnding, &host, [&host] { saveUnsavedRecordOrTell(&host); });
    // Loaded once and kept, so that the teacher's choices there last the run.
    host.keepLoaded(FormStampa::formNameFor(Worksheet::Kind::Words));
    // The history is first needed by an answer: it opens once the form
    // asked for is up.
    if (SettingsFolders::hasHome())
        QTimer::singleShot(0, &host, [] { openHistory(); });
}

} // namespace

const ProgramParts &programParts()
{
    static const ProgramParts parts{&open, &saveUnsavedRecordOrTell};
    return parts;
}

const ProgramParts *linkedProgram(QString *)
{
    return &programParts();
}

void registerForms(FormHost &host)
{
    host.registerForm(FormName::kStart, [] { return new FormAvvio; });
    host.registerForm(FormName::kMainMenu, [] { return new FormMenu; });
    host.registerForm(FormName::kAbout, [] { return new FormInfo; });
    for (const Catalogue::TopicMenu &menu : Catalogue::topicMenus())
        host.registerForm(menu.formName, [&menu] { return new TopicMenuForm(menu); });
    host.registerForm(FormName::kMyLists, [] { return new FormMieListe; });
    using Kind = ExerciseWindow::Kind;
    for (const Kind kind : {Kind::Words, Kind::Sentences, Kind::Review, Kind::Articles, Kind::Syllables})
        host.registerForm(ExerciseWindow::formNameFor(kind), [kind] { return new ExerciseWindow(kind); });
    host.registerForm(FormName::kConfiguration, [] { return new FormConfigura; });
    host.registerForm(FormName::kRecord, [] { return new FormEserciziEseguiti; });
    host.registerForm(FormName::kProgress, [] { return new FormProgressi; });
    host.registerForm(FormName::kWordLists, [] { return new FormListe; });
    host.registerForm(FormName::kSwitchCheck, [] { return new FormProvaSensore; });
    for (const Worksheet::Kind kind : {Worksheet::Kind::Words, Worksheet::Kind::Sentences})
        host.registerForm(FormStampa::formNameFor(kind), [kind] { return new FormStampa(kind); });
}

void openHistory()
{
    const QString folder = SettingsFolders::dataFolder();
    // Never through a link or into a folder that is not the program's own.
    const QString why = SettingsFolders::whyNotOurFolder(folder);
    if (!why.isEmpty()) {
        qCWarning(lcForms, "no history of the answers: %s", qPrintable(why));
        return;
    }
    if (!History::instance().open(folder + QStringLiteral("storia.sqlite")))
        qCWarning(lcForms, "no history of the answers: %s", qPrintable(History::instance().problem()));
}
