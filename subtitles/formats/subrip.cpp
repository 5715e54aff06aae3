// SubRip: numbered blocks of a timing line "HH:MM:SS,mmm --> HH:MM:SS,mmm",
// the text lines and an empty line.
#include "subtitles/formats/formats.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/stream_writers.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/output_sink.h"

namespace vorlane {

void ReadSubRip(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  FieldList fields;
  bool open = false;
  // The cue being filled is always the last one of the list while open.
  auto close_cue = [&] {
    open = false;
    std::string& text = cues.back().Text;
    if (!text.empty()) text.pop_back();  // the CR added after the last line
  };
  for (const auto& line : lines) {
    if (SplitByPattern(line, "?:?:?,? --> ?:?:?,?", fields)) {
      // A timing line met while a cue is open stays in the same slot and
      // only replaces its times.
      if (!open) cues.emplace_back();
      open = true;
      cues.back().Start = TimeFromFields(fields, 0, Fraction::kMilliseconds);
      cues.back().Stop = TimeFromFields(fields, 4, Fraction::kMilliseconds);
    } else if (line.empty()) {
      if (open) close_cue();
    } else if (open) {
      cues.back().Text.append(line).push_back('\r');
    }
  }
  if (open) close_cue();
}

namespace {

// The number, the timing line, the text and the empty line of one cue.
const CompiledTemplate& SubRipCue() {
  static const CompiledTemplate compiled(
      "%d\r\n%.2d:%.2d:%.2d,%.3d --> %.2d:%.2d:%.2d,%.3d\r\n%s\r\n");
  return compiled;
}

void AppendSubRipCue(std::string& out, const CompiledTemplate& compiled, int number,
                     const SubtitleCue& cue, std::string& text) {
  const MsSplit a = SplitThroughMs(cue.Start);
  const MsSplit b = SplitThroughMs(cue.Stop);
  text.clear();
  AppendWithBreaks(text, cue.Text, "\r\n");
  compiled.AppendTo(out, {number, a.hours, a.minutes, a.seconds, a.milliseconds, b.hours, b.minutes,
                          b.seconds, b.milliseconds, text});
}

}  // namespace

void WriteSubRip(const TSubtitles& doc, LineList& lines) {
  const CompiledTemplate& compiled = SubRipCue();
  std::string text;
  int number = 0;
  for (const auto& cue : doc.Cues) {
    std::string item;
    AppendSubRipCue(item, compiled, ++number, cue, text);
    lines.push_back(std::move(item));
  }
}

void StreamSubRip(const TSubtitles& doc, OutputSink& out) {
  const CompiledTemplate& compiled = SubRipCue();
  std::string text;
  int number = 0;
  for (const auto& cue : doc.Cues) {
    AppendSubRipCue(out.Buffer(), compiled, ++number, cue, text);
    out.EndLine();
  }
}

}  // namespace vorlane
