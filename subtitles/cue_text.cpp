#include "subtitles/cue_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "subtitles/formats/text_reading.h"
#include "subtitles/strings.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Lower(a) == Lower(b);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct NamedColour {
  std::string_view name;
  Colour value;
};
// The colour names SubRip and SAMI files use most.
constexpr std::array<NamedColour, 16> kNamedColours{{
    {"white", 0xFFFFFF},
    {"silver", 0xC0C0C0},
    {"gray", 0x808080},
    {"black", 0x000000},
    {"red", 0xFF0000},
    {"maroon", 0x800000},
    {"yellow", 0xFFFF00},
    {"olive", 0x808000},
    {"lime", 0x00FF00},
    {"green", 0x008000},
    {"aqua", 0x00FFFF},
    {"teal", 0x008080},
    {"blue", 0x0000FF},
    {"navy", 0x000080},
    {"fuchsia", 0xFF00FF},
    {"purple", 0x800080},
}};

// The value of the color attribute inside a font tag's attributes, quotes
// taken off.
std::optional<Colour> FontColour(std::string_view attributes) {
  const std::string lower = Lower(attributes);
  const std::size_t at = lower.find("color");
  if (at == std::string::npos) return std::nullopt;
  std::size_t p = at + 5;
  while (p < lower.size() && lower[p] == ' ') ++p;
  if (p >= lower.size() || lower[p] != '=') return std::nullopt;
  ++p;
  while (p < lower.size() && lower[p] == ' ') ++p;
  std::string_view value = std::string_view(attributes).substr(p);
  if (!value.empty() && (value[0] == '"' || value[0] == '\'')) {
    const char quote = value[0];
    value.remove_prefix(1);
    value = value.substr(0, value.find(quote));
  } else {
    value = value.substr(0, value.find(' '));
  }
  return ParseColour(value);
}

// The piece a tag body ("i", "/b", "font color=red") stands for.
std::optional<StylePiece> TagPiece(std::string_view body) {
  const bool closing = !body.empty() && body[0] == '/';
  if (closing) body.remove_prefix(1);
  std::string_view name = body.substr(0, body.find(' '));
  if (name.size() == 1) {
    const char c = static_cast<char>(name[0] | 0x20);
    if ((c == 'i' || c == 'b' || c == 'u') && (name.size() == body.size() || !closing)) {
      if (name.size() != body.size()) return std::nullopt;
      return StylePiece{closing ? StylePiece::kClose : StylePiece::kOpen, c, {}, 0};
    }
    return std::nullopt;
  }
  if (!EqualIgnoringCase(name, "font")) return std::nullopt;
  if (closing) return StylePiece{StylePiece::kClose, 'c', {}, 0};
  // A font tag without a colour (a face, a size) opens a span that shows
  // nothing the program keeps: it is dropped with its closing tag.
  const std::optional<Colour> colour = FontColour(body.substr(name.size()));
  return StylePiece{StylePiece::kOpen, colour ? 'c' : 'f', {}, colour.value_or(0)};
}

}  // namespace

std::optional<Colour> ParseColour(std::string_view value) {
  value = Trim(value);
  if (!value.empty() && value[0] == '#') value.remove_prefix(1);
  Colour colour = 0;
  if (value.size() == 6 || value.size() == 3) {
    bool hex = true;
    for (char c : value) hex = hex && HexDigit(c) >= 0;
    if (hex) {
      for (char c : value) {
        colour = colour << (value.size() == 3 ? 8 : 4) | HexDigit(c) * (value.size() == 3 ? 17 : 1);
      }
      return colour;
    }
  }
  for (const NamedColour& named : kNamedColours) {
    if (EqualIgnoringCase(value, named.name)) return named.value;
  }
  return std::nullopt;
}

std::string FontTag(Colour colour) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "<font color=\"#%06X\">", colour & 0xFFFFFF);
  return buffer;
}

std::vector<StylePiece> StylePieces(std::string_view text) {
  std::vector<StylePiece> pieces;
  std::size_t plain = 0;
  auto flush = [&](std::size_t end) {
    if (end > plain) pieces.push_back({StylePiece::kText, 0, text.substr(plain, end - plain), 0});
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      flush(i);
      pieces.push_back({StylePiece::kBreak, 0, {}, 0});
      plain = i + 1;
    } else if (text[i] == '<') {
      const std::size_t close = text.find_first_of("<>\r", i + 1);
      if (close == std::string_view::npos || text[close] != '>') continue;
      const auto piece = TagPiece(text.substr(i + 1, close - i - 1));
      if (!piece) continue;
      flush(i);
      pieces.push_back(*piece);
      plain = close + 1;
      i = close;
    }
  }
  flush(text.size());
  return pieces;
}

std::string PlainCueText(std::string_view text) {
  std::string out;
  for (const StylePiece& piece : StylePieces(text)) {
    if (piece.kind == StylePiece::kText) out.append(piece.text);
    if (piece.kind == StylePiece::kBreak) out.push_back('\r');
  }
  return out;
}

namespace {

void AppendEscaped(std::string& out, std::string_view text, TextDialect::Escape escape,
                   DroppedCounts* dropped) {
  if (escape == TextDialect::kAsIs) {
    out.append(text);
    return;
  }
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += escape == TextDialect::kXmlAttribute ? "&quot;" : "\"";
        break;
      default:
        if (escape >= TextDialect::kXml && static_cast<unsigned char>(c) < 0x20 && c != '\t' &&
            c != '\n' && c != '\r') {
          if (dropped != nullptr) ++dropped->control_bytes;
          break;
        }
        out.push_back(c);
    }
  }
}

