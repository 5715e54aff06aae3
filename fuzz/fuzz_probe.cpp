// Arbitrary bytes read as a video by one frame-rate probe (chosen by
// VORLANE_FUZZ_PROBE). The probe must answer 0 or a rate, never raise,
// crash, hang or read more than it is allowed.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "batch/container_probe.h"

namespace {

// The bytes, counting what the probe reads of them.
class CountingSource : public vorlane::MemoryProbeSource {
 public:
  using MemoryProbeSource::MemoryProbeSource;
  std::size_t ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) override {
    read += size;
    return MemoryProbeSource::ReadAt(offset, data, size);
  }
  std::uint64_t read = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  CountingSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  const double rate = VORLANE_FUZZ_PROBE(source);
  if (std::isnan(rate) || rate < 0) std::abort();
  if (source.read > kContainerProbeLimit + kMovieBoxLimit) std::abort();
  return 0;
}
