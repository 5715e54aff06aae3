// EBU STL: a General Subtitle Information block of 1024 bytes, then Text
// and Timing Information blocks of 128 bytes. A subtitle whose text does not
// fit one block goes on in extension blocks of the same subtitle number, the
// last one numbered 0xFF. The text is 8-bit, in the code table the header
// names (Latin with non-spacing diacritics before their letter, Cyrillic,
// Arabic, Greek, Hebrew), with teletext control codes between the words.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "subtitles/encoding.h"
#include "subtitles/errors.h"
#include "subtitles/formats/broadcast.h"
#include "subtitles/strings.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {

namespace {

constexpr std::size_t kGsiSize = 1024;
constexpr std::size_t kTtiSize = 128;
constexpr std::size_t kTextSize = 112;
// Extension blocks are numbered 0x00 to 0xEF: no subtitle has more text.
constexpr std::size_t kMaxSubtitleText = kTextSize * 0xF1;
constexpr int kTeletextRows = 23;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The frame rate of the disk format code, and whether its time codes count
// frames at a 1001 rate (drop-frame, as ttconv reads them).
struct StlRate {
  int nominal = 25;
  bool ntsc = false;
};

StlRate RateOf(std::string_view dfc) {
  if (dfc == "STL23.01") return {24, true};
  if (dfc == "STL24.01") return {24, false};
  if (dfc == "STL30.01") return {30, true};
  if (dfc == "STL50.01") return {50, false};
  return {25, false};
}

// Frames counted at a nominal rate, with the 1001 rates' drop-frame
// numbering; then timed at the true rate.
std::int64_t TimeCodeMs(const unsigned char* tc, const StlRate& rate) {
  const int h = tc[0], m = tc[1], s = tc[2], f = tc[3];
  if (!rate.ntsc) {
    return ((std::int64_t{h} * 60 + m) * 60 + s) * 1000 + RoundHalfEven(f * 1000.0 / rate.nominal);
  }
  if (rate.nominal == 30) return NtscTimeCodeMs(h, m, s, f, true);
  // 24000/1001: one frame number dropped a minute, but every tenth.
  const std::int64_t minutes = std::int64_t{h} * 60 + m;
  const std::int64_t frames =
      (minutes * 60 + s) * 24 + f - (std::int64_t{h} * 6 + m / 10) * 9 - m % 10;
  return RoundHalfEven(static_cast<double>(frames) * 1001.0 / 24.0);
}

// The Latin table's upper half (0xA0-0xFF) without the diacritics
// 0xC1-0xCF; 0 where nothing is defined.
constexpr std::array<char32_t, 96> kLatinUpper = {
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x0024, 0x00A5, 0x0023, 0x00A7,  // A0
    0x00A4, 0x2018, 0x201C, 0x00AB, 0x2190, 0x2191, 0x2192, 0x2193,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00D7, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00F7, 0x2019, 0x201D, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0,      0,      0,      0,      0,      0,      0,      0,       // C0
    0,      0,      0,      0,      0,      0,      0,      0,       // C8
    0x2015, 0x00B9, 0x00AE, 0x00A9, 0x2122, 0x266A, 0x00AC, 0x00A6,  // D0
    0,      0,      0,      0,      0x215B, 0x215C, 0x215D, 0x215E,  // D8
    0x2126, 0x00C6, 0x0110, 0x00AA, 0x0126, 0,      0x0132, 0x013F,  // E0
    0x0141, 0x00D8, 0x0152, 0x00BA, 0x00DE, 0x0166, 0x014A, 0x0149,  // E8
    0x0138, 0x00E6, 0x0111, 0x00F0, 0x0127, 0x0131, 0x0133, 0x0140,  // F0
    0x0142, 0x00F8, 0x0153, 0x00DF, 0x00FE, 0x0167, 0x014B, 0x00AD,  // F8
};

// The combining marks of the diacritics 0xC1-0xCF, for a letter the Latin
// table has no precomposed form of.
constexpr std::array<char32_t, 15> kCombining = {0x0300, 0x0301, 0x0302, 0x0303, 0x0304,
                                                 0x0306, 0x0307, 0x0308, 0x0308, 0x030A,
                                                 0x0327, 0x0332, 0x030B, 0x0328, 0x030C};

// The iconv name of a character code table ("00" Latin is decoded here).
const char* TableCharset(std::string_view cct) {
  if (cct == "01") return "ISO-8859-5";
  if (cct == "02") return "ISO-8859-6";
  if (cct == "03") return "ISO-8859-7";
  if (cct == "04") return "ISO-8859-8";
  return nullptr;
}

// Decodes the text bytes of one code table to UTF-8.
class StlCharacters {
 public:
  explicit StlCharacters(std::string_view cct) {
    if (const char* charset = TableCharset(cct)) {
      TextConverter to_utf8(charset, "UTF-8");
      for (int b = 0xA0; b <= 0xFF; ++b) {
        const char byte = static_cast<char>(b);
        try {
          upper_[static_cast<std::size_t>(b - 0xA0)] = to_utf8.Convert({&byte, 1});
        } catch (const SubtitleError&) {
        }
      }
      return;
    }
    latin_ = true;
    pairs_.emplace("ISO_6937", "UTF-8");
  }

