// Caption-line formats: Cheetah (numbered pop-on captions with 32-column
// word wrap), Dual (a start time per caption and an empty caption after a
// pause), CPC600 and DKS (a start line with the text and a stop line).
#include <cstddef>
#include <string>
#include <string_view>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// Cheetah captions are 32 columns wide.
constexpr std::size_t kCheetahColumns = 32;

// Wraps a caption text at spaces, keeping its own CRs and adding a CR where a
// line grows past kCheetahColumns characters. The line breaks after its last
// space before that point, or, when there is none, after the first space that
// follows, so a single word longer than a line stays whole; the space stays
// at the end of the line. A break is never taken between a quote (single or
// double) and the next quote of the same kind, and the quoting runs on over
// CRs. Once only blanks are left no CR is added, so wrapping never makes
// empty lines at the end of a caption.
std::string WrapCheetahText(std::string_view text) {
  constexpr std::size_t npos = std::string_view::npos;
  const std::size_t last_content = text.find_last_not_of(" \r\n");
  std::string out;
  out.reserve(text.size() + text.size() / kCheetahColumns + 1);
  std::size_t line_start = 0;
  std::size_t break_after = npos;  // the line's last space outside quotes
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      // The text's own break ends the line and the count starts again.
      out.append(text.substr(line_start, i + 1 - line_start));
      line_start = i + 1;
      break_after = npos;
      continue;
    }
    if (c == ' ') {
      if (quote == 0) break_after = i;
    } else if (c == '\'' || c == '"') {
      if (quote == c) {
        quote = 0;
      } else if (quote == 0) {
        quote = c;
      }
    }
    const std::size_t column = i - line_start + 1;
    if (quote == 0 && column > kCheetahColumns && break_after != npos && break_after > line_start) {
      out.append(text.substr(line_start, break_after + 1 - line_start));
      line_start = break_after + 1;
      break_after = npos;
      if (last_content == npos || last_content < line_start) break;
      out.push_back('\r');
    }
  }
  out.append(text.substr(line_start));
  return out;
}

constexpr const char* kCheetahHeader[] = {"*NonDropFrame", "*Width 32", ""};

// Only the start is written, rounded to whole seconds; the hours follow a
// fixed "00:".
constexpr CueLine kCheetahCaption[] = {
    {"** Caption Number %d", {kNumber}},
    {"*PopOn"},
    {"*T 00:%.2d:%.2d:%.2d", {kStartRounded}},
    {"*BottomUp"},
    {"*Lf01"},
};

constexpr CueLine kDualCaption{"%.2d:%.2d:%.2d:%s", {kStartRounded, kText}};
// An empty caption at the stop, clearing the screen during a pause.
constexpr CueLine kDualClear{"%.2d:%.2d:%.2d:", {kStopRounded}};
// Pauses longer than this (centiseconds) get an empty caption.
constexpr std::int64_t kDualLongestGap = 100;

constexpr const char* kCPC600Header[] = {"~CPCC6.38~;UpperLower;PopOn;01;"};
constexpr CueLine kCPC600Cue[] = {
    {"%.2d:%.2d:%.2d.%.2d_0NEN_%s", {kStartTimecode, kText}},
    {"%.2d:%.2d:%.2d.%.2d_0NEN_", {kStopTimecode}},
};

constexpr CueLine kDKSCue[] = {
    {"[%.2d:%.2d:%.2d.%.2d]%s", {kStartTimecode, kText}},
    {"[%.2d:%.2d:%.2d.%.2d]", {kStopTimecode}},
};

}  // namespace

void WriteCheetah(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, kCheetahHeader);
  for (std::size_t i = 0; i < doc.Cues.size(); ++i) {
    AddCueLines(doc, i, kCheetahCaption, "", lines);
    for (auto& line : TextLines(WrapCheetahText(TextWithBreaks(doc, doc.Cues[i], "\r")))) {
      lines.push_back(std::move(line));
    }
    lines.emplace_back();
  }
}

void WriteDual(const TSubtitles& doc, LineList& lines) {
  const auto& cues = doc.Cues;
  for (std::size_t i = 0; i < cues.size(); ++i) {
    lines.push_back(FormatCueLine(doc, i, kDualCaption, "|"));
    if (i + 1 < cues.size() &&
        Centiseconds(cues[i + 1].Start) - Centiseconds(cues[i].Stop) > kDualLongestGap) {
      lines.push_back(FormatCueLine(doc, i, kDualClear, ""));
    }
  }
}

void WriteCPC600(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kCPC600Header, kCPC600Cue, "\\", {}});
}

void WriteDKSSubtitleFormat(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {{}, kDKSCue, "[br]", {}});
}

}  // namespace vorlane
