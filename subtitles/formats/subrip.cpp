// SubRip: numbered blocks of a timing line "HH:MM:SS,mmm --> HH:MM:SS,mmm",
// the text lines and an empty line.
#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/markup_text.h"
#include "subtitles/formats/override_tags.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/text_reading.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"

namespace vorlane {

namespace {

// The name of the tag at text[at] ("<s>", "</s>", "<tag par=5>"), empty when
// none stands there.
std::string_view TagName(std::string_view text, std::size_t at, bool& closing) {
  std::size_t p = at + 1;
  closing = p < text.size() && text[p] == '/';
  if (closing) ++p;
  const std::size_t begin = p;
  if (p >= text.size() || !std::isalpha(static_cast<unsigned char>(text[p]))) return {};
  while (p < text.size() && (std::isalnum(static_cast<unsigned char>(text[p])) || text[p] == '_')) {
    ++p;
  }
  if (p == begin || p >= text.size() || (text[p] != '>' && text[p] != ' ')) return {};
  return text.substr(begin, p - begin);
}

// True for the tag names the program keeps (i, b, u, font), in any case.
bool IsKeptTagName(std::string_view name) {
  if (name.size() == 1) {
    const char c = static_cast<char>(name[0] | 0x20);
    return c == 'i' || c == 'b' || c == 'u';
  }
  return name.size() == 4 && (name[0] | 0x20) == 'f' && (name[1] | 0x20) == 'o' &&
         (name[2] | 0x20) == 'n' && (name[3] | 0x20) == 't';
}

// True when a MicroDVD code ("{Y:i}") opens at text[at].
bool IsMicroDVDCode(std::string_view text, std::size_t at) {
  return text[at] == '{' && at + 2 < text.size() && text[at + 2] == ':' &&
         std::strchr("yYcCfFsSpPoOhH", text[at + 1]) != nullptr;
}

// True when text holds something DropForeignTags leaves out.
bool HoldsForeignTags(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '<' && text[at] != '{') continue;
    bool closing = false;
    if (text[at] == '<') {
      const std::string_view name = TagName(text, at, closing);
      if (!name.empty() && !IsKeptTagName(name) && text.find('>', at) != std::string_view::npos) {
        return true;
      }
    } else if (IsMicroDVDCode(text, at) && text.find('}', at) != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

// Tags players hide: an HTML-like tag the program does not keep (<s>,
// <tag par=5>, </tag>) is left out, its text kept, and so are the MicroDVD
// codes some SubRip files carry ({Y:i}); a '<' or '{' that opens no tag is
// text.
void DropForeignTags(std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = std::string::npos;
    if (text[at] == '<') {
      bool closing = false;
      const std::string_view name = TagName(text, at, closing);
      if (!name.empty() && !IsKeptTagName(name)) end = text.find('>', at);
    } else if (IsMicroDVDCode(text, at)) {
      end = text.find('}', at);
      if (end != std::string::npos && text.find('\r', at) < end) end = std::string::npos;
    }
    if (end != std::string::npos) {
      at = end + 1;
    } else {
      out.push_back(text[at++]);
    }
  }
  text = std::move(out);
}

}  // namespace

// The text of a SubRip cue as the program keeps it: SubRip's own tags are
// the program's; the SubStation overrides many files carry ({\an8},
// {\i1}) become tags and the cue's place, and character references
// (&amp;, &nbsp;) the characters they stand for.
void SubRipTextToModel(SubtitleCue& cue) {
  std::string& text = cue.Text;
  // Most cues hold none of the bytes where a rule below starts: one search
  // for the three (the text holds no NUL by now; strpbrk looks at many
  // bytes at a time).
  if (std::strpbrk(text.c_str(), "{<&") == nullptr) return;
  if (text.find("{\\") != std::string::npos) {
    OverrideConverter converter(false, true);
    std::string converted = converter.Convert(text);
    // Text that only held overrides keeps what it had: nothing is lost.
    if (!converted.empty() || converter.Place() != 0) {
      text = std::move(converted);
      cue.Place = converter.Place();
    }
  }
  if (HoldsForeignTags(text)) DropForeignTags(text);
  if (text.find('&') != std::string::npos) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
      const std::size_t taken = text[i] == '&' ? AppendCharReference(text, i, decoded) : 0;
      if (taken == 0) decoded.push_back(text[i++]);
      i += taken;
    }
    text = std::move(decoded);
  }
}

