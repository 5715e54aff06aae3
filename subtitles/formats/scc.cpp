// Scenarist SCC: a "Scenarist_SCC V1.0" header, then lines of a SMPTE time
// code ("HH:MM:SS:FF", ";" before the frames for drop-frame) and CEA-608
// byte pairs in hex. The pairs of caption channel 1 are decoded on a screen
// of 15 rows of 32 cells: pop-on captions built off screen and swapped in,
// roll-up rows that scroll, paint-on text written where it shows. Each line
// is one instant; whenever what is shown after a line differs from what was
// shown before it, one cue ends and the next begins.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "subtitles/encoding.h"
#include "subtitles/errors.h"
#include "subtitles/formats/broadcast.h"
#include "subtitles/lines.h"
#include "subtitles/strings.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

constexpr int kRows = 15;
constexpr int kColumns = 32;
// Text past the 32nd column is kept (files written for wider displays, or
// indented too far) up to this many cells a row.
constexpr int kCells = 96;
// A screen still shown when the file ends is shown this long.
constexpr std::int64_t kLastScreenMs = 2000;

struct Cell {
  char32_t ch = 0;
  bool italic = false;
  bool underline = false;
};
using Row = std::array<Cell, kCells>;
using Screen = std::array<Row, kRows>;

// The standard characters that differ from ASCII.
char32_t StandardCharacter(unsigned char c) {
  switch (c) {
    case 0x2A:
      return U'á';
    case 0x5C:
      return U'é';
    case 0x5E:
      return U'í';
    case 0x5F:
      return U'ó';
    case 0x60:
      return U'ú';
    case 0x7B:
      return U'ç';
    case 0x7C:
      return U'÷';
    case 0x7D:
      return U'Ñ';
    case 0x7E:
      return U'ñ';
    case 0x7F:
      return U'█';
    default:
      return c;
  }
}

constexpr std::u32string_view kSpecial = U"®°½¿™¢£♪à èâêîôû";  // 0x11 0x30-0x3F
constexpr std::u32string_view kExtended12 = U"ÁÉÓÚÜü‘¡*'—©℠•“”ÀÂÇÈÊËëÎÏïÔÙùÛ«»";
constexpr std::u32string_view kExtended13 = U"ÃãÍÌìÒòÕõ{}\\^_|~ÄäÖöß¥¤¦ÅåØø┌┐└┘";
static_assert(kSpecial.size() == 16 && kExtended12.size() == 32 && kExtended13.size() == 32);

