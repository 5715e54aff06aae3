// Helpers shared by the fuzz targets.
#pragma once

#include <cstdlib>
#include <exception>

#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace vorlane {

// Loads lines into doc; a SubtitleError is the expected way to refuse bad
// input. Returns true when cues were read.
inline bool LoadGuarded(TSubtitles& doc, const LineViews& lines) {
  bool frame_based = false;
  try {
    return doc.LoadFromList(lines, frame_based);
  } catch (const SubtitleError& e) {
    if (e.what()[0] == '\0') std::abort();  // every refusal must say why
    return false;
  }
}

// Runs one reader directly, bypassing detection, as if the input had been
// recognised as its format.
inline void ReadGuarded(SubtitleReader reader, double rate, const LineViews& lines) {
  TSubtitles doc;
  doc.SetFrameRate(rate);
  try {
    reader(doc, lines);
  } catch (const SubtitleError& e) {
    if (e.what()[0] == '\0') std::abort();
  }
}

}  // namespace vorlane
