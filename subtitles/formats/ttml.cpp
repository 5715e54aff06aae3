// TTML (and its older name DFXP): an XML document whose <tt> root holds a
// <body> of <div>s of timed <p> paragraphs. Read with pugixml, matching
// elements and attributes by their local names, since real files use every
// prefix and the older DFXP namespaces.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/markup_text.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

// How long a paragraph lasts when nothing gives its end.
constexpr double kOpenEndSeconds = 3;
// Times that differ by less are the same time.
constexpr double kTolerance = 0.01;

std::string_view LocalName(std::string_view name) {
  const std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool Is(const pugi::xml_node& node, std::string_view local) {
  return node.type() == pugi::node_element && LocalName(node.name()) == local;
}

// The attribute with that local name, whatever its prefix; null when none.
pugi::xml_attribute Attribute(const pugi::xml_node& node, std::string_view local) {
  for (pugi::xml_attribute a : node.attributes()) {
    const std::string_view name = a.name();
    if (LocalName(name) == local && !StartsWith(name, "xmlns")) return a;
  }
  return {};
}

std::string_view Trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// A decimal number "12" or "1.5" taken whole from the front of s.
std::optional<double> TakeNumber(std::string_view& s) {
  std::size_t n = 0;
  while (n < s.size() && std::isdigit(static_cast<unsigned char>(s[n]))) ++n;
  if (n == 0) return std::nullopt;
  if (n < s.size() && s[n] == '.') {
    ++n;
    while (n < s.size() && std::isdigit(static_cast<unsigned char>(s[n]))) ++n;
  }
  // strtod gives infinity or 0 where stod would throw on a long number.
  const double value = std::strtod(std::string(s.substr(0, n)).c_str(), nullptr);
  s.remove_prefix(n);
  return value;
}

std::optional<std::int64_t> TakeInteger(std::string_view& s) {
  std::size_t n = 0;
  while (n < s.size() && std::isdigit(static_cast<unsigned char>(s[n]))) ++n;
  if (n == 0 || n > 15) return std::nullopt;
  const std::int64_t value = std::stoll(std::string(s.substr(0, n)));
  s.remove_prefix(n);
  return value;
}

// Every element below node, in document order, however deep: walked with
// a stack of its own, not by recursion.
void Descendants(const pugi::xml_node& node, std::vector<pugi::xml_node>& out) {
  std::vector<pugi::xml_node> next;  // the next sibling to visit, per level
  next.push_back(node.first_child());
  while (!next.empty()) {
    pugi::xml_node at = next.back();
    if (!at) {
      next.pop_back();
      continue;
    }
    next.back() = at.next_sibling();
    if (at.type() != pugi::node_element) continue;
    out.push_back(at);
    next.push_back(at.first_child());
  }
}

// The deepest nesting of elements read inside body: far beyond what any
// real file holds. Deeper, the file fails with the line where it goes on.
constexpr int kDeepestNesting = 256;

// The document's rates: frames (with the multiplier applied), sub-frames
// per frame and ticks per second.
struct Rates {
  double frame = 30;
  double sub_frame = 1;
  double tick = 1;
};

Rates ReadRates(const pugi::xml_node& root) {
  Rates rates;
  auto positive = [&](std::string_view local) -> std::optional<double> {
    std::string_view text = Trim(Attribute(root, local).value());
    const auto value = TakeNumber(text);
    if (!value || !text.empty() || !(*value > 0) || !std::isfinite(*value)) return std::nullopt;
    return value;
  };
  const auto frame = positive("frameRate");
  if (frame) rates.frame = *frame;
  // "1000 1001" (some tools write "1000:1001").
  std::string_view multiplier = Trim(Attribute(root, "frameRateMultiplier").value());
  const auto numerator = TakeNumber(multiplier);
  multiplier = Trim(multiplier);
  if (!multiplier.empty() && multiplier[0] == ':') multiplier = Trim(multiplier.substr(1));
  const auto denominator = TakeNumber(multiplier);
  if (numerator && denominator && *numerator > 0 && *denominator > 0 && multiplier.empty()) {
    rates.frame = rates.frame * *numerator / *denominator;
  }
  if (const auto sub = positive("subFrameRate")) rates.sub_frame = *sub;
  if (const auto tick = positive("tickRate")) {
    rates.tick = *tick;
  } else if (frame) {
    rates.tick = rates.frame * rates.sub_frame;
  }
  return rates;
}

// Seconds of a time expression: clock time "hh:mm:ss", "hh:mm:ss.fff",
// "hh:mm:ss:ff" or "hh:mm:ss:ff.s", or offset time "<number><metric>" with
// h, m, s, ms, f (frames) or t (ticks). Tolerated as real files have them: a
// comma before the fraction, "mm:ss.fff" and a bare number of seconds.
std::optional<double> ParseTime(std::string_view s, const Rates& rates) {
  s = Trim(s);
  std::string_view rest = s;
  const auto first = TakeInteger(rest);
  if (first && !rest.empty() && rest[0] == ':') {
    std::int64_t fields[3] = {*first, 0, 0};
    int n = 1;
    while (n < 3 && !rest.empty() && rest[0] == ':') {
      rest.remove_prefix(1);
      const auto field = TakeInteger(rest);
      if (!field) return std::nullopt;
      fields[n++] = *field;
    }
    double seconds = n == 3 ? static_cast<double>((fields[0] * 60 + fields[1]) * 60 + fields[2])
                            : static_cast<double>(fields[0] * 60 + fields[1]);
    if (!rest.empty() && (rest[0] == '.' || rest[0] == ',')) {
      rest.remove_prefix(1);
      std::size_t digits = 0;
      while (digits < rest.size() && std::isdigit(static_cast<unsigned char>(rest[digits]))) {
        ++digits;
      }
      if (digits == 0) return std::nullopt;
      seconds += std::strtod(("0." + std::string(rest.substr(0, digits))).c_str(), nullptr);
      rest.remove_prefix(digits);
    } else if (n == 3 && !rest.empty() && rest[0] == ':') {
      rest.remove_prefix(1);
      const auto frames = TakeInteger(rest);
      if (!frames) return std::nullopt;
      seconds += static_cast<double>(*frames) / rates.frame;
      if (!rest.empty() && rest[0] == '.') {
        rest.remove_prefix(1);
        const auto sub = TakeInteger(rest);
        if (!sub) return std::nullopt;
        seconds += static_cast<double>(*sub) / (rates.sub_frame * rates.frame);
      }
    }
    if (!rest.empty()) return std::nullopt;
    return seconds;
  }
  rest = s;
  const auto count = TakeNumber(rest);
  if (!count) return std::nullopt;
  if (rest.empty() || rest == "s") return *count;
  if (rest == "h") return *count * 3600;
  if (rest == "m") return *count * 60;
  if (rest == "ms") return *count / 1000;
  if (rest == "f") return *count / rates.frame;
  if (rest == "t") return *count / rates.tick;
  return std::nullopt;
}

// Italic, bold and underline as a style sets them: -1 where it says
// nothing, so that what it inherits shows through.
struct StyleSet {
  int italic = -1;
  int bold = -1;
  int underline = -1;
};

struct Style {
  bool italic = false;
  bool bold = false;
  bool underline = false;
};

class Reader {
 public:
  Reader(const JoinedText& joined, std::size_t shift, CueTolerance& tolerance)
      : joined_(joined), shift_(shift), tolerance_(tolerance) {}

  void Read(const pugi::xml_node& root, std::vector<SubtitleCue>& cues) {
    rates_ = ReadRates(root);
    for (pugi::xml_node node : root.children()) {
      if (!Is(node, "head")) continue;
      std::vector<pugi::xml_node> elements;
      Descendants(node, elements);
      for (const pugi::xml_node& style : elements) {
        if (!Is(style, "style")) continue;
        const char* id = style.attribute("xml:id").value();
        if (*id != '\0') style_nodes_[id] = style;
      }
    }
    const pugi::xml_node body = [&] {
      for (pugi::xml_node node : root.children()) {
        if (Is(node, "body")) return node;
      }
      return pugi::xml_node();
    }();
    if (!body) return;
    Interval whole;
    try {
      whole = Timing(body, {}, 0);
    } catch (const SubtitleError& error) {
      tolerance_.Warn(error.Line(), std::string(error.what()) + "; the time ignored");
    }
    const bool preserve = Preserves(body, Preserves(root, false));
    Walk(body, whole, preserve, Apply(body, Style{}), cues);
    tolerance_.Check();
    std::stable_sort(cues.begin(), cues.end(),
                     [](const SubtitleCue& a, const SubtitleCue& b) { return a.Start < b.Start; });
  }

 private:
  struct Interval {
    std::optional<double> begin;
    std::optional<double> end;
  };

  [[noreturn]] void TooDeep(const pugi::xml_node& node) const {
    SubtitleError error("elements nested more than " + std::to_string(kDeepestNesting) +
                        " deep; no text this deep is read");
    error.SetLine(LineOf(node));
    throw error;
  }

  int LineOf(const pugi::xml_node& node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    return joined_.LineOf(offset < 0 ? 0 : static_cast<std::size_t>(offset) + shift_);
  }

  std::optional<double> Time(const pugi::xml_node& node, std::string_view local) const {
    const pugi::xml_attribute a = Attribute(node, local);
    if (!a) return std::nullopt;
    const auto seconds = ParseTime(a.value(), rates_);
    if (!seconds || !std::isfinite(*seconds)) {
      FailAtLine(LineOf(node), "unreadable TTML time " + std::string(local) + "=\"" +
                                   std::string(a.value()) + "\"");
    }
    return seconds;
  }

  Interval Timing(const pugi::xml_node& node, const Interval& inherited, double base) const {
    const auto begin = Time(node, "begin");
    const auto end = Time(node, "end");
    const auto dur = Time(node, "dur");
    Interval t;
    t.begin = begin ? base + *begin : inherited.begin;
    if (end) {
      t.end = base + *end;
    } else if (dur && t.begin) {
      t.end = *t.begin + *dur;
    } else {
      t.end = inherited.end;
    }
    return t;
  }

  static bool Preserves(const pugi::xml_node& node, bool inherited) {
    const std::string_view space = node.attribute("xml:space").value();
    if (space == "preserve") return true;
    if (space == "default") return false;
    return inherited;
  }

  // What a <style> element sets, with the styles it refers to beneath.
  StyleSet Resolve(const std::string& id, int depth) {
    const auto known = resolved_.find(id);
    if (known != resolved_.end()) return known->second;
    StyleSet set;
    const auto node = style_nodes_.find(id);
    if (node != style_nodes_.end() && depth < 8) set = Own(node->second, depth + 1);
    resolved_[id] = set;
    return set;
  }

  // The styles an element refers to, then its own attributes over them.
  StyleSet Own(const pugi::xml_node& node, int depth) {
    StyleSet set;
    const std::string refs = Attribute(node, "style").value();
    std::size_t pos = 0;
    while (pos < refs.size()) {
      const std::size_t end = std::min(refs.find(' ', pos), refs.size());
      if (end > pos) {
        const StyleSet ref = Resolve(refs.substr(pos, end - pos), depth);
        if (ref.italic >= 0) set.italic = ref.italic;
        if (ref.bold >= 0) set.bold = ref.bold;
        if (ref.underline >= 0) set.underline = ref.underline;
      }
      pos = end + 1;
    }
    if (const auto a = Attribute(node, "fontStyle")) {
      const std::string_view v = a.value();
      set.italic = v == "italic" || v == "oblique";
    }
    if (const auto a = Attribute(node, "fontWeight")) {
      set.bold = std::string_view(a.value()) == "bold";
    }
    if (const auto a = Attribute(node, "textDecoration")) {
      const std::string_view v = a.value();
      if (Contains(v, "noUnderline") || v == "none") {
        set.underline = 0;
      } else if (Contains(v, "underline")) {
        set.underline = 1;
      }
    }
    return set;
  }

  Style Apply(const pugi::xml_node& node, Style style) {
    const StyleSet set = Own(node, 0);
    if (set.italic >= 0) style.italic = set.italic;
    if (set.bold >= 0) style.bold = set.bold;
    if (set.underline >= 0) style.underline = set.underline;
    return style;
  }

  static void Open(std::string& out, const Style& from, const Style& to) {
    if (to.italic && !from.italic) out += "<i>";
    if (to.bold && !from.bold) out += "<b>";
    if (to.underline && !from.underline) out += "<u>";
  }
  static void Close(std::string& out, const Style& from, const Style& to) {
    if (to.underline && !from.underline) out += "</u>";
    if (to.bold && !from.bold) out += "</b>";
    if (to.italic && !from.italic) out += "</i>";
  }

  void AddText(const pugi::xml_node& node, const Style& style, bool preserve, std::string& out,
               int depth) {
    if (depth > kDeepestNesting) TooDeep(node);
    for (pugi::xml_node child : node.children()) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        for (const char* c = child.value(); *c != '\0'; ++c) {
          if (*c == '\n' && preserve) {
            out += '\r';
          } else if (*c == '\n' || *c == '\t' || *c == '\r') {
            out += ' ';
          } else {
            out += *c;
          }
        }
      } else if (Is(child, "br")) {
        out += '\r';
      } else if (child.type() == pugi::node_element && !Is(child, "metadata") &&
                 !Is(child, "set")) {
        const Style inner = Apply(child, style);
        Open(out, style, inner);
        AddText(child, inner, Preserves(child, preserve), out, depth + 1);
        Close(out, style, inner);
      }
    }
  }

  // The paragraph's text: spaces collapsed, every line trimmed, and empty
  // lines at either end left out.
  static std::string Tidy(const std::string& raw) {
    std::vector<std::string> lines;
    std::string line;
    auto finish = [&] {
      lines.emplace_back(Trim(line));
      line.clear();
    };
    for (char c : raw) {
      if (c == '\r') {
        finish();
      } else if (c != ' ' || (!line.empty() && line.back() != ' ')) {
        line += c;
      }
    }
    finish();
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    std::string text;
    for (std::size_t i = first; i < lines.size(); ++i) {
      if (i > first) text += '\r';
      text += lines[i];
    }
    std::string visible = text;
    for (std::string_view tag : {"<i>", "</i>", "<b>", "</b>", "<u>", "</u>", "\r"}) {
      visible = ReplaceAll(visible, tag, "");
    }
    return visible.empty() ? std::string() : text;
  }

  void Walk(const pugi::xml_node& parent, const Interval& inherited, bool preserve,
            const Style& style, std::vector<SubtitleCue>& cues, int depth = 0) {
    if (depth > kDeepestNesting) TooDeep(parent);
    // Children are timed from their parent's begin, as the standard has
    // it, unless they all begin at or after it: tools that write absolute
    // times repeat the parent's begin on its first child.
    double base = 0;
    if (inherited.begin && *inherited.begin > 0) {
      for (pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element) continue;
        std::optional<double> begin;
        try {
          begin = Time(child, "begin");
        } catch (const SubtitleError&) {
          continue;  // told where the child is read
        }
        if (begin && *begin < *inherited.begin - kTolerance) {
          base = *inherited.begin;
          break;
        }
      }
    }
    for (pugi::xml_node child : parent.children()) {
      if (child.type() != pugi::node_element) continue;
      const bool paragraph = Is(child, "p");
      Interval t = inherited;
      try {
        t = Timing(child, inherited, base);
        if (paragraph && !Attribute(child, "begin")) SpanTiming(child, t);
      } catch (const SubtitleError& error) {
        // A paragraph is left out; a division is read with the times it
        // inherits.
        if (paragraph) {
          tolerance_.Malformed(error.Line(), error.what());
          continue;
        }
        tolerance_.Warn(error.Line(), std::string(error.what()) + "; the time ignored");
      }
      const bool keep = Preserves(child, preserve);
      if (paragraph) {
        tolerance_.Read();
        const Style own = Apply(child, style);
        std::string raw;
        Open(raw, Style{}, own);
        AddText(child, own, keep, raw, 0);
        Close(raw, Style{}, own);
        std::string text = Tidy(raw);
        if (text.empty()) continue;
        const int line = LineOf(child);
        const double begin = t.begin.value_or(0);
        const double end = t.end.value_or(begin + kOpenEndSeconds);
        cues.push_back({SecondsToTime(begin, line), SecondsToTime(end, line), std::move(text)});
      } else if (Is(child, "div") || Is(child, "body")) {
        Walk(child, t, keep, Apply(child, style), cues, depth + 1);
      }
    }
  }

  // A paragraph timed on its spans only lasts from the first to the last.
  void SpanTiming(const pugi::xml_node& p, Interval& t) const {
    std::optional<double> first;
    std::optional<double> last;
    std::vector<pugi::xml_node> spans;
    Descendants(p, spans);
    for (const pugi::xml_node& span : spans) {
      const Interval s = Timing(span, {}, 0);
      if (s.begin && (!first || *s.begin < *first)) first = s.begin;
      if (s.end && (!last || *s.end > *last)) last = s.end;
    }
    if (!first) return;
    t.begin = first;
    const auto own_end = Time(p, "end");
    if (own_end) {
      t.end = own_end;
    } else if (last) {
      t.end = last;
    }
  }

  const JoinedText& joined_;
  std::size_t shift_;
  CueTolerance& tolerance_;
  Rates rates_;
  std::map<std::string, pugi::xml_node> style_nodes_;
  std::map<std::string, StyleSet> resolved_;
};

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Where the root element's name starts, past a byte order mark, the XML
// declaration, comments and a document type; npos when the text has none.
std::size_t RootNameStart(std::string_view text) {
  std::size_t i = StartsWith(text, kBom) ? kBom.size() : 0;
  while (true) {
    i = text.find_first_not_of(" \t\r\n", i);
    if (i == std::string_view::npos || text[i] != '<' || i + 1 >= text.size()) {
      return std::string_view::npos;
    }
    std::string_view close = ">";
    if (text[i + 1] == '?') {
      close = "?>";
    } else if (text.compare(i, 4, "<!--") == 0) {
      close = "-->";
    } else if (text[i + 1] != '!') {
      return i + 1;
    }
    const std::size_t end = text.find(close, i + 2);
    if (end == std::string_view::npos) return std::string_view::npos;
    i = end + close.size();
  }
}