  bool Latin() const { return latin_; }

  // The character of b (0xA0-0xFF); empty when the table has none.
  std::string Upper(unsigned char b) const {
    if (!latin_) return upper_[static_cast<std::size_t>(b - 0xA0)];
    std::string out;
    if (const char32_t c = kLatinUpper[static_cast<std::size_t>(b - 0xA0)]) AppendUtf8(out, c);
    return out;
  }

  // A Latin diacritic (0xC1-0xCF) and the letter after it.
  std::string Accented(unsigned char diacritic, unsigned char letter) {
    const char pair[2] = {static_cast<char>(diacritic), static_cast<char>(letter)};
    try {
      return pairs_->Convert({pair, 2});
    } catch (const SubtitleError&) {
    }
    std::string out(1, static_cast<char>(letter));
    AppendUtf8(out, kCombining[static_cast<std::size_t>(diacritic - 0xC1)]);
    return out;
  }

 private:
  bool latin_ = false;
  std::array<std::string, 96> upper_;
  std::optional<TextConverter> pairs_;
};

// What a subtitle's text dropped: counted once per subtitle.
struct TextDrops {
  bool double_size = false;
  bool colour = false;
};

// The text field of a subtitle (its blocks' text joined, padding taken out)
// as cue text: CR between rows, <i> and <u> for the styles, teletext
// attributes that take a cell shown as a blank between words.
std::string DecodeText(std::string_view field, StlCharacters& chars, TextDrops& drops) {
  std::string out;
  std::string row;
  bool italic = false;
  bool underline = false;
  bool blank = false;  // a control cell since the last character
  auto end_row = [&] {
    const std::size_t first = row.find_first_not_of(' ');
    if (first != std::string::npos) {
      if (!out.empty()) out += '\r';
      out.append(row, first, row.find_last_not_of(' ') + 1 - first);
    }
    row.clear();
    blank = false;
  };
  auto put = [&](std::string_view text) {
    if (text.empty()) return;
    if (blank && !row.empty() && row.back() != ' ' && text != " ") row += ' ';
    blank = false;
    row += text;
  };
  auto toggle = [&](bool& on, bool want, std::string_view open, std::string_view close) {
    if (on == want) return;
    on = want;
    // An opening tag not yet followed by text is taken back.
    if (!want && row.ends_with(open)) {
      row.resize(row.size() - open.size());
      return;
    }
    row += want ? open : close;
  };
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto b = static_cast<unsigned char>(field[i]);
    if (b >= 0x20 && b < 0x7F) {
      put({&field[i], 1});
    } else if (b >= 0xA0) {
      if (chars.Latin() && b >= 0xC1 && b <= 0xCF) {
        if (i + 1 < field.size() && static_cast<unsigned char>(field[i + 1]) >= 0x20 &&
            static_cast<unsigned char>(field[i + 1]) < 0x7F) {
          put(chars.Accented(b, static_cast<unsigned char>(field[++i])));
        }
      } else {
        put(chars.Upper(b));
      }
    } else if (b == 0x8A) {
      // Closing tags go before the break, so every row holds whole tags.
      const bool was_italic = italic, was_underline = underline;
      toggle(underline, false, "<u>", "</u>");
      toggle(italic, false, "<i>", "</i>");
      end_row();
      toggle(italic, was_italic, "<i>", "</i>");
      toggle(underline, was_underline, "<u>", "</u>");
    } else if (b == 0x80 || b == 0x81) {
      toggle(italic, b == 0x80, "<i>", "</i>");
    } else if (b == 0x82 || b == 0x83) {
      toggle(underline, b == 0x82, "<u>", "</u>");
    } else if (b < 0x20) {
      // Teletext spacing attributes.
      if (b <= 0x06 || (b >= 0x10 && b <= 0x16)) drops.colour = true;
      if (b >= 0x0D && b <= 0x0F) drops.double_size = true;
      blank = true;
    }
    // 0x84-0x89, 0x8B-0x9F: boxing and reserved codes, nothing shown.
  }
  toggle(underline, false, "<u>", "</u>");
  toggle(italic, false, "<i>", "</i>");
  end_row();
  return out;
}

