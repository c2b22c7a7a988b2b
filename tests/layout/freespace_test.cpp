#include "layout/freespace.h"

#include <gtest/gtest.h>

namespace {

bool overlapsAny(const QRect &place, const QList<QRect> &taken)
{
    for (const QRect &rect : taken) {
        if (place.intersects(rect))
            return true;
    }
    return false;
}

TEST(FreeSpace, TheRoomForTextOverlapsNoControlAndTakesTheWidestBand)
{
    const QRect screen(0, 0, 1000, 600);
    // Two rows of buttons with a wide gap between them, and a narrow column on the right.
    const QList<QRect> buttons
        = {QRect(0, 0, 400, 100), QRect(450, 0, 400, 100), QRect(0, 400, 850, 200), QRect(900, 0, 100, 600)};
    const QRect free = FreeSpace::forText(screen, buttons);
    EXPECT_FALSE(overlapsAny(free, buttons));
    EXPECT_EQ(free, QRect(0, 100, 900, 300));

    EXPECT_EQ(FreeSpace::forText(screen, {}), screen);
    EXPECT_TRUE(FreeSpace::forText(screen, {screen}).isEmpty());
    // Controls partly outside the area count only where they are inside it.
    EXPECT_EQ(FreeSpace::forText(screen, {QRect(-50, -50, 1100, 150)}), QRect(0, 100, 1000, 500));
}

} // namespace
