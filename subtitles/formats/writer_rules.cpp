#include "subtitles/formats/writer_rules.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "subtitles/output_sink.h"

namespace vorlane {

const TextDialect kPlainDialect{};
const TextDialect kHtmlDialect{{"<i>", "</i>"},
                               {"<b>", "</b>"},
                               {"<u>", "</u>"},
                               "<font color=\"#%s\">",
                               "</font>",
                               "RRGGBB",
                               "\r",
                               TextDialect::kMarkup};
const TextDialect kXmlAttributeDialect{{}, {},       {},   {},
                                       {}, "RRGGBB", "\r", TextDialect::kXmlAttribute};
const TextDialect kSubStationDialect{{"{\\i1}", "{\\i0}"},
                                     {"{\\b1}", "{\\b0}"},
                                     {"{\\u1}", "{\\u0}"},
                                     "{\\c&H%s&}",
                                     "{\\c}",
                                     "BBGGRR",
                                     "\r",
                                     TextDialect::kAsIs};

namespace {

// Whether text holds anything the dialect renders differently from the
// bytes themselves: a '<' that may open a tag, or a character it escapes.
bool NeedsRendering(std::string_view text, TextDialect::Escape escape) {
  switch (escape) {
    case TextDialect::kAsIs:
      return text.find('<') != std::string_view::npos;
    case TextDialect::kMarkup:
      return text.find_first_of("<>&") != std::string_view::npos;
    default:
      for (char c : text) {
        if (c == '<' || c == '>' || c == '&' || c == '"' ||
            (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
          return true;
        }
      }
      return false;
  }
}

}  // namespace

void AppendCueText(std::string& out, const TSubtitles& doc, std::string_view text,
                   const TextDialect& dialect, std::string_view line_break) {
  if (doc.ClassicReading() || !NeedsRendering(text, dialect.escape)) {
    AppendWithBreaks(out, text, line_break);
    return;
  }
  TextDialect d = dialect;
  d.line_break = line_break;
  out += RenderCueText(text, d, &doc.Dropped);
}

std::string CueTextIn(const TSubtitles& doc, const SubtitleCue& cue, const TextDialect& dialect,
                      std::string_view line_break) {
  std::string out;
  AppendCueText(out, doc, cue.Text, dialect, line_break);
  return out;
}

std::string_view AnTag(const TSubtitles& doc, const SubtitleCue& cue) {
  static constexpr std::string_view kTags[] = {"",        "{\\an1}", "{\\an2}", "{\\an3}",
                                               "{\\an4}", "{\\an5}", "{\\an6}", "{\\an7}",
                                               "{\\an8}", "{\\an9}"};
  if (doc.ClassicReading() || !IsPlaced(cue) || cue.Place > 9) return {};
  return kTags[cue.Place];
}

void DropPlace(const TSubtitles& doc, const SubtitleCue& cue) {
  if (!doc.ClassicReading() && IsPlaced(cue)) ++doc.Dropped.positions;
}

LineList TextLines(std::string_view text) {
  LineList lines;
  SplitByChar('\r', text, lines);
  return lines;
}

namespace {

[[noreturn]] void BadTemplate(std::string_view format, const char* problem) {
  throw std::logic_error("template \"" + std::string(format) + "\": " + problem);
}

// The flags of one directive, read once.
struct Flags {
  bool left = false;   // "-"
  bool plus = false;   // "+"
  bool space = false;  // " "
  bool zero = false;   // "0"

