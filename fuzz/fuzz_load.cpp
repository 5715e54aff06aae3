// Arbitrary bytes read as a file is read, recognised and loaded. Failures
// must be SubtitleErrors with a message; anything else (a crash, a hang, a
// sanitizer report, another exception) is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
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
  // The bytes as a file's: decoding, refused formats, the second reading.
  TSubtitles doc;
  doc.SetFrameRate(25);
  bool frame_based = false;
  try {
    doc.LoadFromText(std::string(reinterpret_cast<const char*>(data), size), frame_based);
  } catch (const SubtitleError& e) {
    if (e.what()[0] == '\0') std::abort();
  }
  return 0;
}
