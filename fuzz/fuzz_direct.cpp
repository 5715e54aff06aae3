// The direct conversion against the full load and save: wherever it takes a
// file, it must give the same bytes, cue count and format read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "subtitles/output_sink.h"
#include "subtitles/subtitles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Small blocks, so that a file's cues are written in several.
  const std::size_t block = size == 0 ? 1 : 1 + data[0] % 5;
  for (const bool classic : {false, true}) {
    for (const TSubtitleFormat format : {sfSubRipper, sfAdvancedSSA, sfSAMI}) {
      TSubtitles direct;
      direct.SetClassicReading(classic);
      // Told as a run tells it, or not (the full way then decodes 8-bit
      // text, and the direct way must leave such text to it).
      if (size > 1 && data[1] % 2 == 0) direct.SetTargetFormat(format);
      std::string got;
      std::size_t cues = 0;
      {
        StringSink sink(got, 64);
        cues = direct.ConvertDirect(bytes, format, &sink, block);
      }
      if ((direct.ConvertDirect(bytes, format, nullptr, block) > 0) != (cues > 0)) std::abort();
      if (cues == 0) continue;
      TSubtitles full;
      full.SetClassicReading(classic);
      if (size > 1 && data[1] % 2 == 0) full.SetTargetFormat(format);
      bool frame_based = false;
      bool loaded = false;
      try {
        loaded = full.LoadFromText(bytes, frame_based);
      } catch (const std::exception&) {
      }
      if (!loaded) std::abort();
      std::string expected;
      {
        StringSink sink(expected, 64);
        WriteDocument(full, format, sink);
      }
      if (got != expected || cues != full.Cues.size() || direct.FormatRead() != full.FormatRead()) {
        std::abort();
      }
    }
  }
  return 0;
}