  // Takes the flag at c and returns true, or returns false when c is none.
  bool Take(char c) {
    switch (c) {
      case '-':
        left = true;
        return true;
      case '+':
        plus = true;
        return true;
      case ' ':
        space = true;
        return true;
      case '0':
        zero = true;
        return true;
      case '#':  // no effect on "d" and "s"
        return true;
      default:
        return false;
    }
  }
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A width or precision; anything beyond a few digits is a broken template.
std::size_t ReadCount(std::string_view format, std::size_t& j) {
  std::size_t n = 0;
  while (j < format.size() && IsDigit(format[j])) {
    n = n * 10 + static_cast<std::size_t>(format[j] - '0');
    if (n > 1000) BadTemplate(format, "width or precision too large");
    ++j;
  }
  return n;
}

// The decimal digits of 0 to 99, two by two.
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The most bytes a directive with this width and precision can give for a
// number: a sign and 19 digits, or the precision's digits, or the width.
std::size_t NumberBound(std::size_t width, std::size_t precision) {
  return std::max({width, precision + 1, std::size_t{21}});
}

// "%d" as printf writes it, at p, returning the end: at least precision
// digits (none at all for a 0 with precision 0), a sign for negative numbers
// ("+" or " " for the others with those flags), then padding to width: on
// the right with "-", with zeros after the sign with "0" and no precision,
// else with spaces on the left. Writes at most NumberBound bytes.
char* PutNumber(char* p, std::int64_t value, const Flags& flags, std::size_t width,
                bool has_precision, std::size_t precision) {
  char digits[20];
  char* const digits_end = digits + sizeof digits;
  char* d = digits_end;
  // Digits from the magnitude, taken in unsigned arithmetic so that the
  // most negative value needs no special case.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  while (magnitude >= 100) {
    const std::size_t pair = static_cast<std::size_t>(magnitude % 100) * 2;
    magnitude /= 100;
    *--d = kPairs[pair + 1];
    *--d = kPairs[pair];
  }
  if (magnitude >= 10) {
    *--d = kPairs[magnitude * 2 + 1];
    *--d = kPairs[magnitude * 2];
  } else if (magnitude != 0) {
    *--d = static_cast<char>('0' + magnitude);
  }
  const std::size_t n = static_cast<std::size_t>(digits_end - d);
  if (!has_precision) precision = 1;
  const std::size_t zeros = precision > n ? precision - n : 0;
  char sign = 0;
  if (value < 0) {
    sign = '-';
  } else if (flags.plus) {
    sign = '+';
  } else if (flags.space) {
    sign = ' ';
  }
  const std::size_t length = (sign != 0 ? 1 : 0) + zeros + n;
  const std::size_t pad = width > length ? width - length : 0;
  const bool left = flags.left;
  const bool zero_pad = !left && flags.zero && !has_precision;
  if (!left && !zero_pad) p = std::fill_n(p, pad, ' ');
  if (sign != 0) *p++ = sign;
  if (zero_pad) p = std::fill_n(p, pad, '0');
  p = std::fill_n(p, zeros, '0');
  p = std::copy(d, digits_end, p);
  if (left) p = std::fill_n(p, pad, ' ');
  return p;
}

void AppendNumber(std::string& out, std::int64_t value, const Flags& flags, std::size_t width,
                  bool has_precision, std::size_t precision) {
  // Widths and precisions stop at 1000 (ReadCount), so this always holds it.
  char field[1024];
  const char* end = PutNumber(field, value, flags, width, has_precision, precision);
  out.append(field, static_cast<std::size_t>(end - field));
}

// The text a precision leaves of a string.
std::string_view CutText(std::string_view text, bool has_precision, std::size_t precision) {
  return has_precision && precision < text.size() ? text.substr(0, precision) : text;
}
// "%s" with printf's width, precision and "-" flag, but copying the string
// whole (a C string would stop at a NUL byte): at p, returning the end, or
// appended to out.
char* PutString(char* p, std::string_view text, const Flags& flags, std::size_t width,
                bool has_precision, std::size_t precision) {
  text = CutText(text, has_precision, precision);
  const std::size_t pad = width > text.size() ? width - text.size() : 0;
  if (!flags.left) p = std::fill_n(p, pad, ' ');
  p = std::copy(text.begin(), text.end(), p);
  if (flags.left) p = std::fill_n(p, pad, ' ');
  return p;
}
void AppendString(std::string& out, std::string_view text, const Flags& flags, std::size_t width,
                  bool has_precision, std::size_t precision) {
  text = CutText(text, has_precision, precision);
  const std::size_t pad = width > text.size() ? width - text.size() : 0;
  if (!flags.left) out.append(pad, ' ');
  out.append(text);
  if (flags.left) out.append(pad, ' ');
}

}  // namespace

std::string FormatTemplate(std::string_view format, std::span<const TemplateValue> values) {
  // One allocation in the common case: the template, the strings, and room
  // for the numbers.
  std::size_t estimate = format.size() + 3 * values.size();
  for (const TemplateValue& value : values) estimate += value.text.size();
  std::string out;
  out.reserve(estimate);
  std::size_t next = 0;
  std::size_t i = 0;
  while (i < format.size()) {
    const std::size_t percent = format.find('%', i);
    if (percent == std::string_view::npos) {
      out.append(format.substr(i));
      break;
    }
    out.append(format.substr(i, percent - i));
    std::size_t j = percent + 1;
    if (j < format.size() && format[j] == '%') {
      out.push_back('%');
      i = j + 1;
      continue;
    }
    Flags flags;
    while (j < format.size() && flags.Take(format[j])) ++j;
    const std::size_t width = ReadCount(format, j);
    bool has_precision = false;
    std::size_t precision = 0;
    if (j < format.size() && format[j] == '.') {
      has_precision = true;
      ++j;
      precision = ReadCount(format, j);
    }
    if (j >= format.size()) BadTemplate(format, "unfinished directive");
    if (next >= values.size()) BadTemplate(format, "more directives than values");
    const TemplateValue& value = values[next++];
    const char conversion = format[j];
    if (conversion == 'd' || conversion == 'i') {
      if (value.is_text) BadTemplate(format, "a string for a number directive");
      AppendNumber(out, value.number, flags, width, has_precision, precision);
    } else if (conversion == 's') {
      if (!value.is_text) BadTemplate(format, "a number for a string directive");
      AppendString(out, value.text, flags, width, has_precision, precision);
    } else {
      BadTemplate(format, "unknown directive");
    }
    i = j + 1;
  }
  if (next != values.size()) BadTemplate(format, "more values than directives");
  return out;
}

CompiledTemplate::CompiledTemplate(std::string_view format) : format_(format) {
  std::size_t i = 0;
  auto literal = [&](std::string_view text) {
    if (text.empty()) return;
    pieces_.push_back({text});
    fixed_bound_ += text.size();
  };
  while (i < format.size()) {
    const std::size_t percent = format.find('%', i);
    if (percent == std::string_view::npos) {
      literal(format.substr(i));
      break;
    }
    literal(format.substr(i, percent - i));
    std::size_t j = percent + 1;
    if (j < format.size() && format[j] == '%') {
      literal(format.substr(j, 1));
      i = j + 1;
      continue;
    }
    Flags flags;
    while (j < format.size() && flags.Take(format[j])) ++j;
    Piece piece;
    piece.directive = true;
    piece.left = flags.left;
    piece.plus = flags.plus;
    piece.space = flags.space;
    piece.zero = flags.zero;
    piece.width = static_cast<std::uint16_t>(ReadCount(format, j));
    if (j < format.size() && format[j] == '.') {
      piece.has_precision = true;
      ++j;
      piece.precision = static_cast<std::uint16_t>(ReadCount(format, j));
    }
    if (j >= format.size()) BadTemplate(format, "unfinished directive");
    const char conversion = format[j];
    if (conversion == 'd' || conversion == 'i') {
      piece.conversion = 'd';
    } else if (conversion == 's') {
      piece.conversion = 's';
    } else {
      BadTemplate(format, "unknown directive");
    }
    // No sign, no padding: only the digits, when they fit the precision.
    piece.plain_digits = piece.conversion == 'd' && piece.has_precision && piece.precision >= 1 &&
                         piece.precision <= 4 && !piece.plus && !piece.space &&
                         piece.width <= piece.precision;
    fixed_bound_ +=
        piece.conversion == 'd' ? NumberBound(piece.width, piece.precision) : piece.width;
    pieces_.push_back(piece);
    ++directives_;
    i = j + 1;
  }
}

std::size_t CompiledTemplate::Bound(std::span<const TemplateValue> values) const {
  if (values.size() < directives_) BadTemplate(format_, "more directives than values");
  if (values.size() > directives_) BadTemplate(format_, "more values than directives");
  // The numbers' and the paddings' share is known from the template; a
  // string adds at most its length to its width.
  std::size_t bound = fixed_bound_;
  for (const TemplateValue& value : values) bound += value.text.size();
  return bound;
}

namespace {

constexpr std::int64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000};

}  // namespace

char* CompiledTemplate::Write(char* p, std::span<const TemplateValue> values) const {
  std::size_t next = 0;
  for (const Piece& piece : pieces_) {
    if (!piece.directive) {
      // Mostly a single separator between two numbers.
      if (piece.literal.size() == 1) {
        *p++ = piece.literal[0];
      } else {
        p = std::copy(piece.literal.begin(), piece.literal.end(), p);
      }
      continue;
    }
    const TemplateValue& value = values[next++];
    if (piece.conversion == 'd') {
      if (value.is_text) BadTemplate(format_, "a string for a number directive");
      // "%.2d" and its kin with a value that has no more digits than the
      // precision: exactly that many digits, as the general case gives.
      if (piece.plain_digits && value.number >= 0 && value.number < kPowersOfTen[piece.precision]) {
        std::int64_t n = value.number;
        if (piece.precision == 2) {
          p[0] = kPairs[n * 2];
          p[1] = kPairs[n * 2 + 1];
          p += 2;
          continue;
        }
        for (std::size_t k = piece.precision; k > 0; --k) {
          p[k - 1] = static_cast<char>('0' + n % 10);
          n /= 10;
        }
        p += piece.precision;
        continue;
      }
    } else if (!value.is_text) {
      BadTemplate(format_, "a number for a string directive");
    }
    Flags flags;
    flags.left = piece.left;
    flags.plus = piece.plus;
    flags.space = piece.space;
    flags.zero = piece.zero;
    if (piece.conversion == 'd') {
      p = PutNumber(p, value.number, flags, piece.width, piece.has_precision, piece.precision);
    } else {
      p = PutString(p, value.text, flags, piece.width, piece.has_precision, piece.precision);
    }
  }
  return p;
}

void CompiledTemplate::AppendTo(std::string& out, std::span<const TemplateValue> values) const {
  const std::size_t old = out.size();
  out.resize(old + Bound(values));
  char* const end = Write(out.data() + old, values);
  out.resize(static_cast<std::size_t>(end - out.data()));
}

void CompiledTemplate::AppendTo(OutputSink& out, std::span<const TemplateValue> values) const {
  char* const room = out.Reserve(Bound(values));
  out.Commit(Write(room, values));
}

void AppendWithBreaks(std::string& out, std::string_view text, std::string_view token) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t p = text.find('\r', start);
    if (p == std::string_view::npos) break;
    out.append(text.substr(start, p - start));
    out.append(token);
    start = p + 1;
  }
  out.append(text.substr(start));
}