std::string ColourOpen(const TextDialect& d, Colour colour) {
  const unsigned r = colour >> 16 & 0xFF, g = colour >> 8 & 0xFF, b = colour & 0xFF;
  char hex[8];
  if (d.colour_order == "BBGGRR") {
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", b, g, r);
  } else {
    std::snprintf(hex, sizeof hex, "%02X%02X%02X", r, g, b);
  }
  std::string out(d.colour_open);
  const std::size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, hex);
  return out;
}

}  // namespace

std::string RenderCueText(std::string_view text, const TextDialect& d, DroppedCounts* dropped) {
  std::string out;
  out.reserve(text.size() + 8);
  // Colours nest: the closing tag of a font that opened none closes nothing.
  std::vector<bool> fonts;
  for (const StylePiece& piece : StylePieces(text)) {
    switch (piece.kind) {
      case StylePiece::kText:
        AppendEscaped(out, piece.text, d.escape, dropped);
        break;
      case StylePiece::kBreak:
        out.append(d.line_break);
        break;
      case StylePiece::kOpen:
      case StylePiece::kClose: {
        const int side = piece.kind == StylePiece::kOpen ? 0 : 1;
        if (piece.style == 'f' || piece.style == 'c') {
          if (side == 0) fonts.push_back(piece.style == 'c');
          const bool colour = side == 0 ? piece.style == 'c' : (!fonts.empty() && fonts.back());
          if (side == 1 && !fonts.empty()) fonts.pop_back();
          if (!colour) break;
          if (d.colour_open.empty()) {
            if (dropped != nullptr && side == 0) ++dropped->colours;
          } else {
            out += side == 0 ? ColourOpen(d, piece.colour) : std::string(d.colour_close);
          }
          break;
        }
        const std::string_view* tags = piece.style == 'i'   ? d.italic
                                       : piece.style == 'b' ? d.bold
                                                            : d.underline;
        if (tags[side].empty()) {
          if (dropped != nullptr && side == 0) ++dropped->styles;
        } else {
          out.append(tags[side]);
        }
        break;
      }
    }
  }
  return out;
}

std::vector<StyledLine> StyledLines(std::string_view text) {
  std::vector<StyledLine> lines(1);
  // Styles open where the line starts, and whether each was open all along.
  int italic = 0, bold = 0, underline = 0;
  std::vector<std::optional<Colour>> colours;
  bool seen_text = false;
  bool changed = false;  // a style changed after text of the line
  auto begin_line = [&](StyledLine& line) {
    changed = false;
    line.italic = italic > 0;
    line.bold = bold > 0;
    line.underline = underline > 0;
    if (!colours.empty() && colours.back()) line.colour = colours.back();
    seen_text = false;
  };
  begin_line(lines.back());
  for (const StylePiece& piece : StylePieces(text)) {
    StyledLine& line = lines.back();
    switch (piece.kind) {
      case StylePiece::kText:
        line.text.append(piece.text);
        if (!Trim(piece.text).empty()) {
          // Text after a change of style shows that the style covers only
          // part of the line.
          if (changed) line.partial = true;
          seen_text = true;
        }
        break;
      case StylePiece::kBreak:
        lines.emplace_back();
        begin_line(lines.back());
        break;
      case StylePiece::kOpen:
      case StylePiece::kClose: {
        const int step = piece.kind == StylePiece::kOpen ? 1 : -1;
        if (piece.style == 'c' || piece.style == 'f') {
          if (step > 0) {
            colours.push_back(piece.style == 'c' ? std::optional<Colour>(piece.colour)
                                                 : std::nullopt);
          } else if (!colours.empty()) {
            colours.pop_back();
          }
        } else {
          int& depth = piece.style == 'i' ? italic : piece.style == 'b' ? bold : underline;
          depth = std::max(0, depth + step);
        }
        // A style that opens before any text of the line covers it from its
        // start; one that changes after text has come covers only part.
        if (!seen_text) {
          line.italic = italic > 0;
          line.bold = bold > 0;
          line.underline = underline > 0;
          line.colour = !colours.empty() ? colours.back() : std::nullopt;
        } else {
          changed = true;
        }
        break;
      }
    }
  }
  return lines;
}

std::string StyledLineText(const StyledLine& line) {
  std::string out;
  if (line.colour) out += FontTag(*line.colour);
  if (line.bold) out += "<b>";
  if (line.italic) out += "<i>";
  if (line.underline) out += "<u>";
  out += line.text;
  if (line.underline) out += "</u>";
  if (line.italic) out += "</i>";
  if (line.bold) out += "</b>";
  if (line.colour) out += "</font>";
  return out;
}

std::string SlashItalicsToModel(std::string_view text) {
  if (text.find('/') == std::string_view::npos) return std::string(text);
  std::string out;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\r', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    if (line.size() > 1 && line[0] == '/') {
      line.remove_prefix(1);
      out += "<i>";
      out += line;
      out += "</i>";
    } else {
      out += line;
    }
    if (end == std::string_view::npos) break;
    out.push_back('\r');
    start = end + 1;
  }
  return out;
}

}  // namespace vorlane
