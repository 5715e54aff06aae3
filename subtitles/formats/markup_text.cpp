#include "subtitles/formats/markup_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "subtitles/errors.h"
#include "subtitles/strings.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {

namespace {

struct NamedReference {
  std::string_view name;
  std::string_view bytes;
};
constexpr NamedReference kNamed[] = {
    {"amp", "&"},         {"lt", "<"},         {"gt", ">"},         {"quot", "\""},
    {"apos", "'"},        {"nbsp", " "},       {"lrm", "\u200E"},   {"rlm", "\u200F"},
    {"hellip", "\u2026"}, {"mdash", "\u2014"}, {"ndash", "\u2013"},
};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

std::size_t AppendCharReference(std::string_view text, std::size_t pos, std::string& out) {
  const std::size_t semicolon = text.find(';', pos);
  // References are short; a far semicolon belongs to something else.
  if (semicolon == std::string_view::npos || semicolon - pos > 10) return 0;
  const std::string_view body = text.substr(pos + 1, semicolon - pos - 1);
  if (body.size() >= 2 && body[0] == '#') {
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    std::uint32_t c = 0;
    for (char d : digits) {
      const int v = std::isdigit(static_cast<unsigned char>(d)) ? d - '0'
                    : hex && std::isxdigit(static_cast<unsigned char>(d))
                        ? std::tolower(static_cast<unsigned char>(d)) - 'a' + 10
                        : -1;
      if (v < 0) return 0;
      c = c * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
      if (c > 0x10FFFF) return 0;
    }
    // NUL and surrogates are no characters; a text never holds them.
    if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    AppendUtf8(out, c);
    return semicolon - pos + 1;
  }
  for (const auto& named : kNamed) {
    if (body == named.name) {
      out += named.bytes;
      return semicolon - pos + 1;
    }
  }
  return 0;
}

std::string_view KeptStyleTag(std::string_view name) {
  const bool closing = !name.empty() && name[0] == '/';
  if (closing) name.remove_prefix(1);
  // A class list or attributes may follow the name: "i.loud", "b class=x".
  const std::size_t end = name.find_first_of(". \t");
  if (end != std::string_view::npos) {
    if (closing) return {};
    name = name.substr(0, end);
  }
  if (EqualIgnoringCase(name, "i")) return closing ? "</i>" : "<i>";
  if (EqualIgnoringCase(name, "b")) return closing ? "</b>" : "<b>";
  if (EqualIgnoringCase(name, "u")) return closing ? "</u>" : "<u>";
  return {};
}

std::vector<CuePiece> CuePieces(std::string_view text) {
  std::vector<CuePiece> pieces;
  std::size_t plain = 0;  // start of the text not yet given out
  auto flush = [&](std::size_t end) {
    if (end > plain) pieces.push_back({CuePiece::kText, 0, text.substr(plain, end - plain)});
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      flush(i);
      pieces.push_back({CuePiece::kBreak, 0, {}});
      plain = i + 1;
    } else if (text[i] == '<') {
      const std::size_t close = text.find('>', i);
      if (close == std::string_view::npos) continue;
      const std::string_view tag = KeptStyleTag(text.substr(i + 1, close - i - 1));
      if (tag.empty()) continue;
      flush(i);
      const bool closing = tag[1] == '/';
      pieces.push_back({closing ? CuePiece::kClose : CuePiece::kOpen, tag[closing ? 2 : 1], {}});
      plain = close + 1;
      i = close;
    }
  }
  flush(text.size());
  return pieces;
}

void AppendEscapedText(std::string& out, std::string_view text, bool xml) {
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (!xml || static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
      out += c;  // XML allows no other control characters
    }
  }
}

std::string EscapeMarkup(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (const CuePiece& piece : CuePieces(text)) {
    switch (piece.kind) {
      case CuePiece::kText:
        AppendEscapedText(out, piece.text, false);
        break;
      case CuePiece::kOpen:
        out += {'<', piece.style, '>'};
        break;
      case CuePiece::kClose:
        out += {'<', '/', piece.style, '>'};
        break;
      case CuePiece::kBreak:
        out += '\r';
        break;
    }
  }
  return out;
}

JoinedText::JoinedText(const LineViews& lines) {
  std::size_t size = 0;
  for (const auto& line : lines) size += line.size() + 1;
  text_.reserve(size);
  starts_.reserve(lines.size());
  for (const auto& line : lines) {
    starts_.push_back(text_.size());
    text_ += line;
    text_ += '\n';
  }
}

int JoinedText::LineOf(std::size_t offset) const {
  const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<int>(std::max<std::ptrdiff_t>(it - starts_.begin(), 1));
}

void PutCues(TSubtitles& doc, std::vector<TimedCue>&& cues) {
  doc.Cues.reserve(doc.Cues.size() + cues.size());
  for (TimedCue& cue : cues) {
    doc.Cues.push_back({MillisecondsToTime(static_cast<double>(cue.start), cue.line),
                        MillisecondsToTime(static_cast<double>(cue.stop), cue.line),
                        std::move(cue.text), cue.place});
  }
}

std::int64_t SecondsToTime(double seconds, int line) {
  return MillisecondsToTime(seconds * 1000, line);
}

std::int64_t MillisecondsToTime(double milliseconds, int line) {
  if (!(std::fabs(milliseconds) <= static_cast<double>(kLatestTime))) {
    FailAtLine(line, "time out of range");
  }
  return RoundHalfEven(milliseconds);
}

}  // namespace vorlane
