// The second reading: what the program reads beyond the classic rules. It
// runs only where the classic reading gives up on a file (format not
// recognised or not readable, a reader's error, no cue from a file that
// holds text), so a file the classic rules read comes out as it always did.
#pragma once

#include "subtitles/catalogue.h"
#include "subtitles/strings.h"

namespace vorlane {

class TSubtitles;

// Tries the catalogue's second readers whose signature the lines match, in
// table order; the first that reads at least one cue wins. Returns the
// format read, or sf0 with the document's cues empty when none did. A
// reader's error is raised when no later reader succeeds.
TSubtitleFormat ReadBySignature(TSubtitles& doc, const LineViews& lines);

}  // namespace vorlane
