// What every writer shares: fixed header and footer lines kept as data, the
// cue text with its CR line breaks replaced by the format's own token, the
// time fields of the two splits, and line templates whose number directives
// are C's printf ones ("%d", "%.2d", "%5d", "%s", ...).
//
// Most formats are nothing but data: header lines, one or more templated
// lines per cue, a line-break token and footer lines, written by
// WriteLayout. Writers with real logic (word wrapping, gap captions,
// counted footers) use the same pieces: AddLines, FormatCueLine, AddCueLines
// and FormatTemplate.
//
// A string added to the line list becomes one line of the file followed by
// CR LF; a string that holds CR LF of its own becomes several lines, and one
// that ends with CR LF is followed by an empty line.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/cue_text.h"
#include "subtitles/strings.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {

class OutputSink;

// The program's home page: named in the headers of the formats that carry
// an address, and shown by the About window.
inline constexpr char kHomepage[] = "https://vorlane.org";

// Fixed lines (a header or a footer), byte for byte.
using FixedLines = std::span<const char* const>;

// Appends fixed lines (a header or a footer) to the list.
inline void AddLines(LineList& lines, std::initializer_list<const char*> fixed) {
  for (const char* line : fixed) lines.emplace_back(line);
}
inline void AddLines(LineList& lines, FixedLines fixed) {
  for (const char* line : fixed) lines.emplace_back(line);
}

// The cue text with every CR replaced by the format's line-break token. An
// empty token deletes the CRs, so the lines run together.
inline std::string TextWithBreaks(const SubtitleCue& cue, std::string_view token) {
  return ReplaceAll(cue.Text, "\r", token);
}

// The dialects the writers render cue text in (subtitles/cue_text.h):
// plain text, styles dropped; HTML-like tags with the text escaped (SAMI,
// RealTime); plain text escaped for an XML attribute value; SubStation
// override blocks.
extern const TextDialect kPlainDialect;
extern const TextDialect kHtmlDialect;
extern const TextDialect kXmlAttributeDialect;
extern const TextDialect kSubStationDialect;

// Appends the cue text rendered in dialect, each line break written as
// line_break; what the dialect cannot show is counted in doc.Dropped. With
// the classic setting the text goes out as it stands. Text that holds
// nothing to render or escape is copied without rendering.
void AppendCueText(std::string& out, const TSubtitles& doc, std::string_view text,
                   const TextDialect& dialect, std::string_view line_break);
// The cue text in dialect, as AppendCueText appends it.
std::string CueTextIn(const TSubtitles& doc, const SubtitleCue& cue, const TextDialect& dialect,
                      std::string_view line_break);
// The plain text of a cue, for the formats without markup: TextWithBreaks
// with the classic setting.
inline std::string TextWithBreaks(const TSubtitles& doc, const SubtitleCue& cue,
                                  std::string_view token) {
  return CueTextIn(doc, cue, kPlainDialect, token);
}

// Whether the cue stands elsewhere than where every format puts a cue
// (bottom centre).
inline bool IsPlaced(const SubtitleCue& cue) {
  return cue.Place != 0 && cue.Place != 2;
}
// "{\anN}" for a placed cue, empty otherwise (and with the classic setting).
std::string_view AnTag(const TSubtitles& doc, const SubtitleCue& cue);
// Counts the place of a placed cue that the output cannot show.
void DropPlace(const TSubtitles& doc, const SubtitleCue& cue);

// The lines of a text cut at every CR: the text before each CR is a line (an
// empty one too), the text after the last CR only when it is not empty. An
// empty text has no lines.
LineList TextLines(std::string_view text);

// Narrowing for printf's int directives; time fields of 32-bit times fit.
inline int I(std::int64_t v) {
  return static_cast<int>(v);
}

// One value for a template directive: a whole number for "%d" and its kin,
// a string for "%s".
struct TemplateValue {
  TemplateValue() = default;
  template <std::integral T>
  TemplateValue(T n) : number(static_cast<std::int64_t>(n)) {}
  TemplateValue(std::string_view s) : text(s), is_text(true) {}
  TemplateValue(const char* s) : text(s), is_text(true) {}
  TemplateValue(const std::string& s) : text(s), is_text(true) {}

  std::int64_t number = 0;
  std::string_view text;
  bool is_text = false;
};

// Fills a template with values, each directive taking the next value. The
// directives mean what they mean to C's printf: flags "-+ #0", a width, a
// precision and the conversion "d" (or "i") for a number, "s" for a string,
// and "%%" for a percent sign. Numbers are 64-bit, so nothing wraps; strings
// are copied whole, NUL bytes included. A template that does not match its
// values is a programming error and raises std::logic_error.
std::string FormatTemplate(std::string_view format, std::span<const TemplateValue> values);
inline std::string FormatTemplate(std::string_view format,
                                  std::initializer_list<TemplateValue> values) {
  return FormatTemplate(format, std::span<const TemplateValue>(values.begin(), values.size()));
}

// A template parsed once and then filled any number of times, giving the
// same text as FormatTemplate with the same values: what a writer uses for
// a line it writes for every cue. The template's bytes must outlive it. A
// broken template raises std::logic_error when it is compiled, values that
// do not match it when it is filled.
class CompiledTemplate {
 public:
  explicit CompiledTemplate(std::string_view format);
  // Appends the filled template to out.
  void AppendTo(std::string& out, std::span<const TemplateValue> values) const;
  void AppendTo(OutputSink& out, std::span<const TemplateValue> values) const;
  template <typename Out>
  void AppendTo(Out& out, std::initializer_list<TemplateValue> values) const {
    AppendTo(out, std::span<const TemplateValue>(values.begin(), values.size()));
  }
  // The most bytes the template can give with these values (checked against
  // it), and the filled template written at p, returning its end.
  std::size_t Bound(std::span<const TemplateValue> values) const;
  char* Write(char* p, std::span<const TemplateValue> values) const;

