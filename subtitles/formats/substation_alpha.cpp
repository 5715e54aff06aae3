// SubStation Alpha v4 (.ssa) and v4+ (.ass): sections in brackets; styles in
// [V4 Styles] or [V4+ Styles], events in [Events], each section with a
// "Format:" line that names the fields of its lines. Text is the last field
// of an event and may hold commas. The writer gives one Default style and
// one Dialogue line per cue.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/override_tags.h"
#include "subtitles/formats/text_reading.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/output_sink.h"

namespace vorlane {

namespace {

constexpr const char* kAdvancedSSAHeader[] = {
    "[Script Info]",
    "ScriptType: v4.00+",
    "Collisions: Normal",
    "PlayResX: 384",
    "PlayResY: 288",
    "Timer: 100.0000",
    "",
    "[V4+ Styles]",
    ("Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
     "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
     "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding"),
    ("Style: Default , Tahoma, 24, &HFFFFFF, &HFFFFFF, &HFFFFFF, &HC0C0C0, -1, 0, 0, 0, 100, 100, "
     "0, 0#, 1, 2, 3, 2, 20, 20, 20, 1"),
    "",
    "[Events]",
    "Format: Layer, Start, End, Style, Actor, MarginL, MarginR, MarginV, Effect, Text",
};
// The classic Dialogue line holds one field more than the Format line names:
// an empty one after End, so that players find the style under Name and
// show every text with a comma in front. The line written otherwise has the
// fields the Format line names.
constexpr CueLine kClassicAdvancedSSACue[] = {
    {"Dialogue: 0,%.1d:%.2d:%.2d.%.2d,%.1d:%.2d:%.2d.%.2d,,Default,,0000,0000,0000,,%s",
     {kStartTimecode, kStopTimecode, kText}},
};
constexpr CueLine kAdvancedSSACue[] = {
    {"Dialogue: 0,%.1d:%.2d:%.2d.%.2d,%.1d:%.2d:%.2d.%.2d,Default,,0000,0000,0000,,%s",
     {kStartTimecode, kStopTimecode, kSubStationText}},
};

// Where a file has no Format line, its fields stand in the standard order,
// which v4 and v4+ share for what is read here: the first field is Marked
// (v4) or Layer (v4+).
constexpr std::string_view kStandardEventFields[] = {
    "layer", "start", "end", "style", "name", "marginl", "marginr", "marginv", "effect", "text"};
// Italic is the ninth style field in both versions.
constexpr std::size_t kStandardStyleItalic = 8;

// The fields of a line after its "Key:", count of them at most, the last one
// taking the rest of the line (commas included). Blanks around the fields
// are dropped.
std::vector<std::string_view> SplitFields(std::string_view rest, std::size_t count) {
  std::vector<std::string_view> fields;
  while (fields.size() + 1 < count) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) break;
    fields.push_back(Trim(rest.substr(0, comma)));
    rest.remove_prefix(comma + 1);
  }
  fields.push_back(Trim(rest));
  return fields;
}

struct FieldOrder {
  std::size_t count = 0;
  std::size_t start = 0, end = 0, style = 0, text = 0;
};

FieldOrder EventOrder(const std::vector<std::string>& names) {
  FieldOrder order;
  order.count = names.size();
  bool start = false, end = false, text = false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == "start") order.start = i, start = true;
    if (names[i] == "end") order.end = i, end = true;
    if (names[i] == "style") order.style = i;
    if (names[i] == "text") order.text = i, text = true;
  }
  // A Format line without the fields read here is no use: keep the standard.
  if (!start || !end || !text)
    return EventOrder({std::begin(kStandardEventFields), std::end(kStandardEventFields)});
  return order;
}

std::vector<std::string> FieldNames(std::string_view rest) {
  std::vector<std::string> names;
  for (std::string_view field : SplitFields(rest, SIZE_MAX)) names.push_back(Lower(field));
  return names;
}