struct Header {
  StlRate rate;
  std::string_view cct;
  bool teletext = false;
};

// The place of a subtitle: the upper half of the rows is the top, as ttconv
// reads it; the justification code says left or right.
std::uint8_t PlaceOf(unsigned char vp, unsigned char jc) {
  const bool top = vp < kTeletextRows / 2;
  if (jc == 1) return top ? 7 : 1;
  if (jc == 3) return top ? 9 : 3;
  return top ? 8 : 0;
}

}  // namespace

std::int64_t NtscTimeCodeMs(int hours, int minutes, int seconds, int frames, bool drop_frame) {
  const std::int64_t total_minutes = std::int64_t{hours} * 60 + minutes;
  std::int64_t count = (total_minutes * 60 + seconds) * 30 + frames;
  if (drop_frame) count -= 2 * (total_minutes - total_minutes / 10);
  return RoundHalfEven(static_cast<double>(count) * 1001.0 / 30.0);
}

bool IsEbuStl(std::string_view bytes) {
  return bytes.size() >= 11 && IsDigit(bytes[0]) && IsDigit(bytes[1]) && IsDigit(bytes[2]) &&
         bytes.substr(3, 3) == "STL" && IsDigit(bytes[6]) && IsDigit(bytes[7]) &&
         bytes.substr(8, 3) == ".01";
}

