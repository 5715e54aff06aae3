// Retiming of a whole document: a constant shift and a change of frame rate,
// as the command line offers them between reading and writing.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "subtitles/catalogue.h"

namespace vorlane {

class TSubtitles;

// A time amount as the user writes it, in milliseconds: seconds ("2.5",
// "-0.04") or clock fields ("[-]H:MM:SS.fff", "[-]MM:SS.fff"), with a
// leading sign for the whole amount. Digits beyond the unit (hundredths
// with digits 2, thousandths with 3) are rounded to the nearest, halves to
// even. nullopt when the text is not such an amount or leaves the range of
// a cue time.
std::optional<std::int64_t> ParseTimeAmount(std::string_view text, int digits = 3);

struct Retiming {
  std::int64_t shift = 0;  // milliseconds added to every time
  // The shift as the classic rules take it, rounded to hundredths.
  std::int64_t classic_shift = 0;
  // Times are scaled by from / to when both are positive (a file timed for
  // a video at `from` frames per second played at `to`).
  double from_rate = 0;
  double to_rate = 0;

  bool Empty() const { return shift == 0 && classic_shift == 0 && !(from_rate > 0 && to_rate > 0); }
};

// Shifts every cue, then scales it: to the millisecond, or with the
// document's classic setting to the hundredth. Times may fall below zero
// (the writers decide what becomes of a cue before the start); a time
// beyond the range raises a SubtitleError naming the cue, and the document
// is then left as it was.
void Retime(TSubtitles& doc, const Retiming& retiming);

// After a retiming: raises a SubtitleError naming the first cue whose time
// format cannot hold so that it reads back: 100 hours or more (the two
// digits of hours that time-based formats write and read), or, for a
// format that counts frames, a frame number beyond 2^31 - 1 at the
// document's frame rate. Times before zero are the writers' to place.
void CheckRetimedTimes(const TSubtitles& doc, TSubtitleFormat format);

}  // namespace vorlane
