// MicroDVD: one line per cue, "{start frame}{stop frame}text", the text's
// lines separated by "|". Times are frame numbers, so both directions
// convert through the document's frame rate.
#include <cstring>
#include <optional>
#include <string>

#include "subtitles/cue_text.h"
#include "subtitles/decimal.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/output_sink.h"

namespace vorlane {

namespace {

// The places of the two frame fields in a cue line: the line is a cue when
// it begins with "{" and holds "}{" and then "}".
struct CuePlaces {
  int p1 = 0;  // position of "}{"
  int p2 = 0;  // position of the "}" after it
};

std::optional<CuePlaces> FrameCueLine(std::string_view line) {
  if (!StartsWith(line, "{")) return std::nullopt;
  const int p1 = PosEx("}{", line, 2);
  if (p1 == 0) return std::nullopt;
  const int p2 = PosEx("}", line, p1 + 2);
  if (p2 == 0) return std::nullopt;
  return CuePlaces{p1, p2};
}

// The rate of a cue "{1}{1}23.976" or "{0}{0}25": a frame rate in decimal,
// "." or "," before its fraction, blanks around it allowed. 0 for any other
// cue.
double RateOfCue(std::string_view line, const CuePlaces& at) {
  const std::string start = CopyRange(line, 2, at.p1);
  if ((start != "0" && start != "1") || CopyRange(line, at.p1 + 2, at.p2) != start) return 0;
  std::string text = CopyTail(line, at.p2 + 1);
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return 0;
  text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
  int digits = 0;
  bool point = false;
  for (char& c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if ((c == '.' || c == ',') && !point && digits > 0) {
      point = true;
      c = '.';
    } else {
      return 0;
    }
  }
  if (digits == 0 || digits > 12 || text.back() == '.') return 0;
  const double rate = StrToFloat(text, '.');
  // Frame rates of real video lie far inside this.
  return rate >= 1 && rate < 1000 ? rate : 0;
}

}  // namespace

namespace {

// The styles a control code ("y:i,b", "c:$0000FF") adds to line.
void ApplyControlCode(std::string_view code, StyledLine& line, std::uint8_t& place) {
  const char kind = static_cast<char>(code[0] | 0x20);
  const std::string_view value = code.substr(2);
  if (kind == 'y') {
    for (char c : value) {
      c = static_cast<char>(c | 0x20);
      if (c == 'i') line.italic = true;
      if (c == 'b') line.bold = true;
      if (c == 'u') line.underline = true;
    }
  } else if (kind == 'c' && value.size() == 7 && value[0] == '$') {
    // $BBGGRR
    if (const auto bgr = ParseColour(value.substr(1))) {
      const Colour c = (*bgr & 0xFF) << 16 | (*bgr & 0xFF00) | (*bgr >> 16 & 0xFF);
      if (c != 0xFFFFFF) line.colour = c;
    }
  } else if (kind == 'p' && code[0] == 'P' && !value.empty() && value[0] == '1') {
    place = 8;  // {P:1}: the cue stands at the top
  }
}

}  // namespace

void MicroDVDTextToModel(SubtitleCue& cue) {
  const std::string& text = cue.Text;
  // One search for both bytes (std::string::find_first_of calls memchr once
  // for every byte it passes).
  if (std::strpbrk(text.c_str(), "{/") == nullptr) return;
  // Upper-case codes hold for the whole cue, lower-case ones for their line;
  // a line that opens with '/' is italic.
  StyledLine whole;
  std::vector<StyledLine> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\r', start);
    std::string_view line =
        std::string_view(text).substr(start, end == std::string::npos ? end : end - start);
    StyledLine styled;
    while (line.size() >= 4 && line[0] == '{' && line[2] == ':' &&
           ((line[1] | 0x20) >= 'a' && (line[1] | 0x20) <= 'z')) {
      const std::size_t close = line.find('}');
      if (close == std::string_view::npos) break;
      const std::string_view code = line.substr(1, close - 1);
      const bool upper = code[0] >= 'A' && code[0] <= 'Z';
      ApplyControlCode(code, upper ? whole : styled, cue.Place);
      line.remove_prefix(close + 1);
    }
    if (line.size() > 1 && line[0] == '/') {
      styled.italic = true;
      line.remove_prefix(1);
    }
    styled.text = line;
    lines.push_back(std::move(styled));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::string out;
  for (StyledLine& line : lines) {
    line.italic = line.italic || whole.italic;
    line.bold = line.bold || whole.bold;
    line.underline = line.underline || whole.underline;
    if (!line.colour) line.colour = whole.colour;
    if (!out.empty() || &line != &lines.front()) out.push_back('\r');
    out += line.text.empty() ? std::string() : StyledLineText(line);
  }
  cue.Text = std::move(out);
}

double MicroDVDFileFrameRate(const LineViews& lines) {
  for (std::string_view line : lines) {
    if (const auto at = FrameCueLine(line)) return RateOfCue(line, *at);
  }
  return 0;
}

void ReadMicroDVD(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  const double rate = doc.FrameRate();
  // Without a usable rate no frame can be converted; the loader never calls
  // this reader then, and a direct call reads nothing rather than dividing
  // by zero.
  if (!(rate > 0)) return;
  bool first_cue = true;
  ForEachLine(lines, [&](std::string_view line) {
    const auto at = FrameCueLine(line);
    if (!at) return;
    // A first cue that gives the file's frame rate is not shown.
    const bool first = first_cue;
    first_cue = false;
    if (first && RateOfCue(line, *at) > 0) return;
    const std::int32_t start_frame = StrToInt(CopyRange(line, 2, at->p1));
    const std::int32_t stop_frame = StrToInt(CopyRange(line, at->p1 + 2, at->p2));
    SubtitleCue cue;
    // A frame number too large for the rate fails the read as a corrupted
    // file instead of wrapping into a wrong time.
    const bool precise = !doc.ClassicReading();
    cue.Start = FramesToTime(start_frame, rate, precise);
    cue.Stop = FramesToTime(stop_frame, rate, precise);

    // Anything after the second "}" is text, formatting codes in braces
    // included.
    cue.Text = ReplaceAll(CopyTail(line, at->p2 + 1), "|", "\r");
    if (precise) MicroDVDTextToModel(cue);
    cues.push_back(std::move(cue));
  });
}

namespace {

// "{c:$BBGGRR}" (or "{C:..." for the whole cue) for a colour.
void AppendMicroDVDColour(std::string& out, char tag, Colour colour) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '{';
  out += tag;
  out += ":$";
  for (const int shift : {4, 0, 12, 8, 20, 16}) out += kHex[colour >> shift & 0xF];
  out += '}';
}

// The cue text in MicroDVD's own markup: a style that holds for every line
// is written once for the cue ("{Y:i}"), one that holds for a whole line in
// front of it ("{y:i}"). A style over part of a line cannot be shown: it is
// dropped and counted.
void AppendMicroDVDText(std::string& out, const TSubtitles& doc, std::string_view text) {
  std::vector<StyledLine> lines = StyledLines(text);
  for (StyledLine& line : lines) {
    if (!line.partial) continue;
    ++doc.Dropped.styles;
    line.italic = line.bold = line.underline = false;
    line.colour.reset();
  }
  auto all = [&](auto has) { return std::all_of(lines.begin(), lines.end(), has); };
  const bool italic = all([](const StyledLine& l) { return l.italic; });
  const bool bold = all([](const StyledLine& l) { return l.bold; });
  const bool underline = all([](const StyledLine& l) { return l.underline; });
  const std::optional<Colour> colour = lines.front().colour;
  const bool one_colour = colour && all([&](const StyledLine& l) { return l.colour == colour; });
  if (italic) out += "{Y:i}";
  if (bold) out += "{Y:b}";
  if (underline) out += "{Y:u}";
  if (one_colour) AppendMicroDVDColour(out, 'C', *colour);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const StyledLine& line = lines[i];
    if (i > 0) out += '|';
    if (line.italic && !italic) out += "{y:i}";
    if (line.bold && !bold) out += "{y:b}";
    if (line.underline && !underline) out += "{y:u}";
    if (line.colour && !one_colour) AppendMicroDVDColour(out, 'c', *line.colour);
    out += line.text;
  }
}

