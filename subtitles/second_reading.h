// The second reading: what the program reads beyond the classic rules.
// Formats the classic rules do not read at all are picked by their
// signature before classic detection, which could claim such a file and
// read garbage from it; the lenient readers of classic formats run only
// where the classic reading gives up on a file (format not recognised or
// not readable, a reader's error, no cue from a file that holds text), so a
// file the classic rules read comes out as it always did.
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

// The whole default reading of lines (already decoded, without a byte
// order mark), with the result and frame_based of TSubtitles::LoadFromList:
//   1. a file whose first line names a format refused by name raises
//      UnsupportedFormatError;
//   2. formats without a classic reader, by their signature (these run on
//      every file, so a signature should look at no more than the first
//      lines it needs);
//   3. the classic reading;
//   4. where it gave up, the lenient readers of classic formats by their
//      signature. Only when they read nothing either does the classic
//      outcome stand: its error, or false for a format not recognised or
//      a file that holds text but no cue any reader finds; unless a
//      signature of step 2 matched and its reader found no cue without an
//      error: the file is then read as empty.
bool ReadBeyondClassic(TSubtitles& doc, const LineViews& lines, bool& frame_based);

}  // namespace vorlane
