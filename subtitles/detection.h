// Recognition of a format from its lines alone.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "subtitles/catalogue.h"
#include "subtitles/strings.h"

namespace vorlane {

// Runs the detection tests in their fixed order; each test looks at every
// line and the first test that any line passes decides. sf0 when none does.
TSubtitleFormat DetectFormat(const LineViews& lines);

// The same detection fed one line at a time, for text that is scanned
// without a list of its lines.
class FormatDetector {
 public:
  FormatDetector();
  // False once no later line can change the answer.
  bool Feed(std::string_view line) {
    // Once a line has passed SubRip's test, the second, only TMPlayer's
    // can still come first: the usual case, checked here.
    if (best_before_ == 1) {
      if (!TMPlayerLine(line)) return true;
      best_before_ = 0;
      return false;
    }
    return FeedAny(line);
  }
  TSubtitleFormat Result() const;

  // The first test: TMPlayer's "hh:mm:ss:" at the start of a line.
  static bool TMPlayerLine(std::string_view s) {
    return CharIs(s, 3, ':') && CharIs(s, 6, ':') && CharIs(s, 9, ':');
  }

 private:
  bool FeedAny(std::string_view line);

  std::size_t best_before_;  // index of the first passing test before StreamSubText, or none
  std::size_t best_after_;   // the same for the tests after it, counted on from those before
  // The StreamSubText test: from the first line beginning with "SST " on,
  // a line beginning with "[SCRIPT]" makes it the player format, else one
  // beginning with "[TITLES]" the script format.
  bool sst_ = false;
  bool script_ = false;
  bool titles_ = false;
};

// One detection test: a format and the rule a single line must pass.
struct DetectionTest {
  TSubtitleFormat value;
  bool (*passes)(std::string_view line);
};

// The single-line tests that run before and after the StreamSubText test,
// each in its order.
std::span<const DetectionTest> LineTestsBeforeStreamSubText();
std::span<const DetectionTest> LineTestsAfterStreamSubText();

}  // namespace vorlane
