// Arbitrary bytes read as a file is read, recognised and loaded. Failures
// must be SubtitleErrors with a message; anything else (a crash, a hang, a
// sanitizer report, another exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "subtitles/detection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  const LineViews lines =
      SplitLineViews(std::string_view(reinterpret_cast<const char*>(data), size));
  DetectFormat(lines);
  for (double rate : {0.0, 25.0}) {
    TSubtitles doc;
    doc.SetFrameRate(rate);
    LoadGuarded(doc, lines);
  }
  return 0;
}