bool OddParity(unsigned char b) {
  b ^= b >> 4;
  b ^= b >> 2;
  b ^= b >> 1;
  return (b & 1) != 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The row of a preamble address code, 0-based, or -1.
int PacRow(unsigned char c1, unsigned char c2) {
  static constexpr int kFirst[8] = {10, 0, 2, 11, 13, 4, 6, 8};  // by c1 & 7
  const int base = kFirst[c1 & 7];
  if ((c1 & 7) == 0) return (c2 & 0x20) ? -1 : 10;
  return base + ((c2 & 0x20) ? 1 : 0);
}

// The time code at the start of a line, in ms; nullopt when there is none.
std::optional<std::int64_t> ParseTimeCode(std::string_view text, std::size_t& used) {
  int parts[4] = {0, 0, 0, 0};
  bool drop = false;
  std::size_t i = 0;
  for (int p = 0; p < 4; ++p) {
    if (i + 2 > text.size()) return std::nullopt;
    const int a = HexDigit(text[i]);
    const int b = HexDigit(text[i + 1]);
    if (a < 0 || a > 9 || b < 0 || b > 9) return std::nullopt;
    parts[p] = a * 10 + b;
    i += 2;
    if (p < 3) {
      if (i >= text.size()) return std::nullopt;
      const char sep = text[i];
      if (sep == ';' || sep == '.' || sep == ',') {
        if (p == 2) drop = true;
      } else if (sep != ':') {
        return std::nullopt;
      }
      ++i;
    }
  }
  used = i;
  if (parts[1] > 59 || parts[2] > 59 || parts[3] > 29) return std::nullopt;
  if (drop) return NtscTimeCodeMs(parts[0], parts[1], parts[2], parts[3], true);
  // A non-drop time code is read as the clock time it shows, as ffmpeg and
  // ttconv read it.
  return ((std::int64_t{parts[0]} * 60 + parts[1]) * 60 + parts[2]) * 1000 +
         (std::int64_t{parts[3]} * 1000 + 15) / 30;
}

// The CEA-608 decoder of caption channel 1.
class Decoder {
 public:
  // Without parity, the bytes are 7-bit and none is taken for an error.
  Decoder(TSubtitles& doc, bool parity) : doc_(doc), parity_(parity) {}

  void Pair(unsigned char b1, unsigned char b2) {
    const unsigned char c1 = b1 & 0x7F;
    const unsigned char c2 = b2 & 0x7F;
    if (c1 >= 0x10 && c1 <= 0x1F) {
      const std::uint16_t code = static_cast<std::uint16_t>(c1 << 8 | c2);
      // Control codes are sent twice; the second of a pair is no new code.
      if (!Valid(b1) || !Valid(b2) || c2 < 0x20) {
        last_control_ = 0;
        return;
      }
      if (code == last_control_) {
        last_control_ = 0;
        return;
      }
      last_control_ = code;
      channel_one_ = c1 < 0x18;
      if (channel_one_) Control(c1, c2);
      return;
    }
    last_control_ = 0;
    if (!channel_one_ || text_mode_) return;
    for (const unsigned char b : {b1, b2}) {
      const unsigned char c = b & 0x7F;
      if (c == 0) continue;
      if (c < 0x20) continue;
      Put(Valid(b) ? StandardCharacter(c) : U'█');
    }
  }

  // What is shown now: rows with text, joined by CR, and their place.
  BroadcastCue Shown() const {
    BroadcastCue cue;
    int first_row = -1;
    for (int r = 0; r < kRows; ++r) {
      const Row& row = displayed_[static_cast<std::size_t>(r)];
      int begin = 0;
      int end = kCells;
      while (begin < end && Blank(row[static_cast<std::size_t>(begin)])) ++begin;
      while (end > begin && Blank(row[static_cast<std::size_t>(end - 1)])) --end;
      if (begin == end) continue;
      if (first_row < 0) {
        first_row = r;
      } else {
        cue.text += '\r';
      }
      bool italic = false;
      bool underline = false;
      for (int c = begin; c < end; ++c) {
        const Cell& cell = row[static_cast<std::size_t>(c)];
        if (cell.underline != underline && underline) cue.text += "</u>";
        if (cell.italic != italic) cue.text += cell.italic ? "<i>" : "</i>";
        if (cell.underline != underline && cell.underline) cue.text += "<u>";
        italic = cell.italic;
        underline = cell.underline;
        AppendUtf8(cue.text, cell.ch == 0 ? U' ' : cell.ch);
      }
      if (underline) cue.text += "</u>";
      if (italic) cue.text += "</i>";
    }
    cue.place = first_row >= 0 && first_row < kRows / 2 ? 8 : 0;
    return cue;
  }

 private:
  enum class Mode { kPopOn, kRollUp, kPaintOn };

  bool Valid(unsigned char b) const { return !parity_ || OddParity(b); }

  static bool Blank(const Cell& cell) { return cell.ch == 0 || cell.ch == U' '; }

  Screen& Target() { return mode_ == Mode::kPopOn ? hidden_ : displayed_; }
  Cell& At(int row, int col) {
    return Target()[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
  }

  void Put(char32_t ch) {
    At(row_, col_) = {ch, italic_, underline_};
    if (col_ < kCells - 1) ++col_;
  }

  void Colour(unsigned char style) {
    // White (0) and italics (7) are shown; the other colours are not.
    if (style != 0 && style != 7) ++doc_.Dropped.reading_other;
  }

  void Control(unsigned char c1, unsigned char c2) {
    const unsigned char group = c1 & 0x07;  // channel 2 codes are 0x08 higher
    if (c2 >= 0x40) {
      Preamble(c1, c2);
    } else if (group == 1 && c2 >= 0x20 && c2 <= 0x2F) {
      // A mid-row code takes a cell, shown as a blank, and sets the style.
      if (text_mode_) return;
      italic_ = false;
      Put(U' ');
      const unsigned char style = (c2 >> 1) & 7;
      Colour(style);
      italic_ = style == 7;
      underline_ = (c2 & 1) != 0;
    } else if (group == 1 && c2 >= 0x30) {
      if (!text_mode_) Put(kSpecial[c2 - 0x30]);  // 0x39: a transparent blank
    } else if ((group == 2 || group == 3) && c2 >= 0x20) {
      // An extended character replaces the standard one sent before it.
      if (text_mode_) return;
      if (col_ > 0) --col_;
      Put((group == 2 ? kExtended12 : kExtended13)[c2 - 0x20]);
    } else if (group == 7 && c2 >= 0x21 && c2 <= 0x23) {
      col_ = std::min(col_ + (c2 - 0x20), kColumns - 1);
    } else if (group == 4) {
      Command(c2);
    }
  }

  void Preamble(unsigned char c1, unsigned char c2) {
    const int row = PacRow(c1, c2);
    if (row < 0 || text_mode_) return;
    if (mode_ == Mode::kRollUp && row != base_) MoveRollUp(row);
    row_ = row;
    const unsigned char low = c2 & 0x1F;
    underline_ = (low & 1) != 0;
    if (low < 0x10) {
      const unsigned char style = (low >> 1) & 7;
      Colour(style);
      italic_ = style == 7;
      col_ = 0;
    } else {
      italic_ = false;
      col_ = ((low >> 1) & 7) * 4;
    }
  }

  void MoveRollUp(int new_base) {
    Screen moved{};
    for (int i = 0; i < roll_rows_; ++i) {
      const int from = base_ - i;
      const int to = new_base - i;
      if (from >= 0 && to >= 0) {
        moved[static_cast<std::size_t>(to)] = displayed_[static_cast<std::size_t>(from)];
      }
    }
    displayed_ = moved;
    base_ = new_base;
  }

  void Command(unsigned char c2) {
    switch (c2) {
      case 0x20:  // resume caption loading
        mode_ = Mode::kPopOn;
        text_mode_ = false;
        break;
      case 0x21:  // backspace
        if (text_mode_) break;
        if (col_ > 0) --col_;
        At(row_, col_) = {};
        break;
      case 0x24:  // delete to end of row
        if (text_mode_) break;
        for (int c = col_; c < kCells; ++c) At(row_, c) = {};
        break;
      case 0x25:
      case 0x26:
      case 0x27:  // roll-up captions, 2 to 4 rows
        if (mode_ != Mode::kRollUp) {
          displayed_ = {};
          hidden_ = {};
          base_ = kRows - 1;
        }
        mode_ = Mode::kRollUp;
        text_mode_ = false;
        roll_rows_ = c2 - 0x23;
        row_ = base_;
        col_ = 0;
        break;
      case 0x29:  // resume direct captioning: paint-on
        mode_ = Mode::kPaintOn;
        text_mode_ = false;
        break;
      case 0x2A:
      case 0x2B:  // text restart, resume text display: not captions
        text_mode_ = true;
        break;
      case 0x2C:  // erase displayed memory
        displayed_ = {};
        break;
      case 0x2D:  // carriage return
        if (text_mode_ || mode_ != Mode::kRollUp) break;
        for (int r = base_ - roll_rows_ + 1; r < base_; ++r) {
          if (r >= 0)
            displayed_[static_cast<std::size_t>(r)] = displayed_[static_cast<std::size_t>(r + 1)];
        }
        if (base_ - roll_rows_ >= 0) displayed_[static_cast<std::size_t>(base_ - roll_rows_)] = {};
        displayed_[static_cast<std::size_t>(base_)] = {};
        col_ = 0;
        break;
      case 0x2E:  // erase non-displayed memory
        hidden_ = {};
        break;
      case 0x2F:  // end of caption: the hidden caption is shown
        std::swap(displayed_, hidden_);
        mode_ = Mode::kPopOn;
        text_mode_ = false;
        break;
      default:  // alarm, flash on and the rest change nothing shown
        break;
    }
  }

  TSubtitles& doc_;
  bool parity_;
  Screen displayed_{};
  Screen hidden_{};
  Mode mode_ = Mode::kPopOn;
  bool text_mode_ = false;
  bool channel_one_ = true;
  int row_ = kRows - 1;
  int col_ = 0;
  int base_ = kRows - 1;
  int roll_rows_ = 2;
  bool italic_ = false;
  bool underline_ = false;
  std::uint16_t last_control_ = 0;
};

// True when the pairs carry odd parity in their top bit, as CEA-608 sends
// them: some character byte has the bit set. Files written without parity
// have 7-bit characters only.
bool UsesParity(const LineViews& lines) {
  for (std::size_t index = 1; index < lines.size(); ++index) {
    const std::string_view line = lines[index];
    std::size_t tab = line.find_first_of(" \t");
    while (tab != std::string_view::npos) {
      const std::size_t start = line.find_first_not_of(" \t", tab);
      if (start == std::string_view::npos || start + 4 > line.size()) break;
      int digits[4] = {0, 0, 0, 0};
      bool hex = true;
      for (std::size_t k = 0; hex && k < 4; ++k) hex = (digits[k] = HexDigit(line[start + k])) >= 0;
      const int b1 = digits[0] << 4 | digits[1];
      const int b2 = digits[2] << 4 | digits[3];
      const bool control = (b1 & 0x7F) >= 0x10 && (b1 & 0x7F) <= 0x1F;
      if (hex && !control) {
        for (const int b : {b1, b2}) {
          if ((b & 0x80) != 0 && (b & 0x7F) >= 0x20) return true;
        }
      }
      tab = line.find_first_of(" \t", start);
    }
  }
  return false;
}

}  // namespace

bool IsSCC(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  return bytes.starts_with("Scenarist_SCC V1.0");
}

void ReadSCC(TSubtitles& doc, std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  const LineViews lines = SplitLineViews(bytes);
  doc.Cues.clear();
  Decoder decoder(doc, UsesParity(lines));
  std::optional<BroadcastCue> open;  // the cue shown now
  std::int64_t last_time = 0;
  for (std::size_t index = 1; index < lines.size(); ++index) {
    const std::string_view line = lines[index];
    if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
    std::size_t used = 0;
    const auto time = ParseTimeCode(line, used);
    const int line_number = static_cast<int>(index + 1);
    if (!time) {
      doc.Warn(line_number, "no time code at the start of the line; the line is left out");
      continue;
    }
    if (*time < last_time) {
      doc.Warn(line_number, "the time code goes back in time; the line is left out");
      continue;
    }
    last_time = *time;
    std::string_view rest = line.substr(used);
    bool bad = false;
    while (!rest.empty()) {
      const std::size_t start = rest.find_first_not_of(" \t");
      if (start == std::string_view::npos) break;
      rest.remove_prefix(start);
      int digits[4] = {0, 0, 0, 0};
      bool ok = rest.size() >= 4;
      for (std::size_t k = 0; ok && k < 4; ++k) ok = (digits[k] = HexDigit(rest[k])) >= 0;
      if (!ok || (rest.size() > 4 && rest[4] != ' ' && rest[4] != '\t')) {
        bad = true;
        const std::size_t end = rest.find_first_of(" \t");
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
        continue;
      }
      decoder.Pair(static_cast<unsigned char>(digits[0] << 4 | digits[1]),
                   static_cast<unsigned char>(digits[2] << 4 | digits[3]));
      rest.remove_prefix(4);
    }
    if (bad) doc.Warn(line_number, "a word that is not a hex byte pair is left out");
    BroadcastCue shown = decoder.Shown();
    if (open && open->text == shown.text && open->place == shown.place) continue;
    if (open) {
      open->stop_ms = *time;
      AppendBroadcastCue(doc, std::move(*open));
      open.reset();
    }
    if (!shown.text.empty()) {
      shown.start_ms = *time;
      open = std::move(shown);
    }
  }
  if (open) {
    doc.Warn(0, "the captions shown at the end of the file are never erased; shown for 2 seconds");
    open->stop_ms = open->start_ms + kLastScreenMs;
    AppendBroadcastCue(doc, std::move(*open));
  }
}

}  // namespace vorlane
