#include "fakes.h"
#include "testenv.h"

#include "app/program.h"
#include "app/startup.h"
#include "layout/formhost.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

// What a screen reader or a switch program cannot tell apart without a name:
// lists, sliders and the boxes a teacher types or reads in.
bool needsName(const QWidget *control)
{
    if (qobject_cast<const QComboBox *>(control->parentWidget()))
        return false; // the combo box's own parts
    return qobject_cast<const QSlider *>(control) || qobject_cast<const QListView *>(control)
        || qobject_cast<const QComboBox *>(control) || qobject_cast<const QLineEdit *>(control)
        || qobject_cast<const QTextEdit *>(control) || qobject_cast<const QPlainTextEdit *>(control);
}

TEST(Accessibility, EveryListSliderChoiceAndTextBoxOfEveryWindowHasAName)
{
    RecordedDialogs dialogs;
    RecordedSounds sounds;
    FormHost host;
    registerForms(host);
    QStringList unnamed;
    for (const QString &name : host.formNames()) {
        const Form *form = host.keepLoaded(name);
        ASSERT_TRUE(form) << name.toStdString();
        for (const QWidget *control : form->findChildren<QWidget *>()) {
            // A combo box's list lives in a window of its own.
            if (control->window() == form->window() && needsName(control)
                && control->accessibleName().trimmed().isEmpty())
                unnamed << QStringLiteral("%1 %2 (%3)")
                               .arg(name, control->objectName(),
                                   QString::fromLatin1(control->metaObject()->className()));
        }
    }
    EXPECT_TRUE(unnamed.isEmpty()) << "without an accessible name: "
                                   << unnamed.join(QStringLiteral(", ")).toStdString();
}

} // namespace
