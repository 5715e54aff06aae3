#include "subtitles/catalogue.h"

#include <algorithm>
#include <cctype>

#include "subtitles/formats/broadcast.h"
#include "subtitles/formats/formats.h"

namespace vorlane {

namespace {

constexpr std::array<FormatInfo, kFormatCount> kCatalogue{{
    // value, display name, extension, reader, writer, reads frames, writes frames
    {sf0, "0", "txt", nullptr, nullptr, false, false},
    {sfMPL2, "MPL2", "txt", ReadMPL2, WriteMPL2, false, false},
    {sfSubRipper, "SubRipper", "srt", ReadSubRip, WriteSubRip, false, false, ReadSubRipLenient,
     SubRipLenientSignature, StreamSubRip},
    {sfTMPlayer, "TMPlayer", "txt", ReadTMPlayer, WriteTMPlayer, false, false},
    {sfMicroDVD, "MicroDVD", "txt", ReadMicroDVD, WriteMicroDVD, true, true, nullptr, nullptr,
     StreamMicroDVD},
    {sfCheetah, "Cheetah", "txt", nullptr, WriteCheetah, false, false},
    {sfTurboTitler, "TurboTitler", "txt", ReadTurboTitler, WriteTurboTitler, false, false},
    {sfViPlay, "ViPlay", "txt", ReadViPlay, WriteViPlay, false, false},
    {sfSubViewer1, "SubViewer1", "txt", ReadSubViewer1, WriteSubViewer1, false, false},
    {sfSubViewer2, "SubViewer2", "txt", ReadSubViewer2, WriteSubViewer2, false, false,
     ReadSubViewer2Lenient, SubViewer2LenientSignature},
    {sfDual, "Dual", "txt", nullptr, WriteDual, false, false},
    {sfZeroG, "ZeroG", "txt", ReadZeroG, WriteZeroG, false, false},
    {sfStreamSubTextScript, "StreamSubTextScript", "txt", ReadStreamSubTextScript,
     WriteStreamSubTextScript, false, false},
    {sfSAMI, "SAMI", "smi", nullptr, WriteSAMI, false, false, ReadSAMI, IsSAMI, StreamSAMI},
    {sfAdvancedSSA, "AdvancedSSA", "ssa", nullptr, WriteAdvancedSSA, false, false, ReadAdvancedSSA,
     IsAdvancedSSA, StreamAdvancedSSA},
    {sfStreamSubTextPlayer, "StreamSubTextPlayer", "txt", nullptr, WriteStreamSubTextPlayer, false,
     false},
    {sfTTXT, "TTXT", "txt", ReadTTXT, WriteTTXT, false, false, ReadTTXTLenient,
     TTXTLenientSignature},
    {sfMPL, "MPL", "txt", nullptr, WriteMPL, false, true},
    {sfMacSub, "MacSub", "txt", nullptr, WriteMacSub, false, true},
    {sfAQTitle, "AQTitle", "txt", nullptr, WriteAQTitle, false, true},
    {sfUleadDVDWorkshop2, "UleadDVDWorkshop2", "txt", nullptr, WriteUleadDVDWorkshop2, false,
     false},
    {sfAdobeEncoreDVD, "AdobeEncoreDVD", "txt", nullptr, WriteAdobeEncoreDVD, false, false},
    {sfCavena, "Cavena", "txt", nullptr, WriteCavena, false, false},
    {sfCPC600, "CPC600", "txt", nullptr, WriteCPC600, false, false},
    {sfDKSSubtitleFormat, "DKSSubtitleFormat", "dks", nullptr, WriteDKSSubtitleFormat, false,
     false},
    {sfDVDArchitectSubtitleScript, "DVDArchitectSubtitleScript", "sub", nullptr,
     WriteDVDArchitectSubtitleScript, false, false},
    {sfDVDJunior, "DVDJunior", "txt", nullptr, WriteDVDJunior, false, false},
    {sfDVDSubtitleSystem, "DVDSubtitleSystem", "txt", nullptr, WriteDVDSubtitleSystem, false,
     false},
    {sfDVDSubtitle, "DVDSubtitle", "sub", nullptr, WriteDVDSubtitle, false, false},
    {sfFABSubtitler, "FABSubtitler", "txt", nullptr, WriteFABSubtitler, false, false},
    {sfInscriberCG, "InscriberCG", "txt", nullptr, WriteInscriberCG, false, false},
    {sfJACOSub2, "JACOSub2", "js", nullptr, WriteJACOSub2, false, false},
    {sfKaraokeLyricsLRC, "KaraokeLyricsLRC", "lrc", nullptr, WriteKaraokeLyricsLRC, false, false,
     ReadKaraokeLyricsLRC, IsKaraokeLyricsLRC},
    {sfKaraokeLyricsVKT, "KaraokeLyricsVKT", "txt", nullptr, WriteKaraokeLyricsVKT, false, false},
    {sfMACDVDStudioPro, "MACDVDStudioPro", "txt", nullptr, WriteMACDVDStudioPro, false, false},
    {sfOVRScript, "OVRScript", "ovr", nullptr, WriteOVRScript, false, false},
    {sfPinnacleImpression, "PinnacleImpression", "txt", nullptr, WritePinnacleImpression, false,
     false},
    {sfPowerDivX, "PowerDivX", "psb", nullptr, WritePowerDivX, false, false},
    {sfPowerPixel, "PowerPixel", "txt", nullptr, WritePowerPixel, false, false},
    {sfQuickTimeText, "QuickTimeText", "txt", nullptr, WriteQuickTimeText, false, false},
    {sfRealTime, "RealTime", "rt", nullptr, WriteRealTime, false, false},
    {sfScantitle890, "Scantitle890", "txt", nullptr, WriteScantitle890, false, false},
    {sfSofni, "Sofni", "sub", nullptr, WriteSofni, false, false},
    {sfSonicScenarist, "SonicScenarist", "sst", nullptr, WriteSonicScenarist, false, false},
    {sfSonicDVDCreator, "SonicDVDCreator", "sub", nullptr, WriteSonicDVDCreator, false, false},
    {sfSpruceDVDMaestro, "SpruceDVDMaestro", "son", nullptr, WriteSpruceDVDMaestro, false, false},
    {sfSpruceSubtitleFile, "SpruceSubtitleFile", "stl", nullptr, WriteSpruceSubtitleFile, false,
     false, ReadSpruceSubtitleFile, IsSpruceSubtitleFile},
    {sfSubCreator1x, "SubCreator1x", "txt", nullptr, WriteSubCreator1x, false, false},
    {sfSubSonic, "SubSonic", "sub", nullptr, WriteSubSonic, false, false},
    {sfUleadDVDWorkshop2a, "UleadDVDWorkshop2a", "txt", nullptr, WriteUleadDVDWorkshop2a, false,
     false},
    {sfWincapsTextTimecoded, "WincapsTextTimecoded", "txt", nullptr, WriteWincapsTextTimecoded,
     false, false},
    {sfWebVTT, "WebVTT", "vtt", nullptr, WriteWebVTT, false, false, ReadWebVTT, IsWebVTT},
    {sfTTML, "TTML", "ttml", nullptr, WriteTTML, false, false, ReadTTML, IsTTML},
    {sfSBV, "SBV", "sbv", nullptr, WriteSBV, false, false, ReadSBV, IsSBV},
    {sfEBUSTL, "EBUSTL", "stl", nullptr, WriteEbuStlLines, false, false, nullptr, nullptr, nullptr,
     IsEbuStl, ReadEbuStl, WriteEbuStl},
    // Read only: no writer, so not an output format.
    {sfSCC, "SCC", "scc", nullptr, nullptr, false, false, nullptr, nullptr, nullptr, IsSCC,
     ReadSCC},
    {sfYouTubeTimedText, "YouTubeTimedText", "xml", nullptr, nullptr, false, false,
     ReadYouTubeTimedText, IsYouTubeTimedText},
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

bool IsOutputFormat(const FormatInfo& info, bool classic) {
  return info.value != sf0 && info.writer != nullptr && (!classic || IsClassicFormat(info.value));
}

}  // namespace

const std::array<FormatInfo, kFormatCount>& FormatCatalogue() {
  return kCatalogue;
}

const FormatInfo& FormatOf(TSubtitleFormat value) {
  const auto index = static_cast<std::size_t>(value);
  return kCatalogue[index < kCatalogue.size() ? index : 0];
}

std::vector<TSubtitleFormat> OutputFormatsInBoxOrder(bool classic) {
  std::vector<TSubtitleFormat> order;
  for (const auto& info : kCatalogue) {
    if (IsOutputFormat(info, classic)) order.push_back(info.value);
  }
  std::stable_sort(order.begin(), order.end(), [](TSubtitleFormat a, TSubtitleFormat b) {
    return LessIgnoringCase(FormatOf(a).name, FormatOf(b).name);
  });
  return order;
}

std::optional<TSubtitleFormat> FindFormatByName(std::string_view name, bool classic) {
  for (const auto& info : kCatalogue) {
    if (IsOutputFormat(info, classic) && EqualIgnoringCase(info.name, name)) return info.value;
  }
  return std::nullopt;
}

}  // namespace vorlane
