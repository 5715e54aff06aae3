// Text pieces the markup formats (WebVTT, TTML, SAMI) share: character
// references, the style tags a cue keeps (<i>, <b>, <u>, as SubRip writes
// them), escaping for output, line numbers in a text read as a whole, and cues
// read with millisecond times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/strings.h"

namespace vorlane {

class TSubtitles;

// The character reference that starts at text[pos] ("&amp;", "&#233;",
// "&#xE9;", "&nbsp;"...) appended to out as bytes: numeric ones as UTF-8,
// "&nbsp;" as a plain space. Returns the length it took, 0 when no known
// reference starts there (the '&' is then plain text).
std::size_t AppendCharReference(std::string_view text, std::size_t pos, std::string& out);

// The style tag a cue keeps for the tag name as markup writes it ("i",
// "/b", "i.loud", "U"): "<i>", "</b>"... or empty for any other tag.
std::string_view KeptStyleTag(std::string_view name);

// A piece of cue text: plain text, a kept style tag opening or closing, or a
// line break.
struct CuePiece {
  enum Kind : std::uint8_t { kText, kOpen, kClose, kBreak } kind;
  char style;             // 'i', 'b' or 'u' for kOpen and kClose
  std::string_view text;  // for kText
};
// The cue text cut into pieces; anything that looks like a tag but is not a
// kept one ("<font ...>", a lone "<") is text.
std::vector<CuePiece> CuePieces(std::string_view text);

// Cue text for markup output: '&', '<' and '>' escaped except in the kept
// style tags, which are written in lower case. Line breaks are left alone.
std::string EscapeMarkup(std::string_view text);
// Appends text with "&", "<" and ">" escaped; for XML (xml true) the control
// characters XML does not allow are left out.
void AppendEscapedText(std::string& out, std::string_view text, bool xml);

// Lines read as one text, joined by LF, with the line of any offset.
class JoinedText {
 public:
  explicit JoinedText(const LineViews& lines);
  const std::string& text() const { return text_; }
  // 1-based number of the line that holds the offset.
  int LineOf(std::size_t offset) const;

 private:
  std::string text_;
  std::vector<std::size_t> starts_;
};

// A cue as the newer readers read it: times in milliseconds as the file
// writes them (before zero, or an end before its start, included), text in
// the document's form, and its place on the screen as the numeric keypad
// shows it (0: the format's default, bottom centre).
struct TimedCue {
  std::int64_t start = 0;
  std::int64_t stop = 0;
  std::string text;
  std::uint8_t place = 0;
  int line = 0;  // the 1-based line the cue's timing stands on
};

// The cues read put into the document, in their order, with their places;
// a time beyond the range of a cue time fails on the cue's line.
void PutCues(TSubtitles& doc, std::vector<TimedCue>&& cues);

// Seconds as milliseconds, rounded to the nearest (halves to even); a time
// beyond the range of a cue time fails naming the line.
std::int64_t SecondsToTime(double seconds, int line);
std::int64_t MillisecondsToTime(double milliseconds, int line);

}  // namespace vorlane