std::string Clock(std::int64_t time) {
  // TTML has no negative times: an earlier time is shown from the start.
  const MsSplit t = SplitThroughMs(time < 0 ? 0 : time);
  return Format("%.2lld:%.2lld:%.2lld.%.3lld", static_cast<long long>(t.hours),
                static_cast<long long>(t.minutes), static_cast<long long>(t.seconds),
                static_cast<long long>(t.milliseconds));
}

constexpr std::string_view kSpanOpen[] = {
    "<span tts:fontStyle=\"italic\">",
    "<span tts:fontWeight=\"bold\">",
    "<span tts:textDecoration=\"underline\">",
};

int StyleIndex(char style) {
  return style == 'i' ? 0 : style == 'b' ? 1 : 2;
}

// Cue text as paragraph content: XML specials escaped, line breaks as
// <br/>, the kept style tags as styled spans, nested properly even where
// the cue's own tags overlap or are left open.
std::string ParagraphContent(const std::string& text) {
  std::string out;
  std::vector<char> open;
  for (const CuePiece& piece : CuePieces(text)) {
    switch (piece.kind) {
      case CuePiece::kText:
        AppendEscapedText(out, piece.text, true);
        break;
      case CuePiece::kOpen:
        out += kSpanOpen[StyleIndex(piece.style)];
        open.push_back(piece.style);
        break;
      case CuePiece::kClose: {
        const auto it = std::find(open.rbegin(), open.rend(), piece.style);
        if (it == open.rend()) break;  // closes nothing
        const std::size_t keep = static_cast<std::size_t>(open.rend() - it) - 1;
        for (std::size_t i = open.size(); i > keep; --i) out += "</span>";
        // Styles opened inside the closed one go on.
        for (std::size_t i = keep + 1; i < open.size(); ++i) {
          out += kSpanOpen[StyleIndex(open[i])];
        }
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(keep));
        break;
      }
      case CuePiece::kBreak:
        out += "<br/>";
        break;
    }
  }
  for (std::size_t i = 0; i < open.size(); ++i) out += "</span>";
  return out;
}