void ReadEbuStl(TSubtitles& doc, std::string_view bytes) {
  doc.Cues.clear();
  if (bytes.size() < kGsiSize) {
    throw SubtitleError("the EBU STL header (General Subtitle Information) is cut short: " +
                        std::to_string(bytes.size()) + " of 1024 bytes");
  }
  Header header;
  header.rate = RateOf(bytes.substr(3, 8));
  header.teletext = bytes[11] == '1' || bytes[11] == '2';
  header.cct = bytes.substr(12, 2);
  StlCharacters chars(header.cct);
  if (!chars.Latin() && TableCharset(header.cct) == nullptr) {
    doc.Warn(0, "unknown character code table \"" + std::string(header.cct) + "\", read as Latin");
  }
  const std::size_t blocks = (bytes.size() - kGsiSize) / kTtiSize;
  if ((bytes.size() - kGsiSize) % kTtiSize != 0) {
    doc.Warn(0, "the file ends inside a text block, which is left out");
  }

  // Every subtitle takes a block at least: room for all at once, so the cue
  // list is never moved and never holds twice the room it needs.
  doc.Cues.reserve(doc.Cues.size() + blocks);
  std::string field;  // the text of the subtitle being gathered
  bool open = false;  // extension blocks seen, the last not yet
  int open_sn = -1;
  const unsigned char* first = nullptr;  // the gathered subtitle's first block
  std::size_t first_index = 0;

  auto finish = [&](const unsigned char* tti, std::size_t index) {
    TextDrops drops;
    BroadcastCue cue;
    cue.start_ms = TimeCodeMs(tti + 5, header.rate);
    cue.stop_ms = TimeCodeMs(tti + 9, header.rate);
    cue.text = DecodeText(field, chars, drops);
    cue.place = PlaceOf(tti[13], tti[14]);
    field.clear();
    doc.Dropped.reading_other += std::size_t{drops.double_size} + std::size_t{drops.colour};
    if (cue.stop_ms < cue.start_ms) {
      doc.Warn(0, "text block " + std::to_string(index + 1) +
                      ": the subtitle ends before it starts and is left out");
      return;
    }
    AppendBroadcastCue(doc, std::move(cue));
  };

  for (std::size_t index = 0; index < blocks; ++index) {
    const auto* tti =
        reinterpret_cast<const unsigned char*>(bytes.data()) + kGsiSize + index * kTtiSize;
    const int sn = tti[1] | (tti[2] << 8);
    const unsigned char ebn = tti[3];
    // User data and reserved blocks, and comments, hold no subtitle text.
    if (ebn > 0xEF && ebn < 0xFF) continue;
    if (tti[15] != 0) continue;
    if (open && sn != open_sn) {
      doc.Warn(0, "text block " + std::to_string(first_index + 1) +
                      ": a subtitle's extension blocks end without their last block");
      finish(first, first_index);
      open = false;
    }
    if (!open) {
      first = tti;
      first_index = index;
    }
    std::string_view text(reinterpret_cast<const char*>(tti) + 16, kTextSize);
    // Unused space (0x8F) pads the text of a block.
    const std::size_t end = text.find_last_not_of('\x8F');
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    if (field.size() + text.size() > kMaxSubtitleText) {
      // More extension blocks than there can be: what came so far is one
      // subtitle, this block begins the next.
      doc.Warn(0, "text block " + std::to_string(index + 1) +
                      ": a subtitle longer than 241 blocks is cut there");
      finish(first, first_index);
      first = tti;
      first_index = index;
    }
    field.append(text);
    if (ebn != 0xFF) {
      open = true;
      open_sn = sn;
      continue;
    }
    open = false;
    // The times are those of the subtitle's last block, as ttconv takes them.
    finish(tti, index);
  }
  if (open) {
    doc.Warn(0, "the last subtitle's extension blocks end without their last block");
    finish(first, first_index);
  }
}

bool IsBinaryFormat(std::string_view bytes) {
  for (const FormatInfo& info : FormatCatalogue()) {
    if (info.binary_signature != nullptr && info.binary_signature(bytes)) return true;
  }
  return false;
}

bool ReadBinaryFormat(TSubtitles& doc, std::string_view bytes, bool& frame_based) {
  for (const FormatInfo& info : FormatCatalogue()) {
    if (info.binary_signature == nullptr || !info.binary_signature(bytes)) continue;
    doc.SetByteOrderMark(false);
    doc.SetFormatRead(info.value);
    frame_based = false;
    info.binary_reader(doc, bytes);
    return true;
  }
  return false;
}

void WriteEbuStlLines(const TSubtitles& /*doc*/, LineList& /*lines*/) {
  throw SubtitleError("EBU STL is written as bytes, not as lines");
}

namespace {

// The next code point of UTF-8 text, or nullopt for a byte that does not
// begin one.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i) {
  const auto b = static_cast<unsigned char>(text[i]);
  std::size_t extra = 0;
  if (b >= 0xF0 && b < 0xF8) {
    extra = 3;
  } else if (b >= 0xE0 && b < 0xF0) {
    extra = 2;
  } else if (b >= 0xC0 && b < 0xE0) {
    extra = 1;
  } else if (b >= 0x80) {
    return std::nullopt;
  }
  if (i + extra >= text.size() && extra > 0) return std::nullopt;
  char32_t c = extra == 0 ? b : b & (0x3F >> extra);
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = c << 6 | (next & 0x3F);
  }
  i += extra + 1;
  return c;
}

