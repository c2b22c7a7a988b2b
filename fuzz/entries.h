#pragma once

#include <QByteArray>

// What each fuzzing harness does with one input, shared with the test that
// replays the seed corpus and every input that once failed. Each returns
// normally or aborts on a broken promise of the reader.
namespace FuzzEntries {

// The profile reader on the bytes of a profile file.
void profile(const QByteArray &bytes);

// Save, load, save: the second save writes the same bytes as the first.
void profileRoundTrip(const QByteArray &bytes);

// The word-list reader, with and without the spellings of an exercise.
void wordList(const QByteArray &bytes);

// The sentence reader: every row it keeps can be answered by one of its buttons.
void sentences(const QByteArray &bytes);

} // namespace FuzzEntries
