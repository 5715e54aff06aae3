#include "subtitles/detection.h"

#include <array>

namespace vorlane {

namespace {

bool TMPlayerLine(std::string_view s) {
  return CharIs(s, 3, ':') && CharIs(s, 6, ':') && CharIs(s, 9, ':');
}

bool SubRipLine(std::string_view s) {
  return CharIs(s, 3, ':') && CharIs(s, 6, ':') && CharIs(s, 9, ',') && Contains(s, "-->");
}

// "[1][5]": the first "][" must start at position 3 or later.
bool OpensWithPair(std::string_view s, char open, std::string_view pair) {
  if (!CharIs(s, 1, open)) return false;
  const std::size_t p = s.find(pair);
  return p != std::string_view::npos && p + 1 >= 3;
}
bool MPL2Line(std::string_view s) {
  return OpensWithPair(s, '[', "][");
}
bool MicroDVDLine(std::string_view s) {
  return OpensWithPair(s, '{', "}{");
}

bool AdvancedSSALine(std::string_view s) {
  return Contains(s, "Dialogue: ");
}
bool SAMILine(std::string_view s) {
  return Contains(s, "<SAMI>");
}
bool ZeroGLine(std::string_view s) {
  return Contains(s, "% Zero G");
}

bool CheetahLine(std::string_view s) {
  return CharIs(s, 6, ':') && CharIs(s, 9, ':') && CharIs(s, 12, ':') && Contains(s, "*T ");
}

bool UleadLine(std::string_view s) {
  return CharIs(s, 1, '#') && CharIs(s, 6, ';') && CharIs(s, 9, ';') && CharIs(s, 12, ';') &&
         CharIs(s, 18, ';') && CharIs(s, 21, ';') && CharIs(s, 24, ';');
}

bool SubViewer1Line(std::string_view s) {
  return CharIs(s, 1, '[') && CharIs(s, 4, ':') && CharIs(s, 7, ':') && CharIs(s, 10, ']');
}

bool SubViewer2Line(std::string_view s) {
  return CharIs(s, 3, ':') && CharIs(s, 6, ':') && CharIs(s, 9, '.') && CharIs(s, 12, ',') &&
         CharIs(s, 15, ':') && CharIs(s, 18, ':') && CharIs(s, 21, '.');
}

bool ViPlayLine(std::string_view s) {
  return CharIs(s, 3, ':') && CharIs(s, 6, ':') && CharIs(s, 9, ',') && CharIs(s, 13, '-') &&
         CharIs(s, 16, ':') && CharIs(s, 19, ':') && CharIs(s, 22, ',') && CharIs(s, 26, '=');
}

bool TurboTitlerLine(std::string_view s) {
  return CharIs(s, 2, ':') && CharIs(s, 5, ':') && CharIs(s, 8, '.') && CharIs(s, 11, ',') &&
         CharIs(s, 13, ':') && CharIs(s, 16, ':') && CharIs(s, 19, '.') && CharIs(s, 22, ',');
}

bool MacSubLine(std::string_view s) {
  return CharIs(s, 1, '/');
}
bool AQTitleLine(std::string_view s) {
  return StartsWith(s, "-->> 0");
}
bool MPLLine(std::string_view s) {
  return CharIs(s, 5, ',') && CharIs(s, 10, ',') && CharIs(s, 12, ',');
}
bool TTXTLine(std::string_view s) {
  return Contains(s, "<TextSample");
}

// The single-line tests before and after the StreamSubText test, in order.
constexpr std::array<DetectionTest, 15> kLineTestsBefore{{
    {sfTMPlayer, TMPlayerLine},
    {sfSubRipper, SubRipLine},
    {sfMPL2, MPL2Line},
    {sfMicroDVD, MicroDVDLine},
    {sfAdvancedSSA, AdvancedSSALine},
    {sfSAMI, SAMILine},
    {sfZeroG, ZeroGLine},
    {sfCheetah, CheetahLine},
    {sfUleadDVDWorkshop2, UleadLine},
    {sfSubViewer1, SubViewer1Line},
    {sfSubViewer2, SubViewer2Line},
    {sfViPlay, ViPlayLine},
    {sfTurboTitler, TurboTitlerLine},
    {sfMacSub, MacSubLine},
    {sfAQTitle, AQTitleLine},
}};
constexpr std::array<DetectionTest, 2> kLineTestsAfter{{
    {sfMPL, MPLLine},
    {sfTTXT, TTXTLine},
}};

bool AnyLinePasses(const LineViews& lines, const DetectionTest& test) {
  for (const auto& line : lines) {
    if (test.passes(line)) return true;
  }
  return false;
}

// For each line beginning with "SST ", the lines from it to the end are
// searched for "[SCRIPT]" (player), then for "[TITLES]" (script). The lines
// after a later "SST " line are a subset of those after the first one, so
// only the first "SST " line can ever decide: one pass from it suffices.
TSubtitleFormat StreamSubTextTest(const LineViews& lines) {
  std::size_t first = 0;
  while (first < lines.size() && !StartsWith(lines[first], "SST ")) ++first;
  bool titles = false;
  for (std::size_t i = first; i < lines.size(); ++i) {
    if (StartsWith(lines[i], "[SCRIPT]")) return sfStreamSubTextPlayer;
    if (StartsWith(lines[i], "[TITLES]")) titles = true;
  }
  return titles ? sfStreamSubTextScript : sf0;
}

}  // namespace

TSubtitleFormat DetectFormat(const LineViews& lines) {
  for (const auto& test : kLineTestsBefore) {
    if (AnyLinePasses(lines, test)) return test.value;
  }
  if (const TSubtitleFormat sst = StreamSubTextTest(lines); sst != sf0) return sst;
  for (const auto& test : kLineTestsAfter) {
    if (AnyLinePasses(lines, test)) return test.value;
  }
  return sf0;
}

}  // namespace vorlane