// The tables a writer can choose, in the order tried.
constexpr std::array<std::string_view, 5> kTables = {"00", "01", "03", "02", "04"};
constexpr std::array<std::string_view, 5> kTableNames = {"Latin", "Cyrillic", "Greek", "Arabic",
                                                         "Hebrew"};

// Encodes characters in one code table; empty for a character it lacks.
class StlEncoder {
 public:
  explicit StlEncoder(std::string_view cct) : cct_(cct) {
    const char* charset = TableCharset(cct);
    converter_.emplace("UTF-8", charset != nullptr ? charset : "ISO_6937");
  }

  std::string Encode(char32_t c) {
    if (c >= 0x20 && c < 0x7F) return std::string(1, static_cast<char>(c));
    if (cct_ == "00") {
      for (std::size_t k = 0; k < kLatinUpper.size(); ++k) {
        if (kLatinUpper[k] == c && c != 0x24 && c != 0x23) {
          return std::string(1, static_cast<char>(0xA0 + k));
        }
      }
    }
    std::string utf8;
    AppendUtf8(utf8, c);
    try {
      std::string bytes = converter_->Convert(utf8);
      // Only bytes of the table's upper half, or a diacritic and a letter.
      const auto first = static_cast<unsigned char>(bytes.empty() ? 0 : bytes[0]);
      if ((bytes.size() == 1 && first >= 0xA0) ||
          (cct_ == "00" && bytes.size() == 2 && first >= 0xC1 && first <= 0xCF)) {
        return bytes;
      }
    } catch (const SubtitleError&) {
    }
    return {};
  }

 private:
  std::string_view cct_;
  std::optional<TextConverter> converter_;
};

// The characters of a cue's text; a tag is given as the control code that
// stands for it (0x80-0x83), a line break as 0x8A, other tags as 0.
struct Unit {
  char32_t ch = 0;
  unsigned char code = 0;
};

std::vector<Unit> UnitsOf(std::string_view text, std::size_t cue_number) {
  std::vector<Unit> units;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\r') {
      units.push_back({0, 0x8A});
      ++i;
      continue;
    }
    if (text[i] == '<') {
      static constexpr std::pair<std::string_view, unsigned char> kTags[] = {
          {"<i>", 0x80}, {"</i>", 0x81}, {"<u>", 0x82}, {"</u>", 0x83}};
      bool tag = false;
      for (const auto& [name, code] : kTags) {
        if (text.substr(i).starts_with(name)) {
          units.push_back({0, code});
          i += name.size();
          tag = true;
          break;
        }
      }
      // Bold and font tags have no control code: they are left out.
      for (std::string_view other : {"<b>", "</b>", "</font>"}) {
        if (!tag && text.substr(i).starts_with(other)) {
          i += other.size();
          tag = true;
        }
      }
      if (!tag && text.substr(i).starts_with("<font ")) {
        const std::size_t close = text.find('>', i);
        if (close != std::string_view::npos) {
          i = close + 1;
          tag = true;
        }
      }
      if (tag) continue;
    }
    const auto c = NextCodePoint(text, i);
    if (!c) {
      throw SubtitleError("cue " + std::to_string(cue_number) +
                          " is not UTF-8 text; name its character set with --input-encoding");
    }
    // Tabs and other control characters show as a blank.
    units.push_back({*c < 0x20 ? U' ' : *c, 0});
  }
  return units;
}

std::string Printable(char32_t c) {
  std::string out;
  AppendUtf8(out, c);
  char code[16];
  std::snprintf(code, sizeof code, " (U+%04X)", static_cast<unsigned>(c));
  return "\"" + out + "\"" + code;
}

