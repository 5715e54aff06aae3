// The catalogue of formats: one table with sf0, the 50 classic formats and
// the formats added after them, each with its display name, proper
// extension, reader and writer.
// Loading, saving, the extension lookup and the format lists of the window
// and the command line all read it.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/strings.h"

namespace vorlane {

class TSubtitles;
class OutputSink;
struct SubtitleCue;

enum TSubtitleFormat : std::uint8_t {
  sf0,
  sfMPL2,
  sfSubRipper,
  sfTMPlayer,
  sfMicroDVD,
  sfCheetah,
  sfTurboTitler,
  sfViPlay,
  sfSubViewer1,
  sfSubViewer2,
  sfDual,
  sfZeroG,
  sfStreamSubTextScript,
  sfSAMI,
  sfAdvancedSSA,
  sfStreamSubTextPlayer,
  sfTTXT,
  sfMPL,
  sfMacSub,
  sfAQTitle,
  sfUleadDVDWorkshop2,
  sfAdobeEncoreDVD,
  sfCavena,
  sfCPC600,
  sfDKSSubtitleFormat,
  sfDVDArchitectSubtitleScript,
  sfDVDJunior,
  sfDVDSubtitleSystem,
  sfDVDSubtitle,
  sfFABSubtitler,
  sfInscriberCG,
  sfJACOSub2,
  sfKaraokeLyricsLRC,
  sfKaraokeLyricsVKT,
  sfMACDVDStudioPro,
  sfOVRScript,
  sfPinnacleImpression,
  sfPowerDivX,
  sfPowerPixel,
  sfQuickTimeText,
  sfRealTime,
  sfScantitle890,
  sfSofni,
  sfSonicScenarist,
  sfSonicDVDCreator,
  sfSpruceDVDMaestro,
  sfSpruceSubtitleFile,
  sfSubCreator1x,
  sfSubSonic,
  sfUleadDVDWorkshop2a,
  sfWincapsTextTimecoded,
  // Formats beyond the classic 50.
  sfWebVTT,
  sfTTML,
  sfSBV,
  sfEBUSTL,
  sfSCC,
  sfYouTubeTimedText,
};

inline constexpr int kClassicFormatCount = 51;  // sf0 and the 50 classic formats
inline constexpr int kFormatCount = 57;         // and the formats after them

// A reader replaces the document's cues by those of the lines; a writer
// appends the document's lines and never changes the document.
using SubtitleReader = void (*)(TSubtitles& doc, const LineViews& lines);
using SubtitleWriter = void (*)(const TSubtitles& doc, LineList& lines);
// True when the lines certainly are in the format (a header, a root
// element): tells the second reading which reader to try.
// A signature runs on every file, so it looks at no more than the first
// kSignatureLines lines: a format shows itself at the head of a file.
using FormatSignature = bool (*)(const LineViews& lines);
inline constexpr std::size_t kSignatureLines = 1000;
// The lines of a file a signature looks at.
inline std::span<const std::string_view> HeadOf(const LineViews& lines) {
  return {lines.data(), std::min(lines.size(), kSignatureLines)};
}
// What a streaming writer writes: the whole document, or, for output made a
// block of cues at a time while a file is still being read, the head, one
// block of cues, or the tail. A block's cues stand in for the document's and
// are numbered on from first, the index of the block's first cue in the
// whole output. Head, the blocks in order and tail give the bytes of the
// whole document that holds all of them.
struct StreamPart {
  enum Kind { kWhole, kHead, kCues, kTail };
  Kind kind = kWhole;
  const SubtitleCue* cues = nullptr;  // kCues: count cues from here
  std::size_t count = 0;
  std::size_t first = 0;
};
// A writer that streams straight into an output sink: exactly the bytes of
// the line-list writer, each line followed by CR LF.
using StreamWriter = void (*)(const TSubtitles& doc, OutputSink& out, const StreamPart& part);
// A binary format: recognised from the file's first bytes and read from its
// bytes, before any decoding or splitting into lines; written as bytes, not
// as lines.
using BinarySignature = bool (*)(std::string_view bytes);
using BinaryReader = void (*)(TSubtitles& doc, std::string_view bytes);
using BinaryWriter = std::string (*)(const TSubtitles& doc);

struct FormatInfo {
  TSubtitleFormat value;
  std::string_view name;       // the value's name without "sf"
  std::string_view extension;  // proper extension, lower case, no dot
  SubtitleReader reader;       // nullptr: not read
  SubtitleWriter writer;       // nullptr: nothing is written
  bool frame_based;            // input counts frames, not times
  bool writes_frames;          // output counts frames: needs a frame rate
  // Read only by the second reading, when the classic one gives up: a
  // reader beyond the classic rules and the signature that picks it.
  SubtitleReader second_reader = nullptr;
  FormatSignature signature = nullptr;
  // The writer's streaming twin, where a format has one (the most used).
  StreamWriter stream_writer = nullptr;
  // A binary format's signature and reader (default reading only), and its
  // writer: the line-list writer of such a format only raises an error.
  BinarySignature binary_signature = nullptr;
  BinaryReader binary_reader = nullptr;
  BinaryWriter binary_writer = nullptr;
};

const std::array<FormatInfo, kFormatCount>& FormatCatalogue();
const FormatInfo& FormatOf(TSubtitleFormat value);

// The output formats (those with a writer; with classic, only the 50
// classic ones) in the order of the window's format box: by display name,
// without regard to case.
std::vector<TSubtitleFormat> OutputFormatsInBoxOrder(bool classic = false);
// The output format whose display name equals name without regard to case
// (with classic, among the 50 classic ones only).
std::optional<TSubtitleFormat> FindFormatByName(std::string_view name, bool classic = false);
// True for the formats that are UTF-8 by their definition (WebVTT, TTML,
// SBV, TTXT): written in UTF-8 whatever the input's character set.
constexpr bool WritesUtf8Only(TSubtitleFormat value) {
  return value == sfWebVTT || value == sfTTML || value == sfSBV || value == sfTTXT;
}
// True for sf0 and the 50 classic formats.
constexpr bool IsClassicFormat(TSubtitleFormat value) {
  return value < kClassicFormatCount;
}

}  // namespace vorlane
