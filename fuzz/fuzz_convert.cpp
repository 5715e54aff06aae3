// End to end: arbitrary bytes loaded and saved in every format. Writers
// must take any document a reader produced, and streaming it must give the
// very bytes of the line list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "subtitles/output_sink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  const LineViews lines =
      SplitLineViews(std::string_view(reinterpret_cast<const char*>(data), size));
  TSubtitles doc;
  doc.SetFrameRate(23.976);
  LoadGuarded(doc, lines);
  for (const FormatInfo& info : FormatCatalogue()) {
    if (info.binary_writer != nullptr) {
      // Written as bytes: any document either writes or fails with a message.
      try {
        info.binary_writer(doc);
      } catch (const SubtitleError& e) {
        if (e.what()[0] == '\0') std::abort();
      }
      continue;
    }
    LineList out;
    doc.SaveToList(out, info.value);
    std::string streamed;
    {
      StringSink sink(streamed, 64);
      WriteDocument(doc, info.value, sink);
    }
    if (streamed != JoinLines(out)) std::abort();
  }
  return 0;
}
