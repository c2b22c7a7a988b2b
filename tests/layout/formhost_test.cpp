#include "layout/form.h"
#include "layout/formhost.h"
#include "layout/twips.h"
#include "testenv.h"

#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList events;

class TestForm : public Form
{
public:
    explicit TestForm(const QString &name)
        : Form(name, QSize(9000, 4500))
    {
        button = addControl(new QPushButton(QStringLiteral("Avanti")), QRect(1500, 1500, 3000, 1500));
        connect(button, &QPushButton::clicked, this, [this] { showForm(QStringLiteral("second")); });
        menuBar()->addMenu(QStringLiteral("Configurazione"));
    }

    QPushButton *button = nullptr;

protected:
    void formLoad() override { events << formName() + QStringLiteral(" load"); }
    void formActivate() override { events << formName() + QStringLiteral(" activate"); }
    void formUnload() override { events << formName() + QStringLiteral(" unload"); }
};

TEST(FormHost, ShowingAFormLoadsItThenUnloadsThePreviousThenActivates)
{
    events.clear();
    FormHost host;
    host.registerForm(QStringLiteral("first"), [] { return new TestForm(QStringLiteral("first")); });
    host.registerForm(QStringLiteral("second"), [] { return new TestForm(QStringLiteral("second")); });
    host.resize(1200, 900);
    host.show();

    QPointer<Form> first = host.showForm(QStringLiteral("first"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->geometry(), host.rect()) << "a shown form fills the host";

    QTest::mouseClick(static_cast<TestForm *>(first.data())->button, Qt::LeftButton);
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("second"));
    EXPECT_EQ(events,
        (QStringList{"first load", "first activate", "second load", "first unload", "second activate"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "the form that was left is destroyed";

    const TestEnv::ExpectedError error(QStringLiteral("no form is registered as nowhere"));
    EXPECT_EQ(host.showForm(QStringLiteral("nowhere")), nullptr);
    EXPECT_EQ(error.count(), 1) << "an unknown name is an error";
    EXPECT_EQ(host.currentForm()->formName(), QStringLiteral("second"));
}

TEST(FormHost, AKeptFormCoversTheCurrentOneAndGivesItBackActivated)
{
    events.clear();
    FormHost host;
    for (const char *name : {"first", "second", "sheet"})
        host.registerForm(QLatin1String(name), [name] { return new TestForm(QLatin1String(name)); });
    host.resize(1200, 900);
    host.show();

    Form *sheet = host.keepLoaded(QStringLiteral("sheet"));
    Form *first = host.showForm(QStringLiteral("first"));
    EXPECT_EQ(host.showOnTop(QStringLiteral("sheet")), sheet) << "loaded once, kept";
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(first->isVisible());
    host.hideOnTop(sheet);
    EXPECT_EQ(host.formOnTop(), nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(events,
        (QStringList{"sheet load", "first load", "first activate", "sheet activate", "first activate"}));

    // A form shown by name takes the screen from both.
    host.showOnTop(QStringLiteral("sheet"));
    Form *second = host.showForm(QStringLiteral("second"));
    EXPECT_EQ(host.formOnTop(), nullptr);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(second->isVisible());
    events.clear();
    host.hideOnTop(sheet);
    EXPECT_TRUE(events.isEmpty()) << "a hidden form hides no more";
}

TEST(FormHost, ControlsScaleWithTheClientAreaBelowTheMenuBar)
{
    FormHost host;
    host.registerForm(QStringLiteral("first"), [] { return new TestForm(QStringLiteral("first")); });
    host.resize(1200, 900);
    host.show();
    auto *form = static_cast<TestForm *>(host.showForm(QStringLiteral("first")));

    const QSize design = Twips::toPixels(QSize(9000, 4500));
    const QSize client = form->clientArea()->size();
    EXPECT_EQ(client.width(), 1200);
    EXPECT_EQ(client.height(), 900 - form->menuBar()->height());
    const double ratioX = double(client.width()) / design.width();
    EXPECT_EQ(form->button->x(), qRound(Twips::toPixels(1500) * ratioX));
    EXPECT_EQ(form->button->width(), qRound(Twips::toPixels(3000) * ratioX));
}

} // namespace
