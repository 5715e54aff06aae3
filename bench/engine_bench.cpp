// Reading, detecting and writing a generated SubRip text of 100,000 cues.
// Throughput is reported as bytes per second of SubRip text.
#include <benchmark/benchmark.h>

#include "subtitles/detection.h"
#include "subtitles/formats/formats.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace {

using namespace vorlane;

std::string GenerateSubRip(int cues) {
  TSubtitles doc;
  doc.Cues.reserve(static_cast<std::size_t>(cues));
  for (int i = 0; i < cues; ++i) {
    doc.Cues.push_back({i * 300 + 17, i * 300 + 250,
                        "Line number " + std::to_string(i) + " of the film\rand its second line"});
  }
  LineList lines;
  WriteSubRip(doc, lines);
  return JoinLines(lines);
}

const std::string& Text() {
  static const std::string text = GenerateSubRip(100000);
  return text;
}

void BM_SplitLines(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SplitLineViews(Text()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

void BM_DetectFormat(benchmark::State& state) {
  const LineViews lines = SplitLineViews(Text());
  for (auto _ : state) benchmark::DoNotOptimize(DetectFormat(lines));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_DetectFormat)->Unit(benchmark::kMillisecond);

void BM_ReadSubRip(benchmark::State& state) {
  const LineViews lines = SplitLineViews(Text());
  TSubtitles doc;
  for (auto _ : state) {
    ReadSubRip(doc, lines);
    benchmark::DoNotOptimize(doc.Cues.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_ReadSubRip)->Unit(benchmark::kMillisecond);

void BM_WriteSubRip(benchmark::State& state) {
  TSubtitles doc;
  bool frame_based = false;
  doc.LoadFromList(SplitLineViews(Text()), frame_based);
  for (auto _ : state) {
    LineList out;
    WriteSubRip(doc, out);
    benchmark::DoNotOptimize(JoinLines(out));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_WriteSubRip)->Unit(benchmark::kMillisecond);

void BM_LoadAndSaveInMemory(benchmark::State& state) {
  for (auto _ : state) {
    TSubtitles doc;
    bool frame_based = false;
    doc.LoadFromList(SplitLineViews(Text()), frame_based);
    LineList out;
    doc.SaveToList(out, sfSubRipper);
    benchmark::DoNotOptimize(JoinLines(out));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_LoadAndSaveInMemory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