// Frames are printed in 64 bits: at a high rate a long time can count more
// frames than a 32-bit number holds.
template <typename Emit>
void EachMicroDVDLine(const TSubtitles& doc, std::span<const SubtitleCue> cues, Emit emit) {
  static const CompiledTemplate compiled("{%d}{%d}%s");
  const double rate = doc.FrameRate();
  std::string text;
  for (const auto& cue : cues) {
    text.clear();
    if (doc.ClassicReading() || cue.Text.find('<') == std::string::npos) {
      AppendWithBreaks(text, cue.Text, "|");
    } else {
      AppendMicroDVDText(text, doc, cue.Text);
    }
    DropPlace(doc, cue);
    emit([&](auto& out) {
      compiled.AppendTo(out, {TimeToFrames(cue.Start, rate), TimeToFrames(cue.Stop, rate), text});
    });
  }
}

}  // namespace

void WriteMicroDVD(const TSubtitles& doc, LineList& lines) {
  EachMicroDVDLine(doc, doc.Cues, [&](auto append) {
    std::string line;
    append(line);
    lines.push_back(std::move(line));
  });
}

void StreamMicroDVD(const TSubtitles& doc, OutputSink& out, const StreamPart& part) {
  EachMicroDVDLine(doc, CuesOf(doc, part), [&](auto append) {
    append(out);
    out.EndLine();
  });
}

}  // namespace vorlane
