// Recognition of a format from its lines alone.
#pragma once

#include <span>
#include <string_view>

#include "subtitles/catalogue.h"
#include "subtitles/strings.h"

namespace vorlane {

// Runs the detection tests in their fixed order; each test looks at every
// line and the first test that any line passes decides. sf0 when none does.
TSubtitleFormat DetectFormat(const LineViews& lines);

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
