// MicroDVD: one line per cue, "{start frame}{stop frame}text", the text's
// lines separated by "|". Times are frame numbers, so both directions
// convert through the document's frame rate.
#include "subtitles/formats/formats.h"
#include "subtitles/formats/stream_writers.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/output_sink.h"

namespace vorlane {

void ReadMicroDVD(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  const double rate = doc.FrameRate();
  // Without a usable rate no frame can be converted; the loader never calls
  // this reader then, and a direct call reads nothing rather than dividing
  // by zero.
  if (!(rate > 0)) return;
  for (const auto& line : lines) {
    if (!StartsWith(line, "{")) continue;
    const int p1 = PosEx("}{", line, 2);
    if (p1 == 0) continue;
    const int p2 = PosEx("}", line, p1 + 2);
    if (p2 == 0) continue;
    const std::int32_t start_frame = StrToInt(CopyRange(line, 2, p1));
    const std::int32_t stop_frame = StrToInt(CopyRange(line, p1 + 2, p2));
    SubtitleCue cue;
    // A frame number too large for the rate fails the read as a corrupted
    // file instead of wrapping into a wrong time.
    cue.Start = FramesToCentiseconds(start_frame, rate);
    cue.Stop = FramesToCentiseconds(stop_frame, rate);
    // Anything after the second "}" is text, formatting codes in braces
    // included.
    cue.Text = ReplaceAll(CopyTail(line, p2 + 1), "|", "\r");
    cues.push_back(std::move(cue));
  }
}

namespace {

// Frames are printed in 64 bits: at a high rate a long time can count more
// frames than a 32-bit number holds.
template <typename Emit>
void EachMicroDVDLine(const TSubtitles& doc, Emit emit) {
  static const CompiledTemplate compiled("{%d}{%d}%s");
  const double rate = doc.FrameRate();
  std::string text;
  for (const auto& cue : doc.Cues) {
    text.clear();
    AppendWithBreaks(text, cue.Text, "|");
    emit([&](auto& out) {
      compiled.AppendTo(
          out, {CentisecondsToFrames(cue.Start, rate), CentisecondsToFrames(cue.Stop, rate), text});
    });
  }
}

}  // namespace

void WriteMicroDVD(const TSubtitles& doc, LineList& lines) {
  EachMicroDVDLine(doc, [&](auto append) {
    std::string line;
    append(line);
    lines.push_back(std::move(line));
  });
}

void StreamMicroDVD(const TSubtitles& doc, OutputSink& out) {
  EachMicroDVDLine(doc, [&](auto append) {
    append(out);
    out.EndLine();
  });
}

}  // namespace vorlane
