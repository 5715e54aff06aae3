// Cue text inside the program.
//
// A cue's text is UTF-8 (with the classic setting: the input's bytes as
// read), its lines separated by one CR. Styles are written in it as the tags
// SubRip files carry, the one markup the program keeps:
//
//   <i>...</i>   italic          <b>...</b>   bold
//   <u>...</u>   underline       <font color="#RRGGBB">...</font>   a colour
//
// Tag names are read in any case, and a colour also as SubRip files write it
// (color=red, color='#ff0000', color=#F00); readers write the forms above.
// Every other '<' is text, so "a < b" and "<3" stay as they are. Where a cue
// stands on the screen is not part of its text: SubtitleCue::Place holds it,
// as the nine places of a numeric keypad.
//
// Each reader translates its format's dialect into this (MicroDVD's {y:i},
// SubStation's {\i1}, TTML's tts:fontStyle...), and each writer renders it
// in its own through the functions below, or drops what it cannot show and
// counts it (DroppedCounts). Left out on purpose: fonts, sizes, outlines,
// karaoke timing and free positions; players honour the nine places and the
// four styles far more often than anything else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

struct DroppedCounts;

// A colour as 0xRRGGBB.
using Colour = std::uint32_t;

// A piece of cue text: plain text, a style opening or closing, or a line
// break. style is 'i', 'b', 'u' or 'c' (a colour, given in colour).
struct StylePiece {
  enum Kind : std::uint8_t { kText, kOpen, kClose, kBreak } kind;
  char style = 0;
  std::string_view text;  // kText
  Colour colour = 0;      // kOpen of 'c'
};
std::vector<StylePiece> StylePieces(std::string_view text);

// The colour a SubRip or HTML colour value names ("#FF0000", "#f00", "red",
// "ff0000"), nothing when it names none.
std::optional<Colour> ParseColour(std::string_view value);
// The opening tag of a colour as the program writes it.
std::string FontTag(Colour colour);

// The text without any style: the lines as they are shown.
std::string PlainCueText(std::string_view text);

// A format's way of showing styles inside a line.
struct TextDialect {
  std::string_view italic[2];  // opening and closing; empty: not shown
  std::string_view bold[2];
  std::string_view underline[2];
  // A colour: printf-like with %s standing for six hex digits, in the order
  // of colour_order ("RRGGBB" or "BBGGRR"); empty: not shown.
  std::string_view colour_open;
  std::string_view colour_close;
  std::string_view colour_order = "RRGGBB";
  std::string_view line_break = "\r";
  // How '&', '<' and '>' of the text are written: as they are, or as
  // references (markup and XML outputs; XML also loses the control
  // characters it does not allow, and an attribute value escapes '"' too).
  enum Escape : std::uint8_t { kAsIs, kMarkup, kXml, kXmlAttribute } escape = kAsIs;
};

// The text in dialect; what the dialect cannot show is left out and, when
// dropped is given, counted there.
std::string RenderCueText(std::string_view text, const TextDialect& dialect,
                          DroppedCounts* dropped = nullptr);

// A line of cue text with the styles that hold for the whole of it, for
// formats that mark styles only per line (MicroDVD's {y:i}, MPL2's "/").
// partial is set when a style covers only part of the line: the line's
// plain text cannot show it.
struct StyledLine {
  std::string text;  // plain
  bool italic = false;
  bool bold = false;
  bool underline = false;
  std::optional<Colour> colour;
  bool partial = false;

  bool operator==(const StyledLine&) const = default;
};
std::vector<StyledLine> StyledLines(std::string_view text);

// A line of text with whole-line styles, in the program's tags.
std::string StyledLineText(const StyledLine& line);

// Lines whose first character is '/' (MPL2, TMPlayer, MicroDVD) are italic:
// the slash becomes the tags around the line.
std::string SlashItalicsToModel(std::string_view text);

}  // namespace vorlane
