// SubStation Alpha's override blocks ({\i1}, {\an8}, {\c&H0000FF&}) turned
// into the program's cue text: SubStation events carry them, and so do many
// SubRip files made from SubStation scripts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "subtitles/cue_text.h"
#include "subtitles/formats/text_reading.h"

namespace vorlane {

// The number after a tag name when it is all digits (\i1, \b700, \an8),
// -1 when there are none, -2 when something else follows (\iclip, \blur).
inline int TagNumber(std::string_view tag, std::size_t name_length) {
  std::string_view digits = tag.substr(name_length);
  if (digits.empty()) return -1;
  int value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return -2;
    if (value < 100000) value = value * 10 + (c - '0');
  }
  return value;
}

// The \an number of a legacy \a alignment: 1-3 bottom, 5-7 top, 9-11 middle.
inline int LegacyAlignment(int a) {
  if (a >= 1 && a <= 3) return a;
  if (a >= 5 && a <= 7) return a + 2;
  if (a >= 9 && a <= 11) return a - 5;
  return 0;
}

// The colour of a \c or \1c value, "&HBBGGRR&" (alpha in front allowed).
inline std::optional<Colour> OverrideColour(std::string_view value) {
  while (!value.empty() && (value.back() == '&' || value.back() == ' ')) value.remove_suffix(1);
  if (value.size() < 2 || value[0] != '&' || (value[1] != 'H' && value[1] != 'h')) {
    return std::nullopt;
  }
  value.remove_prefix(2);
  if (value.empty() || value.size() > 8) return std::nullopt;
  std::uint32_t bgr = 0;
  for (char c : value) {
    const int d = c >= '0' && c <= '9'   ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
    if (d < 0) return std::nullopt;
    bgr = bgr << 4 | static_cast<std::uint32_t>(d);
  }
  return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

// An event's text as cue text: line breaks as CR, italic, bold, underline
// and the primary colour as the program's tags, the first alignment as the
// cue's place, every other override dropped, and drawings (between \p1 and
// \p0) left out. With blocks_need_backslash, a brace block that does not
// open with a backslash is text (SubRip files hold "{" as text), and "\N"
// is left as it stands.
class OverrideConverter {
 public:
  explicit OverrideConverter(bool italic_style, bool blocks_need_backslash = false)
      : strict_(blocks_need_backslash), italic_style_(italic_style) {
    if (italic_style) Toggle(0, true);
  }

  std::string Convert(std::string_view text) {
    std::size_t i = 0;
    // The next '}' is searched for once per '}', not once per '{', so a text
    // of many '{' costs no more than its length.
    std::size_t next_close = 0;
    while (i < text.size()) {
      const char c = text[i];
      if (c == '{' && (!strict_ || (i + 1 < text.size() && text[i + 1] == '\\'))) {
        if (next_close != std::string_view::npos && next_close <= i) next_close = text.find('}', i);
        const std::size_t close = next_close;
        if (close != std::string_view::npos) {
          Overrides(text.substr(i + 1, close - i - 1));
          i = close + 1;
          continue;
        }
      }
      if (c == '\\' && i + 1 < text.size() && !strict_) {
        const char n = text[i + 1];
        if (n == 'N' || n == 'n' || n == 'h') {
          Put(n == 'h' ? " " : "\r");
          i += 2;
          continue;
        }
      }
      Put(std::string_view(&text[i], 1));
      ++i;
    }
    if (!visible_) return "";
    for (int k = 2; k >= 0; --k) Toggle(k, false);
    SetColour(std::nullopt);
    return out_;
  }

  // True when the event is a drawing and nothing else.
  bool DrawingOnly() const { return drew_ && !visible_; }
  // The place the first alignment asked for, 0 when none did.
  std::uint8_t Place() const { return static_cast<std::uint8_t>(alignment_); }

 private:
  void Put(std::string_view s) {
    if (drawing_) return;
    if (s != "\r" && s != " ") {
      visible_ = true;
      // A style opens where text shows, so a style turned on and off again
      // before any text leaves no empty pair behind.
      if (want_colour_ != colour_) {
        if (colour_) out_.append("</font>");
        if (want_colour_) out_.append(FontTag(*want_colour_));
        colour_ = want_colour_;
      }
      for (int k = 0; k < 3; ++k) {
        if (want_[k] && !on_[k]) out_.append(kOpen[k]);
        on_[k] = want_[k];
      }
    }
    out_.append(s);
  }

  // Turns style k (italic, bold, underline) on or off.
  void Toggle(int k, bool on) {
    want_[k] = on;
    if (!on && on_[k]) out_.append(kClose[k]);
    if (!on) on_[k] = false;
  }

  void SetColour(std::optional<Colour> colour) {
    want_colour_ = colour;
    if (!colour && colour_) {
      // Styles opened inside the font close with it and open again after.
      for (int k = 2; k >= 0; --k) {
        if (on_[k]) out_.append(kClose[k]);
        on_[k] = false;
      }
      out_.append("</font>");
      colour_.reset();
    }
  }

  void Overrides(std::string_view block) {
    std::size_t pos = block.find('\\');
    std::size_t paren = block.find('(');  // searched for again once passed
    while (pos != std::string_view::npos) {
      std::size_t next = block.find('\\', pos + 1);
      // A tag with arguments in parentheses may hold backslashes (\t(...)).
      if (paren != std::string_view::npos && paren < pos) paren = block.find('(', pos);
      if (paren != std::string_view::npos && (next == std::string_view::npos || paren < next)) {
        const std::size_t end = block.find(')', paren);
        next = end == std::string_view::npos ? std::string_view::npos : block.find('\\', end);
      }
      Tag(Trim(block.substr(pos + 1, next == std::string_view::npos ? next : next - pos - 1)));
      pos = next;
    }
  }

  void Tag(std::string_view tag) {
    if (tag.empty()) return;
    const char name = tag.front();
    if ((name == 'i' || name == 'b' || name == 'u') && TagNumber(tag, 1) >= -1) {
      const int k = name == 'i' ? 0 : name == 'b' ? 1 : 2;
      Toggle(k, TagNumber(tag, 1) > 0);  // \b700 is bold too; a bare \i resets
    } else if (tag.substr(0, 2) == "an" && TagNumber(tag, 2) >= 1 && TagNumber(tag, 2) <= 9) {
      if (alignment_ == 0) alignment_ = TagNumber(tag, 2);
    } else if (name == 'a' && TagNumber(tag, 1) >= 1) {
      if (alignment_ == 0) alignment_ = LegacyAlignment(TagNumber(tag, 1));
    } else if (name == 'p' && TagNumber(tag, 1) >= 0) {
      drawing_ = TagNumber(tag, 1) > 0;
      drew_ = drew_ || drawing_;
    } else if (name == 'c' || tag.substr(0, 2) == "1c") {
      const std::string_view value = tag.substr(name == 'c' ? 1 : 2);
      if (value.empty()) {
        SetColour(std::nullopt);
      } else if (const auto colour = OverrideColour(value)) {
        // White is what players show anyway.
        SetColour(*colour == 0xFFFFFF ? std::nullopt : colour);
      }
    } else if (name == 'r') {
      for (int k = 0; k < 3; ++k) Toggle(k, k == 0 && italic_style_);
      SetColour(std::nullopt);
    }
  }

  std::string out_;
  static constexpr const char* kOpen[] = {"<i>", "<b>", "<u>"};
  static constexpr const char* kClose[] = {"</i>", "</b>", "</u>"};
  bool strict_;
  bool italic_style_;
  bool want_[3] = {false, false, false};  // as the overrides so far ask
  bool on_[3] = {false, false, false};    // as written
  std::optional<Colour> want_colour_;
  std::optional<Colour> colour_;
  int alignment_ = 0;
  bool drawing_ = false;
  bool drew_ = false;
  bool visible_ = false;
};

}  // namespace vorlane
