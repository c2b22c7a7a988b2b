#include "entries.h"

#include "exercises/wordstore.h"
#include "settings/profile.h"
#include "state/appstate.h"

#include <cstdio>
#include <cstdlib>

namespace {

void require(bool promise, const char *what)
{
    if (promise)
        return;
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

void checkStore(const LoadReport &report)
{
    const AppState &state = appState();
    require(state.WordCount >= 0 && state.WordCount <= kMaxWordRows, "WordCount within the store");
    require(report.recordsRead == state.WordCount, "every record read is counted");
    (void)report.text();
}

} // namespace

namespace FuzzEntries {

void profile(const QByteArray &bytes)
{
    if (const std::optional<ProfileSettings> settings = Profile::parseBytes(bytes))
        require(!Profile::serialize(*settings).isEmpty(), "a profile that reads can be written");
}

void profileRoundTrip(const QByteArray &bytes)
{
    const std::optional<ProfileSettings> first = Profile::parseBytes(bytes);
    if (!first)
        return;
    const QByteArray saved = Profile::serialize(*first);
    const std::optional<ProfileSettings> loaded = Profile::parseBytes(saved);
    require(loaded.has_value(), "a saved profile loads");
    require(Profile::serialize(*loaded) == saved, "save, load, save writes the same bytes");
}

void wordList(const QByteArray &bytes)
{
    resetAppState();
    checkStore(WordLists::wordsFromBytes(bytes, {}));
    const QStringList offered = {QStringLiteral("a"), QStringLiteral("ha")};
    checkStore(WordLists::wordsFromBytes(bytes, offered));
    for (int row = 1; row <= appState().WordCount; ++row) {
        const QString answer = appState().wordRow(row).answer.toUpper();
        require(answer == QLatin1String("A") || answer == QLatin1String("HA"), "every word can be answered");
    }
}

void sentences(const QByteArray &bytes)
{
    resetAppState();
    checkStore(WordLists::sentencesFromBytes(bytes));
    for (int row = 1; row <= appState().WordCount; ++row) {
        const WordItem &item = appState().wordRow(row);
        const QString answer = item.answer.toUpper();
        require(!answer.isEmpty(), "every sentence has an answer");
        require(answer == item.firstChoice.toUpper() || answer == item.secondChoice.toUpper(),
            "every sentence can be answered");
    }
}

} // namespace FuzzEntries
