// Recognition of a format from its lines alone.
#pragma once

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

}  // namespace vorlane
