// SAMI: an HTML-like file of <SYNC Start=ms> blocks, each shown until the
// next one. Real files are HTML rather than XML (unclosed <P>, any case,
// style sheets in comments), so they are read with a tolerant tag scanner.
// The writer's fixed header sets up one English class; it writes the cue
// text as it stands, unescaped, with "<br>" for its line breaks.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/markup_text.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

constexpr const char* kSAMIHeader[] = {
    "<SAMI>",
    "<HEAD>",
    "<title>FILM",
    "</title>",
    "<!-- SuperSub",
    "-->",
    "<style type=\"text / css\">",
    "<!--",
    "P {margin-left:8pt;",
    "margin-right:8pt;",
    "margin-bottom:2pt;",
    "margin-top:2pt;",
    "text-align:center;",
    "font-size:28pt;",
    "font-family:arial, sans-serif;",
    "font-weight:normal;",
    "color:yellow;}",
    ".ENCC {Name:English;",
    "lang:en-US;",
    "SAMIType:CC;}",
    "#STDPrn",
    "{Name:Standard Print;",
    "font-size:28pt;}",
    "#LargePrn {Name:Large",
    "Print; font-size:22pt;}",
    "#SmallPrn {Name:Small",
    "Print; font-size:20pt;}",
    "-->",
    "</style>",
    "</head><body>",
};
// The stop is a sync point of its own that blanks the screen.
constexpr CueLine kSAMICue[] = {
    {"<Sync Start=%d><P>%s", {kStartTotalMs, kMarkupText}},
    {"<Sync Start=%d><P>&nbsp;", {kStopTotalMs}},
};
constexpr const char* kSAMIFooter[] = {"</BODY>", "</SAMI>"};

// How long the last cue lasts when no SYNC ends it.
constexpr std::int64_t kLastCueLength = 3000;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// A tag as the scanner found it: its name in lower case ("sync", "/p") and
// the text between the name and the closing '>'.
struct Tag {
  std::string name;
  std::string_view attributes;
};

// The value of an attribute (name in lower case), quoted or not; empty when
// the attribute is missing.
std::string AttributeValue(std::string_view attributes, std::string_view name) {
  std::size_t i = 0;
  while (i < attributes.size()) {
    while (i < attributes.size() && (IsSpace(attributes[i]) || attributes[i] == '/')) ++i;
    const std::size_t name_start = i;
    while (i < attributes.size() && !IsSpace(attributes[i]) && attributes[i] != '=') ++i;
    const std::string key = Lower(attributes.substr(name_start, i - name_start));
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    std::string_view value;
    if (i < attributes.size() && attributes[i] == '=') {
      ++i;
      while (i < attributes.size() && IsSpace(attributes[i])) ++i;
      if (i < attributes.size() && (attributes[i] == '"' || attributes[i] == '\'')) {
        const char quote = attributes[i++];
        const std::size_t end = std::min(attributes.find(quote, i), attributes.size());
        value = attributes.substr(i, end - i);
        i = end + 1;
      } else {
        const std::size_t start = i;
        while (i < attributes.size() && !IsSpace(attributes[i])) ++i;
        value = attributes.substr(start, i - start);
      }
    }
    if (key == name) return std::string(value);
    if (key.empty()) ++i;
  }
  return {};
}

// One SYNC block: its start and its text per language class ("" for text
// outside a classed <P>).
struct SyncBlock {
  std::int64_t start = 0;
  std::map<std::string, std::string> text;
};

// HTML text as cue text: white space collapsed, each line trimmed.
std::string CollapseSpace(std::string_view raw) {
  std::string out;
  bool space = false;
  for (char c : raw) {
    if (c == '\r') {
      while (!out.empty() && out.back() == ' ') out.pop_back();
      out += '\r';
      space = false;
    } else if (IsSpace(c)) {
      space = !out.empty() && out.back() != '\r';
    } else {
      if (space) out += ' ';
      space = false;
      out += c;
    }
  }
  return out;
}

// The text of one language with its tags and spacing settled: empty when
// nothing but white space (&nbsp; included) is left.
std::string BlockText(const std::string& raw) {
  std::string text = CollapseSpace(raw);
  // Line breaks at either end show nothing.
  const std::size_t first = text.find_first_not_of('\r');
  if (first == std::string::npos) return {};
  text = text.substr(first, text.find_last_not_of('\r') - first + 1);
  std::string visible = text;
  for (std::string_view tag : {"<i>", "</i>", "<b>", "</b>", "<u>", "</u>", "\r", " "}) {
    visible = ReplaceAll(visible, tag, "");
  }
  return visible.empty() ? std::string() : text;
}

}  // namespace

