// Reading, detecting and writing a generated SubRip text of 100,000 cues.
// Throughput is reported as bytes per second of SubRip text.
#include <benchmark/benchmark.h>

#include "subtitles/catalogue.h"
#include "subtitles/detection.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
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

// 100 MB of text lines that no detection test accepts: every test scans
// every line.
void BM_DetectNoMatch100MB(benchmark::State& state) {
  static const std::string text = [] {
    std::string t;
    const std::string line = "Just an ordinary line of text, with words and commas.\r\n";
    while (t.size() < (100u << 20)) t += line;
    return t;
  }();
  const LineViews lines = SplitLineViews(text);
  for (auto _ : state) benchmark::DoNotOptimize(DetectFormat(lines));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DetectNoMatch100MB)->Unit(benchmark::kMillisecond);

// Each readable format: the generated document written in it, then read.
void BM_ReadFormat(benchmark::State& state) {
  const auto format = static_cast<TSubtitleFormat>(state.range(0));
  TSubtitles source;
  bool frame_based = false;
  source.LoadFromList(SplitLineViews(Text()), frame_based);
  source.SetFrameRate(25);
  LineList written;
  source.SaveToList(written, format);
  const std::string text = JoinLines(written);
  const LineViews lines = SplitLineViews(text);
  TSubtitles doc;
  doc.SetFrameRate(25);
  for (auto _ : state) {
    FormatOf(format).reader(doc, lines);
    benchmark::DoNotOptimize(doc.Cues.data());
  }
  state.SetLabel(std::string(FormatOf(format).name));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadFormat)
    ->Unit(benchmark::kMillisecond)
    ->Arg(sfSubRipper)
    ->Arg(sfMicroDVD)
    ->Arg(sfMPL2)
    ->Arg(sfTMPlayer)
    ->Arg(sfSubViewer1)
    ->Arg(sfSubViewer2)
    ->Arg(sfTurboTitler)
    ->Arg(sfViPlay)
    ->Arg(sfZeroG)
    ->Arg(sfTTXT);

// The shared writer helpers: a layout-driven writer and the template
// formatter on its own.
void BM_WriteAdvancedSSA(benchmark::State& state) {
  TSubtitles doc;
  bool frame_based = false;
  doc.LoadFromList(SplitLineViews(Text()), frame_based);
  for (auto _ : state) {
    LineList out;
    doc.SaveToList(out, sfAdvancedSSA);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_WriteAdvancedSSA)->Unit(benchmark::kMillisecond);

// The same document streamed into a sink that drops each block, as a file
// or standard output takes it; and a whole conversion that way.
class NullSink final : public OutputSink {
  void Send(std::string_view block) override { benchmark::DoNotOptimize(block.data()); }
};

void BM_StreamAdvancedSSA(benchmark::State& state) {
  TSubtitles doc;
  bool frame_based = false;
  doc.LoadFromList(SplitLineViews(Text()), frame_based);
  for (auto _ : state) {
    NullSink out;
    WriteDocument(doc, sfAdvancedSSA, out);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_StreamAdvancedSSA)->Unit(benchmark::kMillisecond);

void BM_LoadAndStreamAdvancedSSA(benchmark::State& state) {
  for (auto _ : state) {
    TSubtitles doc;
    bool frame_based = false;
    doc.LoadFromList(SplitLineViews(Text()), frame_based);
    NullSink out;
    WriteDocument(doc, sfAdvancedSSA, out);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_LoadAndStreamAdvancedSSA)->Unit(benchmark::kMillisecond);

// The same conversion the direct way: no line list, no cue list.
void BM_ConvertDirectAdvancedSSA(benchmark::State& state) {
  for (auto _ : state) {
    TSubtitles doc;
    NullSink out;
    if (doc.ConvertDirect(Text(), sfAdvancedSSA, &out) == 0) state.SkipWithError("not direct");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_ConvertDirectAdvancedSSA)->Unit(benchmark::kMillisecond);

void BM_CompiledTemplate(benchmark::State& state) {
  const CompiledTemplate compiled("%d:%.2d:%.2d,%.3d --> %5d %s");
  std::string out;
  std::int64_t n = 0;
  for (auto _ : state) {
    out.clear();
    compiled.AppendTo(out, {n, 1, 2, 3, 4, "text"});
    benchmark::DoNotOptimize(out.data());
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompiledTemplate);

void BM_FormatTemplate(benchmark::State& state) {
  std::int64_t n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        FormatTemplate("%d:%.2d:%.2d,%.3d --> %5d %s", {n, 1, 2, 3, 4, "text"}));
    ++n;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatTemplate);

}  // namespace

BENCHMARK_MAIN();