// True when the line starts with key (a name and its colon, matched without
// regard to case), with rest set to what follows it.
bool TakeKey(std::string_view line, std::string_view key, std::string_view& rest) {
  if (line.size() <= key.size() || Lower(line.substr(0, key.size())) != key) return false;
  rest = line.substr(key.size());
  return true;
}

// True when the lines open with the header the writer gives, whose classic
// Dialogue lines hold the extra field.
bool HasWrittenHeader(const LineViews& lines) {
  constexpr std::size_t count = std::size(kAdvancedSSAHeader);
  if (lines.size() < count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (Trim(i == 0 ? WithoutBom(lines[i]) : lines[i]) != kAdvancedSSAHeader[i]) return false;
  }
  return true;
}

}  // namespace

void ReadAdvancedSSA(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  enum class Section { kOther, kStyles, kEvents } section = Section::kOther;
  std::vector<std::string> style_fields;
  std::unordered_map<std::string, bool> italic_styles;
  FieldOrder events = EventOrder({});
  // The order of a classic written Dialogue line, with the extra field.
  FieldOrder shifted = events;
  const bool written = HasWrittenHeader(lines);
  CueTolerance tolerance(doc);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::string name = Lower(line);
      // [V4 Styles], [V4+ Styles] and the odd [V4++ Styles] alike.
      section = name == "[events]"                          ? Section::kEvents
                : name.find("styles]") != std::string::npos ? Section::kStyles
                                                            : Section::kOther;
      continue;
    }
    std::string_view rest;
    if (section == Section::kStyles) {
      if (TakeKey(line, "format:", rest)) {
        style_fields = FieldNames(rest);
      } else if (TakeKey(line, "style:", rest)) {
        std::size_t italic = kStandardStyleItalic;
        for (std::size_t i = 0; i < style_fields.size(); ++i) {
          if (style_fields[i] == "italic") italic = i;
        }
        const auto fields = SplitFields(rest, SIZE_MAX);
        std::string_view name = fields[0];
        if (!name.empty() && name.front() == '*') name.remove_prefix(1);
        const bool on = italic < fields.size() && (fields[italic] == "-1" || fields[italic] == "1");
        italic_styles[std::string(name)] = on;
      }
    } else if (section == Section::kEvents) {
      if (TakeKey(line, "format:", rest)) {
        std::vector<std::string> names = FieldNames(rest);
        events = EventOrder(names);
        if (names.size() >= 3) names.insert(names.begin() + 3, "");
        shifted = EventOrder(names);
      } else if (TakeKey(line, "dialogue:", rest)) {
        auto fields = SplitFields(rest, events.count);
        FieldOrder order = events;
        if (written) {
          auto classic = SplitFields(rest, shifted.count);
          if (classic.size() > 5 && classic[3].empty() && classic[4] == "Default" &&
              classic[5].empty()) {
            fields = std::move(classic);
            order = shifted;
          }
        }
        const int number = static_cast<int>(index) + 1;
        if (fields.size() <= order.start || fields.size() <= order.end) {
          tolerance.Malformed(number, "a Dialogue line without its start and end times");
          continue;
        }
        const auto start = ParseClock(fields[order.start], 3);
        if (!start) {
          tolerance.Malformed(number, NotValid(fields[order.start], "time"));
          continue;
        }
        const auto stop = ParseClock(fields[order.end], 3);
        if (!stop) {
          tolerance.Malformed(number, NotValid(fields[order.end], "time"));
          continue;
        }
        tolerance.Read();
        // A line cut short of its text field shows nothing.
        if (fields.size() <= order.text) continue;
        bool italic = false;
        if (order.style < fields.size()) {
          std::string_view style = fields[order.style];
          if (!style.empty() && style.front() == '*') style.remove_prefix(1);
          const auto found = italic_styles.find(std::string(style));
          italic = found != italic_styles.end() && found->second;
        }
        OverrideConverter converter(italic);
        std::string text = converter.Convert(fields[order.text]);
        if (converter.DrawingOnly()) continue;
        doc.Cues.push_back({*start, *stop, std::move(text), converter.Place()});
      }
    }
  }
  tolerance.Check();
}