// The same from the program's styles with colours, for the default
// setting.
std::string StyledParagraphContent(std::string_view text) {
  if (text.find_first_of("<>&") == std::string_view::npos &&
      std::all_of(text.begin(), text.end(),
                  [](char c) { return static_cast<unsigned char>(c) >= 0x20 || c == '\t'; })) {
    return std::string(text);
  }
  std::string out;
  std::vector<StylePiece> open;  // the spans open, outermost first
  std::vector<bool> fonts;       // font tags open: whether each opened a colour
  auto span = [&](const StylePiece& piece) {
    if (piece.style == 'c') {
      out += Format("<span tts:color=\"#%06X\">", static_cast<unsigned>(piece.colour & 0xFFFFFF));
    } else {
      out += kSpanOpen[StyleIndex(piece.style)];
    }
  };
  for (const StylePiece& piece : StylePieces(text)) {
    switch (piece.kind) {
      case StylePiece::kText:
        AppendEscapedText(out, piece.text, true);
        break;
      case StylePiece::kBreak:
        out += "<br/>";
        break;
      case StylePiece::kOpen:
        if (piece.style == 'c' || piece.style == 'f') fonts.push_back(piece.style == 'c');
        if (piece.style == 'f') break;
        span(piece);
        open.push_back(piece);
        break;
      case StylePiece::kClose: {
        if (piece.style == 'c') {
          const bool colour = !fonts.empty() && fonts.back();
          if (!fonts.empty()) fonts.pop_back();
          if (!colour) break;
        }
        const auto it = std::find_if(open.rbegin(), open.rend(),
                                     [&](const StylePiece& o) { return o.style == piece.style; });
        if (it == open.rend()) break;  // closes nothing
        const std::size_t keep = static_cast<std::size_t>(open.rend() - it) - 1;
        for (std::size_t i = open.size(); i > keep; --i) out += "</span>";
        // Styles opened inside the closed one go on.
        for (std::size_t i = keep + 1; i < open.size(); ++i) span(open[i]);
        open.erase(open.begin() + static_cast<std::ptrdiff_t>(keep));
        break;
      }
    }
  }
  for (std::size_t i = 0; i < open.size(); ++i) out += "</span>";
  return out;
}

}  // namespace

