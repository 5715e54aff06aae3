#include "subtitles/detection.h"

#include <array>

namespace vorlane {

namespace {

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
    {sfTMPlayer, FormatDetector::TMPlayerLine},
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

static_assert(kLineTestsBefore[0].value == sfTMPlayer && kLineTestsBefore[1].value == sfSubRipper);

}  // namespace

std::span<const DetectionTest> LineTestsBeforeStreamSubText() {
  return kLineTestsBefore;
}
std::span<const DetectionTest> LineTestsAfterStreamSubText() {
  return kLineTestsAfter;
}

// The answer is the first test, in the fixed order, that any line passes:
// the smallest test index over all lines. One pass finds it, checking each
// line only against the tests that come before the best found so far, so
// the lines are walked once instead of once per test.
FormatDetector::FormatDetector()
    : best_before_(kLineTestsBefore.size()),
      best_after_(kLineTestsBefore.size() + kLineTestsAfter.size()) {}

bool FormatDetector::FeedAny(std::string_view line) {
  constexpr std::size_t kBefore = kLineTestsBefore.size();
  for (std::size_t t = 0; t < best_before_; ++t) {
    if (kLineTestsBefore[t].passes(line)) {
      best_before_ = t;
      break;
    }
  }
  if (best_before_ == 0) return false;  // nothing can come first
  if (best_before_ < kBefore) return true;
  // Later "SST " lines search a subset of the same lines, so only the
  // first one can decide.
  if (!sst_ && StartsWith(line, "SST ")) sst_ = true;
  if (sst_) {
    if (StartsWith(line, "[SCRIPT]")) script_ = true;
    if (StartsWith(line, "[TITLES]")) titles_ = true;
  }
  for (std::size_t t = kBefore; t < best_after_; ++t) {
    if (kLineTestsAfter[t - kBefore].passes(line)) {
      best_after_ = t;
      break;
    }
  }
  return true;
}

TSubtitleFormat FormatDetector::Result() const {
  constexpr std::size_t kBefore = kLineTestsBefore.size();
  constexpr std::size_t kNone = kBefore + kLineTestsAfter.size();
  if (best_before_ < kBefore) return kLineTestsBefore[best_before_].value;
  if (script_) return sfStreamSubTextPlayer;
  if (titles_) return sfStreamSubTextScript;
  if (best_after_ < kNone) return kLineTestsAfter[best_after_ - kBefore].value;
  return sf0;
}

TSubtitleFormat DetectFormat(const LineViews& lines) {
  FormatDetector detector;
  for (const std::string_view line : lines) {
    if (!detector.Feed(line)) break;
  }
  return detector.Result();
}

}  // namespace vorlane