bool IsSAMI(const LineViews& lines) {
  for (const auto& line : HeadOf(lines)) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos) continue;
    if (StartsWith(line.substr(i), "\xEF\xBB\xBF")) i += 3;
    return Lower(line.substr(i, 5)) == "<sami";
  }
  return false;
}

void ReadSAMI(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  const JoinedText joined(lines);
  const std::string_view text = joined.text();
  std::vector<SyncBlock> blocks;
  std::string language;         // the class read: the first one a block uses
  std::string current;          // the class of the paragraph being read
  std::string* sink = nullptr;  // the text of the block and class being read
  CueTolerance tolerance(doc);
  auto add = [&](std::string_view s) {
    if (sink != nullptr) *sink += s;
  };
  auto read_into = [&](const std::string& language_class) {
    current = language_class;
    if (sink != nullptr) sink = &blocks.back().text[current];
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '&') {
      std::string decoded;
      const std::size_t taken = AppendCharReference(text, i, decoded);
      add(taken == 0 ? std::string_view("&") : std::string_view(decoded));
      i += taken == 0 ? 1 : taken;
      continue;
    }
    const bool tag_start = c == '<' && i + 1 < text.size() &&
                           (std::isalpha(static_cast<unsigned char>(text[i + 1])) ||
                            text[i + 1] == '/' || text[i + 1] == '!');
    if (!tag_start) {
      add(std::string_view(&text[i], 1));
      ++i;
      continue;
    }
    if (text.compare(i, 4, "<!--") == 0) {
      const std::size_t end = text.find("-->", i + 4);
      i = end == std::string_view::npos ? text.size() : end + 3;
      continue;
    }
    const std::size_t close = text.find('>', i);
    if (close == std::string_view::npos) {
      add(text.substr(i));
      break;
    }
    const std::string_view inner = text.substr(i + 1, close - i - 1);
    std::size_t name_end = 1;
    while (name_end < inner.size() && !IsSpace(inner[name_end]) && inner[name_end] != '/') {
      ++name_end;
    }
    const Tag tag{Lower(inner.substr(0, name_end)), inner.substr(name_end)};
    const int line = joined.LineOf(i);
    i = close + 1;
    if (tag.name == "sync") {
      const std::string start = AttributeValue(tag.attributes, "start");
      std::size_t digits = 0;
      while (digits < start.size() && std::isdigit(static_cast<unsigned char>(start[digits]))) {
        ++digits;
      }
      if (digits == 0 || digits > 12) {
        // Its text goes on in the block before, if there is one.
        tolerance.Malformed(
            line, "SYNC without a readable start time",
            blocks.empty() ? "its text left out" : "its text kept in the cue before");
        continue;
      }
      tolerance.Read();
      blocks.emplace_back();
      blocks.back().start = MillisecondsToTime(std::stod(start.substr(0, digits)), line);
      sink = &blocks.back().text[""];
      current.clear();
    } else if (tag.name == "/body" || tag.name == "/sami") {
      sink = nullptr;
    } else if (tag.name == "p") {
      read_into(Lower(AttributeValue(tag.attributes, "class")));
      if (sink != nullptr && language.empty()) language = current;
    } else if (tag.name == "/p" || tag.name == "/sync") {
      read_into("");
    } else if (tag.name == "br") {
      add("\r");
    } else {
      add(KeptStyleTag(tag.name));
    }
  }
  tolerance.Check();
  std::vector<std::string> texts;
  for (const auto& block : blocks) {
    auto it = block.text.find(language);
    if (it == block.text.end()) it = block.text.find("");
    texts.push_back(it == block.text.end() ? std::string() : BlockText(it->second));
  }
  // A block without text of the language read ends the cue before it.
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    if (texts[b].empty()) continue;
    const std::int64_t start = blocks[b].start;
    const std::int64_t stop =
        b + 1 < blocks.size() ? blocks[b + 1].start : std::min(start + kLastCueLength, kLatestTime);

    doc.Cues.push_back({start, stop, texts[b]});
  }
}

constexpr WriterLayout kSAMILayout{kSAMIHeader, kSAMICue, "<br>", kSAMIFooter};

void WriteSAMI(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, kSAMILayout);
}

void StreamSAMI(const TSubtitles& doc, OutputSink& out, const StreamPart& part) {
  WriteLayout(doc, out, kSAMILayout, part);
}

}  // namespace vorlane