bool IsTTML(const LineViews& lines) {
  // The root element is near the top: a declaration and a comment or two.
  // Text that does not open with a tag is no XML at all.
  for (std::size_t index = 0; index < HeadOf(lines).size(); ++index) {
    std::string_view line = lines[index];
    if (index == 0 && StartsWith(line, kBom)) line.remove_prefix(kBom.size());
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) continue;
    if (line[first] != '<') return false;
    break;
  }
  std::string head;
  for (const auto& line : HeadOf(lines)) {
    head += line;
    head += '\n';
    if (head.size() > 65536) break;
  }
  const std::size_t name = RootNameStart(head);
  if (name == std::string::npos) return false;
  const std::size_t end = head.find_first_of(" \t\r\n/>", name);
  if (end == std::string::npos) return false;
  return LocalName(std::string_view(head).substr(name, end - name)) == "tt";
}

void ReadTTML(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  const JoinedText joined(lines);
  std::string_view text = joined.text();
  const std::size_t shift = StartsWith(text, kBom) ? kBom.size() : 0;
  text.remove_prefix(shift);
  pugi::xml_document xml;
  const pugi::xml_parse_result result = xml.load_buffer(
      text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8);
  if (!result) {
    FailAtLine(
        joined.LineOf(static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0)) + shift),
        std::string("malformed XML: ") + result.description());
  }
  const pugi::xml_node root = xml.document_element();
  if (!Is(root, "tt")) FailAtLine(1, "the root element is not <tt>");
  CueTolerance tolerance(doc);
  Reader(joined, shift, tolerance).Read(root, doc.Cues);
}