void PutDigits(std::string& gsi, std::size_t at, std::size_t width, std::int64_t value) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  gsi.replace(at, width, digits.substr(digits.size() - width));
}

// ms to the time code bytes h m s f at the rate; 30 frames a second are
// written as drop-frame time codes at 29.97, as they are read.
std::array<unsigned char, 4> TimeCodeOf(std::int64_t ms, int rate, std::size_t cue_number) {
  std::int64_t frames = 0;
  std::int64_t per_second = rate;
  if (rate == 30) {
    frames = RoundHalfEven(static_cast<double>(ms) * 30.0 / 1001.0);
    const std::int64_t tens = frames / 17982;
    const std::int64_t rest = frames % 17982;
    frames += 18 * tens + (rest < 2 ? 0 : 2 * ((rest - 2) / 1798));
  } else {
    frames = RoundHalfEven(static_cast<double>(ms) * rate / 1000.0);
  }
  const std::int64_t hours = frames / (per_second * 3600);
  if (hours > 99) {
    throw SubtitleError("cue " + std::to_string(cue_number) +
                        ": a time past 99 hours cannot be written in EBU STL");
  }
  return {static_cast<unsigned char>(hours),
          static_cast<unsigned char>(frames / (per_second * 60) % 60),
          static_cast<unsigned char>(frames / per_second % 60),
          static_cast<unsigned char>(frames % per_second)};
}

}  // namespace

