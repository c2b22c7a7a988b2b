#include "activityrecord.h"

#include "state/appstate.h"

#include <limits>

namespace {

TrailRow *nextRow(int *row)
{
    AppState &state = appState();
    if (state.CaptionTrailCount >= kMaxTrailRows) {
        *row = 0;
        return nullptr;
    }
    *row = ++state.CaptionTrailCount;
    if (int(state.CaptionTrail.size()) <= *row)
        state.CaptionTrail.resize(std::size_t(*row) + 1);
    TrailRow &entry = state.CaptionTrail[std::size_t(*row)];
    entry = TrailRow{};
    return &entry;
}

} // namespace

namespace ActivityRecord {

int addCaption(const QString &caption)
{
    int row = 0;
    if (TrailRow *entry = nextRow(&row))
        entry->caption = caption;
    return row;
}

int addItem(const QString &item)
{
    int row = 0;
    if (TrailRow *entry = nextRow(&row)) {
        entry->item = item;
        appState().CaptionTrailUnsaved = true;
    }
    return row;
}

void markWrongAnswer(int row)
{
    AppState &state = appState();
    if (row <= 0 || row > state.CaptionTrailCount || row >= int(state.CaptionTrail.size()))
        return;
    state.CaptionTrail[std::size_t(row)].marks += QStringLiteral(" * ");
    state.CaptionTrailUnsaved = true;
}

void clear()
{
    AppState &state = appState();
    state.CaptionTrail.clear();
    state.CaptionTrailCount = 0;
    state.CaptionTrailUnsaved = false;
}

bool hasUnsavedItems()
{
    return appState().CaptionTrailUnsaved;
}

void markSaved()
{
    appState().CaptionTrailUnsaved = false;
}

} // namespace ActivityRecord

void incrementCount(qint16 &count)
{
    if (count < std::numeric_limits<qint16>::max())
        ++count;
}
