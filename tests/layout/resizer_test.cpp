#include "layout/resizer.h"

#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A window of 400 x 200 pixels with three controls: one scaled fully, one
// that only moves, one inside a container.
struct Window
{
    Window()
    {
        form.resize(400, 200);
        plain = new QPushButton(&form);
        plain->setGeometry(40, 20, 100, 50);
        moving = new QPushButton(&form);
        moving->setGeometry(200, 100, 80, 40);
        moving->setProperty("Tag", QStringLiteral("@lt"));
        frame = new QWidget(&form);
        frame->setGeometry(0, 150, 200, 50);
        frame->setProperty("scaledContainer", true);
        inner = new QPushButton(frame);
        inner->setGeometry(10, 10, 20, 20);
    }

    QWidget form;
    QPushButton *plain;
    QPushButton *moving;
    QWidget *frame;
    QPushButton *inner;
};

TEST(Resizer, FirstResizeOnlyRecordsTheDesignLayout)
{
    Window w;
    Resizer resizer;
    resizer.setSourceForm(&w.form, &w.form);
    EXPECT_TRUE(resizer.layoutPending());
    w.form.resize(800, 400);
    resizer.resizeControls();
    EXPECT_FALSE(resizer.layoutPending());
    EXPECT_EQ(resizer.designSize(), QSize(800, 400));
    EXPECT_EQ(w.plain->geometry(), QRect(40, 20, 100, 50));
}

TEST(Resizer, ScalesFromDesignValuesAndReturnsExactly)
{
    Window w;
    Resizer resizer;
    resizer.setSourceForm(&w.form, &w.form);
    resizer.reinitialise();

    resizer.resizeControls();
    EXPECT_EQ(w.plain->geometry(), QRect(40, 20, 100, 50)) << "ratio 1 keeps the design";

    w.form.resize(1000, 300);
    resizer.resizeControls();
    EXPECT_EQ(w.plain->geometry(), QRect(100, 30, 250, 75));
    EXPECT_EQ(w.moving->geometry(), QRect(500, 150, 80, 40)) << "@LT moves but keeps its size";
    EXPECT_EQ(w.frame->geometry(), QRect(0, 225, 500, 75));
    EXPECT_EQ(w.inner->geometry(), QRect(25, 15, 50, 30)) << "controls in a container scale too";

    // Odd ratios round on every pass; going back must not accumulate error.
    for (int width : {333, 517, 401, 999, 123})
        w.form.resize(width, width / 3), resizer.resizeControls();
    w.form.resize(400, 200);
    resizer.resizeControls();
    EXPECT_EQ(w.plain->geometry(), QRect(40, 20, 100, 50));
    EXPECT_EQ(w.moving->geometry(), QRect(200, 100, 80, 40));
    EXPECT_EQ(w.inner->geometry(), QRect(10, 10, 20, 20));
}

TEST(Resizer, TagsNotStartingWithAtScaleEverything)
{
    Window w;
    w.plain->setProperty("Tag", QStringLiteral("LT"));
    Resizer resizer;
    resizer.setSourceForm(&w.form, &w.form);
    resizer.reinitialise();
    w.form.resize(800, 400);
    resizer.resizeControls();
    EXPECT_EQ(w.plain->geometry(), QRect(80, 40, 200, 100));
}

TEST(Resizer, MinimizedWindowAndEmptyDesignAreLeftAlone)
{
    Window w;
    Resizer resizer;
    resizer.setSourceForm(&w.form, &w.form);
    resizer.reinitialise();
    w.form.showMinimized();
    w.form.resize(800, 400);
    resizer.resizeControls();
    EXPECT_EQ(w.plain->geometry(), QRect(40, 20, 100, 50));

    QWidget empty;
    empty.resize(0, 0);
    auto *button = new QPushButton(&empty);
    button->setGeometry(5, 6, 7, 8);
    Resizer zero;
    zero.setSourceForm(&empty, &empty);
    zero.reinitialise();
    empty.resize(300, 300);
    zero.resizeControls();
    EXPECT_EQ(button->geometry(), QRect(5, 6, 7, 8));
}

TEST(Resizer, SizeFormToScreenTakesThePercentCentred)
{
    Window w;
    Resizer resizer;
    resizer.setSourceForm(&w.form, &w.form);
    resizer.sizeFormToScreen(75);
    const QRect screen = w.form.screen()->geometry();
    EXPECT_EQ(w.form.width(), int(0.75 * screen.width()));
    EXPECT_EQ(w.form.height(), int(0.75 * screen.height()));
    EXPECT_EQ(w.form.x(), (screen.width() - w.form.width()) / 2);
    // The design was captured before the first resize, so controls followed.
    EXPECT_EQ(resizer.designSize(), QSize(400, 200));
    EXPECT_EQ(w.plain->x(), qRound(40.0 * w.form.width() / 400));
}

} // namespace
