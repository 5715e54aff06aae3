// One family of readers over arbitrary bytes, each reader run directly as
// if detection had chosen it, so that every reader sees every input shape.
// The family is chosen at build time by VORLANE_FUZZ_FAMILY (the catalogue
// values of the readers, comma-separated).
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "fuzz/fuzz_support.h"

#ifndef VORLANE_FUZZ_FAMILY
#error "VORLANE_FUZZ_FAMILY must list the catalogue values of the readers to fuzz"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  const LineViews lines =
      SplitLineViews(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int value : {VORLANE_FUZZ_FAMILY}) {
    const FormatInfo& info = FormatOf(static_cast<TSubtitleFormat>(value));
    // A binary format's reader takes the bytes as they are, whatever its
    // signature says of them.
    if (info.binary_reader != nullptr) {
      const std::string_view bytes(reinterpret_cast<const char*>(data), size);
      info.binary_signature(bytes);
      TSubtitles doc;
      try {
        info.binary_reader(doc, bytes);
      } catch (const SubtitleError& e) {
        if (e.what()[0] == '\0') std::abort();
      }
    }
    // The second reading's signature, when the row has one.
    if (info.signature != nullptr) info.signature(lines);
    // The classic reader and the second reading's one, where the row has them.
    for (SubtitleReader reader : {info.reader, info.second_reader}) {
      if (reader == nullptr) continue;
      // Frame-based readers: a whole rate, a fractional one and the smallest
      // that converts.
      for (double rate : {25.0, 23.976, 1.0}) {
        ReadGuarded(reader, rate, lines);
        if (!info.frame_based) break;
      }
    }
  }
  return 0;
}