namespace {

WriterLayout AdvancedSSALayout(const TSubtitles& doc) {
  const std::span<const CueLine> cue =
      doc.ClassicReading() ? std::span<const CueLine>(kClassicAdvancedSSACue) : kAdvancedSSACue;
  return {kAdvancedSSAHeader, cue, "\\N", {}};
}

}  // namespace

void WriteAdvancedSSA(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, AdvancedSSALayout(doc));
}

namespace {

// "%.1d:%.2d:%.2d.%.2d" of a time not before zero, at p.
char* PutClock(char* p, std::int64_t time) {
  const MsSplit t = SplitToHundredths(time);

  p = std::to_chars(p, p + 20, t.hours).ptr;
  auto two = [&](std::int64_t n, char before) {
    p[0] = before;
    p[1] = static_cast<char>('0' + n / 10);
    p[2] = static_cast<char>('0' + n % 10);
    p += 3;
  };
  two(t.minutes, ':');
  two(t.seconds, ':');
  two(t.hundredths, '.');
  return p;
}

}  // namespace

// Every script's events are the same line but for the times and the text:
// written here without going through its template, which gives the same
// bytes.
void StreamAdvancedSSA(const TSubtitles& doc, OutputSink& out, const StreamPart& part) {
  const std::span<const SubtitleCue> cues = CuesOf(doc, part);
  if (std::any_of(cues.begin(), cues.end(),
                  [](const SubtitleCue& cue) { return cue.Start < 0 || cue.Stop < 0; })) {
    WriteLayout(doc, out, AdvancedSSALayout(doc), part);
    return;
  }
  if (WritesHead(part)) {
    for (const char* line : kAdvancedSSAHeader) out.Line(line);
  }
  const std::string_view middle =
      doc.ClassicReading() ? ",,Default,,0000,0000,0000,," : ",Default,,0000,0000,0000,,";
  constexpr std::string_view kOpen = "Dialogue: 0,";
  std::string rendered;
  for (const SubtitleCue& cue : cues) {
    // Styles and places become override blocks; most text has neither and
    // is copied as it is.
    std::string_view text = cue.Text;
    if (!doc.ClassicReading() && (IsPlaced(cue) || text.find('<') != std::string_view::npos)) {
      rendered.assign(AnTag(doc, cue));
      AppendCueText(rendered, doc, text, kSubStationDialect, "\r");
      text = rendered;
    }
    // Each CR of the text becomes the two bytes of "\\N".
    char* p = out.Reserve(kOpen.size() + 2 * 16 + middle.size() + 2 * text.size());
    p = std::copy(kOpen.begin(), kOpen.end(), p);
    p = PutClock(p, cue.Start);
    *p++ = ',';
    p = PutClock(p, cue.Stop);
    p = std::copy(middle.begin(), middle.end(), p);
    for (std::size_t cr; (cr = text.find('\r')) != std::string_view::npos;) {
      p = std::copy_n(text.data(), cr, p);
      *p++ = '\\';
      *p++ = 'N';
      text.remove_prefix(cr + 1);
    }
    p = std::copy(text.begin(), text.end(), p);
    out.Commit(p);
    out.EndLine();
  }
}

namespace {

// Whether s begins with prefix, a lower-case ASCII text, in any case.
bool StartsWithLower(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] - 'A' + 'a') : s[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

// A script opens with [Script Info]; one that lost its head still has its
// [Events] section with Dialogue lines.
bool IsAdvancedSSA(const LineViews& lines) {
  bool first = true;
  bool events = false;
  // Signatures run on every file: the head of a script is enough, even one
  // with many styles before its events.
  constexpr std::size_t kLinesLookedAt = 1000;
  for (std::size_t index = 0; index < lines.size() && index < kLinesLookedAt; ++index) {
    const std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    if (line.empty()) continue;
    if (first && StartsWithLower(line, "[script info]")) return true;
    first = false;
    if (line.size() == 8 && StartsWithLower(line, "[events]")) events = true;
    if (events && StartsWithLower(line, "dialogue:")) return true;
  }
  return false;
}

}  // namespace vorlane
