#include "subtitles/catalogue.h"

#include <algorithm>
#include <cctype>

#include "subtitles/formats/formats.h"

namespace vorlane {

namespace {

constexpr std::array<FormatInfo, kFormatCount> kCatalogue{{
    // value, display name, extension, reader, writer, frame-based
    {sf0, "0", "txt", nullptr, nullptr, false},
    {sfMPL2, "MPL2", "txt", nullptr, nullptr, false},
    {sfSubRipper, "SubRipper", "srt", ReadSubRip, WriteSubRip, false},
    {sfTMPlayer, "TMPlayer", "txt", nullptr, nullptr, false},
    {sfMicroDVD, "MicroDVD", "txt", nullptr, nullptr, true},
    {sfCheetah, "Cheetah", "txt", nullptr, nullptr, false},
    {sfTurboTitler, "TurboTitler", "txt", nullptr, nullptr, false},
    {sfViPlay, "ViPlay", "txt", nullptr, nullptr, false},
    {sfSubViewer1, "SubViewer1", "txt", nullptr, nullptr, false},
    {sfSubViewer2, "SubViewer2", "txt", nullptr, nullptr, false},
    {sfDual, "Dual", "txt", nullptr, nullptr, false},
    {sfZeroG, "ZeroG", "txt", nullptr, nullptr, false},
    {sfStreamSubTextScript, "StreamSubTextScript", "txt", nullptr, nullptr, false},
    {sfSAMI, "SAMI", "smi", nullptr, nullptr, false},
    {sfAdvancedSSA, "AdvancedSSA", "ssa", nullptr, nullptr, false},
    {sfStreamSubTextPlayer, "StreamSubTextPlayer", "txt", nullptr, nullptr, false},
    {sfTTXT, "TTXT", "txt", nullptr, nullptr, false},
    {sfMPL, "MPL", "txt", nullptr, nullptr, false},
    {sfMacSub, "MacSub", "txt", nullptr, nullptr, false},
    {sfAQTitle, "AQTitle", "txt", nullptr, nullptr, false},
    {sfUleadDVDWorkshop2, "UleadDVDWorkshop2", "txt", nullptr, nullptr, false},
    {sfAdobeEncoreDVD, "AdobeEncoreDVD", "txt", nullptr, nullptr, false},
    {sfCavena, "Cavena", "txt", nullptr, nullptr, false},
    {sfCPC600, "CPC600", "txt", nullptr, nullptr, false},
    {sfDKSSubtitleFormat, "DKSSubtitleFormat", "dks", nullptr, nullptr, false},
    {sfDVDArchitectSubtitleScript, "DVDArchitectSubtitleScript", "sub", nullptr, nullptr, false},
    {sfDVDJunior, "DVDJunior", "txt", nullptr, nullptr, false},
    {sfDVDSubtitleSystem, "DVDSubtitleSystem", "txt", nullptr, nullptr, false},
    {sfDVDSubtitle, "DVDSubtitle", "sub", nullptr, nullptr, false},
    {sfFABSubtitler, "FABSubtitler", "txt", nullptr, nullptr, false},
    {sfInscriberCG, "InscriberCG", "txt", nullptr, nullptr, false},
    {sfJACOSub2, "JACOSub2", "js", nullptr, nullptr, false},
    {sfKaraokeLyricsLRC, "KaraokeLyricsLRC", "lrc", nullptr, nullptr, false},
    {sfKaraokeLyricsVKT, "KaraokeLyricsVKT", "txt", nullptr, nullptr, false},
    {sfMACDVDStudioPro, "MACDVDStudioPro", "txt", nullptr, nullptr, false},
    {sfOVRScript, "OVRScript", "ovr", nullptr, nullptr, false},
    {sfPinnacleImpression, "PinnacleImpression", "txt", nullptr, nullptr, false},
    {sfPowerDivX, "PowerDivX", "psb", nullptr, nullptr, false},
    {sfPowerPixel, "PowerPixel", "txt", nullptr, nullptr, false},
    {sfQuickTimeText, "QuickTimeText", "txt", nullptr, nullptr, false},
    {sfRealTime, "RealTime", "rt", nullptr, nullptr, false},
    {sfScantitle890, "Scantitle890", "txt", nullptr, nullptr, false},
    {sfSofni, "Sofni", "sub", nullptr, nullptr, false},
    {sfSonicScenarist, "SonicScenarist", "sst", nullptr, nullptr, false},
    {sfSonicDVDCreator, "SonicDVDCreator", "sub", nullptr, nullptr, false},
    {sfSpruceDVDMaestro, "SpruceDVDMaestro", "son", nullptr, nullptr, false},
    {sfSpruceSubtitleFile, "SpruceSubtitleFile", "stl", nullptr, nullptr, false},
    {sfSubCreator1x, "SubCreator1x", "txt", nullptr, nullptr, false},
    {sfSubSonic, "SubSonic", "sub", nullptr, nullptr, false},
    {sfUleadDVDWorkshop2a, "UleadDVDWorkshop2a", "txt", nullptr, nullptr, false},
    {sfWincapsTextTimecoded, "WincapsTextTimecoded", "txt", nullptr, nullptr, false},
}};

constexpr bool EntriesInValueOrder() {
  for (int i = 0; i < kFormatCount; ++i) {
    if (kCatalogue[static_cast<std::size_t>(i)].value != i) return false;
  }
  return true;
}
static_assert(EntriesInValueOrder(), "catalogue entry i must describe value i");

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

bool LessIgnoringCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

}  // namespace

const std::array<FormatInfo, kFormatCount>& FormatCatalogue() { return kCatalogue; }

const FormatInfo& FormatOf(TSubtitleFormat value) {
  const auto index = static_cast<std::size_t>(value);
  return kCatalogue[index < kCatalogue.size() ? index : 0];
}

std::vector<TSubtitleFormat> OutputFormatsInBoxOrder() {
  std::vector<TSubtitleFormat> order;
  for (const auto& info : kCatalogue) {
    if (info.value != sf0) order.push_back(info.value);
  }
  std::stable_sort(order.begin(), order.end(), [](TSubtitleFormat a, TSubtitleFormat b) {
    return LessIgnoringCase(FormatOf(a).name, FormatOf(b).name);
  });
  return order;
}

std::optional<TSubtitleFormat> FindFormatByName(std::string_view name) {
  for (const auto& info : kCatalogue) {
    if (info.value != sf0 && EqualIgnoringCase(info.name, name)) return info.value;
  }
  return std::nullopt;
}

}  // namespace vorlane
