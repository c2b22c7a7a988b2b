#include "records/activityrecord.h"
#include "records/recorddocument.h"
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
    EXPECT_EQ(ActivityRecord::addItem(QStringLiteral("and another")), 0);
    // The record tells once, after its last row, that it is full.
    EXPECT_EQ(appState().CaptionTrailCount, 1001);
    EXPECT_EQ(appState().CaptionTrail[1001].caption, ActivityRecord::fullNote());
    EXPECT_TRUE(appState().CaptionTrail[1001].item.isEmpty());
    EXPECT_TRUE(RecordDocument::build(QStringLiteral("Anna"), QDate(2024, 5, 6))
                    .text.endsWith(ActivityRecord::fullNote() + QStringLiteral("\r\n")));
    ActivityRecord::markWrongAnswer(0);
    EXPECT_TRUE(appState().CaptionTrail[1000].marks.isEmpty()) << "an unrecorded item marks nothing";

    ActivityRecord::clear();
    EXPECT_EQ(appState().CaptionTrailCount, 0);
    EXPECT_EQ(ActivityRecord::addCaption(QStringLiteral("Gruppi")), 1);
    EXPECT_TRUE(appState().CaptionTrail[1].marks.isEmpty());
}

TEST(ActivityRecord, OnlyItemsShownOrMarkedSinceTheLastSaveAreUnsaved)
{
    ActivityRecord::addCaption(QStringLiteral("Gruppi"));
    EXPECT_FALSE(ActivityRecord::hasUnsavedItems()) << "menu captions alone are no work";
    const int row = ActivityRecord::addItem(QStringLiteral("pa_a"));
    EXPECT_TRUE(ActivityRecord::hasUnsavedItems());

    ActivityRecord::markSaved();
    EXPECT_FALSE(ActivityRecord::hasUnsavedItems());
    ActivityRecord::addCaption(QStringLiteral("Doppie"));
    EXPECT_FALSE(ActivityRecord::hasUnsavedItems()) << "a caption after a save";
    ActivityRecord::markWrongAnswer(row);
    EXPECT_TRUE(ActivityRecord::hasUnsavedItems()) << "a mark on an item saved before";

    ActivityRecord::markSaved();
    ActivityRecord::addItem(QStringLiteral("ca_a"));
    EXPECT_TRUE(ActivityRecord::hasUnsavedItems());
    ActivityRecord::clear();
    EXPECT_FALSE(ActivityRecord::hasUnsavedItems()) << "another user's record starts empty";

    for (int i = 1; i <= 1000; ++i)
        ActivityRecord::addCaption(QStringLiteral("menu"));
    ActivityRecord::addItem(QStringLiteral("not recorded"));
    EXPECT_FALSE(ActivityRecord::hasUnsavedItems()) << "an item the full record dropped";
}

TEST(ActivityRecord, CountsStopAtTheLargestValue)
{
    qint16 count = 32766;
    incrementCount(count);
    incrementCount(count);
    EXPECT_EQ(count, 32767);
}

} // namespace
