// SubRip: numbered blocks of a timing line "HH:MM:SS,mmm --> HH:MM:SS,mmm",
// the text lines and an empty line.
#include "subtitles/formats/formats.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// A line of digits alone, blanks around them allowed: a block's number.
bool IsNumberLine(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const std::size_t last = line.find_last_not_of(" \t");
  for (std::size_t i = first; i <= last; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
  }
  return true;
}

}  // namespace

void ReadSubRip(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  FieldList fields;
  bool open = false;
  // Lines of the open cue not yet known to be its text: empty lines, which
  // end the cue only when a new cue follows, and a number line, which is the
  // next block's number when a timing line follows it.
  int held_empty = 0;
  std::string_view held_number;
  bool number_held = false;
  // The cue being filled is always the last one of the list while open.
  auto append = [&](std::string_view line) { cues.back().Text.append(line).push_back('\r'); };
  // What was held turns out to be text after all.
  auto release = [&] {
    for (; held_empty > 0; --held_empty) cues.back().Text.push_back('\r');
    if (number_held) append(held_number);
    number_held = false;
  };
  auto close_cue = [&] {
    open = false;
    held_empty = 0;
    number_held = false;
    std::string& text = cues.back().Text;
    if (!text.empty()) text.pop_back();  // the CR added after the last line
  };
  ForEachLine(lines, [&](std::string_view line) {
    if (SplitByPattern(line, "?:?:?,? --> ?:?:?,?", fields)) {
      // A timing line always begins a cue: one met while a cue is open ends
      // that cue, and the number line just before it is not text.
      if (open) close_cue();
      cues.emplace_back();
      open = true;
      cues.back().Start = TimeFromFields(fields, 0, Fraction::kMilliseconds);
      cues.back().Stop = TimeFromFields(fields, 4, Fraction::kMilliseconds);
      return;
    }
    if (!open) return;  // number lines and anything between blocks
    if (number_held) release();
    if (line.empty()) {
      ++held_empty;
    } else if (IsNumberLine(line)) {
      held_number = line;
      number_held = true;
    } else {
      release();
      append(line);
    }
  });
  if (open) {
    // A number line at the very end is text; empty lines after the text are
    // not.
    if (number_held) release();
    close_cue();
  }
}

void WriteSubRip(const TSubtitles& doc, LineList& lines) {
  int number = 0;
  for (const auto& cue : doc.Cues) {
    const MsSplit a = SplitThroughMs(cue.Start);
    const MsSplit b = SplitThroughMs(cue.Stop);
    lines.push_back(
        FormatTemplate("%d\r\n%.2d:%.2d:%.2d,%.3d --> %.2d:%.2d:%.2d,%.3d\r\n%s\r\n",
                       {++number, a.hours, a.minutes, a.seconds, a.milliseconds, b.hours, b.minutes,
                        b.seconds, b.milliseconds, TextWithBreaks(cue, "\r\n")}));
  }
}

}  // namespace vorlane
