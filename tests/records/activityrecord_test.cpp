#include "records/activityrecord.h"
#include "state/appstate.h"

#include <gtest/gtest.h>

namespace {

TEST(ActivityRecord, KeepsTheFirstThousandRowsAndMarksOnlyRecordedItems)
{
    EXPECT_EQ(ActivityRecord::addCaption(QStringLiteral(" q g")), 1);
    EXPECT_EQ(ActivityRecord::addItem(QStringLiteral("_ane")), 2);
    ActivityRecord::markWrongAnswer(2);
    EXPECT_EQ(appState().CaptionTrail[1].caption, QStringLiteral(" q g"));
    EXPECT_EQ(appState().CaptionTrail[2].marks, QStringLiteral(" * "));

    for (int i = 3; i <= 1000; ++i)
        ASSERT_EQ(ActivityRecord::addItem(QStringLiteral("x")), i);
    EXPECT_EQ(ActivityRecord::addItem(QStringLiteral("one too many")), 0);
    EXPECT_EQ(ActivityRecord::addCaption(QStringLiteral("menu")), 0);
    EXPECT_EQ(appState().CaptionTrailCount, 1000);
    ActivityRecord::markWrongAnswer(0);
    EXPECT_TRUE(appState().CaptionTrail[1000].marks.isEmpty()) << "an unrecorded item marks nothing";

    ActivityRecord::clear();
    EXPECT_EQ(appState().CaptionTrailCount, 0);
    EXPECT_EQ(ActivityRecord::addCaption(QStringLiteral("Gruppi")), 1);
    EXPECT_TRUE(appState().CaptionTrail[1].marks.isEmpty());
}

TEST(ActivityRecord, CountsStopAtTheLargestValue)
{
    qint16 count = 32766;
    incrementCount(count);
    incrementCount(count);
    EXPECT_EQ(count, 32767);
}

} // namespace