namespace {

// The times of a timing line written the usual way, "HH:MM:SS,mmm -->
// HH:MM:SS,mmm" with nothing around it, read without splitting it: the
// same times the pattern split gives such a line. False for any other line.
// Eight bytes of text as a number, the first in the lowest byte.
std::uint64_t Load8(const char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, sizeof x);
  if constexpr (std::endian::native == std::endian::big) x = __builtin_bswap64(x);
  return x;
}

// Whether the bytes of x that mask selects are all ASCII digits: their high
// half is 3, and adding 6 leaves it so ('0'..'9' and nothing else).
bool Digits(std::uint64_t x, std::uint64_t mask) {
  constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0;
  constexpr std::uint64_t kThrees = 0x3030303030303030;
  constexpr std::uint64_t kSixes = 0x0606060606060606;
  return (x & mask & kHigh) == (kThrees & mask) &&
         ((x + kSixes) & mask & kHigh) == (kThrees & mask);
}

// Byte k of x as the digit it holds.
std::int32_t DigitAt(std::uint64_t x, int k) {
  return static_cast<std::int32_t>((x >> (8 * k)) & 0xFF) - '0';
}

bool CanonicalTiming(std::string_view line, bool precise, std::int64_t& start, std::int64_t& stop) {
  if (line.size() != 29) return false;
  // "HH:MM:SS,mmm --> HH:MM:SS,mmm" as four words of eight bytes: 0-7,
  // 8-15, 16-23 and 21-28.
  const std::uint64_t a = Load8(line.data());
  const std::uint64_t b = Load8(line.data() + 8);
  const std::uint64_t c = Load8(line.data() + 16);
  const std::uint64_t d = Load8(line.data() + 21);
  // The fixed bytes: ':' at 2 and 5; ',' at 8 and " -->" at 12-15; ' ' at
  // 16, ':' at 19 and 22; ',' at 25.
  if ((a & 0x0000FF0000FF0000) != 0x00003A00003A0000 ||
      (b & 0xFFFFFFFF000000FF) != 0x3E2D2D200000002C ||
      (c & 0x00FF0000FF0000FF) != 0x003A00003A000020 ||
      (d & 0x000000FF00000000) != 0x0000002C00000000) {
    return false;
  }
  if (!Digits(a, 0xFFFF00FFFF00FFFF) || !Digits(b, 0x00000000FFFFFF00) ||
      !Digits(c, 0xFF00FFFF00FFFF00) || !Digits(d, 0xFFFFFF00FFFF00FF)) {
    return false;
  }
  // Without precise, milliseconds are cut to centiseconds. Two digits of
  // hours keep a time far inside the range.
  const std::int32_t start_ms = DigitAt(b, 1) * 100 + DigitAt(b, 2) * 10 + DigitAt(b, 3);
  const std::int32_t stop_ms = DigitAt(d, 5) * 100 + DigitAt(d, 6) * 10 + DigitAt(d, 7);
  start =
      std::int64_t{(DigitAt(a, 0) * 10 + DigitAt(a, 1)) * 3600 +
                   (DigitAt(a, 3) * 10 + DigitAt(a, 4)) * 60 + DigitAt(a, 6) * 10 + DigitAt(a, 7)} *
          1000 +
      (precise ? start_ms : start_ms - start_ms % 10);
  stop =
      std::int64_t{(DigitAt(c, 1) * 10 + DigitAt(c, 2)) * 3600 +
                   (DigitAt(c, 4) * 10 + DigitAt(c, 5)) * 60 + DigitAt(d, 2) * 10 + DigitAt(d, 3)} *
          1000 +
      (precise ? stop_ms : stop_ms - stop_ms % 10);
  return true;
}

}  // namespace

