#include "appstate.h"

const WordItem &AppState::wordRow(int row) const
{
    static const WordItem empty;
    if (row < 0 || row >= int(WordTable.size()))
        return empty;
    return WordTable[std::size_t(row)];
}

WordItem &AppState::writableWordRow(int row)
{
    if (row >= int(WordTable.size()))
        WordTable.resize(std::size_t(row) + 1);
    return WordTable[std::size_t(row)];
}

AppState &appState()
{
    static AppState state;
    return state;
}

void resetAppState()
{
    appState() = AppState{};
}
