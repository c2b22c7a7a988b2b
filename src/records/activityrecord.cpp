#include "activityrecord.h"

#include "state/appstate.h"

#include <limits>

namespace {

TrailRow &writeRow(int row)
{
    AppState &state = appState();
    if (int(state.CaptionTrail.size()) <= row)
        state.CaptionTrail.resize(std::size_t(row) + 1);
    TrailRow &entry = state.CaptionTrail[std::size_t(row)];
    entry = TrailRow{};
    return entry;
}

TrailRow *nextRow(int *row)
{
    AppState &state = appState();
    *row = 0;
    if (state.CaptionTrailCount > kMaxTrailRows)
        return nullptr;
    if (state.CaptionTrailCount == kMaxTrailRows) {
        // Whoever reads the record learns, once, that the work after this
        // row is missing from it.
        writeRow(++state.CaptionTrailCount).caption = ActivityRecord::fullNote();
        return nullptr;
    }
    *row = ++state.CaptionTrailCount;
    return &writeRow(*row);
}

} // namespace

namespace ActivityRecord {

QString fullNote()
{
    return QStringLiteral("Il registro è pieno (%1 righe): le attività eseguite dopo questa riga non sono "
                          "state registrate.")
        .arg(kMaxTrailRows);
}

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