 private:
  // One literal run or one directive.
  struct Piece {
    std::string_view literal;  // for a literal run
    bool directive = false;
    char conversion = 0;  // 'd' or 's'
    bool left = false, plus = false, space = false, zero = false;
    bool has_precision = false;
    bool plain_digits = false;  // "%.Nd" that writes only digits
    std::uint16_t width = 0;
    std::uint16_t precision = 0;
  };

  std::string_view format_;
  std::vector<Piece> pieces_;
  std::size_t directives_ = 0;
  std::size_t fixed_bound_ = 0;  // literals, and numbers and paddings at most
};

// Appends text with every CR replaced by token: TextWithBreaks without a
// string of its own.
void AppendWithBreaks(std::string& out, std::string_view text, std::string_view token);

// The values a cue line can take from its cue, its position and its
// document. Times are split through milliseconds unless named "Rounded"
// (rounded to whole seconds first, halves to even).
enum CueField : std::uint8_t {
  kEndOfFields = 0,  // fills the unused slots of a field list
  kIndex,            // the cue's position in the list, counted from 0
  kNumber,           // the cue's position, counted from 1
  // Four values each: hours, minutes, seconds and hundredths.
  kStartTimecode,
  kStopTimecode,
  // One value each.
  kStartHours,
  kStartMinutes,
  kStartSeconds,
  kStartHundredths,    // centiseconds mod 100
  kStartMilliseconds,  // milliseconds mod 1000
  kStopHours,
  kStopMinutes,
  kStopSeconds,
  kStopHundredths,
  kStopMilliseconds,
  // Whole times.
  kStartTotalMs,  // the time in milliseconds, centiseconds x 10
  kStopTotalMs,
  kStartCentiseconds,  // the time as the cue holds it
  kStopCentiseconds,
  // Three values each: hours, minutes and seconds of the rounded time.
  kStartRounded,
  kStopRounded,
  // Frame numbers at the document's exact frame rate, Round(t x rate / 100).
  kStartFrame,
  kStopFrame,
  // Stop minus start: whole seconds rounded down, then the hundredths left.
  kDurationSeconds,
  kDurationHundredths,
  // The cue text with every CR replaced by the line-break token: plain
  // (styles and places dropped) unless the classic setting is on.
  kText,
  // The same in kHtmlDialect, places dropped.
  kMarkupText,
  // The same in kSubStationDialect, led by "{\anN}" for a placed cue.
  kSubStationText,
  // Three values each: the whole minutes of the time (past 59 too), the
  // seconds and the hundredths, of the time rounded to centiseconds.
  kStartTotalMinutes,
  kStopTotalMinutes,
};

inline constexpr std::size_t kMaxCueFields = 12;

// One templated string per cue: the template and the fields that fill its
// directives, in order. The format is a template even without fields, so a
// percent sign in it is written "%%".
struct CueLine {
  const char* format;
  std::array<CueField, kMaxCueFields> fields{};
};

// The string of one cue line for the cue at index (counted from 0).
std::string FormatCueLine(const TSubtitles& doc, std::size_t index, const CueLine& line,
                          std::string_view line_break);
// Appends the strings of all cue lines of the cue at index.
void AddCueLines(const TSubtitles& doc, std::size_t index, std::span<const CueLine> cue,
                 std::string_view line_break, LineList& lines);

// A format that is header lines, templated lines per cue and footer lines.
struct WriterLayout {
  FixedLines header;
  std::span<const CueLine> cue;
  const char* line_break;  // replaces every CR of the cue text
  FixedLines footer;
};

// Appends the header, the lines of every cue in order, then the footer. An
// empty document gives the header and footer alone. The cue templates are
// compiled once per call.
void WriteLayout(const TSubtitles& doc, LineList& lines, const WriterLayout& layout);
// The same bytes streamed into a sink, each line followed by CR LF; or the
// part of them that part asks for.
void WriteLayout(const TSubtitles& doc, OutputSink& out, const WriterLayout& layout,
                 const StreamPart& part = {});

// The cues a streamed part writes: the document's, or the part's own block.
inline std::span<const SubtitleCue> CuesOf(const TSubtitles& doc, const StreamPart& part) {
  if (part.kind == StreamPart::kCues) return {part.cues, part.count};
  if (part.kind == StreamPart::kWhole) return doc.Cues;
  return {};
}
// Whether a streamed part writes the head, or the tail, of the output.
inline bool WritesHead(const StreamPart& part) {
  return part.kind == StreamPart::kWhole || part.kind == StreamPart::kHead;
}
inline bool WritesTail(const StreamPart& part) {
  return part.kind == StreamPart::kWhole || part.kind == StreamPart::kTail;
}

// The Ulead DVD Workshop layout shared by versions 2 and 2a: the fixed
// header (its "#FR:25,0" does not follow the document's rate), the given
// cue lines, and a footer that counts the cues.
void WriteUleadLayout(const TSubtitles& doc, LineList& lines, std::span<const CueLine> cue);

}  // namespace vorlane
