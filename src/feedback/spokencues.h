#pragma once

#include <QString>

// What the voice says for a spelling on an answer button. The engine says
// many spellings alike ("a" and "ha", "la" and "là", "ce" and "cie"), so a
// pupil who scans by ear would hear two buttons as one; each spelling an
// exercise offers has a cue of its own that names what sets it apart.
namespace SpokenCues {

// The cue for a caption, looked up without regard to letter case, in lower
// case; a caption that is no spelling of an exercise ("leggi", "avanti",
// "menu") is said as it is.
QString cueFor(const QString &caption);

// Whether the table knows the spelling (letter case aside).
bool hasCue(const QString &spelling);

} // namespace SpokenCues