namespace {

// The values of one cue line. At most four a field: kept on the stack, this
// runs once per cue line.
// The slots are left unset until filled: clearing all 48 of them for every
// line would cost more than filling the few a line uses.
class CueValues {
 public:
  void emplace_back(TemplateValue v) { new (Slot(size_++)) TemplateValue(v); }
  void insert(const TemplateValue* /*end*/, std::initializer_list<TemplateValue> vs) {
    for (const TemplateValue& v : vs) emplace_back(v);
  }
  const TemplateValue* end() const { return Items() + size_; }
  std::span<const TemplateValue> span() const { return {Items(), size_}; }

 private:
  static_assert(std::is_trivially_destructible_v<TemplateValue>);
  void* Slot(std::size_t i) { return storage_ + i * sizeof(TemplateValue); }
  const TemplateValue* Items() const {
    return std::launder(reinterpret_cast<const TemplateValue*>(storage_));
  }

  alignas(TemplateValue) unsigned char storage_[sizeof(TemplateValue) * kMaxCueFields * 4];
  std::size_t size_ = 0;
};

// Fills values for the cue line of the cue at index; the text value points
// into text, which is overwritten.
void FillCueValues(const TSubtitles& doc, const SubtitleCue& cue, std::size_t index,
                   const CueLine& line, std::string_view line_break, std::string& text,
                   CueValues& values) {
  // Fields in hundredths come from the times rounded to centiseconds, those
  // in milliseconds from the times as they are.
  const MsSplit start = SplitToHundredths(cue.Start);
  const MsSplit stop = SplitToHundredths(cue.Stop);
  const MsSplit start_ms = SplitThroughMs(cue.Start);
  const MsSplit stop_ms = SplitThroughMs(cue.Stop);
  const std::int64_t duration = Centiseconds(cue.Stop) - Centiseconds(cue.Start);
  const std::int64_t duration_seconds = FloorDiv(duration, 100);
  bool text_used = false;
  for (const CueField field : line.fields) {
    if (field == kEndOfFields) break;
    switch (field) {
      case kEndOfFields:
        break;
      case kIndex:
        values.emplace_back(index);
        break;
      case kNumber:
        values.emplace_back(index + 1);
        break;
      case kStartTimecode:
        values.insert(values.end(), {start.hours, start.minutes, start.seconds, start.hundredths});
        break;
      case kStopTimecode:
        values.insert(values.end(), {stop.hours, stop.minutes, stop.seconds, stop.hundredths});
        break;
      case kStartHours:
        values.emplace_back(start.hours);
        break;
      case kStartMinutes:
        values.emplace_back(start.minutes);
        break;
      case kStartSeconds:
        values.emplace_back(start.seconds);
        break;
      case kStartHundredths:
        values.emplace_back(start.hundredths);
        break;
      case kStartMilliseconds:
        values.emplace_back(start_ms.milliseconds);
        break;
      case kStopHours:
        values.emplace_back(stop.hours);
        break;
      case kStopMinutes:
        values.emplace_back(stop.minutes);
        break;
      case kStopSeconds:
        values.emplace_back(stop.seconds);
        break;
      case kStopHundredths:
        values.emplace_back(stop.hundredths);
        break;
      case kStopMilliseconds:
        values.emplace_back(stop_ms.milliseconds);
        break;
      case kStartTotalMs:
        values.emplace_back(cue.Start);
        break;
      case kStopTotalMs:
        values.emplace_back(cue.Stop);
        break;
      case kStartCentiseconds:
        values.emplace_back(Centiseconds(cue.Start));
        break;
      case kStopCentiseconds:
        values.emplace_back(Centiseconds(cue.Stop));

        break;
      case kStartRounded: {
        const SecondsSplit t = SplitThroughRoundedSeconds(cue.Start);
        values.insert(values.end(), {t.hours, t.minutes, t.seconds});
        break;
      }
      case kStopRounded: {
        const SecondsSplit t = SplitThroughRoundedSeconds(cue.Stop);
        values.insert(values.end(), {t.hours, t.minutes, t.seconds});
        break;
      }
      case kStartFrame:
        values.emplace_back(TimeToFrames(cue.Start, doc.FrameRate()));
        break;
      case kStopFrame:
        values.emplace_back(TimeToFrames(cue.Stop, doc.FrameRate()));
        break;
      case kDurationSeconds:
        values.emplace_back(duration_seconds);
        break;
      case kDurationHundredths:
        values.emplace_back(duration - 100 * duration_seconds);
        break;
      case kText:
      case kMarkupText:
      case kSubStationText:
        // One text per line at most: the values point into this string.
        if (text_used) BadTemplate(line.format, "text used twice");
        text_used = true;
        text.clear();
        if (field == kSubStationText) {
          text.append(AnTag(doc, cue));
        } else {
          DropPlace(doc, cue);
        }
        AppendCueText(text, doc, cue.Text,
                      field == kText         ? kPlainDialect
                      : field == kMarkupText ? kHtmlDialect
                                             : kSubStationDialect,
                      line_break);
        values.emplace_back(std::string_view(text));
        break;
      case kStartTotalMinutes:
      case kStopTotalMinutes: {
        const MsSplit t = field == kStartTotalMinutes ? start : stop;
        values.insert(values.end(), {t.hours * 60 + t.minutes, t.seconds, t.hundredths});
        break;
      }
    }
  }
}

// The cue lines of a layout, compiled once for a whole document.
class CompiledCueLines {
 public:
  CompiledCueLines(std::span<const CueLine> lines, std::string_view line_break)
      : lines_(lines), line_break_(line_break) {
    templates_.reserve(lines.size());
    for (const CueLine& line : lines) templates_.emplace_back(line.format);
  }
  std::size_t size() const { return lines_.size(); }
  // Appends line k of cue, the one at index in the output, to a string or
  // a sink.
  template <typename Out>
  void AppendTo(Out& out, const TSubtitles& doc, const SubtitleCue& cue, std::size_t index,
                std::size_t k) {
    CueValues values;
    FillCueValues(doc, cue, index, lines_[k], line_break_, text_, values);
    templates_[k].AppendTo(out, values.span());
  }

