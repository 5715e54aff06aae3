// The catalogue of formats: one table of 51 entries (sf0 and the 50 formats)
// with each format's display name, proper extension, reader and writer.
// Loading, saving, the extension lookup and the format lists of the window
// and the command line all read it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "subtitles/strings.h"

namespace vorlane {

class TSubtitles;

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
};

inline constexpr int kFormatCount = 51;  // sf0 and the 50 formats

// A reader replaces the document's cues by those of the lines; a writer
// appends the document's lines and never changes the document.
using SubtitleReader = void (*)(TSubtitles& doc, const LineViews& lines);
using SubtitleWriter = void (*)(const TSubtitles& doc, LineList& lines);

struct FormatInfo {
  TSubtitleFormat value;
  std::string_view name;       // the value's name without "sf"
  std::string_view extension;  // proper extension, lower case, no dot
  SubtitleReader reader;       // nullptr: not read
  SubtitleWriter writer;       // nullptr: nothing is written
  bool frame_based;            // input counts frames, not times
  bool writes_frames;          // output counts frames: needs a frame rate
};

const std::array<FormatInfo, kFormatCount>& FormatCatalogue();
const FormatInfo& FormatOf(TSubtitleFormat value);

// The 50 output formats (sf0 left out) in the order of the window's format
// box: by display name, without regard to case.
std::vector<TSubtitleFormat> OutputFormatsInBoxOrder();
// The output format whose display name equals name without regard to case.
std::optional<TSubtitleFormat> FindFormatByName(std::string_view name);

}  // namespace vorlane