namespace {

// Whether line holds " --> ". Text lines are full of spaces and seldom hold
// a '>', so the search goes from one '>' to the next.
bool HasArrow(std::string_view line) {
  for (std::size_t p = line.find('>'); p != std::string_view::npos; p = line.find('>', p + 1)) {
    if (p >= 3 && line.compare(p - 3, 5, " --> ") == 0) return true;
  }
  return false;
}

// The SubRip rules, for the lines of a list or of a scan: for_each_line
// calls its argument with every line, watch sees each line first, and
// open_cue starts the next cue and returns it, the ones before it being
// complete.
template <typename ForEachLineOf, typename Watch, typename OpenCue>
void ReadSubRipCues(bool precise, ForEachLineOf&& for_each_line, Watch&& watch,
                    OpenCue&& open_cue) {
  FieldList fields;
  std::int64_t start = 0;
  std::int64_t stop = 0;
  bool open = false;
  std::string* text = nullptr;  // the text of the open cue
  // Lines of the open cue not yet known to be its text: empty lines, which
  // end the cue only when a new cue follows, and a number line, which is the
  // next block's number when a timing line follows it.
  int held_empty = 0;
  std::string_view held_number;
  bool number_held = false;
  auto append = [&](std::string_view line) { text->append(line).push_back('\r'); };
  // What was held turns out to be text after all.
  auto release = [&] {
    for (; held_empty > 0; --held_empty) text->push_back('\r');
    if (number_held) append(held_number);
    number_held = false;
  };
  SubtitleCue* cue_open = nullptr;
  auto close_cue = [&] {
    open = false;
    held_empty = 0;
    number_held = false;
    if (!text->empty()) text->pop_back();  // the CR added after the last line
    if (precise) SubRipTextToModel(*cue_open);
  };
  for_each_line([&](std::string_view line) {
    watch(line);
    const bool canonical = CanonicalTiming(line, precise, start, stop);
    // A line without the arrow cannot match the pattern: text lines skip
    // the split.
    if (canonical || (HasArrow(line) && SplitByPattern(line, "?:?:?,? --> ?:?:?,?", fields))) {
      // A timing line always begins a cue: one met while a cue is open ends
      // that cue, and the number line just before it is not text.
      if (open) close_cue();
      SubtitleCue& cue = open_cue();
      cue_open = &cue;
      text = &cue.Text;
      open = true;
      cue.Start = canonical ? start : TimeFromFields(fields, 0, Fraction::kMilliseconds, precise);
      cue.Stop = canonical ? stop : TimeFromFields(fields, 4, Fraction::kMilliseconds, precise);
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

}  // namespace

void ReadSubRip(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  // Room for every cue at once: each ends at an empty line, and counting
  // those costs far less than moving the list a dozen times as it grows.
  std::size_t empty_lines = 0;
  for (const auto& line : lines) empty_lines += line.empty();
  cues.reserve(empty_lines + 1);
  ReadSubRipCues(
      !doc.ClassicReading(), [&](auto&& read_line) { ForEachLine(lines, read_line); },
      [](std::string_view) {}, [&]() -> SubtitleCue& { return cues.emplace_back(); });
}

void ReadSubRipScanned(LineScanner lines, CueStore& store, bool precise) {
  ReadSubRipCues(
      precise, [&](auto&& read_line) { ForEachLine(lines, read_line); },
      [&](std::string_view line) { store.Line(line); },
      [&]() -> SubtitleCue& { return store.Open(); });
}

namespace {

// The number, the timing line, the text and the empty line of one cue.
const CompiledTemplate& SubRipCue() {
  static const CompiledTemplate compiled(
      "%d\r\n%.2d:%.2d:%.2d,%.3d --> %.2d:%.2d:%.2d,%.3d\r\n%s\r\n");
  return compiled;
}

template <typename Out>
void AppendSubRipCue(Out& out, const TSubtitles& doc, const CompiledTemplate& compiled, int number,
                     const SubtitleCue& cue, std::string& text) {
  const MsSplit a = SplitThroughMs(cue.Start);
  const MsSplit b = SplitThroughMs(cue.Stop);
  text.clear();
  // The cue's styles are SubRip's own tags; a placed cue is led by the
  // SubStation tag that players of SubRip honour.
  text.append(AnTag(doc, cue));
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
    AppendSubRipCue(item, doc, compiled, ++number, cue, text);
    lines.push_back(std::move(item));
  }
}

void StreamSubRip(const TSubtitles& doc, OutputSink& out, const StreamPart& part) {
  const CompiledTemplate& compiled = SubRipCue();
  std::string text;
  // Numbers are printed as int, as the line-list writer prints them.
  int number = static_cast<int>(part.first);
  for (const auto& cue : CuesOf(doc, part)) {
    AppendSubRipCue(out, doc, compiled, ++number, cue, text);
    out.EndLine();
  }
}

}  // namespace vorlane