 private:
  std::span<const CueLine> lines_;
  std::string_view line_break_;
  std::vector<CompiledTemplate> templates_;
  std::string text_;  // the scratch for the cue text, reused from cue to cue
};

}  // namespace

std::string FormatCueLine(const TSubtitles& doc, std::size_t index, const CueLine& line,
                          std::string_view line_break) {
  std::string text;
  CueValues values;
  FillCueValues(doc, doc.Cues.at(index), index, line, line_break, text, values);
  return FormatTemplate(line.format, values.span());
}

void AddCueLines(const TSubtitles& doc, std::size_t index, std::span<const CueLine> cue,
                 std::string_view line_break, LineList& lines) {
  for (const CueLine& line : cue) lines.push_back(FormatCueLine(doc, index, line, line_break));
}

void WriteLayout(const TSubtitles& doc, LineList& lines, const WriterLayout& layout) {
  CompiledCueLines cue(layout.cue, layout.line_break);
  AddLines(lines, layout.header);
  lines.reserve(lines.size() + doc.Cues.size() * cue.size() + layout.footer.size());
  for (std::size_t i = 0; i < doc.Cues.size(); ++i) {
    for (std::size_t k = 0; k < cue.size(); ++k) {
      std::string line;
      cue.AppendTo(line, doc, doc.Cues[i], i, k);
      lines.push_back(std::move(line));
    }
  }
  AddLines(lines, layout.footer);
}

void WriteLayout(const TSubtitles& doc, OutputSink& out, const WriterLayout& layout,
                 const StreamPart& part) {
  if (WritesHead(part)) {
    for (const char* line : layout.header) out.Line(line);
  }
  const std::span<const SubtitleCue> cues = CuesOf(doc, part);
  if (!cues.empty()) {
    CompiledCueLines cue(layout.cue, layout.line_break);
    for (std::size_t i = 0; i < cues.size(); ++i) {
      for (std::size_t k = 0; k < cue.size(); ++k) {
        cue.AppendTo(out, doc, cues[i], part.first + i, k);
        out.EndLine();
      }
    }
  }
  if (WritesTail(part)) {
    for (const char* line : layout.footer) out.Line(line);
  }
}

}  // namespace vorlane