std::string WriteEbuStl(const TSubtitles& doc) {
  const std::vector<BroadcastCue> cues = BroadcastCuesOf(doc);
  std::vector<std::vector<Unit>> units;
  units.reserve(cues.size());
  for (std::size_t i = 0; i < cues.size(); ++i) units.push_back(UnitsOf(cues[i].text, i + 1));

  // The first table that holds every character; else the error names the
  // first cue the table of its own first foreign character cannot write.
  std::array<std::optional<StlEncoder>, kTables.size()> encoders;
  auto encoder = [&](std::size_t t) -> StlEncoder& {
    if (!encoders[t]) encoders[t].emplace(kTables[t]);
    return *encoders[t];
  };
  std::size_t table = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    for (const Unit& unit : units[i]) {
      if (unit.code != 0 || !encoder(table).Encode(unit.ch).empty()) continue;
      bool found = false;
      for (std::size_t t = table + 1; t < kTables.size() && !found; ++t) {
        if (encoder(t).Encode(unit.ch).empty()) continue;
        // A later table must hold everything before this cue too.
        bool holds = true;
        for (std::size_t j = 0; j <= i && holds; ++j) {
          for (const Unit& before : units[j]) {
            if (before.code == 0 && encoder(t).Encode(before.ch).empty()) {
              holds = false;
              break;
            }
          }
        }
        if (holds) {
          table = t;
          found = true;
        }
      }
      if (found) continue;
      bool anywhere = false;
      for (std::size_t t = 0; t < kTables.size() && !anywhere; ++t) {
        anywhere = !encoder(t).Encode(unit.ch).empty();
      }
      throw SubtitleError(
          "cue " + std::to_string(i + 1) + ": " + Printable(unit.ch) +
          (anywhere ? " cannot be written in one EBU STL code table with the cues before it"
                    : " is in no EBU STL code table"));
    }
  }

  const int rate = doc.WholeFrameRate() == 30 ? 30 : 25;
  std::string gsi(kGsiSize, ' ');
  gsi.replace(0, 3, "850");
  gsi.replace(3, 8, rate == 30 ? "STL30.01" : "STL25.01");
  gsi[11] = '1';  // teletext level 1
  gsi.replace(12, 2, kTables[table]);
  gsi.replace(14, 2, "00");
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char date[32];
  std::snprintf(date, sizeof date, "%02d%02d%02d", utc.tm_year % 100, utc.tm_mon + 1, utc.tm_mday);
  gsi.replace(224, 6, date);
  gsi.replace(230, 6, date);
  gsi.replace(236, 2, "00");
  gsi.replace(248, 3, "001");
  gsi.replace(251, 2, "40");
  gsi.replace(253, 2, "23");
  gsi[255] = '1';
  gsi.replace(256, 8, "00000000");
  gsi.replace(264, 8, "00000000");
  gsi[272] = '1';
  gsi[273] = '1';

  std::string out = gsi;
  std::size_t blocks = 0;
  for (std::size_t i = 0; i < cues.size(); ++i) {
    StlEncoder& enc = encoder(table);
    std::string text;
    int rows = 1;
    for (const Unit& unit : units[i]) {
      if (unit.code != 0) {
        text += static_cast<char>(unit.code);
        rows += unit.code == 0x8A;
      } else {
        text += enc.Encode(unit.ch);
      }
    }
    const std::size_t count = text.empty() ? 1 : (text.size() + kTextSize - 1) / kTextSize;
    if (count > 0xF1) {
      throw SubtitleError("cue " + std::to_string(i + 1) +
                          " is too long for EBU STL (more than 241 text blocks)");
    }
    const auto in = TimeCodeOf(cues[i].start_ms, rate, i + 1);
    const auto out_tc = TimeCodeOf(cues[i].stop_ms, rate, i + 1);
    if (i == 0) {
      char tcf[32];
      std::snprintf(tcf, sizeof tcf, "%02d%02d%02d%02d", in[0], in[1], in[2], in[3]);
      gsi.replace(264, 8, tcf);
      out.replace(264, 8, tcf);
    }
    const bool top = cues[i].place >= 7;
    const unsigned char jc = cues[i].place % 3 == 1                    ? 1
                             : cues[i].place % 3 == 0 && cues[i].place ? 3
                                                                       : 2;
    const int vp = top ? 1 : std::max(1, kTeletextRows - rows);
    for (std::size_t b = 0; b < count; ++b) {
      std::string tti(kTtiSize, '\x8F');
      tti[0] = 0;
      tti[1] = static_cast<char>(i & 0xFF);
      tti[2] = static_cast<char>((i >> 8) & 0xFF);
      tti[3] = static_cast<char>(b + 1 == count ? 0xFF : b);
      tti[4] = 0;
      for (std::size_t k = 0; k < 4; ++k) {
        tti[5 + k] = static_cast<char>(in[k]);
        tti[9 + k] = static_cast<char>(out_tc[k]);
      }
      tti[13] = static_cast<char>(vp);
      tti[14] = static_cast<char>(jc);
      tti[15] = 0;
      const std::size_t from = b * kTextSize;
      if (from < text.size())
        tti.replace(16, std::min(kTextSize, text.size() - from), text, from,
                    std::min(kTextSize, text.size() - from));
      out += tti;
      ++blocks;
    }
  }
  PutDigits(out, 238, 5, static_cast<std::int64_t>(std::min<std::size_t>(blocks, 99999)));
  PutDigits(out, 243, 5, static_cast<std::int64_t>(std::min<std::size_t>(cues.size(), 99999)));
  return out;
}

void AppendBroadcastCue(TSubtitles& doc, BroadcastCue&& cue) {
  const auto in_range = [](std::int64_t ms) { return std::clamp(ms, kEarliestTime, kLatestTime); };
  doc.Cues.push_back(
      {in_range(cue.start_ms), in_range(cue.stop_ms), std::move(cue.text), cue.place});
}

std::vector<BroadcastCue> BroadcastCuesOf(const TSubtitles& doc) {
  std::vector<BroadcastCue> cues;
  cues.reserve(doc.Cues.size());
  // Nothing is lost: a cue before zero is written from zero, one wholly
  // before it from 0 to 0.
  for (const SubtitleCue& cue : doc.Cues) {
    cues.push_back({std::max<std::int64_t>(cue.Start, 0), std::max<std::int64_t>(cue.Stop, 0),
                    cue.Text, cue.Place});
  }
  return cues;
}

}  // namespace vorlane