void WriteTTML(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                   "<tt xmlns=\"http://www.w3.org/ns/ttml\" "
                   "xmlns:tts=\"http://www.w3.org/ns/ttml#styling\" xml:lang=\"\">"});
  const bool classic = doc.ClassicReading();
  // Cues of the top row stand in a region at the top; the other places
  // cannot be shown.
  const bool top = !classic && std::any_of(doc.Cues.begin(), doc.Cues.end(), [](const auto& cue) {
    return cue.Place >= 7 && cue.Place <= 9;
  });
  if (top) {
    AddLines(lines, {"  <head>", "    <layout>",
                     "      <region xml:id=\"top\" tts:origin=\"10% 5%\" tts:extent=\"80% 20%\" "
                     "tts:displayAlign=\"before\" tts:textAlign=\"center\"/>",
                     "    </layout>", "  </head>"});
  }
  AddLines(lines, {"  <body>", "    <div>"});
  for (const auto& cue : doc.Cues) {
    const bool in_top = !classic && cue.Place >= 7 && cue.Place <= 9;
    // The top region is centred: a left or right column is lost there.
    if (!classic && cue.Place != 8) DropPlace(doc, cue);
    lines.push_back("      <p begin=\"" + Clock(cue.Start) + "\" end=\"" + Clock(cue.Stop) + "\"" +
                    (in_top ? " region=\"top\">" : ">") +
                    (classic ? ParagraphContent(cue.Text) : StyledParagraphContent(cue.Text)) +
                    "</p>");
  }
  AddLines(lines, {"    </div>", "  </body>", "</tt>"});
}

}  // namespace vorlane
