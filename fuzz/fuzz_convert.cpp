// End to end: arbitrary bytes loaded and saved in every one of the 50
// formats. Writers must take any document a reader produced.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  const LineViews lines =
      SplitLineViews(std::string_view(reinterpret_cast<const char*>(data), size));
  TSubtitles doc;
  doc.SetFrameRate(23.976);
  LoadGuarded(doc, lines);
  for (const FormatInfo& info : FormatCatalogue()) {
    LineList out;
    doc.SaveToList(out, info.value);
    JoinLines(out);
  }
  return 0;
}
