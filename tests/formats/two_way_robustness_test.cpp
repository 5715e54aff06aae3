// Every reader of the two-way formats over a few thousand random and mutated
// inputs: a reader may reject an input with a SubtitleError, but it must not
// crash, hang, raise anything else or make more cues than lines. Inputs come
// from a fixed seed, so a failure is reproducible.
#include <gtest/gtest.h>

#include <exception>
#include <random>
#include <string>

#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

using Reader = SubtitleReader;
using Writer = void (*)(const TSubtitles&, LineList&);

struct TwoWay {
  const char* name;
  Reader reader;
  Writer writer;
};

const TwoWay kFormats[] = {
    {"MicroDVD", ReadMicroDVD, WriteMicroDVD},
    {"MPL2", ReadMPL2, WriteMPL2},
    {"TMPlayer", ReadTMPlayer, WriteTMPlayer},
    {"SubViewer1", ReadSubViewer1, WriteSubViewer1},
    {"SubViewer2", ReadSubViewer2, WriteSubViewer2},
    {"TurboTitler", ReadTurboTitler, WriteTurboTitler},
    {"ViPlay", ReadViPlay, WriteViPlay},
    {"ZeroG", ReadZeroG, WriteZeroG},
    {"StreamSubTextScript", ReadStreamSubTextScript, WriteStreamSubTextScript},
    {"TTXT", ReadTTXT, WriteTTXT},
};

// Characters the formats give meaning to, so that random lines often come
// close to a cue line.
const std::string kAlphabet = "0123456789:::...,,,[]{}|-=><  \t\t~'\"%\\nSTfps=ITLE*$xX";
const char* const kNumbers[] = {
    "2147483647", "-2147483648", "99999999999", "$FFFFFFFF", "0x7fffffff", "-1", "", " 5"};

class Fuzzer {
 public:
  explicit Fuzzer(std::uint32_t seed) : rng_(seed) {}

  LineList Next(const std::vector<LineList>& seeds) {
    LineList lines = Pick(3) == 0 ? RandomLines() : seeds[Pick(seeds.size())];
    const std::size_t mutations = 1 + Pick(8);
    for (std::size_t i = 0; i < mutations; ++i) Mutate(lines);
    return lines;
  }

 private:
  std::size_t Pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }

  char RandomChar() {
    if (Pick(8) == 0) return static_cast<char>(Pick(256));
    return kAlphabet[Pick(kAlphabet.size())];
  }

  LineList RandomLines() {
    LineList lines(Pick(12));
    for (auto& line : lines) {
      const std::size_t n = Pick(60);
      for (std::size_t i = 0; i < n; ++i) line.push_back(RandomChar());
    }
    return lines;
  }

  void Mutate(LineList& lines) {
    if (lines.empty()) {
      lines.emplace_back();
      return;
    }
    std::string& line = lines[Pick(lines.size())];
    const std::size_t at = Pick(line.size() + 1);
    switch (Pick(8)) {
      case 0:
        if (at < line.size()) line[at] = RandomChar();
        break;
      case 1:
        line.insert(at, 1, RandomChar());
        break;
      case 2:
        if (at < line.size()) line.erase(at, 1 + Pick(4));
        break;
      case 3:
        line.insert(at, kNumbers[Pick(std::size(kNumbers))]);
        break;
      case 4:
        line.resize(at);
        break;
      case 5:
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(Pick(lines.size())), line);
        break;
      case 6:
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(Pick(lines.size())));
        break;
      default:
        std::swap(lines[Pick(lines.size())], lines[Pick(lines.size())]);
        break;
    }
  }

  std::mt19937 rng_;
};

// Inputs a reader accepts: its own writer's output, plus lines that no
// writer of these formats produces but that the reader takes.
std::vector<LineList> Seeds(const TwoWay& format) {
  TSubtitles doc;
  doc.SetFrameRate(25);
  doc.Cues = {
      {1500, 3250, "Hello\rWorld"}, {0, 0, ""}, {3661990, 360000000, "a|b [br] ~ '' \\n x"}};
  LineList written;
  format.writer(doc, written);
  std::vector<LineList> seeds{written};
  if (format.reader == ReadStreamSubTextScript) {
    // Its own output reads as no cues, so the reader gets lines it takes.
    LineList script{"SST 2.0", "[TITLES]", "fps=25"};
    for (int i = 0; i < 6; ++i) {
      script.push_back(Format("%d\tDefault\t0:00:0%d.500\t0:00:0%d.250\tHi~x\tx", i, i, i + 1));
    }
    seeds.push_back(script);
  }
  if (format.reader == ReadTMPlayer) seeds.push_back({"0 comments: none", "00:01:05:a:b"});
  return seeds;
}

TEST(TwoWayRobustness, ReadersSurviveRandomAndMutatedInput) {
  const double rates[] = {25, 1, 0.6, 23.976, 1000, 1e-300};
  for (const auto& f : kFormats) {
    SCOPED_TRACE(f.name);
    const std::vector<LineList> seeds = Seeds(f);
    Fuzzer fuzzer(20240611);
    int rejected = 0;
    int read = 0;
    std::size_t cues = 0;
    for (int round = 0; round < 3000; ++round) {
      const LineList input = fuzzer.Next(seeds);
      TSubtitles doc;
      doc.SetFrameRate(rates[static_cast<std::size_t>(round) % std::size(rates)]);
      try {
        f.reader(doc, input);
      } catch (const SubtitleError&) {
        ++rejected;
        continue;
      } catch (const std::exception& e) {
        FAIL() << "a foreign error on round " << round << ": " << e.what();
      }
      ++read;
      ASSERT_LE(doc.Cues.size(), input.size()) << "round " << round;
      cues += doc.Cues.size();
      // Whatever was read must be writable in every format.
      for (const auto& g : kFormats) {
        LineList out;
        g.writer(doc, out);
      }
      // The loader's path too: detection, then the reader it chooses.
      bool frame_based = false;
      try {
        doc.LoadFromList(input, frame_based);
      } catch (const SubtitleError&) {
      }
    }
    // Both outcomes must occur often, or the inputs missed the reader.
    EXPECT_GT(rejected, 100);
    EXPECT_GT(read, 1000);
    EXPECT_GT(cues, 1000u);
  }
}

}  // namespace
}  // namespace vorlane
